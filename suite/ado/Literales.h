#pragma once

#include <QString>
#include <QVariantList>

namespace orbanel::ado {

// Splits a SELECT into its form, with '?' in place of each text literal of the statement's own
// WHERE (outside parentheses, before GROUP, ORDER, UNION...), and the literals' values. Every
// other literal stays as written: the select list's, a subquery's, and a typed one (DATE '...'),
// so column names and types do not change. False when the statement is not a plain SELECT this
// can handle (comments, several statements, parameters of its own, unterminated quotes or
// parentheses, blob or prefixed literals). The database then reuses one prepared form per key.
bool SeparaLiterales(const QString& sql, QString& forma, QVariantList& valores);

} // namespace orbanel::ado
