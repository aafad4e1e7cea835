#include "suite/ado/AdoConnection.h"

#include "kt508/services/Error.h"
#include "suite/ado/Literales.h"
#include "suite/ado/SentenciasSqlite.h"

#include <QAtomicInt>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

#include <unordered_map>
#include <utility>

namespace orbanel::ado {

namespace {

// Prepared forms kept per server connection; the tree load needs one, the commands a handful.
constexpr size_t kMaxPreparadas = 64;

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

QString textoDe(const QSqlError& error)
{
    const QString propio = error.databaseText().trimmed();
    return propio.isEmpty() ? error.text().trimmed() : propio;
}

QString nombreNuevo()
{
    static QAtomicInt contador;
    return QStringLiteral("orbanel-ado-%1").arg(contador.fetchAndAddRelaxed(1) + 1);
}

// The driver named in an ODBC connection string ("Driver={...};"), empty when it uses a DSN.
QString driverOdbc(const QString& cadena)
{
    const QStringList partes = cadena.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& parte : partes) {
        const int igual = parte.indexOf(QLatin1Char('='));
        if (igual > 0 && parte.left(igual).trimmed().compare(QLatin1String("driver"), Qt::CaseInsensitive) == 0)
            return parte.mid(igual + 1).trimmed().remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    }
    return {};
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
};

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
        return {QStringLiteral("QSQLITE"), Dialect::SQLite, ruta};
    }
    if (url.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || url.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive)) {
        const QUrl u(url, QUrl::StrictMode);
        const QString base = u.path().mid(1);
        if (!u.isValid() || u.host().isEmpty() || base.isEmpty())
            throw kt508::Error(QStringLiteral("La dirección de la base de datos no es válida: %1")
                                   .arg(u.isValid() ? u.toString(QUrl::RemovePassword) : url.section(QLatin1Char('@'), -1)));
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nombreNuevo());
        db.setHostName(u.host());
        db.setPort(u.port(5432));
        db.setDatabaseName(base);
        db.setUserName(u.userName());
        db.setPassword(u.password());
        // Notices (a DROP ... IF EXISTS that found nothing) are no news for the suite.
        db.setConnectOptions(QStringLiteral("connect_timeout=10;options=-cclient_min_messages=warning"));
        return {QStringLiteral("QPSQL"), Dialect::PostgreSQL, u.toString(QUrl::RemovePassword)};
    }
    if (url.startsWith(QLatin1String("odbc:"), Qt::CaseInsensitive)) {
        const QString cadena = url.mid(5);
        if (cadena.trimmed().isEmpty())
            throw kt508::Error(QStringLiteral("La dirección ODBC no trae la cadena de conexión."));
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), nombreNuevo());
        db.setDatabaseName(cadena);
        const QString driver = driverOdbc(cadena);
        return {QStringLiteral("QODBC"), dialectoOdbc(cadena),
                QStringLiteral("ODBC (%1)").arg(driver.isEmpty() ? QStringLiteral("DSN") : driver)};
    }
    throw kt508::Error(QStringLiteral("La dirección de la base de datos no es válida: %1. Se espera "
                                      "sqlite:ARCHIVO, postgresql://usuario@servidor:puerto/base u odbc:CADENA.")
                           .arg(url.section(QLatin1Char('@'), -1)));
}

} // namespace

class AdoConnection::Private {
public:
    QSqlDatabase db;
    QSqlQuery query; // the server databases' statements
    // PostgreSQL: SELECTs whose literals become bound values, prepared once per form on the
    // server, so that the tree load's one statement per centre is planned once.
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> preparadas;
    QString forma;
    QVariantList valores;
    // SQLite: statements run on the driver's own handle, past Qt's per-statement record work.
    std::unique_ptr<SentenciasSqlite> sqlite;
    Dialect dialect = Dialect::SQLite;
    QString url;
    bool inTransaction = false;

    bool recording = false;
    QStringList recorded;
    std::function<bool(const QString&)> failPredicate;
    QString failMessage;
    std::unique_ptr<QFile> trace;

    void beforeSend(const QString& statement);
    void transaccionSqlite(const QString& orden);
    QSqlQuery* preparadaPara(const QString& statement);
    static kt508::Recordset collect(QSqlQuery& q);
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

// The prepared form of a SELECT with its literals bound, or null when the statement goes as text.
QSqlQuery* AdoConnection::Private::preparadaPara(const QString& statement)
{
    if (dialect != Dialect::PostgreSQL || db.driverName() != QLatin1String("QPSQL")
        || !SeparaLiterales(statement, forma, valores))
        return nullptr;
    auto it = preparadas.find(forma);
    if (it == preparadas.end()) {
        if (preparadas.size() >= kMaxPreparadas)
            preparadas.clear();
        auto q = std::make_unique<QSqlQuery>(db);
        q->setForwardOnly(true);
        if (!q->prepare(forma))
            return nullptr; // sent as text: the database reports its own error
        it = preparadas.emplace(forma, std::move(q)).first;
    }
    QSqlQuery& q = *it->second;
    for (int i = 0; i < valores.size(); ++i)
        q.bindValue(i, valores.at(i));
    return &q;
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
        throw kt508::Error(textoDe(error));
    return kt508::Recordset(std::move(names), std::move(cells));
}

AdoConnection::AdoConnection(QSqlDatabase db, Dialect dialect, QString url)
    : d(std::make_unique<Private>())
{
    d->db = std::move(db);
    d->dialect = dialect;
    d->url = std::move(url);
    d->query = QSqlQuery(d->db);
    d->query.setForwardOnly(true);
    if (d->dialect == Dialect::SQLite) {
        const QVariant handle = d->db.driver()->handle();
        sqlite3* conexion = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
            ? *static_cast<sqlite3* const*>(handle.constData())
            : nullptr;
        if (conexion) // without it the statements simply go through Qt SQL
            d->sqlite = std::make_unique<SentenciasSqlite>(conexion);
    }
    const QString tracePath = qEnvironmentVariable("ORBANEL_SQL_TRACE");
    if (!tracePath.isEmpty()) {
        auto file = std::make_unique<QFile>(tracePath);
        if (file->open(QIODevice::WriteOnly | QIODevice::Append))
            d->trace = std::move(file);
    }
}

std::unique_ptr<AdoConnection> AdoConnection::Open(const QString& url)
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
        const QString mensaje = textoDe(db.lastError());
        const QString nombre = db.connectionName();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(nombre);
        throw kt508::Error(QStringLiteral("No se pudo abrir la base de datos %1: %2").arg(destino.descripcion, mensaje));
    }
    return std::unique_ptr<AdoConnection>(new AdoConnection(std::move(db), destino.dialect, url));
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
    if (d->sqlite)
        return d->sqlite->Ejecuta(commandText);
    if (QSqlQuery* preparada = d->preparadaPara(commandText)) {
        if (!preparada->exec()) {
            const QString error = textoDe(preparada->lastError());
            d->preparadas.erase(d->forma); // prepared again next time, against the schema of then
            throw kt508::Error(error);
        }
        return d->collect(*preparada);
    }
    // A change of the schema would leave the prepared forms planned for the old one.
    if (!EsManipulacion(commandText))
        d->preparadas.clear();
    if (!d->query.exec(commandText))
        throw kt508::Error(textoDe(d->query.lastError()));
    return d->collect(d->query);
}

kt508::Recordset AdoConnection::ExecuteParams(const QString& commandText, const QVariantList& values)
{
    d->beforeSend(commandText);
    if (d->sqlite)
        return d->sqlite->EjecutaConValores(commandText, values);
    if (!d->query.prepare(commandText))
        throw kt508::Error(textoDe(d->query.lastError()));
    for (const QVariant& valor : values)
        d->query.addBindValue(valor);
    if (!d->query.exec())
        throw kt508::Error(textoDe(d->query.lastError()));
    return d->collect(d->query);
}

int AdoConnection::BeginTrans()
{
    if (d->inTransaction)
        throw kt508::Error(QStringLiteral("Ya hay una transacción abierta en esta conexión."));
    if (d->sqlite)
        d->transaccionSqlite(QStringLiteral("BEGIN"));
    else if (!d->db.transaction())
        throw kt508::Error(textoDe(d->db.lastError()));
    d->inTransaction = true;
    return 1;
}

void AdoConnection::CommitTrans()
{
    if (!d->inTransaction)
        throw kt508::Error(QStringLiteral("No hay una transacción abierta que confirmar."));
    // A commit the database refuses leaves the transaction open for the caller's rollback.
    if (d->sqlite)
        d->transaccionSqlite(QStringLiteral("COMMIT"));
    else if (!d->db.commit())
        throw kt508::Error(textoDe(d->db.lastError()));
    d->inTransaction = false;
}

void AdoConnection::RollbackTrans()
{
    if (!d->inTransaction)
        throw kt508::Error(QStringLiteral("No hay una transacción abierta que deshacer."));
    d->inTransaction = false;
    if (d->sqlite)
        d->transaccionSqlite(QStringLiteral("ROLLBACK"));
    else if (!d->db.rollback())
        throw kt508::Error(textoDe(d->db.lastError()));
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
