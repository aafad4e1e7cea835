#pragma once

#include <QString>

#include <functional>

namespace kt508 {
class Recordset;
}

// Module Publico: the store (Servicios, Sentencias, GuardaTransaccion, the subtree routines)
// and two helpers every window uses.
namespace Publico {

// The text without its leading and trailing blanks (spaces only: a tab is kept), as the
// rename and the save clean what the user typed.
QString SinBlancos(const QString& texto);

// Runs a step whose failure is ignored (stretches that skip failing statements).
void IgnoraError(const std::function<void()>& paso);

// The column's position in the rows, looked up once for a loop over them; throws, as reading
// the field would, when the rows have no such column.
int Columna(const kt508::Recordset& filas, const QString& nombre);

} // namespace Publico
