#include "suite/ado/AdoConnection.h"

#include "kt508/services/Error.h"
#include "suite/ado/Fallos.h"
#include "suite/ado/Literales.h"
#include "suite/ado/SentenciasSqlite.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

#if defined(Q_OS_UNIX)
#include <dlfcn.h>
#endif

#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace orbanel::ado {

namespace {

// Prepared forms kept per server connection; the tree load needs one, the commands a handful.
constexpr size_t kMaxPreparadas = 64;
// How long a statement waits for an SQLite file another program holds.
constexpr int kEsperaMs = 5000;
// PostgreSQL's answer when a table changed under a prepared statement's plan.
const QLatin1String kPlanCambiado("0A000");

// SELECT, INSERT, UPDATE or DELETE: statements that leave the schema as it is.
bool EsManipulacion(const QString& sql)
{
    const QString inicio = sql.trimmed().section(QLatin1Char(' '), 0, 0);
    for (const char* verbo : {"SELECT", "INSERT", "UPDATE", "DELETE"}) {
        if (inicio.compare(QLatin1String(verbo), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

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

// True when the driver's plug-in calls the very SQLite library this code calls: only then may
// this code use the driver's handle (a Qt that bundles its own SQLite has other structures).
bool MismaSqlite(const QSqlDriver* driver)
{
#if defined(Q_OS_UNIX)
    Dl_info delDriver{}, nuestra{};
    if (!dladdr(*reinterpret_cast<void* const*>(driver), &delDriver) || !delDriver.dli_fname)
        return false;
    void* plugin = dlopen(delDriver.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!plugin)
        return false;
    void* suya = dlsym(plugin, "sqlite3_libversion");
    dlclose(plugin);
    return suya && dladdr(suya, &delDriver) && dladdr(reinterpret_cast<void*>(&sqlite3_libversion), &nuestra)
        && delDriver.dli_fbase == nuestra.dli_fbase;
#else
    Q_UNUSED(driver);
    return false;
#endif
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
    QSqlQuery query; // statements sent as text
    // SELECTs whose literals become bound values, prepared once per form, so that the tree load's
    // one statement per centre is planned once; forms that do not prepare but whose text runs go
    // as text from then on.
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> preparadas;
    std::unordered_set<QString> sinForma;
    // SQLite through Qt's statements: the schema the prepared forms were made against. Qt's driver
    // cannot follow a change of columns another connection makes under a prepared statement.
    qint64 versionEsquema = -1;
    QString forma;
    QVariantList valores;
    // SQLite: statements run on the driver's own handle, past Qt's per-statement record work.
    std::unique_ptr<SentenciasSqlite> sqlite;
    Dialect dialect = Dialect::SQLite;
    Destino destino;
    QString url;
    bool inTransaction = false;
    bool perdida = false; // the server connection was lost: open it again before the next statement
    bool dudosa = false;  // a failure inside a transaction may have been a lost connection
    QElapsedTimer espera;
    bool avisado = false;

    bool recording = false;
    QStringList recorded;
    std::function<bool(const QString&)> failPredicate;
    QString failMessage;
    std::unique_ptr<QFile> trace;

    void beforeSend(const QString& statement);
    void transaccionSqlite(const QString& orden);
    bool usaFormas() const;
    QSqlQuery* preparada();
    void descartaFormasViejas();
    kt508::Recordset ejecutaForma(const QString& texto);
    kt508::Recordset ejecutaTexto(const QString& texto);
    kt508::Recordset collect(QSqlQuery& q);
    void antesDeEnviar();
    bool responde();
    void reabre();
    QString oculta(QString texto) const;
    QString perdidaEnTransaccion() const;
    [[noreturn]] void falla(const QSqlError& error);
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

// BEGIN, COMMIT and ROLLBACK on the same handle as the statements; they are not the caller's
// statements, so they are neither recorded nor traced.
void AdoConnection::Private::transaccionSqlite(const QString& orden)
{
    sqlite->EjecutaConValores(orden, {});
}

// A PREPARE that fails inside a PostgreSQL transaction aborts it, and so does a plan whose result
// changed under it: inside one, statements go as text. A savepoint around each prepared statement
// would cost more than the planning it saves (the tree load's look-up, measured: 17 us as text,
// 12 us prepared, 25 us prepared behind a savepoint). SQLite's failed prepares abort nothing.
bool AdoConnection::Private::usaFormas() const
{
    const QString driver = db.driverName();
    return (driver == QLatin1String("QPSQL") && !inTransaction) || (driver == QLatin1String("QSQLITE") && !sqlite);
}

// The prepared form in `forma` with `valores` bound, or null when it does not prepare.
QSqlQuery* AdoConnection::Private::preparada()
{
    auto it = preparadas.find(forma);
    if (it == preparadas.end()) {
        if (preparadas.size() >= kMaxPreparadas)
            preparadas.clear();
        auto q = std::make_unique<QSqlQuery>(db);
        q->setForwardOnly(true);
        if (!q->prepare(forma))
            return nullptr;
        it = preparadas.emplace(forma, std::move(q)).first;
    }
    QSqlQuery& q = *it->second;
    for (int i = 0; i < valores.size(); ++i)
        q.bindValue(i, valores.at(i));
    return &q;
}

void AdoConnection::Private::descartaFormasViejas()
{
    if (db.driverName() != QLatin1String("QSQLITE"))
        return;
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA schema_version")) || !version.next())
        return;
    const qint64 actual = version.value(0).toLongLong();
    if (actual != versionEsquema && versionEsquema != -1) {
        preparadas.clear();
        // A statement run against the catalogue makes the connection read the new schema before
        // the next form is prepared against it.
        version.exec(QStringLiteral("SELECT 1 FROM sqlite_master LIMIT 1"));
    }
    versionEsquema = actual;
}

kt508::Recordset AdoConnection::Private::ejecutaForma(const QString& texto)
{
    descartaFormasViejas();
    QSqlQuery* q = preparada();
    if (!q) {
        kt508::Recordset rs = ejecutaTexto(texto); // its own error if the text fails too
        if (sinForma.size() >= kMaxPreparadas)
            sinForma.clear();
        sinForma.insert(forma);
        return rs;
    }
    if (q->exec())
        return collect(*q);
    QSqlError error = q->lastError();
    preparadas.erase(forma); // prepared again, against the schema of then
    if (error.nativeErrorCode() == kPlanCambiado) {
        q = preparada();
        if (q && q->exec())
            return collect(*q);
        if (q)
            error = q->lastError();
    }
    falla(error);
}

kt508::Recordset AdoConnection::Private::ejecutaTexto(const QString& texto)
{
    // A change of the schema would leave the prepared forms planned for the old one.
    if (!EsManipulacion(texto))
        preparadas.clear();
    if (!query.exec(texto))
        falla(query.lastError());
    return collect(query);
}

kt508::Recordset AdoConnection::Private::collect(QSqlQuery& query)
{
    if (!query.isSelect()) {
        query.finish();
        kt508::Recordset vacio;
        vacio.Close();
        return vacio;
    }
    const QSqlRecord record = query.record();
    const int columnas = record.count();
    QStringList names;
    names.reserve(columnas);
    for (int i = 0; i < columnas; ++i)
        names.append(record.fieldName(i));

    std::vector<QVariant> cells;
    cells.reserve(static_cast<size_t>(columnas) * 4);
    while (query.next()) {
        for (int i = 0; i < columnas; ++i) {
            QVariant valor = query.value(i);
            if (valor.isNull())
                cells.emplace_back(); // SQL NULL, whatever type the driver gave it
            else
                cells.push_back(std::move(valor));
        }
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        falla(error);
    return kt508::Recordset(std::move(names), std::move(cells));
}

// A lost connection is opened again only outside a transaction: the one it held is gone with it.
void AdoConnection::Private::antesDeEnviar()
{
    if (inTransaction) {
        if (perdida)
            throw kt508::Error(perdidaEnTransaccion());
        return;
    }
    if (perdida || (dudosa && !responde()))
        reabre();
    dudosa = false;
}

bool AdoConnection::Private::responde()
{
    QSqlQuery sonda(db);
    return sonda.exec(QStringLiteral("SELECT 1"));
}

void AdoConnection::Private::reabre()
{
    preparadas.clear();
    query = QSqlQuery();
    db.close();
    if (!db.open()) {
        const QString propio = oculta(TextoPropio(db.lastError()));
        throw kt508::Error(
            TextoDeFallo(Causa::ConexionPerdida, QString(), destino.descripcion)
            + QStringLiteral(" No se pudo volver a conectar; se intentará de nuevo en la siguiente operación.\n")
            + propio);
    }
    query = QSqlQuery(db);
    query.setForwardOnly(true);
    perdida = false;
    dudosa = false;
}

// The driver's text without the password, should it ever repeat it.
QString AdoConnection::Private::oculta(QString texto) const
{
    return destino.clave.isEmpty() ? texto : texto.replace(destino.clave, QStringLiteral("****"));
}

QString AdoConnection::Private::perdidaEnTransaccion() const
{
    return TextoDeFallo(Causa::ConexionPerdida, QString(), destino.descripcion)
        + QStringLiteral(" La operación en curso se perdió con ella y ninguno de sus cambios se guardó.");
}

// The driver's text behind the lead that says what happened; a lost server connection is marked to
// be opened again. ODBC drivers say little through Qt, so a failure there is checked by asking the
// server for something trivial, except inside a transaction that a failure may have aborted.
void AdoConnection::Private::falla(const QSqlError& error)
{
    const QString driver = db.driverName();
    Causa causa = CausaDe(error, driver);
    const bool servidor = driver != QLatin1String("QSQLITE");
    if (servidor && causa == Causa::Otra) {
        const bool sinEstado = driver == QLatin1String("QPSQL") && error.nativeErrorCode().isEmpty();
        const bool odbc = driver == QLatin1String("QODBC");
        if ((sinEstado || (odbc && !inTransaction)) && !responde())
            causa = Causa::ConexionPerdida;
        dudosa = dudosa || (odbc && inTransaction);
    }
    const QString propio = oculta(TextoPropio(error));
    if (causa != Causa::ConexionPerdida)
        throw kt508::Error(TextoDeFallo(causa, propio, destino.descripcion));
    perdida = true;
    const QString guia = inTransaction ? perdidaEnTransaccion()
                                       : TextoDeFallo(causa, QString(), destino.descripcion)
            + QStringLiteral(" Se volverá a conectar en la siguiente operación.");
    throw kt508::Error(propio.isEmpty() ? guia : guia + QLatin1Char('\n') + propio);
}

void AdoConnection::Private::terminaEspera()
{
    if (!avisado)
        return;
    avisado = false;
    if (avisoDeEspera())
        avisoDeEspera()(false);
}

// SQLite's busy handler: waits as its busy timeout would, telling the suite once that it waits.
int AdoConnection::Private::esperaOcupada(void* datos, int intentos)
{
    auto* d = static_cast<Private*>(datos);
    if (intentos == 0) {
        d->espera.start();
        if (!d->avisado && avisoDeEspera()) {
            d->avisado = true;
            avisoDeEspera()(true);
        }
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
        const QString nombre = db.connectionName();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(nombre);
        throw kt508::Error(QStringLiteral("No está disponible el controlador %1 de Qt SQL.").arg(destino.driver));
    }
    if (!db.open()) {
        QString mensaje = TextoPropio(db.lastError());
        if (!destino.clave.isEmpty())
            mensaje.replace(destino.clave, QStringLiteral("****"));
        const QString nombre = db.connectionName();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(nombre);
        throw kt508::Error(
            QStringLiteral("No se pudo abrir la base de datos %1: %2").arg(destino.descripcion, mensaje));
    }
    std::unique_ptr<AdoConnection> conexion(new AdoConnection());
    Private& d = *conexion->d;
    d.db = std::move(db);
    d.dialect = destino.dialect;
    d.destino = destino;
    d.url = url;
    d.query = QSqlQuery(d.db);
    d.query.setForwardOnly(true);
    const QVariant handle = d.db.driver()->handle();
    if (destino.driver == QLatin1String("QSQLITE") && acceso == AccesoSqlite::SiEsLaMisma
        && qstrcmp(handle.typeName(), "sqlite3*") == 0 && MismaSqlite(d.db.driver())) {
        sqlite3* sqlite = *static_cast<sqlite3* const*>(handle.constData());
        d.sqlite = std::make_unique<SentenciasSqlite>(sqlite, destino.descripcion);
        sqlite3_busy_handler(sqlite, &Private::esperaOcupada, &d);
    }
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
    const QString nombre = d->db.connectionName();
    d->sqlite.reset(); // its statements must be finalized before the handle closes
    d->preparadas.clear();
    d->query = QSqlQuery();
    d->db.close();
    d->db = QSqlDatabase();
    QSqlDatabase::removeDatabase(nombre);
}

kt508::Recordset AdoConnection::Execute(const QString& commandText, int)
{
    d->beforeSend(commandText);
    const Private::FinDeEspera fin(*d);
    if (d->sqlite)
        return d->sqlite->Ejecuta(commandText);
    d->antesDeEnviar();
    if (d->usaFormas() && SeparaLiterales(commandText, d->forma, d->valores) && !d->sinForma.count(d->forma))
        return d->ejecutaForma(commandText);
    return d->ejecutaTexto(commandText);
}

kt508::Recordset AdoConnection::ExecuteParams(const QString& commandText, const QVariantList& values)
{
    d->beforeSend(commandText);
    const Private::FinDeEspera fin(*d);
    if (d->sqlite)
        return d->sqlite->EjecutaConValores(commandText, values);
    d->antesDeEnviar();
    if (!d->query.prepare(commandText))
        d->falla(d->query.lastError());
    for (const QVariant& valor : values)
        d->query.addBindValue(valor);
    if (!d->query.exec())
        d->falla(d->query.lastError());
    return d->collect(d->query);
}

int AdoConnection::BeginTrans()
{
    if (d->inTransaction)
        throw kt508::Error(QStringLiteral("Ya hay una transacción abierta en esta conexión."));
    const Private::FinDeEspera fin(*d);
    if (d->sqlite) {
        d->transaccionSqlite(QStringLiteral("BEGIN"));
    } else {
        d->antesDeEnviar();
        if (!d->db.transaction())
            d->falla(d->db.lastError());
    }
    d->inTransaction = true;
    return 1;
}

void AdoConnection::CommitTrans()
{
    if (!d->inTransaction)
        throw kt508::Error(QStringLiteral("No hay una transacción abierta que confirmar."));
    const Private::FinDeEspera fin(*d);
    // A commit the database refuses leaves the transaction open for the caller's rollback.
    if (d->sqlite) {
        d->transaccionSqlite(QStringLiteral("COMMIT"));
    } else {
        d->antesDeEnviar();
        if (!d->db.commit())
            d->falla(d->db.lastError());
    }
    d->inTransaction = false;
}

void AdoConnection::RollbackTrans()
{
    if (!d->inTransaction)
        throw kt508::Error(QStringLiteral("No hay una transacción abierta que deshacer."));
    const Private::FinDeEspera fin(*d);
    d->inTransaction = false;
    if (d->sqlite)
        d->transaccionSqlite(QStringLiteral("ROLLBACK"));
    else if (!d->perdida && !d->db.rollback()) // a lost connection took its transaction with it
        d->falla(d->db.lastError());
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
    return d->inTransaction;
}

bool AdoConnection::EnTransaccion() const
{
    return d->inTransaction;
}

bool AdoConnection::sqliteDirecta() const
{
    return d->sqlite != nullptr;
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
