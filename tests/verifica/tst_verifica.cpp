// The catalogue check: what it finds, that it changes nothing, and the repair of CC_Tipo.
#include "tests/support/Backends.h"

#include "suite/verifica/Verificacion.h"

#include <QTest>

using orbanel::ado::AdoConnection;
using orbanel::verifica::Clase;

namespace {

// The demo plus one fault of each kind: H1 hangs from a centre that does not exist (with
// H11 below it, whose 50-character description fits), C1 is its own parent, C2 and C3 are
// each other's, T0 says it has children and has none, T1 says it has none and has T11, C4 is
// its own parent and says it has children, a row holds the root's key, two keys have blanks.
// Another table refers twice to ZZ and once to "105 ", neither of which exists.
void siembraFallas(AdoConnection& db)
{
    const QString emoji = QString::fromUcs4(U"\U0001F600").repeated(50); // 100 UTF-16 units
    const QList<std::tuple<QString, QString, int>> filas = {
        {"H1", "ZZ", 1}, {"H11", "H1", 0}, {"C1", "C1", 0}, {"C2", "C3", 1}, {"C3", "C2", 1}, {"T0", "0", 1},
        {"T1", "0", 0},  {"T11", "T1", 0}, {"C4", "C4", 1}, {"0", "0", 0},   {" B1", "0", 0}, {"B2 ", "0", 0}};
    for (const auto& [clave, padre, tipo] : filas)
        db.ExecuteParams(
            QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, CC_Tipo) "
                           "VALUES (?, ?, ?, ?)"),
            {clave, padre, clave == QLatin1String("H11") ? emoji : QStringLiteral("Centro ") + clave, tipo});
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS Aa_Anexo"));
    db.Execute(QStringLiteral("CREATE TABLE Aa_Anexo (Folio INTEGER, Cc_Cve_Centro_costo VARCHAR(6))"));
    for (const char* centro : {"ZZ", "ZZ", "105 ", "105"})
        db.ExecuteParams(QStringLiteral("INSERT INTO Aa_Anexo (Folio, Cc_Cve_Centro_costo) VALUES (1, ?)"),
                         {QString::fromLatin1(centro)});
    // Only a file written before its length checks existed can hold a text too long.
    if (db.dialect() == orbanel::ado::Dialect::SQLite) {
        db.Execute(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
        db.Execute(QStringLiteral("UPDATE Centro_Costo SET CC_Descripcion = '%1' WHERE CC_Cve_Centro_Costo = 'T11'")
                       .arg(QString(60, QLatin1Char('d'))));
        db.Execute(QStringLiteral("PRAGMA ignore_check_constraints = OFF"));
    }
}

// The table the faults add, gone when the test ends however it ends: other tests scan for
// the tables that refer to a centre.
struct SinAnexo {
    AdoConnection& db;
    ~SinAnexo()
    {
        try {
            db.Execute(QStringLiteral("DROP TABLE IF EXISTS Aa_Anexo"));
        } catch (const kt508::Error&) {
            // the next run drops it before it creates it
        }
    }
};

QStringList resumen(const orbanel::verifica::Informe& informe)
{
    QStringList lineas;
    for (const orbanel::verifica::Problema& p : informe.problemas)
        lineas << QStringLiteral("%1:%2").arg(static_cast<int>(p.clase)).arg(p.claves.join(QLatin1Char(',')));
    lineas.sort();
    return lineas;
}

// What the check must find in the demo with the faults above, and nothing else: a text too long
// only on SQLite, whose old files may hold one.
QStringList sembradas(AdoConnection& db, bool conTipos)
{
    const auto linea = [](Clase clase, const char* claves) {
        return QStringLiteral("%1:%2").arg(static_cast<int>(clase)).arg(QLatin1String(claves));
    };
    QStringList lineas{linea(Clase::PadreInexistente, "H1,ZZ"),
                       linea(Clase::Ciclo, "C1"),
                       linea(Clase::Ciclo, "C2,C3"),
                       linea(Clase::Ciclo, "C4"),
                       linea(Clase::ClaveDeRaiz, "0"),
                       linea(Clase::ClaveConBlancos, " B1"),
                       linea(Clase::ClaveConBlancos, "B2 "),
                       linea(Clase::ReferenciaRota, "ZZ"),
                       linea(Clase::ReferenciaRota, "105 ")};
    if (conTipos)
        lineas << linea(Clase::TipoErroneo, "C4") << linea(Clase::TipoErroneo, "T0") << linea(Clase::TipoErroneo, "T1");
    if (db.dialect() == orbanel::ado::Dialect::SQLite)
        lineas << linea(Clase::TextoLargo, "T11");
    lineas.sort();
    return lineas;
}

} // namespace

class TstVerifica : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(); }
    void encuentraCadaFalla();
    void reparaTipos_data();
    void reparaTipos();
};

// Every fault, with the keys involved, nothing in the demo itself, and the database left as it was.
void TstVerifica::encuentraCadaFalla()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    const SinAnexo sinAnexo{*db};
    QVERIFY_SQL(siembraFallas(*db));
    const QString antes = pruebas::volcado(*db);
    orbanel::verifica::Informe informe;
    QVERIFY_SQL(informe = orbanel::verifica::Verifica(*db));
    QCOMPARE(resumen(informe), sembradas(*db, true));
    QCOMPARE(informe.centros, pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt());
    const QString texto = informe.Texto();
    for (const char* parte : {"H1 acumula en ZZ, que no existe: ni él ni el centro que depende de él", "C2 → C3 → C2",
                              "El centro C4 tiene CC_Tipo 1 y acumula en sí mismo, ningún otro centro acumula en él",
                              "La clave del centro \"B2 \" tiene blancos al final.",
                              "aa_anexo tiene 2 renglones del centro ZZ, que no existe.",
                              "aa_anexo tiene 1 renglón del centro 105 , que no existe."})
        QVERIFY2(texto.contains(QString::fromUtf8(parte), Qt::CaseInsensitive), qPrintable(texto));
    QCOMPARE(pruebas::volcado(*db), antes);
}

void TstVerifica::reparaTipos_data()
{
    QTest::addColumn<QString>("fragmento"); // the statement made to fail; none: the repair goes through
    QTest::addColumn<int>("vez");
    QTest::newRow("sin fallo") << QString() << 0;
    for (int vez = 1; vez <= 2; ++vez) {
        QTest::addRow("UPDATE %d", vez) << QStringLiteral("UPDATE Centro_Costo") << vez;
        QTest::addRow("INSERT %d", vez) << QStringLiteral("INSERT INTO Bitacora_Cambios") << vez;
        QTest::addRow("historial %d", vez) << QStringLiteral("INSERT INTO Historial_Centro") << vez;
    }
}

// The flags follow the children, each change logged and noted under the operator, and then the check finds
// no flag wrong; whichever of its statements fails, the repair leaves the database exactly as it was.
void TstVerifica::reparaTipos()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, fragmento);
    QFETCH(int, vez);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    const SinAnexo sinAnexo{*db};
    QVERIFY_SQL(siembraFallas(*db));
    const QString antes = pruebas::volcado(*db);
    if (!fragmento.isEmpty()) {
        db->failContaining(fragmento, vez);
        QVERIFY_THROWS_EXCEPTION(kt508::Error, orbanel::verifica::ReparaTipos(*db, QStringLiteral("ANA")));
        QVERIFY(!db->inTransaction());
        QCOMPARE(pruebas::volcado(*db), antes);
        return;
    }
    QVERIFY_SQL(QCOMPARE(orbanel::verifica::ReparaTipos(*db, QStringLiteral("ANA")),
                         (QStringList{QStringLiteral("C4"), QStringLiteral("T0"), QStringLiteral("T1")})));
    QCOMPARE(resumen(orbanel::verifica::Verifica(*db)), sembradas(*db, false));
    const QString bitacora =
        QStringLiteral("SELECT COUNT(*) FROM Bitacora_Cambios WHERE Bc_Operador = 'ANA' AND Bc_Fecha IS NOT NULL");
    QCOMPARE(pruebas::escalar(*db, bitacora).toInt(), 3); // the demo logs nothing
    const QString historial = QStringLiteral(
        "SELECT COUNT(*) FROM Historial_Centro WHERE Hc_Comando = 'Reparar' AND Hc_Operador = 'ANA' AND Hc_Fecha "
        "IS NOT NULL");
    QCOMPARE(pruebas::escalar(*db, historial).toInt(), 3);
}

QTEST_GUILESS_MAIN(TstVerifica)
#include "tst_verifica.moc"
