#pragma once

#include <QString>

namespace kt508 {
class Connection;
}

namespace orbanel::catalogo {

enum class Formato { Csv, Xlsx };

// The format the file's extension names (.csv or .xlsx, in any capitals); throws kt508::Error
// for any other.
Formato FormatoDe(const QString& archivo);

// Writes the whole catalogue in the tree's order to the file, as CSV (UTF-8 with a byte-order
// mark, commas, quotes where a value needs them, CRLF; NULL an empty field, an empty text "")
// or as an XLSX workbook, as its extension says. The file appears whole or not at all: it is
// written under a temporary name in the same folder and takes its name once complete, so a
// failure leaves an existing file as it was. Returns the centres written; throws kt508::Error.
int Exporta(kt508::Connection& db, const QString& archivo);

} // namespace orbanel::catalogo
