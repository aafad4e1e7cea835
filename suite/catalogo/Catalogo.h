#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace kt508 {
class Connection;
}

namespace orbanel::catalogo {

// What a column of the exported catalogue holds. A value that does not read as its kind
// travels as the text the database gave.
enum class Clase {
    Texto,
    Entero,    // qlonglong
    Decimal,   // kt508::Decimal: an exact number, never a double
    Fecha,     // QDate
    FechaHora, // QDateTime, to the second
};

struct Columna {
    QString encabezado; // the heading of the file, which the import reads back
    QString campo;      // the column of Centro_Costo; empty for the two the tree gives
    Clase clase;
};

// The columns of the exported catalogue, in their order: Nivel and Ruta, then the centre's own.
const std::vector<Columna>& Columnas();

// One centre, a value per column (a null QVariant for NULL). Nivel is 1 for a centre under
// the root; a centre the tree cannot reach has a null Nivel and Ruta.
using Fila = std::vector<QVariant>;

// The whole catalogue in the tree's order: depth first from the root, siblings in key order,
// each centre after its parent; then, in key order, the centres the tree cannot reach (their
// parent is missing, they accumulate into one another or into themselves, a row keyed "0",
// and what hangs from them). Reads Centro_Costo with one statement.
std::vector<Fila> LeeEnOrden(kt508::Connection& db);

// Centro_Costo's rows in key order, read with one statement: the columns given (their places in
// Columnas(), none of the first two) typed as above, the rest left null.
std::vector<Fila> LeeColumnas(kt508::Connection& db, const std::vector<size_t>& columnas);

} // namespace orbanel::catalogo
