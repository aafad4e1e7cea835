#pragma once

#include <QStringList>

namespace orbanel::ado {
class AdoConnection;
}

namespace orbanel::schema {

// The version of the schema this suite creates. A database made before versions were recorded
// is version 1. A new version is one script per database, "<database>-<version>.sql", that
// changes the schema of the version before it, and this number.
constexpr int VersionActual = 5;
// The version that begins each centre's history.
constexpr int VersionHistorial = 3;

// The schema's version of the database; 0 when this connection finds no catalogue to use.
int Version(ado::AdoConnection& db);
// Records that the database has reached the version.
void AnotaVersion(ado::AdoConnection& db, int version);
// The database's own time, as the suite writes it.
QString Ahora(ado::AdoConnection& db);
// Notes every centre's row as the starting point of its history, by the operator, now.
void AnotaEstadoInicial(ado::AdoConnection& db, const QString& operador);

struct Actualizacion {
    int desde = 0;
    int hasta = 0;         // desde when nothing changed
    QStringList rehusados; // "Tabla Clave: motivo" of each row a newer version's rules refuse
};

// Brings an older database up to VersionActual, every version's script in one transaction. A
// query of a script lists the rows its rules refuse; when one finds any, the database is left
// exactly as it was and the result names them. The version that begins the history notes every
// centre's row as its starting point, by the operator. Throws kt508::Error, everything rolled
// back, when a statement fails.
Actualizacion Actualiza(ado::AdoConnection& db, const QString& operador);

} // namespace orbanel::schema
