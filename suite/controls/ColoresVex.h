#pragma once

#include "kt508/services/Controles.h"

class QWidget;

namespace orbanel {

// The suite's colour scheme: ApplyScheme colours the window it belongs to and the
// suite's controls on it.
class ColoresVex : public kt508::colorVEX {
    Q_OBJECT
public:
    explicit ColoresVex(QWidget* window);

    void ApplyScheme() override;
    QColor backcolor() const override;

private:
    QWidget* Ventana() const;
};

} // namespace orbanel
