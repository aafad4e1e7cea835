#include "suite/ado/AdoConnection.h"

#include "kt508/services/Error.h"
#include "suite/ado/Dialecto.h"
#include "suite/ado/Fallos.h"
#include "suite/ado/Motor.h"
#include "suite/ado/SentenciasPostgres.h"
#include "suite/ado/SentenciasQt.h"
#include "suite/ado/SentenciasSqlite.h"

#include <QAtomicInt>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QTime>
#include <QUrl>

#include <libpq-fe.h>
#include <sqlite3.h>

#if defined(Q_OS_UNIX)
#include <dlfcn.h>
#endif

#include <exception>
#include <map>
#include <utility>

namespace orbanel::ado {

namespace {

// How long a statement waits for an SQLite file another program holds.
constexpr int kEsperaMs = 5000;

QString nombreNuevo()
{
    static QAtomicInt contador;
    return QStringLiteral("orbanel-ado-%1").arg(contador.fetchAndAddRelaxed(1) + 1);
}

// A value of an ODBC connection string ("Driver={...};Server=...;"), empty when absent.
QString valorOdbc(const QString& cadena, std::initializer_list<const char*> claves)
{
    const QStringList partes = cadena.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& parte : partes) {
        const int igual = parte.indexOf(QLatin1Char('='));
        for (const char* clave : claves) {
            if (igual > 0 && parte.left(igual).trimmed().compare(QLatin1String(clave), Qt::CaseInsensitive) == 0)
                return parte.mid(igual + 1).trimmed().remove(QLatin1Char('{')).remove(QLatin1Char('}'));
        }
    }
    return {};
}

QString driverOdbc(const QString& cadena)
{
    return valorOdbc(cadena, {"driver"});
}

Dialect dialectoOdbc(const QString& cadena)
{
    const QString driver = driverOdbc(cadena);
    const bool postgres = driver.contains(QLatin1String("postgres"), Qt::CaseInsensitive)
        || driver.contains(QLatin1String("psql"), Qt::CaseInsensitive);
    return postgres ? Dialect::PostgreSQL : Dialect::SqlServer;
}

struct Destino {
    QString driver;
    Dialect dialect = Dialect::SQLite;
    QString descripcion; // what an error message may show (never a password)
    QString clave;       // the password, to keep it out of the driver's texts
};

// True when the driver's plug-in calls the very library (the one that exports `simbolo`) this
// code calls through `nuestro`: only then may this code use the driver's handle.
bool MismaBiblioteca(const QSqlDriver* driver, const char* simbolo, void* nuestro)
{
#if defined(Q_OS_UNIX)
    Dl_info delDriver{}, nuestra{};
    if (!dladdr(*reinterpret_cast<void* const*>(driver), &delDriver) || !delDriver.dli_fname)
        return false;
    void* plugin = dlopen(delDriver.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!plugin)
        return false;
    void* suya = dlsym(plugin, simbolo);
    dlclose(plugin);
    return suya && dladdr(suya, &delDriver) && dladdr(nuestro, &nuestra) && delDriver.dli_fbase == nuestra.dli_fbase;
#else
    Q_UNUSED(driver);
    Q_UNUSED(simbolo);
    Q_UNUSED(nuestro);
    return false;
#endif
}

// Null as Qt SQL understands it: an invalid variant or a null string, date or byte array.
QVariant NuloDeQt(const QVariant& valor)
{
    bool nulo = valor.isNull();
    switch (valor.typeId()) {
    case QMetaType::QString: nulo = static_cast<const QString*>(valor.constData())->isNull(); break;
    case QMetaType::QByteArray: nulo = static_cast<const QByteArray*>(valor.constData())->isNull(); break;
    case QMetaType::QDate: nulo = static_cast<const QDate*>(valor.constData())->isNull(); break;
    case QMetaType::QTime: nulo = static_cast<const QTime*>(valor.constData())->isNull(); break;
    case QMetaType::QDateTime: nulo = static_cast<const QDateTime*>(valor.constData())->isNull(); break;
    default: break;
    }
    return nulo ? QVariant() : valor;
}

// Forgets a connection that never became the suite's.
void Descarta(QSqlDatabase& db)
{
    const QString nombre = db.connectionName();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(nombre);
}

std::function<void(bool)>& avisoDeEspera()
{
    static std::function<void(bool)> aviso;
    return aviso;
}

Destino configura(QSqlDatabase& db, const QString& url)
{
    if (url.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        const QString ruta = url.mid(7);
        if (ruta.isEmpty())
            throw kt508::Error(QStringLiteral("La dirección de la base de datos no indica el archivo: %1").arg(url));
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombreNuevo());
        db.setDatabaseName(ruta);
        // Another process may hold the file for a moment; wait instead of failing.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        return {QStringLiteral("QSQLITE"), Dialect::SQLite, ruta, {}};
    }
    if (url.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || url.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive)) {
        const QUrl u(url, QUrl::StrictMode);
        const QString base = u.path().mid(1);
        if (!u.isValid() || u.host().isEmpty() || base.isEmpty())
            throw kt508::Error(
                QStringLiteral("La dirección de la base de datos no es válida: %1")
                    .arg(u.isValid() ? u.toString(QUrl::RemovePassword) : url.section(QLatin1Char('@'), -1)));
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nombreNuevo());
        db.setHostName(u.host());
        db.setPort(u.port(5432));
        db.setDatabaseName(base);
        db.setUserName(u.userName());
        db.setPassword(u.password());
        // Notices (a DROP ... IF EXISTS that found nothing) are no news for the suite.
        db.setConnectOptions(QStringLiteral("connect_timeout=10;options=-cclient_min_messages=warning"));
        return {QStringLiteral("QPSQL"), Dialect::PostgreSQL, u.toString(QUrl::RemovePassword), u.password()};
    }
    if (url.startsWith(QLatin1String("odbc:"), Qt::CaseInsensitive)) {
        const QString cadena = url.mid(5);
        if (cadena.trimmed().isEmpty())
            throw kt508::Error(QStringLiteral("La dirección ODBC no trae la cadena de conexión."));
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), nombreNuevo());
        db.setDatabaseName(cadena);
        const QString driver = driverOdbc(cadena);
        const QString servidor = valorOdbc(cadena, {"server", "servername", "host", "dsn"});
        return {QStringLiteral("QODBC"), dialectoOdbc(cadena),
                QStringLiteral("ODBC (%1%2)")
                    .arg(driver.isEmpty() ? QStringLiteral("DSN") : driver,
                         servidor.isEmpty() ? QString() : QStringLiteral(", ") + servidor),
                valorOdbc(cadena, {"pwd", "password"})};
    }
    throw kt508::Error(QStringLiteral("La dirección de la base de datos no es válida: %1. Se espera "
                                      "sqlite:ARCHIVO, postgresql://usuario@servidor:puerto/base u odbc:CADENA.")
                           .arg(url.section(QLatin1Char('@'), -1)));
}

} // namespace

class AdoConnection::Private {
public:
    QSqlDatabase db;
    std::unique_ptr<Motor> motor;
    bool sqliteDirecta = false;
    Dialect dialect = Dialect::SQLite;
    QString url;
    QElapsedTimer espera;
    bool avisado = false;

    bool recording = false;
    QStringList recorded;
    std::function<bool(const QString&)> failPredicate;
    QString failMessage;
    std::unique_ptr<QFile> trace;

    void beforeSend(const QString& statement);
    void beforeSend(const kt508::Sentencia& sentencia);
    Orden orden(const kt508::Sentencia& sentencia) const;
    Orden ordenDeInterrogaciones(const QString& texto, const QVariantList& valores) const;
    kt508::Recordset una(Orden orden);
    void lote(size_t cuantas, const std::function<Orden(size_t)>& prepara, const kt508::Connection::Recibe& recibe);
    std::vector<kt508::Resultado> lote(size_t cuantas, const std::function<Orden(size_t)>& prepara);
    void empiezaEspera();
    void terminaEspera();
    static int esperaOcupada(void* datos, int intentos);

    // Ends the wait signalled while a public call ran, however that call ends.
    class FinDeEspera {
    public:
        explicit FinDeEspera(Private& d)
            : m_d(d)
        {
        }
        ~FinDeEspera() { m_d.terminaEspera(); }
        FinDeEspera(const FinDeEspera&) = delete;
        FinDeEspera& operator=(const FinDeEspera&) = delete;

    private:
        Private& m_d;
    };
};

// Records, injects the chosen failure, then traces: a statement made to fail is not sent.
void AdoConnection::Private::beforeSend(const QString& statement)
{
    if (recording)
        recorded.append(statement);
    if (failPredicate && failPredicate(statement))
        throw kt508::Error(failMessage);
    if (trace) {
        trace->write(statement.toUtf8());
        trace->write("\n", 1);
        trace->flush();
    }
}

// The text is written only when something looks at it.
void AdoConnection::Private::beforeSend(const kt508::Sentencia& sentencia)
{
    if (recording || failPredicate || trace)
        beforeSend(sentencia.Texto());
    else
        sentencia.CompruebaCompleta();
}

// Each mark takes a blank after it: a form may go on right after a value (":{fecha}WHERE"), which
// a quoted literal allows and a mark ("$2WHERE", "?WHERE") does not.
Orden AdoConnection::Private::orden(const kt508::Sentencia& sentencia) const
{
    const Motor& m = *motor;
    const Dialecto& dialecto = Dialecto::De(dialect);
    return {sentencia.forma().Compone([&m](int i) { return m.Marca(i) + QLatin1Char(' '); },
                                      sentencia.Identificadores(),
                                      [&dialecto](kt508::Forma::Bloqueo lugar) { return dialecto.Bloqueo(lugar); }),
            sentencia.Valores()};
}

Orden AdoConnection::Private::ordenDeInterrogaciones(const QString& texto, const QVariantList& valores) const
{
    QVariantList enlazados;
    enlazados.reserve(valores.size());
    for (const QVariant& valor : valores)
        enlazados.append(NuloDeQt(valor));
    return {motor->DesdeInterrogaciones(texto), std::move(enlazados)};
}

kt508::Recordset AdoConnection::Private::una(Orden orden)
{
    std::vector<kt508::Resultado> resultado = motor->Lote({std::move(orden)});
    if (!resultado.front().Corrio())
        throw kt508::Error(resultado.front().error);
    return std::move(resultado.front().filas);
}

void AdoConnection::Private::terminaEspera()
{
    if (!avisado)
        return;
    avisado = false;
    if (avisoDeEspera())
        avisoDeEspera()(false);
}

void AdoConnection::Private::empiezaEspera()
{
    if (avisado || !avisoDeEspera())
        return;
    avisado = true;
    avisoDeEspera()(true);
}

// SQLite's busy handler: waits as its busy timeout would, telling the suite once that it waits.
int AdoConnection::Private::esperaOcupada(void* datos, int intentos)
{
    auto* d = static_cast<Private*>(datos);
    if (intentos == 0) {
        d->espera.start();
        d->empiezaEspera();
    }
    if (d->espera.elapsed() >= kEsperaMs)
        return 0;
    sqlite3_sleep(intentos < 10 ? 5 : 25);
    return 1;
}

AdoConnection::AdoConnection()
    : d(std::make_unique<Private>())
{
}

std::unique_ptr<AdoConnection> AdoConnection::Open(const QString& url, AccesoSqlite acceso)
{
    QSqlDatabase db;
    const Destino destino = configura(db, url);
    if (!db.isValid()) {
        Descarta(db);
        throw kt508::Error(QStringLiteral("No está disponible el controlador %1 de Qt SQL.").arg(destino.driver));
    }
    if (!db.open()) {
        QString mensaje = TextoPropio(db.lastError());
        if (!destino.clave.isEmpty())
            mensaje.replace(destino.clave, QStringLiteral("****"));
        Descarta(db);
        throw kt508::Error(
            QStringLiteral("No se pudo abrir la base de datos %1: %2").arg(destino.descripcion, mensaje));
    }
    std::unique_ptr<AdoConnection> conexion(new AdoConnection());
    Private& d = *conexion->d;
    d.dialect = destino.dialect;
    d.url = url;
    const QVariant handle = db.driver()->handle();
    if (destino.driver == QLatin1String("QSQLITE")) {
        if (acceso == AccesoSqlite::SiEsLaMisma && qstrcmp(handle.typeName(), "sqlite3*") == 0
            && MismaBiblioteca(db.driver(), "sqlite3_libversion", reinterpret_cast<void*>(&sqlite3_libversion))) {
            sqlite3* sqlite = *static_cast<sqlite3* const*>(handle.constData());
            d.motor = std::make_unique<SentenciasSqlite>(sqlite, destino.descripcion);
            d.sqliteDirecta = true;
            sqlite3_busy_handler(sqlite, &Private::esperaOcupada, &d);
        } else {
            d.motor = std::make_unique<SentenciasQt>(db, nullptr, destino.descripcion, destino.clave);
        }
    } else if (destino.driver == QLatin1String("QPSQL")) {
        if (!MismaBiblioteca(db.driver(), "PQlibVersion", reinterpret_cast<void*>(&PQlibVersion))) {
            Descarta(db);
            throw kt508::Error(QStringLiteral("El controlador de PostgreSQL de Qt usa otra biblioteca libpq que "
                                              "Orbanel; no se puede abrir %1.")
                                   .arg(destino.descripcion));
        }
        d.motor = std::make_unique<SentenciasPostgres>(db, destino.descripcion, destino.clave);
    } else {
        d.motor =
            std::make_unique<SentenciasQt>(db, &Dialecto::De(destino.dialect), destino.descripcion, destino.clave);
    }
    d.motor->AlTardar([&d] { d.empiezaEspera(); });
    d.db = std::move(db);
    const QString tracePath = qEnvironmentVariable("ORBANEL_SQL_TRACE");
    if (!tracePath.isEmpty()) {
        auto file = std::make_unique<QFile>(tracePath);
        if (file->open(QIODevice::WriteOnly | QIODevice::Append))
            d.trace = std::move(file);
    }
    return conexion;
}

AdoConnection::~AdoConnection()
{
    d->motor.reset(); // SQLite's statements must be finalized before the handle closes
    Descarta(d->db);
}

kt508::Recordset AdoConnection::Execute(const QString& commandText, int)
{
    d->beforeSend(commandText);
    const Private::FinDeEspera fin(*d);
    return d->motor->Texto(commandText);
}

kt508::Recordset AdoConnection::ExecuteParams(const QString& commandText, const QVariantList& values)
{
    d->beforeSend(commandText);
    const Private::FinDeEspera fin(*d);
    return d->una(d->ordenDeInterrogaciones(commandText, values));
}

kt508::Recordset AdoConnection::Ejecuta(const kt508::Sentencia& sentencia)
{
    d->beforeSend(sentencia);
    const Private::FinDeEspera fin(*d);
    return d->una(d->orden(sentencia));
}

// Each statement passes the recording, the injected failure and the trace in order; those that
// may go then travel together. Inside a transaction nothing after a failure is sent. The results
// reach `recibe` in order, those of statements that never went among those the engine hands on;
// what `recibe` throws waits until the engine has read its whole batch.
void AdoConnection::Private::lote(size_t cuantas, const std::function<Orden(size_t)>& prepara,
                                  const kt508::Connection::Recibe& recibe)
{
    std::map<size_t, QString> noEnviadas; // why each statement that did not go failed
    std::vector<Orden> ordenes;
    std::vector<size_t> posiciones;
    const FinDeEspera fin(*this);
    for (size_t i = 0; i < cuantas; ++i) {
        try {
            ordenes.push_back(prepara(i));
            posiciones.push_back(i);
        } catch (const kt508::Error& e) {
            noEnviadas[i] = e.Description();
            if (!motor->EnTransaccion())
                continue;
            for (size_t resto = i + 1; resto < cuantas; ++resto)
                noEnviadas[resto] = Motor::NoSeEjecuto();
            break;
        }
    }
    std::exception_ptr problema;
    const auto pasa = [&](size_t posicion, kt508::Resultado& resultado) {
        if (problema)
            return;
        try {
            recibe(posicion, resultado);
        } catch (...) {
            problema = std::current_exception();
        }
    };
    size_t siguiente = 0;
    const auto pasaNoEnviadas = [&](size_t hasta) {
        for (; siguiente < hasta; ++siguiente) {
            kt508::Resultado fallida;
            fallida.error = noEnviadas.at(siguiente);
            pasa(siguiente, fallida);
        }
    };
    const auto entrega = [&](size_t posicion, kt508::Resultado& resultado) {
        pasaNoEnviadas(posicion);
        pasa(posicion, resultado);
        siguiente = posicion + 1;
    };
    size_t entregadas = 0;
    try {
        motor->Lote(ordenes, [&](size_t k, kt508::Resultado& resultado) {
            entrega(posiciones[k], resultado);
            entregadas = k + 1;
        });
    } catch (const kt508::Error& e) {
        for (; entregadas < ordenes.size(); ++entregadas) {
            kt508::Resultado fallida;
            fallida.error = e.Description();
            entrega(posiciones[entregadas], fallida);
        }
    }
    pasaNoEnviadas(cuantas);
    if (problema)
        std::rethrow_exception(problema);
}

std::vector<kt508::Resultado> AdoConnection::Private::lote(size_t cuantas, const std::function<Orden(size_t)>& prepara)
{
    std::vector<kt508::Resultado> resultados(cuantas);
    lote(cuantas, prepara,
         [&resultados](size_t i, kt508::Resultado& resultado) { resultados[i] = std::move(resultado); });
    return resultados;
}

std::vector<kt508::Resultado> AdoConnection::EjecutaLote(const std::vector<kt508::Sentencia>& lote)
{
    return d->lote(lote.size(), [this, &lote](size_t i) {
        d->beforeSend(lote[i]);
        return d->orden(lote[i]);
    });
}

void AdoConnection::EjecutaLote(const std::vector<kt508::Sentencia>& lote, const Recibe& recibe)
{
    d->lote(
        lote.size(),
        [this, &lote](size_t i) {
            d->beforeSend(lote[i]);
            return d->orden(lote[i]);
        },
        recibe);
}

std::vector<kt508::Resultado> AdoConnection::ExecuteParamsBatch(const std::vector<ConValores>& lote)
{
    return d->lote(lote.size(), [this, &lote](size_t i) {
        d->beforeSend(lote[i].texto);
        return d->ordenDeInterrogaciones(lote[i].texto, lote[i].valores);
    });
}

int AdoConnection::BeginTrans()
{
    if (d->motor->EnTransaccion())
        throw kt508::Error(QStringLiteral("Ya hay una transacción abierta en esta conexión."));
    const Private::FinDeEspera fin(*d);
    d->motor->Comienza();
    return 1;
}

void AdoConnection::CommitTrans()
{
    if (!d->motor->EnTransaccion())
        throw kt508::Error(QStringLiteral("No hay una transacción abierta que confirmar."));
    const Private::FinDeEspera fin(*d);
    d->motor->Confirma();
}

void AdoConnection::RollbackTrans()
{
    if (!d->motor->EnTransaccion())
        throw kt508::Error(QStringLiteral("No hay una transacción abierta que deshacer."));
    const Private::FinDeEspera fin(*d);
    d->motor->Deshace();
}

long AdoConnection::Viajes() const
{
    return d->motor->Viajes();
}

Dialect AdoConnection::dialect() const
{
    return d->dialect;
}

QString AdoConnection::url() const
{
    return d->url;
}

bool AdoConnection::inTransaction() const
{
    return d->motor->EnTransaccion();
}

bool AdoConnection::EnTransaccion() const
{
    return d->motor->EnTransaccion();
}

bool AdoConnection::sqliteDirecta() const
{
    return d->sqliteDirecta;
}

void AdoConnection::Ajusta(const QStringList& sentencias)
{
    for (const QString& sentencia : sentencias)
        Execute(sentencia);
    d->motor->Ajustes(sentencias);
}

void AdoConnection::setAvisoDeEspera(std::function<void(bool esperando)> aviso)
{
    avisoDeEspera() = std::move(aviso);
}

void AdoConnection::setRecording(bool on)
{
    d->recording = on;
}

QStringList AdoConnection::recorded() const
{
    return d->recorded;
}

void AdoConnection::clearRecorded()
{
    d->recorded.clear();
}

void AdoConnection::failWhen(std::function<bool(const QString& statement)> predicate, QString message)
{
    d->failPredicate = std::move(predicate);
    d->failMessage = std::move(message);
}

void AdoConnection::failContaining(const QString& fragment, int occurrence)
{
    int vistas = 0;
    failWhen([fragment, occurrence, vistas](const QString& statement) mutable {
        return statement.contains(fragment) && ++vistas == occurrence;
    });
}

void AdoConnection::clearFailure()
{
    d->failPredicate = nullptr;
    d->failMessage.clear();
}

} // namespace orbanel::ado
