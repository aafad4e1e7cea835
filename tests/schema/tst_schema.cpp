#include "tests/support/Backends.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"

#include <QHash>
#include <QSet>
#include <QTest>

using orbanel::ado::AdoConnection;
using pruebas::Contenido;

namespace {

// The delete command's scan, from its pieces exactly as the command joins them.
QString consultaDependencias()
{
    return QStringLiteral("SELECT sysobjects.NAME AS TABLA ") + QStringLiteral("FROM sysobjects ")
        + QStringLiteral("   INNER JOIN syscolumns ON sysobjects.id = syscolumns.id ")
        + QStringLiteral("WHERE  syscolumns.Name = 'Cc_Cve_Centro_costo' AND ") + QStringLiteral(" sysobjects.type = 'U' AND ")
        + QStringLiteral("sysobjects.Name <> 'Centro_Costo' ") + QStringLiteral(" ORDER BY TABLA ASC");
}

QStringList tablasQueRefieren(AdoConnection& db)
{
    QStringList tablas;
    kt508::Recordset rs = db.Execute(consultaDependencias());
    for (; !rs.Eof(); rs.MoveNext())
        tablas.append(rs.Fields(QStringLiteral("TABLA")).Value.toString());
    rs.Close();
    return tablas;
}

int usos(AdoConnection& db, const QString& tabla, const QString& clave)
{
    kt508::Recordset rs = db.Execute(QStringLiteral("SELECT COUNT(Cc_Cve_Centro_Costo) AS Total FROM ") + tabla
                                     + QStringLiteral(" WHERE Cc_Cve_Centro_Costo = '") + clave + QStringLiteral("' "));
    return rs.Fields(QStringLiteral("Total")).Value.toInt();
}

QStringList enMinusculas(QStringList lista)
{
    for (QString& s : lista)
        s = s.toLower();
    return lista;
}

struct Fila {
    QString acumula;
    int tipo = 0;
    QString estado;
};

QHash<QString, Fila> catalogo(AdoConnection& db)
{
    QHash<QString, Fila> filas;
    kt508::Recordset rs = db.Execute(QStringLiteral("SELECT CC_Cve_Centro_Costo, CC_Acumula, CC_Tipo, Es_Cve_Estado FROM Centro_Costo"));
    for (; !rs.Eof(); rs.MoveNext())
        filas.insert(rs.Value(0).toString(), {rs.Value(1).toString(), rs.Value(2).toInt(), rs.Value(3).toString()});
    return filas;
}

int profundidad(const QHash<QString, Fila>& filas, QString clave)
{
    int nivel = 0;
    while (clave != QLatin1String("0") && filas.contains(clave) && nivel < 10) {
        clave = filas.value(clave).acumula;
        ++nivel;
    }
    return nivel;
}

} // namespace

class TstSchema : public QObject {
    Q_OBJECT

private slots:
    void creaYBorra_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void creaYBorra();
    void valoresPorOmision_data() { pruebas::agregaBackends(); }
    void valoresPorOmision();
    void dependencias_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void dependencias();
    void dependenciasSinMayusculas_data() { pruebas::agregaBackends(); }
    void dependenciasSinMayusculas();
    void demoConsistente_data() { pruebas::agregaBackends(); }
    void demoConsistente();
    void demoCatalogos_data() { pruebas::agregaBackends(); }
    void demoCatalogos();
};

void TstSchema::creaYBorra()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Vacio);
    QVERIFY(!orbanel::schema::Vacia(*db));
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt(), 0);
    QVERIFY_SQL(orbanel::schema::Borra(*db));
    QVERIFY(orbanel::schema::Vacia(*db));
    QVERIFY_THROWS_EXCEPTION(kt508::Error, db->Execute(QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")));
    QVERIFY_SQL(orbanel::schema::Borra(*db)); // dropping twice is harmless
    QVERIFY_SQL(orbanel::schema::Crea(*db));
    QVERIFY(!orbanel::schema::Vacia(*db));
    QVERIFY(!db->inTransaction());
    // Creating over an existing schema fails as a whole and leaves the connection usable.
    QVERIFY_THROWS_EXCEPTION(kt508::Error, orbanel::schema::Crea(*db));
    QVERIFY(!db->inTransaction());
    QVERIFY_SQL(orbanel::schema::CargaDemo(*db));
    QVERIFY(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt() > 0);
}

// The insert of a new centre names neither CC_Tipo nor Es_Cve_Estado: the defaults decide.
void TstSchema::valoresPorOmision()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Vacio);
    QVERIFY_SQL(db->Execute(QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, "
                                           "Oper_Alta, Fecha_Alta) VALUES ('777', '0', 'Nuevo', 'PRUEBA', "
                                           "'2024-05-06 07:08:09')")));
    kt508::Recordset rs;
    QVERIFY_SQL(rs = db->Execute(QStringLiteral("SELECT CC_Tipo, Es_Cve_Estado, Fecha_Alta FROM Centro_Costo "
                                                "WHERE CC_Cve_Centro_Costo = '777'")));
    QVERIFY(!rs.Eof());
    QCOMPARE(rs.Fields(QStringLiteral("CC_Tipo")).Value.toInt(), 0);
    QVERIFY(!rs.Fields(QStringLiteral("CC_Tipo")).Value.isNull());
    QCOMPARE(rs.Fields(QStringLiteral("Es_Cve_Estado")).Value.toString(), QStringLiteral("AC"));
    const QVariant fecha = rs.Fields(QStringLiteral("Fecha_Alta")).Value;
    QCOMPARE(fecha.toDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
}

// The scan lists both referring tables in name order; the count that follows works on each.
void TstSchema::dependencias()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    QStringList tablas;
    QVERIFY_SQL(tablas = tablasQueRefieren(*db));
    QCOMPARE(enMinusculas(tablas), (QStringList{QStringLiteral("poliza_detalle"), QStringLiteral("presupuesto_centro")}));

    QCOMPARE(usos(*db, tablas.at(0), QStringLiteral("105")), 1);
    QCOMPARE(usos(*db, tablas.at(1), QStringLiteral("105")), 1);
    QCOMPARE(usos(*db, tablas.at(0), QStringLiteral("106")), 0);
    QCOMPARE(usos(*db, tablas.at(1), QStringLiteral("106")), 1);
    QCOMPARE(usos(*db, tablas.at(0), QStringLiteral("1052")), 0);
    QCOMPARE(usos(*db, tablas.at(1), QStringLiteral("1052")), 0);
}

// Column names match in any capitals; Centro_Costo, columns of other names and views never count.
void TstSchema::dependenciasSinMayusculas()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    QVERIFY_SQL(db->Execute(QStringLiteral("CREATE TABLE Aa_Anexo (Folio INTEGER, CC_CVE_CENTRO_COSTO VARCHAR(6))")));
    QVERIFY_SQL(db->Execute(QStringLiteral("CREATE TABLE Ab_Sin_Centro (Folio INTEGER, Centro VARCHAR(6))")));
    QVERIFY_SQL(db->Execute(QStringLiteral("CREATE VIEW Ac_Vista AS SELECT Cc_Cve_Centro_costo FROM Poliza_Detalle")));
    QVERIFY_SQL(db->Execute(QStringLiteral("INSERT INTO Aa_Anexo (Folio, CC_CVE_CENTRO_COSTO) VALUES (1, '1052')")));
    if (db->dialect() == orbanel::ado::Dialect::PostgreSQL) {
        QVERIFY_SQL(db->Execute(QStringLiteral("CREATE SCHEMA ajeno")));
        QVERIFY_SQL(db->Execute(QStringLiteral("CREATE TABLE ajeno.Ad_Ajena (Cc_Cve_Centro_costo VARCHAR(6))")));
    }

    QStringList tablas;
    QVERIFY_SQL(tablas = tablasQueRefieren(*db));
    QCOMPARE(enMinusculas(tablas), (QStringList{QStringLiteral("aa_anexo"), QStringLiteral("poliza_detalle"),
                                                QStringLiteral("presupuesto_centro")}));
    QCOMPARE(usos(*db, tablas.at(0), QStringLiteral("1052")), 1);

    if (db->dialect() == orbanel::ado::Dialect::PostgreSQL)
        QVERIFY_SQL(db->Execute(QStringLiteral("DROP SCHEMA ajeno CASCADE")));
    QVERIFY_SQL(db->Execute(QStringLiteral("DROP VIEW Ac_Vista")));
    QVERIFY_SQL(db->Execute(QStringLiteral("DROP TABLE Ab_Sin_Centro")));
    QVERIFY_SQL(db->Execute(QStringLiteral("DROP TABLE Aa_Anexo")));
}

// The hierarchy rules hold in the demo: flags match children, parents exist, states are inherited.
void TstSchema::demoConsistente()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    QHash<QString, Fila> filas;
    QVERIFY_SQL(filas = catalogo(*db));
    QVERIFY2(filas.size() >= 40 && filas.size() <= 60, qPrintable(QString::number(filas.size())));

    QHash<QString, int> hijos;
    int maxNivel = 0;
    int hojasDeBaja = 0;
    for (auto it = filas.cbegin(); it != filas.cend(); ++it) {
        QVERIFY2(it.value().acumula == QLatin1String("0") || filas.contains(it.value().acumula), qPrintable(it.key()));
        QVERIFY(it.key().size() <= 6);
        QVERIFY(it.value().estado == QLatin1String("AC") || it.value().estado == QLatin1String("BA"));
        ++hijos[it.value().acumula];
        maxNivel = qMax(maxNivel, profundidad(filas, it.key()));
    }
    for (auto it = filas.cbegin(); it != filas.cend(); ++it) {
        QCOMPARE(it.value().tipo, hijos.value(it.key()) > 0 ? 1 : 0);
        const Fila& padre = filas.value(it.value().acumula);
        if (it.value().acumula != QLatin1String("0") && padre.estado == QLatin1String("BA"))
            QVERIFY2(it.value().estado == QLatin1String("BA"), qPrintable(it.key())); // a retired branch is retired whole
        if (it.value().estado == QLatin1String("BA") && padre.estado == QLatin1String("AC") && it.value().tipo == 0)
            ++hojasDeBaja;
    }
    QVERIFY(maxNivel >= 3 && maxNivel <= 4);
    QVERIFY(hojasDeBaja >= 1);
    QVERIFY(hijos.value(QStringLiteral("0")) >= 3);
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '105'"))
                 .toString(),
             QStringLiteral("Ventas norte"));
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo WHERE Oper_Alta IS NULL OR "
                                                  "Fecha_Alta IS NULL"))
                 .toInt(),
             0);
}

// Settings, groups, accounts and field definitions that the screen reads are there and agree.
void TstSchema::demoCatalogos()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    const QList<QPair<QString, QString>> esperados = {
        {QStringLiteral("CAT_GRUPO_CENTRO_COSTO_DEFAULT"), QStringLiteral("000000")},
        {QStringLiteral("FTO_CENTRO_COSTO"), QStringLiteral("999999")},
        {QStringLiteral("FTO_GRUPO_CENTRO_COSTO"), QStringLiteral("999999")},
        {QStringLiteral("CON_CUENTA_PADRE_CENTRO_COSTO"), QStringLiteral("5100")},
        {QStringLiteral("CAT_AUTOCLAVE"), QStringLiteral("0")},
    };
    for (const auto& [parametro, valor] : esperados)
        QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT Valor FROM Parametros WHERE Parametro = '%1'").arg(parametro))
                     .toString(),
                 valor);
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT Gcc_Descripcion FROM Grupo_Centro_Costo WHERE "
                                                  "Gcc_Cve_Grupo_Centro_Costo = '000000'"))
                 .toString(),
             QStringLiteral("GENERAL"));
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Cuenta_Contable WHERE Cc_Cve_Cuenta_Contable = "
                                                  "'5100' AND Cc_Naturaleza IN ('AC', 'DE')"))
                 .toInt(),
             1);
    // Every group and account a centre names exists.
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo c WHERE NOT EXISTS (SELECT 1 FROM "
                                                  "Grupo_Centro_Costo g WHERE g.Gcc_Cve_Grupo_Centro_Costo = "
                                                  "c.Gcc_Cve_Grupo_Centro_Costo)"))
                 .toInt(),
             0);
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo c WHERE c.CC_Cuenta_Contable IS NOT "
                                                  "NULL AND NOT EXISTS (SELECT 1 FROM Cuenta_Contable a WHERE "
                                                  "a.Cc_Cve_Cuenta_Contable = c.CC_Cuenta_Contable)"))
                 .toInt(),
             0);
    QVERIFY(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo WHERE CC_Cuenta_Contable IS NOT NULL"))
                .toInt()
            > 0);
    QVERIFY(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Campos_Adicionales_Def WHERE Cad_Tabla = "
                                                 "'Centro_Costo'"))
                .toInt()
            >= 1);
}

QTEST_GUILESS_MAIN(TstSchema)
#include "tst_schema.moc"
