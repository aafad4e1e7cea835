#include "kt508/dialogs/BarraDialogo.h"

#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"

kt508::Controles* BarraDialogo(QWidget* ventana, int ancho, const QString& caption)
{
    kt508::Controles* barra = kt508::plataforma().NuevoControles(ventana);
    barra->setObjectName(QStringLiteral("Controles"));
    barra->setGeometry(0, 0, kt508::Px(ancho), kt508::Px(960));
    barra->setCaption(caption);
    barra->setTabwidth(QStringLiteral("0"));
    barra->setB1caption(QStringLiteral("Aceptar"));
    barra->setB2caption(QStringLiteral("Cancelar"));
    barra->setShowmenupopup(QStringLiteral("NO"));
    barra->setShowwindowslist(QStringLiteral("NO"));
    barra->setShowexitbutton(QStringLiteral("NO"));
    barra->setPermitirMover(true);
    return barra;
}
