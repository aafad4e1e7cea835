// The catalogue check: what it finds, that it changes nothing, and the repair of CC_Tipo.
#include "tests/support/Backends.h"

#include "suite/ado/AdoConnection.h"
#include "suite/verifica/Verificacion.h"

#include <QTest>

using orbanel::ado::AdoConnection;
using orbanel::verifica::Clase;
using pruebas::Contenido;

namespace {

void inserta(AdoConnection& db, const QString& clave, const QString& padre, int tipo)
{
    db.ExecuteParams(QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, CC_Tipo) "
                                    "VALUES (?, ?, ?, ?)"),
                     {clave, padre, QStringLiteral("Centro ") + clave, tipo});
}

// The demo plus one fault of each kind: H1 hangs from a centre that does not exist (with
// H11 below it), C1 is its own parent, C2 and C3 are each other's, T0 says it has children
// and has none, T1 says it has none and has T11.
void siembraFallas(AdoConnection& db)
{
    inserta(db, QStringLiteral("H1"), QStringLiteral("ZZ"), 1);
    inserta(db, QStringLiteral("H11"), QStringLiteral("H1"), 0);
    inserta(db, QStringLiteral("C1"), QStringLiteral("C1"), 0);
    inserta(db, QStringLiteral("C2"), QStringLiteral("C3"), 1);
    inserta(db, QStringLiteral("C3"), QStringLiteral("C2"), 1);
    inserta(db, QStringLiteral("T0"), QStringLiteral("0"), 1);
    inserta(db, QStringLiteral("T1"), QStringLiteral("0"), 0);
    inserta(db, QStringLiteral("T11"), QStringLiteral("T1"), 0);
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

QString linea(Clase clase, const QString& claves)
{
    return QStringLiteral("%1:%2").arg(static_cast<int>(clase)).arg(claves);
}

} // namespace

class TstVerifica : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { pruebas::agregaBackends(); }
    void demoSinProblemas();
    void encuentraCadaFalla();
    void reparaTipos();
    void reparacionSeDeshaceEntera_data();
    void reparacionSeDeshaceEntera();
};

void TstVerifica::demoSinProblemas()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    orbanel::verifica::Informe informe;
    QVERIFY_SQL(informe = orbanel::verifica::Verifica(*db));
    QVERIFY2(informe.problemas.isEmpty(), qPrintable(informe.Texto()));
    QVERIFY(informe.centros >= 40);
}

// Every fault, with the keys involved, and the database left as it was.
void TstVerifica::encuentraCadaFalla()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    QVERIFY_SQL(siembraFallas(*db));
    const QString antes = pruebas::volcado(*db);
    orbanel::verifica::Informe informe;
    QVERIFY_SQL(informe = orbanel::verifica::Verifica(*db));

    QStringList esperado{linea(Clase::PadreInexistente, QStringLiteral("H1,ZZ")), linea(Clase::Ciclo, QStringLiteral("C1")),
                         linea(Clase::Ciclo, QStringLiteral("C2,C3")), linea(Clase::TipoErroneo, QStringLiteral("T0")),
                         linea(Clase::TipoErroneo, QStringLiteral("T1"))};
    if (db->dialect() == orbanel::ado::Dialect::SQLite)
        esperado << linea(Clase::TextoLargo, QStringLiteral("T11"));
    esperado.sort();
    QCOMPARE(resumen(informe), esperado);
    const QString texto = informe.Texto();
    QVERIFY2(texto.contains(QStringLiteral("H1 acumula en ZZ, que no existe: ni él ni el centro que depende de él")),
             qPrintable(texto));
    QVERIFY2(texto.contains(QStringLiteral("C2 → C3 → C2")), qPrintable(texto));
    QCOMPARE(pruebas::volcado(*db), antes);
}

// The flags follow the children, each change is logged, and the check then finds no flag wrong.
void TstVerifica::reparaTipos()
{
    QFETCH_GLOBAL(QString, backend);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    QVERIFY_SQL(siembraFallas(*db));
    const int bitacora = pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Bitacora_Cambios")).toInt();
    QStringList corregidos;
    QVERIFY_SQL(corregidos = orbanel::verifica::ReparaTipos(*db, QStringLiteral("ANA")));
    QCOMPARE(corregidos, (QStringList{QStringLiteral("T0"), QStringLiteral("T1")}));
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT CC_Tipo FROM Centro_Costo WHERE CC_Cve_Centro_Costo = 'T0'")).toInt(), 0);
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT CC_Tipo FROM Centro_Costo WHERE CC_Cve_Centro_Costo = 'T1'")).toInt(), 1);
    QCOMPARE(pruebas::escalar(*db, QStringLiteral("SELECT COUNT(*) FROM Bitacora_Cambios WHERE Bc_Operador = 'ANA' "
                                                  "AND Bc_Fecha IS NOT NULL")).toInt(),
             bitacora + 2);
    QCOMPARE(orbanel::verifica::Verifica(*db).Cuantos(Clase::TipoErroneo), 0);
}

void TstVerifica::reparacionSeDeshaceEntera_data()
{
    QTest::addColumn<QString>("fragmento");
    QTest::addColumn<int>("vez");
    for (int vez = 1; vez <= 2; ++vez) {
        QTest::addRow("UPDATE %d", vez) << QStringLiteral("UPDATE Centro_Costo") << vez;
        QTest::addRow("INSERT %d", vez) << QStringLiteral("INSERT INTO Bitacora_Cambios") << vez;
    }
}

// Whichever of its statements fails, the repair leaves the database exactly as it was.
void TstVerifica::reparacionSeDeshaceEntera()
{
    QFETCH_GLOBAL(QString, backend);
    QFETCH(QString, fragmento);
    QFETCH(int, vez);
    ABRE_BACKEND(db, backend, Contenido::Demo);
    QVERIFY_SQL(siembraFallas(*db));
    const QString antes = pruebas::volcado(*db);
    db->failContaining(fragmento, vez);
    QVERIFY_EXCEPTION_THROWN(orbanel::verifica::ReparaTipos(*db, QStringLiteral("ANA")), kt508::Error);
    db->clearFailure();
    QVERIFY(!db->inTransaction());
    QCOMPARE(pruebas::volcado(*db), antes);
}

QTEST_GUILESS_MAIN(TstVerifica)
#include "tst_verifica.moc"
