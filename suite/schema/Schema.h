#pragma once

#include <QList>
#include <QString>

#include <memory>

namespace orbanel::ado {
class AdoConnection;
}

namespace orbanel::schema {

// Opens a connection the way the suite opens each of its own: on SQLite, with the declared
// references enforced. Throws kt508::Error.
std::unique_ptr<ado::AdoConnection> Abre(const QString& url);
// What every connection of the suite needs, for one opened otherwise.
void PreparaConexion(ado::AdoConnection& db);

// A catalogue table of the database, in any of its schemas.
struct Catalogo {
    QString esquema;
    bool legible = false;    // this connection may read it
    bool visible = false;    // its bare name reaches it
    bool conVersion = false; // the schema's version table stands beside it

    bool Usable() const; // the suite's statements, which name tables bare, work on it
};
// Every catalogue table of the database, whether this connection may use it or not.
QList<Catalogo> Catalogos(ado::AdoConnection& db);

// True when the database has no Centro_Costo table yet.
bool Vacia(ado::AdoConnection& db);
// Creates every table, index and view of the suite in the connection's dialect.
void Crea(ado::AdoConnection& db);
// Fills the demo catalogue, groups, accounts, journal lines and settings.
void CargaDemo(ado::AdoConnection& db);
// Drops what Crea made (tests start from a clean database).
void Borra(ado::AdoConnection& db);

} // namespace orbanel::schema
