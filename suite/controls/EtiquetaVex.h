#pragma once

#include "kt508/services/Controles.h"

class QLabel;

namespace orbanel {

// The suite's label.
class EtiquetaVex : public kt508::Etiqueta {
    Q_OBJECT
public:
    explicit EtiquetaVex(QWidget* parent = nullptr);

    void setCaption(const QString& caption) override;
    QString caption() const override;
    void setIdetiqueta(const QString& id) override;
    QString idetiqueta() const;
    void setAlignment(int alignment) override;
    void setBackcolor(const QColor& color) override;
    void setForecolor(const QColor& color) override;
    void setFontbold(bool bold) override;
    bool TieneFondoPropio() const;

private:
    QLabel* m_texto;
    QString m_id;
    bool m_fondoPropio = false;
};

} // namespace orbanel
