#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

#include <optional>
#include <vector>

namespace orbanel::catalogo {

// One record of a CSV file: the line of the file it starts on (the first line is 1) and its
// fields. An empty field is nothing (NULL); a quoted one is its text, "" an empty text.
struct RegistroCsv {
    int linea = 0;
    std::vector<std::optional<QString>> campos;
};

struct Csv {
    QChar separador;
    std::vector<RegistroCsv> registros; // the heading first; blank lines left out
};

// RFC 4180 as the export writes it and spreadsheet programs save it: UTF-8 with or without a
// byte-order mark; records ended by CRLF or LF; fields separated by commas, or by semicolons
// when the first line has semicolons and no comma outside quotes (as spreadsheets set up for a
// decimal comma save it). Throws kt508::Error when the text is not UTF-8 or a quote never closes.
Csv LeeCsv(const QByteArray& contenido);

} // namespace orbanel::catalogo
