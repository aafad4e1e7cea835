#pragma once

#include <QList>
#include <QString>

namespace kt508 {
class Connection;
}

// A centre's history read back: each note against the one before it, field by field.
namespace orbanel::historial {

struct Diferencia {
    QString campo; // as the export heads its column
    QString antes;
    QString despues;
};

struct Cambio {
    QString fecha;
    QString operador;
    QString comando;
    QList<Diferencia> campos; // the fields whose value the command changed
};

// The centre's changes, newest first; a deleted centre's too. Throws kt508::Error when the
// history cannot be read.
QList<Cambio> Cambios(kt508::Connection& db, const QString& clave);

// The changes as the console prints them.
QString Texto(const QString& clave, const QList<Cambio>& cambios);

} // namespace orbanel::historial
