// Opening a database: one of an earlier version of the suite brought up to date, one that is not
// yet the suite's, another user's schema, and the texts' length limits.
#include "suite/ado/Dialecto.h"
#include "suite/schema/Guiones.h"
#include "suite/schema/Schema.h"
#include "suite/schema/Tablas.h"
#include "suite/schema/Versiones.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using orbanel::Sesion;
using orbanel::ado::AdoConnection;
using orbanel::ado::Dialect;
using pruebas::escalar;

namespace {

// The database as the schema's first version left it, with the demo and then the statements given.
void version1(AdoConnection& db, const QStringList& sentencias = {})
{
    orbanel::schema::Borra(db);
    const QString guion = u":/version1/%1.sql"_s.arg(orbanel::ado::Dialecto::De(db.dialect()).Nombre());
    for (const QString& sentencia : orbanel::schema::SentenciasDe(guion))
        db.Execute(sentencia);
    orbanel::schema::CargaDemo(db);
    for (const QString& sentencia : sentencias)
        db.Execute(sentencia);
}

// The schema as the database describes it: tables, columns, keys, references, checks, indexes.
QStringList estructura(AdoConnection& db)
{
    const QStringList consultas = db.dialect() == Dialect::SQLite
        ? QStringList{u"SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name"_s}
        : QStringList{u"SELECT table_name, column_name, data_type, character_maximum_length, numeric_precision, "
                      "numeric_scale, column_default, is_nullable FROM information_schema.columns "
                      "WHERE table_schema = current_schema() ORDER BY 1, 2"_s,
                      u"SELECT conrelid::regclass::text, conname, pg_get_constraintdef(oid) FROM pg_constraint "
                      "WHERE connamespace = current_schema()::regnamespace ORDER BY 1, 2"_s,
                      u"SELECT tablename, indexname, indexdef FROM pg_indexes "
                      "WHERE schemaname = current_schema() ORDER BY 1, 2"_s};
    // SQLite quotes the name of a table it renamed.
    static const QRegularExpression renombrada(u"^CREATE TABLE \"(\\w+)\""_s);
    QStringList lineas;
    for (const QString& consulta : consultas) {
        for (kt508::Recordset rs = db.Execute(consulta); !rs.Eof(); rs.MoveNext()) {
            QStringList valores;
            for (int i = 0; i < rs.FieldCount(); ++i)
                valores << rs.Value(i).toString().simplified().replace(renombrada, u"CREATE TABLE \\1"_s);
            lineas << valores.join(QLatin1Char('|'));
        }
    }
    return lineas;
}

int centros(AdoConnection& db)
{
    return escalar(db, u"SELECT COUNT(*) FROM Centro_Costo"_s).toInt();
}

QStringList* dichos = nullptr;

// What the action said on the console, one text a message.
QStringList enConsola(const std::function<void()>& accion)
{
    QStringList lista;
    dichos = &lista;
    const QtMessageHandler anterior = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& texto) { dichos->append(texto); });
    const QString error = pruebas::errorDe(accion);
    qInstallMessageHandler(anterior);
    if (!error.isEmpty())
        lista << u"error: "_s + error;
    return lista;
}

// What a database with the other program's table holds: the file's bytes (SQLite), its tables and
// that table's row.
QString contenido(const QString& url)
{
    QFile archivo(url.mid(7));
    const bool sqlite = url.startsWith(QLatin1String("sqlite:"));
    const QByteArray bytes = sqlite && archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
    std::unique_ptr<AdoConnection> db = AdoConnection::Open(url);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + QLatin1Char('|')
        + orbanel::schema::TablasPresentes(*db).join(QLatin1Char(',')).toLower() + QLatin1Char('|')
        + escalar(*db, u"SELECT Nombre FROM Clientes WHERE Id = 1"_s).toString();
}

} // namespace

class TstApertura : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(); }
    void cleanup() { Sesion::Cierra(); }
    void actualiza();
    void rehusa_data();
    void rehusa();
    void fallaCadaSentencia();
    void apertura_data();
    void apertura();
    void textoLargo_data();
    void textoLargo();
    void catalogoDeOtroEsquema_data();
    void catalogoDeOtroEsquema();
};

// A database of the first version is brought up to date when opened, once, and says so: its data as
// it was (a number as the shortest text of the same value), its schema a new database's, its
// references enforced and its numbers kept whole from then on.
void TstApertura::actualiza()
{
    QFETCH_GLOBAL(QString, backend);
    const QString url = pruebas::urlDe(backend);
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = orbanel::schema::Abre(url));
    QVERIFY_SQL(version1(*db,
                         {u"UPDATE Centro_Costo SET Cc_UserDef_3 = '12345678901234.5678', "
                          "Cc_UserDef_4 = '0.1' WHERE CC_Cve_Centro_Costo = '2011'"_s}));
    const QString datos = pruebas::volcado(*db);
    QCOMPARE(orbanel::schema::Version(*db), 1);
    db.reset();

    const QStringList dicho = enConsola([&] { Sesion::Configura(url, u"PRUEBAS"_s); });
    QVERIFY2(
        dicho.size() == 1
            && dicho[0].contains(u"se actualizó de la versión 1 a la versión %1"_s.arg(orbanel::schema::VersionActual)),
        qPrintable(dicho.join(QLatin1Char('\n'))));
    AdoConnection& abierta = Sesion::Conexion();
    QCOMPARE(orbanel::schema::Version(abierta), orbanel::schema::VersionActual);
    // each centre starts its history from its row as the upgrade found it, and nothing else changed
    const QString notas =
        u"SELECT COUNT(*) FROM Historial_Centro h JOIN Centro_Costo c ON c.CC_Cve_Centro_Costo = "
        "h.Hc_Clave AND c.CC_Descripcion = h.CC_Descripcion AND c.Es_Cve_Estado = h.Es_Cve_Estado "
        "WHERE h.Hc_Comando = 'Estado inicial' AND h.Hc_Operador = 'PRUEBAS' AND h.Hc_Fecha IS NOT NULL"_s;
    QCOMPARE(escalar(abierta, notas).toInt(), centros(abierta));
    QCOMPARE(escalar(abierta, u"SELECT COUNT(*) FROM Historial_Centro"_s).toInt(), centros(abierta));
    QVERIFY_SQL(abierta.Execute(u"DELETE FROM Historial_Centro"_s));
    QCOMPARE(pruebas::volcado(abierta), datos);
    for (const QString& rehusada : {u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '105'"_s,
                                    u"UPDATE Centro_Costo SET Cc_UserDef_3 = '123456789012345'"_s})
        QVERIFY2(!pruebas::errorDe([&] { abierta.Execute(rehusada); }).isEmpty(), qPrintable(rehusada));
    const QStringList actualizada = estructura(abierta);
    QCOMPARE(enConsola([&] { Sesion::Configura(url, u"PRUEBAS"_s); }), QStringList());

    // a new database's demo starts its history the same way
    Sesion::Cierra();
    QVERIFY_SQL(orbanel::schema::Borra(*orbanel::schema::Abre(url)));
    Sesion::Configura(url, u"PRUEBAS"_s);
    QCOMPARE(escalar(Sesion::Conexion(), u"SELECT COUNT(*) FROM Historial_Centro WHERE Hc_Comando = 'Estado inicial'"_s)
                 .toInt(),
             centros(Sesion::Conexion()));
    QVERIFY(centros(Sesion::Conexion()) > 0);

    Sesion::Cierra();
    ABRE_BACKEND(nueva, backend, pruebas::Contenido::Vacio);
    QCOMPARE(actualizada, estructura(*nueva));
    QCOMPARE(orbanel::schema::Version(*nueva), orbanel::schema::VersionActual);
}

void TstApertura::rehusa_data()
{
    QTest::addColumn<QStringList>("sentencias"); // run on the first version's database
    QTest::addColumn<QStringList>("renglones");  // what the message says of each row
    QTest::addColumn<bool>("soloSqlite");        // a server's numeric column holds no such value
    QTest::newRow("centros que no existen")
        << QStringList{u"INSERT INTO Poliza_Detalle (Pd_Id, Cc_Cve_Centro_costo) VALUES (99, 'ZZ')"_s,
                       u"INSERT INTO Presupuesto_Centro (Pc_Anio, Cc_Cve_Centro_costo) VALUES (2030, "
                       "'ZY')"_s}
        << QStringList{u"Poliza_Detalle 99: el centro ZZ no existe"_s,
                       u"Presupuesto_Centro 2030: el centro ZY no existe"_s}
        << false;
    QStringList lineas;
    for (int id = 101; id <= 122; ++id)
        lineas << u"INSERT INTO Poliza_Detalle (Pd_Id, Cc_Cve_Centro_costo) VALUES (%1, 'ZZ')"_s.arg(id);
    QTest::newRow("muchos renglones") << lineas
                                      << QStringList{u"Poliza_Detalle 120: el centro ZZ no existe"_s, u"y 2 más"_s}
                                      << false;
    QTest::newRow("un número que no cabe")
        << QStringList{u"UPDATE Centro_Costo SET Cc_UserDef_3 = '99999999999999999999' WHERE CC_Cve_Centro_Costo = '105'"_s}
        << QStringList{u"Centro_Costo 105: Cc_UserDef_3 1.0e+20 o Cc_UserDef_4 0.15 no es un número"_s} << true;
    QTest::newRow("un texto en un cargo")
        << QStringList{u"UPDATE Poliza_Detalle SET Pd_Cargo = 'mil' WHERE Pd_Id = 1"_s}
        << QStringList{u"Poliza_Detalle 1: Pd_Cargo 'mil' o Pd_Abono 0 no es un número"_s} << true;
}

// Data that a new rule refuses keeps the database exactly as it was, schema and rows, and the
// message names each row; the suite goes on working on it.
void TstApertura::rehusa()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QStringList, sentencias);
    QFETCH(QStringList, renglones);
    QFETCH(bool, soloSqlite);
    if (soloSqlite && backend != QLatin1String("sqlite"))
        QSKIP("la columna del servidor no guarda ese valor");
    const QString url = pruebas::urlDe(backend);
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = orbanel::schema::Abre(url));
    QVERIFY_SQL(version1(*db, sentencias));
    const QString datos = pruebas::volcado(*db);
    const QStringList forma = estructura(*db);
    db.reset();

    const QStringList dicho = enConsola([&] { Sesion::Configura(url, u"PRUEBAS"_s); });
    QVERIFY2(dicho.size() == 1 && dicho[0].contains(u"sigue en la versión 1"_s),
             qPrintable(dicho.join(QLatin1Char('\n'))));
    for (const QString& renglon : renglones)
        QVERIFY2(dicho[0].contains(u"\n- "_s + renglon), qPrintable(dicho[0]));
    AdoConnection& abierta = Sesion::Conexion();
    QCOMPARE(pruebas::volcado(abierta), datos);
    QCOMPARE(estructura(abierta), forma);
    QCOMPARE(orbanel::schema::Version(abierta), 1);
    QVERIFY_SQL(abierta.Execute(u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula) VALUES ('N1', '0')"_s));
    QCOMPARE(escalar(abierta, u"SELECT CC_Acumula FROM Centro_Costo WHERE CC_Cve_Centro_Costo = 'N1'"_s),
             QVariant(u"0"_s));
}

// Whichever of its statements fails, the upgrade leaves the database as it was, out of any
// transaction, and on SQLite with its references enforced again.
void TstApertura::fallaCadaSentencia()
{
    QFETCH_GLOBAL(QString, backend);
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = orbanel::schema::Abre(pruebas::urlDe(backend)));
    QVERIFY_SQL(version1(*db));
    const QString datos = pruebas::volcado(*db);
    const QStringList forma = estructura(*db);
    int falla = 1;
    for (; falla < 100; ++falla) {
        int enviadas = 0;
        db->failWhen([&](const QString&) { return ++enviadas == falla; });
        const QString error = pruebas::errorDe([&] { orbanel::schema::Actualiza(*db, u"PRUEBAS"_s); });
        db->clearFailure();
        if (error.isEmpty())
            break;
        QVERIFY2(pruebas::volcado(*db) == datos && estructura(*db) == forma, qPrintable(QString::number(falla)));
        QVERIFY(!db->inTransaction());
        if (backend == QLatin1String("sqlite"))
            QCOMPARE(escalar(*db, u"PRAGMA foreign_keys"_s).toInt(), 1);
    }
    QVERIFY(falla > 5 && falla < 100); // every statement failed once, then it went through
    QCOMPARE(orbanel::schema::Version(*db), orbanel::schema::VersionActual);
}

void TstApertura::apertura_data()
{
    QTest::addColumn<bool>("ajena"); // another program's table is in the database
    QTest::addColumn<bool>("crear"); // --crear-esquema
    QTest::newRow("vacía") << false << false;
    QTest::newRow("ajena") << true << false;
    QTest::newRow("ajena con --crear-esquema") << true << true;
}

// An empty database gets the tables and the demo. Another program's is refused with a message that
// says why and what to do, and not a byte of it written (SQLite gets a file of its own, so that its
// bytes can be compared); asked for, the tables go in beside the other program's, without the demo.
void TstApertura::apertura()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(bool, ajena);
    QFETCH(bool, crear);
    QTemporaryDir carpeta;
    const QString url =
        backend == QLatin1String("sqlite") ? u"sqlite:"_s + carpeta.filePath(u"ajena.db"_s) : pruebas::urlDe(backend);
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = AdoConnection::Open(url));
    QVERIFY_SQL(orbanel::schema::Borra(*db));
    QVERIFY_SQL(db->Execute(u"DROP TABLE IF EXISTS Clientes"_s));
    if (ajena)
        QVERIFY_SQL(db->Execute(u"CREATE TABLE Clientes AS SELECT 1 AS Id, 'Ferretería López' AS Nombre"_s));
    const QString antes = ajena ? contenido(url) : QString();

    const QString mensaje = pruebas::errorDe(
        [&] { Sesion::Configura(url, u"PRUEBAS"_s, crear ? Sesion::Esquema::Crear : Sesion::Esquema::SiEstaVacia); });
    if (ajena && !crear) {
        QVERIFY2(mensaje.contains(u"Clientes"_s, Qt::CaseInsensitive) && mensaje.contains(u"--crear-esquema"_s)
                     && !mensaje.contains(u"sqlite:"_s),
                 qPrintable(mensaje));
        QCOMPARE(contenido(url), antes);
    } else {
        QVERIFY2(mensaje.isEmpty(), qPrintable(mensaje));
        QCOMPARE(escalar(Sesion::Conexion(), u"SELECT COUNT(*) FROM Centro_Costo"_s).toInt() > 0, !ajena);
        QVERIFY(!ajena || contenido(url).endsWith(u"|Ferretería López"_s));
    }
    QVERIFY_SQL(AdoConnection::Open(url)->Execute(u"DROP TABLE IF EXISTS Clientes"_s));
}

void TstApertura::textoLargo_data()
{
    QTest::addColumn<QString>("sentencia");
    QTest::addColumn<int>("admitido"); // 0: it fits
    const QString centro = u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) "
                           "VALUES ('%1', '0', '%2')"_s;
    // Accents count as one character on both databases.
    QTest::newRow("descripción al límite") << centro.arg(u"L1"_s, QString(50, QChar(0xF1))) << 0;
    QTest::newRow("descripción larga") << centro.arg(u"L2"_s, QString(200, QLatin1Char('x'))) << 50;
    QTest::newRow("clave larga") << centro.arg(u"L234567"_s, u"Clave de siete"_s) << 6;
    QTest::newRow("cuenta larga") << u"INSERT INTO Cuenta_Contable (Cc_Cve_Cuenta_Contable, Cc_Descripcion) "
                                     "VALUES ('9999', '%1')"_s.arg(QString(101, QLatin1Char('c')))
                                  << 100;
}

// Both databases refuse a text longer than its column alike: the Spanish lead, then the length
// admitted, and nothing stored.
void TstApertura::textoLargo()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, sentencia);
    QFETCH(int, admitido);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Vacio);
    const QString mensaje = pruebas::errorDe([&] { db->Execute(sentencia); });
    const QString total = u"SELECT (SELECT COUNT(*) FROM Centro_Costo) + (SELECT COUNT(*) FROM Cuenta_Contable)"_s;
    QCOMPARE(escalar(*db, total).toInt(), admitido ? 0 : 1);
    const QString guia = u"Un texto es más largo de lo que admite su columna"_s;
    QVERIFY2(admitido ? mensaje.startsWith(guia) && mensaje.contains(QString::number(admitido)) : mensaje.isEmpty(),
             qPrintable(mensaje));
}

void TstApertura::catalogoDeOtroEsquema_data()
{
    QTest::addColumn<QStringList>("permisos"); // what the office gives the new user
    QTest::addColumn<QString>("dice");         // none: the office's catalogue opens
    QTest::newRow("sin permiso") << QStringList() << u"no tiene permiso para leer el catálogo de Orbanel"_s;
    QTest::newRow("fuera de su ruta") << QStringList{u"GRANT SELECT ON ALL TABLES IN SCHEMA public TO kt508_otro"_s,
                                                     u"ALTER ROLE kt508_otro SET search_path = kt508_otro"_s}
                                      << u"fuera de la ruta de búsqueda de su usuario"_s;
    QTest::newRow("con permiso") << QStringList{u"GRANT SELECT ON ALL TABLES IN SCHEMA public TO kt508_otro"_s}
                                 << QString();
}

// A PostgreSQL user with a schema of its own finds the office's catalogue in public: it opens that
// one when it may read it, and is told why it cannot otherwise. Never a new catalogue in its schema.
void TstApertura::catalogoDeOtroEsquema()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QStringList, permisos);
    QFETCH(QString, dice);
    if (backend != QLatin1String("postgresql"))
        QSKIP("un solo esquema");
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    const auto quitaUsuario = [&db] {
        db->Execute(u"DROP SCHEMA IF EXISTS kt508_otro CASCADE"_s);
        db->Execute(u"DROP OWNED BY kt508_otro"_s);
        db->Execute(u"DROP ROLE kt508_otro"_s);
    };
    if (escalar(*db, u"SELECT COUNT(*) FROM pg_roles WHERE rolname = 'kt508_otro'"_s).toInt() > 0)
        QVERIFY_SQL(quitaUsuario());
    QVERIFY_SQL(db->Execute(u"CREATE ROLE kt508_otro LOGIN"_s));
    QVERIFY_SQL(db->Execute(u"CREATE SCHEMA kt508_otro AUTHORIZATION kt508_otro"_s));
    for (const QString& permiso : permisos)
        QVERIFY_SQL(db->Execute(permiso));
    QUrl url(pruebas::urlDe(backend));
    url.setUserName(u"kt508_otro"_s);

    const QString mensaje = pruebas::errorDe([&] { Sesion::Configura(url.toString(), u"PRUEBAS"_s); });
    if (dice.isEmpty()) {
        QVERIFY2(mensaje.isEmpty(), qPrintable(mensaje));
        QCOMPARE(escalar(Sesion::Conexion(), u"SELECT COUNT(*) FROM Centro_Costo"_s),
                 escalar(*db, u"SELECT COUNT(*) FROM public.Centro_Costo"_s));
    } else {
        QVERIFY2(mensaje.contains(dice) && mensaje.contains(u"esquema public"_s), qPrintable(mensaje));
    }
    Sesion::Cierra();
    QCOMPARE(escalar(*db, u"SELECT COUNT(*) FROM pg_tables WHERE schemaname = 'kt508_otro'"_s).toInt(), 0);
    QVERIFY_SQL(quitaUsuario());
}

QTEST_GUILESS_MAIN(TstApertura)
#include "tst_apertura.moc"
