// Round trips to a database server, as the data layer counts them (Viajes): loading the tree and
// deactivating a branch wait for the server once a level of the tree, plus a few fixed waits (the
// transaction, the change's confirmation), however many centres each level holds: a branch twelve
// times as wide as another of the same depth stays within the same count.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Utilerias.h"
#include "suite/ado/AdoConnection.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"

#include <QTest>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;

namespace {

// Centre 1 under the root, `ancho` children under it and `ancho` under each of them: the levels
// whose children are read are the root's, 1's and its children's.
constexpr int NivelesDelArbol = 3;
// Deactivating 1: its branch has three levels, and the tree is read again after.
constexpr int NivelesDeLaBaja = 3 + NivelesDelArbol;
// Waits that do not depend on the tree: begin, the confirmation (the parent checked, the change
// recorded), the server's clock read once, commit; and one to spare.
constexpr int Fijos = 6;

void Rama(Componente& c, int ancho)
{
    c.Inserta(u"1"_s, u"0"_s, u"Rama"_s, 1, u"AC"_s);
    for (int i = 1; i <= ancho; ++i) {
        const QString hijo = u"1%1"_s.arg(i, 2, 10, QLatin1Char('0'));
        c.Inserta(hijo, u"1"_s, hijo, 1, u"AC"_s);
        for (int j = 1; j <= ancho; ++j)
            c.Inserta(hijo + u"%1"_s.arg(j, 2, 10, QLatin1Char('0')), hijo, hijo, 0, u"AC"_s);
    }
}

} // namespace

class TstViajes : public QObject {
    Q_OBJECT

private slots:
    void porNivel_data();
    void porNivel();
    void confirmacion();
};

void TstViajes::porNivel_data()
{
    QTest::addColumn<int>("ancho");
    QTest::newRow("13 centros") << 3;
    QTest::newRow("157 centros") << 12;
}

void TstViajes::porNivel()
{
    QFETCH(int, ancho);
    if (!pruebas::backends().contains(u"postgresql"_s))
        QSKIP("hace falta un servidor PostgreSQL (KT508_TEST_PG)");
    Componente c(u"postgresql"_s, Contenido::Vacio);
    Rama(c, ancho);
    frmKT508& frm = c.Carga();
    frm.tvCeCos->setFocus();

    long antes = c.db().Viajes();
    frm.CargarCecos();
    const long carga = c.db().Viajes() - antes;
    QCOMPARE(frm.tvCeCos->Count(), 2 + ancho + ancho * ancho);
    QVERIFY2(carga >= NivelesDelArbol && carga <= NivelesDelArbol + 1,
             qPrintable(
                 u"la carga del árbol esperó %1 veces al servidor, para %2 niveles"_s.arg(carga).arg(NivelesDelArbol)));

    kt508::Node* rama = frm.tvCeCos->Nodes(u"N1"_s);
    frm.tvCeCos->setSelectedItem(rama);
    emit frm.tvCeCos->NodeClick(rama);
    antes = c.db().Viajes();
    emit frm.Controles->Eliminar();
    const long baja = c.db().Viajes() - antes;
    QCOMPARE(pruebas::escalar(c.db(), u"SELECT COUNT(*) FROM Centro_Costo WHERE Es_Cve_Estado = 'BA'"_s).toInt(),
             1 + ancho + ancho * ancho);
    QVERIFY2(baja >= NivelesDeLaBaja && baja <= NivelesDeLaBaja + Fijos,
             qPrintable(
                 u"la baja de la rama esperó %1 veces al servidor, para %2 niveles"_s.arg(baja).arg(NivelesDeLaBaja)));
}

// The confirmation inside the command's transaction, the clock already read: the chain of
// ancestors and the record of the change wait for the server once, and a refused centre's record
// goes with the caller's rollback.
void TstViajes::confirmacion()
{
    if (!pruebas::backends().contains(u"postgresql"_s))
        QSKIP("hace falta un servidor PostgreSQL (KT508_TEST_PG)");
    Componente c(u"postgresql"_s, Contenido::Vacio);
    c.Inserta(u"1"_s, u"0"_s, u"Raíz"_s, 1, u"AC"_s);
    c.Inserta(u"4"_s, u"44"_s, u"Huérfano"_s, 0, u"AC"_s);
    kt508::IUtilerias& util = *c.servicios.Utilerias;
    util.FechaServidor();
    for (const auto& [clave, valido] : {std::pair{u"1"_s, true}, std::pair{u"4"_s, false}}) {
        c.db().BeginTrans();
        const long antes = c.db().Viajes();
        const bool confirmado = util.ValidaCambio(u"CENTRO_COSTO"_s, clave, QString());
        const long viajes = c.db().Viajes() - antes;
        if (confirmado)
            c.db().CommitTrans();
        else
            c.db().RollbackTrans();
        QCOMPARE(confirmado, valido);
        QCOMPARE(viajes, 1L);
    }
    QCOMPARE(util.UltimoError(), u"El centro de costos 4 acumula en 44, que no existe."_s);
    QCOMPARE(pruebas::escalar(c.db(), u"SELECT Bc_Clave FROM Bitacora_Cambios"_s).toString(), u"1"_s);
    QCOMPARE(pruebas::escalar(c.db(), u"SELECT COUNT(*) FROM Bitacora_Cambios"_s).toInt(), 1);
}

QTEST_MAIN(TstViajes)
#include "tst_viajes.moc"
