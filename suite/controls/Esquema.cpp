#include "suite/controls/Esquema.h"

namespace orbanel {

QColor ColorVB(quint32 bbggrr)
{
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

namespace esquema {

QColor Fondo()
{
    return ColorVB(0xF5F5F5);
}
QColor Habilitado()
{
    return ColorVB(0xFFFFFF);
}
QColor Deshabilitado()
{
    return ColorVB(0xE0E0E0);
}
QColor Foco()
{
    return ColorVB(0xFFFFFF);
}
QColor CalendarioFondo()
{
    return ColorVB(0xC0FFFF);
}
QColor CalendarioTexto()
{
    return ColorVB(0x800000);
}
QColor CalendarioTituloFondo()
{
    return ColorVB(0xC9B189);
}
QColor CalendarioTituloTexto()
{
    return ColorVB(0xFFFFFF);
}
QColor CalendarioOtroMes()
{
    return ColorVB(0x8A5300);
}
QColor RejillaFondo()
{
    return ColorVB(0xC0FFFF);
}
QColor RejillaRenglon()
{
    return ColorVB(0xFFFFFF);
}
QColor MenuFondo()
{
    return ColorVB(0xDDCCB3);
}
QColor MenuLetraFondo()
{
    return ColorVB(0xCBECF5);
}
QColor MenuSeleccion()
{
    return ColorVB(0x9CD5E2);
}

} // namespace esquema

} // namespace orbanel
