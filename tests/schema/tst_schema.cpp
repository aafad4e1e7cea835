#include "tests/support/Backends.h"

#include "suite/ado/Dialecto.h"
#include "suite/schema/Guiones.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

using orbanel::ado::AdoConnection;

namespace {

int cuenta(AdoConnection& db, const QString& sentencia)
{
    return pruebas::escalar(db, u"SELECT COUNT(*) "_s + sentencia).toInt();
}

// The delete command's scan, exactly as the command joins it.
QStringList tablasQueRefieren(AdoConnection& db)
{
    QStringList tablas;
    kt508::Recordset rs =
        db.Execute(u"SELECT sysobjects.NAME AS TABLA FROM sysobjects    INNER JOIN syscolumns ON "
                   "sysobjects.id = syscolumns.id WHERE  syscolumns.Name = 'Cc_Cve_Centro_costo' AND "
                   " sysobjects.type = 'U' AND sysobjects.Name <> 'Centro_Costo'  ORDER BY TABLA ASC"_s);
    for (; !rs.Eof(); rs.MoveNext())
        tablas.append(rs.Fields(u"TABLA"_s).Value.toString().toLower());
    return tablas;
}

// Tables a test adds next to the schema, gone whatever the last run left.
void quitaAgregadas(AdoConnection& db)
{
    if (db.dialect() == orbanel::ado::Dialect::PostgreSQL)
        db.Execute(u"DROP SCHEMA IF EXISTS ajeno CASCADE"_s);
    db.Execute(u"DROP VIEW IF EXISTS Ac_Vista"_s);
    db.Execute(u"DROP TABLE IF EXISTS Aa_Anexo"_s);
}

// The tables a schema script creates or drops, in lower case and in order.
QStringList tablasDelGuion(const QString& recurso, const QString& orden)
{
    QFile guion(recurso);
    const QString texto =
        guion.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(guion.readAll()) : QString();
    const QRegularExpression patron(orden + QStringLiteral(R"(\s+(?:IF\s+EXISTS\s+)?(\w+))"),
                                    QRegularExpression::CaseInsensitiveOption);
    QStringList tablas;
    for (auto it = patron.globalMatch(texto); it.hasNext();)
        tablas << it.next().captured(1).toLower();
    return tablas;
}

// The references a script declares, "table.column>table" in lower case and in order.
QStringList referenciasDelGuion(const QString& recurso)
{
    static const QRegularExpression tabla(QStringLiteral(R"(^\s*(?:CREATE|ALTER)\s+TABLE\s+(\w+))"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression referencia(QStringLiteral(R"(FOREIGN\s+KEY\s*\((\w+)\)\s*REFERENCES\s+(\w+))"),
                                               QRegularExpression::CaseInsensitiveOption);
    QStringList referencias;
    for (const QString& sentencia : orbanel::schema::SentenciasDe(recurso)) {
        // A table rebuilt as <name>_2 takes its name.
        const QString nombre = tabla.match(sentencia).captured(1).remove(QRegularExpression(u"_2$"_s));
        for (auto it = referencia.globalMatch(sentencia); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            referencias << u"%1.%2>%3"_s.arg(nombre, m.captured(1), m.captured(2)).toLower();
        }
    }
    return referencias;
}

} // namespace

class TstSchema : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void dependencias();
    void demo();
    void referencias();
    void importes_data();
    void importes();
    void dialectoSqlServer();
};

// The scan lists the referring tables in name order, column names matched in any capitals;
// Centro_Costo, views and other schemas never count. The count that follows works on each
// table it names.
void TstSchema::dependencias()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    QVERIFY_SQL(quitaAgregadas(*db));
    QVERIFY_SQL(db->Execute(u"CREATE TABLE Aa_Anexo (Folio INTEGER, CC_CVE_CENTRO_COSTO VARCHAR(6))"_s));
    QVERIFY_SQL(db->Execute(u"CREATE VIEW Ac_Vista AS SELECT Cc_Cve_Centro_costo FROM Poliza_Detalle"_s));
    QVERIFY_SQL(db->Execute(u"INSERT INTO Aa_Anexo (Folio, CC_CVE_CENTRO_COSTO) VALUES (1, '1052')"_s));
    if (db->dialect() == orbanel::ado::Dialect::PostgreSQL) {
        QVERIFY_SQL(db->Execute(u"CREATE SCHEMA ajeno"_s));
        QVERIFY_SQL(db->Execute(u"CREATE TABLE ajeno.Ad_Ajena (Cc_Cve_Centro_costo VARCHAR(6))"_s));
    }
    QStringList tablas, usos;
    QVERIFY_SQL(tablas = tablasQueRefieren(*db));
    QCOMPARE(tablas, (QStringList{u"aa_anexo"_s, u"poliza_detalle"_s, u"presupuesto_centro"_s}));
    for (const QString& tabla : tablas)
        for (const char* clave : {"1052", "105", "106"})
            usos << QString::number(
                cuenta(*db, u"FROM %1 WHERE Cc_Cve_Centro_Costo = '%2'"_s.arg(tabla, QLatin1String(clave))));
    QCOMPARE(usos.join(QLatin1Char(' ')), u"1 0 0 0 1 0 0 1 1"_s); // per table, per key
    QVERIFY_SQL(quitaAgregadas(*db));
}

// Beyond the hierarchy's own rules (the catalogue check finds nothing wrong in the demo), a retired
// branch is retired whole, one retired leaf hangs from an active centre, and the settings, groups and
// accounts the screen reads are there and agree.
void TstSchema::demo()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    const QString conPadre =
        u"FROM Centro_Costo c JOIN Centro_Costo p ON p.CC_Cve_Centro_Costo = c.CC_Acumula WHERE "_s;
    const QList<QPair<QString, int>> esperados = {
        {conPadre + u"p.Es_Cve_Estado = 'BA' AND c.Es_Cve_Estado <> 'BA'"_s, 0},
        {conPadre + u"p.Es_Cve_Estado = 'AC' AND c.Es_Cve_Estado = 'BA' AND c.CC_Tipo = 0"_s, 1},
        {u"FROM Parametros WHERE Parametro || '=' || Valor IN ('CAT_GRUPO_CENTRO_COSTO_DEFAULT=000100', "
         "'CAT_AUTOCLAVE=0', "
         "'FTO_CENTRO_COSTO=999999', 'FTO_GRUPO_CENTRO_COSTO=999999', 'CON_CUENTA_PADRE_CENTRO_COSTO=5100')"_s,
         5},
        {u"FROM Cuenta_Contable WHERE Cc_Cve_Cuenta_Contable = '5100'"_s, 1},
        {u"FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '105' AND CC_Descripcion = 'Ventas norte'"_s, 1},
        {u"FROM Centro_Costo c WHERE NOT EXISTS (SELECT 1 FROM Grupo_Centro_Costo g WHERE "
         "g.Gcc_Cve_Grupo_Centro_Costo = c.Gcc_Cve_Grupo_Centro_Costo)"_s,
         0},
    };
    for (const auto& [condicion, total] : esperados)
        QVERIFY2(cuenta(*db, condicion) == total, qPrintable(condicion));
}

// A centre in use elsewhere cannot be deleted, nor a line or a budget written for a centre that does
// not exist: the database refuses and nothing changes. The parent of a centre is no reference: a
// branch goes parent first.
void TstSchema::referencias()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    const QString antes = pruebas::volcado(*db);
    // 105 has a journal line and a budget, 106 a budget only.
    const QStringList rehusadas = {
        u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '105'"_s,
        u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '106'"_s,
        u"INSERT INTO Poliza_Detalle (Pd_Id, Cc_Cve_Centro_costo) VALUES (99, 'ZZ')"_s,
        u"INSERT INTO Presupuesto_Centro (Pc_Anio, Cc_Cve_Centro_costo) VALUES (2030, 'ZZ')"_s,
        u"UPDATE Poliza_Detalle SET Cc_Cve_Centro_costo = 'ZZ' WHERE Cc_Cve_Centro_costo = '105'"_s,
    };
    for (const QString& sentencia : rehusadas)
        QVERIFY2(!pruebas::errorDe([&] { db->Execute(sentencia); }).isEmpty(), qPrintable(sentencia));
    QCOMPARE(pruebas::volcado(*db), antes);

    const QString centro = u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula) VALUES ('%1', '%2')"_s;
    QVERIFY_SQL(db->Execute(centro.arg(u"H1"_s, u"ZZ"_s)));
    QVERIFY_SQL(db->Execute(centro.arg(u"H11"_s, u"H1"_s)));
    QVERIFY_SQL(db->Execute(u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = 'H1'"_s));
    QVERIFY_SQL(db->Execute(u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = 'H11'"_s));
    QCOMPARE(pruebas::volcado(*db), antes);
}

void TstSchema::importes_data()
{
    QTest::addColumn<QString>("columna");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("cabe");
    QTest::addColumn<bool>("soloSqlite"); // a server takes it in its own way (rounds, reads an exponent)
    const auto fila = [](const char* nombre, const char* columna, const char* valor, bool cabe,
                         bool soloSqlite = false) {
        QTest::newRow(nombre) << QString::fromLatin1(columna) << QString::fromLatin1(valor) << cabe << soloSqlite;
    };
    fila("el mayor", "Cc_UserDef_3", "99999999999999.9999", true);
    fila("el menor", "Cc_UserDef_4", "-99999999999999.9999", true);
    fila("18 cifras", "Cc_UserDef_3", "12345678901234.5678", true);
    fila("sin decimales", "Cc_UserDef_4", "12345678901234", true, true);
    fila("cargo de 18 cifras", "Pd_Cargo", "1234567890123456.78", true);
    fila("15 enteros", "Cc_UserDef_3", "123456789012345", false);
    fila("20 cifras", "Cc_UserDef_4", "99999999999999999999", false);
    fila("letras", "Cc_UserDef_3", "12a", false);
    fila("dos puntos", "Cc_UserDef_3", "1.2.3", false);
    fila("vacío", "Cc_UserDef_3", "", false);
    fila("cargo de 17 enteros", "Pd_Abono", "12345678901234567", false);
    fila("5 decimales", "Cc_UserDef_3", "1.23456", false, true);
    fila("3 decimales en un cargo", "Pd_Cargo", "1.234", false, true);
    fila("exponente", "Cc_UserDef_4", "1e5", false, true);
    fila("blanco delante", "Cc_UserDef_3", " 12", false, true);
    fila("punto al final", "Cc_UserDef_3", "12.", false, true);
    fila("signo más", "Cc_UserDef_3", "+12", false, true);
}

// Every number the servers' numeric(18,4) and numeric(18,2) admit is stored and read back as it
// was bound, digit for digit, SQLite included; one they do not is refused and nothing is stored.
void TstSchema::importes()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, columna);
    QFETCH(QString, valor);
    QFETCH(bool, cabe);
    QFETCH(bool, soloSqlite);
    if (soloSqlite && backend != QLatin1String("sqlite"))
        QSKIP("el servidor lo acepta a su manera");
    ABRE_BACKEND(db, backend, pruebas::Contenido::Vacio);
    const bool centro = columna.startsWith(QLatin1String("Cc_"));
    const QString tabla = centro ? u"Centro_Costo"_s : u"Poliza_Detalle"_s;
    const QString clave = centro ? u"CC_Cve_Centro_Costo"_s : u"Pd_Id"_s;
    const QString error = pruebas::errorDe([&] {
        db->ExecuteParams(u"INSERT INTO %1 (%2, %3) VALUES (?, ?)"_s.arg(tabla, clave, columna),
                          {centro ? QVariant(u"D1"_s) : QVariant(1), valor});
    });
    QVERIFY2(error.isEmpty() == cabe, qPrintable(error));
    const QVariant leido = pruebas::escalar(*db, u"SELECT CAST(%1 AS VARCHAR(30)) FROM %2"_s.arg(columna, tabla));
    QCOMPARE(leido.toString(), cabe ? valor : QString());
}

// The texts the SQL Server dialect gives, checked without a server: dates in the form the
// server reads whatever its language, a batch that stops at its first failure, a chain of centres deeper than the
// server's default limit, and scripts that build and drop the same tables as the embedded database's.
void TstSchema::dialectoSqlServer()
{
    Q_INIT_RESOURCE(schema);
    const auto& sqlServer = orbanel::ado::Dialecto::De(orbanel::ado::Dialect::SqlServer);
    QCOMPARE(sqlServer.FechaHora(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))), u"20260102 03:04:05"_s);
    QCOMPARE(sqlServer.Fecha(QDate(2026, 12, 31)), u"20261231"_s);
    QCOMPARE(sqlServer.UneLote({u"INSERT INTO T VALUES (?)"_s, u"SELECT A FROM T"_s}),
             u"INSERT INTO T VALUES (?);\nIF @@ERROR <> 0 RETURN;\nSELECT A FROM T;\nIF @@ERROR <> 0 RETURN;\n"_s);
    const QString cadena = sqlServer.ConsultaCadena();
    QVERIFY2(cadena.count(QLatin1Char('?')) == 1 && cadena.endsWith(u" OPTION (MAXRECURSION 0)"_s), qPrintable(cadena));

    const auto& sqlite = orbanel::ado::Dialecto::De(orbanel::ado::Dialect::SQLite);
    const QStringList creadas = tablasDelGuion(sqlServer.GuionCrea(), u"CREATE TABLE"_s);
    QCOMPARE(creadas, tablasDelGuion(sqlite.GuionCrea(), u"CREATE TABLE"_s));
    QVERIFY(creadas.contains(u"centro_costo"_s));
    QStringList borradas = tablasDelGuion(sqlServer.GuionBorra(), u"DROP TABLE"_s);
    QCOMPARE(borradas, tablasDelGuion(sqlite.GuionBorra(), u"DROP TABLE"_s));
    std::reverse(borradas.begin(), borradas.end());
    QCOMPARE(borradas, creadas); // dropped in the reverse order of creation

    // Each table that holds a centre declares it, CC_Acumula never; an older database gets the same
    // references, and each database has the look-up of its catalogues.
    const QStringList referencias{u"poliza_detalle.cc_cve_centro_costo>centro_costo"_s,
                                  u"presupuesto_centro.cc_cve_centro_costo>centro_costo"_s};
    for (const auto dialecto :
         {orbanel::ado::Dialect::SQLite, orbanel::ado::Dialect::PostgreSQL, orbanel::ado::Dialect::SqlServer}) {
        const auto& d = orbanel::ado::Dialecto::De(dialecto);
        QCOMPARE(referenciasDelGuion(d.GuionCrea()), referencias);
        QCOMPARE(referenciasDelGuion(orbanel::schema::Guion(dialecto, u"2"_s)), referencias);
        QCOMPARE(orbanel::schema::SentenciasDe(orbanel::schema::Guion(dialecto, u"catalogos"_s)).size(), 1);
    }
}

QTEST_GUILESS_MAIN(TstSchema)
#include "tst_schema.moc"
