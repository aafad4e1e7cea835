#include "suite/controls/ColoresVex.h"

#include "suite/controls/Esquema.h"
#include "suite/controls/EtiquetaVex.h"
#include "suite/controls/FechaVex.h"
#include "suite/controls/TextoVex.h"

#include <QWidget>

namespace orbanel {

namespace {

void TamanoDeLetra(QWidget* control)
{
    QFont letra = control->font();
    letra.setPointSizeF(esquema::TamanoLetra);
    control->setFont(letra);
}

} // namespace

ColoresVex::ColoresVex(QWidget* window)
    : kt508::colorVEX(window)
{
}

QWidget* ColoresVex::Ventana() const
{
    return qobject_cast<QWidget*>(parent());
}

void ColoresVex::ApplyScheme()
{
    QWidget* ventana = Ventana();
    if (!ventana)
        return;
    QPalette paleta = ventana->palette();
    paleta.setColor(QPalette::Window, esquema::Fondo());
    paleta.setColor(QPalette::Base, esquema::Habilitado());
    paleta.setColor(QPalette::Disabled, QPalette::Base, esquema::Deshabilitado());
    paleta.setColor(QPalette::AlternateBase, esquema::RejillaRenglon());
    ventana->setPalette(paleta);
    ventana->setAutoFillBackground(true);

    for (auto* texto : ventana->findChildren<TextoVex*>())
        TamanoDeLetra(texto);
    for (auto* etiqueta : ventana->findChildren<EtiquetaVex*>())
        TamanoDeLetra(etiqueta);
    for (auto* fecha : ventana->findChildren<FechaVex*>())
        fecha->AplicaEsquema();
}

QColor ColoresVex::backcolor() const
{
    return esquema::Fondo();
}

} // namespace orbanel
