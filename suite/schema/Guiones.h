#pragma once

#include "suite/ado/AdoConnection.h"

#include <QString>
#include <QStringList>

namespace orbanel::schema {

// The schema's SQL travels inside the library, one script per database and purpose:
// "<database>.sql" creates the schema, "<database>-<purpose>.sql" does the rest.
QString Guion(ado::Dialect dialect, const QString& proposito);

// The statements of a script's text. Each ends with ';' at the end of a line, except within
// the body of a trigger (from a line ending in BEGIN to a line "END;") or a $$-quoted body;
// lines that begin with "--" are comments.
QStringList Sentencias(const QString& texto);
// The statements of a script of the suite; throws kt508::Error when the suite lacks it.
QStringList SentenciasDe(const QString& recurso);

// Runs a script of the connection's database that only some databases need, when it has one.
void EjecutaSiHay(ado::AdoConnection& db, const QString& proposito);
// The statements of such a script; none when the database has none.
QStringList SentenciasSiHay(ado::Dialect dialect, const QString& proposito);

} // namespace orbanel::schema
