#include "suite/services/Sesion.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"

#include <QDir>
#include <QStandardPaths>

#include <utility>

namespace orbanel {

namespace {

struct EstadoSesion {
    QString url;
    QString operador;
    std::unique_ptr<ado::AdoConnection> conexion;
};

EstadoSesion& estado()
{
    static EstadoSesion instancia;
    return instancia;
}

void PreparaEsquema(ado::AdoConnection& db)
{
    if (!schema::Vacia(db))
        return;
    db.BeginTrans();
    try {
        schema::Crea(db);
        schema::CargaDemo(db);
        db.CommitTrans();
    } catch (const kt508::Error& e) {
        db.RollbackTrans();
        throw kt508::Error(QStringLiteral("No se pudo crear la base de datos de Orbanel: %1").arg(e.Description()));
    }
}

// The data layer's error already names the database (never its password).
std::unique_ptr<ado::AdoConnection> Abre(const QString& url)
{
    std::unique_ptr<ado::AdoConnection> db = ado::AdoConnection::Open(url);
    PreparaEsquema(*db);
    return db;
}

QString NombreDeSesion()
{
    QString nombre = qEnvironmentVariable("USER");
    if (nombre.isEmpty())
        nombre = qEnvironmentVariable("USERNAME");
    if (nombre.isEmpty())
        nombre = QDir::home().dirName();
    return nombre;
}

} // namespace

void Sesion::Configura(const QString& url, const QString& operador)
{
    Cierra();
    EstadoSesion& e = estado();
    e.url = url.isEmpty() ? UrlPorDefecto() : url;
    e.operador = operador;
    e.conexion = Abre(e.url);
}

QString Sesion::UrlPorDefecto()
{
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (carpeta.isEmpty() || !QDir().mkpath(carpeta))
        throw kt508::Error(QStringLiteral("No se pudo crear la carpeta de datos de Orbanel (%1).").arg(carpeta));
    return QStringLiteral("sqlite:") + QDir(carpeta).filePath(QStringLiteral("orbanel.db"));
}

ado::AdoConnection& Sesion::Conexion()
{
    EstadoSesion& e = estado();
    if (!e.conexion) {
        if (e.url.isEmpty())
            e.url = UrlPorDefecto();
        e.conexion = Abre(e.url);
    }
    return *e.conexion;
}

QString Sesion::Operador()
{
    const QString& operador = estado().operador;
    return operador.isEmpty() ? NombreDeSesion() : operador;
}

void Sesion::Establece(std::unique_ptr<ado::AdoConnection> conexion, const QString& operador)
{
    EstadoSesion& e = estado();
    e.conexion = std::move(conexion);
    e.url = e.conexion ? e.conexion->url() : QString();
    e.operador = operador;
}

void Sesion::Cierra()
{
    estado().conexion.reset();
}

} // namespace orbanel
