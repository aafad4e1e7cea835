#include "suite/services/Sesion.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"
#include "suite/schema/Tablas.h"
#include "suite/schema/Transaccion.h"
#include "suite/schema/Versiones.h"

#include <QDebug>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace orbanel {

namespace {

struct EstadoSesion {
    QString url;
    QString operador;
    Sesion::Esquema esquema = Sesion::Esquema::SiEstaVacia;
    std::unique_ptr<ado::AdoConnection> conexion;
};

EstadoSesion& estado()
{
    static EstadoSesion instancia;
    return instancia;
}

// The database as a message may name it: never a password.
QString NombreVisible(const QString& url)
{
    if (url.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        return url.mid(7);
    if (url.startsWith(QLatin1String("odbc:"), Qt::CaseInsensitive))
        return QString(url).remove(
            QRegularExpression(QStringLiteral("(pwd|password)=[^;]*;?"), QRegularExpression::CaseInsensitiveOption));
    return QUrl(url).toString(QUrl::RemovePassword);
}

QString ListaCorta(const QStringList& nombres)
{
    constexpr int Mostradas = 5;
    QString lista = nombres.mid(0, Mostradas).join(QStringLiteral(", "));
    if (nombres.size() > Mostradas)
        lista += QStringLiteral(" y %1 más").arg(nombres.size() - Mostradas);
    return lista;
}

// Another program's database is never written into unless the user asked for it.
void RehusaAjena(const QString& url, const QStringList& tablas)
{
    throw kt508::Error(QStringLiteral("La base de datos %1 no tiene el catálogo de Orbanel y ya guarda otras tablas "
                                      "(%2). No se escribió nada en ella.\n\nSi es la base de datos que quiere usar, "
                                      "ábrala con la opción --crear-esquema: se crearán en ella las tablas de Orbanel, "
                                      "sin datos de ejemplo.")
                           .arg(NombreVisible(url), ListaCorta(tablas)));
}

// A catalogue this connection cannot use is still the office's: nothing goes beside it.
void RehusaInaccesible(const QString& url, const schema::Catalogo& catalogo)
{
    const QString causa = catalogo.legible
        ? QStringLiteral("El catálogo de Orbanel de la base de datos %1 está en el esquema %2, fuera de la ruta de "
                         "búsqueda de su usuario.")
        : QStringLiteral("Su usuario no tiene permiso para leer el catálogo de Orbanel de la base de datos %1, que "
                         "está en el esquema %2.");
    throw kt508::Error(causa.arg(NombreVisible(url), catalogo.esquema)
                       + QStringLiteral(" No se creó nada en ella.\n\nPida a quien administra la base de datos "
                                        "acceso a las tablas de ese esquema."));
}

// The rows a message names, the first ones when they are many (the check lists them all).
QString Renglones(const QStringList& renglones)
{
    constexpr int Mostrados = 20;
    QString lista = QStringLiteral("- ") + renglones.mid(0, Mostrados).join(QStringLiteral("\n- "));
    if (renglones.size() > Mostrados)
        lista += QStringLiteral("\n- y %1 más").arg(renglones.size() - Mostrados);
    return lista;
}

// A database made by an earlier version of the suite is brought up to date; one whose data a
// new rule refuses, or that could not be changed, goes on working as it is.
void ActualizaEsquema(ado::AdoConnection& db)
{
    const QString nombre = NombreVisible(db.url());
    try {
        const schema::Actualizacion a = schema::Actualiza(db, Sesion::Operador());
        if (a.hasta > a.desde)
            qInfo().noquote() << QStringLiteral("La base de datos %1 se actualizó de la versión %2 a la versión %3 "
                                                "del esquema de Orbanel.")
                                     .arg(nombre)
                                     .arg(a.desde)
                                     .arg(a.hasta);
        else if (!a.rehusados.isEmpty())
            qWarning().noquote() << QStringLiteral("La base de datos %1 sigue en la versión %2 del esquema de Orbanel: "
                                                   "no se actualizó a la versión %3 porque estos renglones no cumplen "
                                                   "sus reglas. Corríjalos y ábrala de nuevo.\n%4")
                                        .arg(nombre)
                                        .arg(a.desde)
                                        .arg(schema::VersionActual)
                                        .arg(Renglones(a.rehusados));
    } catch (const kt508::Error& e) {
        qWarning().noquote() << QStringLiteral("La base de datos %1 no se pudo actualizar a la versión %2 del esquema "
                                               "de Orbanel y sigue como estaba: %3")
                                    .arg(nombre)
                                    .arg(schema::VersionActual)
                                    .arg(e.Description());
    }
}

// The schema and the demo go only into a database without a catalogue in any of its schemas.
void PreparaEsquema(ado::AdoConnection& db, Sesion::Esquema esquema)
{
    const QList<schema::Catalogo> catalogos = schema::Catalogos(db);
    if (std::any_of(catalogos.cbegin(), catalogos.cend(), [](const schema::Catalogo& c) { return c.Usable(); })) {
        ActualizaEsquema(db);
        return;
    }
    if (!catalogos.isEmpty())
        RehusaInaccesible(db.url(), catalogos.first());
    const QStringList tablas = schema::TablasPresentes(db);
    if (!tablas.isEmpty() && esquema != Sesion::Esquema::Crear)
        RehusaAjena(db.url(), tablas);
    const bool conDemo = tablas.isEmpty() && esquema != Sesion::Esquema::Crear;
    try {
        schema::EnTransaccion(db, [&db, conDemo] {
            schema::Crea(db);
            if (conDemo)
                schema::CargaDemo(db);
            schema::AnotaEstadoInicial(db, Sesion::Operador());
        });
    } catch (const kt508::Error& e) {
        throw kt508::Error(QStringLiteral("No se pudo crear la base de datos de Orbanel: %1").arg(e.Description()));
    }
}

// A process may end with exit() while Qt runs (Qt does so when the display is lost): the
// connection must close then, before the destructors of Qt SQL's own objects that it needs.
// Registered once a connection is open, after those objects exist, the closing runs first.
void CierraAlTerminar()
{
    static const bool registrado = std::atexit(&Sesion::Cierra) == 0;
    Q_UNUSED(registrado);
}

// The data layer's error already names the database (never its password).
std::unique_ptr<ado::AdoConnection> Abre(const QString& url, Sesion::Esquema esquema)
{
    std::unique_ptr<ado::AdoConnection> db = schema::Abre(url);
    CierraAlTerminar();
    PreparaEsquema(*db, esquema);
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

void Sesion::Configura(const QString& url, const QString& operador, Esquema esquema)
{
    Cierra();
    EstadoSesion& e = estado();
    e.url = url.isEmpty() ? UrlPorDefecto() : url;
    e.operador = operador;
    e.esquema = esquema;
    e.conexion = Abre(e.url, e.esquema);
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
        e.conexion = Abre(e.url, e.esquema);
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
    CierraAlTerminar();
}

void Sesion::Cierra()
{
    std::unique_ptr<ado::AdoConnection> conexion = std::move(estado().conexion);
    // A command cut short by the end of the process leaves nothing half done.
    if (conexion && conexion->inTransaction()) {
        try {
            conexion->RollbackTrans();
        } catch (const kt508::Error&) {
            // the connection goes anyway, and its database drops what it did not commit
        }
    }
}

} // namespace orbanel
