#pragma once

#include <QString>
#include <QVariantList>

namespace orbanel::ado {

// Splits a SELECT into its form, with '?' in place of each text literal that follows its first
// WHERE, and the literals' values; the select list keeps its literals so column names do not
// change. False when the statement is not a plain SELECT this can handle (comments, several
// statements, parameters of its own, unterminated quotes, blob or prefixed literals).
// The embedded database then reuses one prepared statement for every key.
bool SeparaLiterales(const QString& sql, QString& forma, QVariantList& valores);

} // namespace orbanel::ado
