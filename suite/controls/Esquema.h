#pragma once

#include <QColor>
#include <QtGlobal>

namespace orbanel {

// The suite's colours are written &HBBGGRR.
QColor ColorVB(quint32 bbggrr);

// The one colour scheme of the suite's windows.
namespace esquema {
QColor Fondo();         // window back colour
QColor Habilitado();    // fields that take input
QColor Deshabilitado(); // fields that do not
QColor Foco();          // field with the focus
QColor CalendarioFondo();
QColor CalendarioTexto();
QColor CalendarioTituloFondo();
QColor CalendarioTituloTexto();
QColor CalendarioOtroMes();
QColor RejillaFondo();
QColor RejillaRenglon();
QColor MenuFondo();
QColor MenuLetraFondo();
QColor MenuSeleccion();
constexpr qreal TamanoLetra = 8.25; // labels and text fields
} // namespace esquema

} // namespace orbanel
