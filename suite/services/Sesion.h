#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace orbanel::ado {
class AdoConnection;
}

namespace orbanel {

// The process's one connection and operator, shared by the data service, the
// utility service and the controls' look-ups.
class Sesion {
public:
    // What opening does with a database that lacks the catalogue's tables.
    enum class Esquema {
        SiEstaVacia, // an empty one gets the tables and the demo; one holding other tables is refused
        Crear,       // the tables, without the demo, beside whatever it holds
    };
    // Opens the database. The default database is the embedded file in the user's data folder.
    static void Configura(const QString& url, const QString& operador, Esquema esquema = Esquema::SiEstaVacia);
    static QString UrlPorDefecto();
    static ado::AdoConnection& Conexion(); // opens on first use; throws kt508::Error
    static QString Operador();             // the configured operator, else the login name
    // Tests hand over a connection of their own.
    static void Establece(std::unique_ptr<ado::AdoConnection> conexion, const QString& operador);
    // Closes the connection, rolling back a transaction left open; also when the process ends.
    static void Cierra();
};

} // namespace orbanel
