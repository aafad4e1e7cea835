// A database made by an earlier version of the suite, opened by this one.
#include "suite/ado/Dialecto.h"
#include "suite/schema/Guiones.h"
#include "suite/schema/Schema.h"
#include "suite/schema/Versiones.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"

#include <QRegularExpression>
#include <QTest>

using orbanel::Sesion;
using orbanel::ado::AdoConnection;
using orbanel::ado::Dialect;
using pruebas::escalar;

namespace {

// The database as the schema's first version left it, with the demo and then the statements given.
void version1(AdoConnection& db, const QStringList& sentencias = {})
{
    orbanel::schema::Borra(db);
    const QString guion = QStringLiteral(":/version1/%1.sql").arg(orbanel::ado::Dialecto::De(db.dialect()).Nombre());
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
        ? QStringList{QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name")}
        : QStringList{
            QStringLiteral("SELECT table_name, column_name, data_type, character_maximum_length, numeric_precision, "
                           "numeric_scale, column_default, is_nullable FROM information_schema.columns "
                           "WHERE table_schema = current_schema() ORDER BY 1, 2"),
            QStringLiteral("SELECT conrelid::regclass::text, conname, pg_get_constraintdef(oid) FROM pg_constraint "
                           "WHERE connamespace = current_schema()::regnamespace ORDER BY 1, 2"),
            QStringLiteral("SELECT tablename, indexname, indexdef FROM pg_indexes "
                           "WHERE schemaname = current_schema() ORDER BY 1, 2")};
    // SQLite quotes the name of a table it renamed.
    static const QRegularExpression renombrada(QStringLiteral("^CREATE TABLE \"(\\w+)\""));
    QStringList lineas;
    for (const QString& consulta : consultas) {
        for (kt508::Recordset rs = db.Execute(consulta); !rs.Eof(); rs.MoveNext()) {
            QStringList valores;
            for (int i = 0; i < rs.FieldCount(); ++i)
                valores << rs.Value(i).toString().simplified().replace(renombrada, QStringLiteral("CREATE TABLE \\1"));
            lineas << valores.join(QLatin1Char('|'));
        }
    }
    return lineas;
}

int centros(AdoConnection& db)
{
    return escalar(db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt();
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
        lista << QStringLiteral("error: ") + error;
    return lista;
}

} // namespace

class TstVersiones : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(); }
    void cleanup() { Sesion::Cierra(); }
    void actualiza();
    void rehusa_data();
    void rehusa();
    void fallaCadaSentencia();
    void cuerpos();
};

// A database of the first version is brought up to date when opened, once, and says so: its data as
// it was (a number as the shortest text of the same value), its schema a new database's, its
// references enforced and its numbers kept whole from then on.
void TstVersiones::actualiza()
{
    QFETCH_GLOBAL(QString, backend);
    const QString url = pruebas::urlDe(backend);
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = orbanel::schema::Abre(url));
    QVERIFY_SQL(version1(*db,
                         {QStringLiteral("UPDATE Centro_Costo SET Cc_UserDef_3 = '12345678901234.5678', "
                                         "Cc_UserDef_4 = '0.1' WHERE CC_Cve_Centro_Costo = '2011'")}));
    const QString datos = pruebas::volcado(*db);
    QCOMPARE(orbanel::schema::Version(*db), 1);
    db.reset();

    const QStringList dicho = enConsola([&] { Sesion::Configura(url, QStringLiteral("PRUEBAS")); });
    QVERIFY2(
        dicho.size() == 1
            && dicho[0].contains(
                QStringLiteral("se actualizó de la versión 1 a la versión %1").arg(orbanel::schema::VersionActual)),
        qPrintable(dicho.join(QLatin1Char('\n'))));
    AdoConnection& abierta = Sesion::Conexion();
    QCOMPARE(orbanel::schema::Version(abierta), orbanel::schema::VersionActual);
    // each centre starts its history from its row as the upgrade found it, and nothing else changed
    QCOMPARE(escalar(abierta,
                     QStringLiteral("SELECT COUNT(*) FROM Historial_Centro h JOIN Centro_Costo c "
                                    "ON c.CC_Cve_Centro_Costo = h.Hc_Clave AND c.CC_Descripcion = "
                                    "h.CC_Descripcion AND c.Es_Cve_Estado = h.Es_Cve_Estado "
                                    "WHERE h.Hc_Comando = 'Estado inicial' AND h.Hc_Operador = 'PRUEBAS' "
                                    "AND h.Hc_Fecha IS NOT NULL"))
                 .toInt(),
             centros(abierta));
    QCOMPARE(escalar(abierta, QStringLiteral("SELECT COUNT(*) FROM Historial_Centro")).toInt(), centros(abierta));
    QVERIFY_SQL(abierta.Execute(QStringLiteral("DELETE FROM Historial_Centro")));
    QCOMPARE(pruebas::volcado(abierta), datos);
    QVERIFY(!pruebas::errorDe([&] {
                 abierta.Execute(QStringLiteral("DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '105'"));
             }).isEmpty());
    QVERIFY(!pruebas::errorDe([&] {
                 abierta.Execute(QStringLiteral("UPDATE Centro_Costo SET Cc_UserDef_3 = '123456789012345'"));
             }).isEmpty());
    const QStringList actualizada = estructura(abierta);
    QCOMPARE(enConsola([&] { Sesion::Configura(url, QStringLiteral("PRUEBAS")); }), QStringList());

    // a new database's demo starts its history the same way
    Sesion::Cierra();
    QVERIFY_SQL(orbanel::schema::Borra(*orbanel::schema::Abre(url)));
    Sesion::Configura(url, QStringLiteral("PRUEBAS"));
    QCOMPARE(escalar(Sesion::Conexion(),
                     QStringLiteral("SELECT COUNT(*) FROM Historial_Centro "
                                    "WHERE Hc_Comando = 'Estado inicial'"))
                 .toInt(),
             centros(Sesion::Conexion()));
    QVERIFY(centros(Sesion::Conexion()) > 0);

    Sesion::Cierra();
    ABRE_BACKEND(nueva, backend, pruebas::Contenido::Vacio);
    QCOMPARE(actualizada, estructura(*nueva));
    QCOMPARE(orbanel::schema::Version(*nueva), orbanel::schema::VersionActual);
}

void TstVersiones::rehusa_data()
{
    QTest::addColumn<QStringList>("sentencias"); // run on the first version's database
    QTest::addColumn<QStringList>("renglones");  // what the message says of each row
    QTest::addColumn<bool>("soloSqlite");        // a server's numeric column holds no such value
    QTest::newRow("centros que no existen")
        << QStringList{QStringLiteral("INSERT INTO Poliza_Detalle (Pd_Id, Cc_Cve_Centro_costo) VALUES (99, 'ZZ')"),
                       QStringLiteral("INSERT INTO Presupuesto_Centro (Pc_Anio, Cc_Cve_Centro_costo) VALUES (2030, "
                                      "'ZY')")}
        << QStringList{QStringLiteral("Poliza_Detalle 99: el centro ZZ no existe"),
                       QStringLiteral("Presupuesto_Centro 2030: el centro ZY no existe")}
        << false;
    QStringList lineas;
    for (int id = 101; id <= 122; ++id)
        lineas << QStringLiteral("INSERT INTO Poliza_Detalle (Pd_Id, Cc_Cve_Centro_costo) VALUES (%1, 'ZZ')").arg(id);
    QTest::newRow("muchos renglones") << lineas
                                      << QStringList{QStringLiteral("Poliza_Detalle 120: el centro ZZ no existe"),
                                                     QStringLiteral("y 2 más")}
                                      << false;
    QTest::newRow("un número que no cabe")
        << QStringList{QStringLiteral(
               "UPDATE Centro_Costo SET Cc_UserDef_3 = '99999999999999999999' WHERE CC_Cve_Centro_Costo = '105'")}
        << QStringList{QStringLiteral("Centro_Costo 105: Cc_UserDef_3 1.0e+20 o Cc_UserDef_4 0.15 no es un número")}
        << true;
    QTest::newRow("un texto en un cargo")
        << QStringList{QStringLiteral("UPDATE Poliza_Detalle SET Pd_Cargo = 'mil' WHERE Pd_Id = 1")}
        << QStringList{QStringLiteral("Poliza_Detalle 1: Pd_Cargo 'mil' o Pd_Abono 0 no es un número")} << true;
}

// Data that a new rule refuses keeps the database exactly as it was, schema and rows, and the
// message names each row; the suite goes on working on it.
void TstVersiones::rehusa()
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

    const QStringList dicho = enConsola([&] { Sesion::Configura(url, QStringLiteral("PRUEBAS")); });
    QVERIFY2(dicho.size() == 1 && dicho[0].contains(QStringLiteral("sigue en la versión 1")),
             qPrintable(dicho.join(QLatin1Char('\n'))));
    for (const QString& renglon : renglones)
        QVERIFY2(dicho[0].contains(QStringLiteral("\n- ") + renglon), qPrintable(dicho[0]));
    AdoConnection& abierta = Sesion::Conexion();
    QCOMPARE(pruebas::volcado(abierta), datos);
    QCOMPARE(estructura(abierta), forma);
    QCOMPARE(orbanel::schema::Version(abierta), 1);
    QVERIFY_SQL(abierta.Execute(
        QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula) VALUES ('N1', '0')")));
    QCOMPARE(escalar(abierta, QStringLiteral("SELECT CC_Acumula FROM Centro_Costo WHERE CC_Cve_Centro_Costo = 'N1'")),
             QVariant(QStringLiteral("0")));
}

// Whichever of its statements fails, the upgrade leaves the database as it was, out of any
// transaction, and on SQLite with its references enforced again.
void TstVersiones::fallaCadaSentencia()
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
        const QString error = pruebas::errorDe([&] { orbanel::schema::Actualiza(*db, QStringLiteral("PRUEBAS")); });
        db->clearFailure();
        if (error.isEmpty())
            break;
        QVERIFY2(pruebas::volcado(*db) == datos && estructura(*db) == forma, qPrintable(QString::number(falla)));
        QVERIFY(!db->inTransaction());
        if (backend == QLatin1String("sqlite"))
            QCOMPARE(escalar(*db, QStringLiteral("PRAGMA foreign_keys")).toInt(), 1);
    }
    QVERIFY(falla > 5 && falla < 100); // every statement failed once, then it went through
    QCOMPARE(orbanel::schema::Version(*db), orbanel::schema::VersionActual);
}

// A later version's script may create triggers: their bodies hold statements of their own.
void TstVersiones::cuerpos()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Vacio);
    const QString guion = db->dialect() == Dialect::SQLite ? QStringLiteral(R"(
CREATE TABLE Aa_Eco (Valor INTEGER);
-- each small value brings its tenfold
CREATE TRIGGER Aa_Eco_Diez AFTER INSERT ON Aa_Eco WHEN NEW.Valor < 10 BEGIN
    INSERT INTO Aa_Eco (Valor) VALUES (NEW.Valor * 10);
END;
)")
                                                           : QStringLiteral(R"(
CREATE TABLE Aa_Eco (Valor INTEGER);
CREATE FUNCTION Aa_Eco_Diez() RETURNS trigger AS $$
BEGIN
    IF NEW.Valor < 10 THEN
        INSERT INTO Aa_Eco (Valor) VALUES (NEW.Valor * 10);
    END IF;
    RETURN NEW;
END;
$$ LANGUAGE plpgsql;
CREATE TRIGGER Aa_Eco_Diez AFTER INSERT ON Aa_Eco FOR EACH ROW EXECUTE FUNCTION Aa_Eco_Diez();
)");
    QVERIFY_SQL(db->Execute(QStringLiteral("DROP TABLE IF EXISTS Aa_Eco")));
    if (db->dialect() == Dialect::PostgreSQL)
        QVERIFY_SQL(db->Execute(QStringLiteral("DROP FUNCTION IF EXISTS Aa_Eco_Diez")));
    for (const QString& sentencia : orbanel::schema::Sentencias(guion))
        QVERIFY_SQL(db->Execute(sentencia));
    QVERIFY_SQL(db->Execute(QStringLiteral("INSERT INTO Aa_Eco (Valor) VALUES (4)")));
    QCOMPARE(escalar(*db, QStringLiteral("SELECT SUM(Valor) FROM Aa_Eco")).toInt(), 44);
    QVERIFY_SQL(db->Execute(QStringLiteral("DROP TABLE Aa_Eco")));
    if (db->dialect() == Dialect::PostgreSQL)
        QVERIFY_SQL(db->Execute(QStringLiteral("DROP FUNCTION Aa_Eco_Diez")));
}

QTEST_GUILESS_MAIN(TstVersiones)
#include "tst_versiones.moc"
