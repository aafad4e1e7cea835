#pragma once

#include "kt508/services/Controles.h"

class QDateEdit;

namespace orbanel {

// The suite's date picker: a date field with a calendar that drops down. It can be
// empty (an invalid date), which it shows as a blank field.
class FechaVex : public kt508::dpFecha {
    Q_OBJECT
public:
    explicit FechaVex(QWidget* parent = nullptr);

    QDate Value() const override;
    void setValue(const QDate& value) override;

    // Colours the calendar with the suite's scheme.
    void AplicaEsquema();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDateEdit* m_fecha;
};

} // namespace orbanel
