#pragma once

#include <QString>

namespace kt508 {
class IUtilerias;
}

namespace bench {

// The catalogue's import of a file of n centres of the wide shape: all new into an empty
// catalogue, then the same keys described anew. Prints a line each: time, statements, peak memory.
void casoImportacion(const QString& url, int n, kt508::IUtilerias& utilerias);

} // namespace bench
