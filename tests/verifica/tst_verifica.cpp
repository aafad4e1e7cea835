// The catalogue check: what it finds, that it changes nothing, and the repair of CC_Tipo.
#include "tests/support/Backends.h"

#include "suite/verifica/Verificacion.h"

#include <QTest>

using orbanel::ado::AdoConnection;
using orbanel::verifica::Clase;

namespace {

// The demo plus one fault of each kind: H1 hangs from a centre that does not exist (with
// H11 below it), C1 is its own parent, C2 and C3 are each other's, T0 says it has children
// and has none, T1 says it has none and has T11.
void siembraFallas(AdoConnection& db)
{
    // Key, parent, CC_Tipo.
    for (const char* fila : {"H1 ZZ 1", "H11 H1 0", "C1 C1 0", "C2 C3 1", "C3 C2 1", "T0 0 1", "T1 0 0", "T11 T1 0"}) {
        const QStringList c = QString::fromLatin1(fila).split(QLatin1Char(' '));
        db.ExecuteParams(
            QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, CC_Tipo) "
                           "VALUES (?, ?, ?, ?)"),
            {c.at(0), c.at(1), QStringLiteral("Centro ") + c.at(0), c.at(2).toInt()});
    }
    // Only a file written before its length checks existed can hold a text too long.
    if (db.dialect() == orbanel::ado::Dialect::SQLite) {
        db.Execute(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
        db.Execute(QStringLiteral("UPDATE Centro_Costo SET CC_Descripcion = '%1' WHERE CC_Cve_Centro_Costo = 'T11'")
                       .arg(QString(60, QLatin1Char('d'))));
        db.Execute(QStringLiteral("PRAGMA ignore_check_constraints = OFF"));
    }
}

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
    QStringList lineas{linea(Clase::PadreInexistente, "H1,ZZ"), linea(Clase::Ciclo, "C1"),
                       linea(Clase::Ciclo, "C2,C3")};
    if (conTipos)
        lineas << linea(Clase::TipoErroneo, "T0") << linea(Clase::TipoErroneo, "T1");
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
    QVERIFY_SQL(siembraFallas(*db));
    const QString antes = pruebas::volcado(*db);
    orbanel::verifica::Informe informe;
    QVERIFY_SQL(informe = orbanel::verifica::Verifica(*db));
    QCOMPARE(resumen(informe), sembradas(*db, true));
    QCOMPARE(informe.centros, pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt());
    const QString texto = informe.Texto();
    QVERIFY2(texto.contains(QStringLiteral("H1 acumula en ZZ, que no existe: ni él ni el centro que depende de él"))
                 && texto.contains(QStringLiteral("C2 → C3 → C2")),
             qPrintable(texto));
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
    }
}

// The flags follow the children, each change logged under the operator, and then the check finds
// no flag wrong; whichever of its statements fails, the repair leaves the database exactly as it was.
void TstVerifica::reparaTipos()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, fragmento);
    QFETCH(int, vez);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
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
                         (QStringList{QStringLiteral("T0"), QStringLiteral("T1")})));
    QCOMPARE(resumen(orbanel::verifica::Verifica(*db)), sembradas(*db, false));
    const QString bitacora =
        QStringLiteral("SELECT COUNT(*) FROM Bitacora_Cambios WHERE Bc_Operador = 'ANA' AND Bc_Fecha IS NOT NULL");
    QCOMPARE(pruebas::escalar(*db, bitacora).toInt(), 2); // the demo logs nothing
}

QTEST_GUILESS_MAIN(TstVerifica)
#include "tst_verifica.moc"
