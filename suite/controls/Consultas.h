#pragma once

#include <QString>
#include <QVariantList>

namespace orbanel {

// A look-up statement with the field's value in place of "?". A "?" inside a quoted
// literal takes the value spliced in (its quotes doubled); a bare "?" is bound as a
// value, so that a key compares as text on every database.
struct SentenciaConsulta {
    QString texto;
    QVariantList valores;
};
SentenciaConsulta ArmaConsulta(const QString& sql, const QString& valor);

// First column of the first row, on the session's connection; "" when there is no row.
// Throws kt508::Error when the statement fails.
QString ValorDeConsulta(const QString& sql, const QString& valor);

// The look-up lists the fields offer, by catalogue name: key and description of each entry.
bool ExisteLista(const QString& idconsulta);
QString TituloDeLista(const QString& idconsulta);
QString SentenciaDeLista(const QString& idconsulta);

} // namespace orbanel
