#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <utility>
#include <vector>

namespace kt508 {
class Recordset;
}

// What keeps one user's save from putting back what another stored meanwhile: a command keeps
// the centre's row as it read it, reads it again locked inside its transaction, and refuses to
// write when the two differ.
namespace Publico {

// A centre's row as a command read it: each column's name and value, in order.
using FilaLeida = std::vector<std::pair<QString, QVariant>>;

// The current row of the recordset.
FilaLeida Fila(const kt508::Recordset& filas);
// True when every column of `leida` holds the same value in the current row of `ahora`.
bool MismaFila(const FilaLeida& leida, const kt508::Recordset& ahora);

// Raises the refusal (kt508::Error) when the centre's row read again (`ahora`) is gone, or when
// `igual` finds it is not the one the command read: who changed it and when, or that it was deleted.
void CompruebaVigente(const QString& clave, const kt508::Recordset& ahora,
                      const std::function<bool(const kt508::Recordset&)>& igual);

} // namespace Publico
