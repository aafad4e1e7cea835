// What opening does with a database that is not yet the suite's, and the texts' length limits.
#include "tests/support/Backends.h"

#include "suite/schema/Schema.h"
#include "suite/schema/Tablas.h"
#include "suite/services/Sesion.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using orbanel::Sesion;
using orbanel::ado::AdoConnection;
using pruebas::escalar;

namespace {

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
        + escalar(*db, QStringLiteral("SELECT Nombre FROM Clientes WHERE Id = 1")).toString();
}

} // namespace

class TstLimites : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(); }
    void cleanup() { Sesion::Cierra(); }
    void apertura_data();
    void apertura();
    void textoLargo_data();
    void textoLargo();
    void catalogoDeOtroEsquema_data();
    void catalogoDeOtroEsquema();
};

void TstLimites::apertura_data()
{
    QTest::addColumn<bool>("ajena"); // another program's table is in the database
    QTest::addColumn<bool>("crear"); // --crear-esquema
    QTest::newRow("vacía") << false << false;
    QTest::newRow("ajena") << true << false;
    QTest::newRow("ajena con --crear-esquema") << true << true;
}

// An empty database gets the tables and the demo. Another program's is refused with a message
// that says why and what to do, and not a byte of it written (nor a row on a server); asked for, the tables go in
// beside the other program's, without the demo.
void TstLimites::apertura()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(bool, ajena);
    QFETCH(bool, crear);
    // SQLite gets a file of its own, so that its bytes can be compared.
    QTemporaryDir carpeta;
    const QString url = backend == QLatin1String("sqlite")
        ? QStringLiteral("sqlite:") + carpeta.filePath(QStringLiteral("ajena.db"))
        : pruebas::urlDe(backend);
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = AdoConnection::Open(url));
    QVERIFY_SQL(orbanel::schema::Borra(*db));
    QVERIFY_SQL(db->Execute(QStringLiteral("DROP TABLE IF EXISTS Clientes")));
    if (ajena)
        QVERIFY_SQL(
            db->Execute(QStringLiteral("CREATE TABLE Clientes AS SELECT 1 AS Id, 'Ferretería López' AS Nombre")));
    const QString antes = ajena ? contenido(url) : QString();

    const QString mensaje = pruebas::errorDe([&] {
        Sesion::Configura(url, QStringLiteral("PRUEBAS"),
                          crear ? Sesion::Esquema::Crear : Sesion::Esquema::SiEstaVacia);
    });
    if (ajena && !crear) {
        QVERIFY2(mensaje.contains(QLatin1String("Clientes"), Qt::CaseInsensitive)
                     && mensaje.contains(QLatin1String("--crear-esquema"))
                     && !mensaje.contains(QLatin1String("sqlite:")),
                 qPrintable(mensaje));
        QCOMPARE(contenido(url), antes);
    } else {
        QVERIFY2(mensaje.isEmpty(), qPrintable(mensaje));
        // The demo goes only into an empty database.
        QCOMPARE(escalar(Sesion::Conexion(), QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt() > 0, !ajena);
        QVERIFY(!ajena || contenido(url).endsWith(QStringLiteral("|Ferretería López")));
    }
    QVERIFY_SQL(AdoConnection::Open(url)->Execute(QStringLiteral("DROP TABLE IF EXISTS Clientes")));
}

void TstLimites::textoLargo_data()
{
    QTest::addColumn<QString>("sentencia");
    QTest::addColumn<int>("admitido"); // 0: it fits
    const QString centro = QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) "
                                          "VALUES ('%1', '0', '%2')");
    // Accents count as one character on both databases.
    QTest::newRow("descripción al límite") << centro.arg(QStringLiteral("L1"), QString(50, QChar(0xF1))) << 0;
    QTest::newRow("descripción larga") << centro.arg(QStringLiteral("L2"), QString(200, QLatin1Char('x'))) << 50;
    QTest::newRow("clave larga") << centro.arg(QStringLiteral("L234567"), QStringLiteral("Clave de siete")) << 6;
    QTest::newRow("cuenta larga") << QStringLiteral(
                                         "INSERT INTO Cuenta_Contable (Cc_Cve_Cuenta_Contable, Cc_Descripcion) "
                                         "VALUES ('9999', '%1')")
                                         .arg(QString(101, QLatin1Char('c')))
                                  << 100;
}

// Both databases refuse a text longer than its column alike: the Spanish lead, then the length
// admitted, and nothing stored.
void TstLimites::textoLargo()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, sentencia);
    QFETCH(int, admitido);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Vacio);
    const QString mensaje = pruebas::errorDe([&] { db->Execute(sentencia); });
    const QString total =
        QStringLiteral("SELECT (SELECT COUNT(*) FROM Centro_Costo) + (SELECT COUNT(*) FROM Cuenta_Contable)");
    QCOMPARE(escalar(*db, total).toInt(), admitido ? 0 : 1);
    const QString guia = QStringLiteral("Un texto es más largo de lo que admite su columna");
    QVERIFY2(admitido ? mensaje.startsWith(guia) && mensaje.contains(QString::number(admitido)) : mensaje.isEmpty(),
             qPrintable(mensaje));
}

void TstLimites::catalogoDeOtroEsquema_data()
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
void TstLimites::catalogoDeOtroEsquema()
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

QTEST_GUILESS_MAIN(TstLimites)
#include "tst_limites.moc"
