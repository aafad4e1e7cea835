// What opening does with a database that is not yet the suite's, and the texts' length limits.
#include "tests/support/Backends.h"

#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"
#include "suite/schema/Tablas.h"
#include "suite/services/Sesion.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using orbanel::Sesion;
using orbanel::ado::AdoConnection;
using pruebas::Contenido;

namespace {

// The backend's database with the suite's tables gone and another program's table in it;
// SQLite gets a file of its own, so that its bytes can be compared.
QString preparaAjena(const QString& backend, const QTemporaryDir& carpeta)
{
    const QString url = backend == QLatin1String("sqlite")
        ? QStringLiteral("sqlite:") + carpeta.filePath(QStringLiteral("ajena.db"))
        : pruebas::urlDe(backend);
    std::unique_ptr<AdoConnection> db = AdoConnection::Open(url);
    orbanel::schema::Borra(*db);
    db->Execute(QStringLiteral("DROP TABLE IF EXISTS Clientes"));
    db->Execute(QStringLiteral("CREATE TABLE Clientes (Id INTEGER PRIMARY KEY, Nombre VARCHAR(40))"));
    db->Execute(QStringLiteral("INSERT INTO Clientes (Id, Nombre) VALUES (1, 'Ferretería López')"));
    return url;
}

// What a foreign database holds: its tables and the rows of the one we put there.
QString contenido(const QString& url)
{
    std::unique_ptr<AdoConnection> db = AdoConnection::Open(url);
    QString texto = orbanel::schema::TablasPresentes(*db).join(QLatin1Char(',')).toLower();
    for (kt508::Recordset rs = db->Execute(QStringLiteral("SELECT Id, Nombre FROM Clientes")); !rs.Eof(); rs.MoveNext())
        texto += QStringLiteral("|%1 %2").arg(rs.Value(0).toString(), rs.Value(1).toString());
    return texto;
}

QByteArray bytesDe(const QString& url)
{
    if (!url.startsWith(QLatin1String("sqlite:")))
        return {};
    QFile archivo(url.mid(7));
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

void quitaAjena(const QString& url)
{
    std::unique_ptr<AdoConnection> db = AdoConnection::Open(url);
    db->Execute(QStringLiteral("DROP TABLE IF EXISTS Clientes"));
}

} // namespace

class TstLimites : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(); }
    void cleanup() { Sesion::Cierra(); }
    void ajenaRehusada();
    void ajenaConCrearEsquema();
    void vaciaRecibeDemo();
    void textoLargo_data();
    void textoLargo();
};

// Another program's database: refused with a message that says why and what to do, and
// not a byte of it written.
void TstLimites::ajenaRehusada()
{
    QFETCH_GLOBAL(QString, backend);
    QTemporaryDir carpeta;
    QString url;
    QVERIFY_SQL(url = preparaAjena(backend, carpeta));
    const QString antes = contenido(url);
    const QByteArray bytes = bytesDe(url);

    QString mensaje;
    try {
        Sesion::Configura(url, QStringLiteral("PRUEBAS"));
    } catch (const kt508::Error& e) {
        mensaje = e.Description();
    }
    QVERIFY2(mensaje.contains(QLatin1String("Clientes"), Qt::CaseInsensitive), qPrintable(mensaje));
    QVERIFY2(mensaje.contains(QLatin1String("--crear-esquema")), qPrintable(mensaje));
    QVERIFY2(!mensaje.contains(QLatin1String("sqlite:")), qPrintable(mensaje));
    Sesion::Cierra();
    QCOMPARE(bytesDe(url), bytes);
    QCOMPARE(contenido(url), antes);
    quitaAjena(url);
}

// Asked for, the tables go in beside the other program's, without the demo.
void TstLimites::ajenaConCrearEsquema()
{
    QFETCH_GLOBAL(QString, backend);
    QTemporaryDir carpeta;
    QString url;
    QVERIFY_SQL(url = preparaAjena(backend, carpeta));
    QVERIFY_SQL(Sesion::Configura(url, QStringLiteral("PRUEBAS"), Sesion::Esquema::Crear));
    AdoConnection& db = Sesion::Conexion();
    QVERIFY(!orbanel::schema::Vacia(db));
    QCOMPARE(pruebas::escalar(db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt(), 0);
    QCOMPARE(pruebas::escalar(db, QStringLiteral("SELECT Nombre FROM Clientes WHERE Id = 1")).toString(),
             QStringLiteral("Ferretería López"));
    Sesion::Cierra();
    quitaAjena(url);
}

void TstLimites::vaciaRecibeDemo()
{
    QFETCH_GLOBAL(QString, backend);
    QTemporaryDir carpeta;
    QString url;
    QVERIFY_SQL(url = preparaAjena(backend, carpeta));
    QVERIFY_SQL(quitaAjena(url));
    QVERIFY_SQL(Sesion::Configura(url, QStringLiteral("PRUEBAS")));
    QVERIFY(pruebas::escalar(Sesion::Conexion(), QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt() > 0);
}

void TstLimites::textoLargo_data()
{
    QTest::addColumn<QString>("sentencia");
    QTest::addColumn<int>("largo");
    QTest::addColumn<int>("admitido");
    const QString centro = QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) "
                                          "VALUES ('%1', '0', '%2')");
    // Accents count as one character on both databases.
    QTest::newRow("descripción al límite") << centro.arg(QStringLiteral("L1"), QString(50, QChar(0xF1))) << 50 << 50;
    QTest::newRow("descripción larga") << centro.arg(QStringLiteral("L2"), QString(200, QLatin1Char('x'))) << 200 << 50;
    QTest::newRow("clave larga") << centro.arg(QStringLiteral("L234567"), QStringLiteral("Clave de siete")) << 7 << 6;
    QTest::newRow("cuenta larga") << QStringLiteral("INSERT INTO Cuenta_Contable (Cc_Cve_Cuenta_Contable, Cc_Descripcion) "
                                                    "VALUES ('9999', '%1')").arg(QString(101, QLatin1Char('c')))
                                  << 101 << 100;
}

// Both databases refuse a text longer than its column alike: the Spanish lead, then the length admitted.
void TstLimites::textoLargo()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, sentencia);
    QFETCH(int, largo);
    QFETCH(int, admitido);
    ABRE_BACKEND(db, backend, Contenido::Vacio);
    if (largo <= admitido) {
        QVERIFY_SQL(db->Execute(sentencia));
        return;
    }
    QString mensaje;
    try {
        db->Execute(sentencia);
    } catch (const kt508::Error& e) {
        mensaje = e.Description();
    }
    QVERIFY2(mensaje.contains(QString::number(admitido)), qPrintable(mensaje));
    QVERIFY2(mensaje.startsWith(QStringLiteral("Un texto es más largo de lo que admite su columna")), qPrintable(mensaje));
    const QString total = QStringLiteral("SELECT (SELECT COUNT(*) FROM Centro_Costo) + (SELECT COUNT(*) FROM Cuenta_Contable)");
    QCOMPARE(pruebas::escalar(*db, total).toInt(), 0);
}

QTEST_GUILESS_MAIN(TstLimites)
#include "tst_limites.moc"
