#include "tests/support/Backends.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"
#include "suite/schema/Schema.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

using orbanel::ado::AdoConnection;

// Outside any namespace, as Qt's resource macro requires.
static void iniciaGuiones()
{
    Q_INIT_RESOURCE(schema);
}
using pruebas::Contenido;

namespace {

int cuenta(AdoConnection& db, const QString& sentencia)
{
    return pruebas::escalar(db, QStringLiteral("SELECT COUNT(*) ") + sentencia).toInt();
}

// The delete command's scan, from its pieces exactly as the command joins them.
QStringList tablasQueRefieren(AdoConnection& db)
{
    QStringList tablas;
    kt508::Recordset rs = db.Execute(
        QStringLiteral("SELECT sysobjects.NAME AS TABLA ") + QStringLiteral("FROM sysobjects ")
        + QStringLiteral("   INNER JOIN syscolumns ON sysobjects.id = syscolumns.id ")
        + QStringLiteral("WHERE  syscolumns.Name = 'Cc_Cve_Centro_costo' AND ") + QStringLiteral(" sysobjects.type = 'U' AND ")
        + QStringLiteral("sysobjects.Name <> 'Centro_Costo' ") + QStringLiteral(" ORDER BY TABLA ASC"));
    for (; !rs.Eof(); rs.MoveNext())
        tablas.append(rs.Fields(QStringLiteral("TABLA")).Value.toString().toLower());
    return tablas;
}

// Tables a test adds next to the schema, gone whatever the last run left.
void quitaAgregadas(AdoConnection& db)
{
    if (db.dialect() == orbanel::ado::Dialect::PostgreSQL)
        db.Execute(QStringLiteral("DROP SCHEMA IF EXISTS ajeno CASCADE"));
    db.Execute(QStringLiteral("DROP VIEW IF EXISTS Ac_Vista"));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS Aa_Anexo"));
}

struct Fila {
    QString acumula;
    int tipo = 0;
    QString estado;
};

} // namespace

class TstSchema : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void valoresPorOmision();
    void dependencias();
    void demo();
    void dialectoSqlServer();
};

// The insert of a new centre names neither CC_Tipo nor Es_Cve_Estado: the defaults decide.
void TstSchema::valoresPorOmision()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Vacio);
    QVERIFY_SQL(db->Execute(QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, "
                                           "Oper_Alta, Fecha_Alta) VALUES ('777', '0', 'Nuevo', 'PRUEBA', '2024-05-06 07:08:09')")));
    kt508::Recordset rs;
    QVERIFY_SQL(rs = db->Execute(QStringLiteral("SELECT CC_Tipo, Es_Cve_Estado, Fecha_Alta FROM Centro_Costo "
                                                "WHERE CC_Cve_Centro_Costo = '777'")));
    QCOMPARE(rs.Fields(QStringLiteral("CC_Tipo")).Value.toString(), QStringLiteral("0")); // not NULL
    QCOMPARE(rs.Fields(QStringLiteral("Es_Cve_Estado")).Value.toString(), QStringLiteral("AC"));
    QCOMPARE(rs.Fields(QStringLiteral("Fecha_Alta")).Value.toDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
}

// The scan lists the referring tables in name order, column names matched in any capitals;
// Centro_Costo, views and other schemas never count. The count that
// follows works on each table it names.
void TstSchema::dependencias()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    QVERIFY_SQL(quitaAgregadas(*db));
    QVERIFY_SQL(db->Execute(QStringLiteral("CREATE TABLE Aa_Anexo (Folio INTEGER, CC_CVE_CENTRO_COSTO VARCHAR(6))")));
    QVERIFY_SQL(db->Execute(QStringLiteral("CREATE VIEW Ac_Vista AS SELECT Cc_Cve_Centro_costo FROM Poliza_Detalle")));
    QVERIFY_SQL(db->Execute(QStringLiteral("INSERT INTO Aa_Anexo (Folio, CC_CVE_CENTRO_COSTO) VALUES (1, '1052')")));
    if (db->dialect() == orbanel::ado::Dialect::PostgreSQL) {
        QVERIFY_SQL(db->Execute(QStringLiteral("CREATE SCHEMA ajeno")));
        QVERIFY_SQL(db->Execute(QStringLiteral("CREATE TABLE ajeno.Ad_Ajena (Cc_Cve_Centro_costo VARCHAR(6))")));
    }
    QStringList tablas;
    QVERIFY_SQL(tablas = tablasQueRefieren(*db));
    QCOMPARE(tablas, (QStringList{QStringLiteral("aa_anexo"), QStringLiteral("poliza_detalle"), QStringLiteral("presupuesto_centro")}));
    const QStringList claves = {QStringLiteral("1052"), QStringLiteral("105"), QStringLiteral("106")};
    const QList<QList<int>> usos = {{1, 0, 0}, {0, 1, 0}, {0, 1, 1}}; // per table, per key
    for (int i = 0; i < tablas.size(); ++i)
        for (int j = 0; j < claves.size(); ++j)
            QCOMPARE(cuenta(*db, QStringLiteral("FROM %1 WHERE Cc_Cve_Centro_Costo = '%2' ").arg(tablas.at(i), claves.at(j))),
                     usos.at(i).at(j));
    QVERIFY_SQL(quitaAgregadas(*db));
}

// The hierarchy rules hold in the demo (flags match children, parents exist, a retired branch is
// retired whole) and the settings, groups and accounts the screen reads are there and agree.
void TstSchema::demo()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    QHash<QString, Fila> filas;
    kt508::Recordset rs;
    QVERIFY_SQL(rs = db->Execute(QStringLiteral("SELECT CC_Cve_Centro_Costo, CC_Acumula, CC_Tipo, Es_Cve_Estado FROM Centro_Costo")));
    for (; !rs.Eof(); rs.MoveNext())
        filas.insert(rs.Value(0).toString(), {rs.Value(1).toString(), rs.Value(2).toInt(), rs.Value(3).toString()});
    QVERIFY2(filas.size() >= 40 && filas.size() <= 60, qPrintable(QString::number(filas.size())));

    QHash<QString, int> hijos;
    for (const Fila& fila : filas)
        ++hijos[fila.acumula];
    int hojasDeBaja = 0;
    for (auto it = filas.cbegin(); it != filas.cend(); ++it) {
        const Fila& fila = it.value();
        const Fila padre = filas.value(fila.acumula);
        QVERIFY2(fila.acumula == QLatin1String("0") || filas.contains(fila.acumula), qPrintable(it.key()));
        QCOMPARE(fila.tipo, hijos.value(it.key()) > 0 ? 1 : 0);
        QVERIFY2(padre.estado != QLatin1String("BA") || fila.estado == QLatin1String("BA"), qPrintable(it.key()));
        hojasDeBaja += fila.estado == QLatin1String("BA") && padre.estado == QLatin1String("AC") && fila.tipo == 0;
    }
    QVERIFY(hojasDeBaja >= 1);

    const QList<QPair<QString, int>> esperados = {
        {QStringLiteral("FROM Parametros WHERE Parametro || '=' || Valor IN ('CAT_GRUPO_CENTRO_COSTO_DEFAULT=000100', "
                        "'FTO_CENTRO_COSTO=999999', 'FTO_GRUPO_CENTRO_COSTO=999999', 'CON_CUENTA_PADRE_CENTRO_COSTO=5100', "
                        "'CAT_AUTOCLAVE=0')"), 5},
        {QStringLiteral("FROM Cuenta_Contable WHERE Cc_Cve_Cuenta_Contable = '5100'"), 1},
        {QStringLiteral("FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '105' AND CC_Descripcion = 'Ventas norte'"), 1},
        {QStringLiteral("FROM Centro_Costo c WHERE NOT EXISTS (SELECT 1 FROM Grupo_Centro_Costo g WHERE "
                        "g.Gcc_Cve_Grupo_Centro_Costo = c.Gcc_Cve_Grupo_Centro_Costo)"), 0},
    };
    for (const auto& [condicion, total] : esperados)
        QVERIFY2(cuenta(*db, condicion) == total, qPrintable(condicion));
}

namespace {

// The tables a schema script creates or drops, in lower case and in order.
QStringList tablasDelGuion(const QString& recurso, const QString& orden)
{
    iniciaGuiones();
    QFile guion(recurso);
    if (!guion.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("sin guion %1").arg(recurso)};
    const QRegularExpression patron(orden + QStringLiteral(R"(\s+(?:IF\s+EXISTS\s+)?(\w+))"),
                                    QRegularExpression::CaseInsensitiveOption);
    QStringList tablas;
    for (auto it = patron.globalMatch(QString::fromUtf8(guion.readAll())); it.hasNext();)
        tablas << it.next().captured(1).toLower();
    return tablas;
}

} // namespace

// The texts the SQL Server dialect gives, checked without a server: dates in the form the
// server reads whatever its language, its clock and its catalogue, and scripts that build
// and drop the same tables as the embedded database's.
void TstSchema::dialectoSqlServer()
{
    const auto& sqlServer = orbanel::ado::Dialecto::De(orbanel::ado::Dialect::SqlServer);
    QCOMPARE(sqlServer.FechaHora(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))), QStringLiteral("20260102 03:04:05"));
    QCOMPARE(sqlServer.Fecha(QDate(2026, 12, 31)), QStringLiteral("20261231"));
    QCOMPARE(sqlServer.ConsultaFechaServidor(), QStringLiteral("SELECT CURRENT_TIMESTAMP"));
    QCOMPARE(sqlServer.ConsultaCatalogoExiste(),
             QStringLiteral("SELECT COUNT(*) AS Total FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_NAME = 'Centro_Costo'"));

    const auto& sqlite = orbanel::ado::Dialecto::De(orbanel::ado::Dialect::SQLite);
    const QStringList creadas = tablasDelGuion(sqlServer.GuionCrea(), QStringLiteral("CREATE TABLE"));
    QCOMPARE(creadas, tablasDelGuion(sqlite.GuionCrea(), QStringLiteral("CREATE TABLE")));
    QVERIFY(creadas.contains(QStringLiteral("centro_costo")));
    QStringList borradas = tablasDelGuion(sqlServer.GuionBorra(), QStringLiteral("DROP TABLE"));
    QCOMPARE(borradas, tablasDelGuion(sqlite.GuionBorra(), QStringLiteral("DROP TABLE")));
    std::reverse(borradas.begin(), borradas.end());
    QCOMPARE(borradas, creadas); // dropped in the reverse order of creation
}

QTEST_GUILESS_MAIN(TstSchema)
#include "tst_schema.moc"
