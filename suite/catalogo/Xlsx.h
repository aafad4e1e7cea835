#pragma once

#include "suite/catalogo/Catalogo.h"

#include <QByteArray>

#include <optional>

namespace kt508 {
class Decimal;
}

namespace orbanel::catalogo {

// The catalogue as an XLSX workbook: one sheet, the heading row frozen, numbers and dates as
// typed cells, each description indented by its level. Throws kt508::Error.
QByteArray LibroXlsx(const std::vector<Fila>& filas);

// The number as a double when a double holds it exactly; nothing otherwise.
std::optional<double> DobleExacto(const kt508::Decimal& numero);

} // namespace orbanel::catalogo
