// The subtree routines and the transaction guard of module Publico, on every backend.
#include "kt508/services/Historial.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Subarbol.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/ServicioUtilerias.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"

#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;

namespace {

const QString Hijos =
    u"SELECT Cc_Cve_Centro_Costo FROM Centro_Costo WHERE Cc_Acumula = '%1' ORDER BY Cc_Cve_Centro_Costo "_s;

// 1 with children 10 and 11; 10 with child 100; 2 beside 1. States mixed.
void Rama(Componente& c)
{
    c.Inserta({u"1|0|Centro 1|1|AC"_s, u"10|1|Centro 10|1|BA"_s, u"100|10|Centro 100|0|AC"_s, u"11|1|Centro 11|0|BA"_s,
               u"2|0|Centro 2|0|AC"_s});
}

// Every centre as "key|column|...", in key order; a time stamp as its hour and minute.
QStringList Filas(Componente& c, const QString& columnas)
{
    return c.Filas(u"SELECT CC_Cve_Centro_Costo, %1 FROM Centro_Costo ORDER BY CC_Cve_Centro_Costo"_s.arg(columnas))
        .replaceInStrings(u"2026-12-05 "_s, QString());
}

// A server clock that moves a minute at every reading.
struct RelojQueAvanza : orbanel::ServicioUtilerias {
    QDateTime ahora;
    QDateTime FechaServidor() override { return std::exchange(ahora, ahora.addSecs(60)); }
};

} // namespace

class TstStore : public QObject {
    Q_OBJECT

private slots:
    void borraCentro_data() { pruebas::agregaBackends(); }
    void borraCentro();
    void cambiaEstado_data() { pruebas::agregaBackends(); }
    void cambiaEstado();
    void guardaTransaccion_data() { pruebas::agregaBackends(); }
    void guardaTransaccion();
};

// The centre's account or parent as stored, Null included; "" when there is no such centre. A
// branch deleted a level at a time, each parent before its children.
void TstStore::borraCentro()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    c.Inserta(u"O'N"_s, u"2"_s, u"Con comilla"_s, 0, u"AC"_s);
    c.db().Execute(u"UPDATE Centro_Costo SET CC_Cuenta_Contable = '5100-001' WHERE CC_Cve_Centro_Costo = 'O''N'"_s);
    QStringList leidos;
    for (const QVariant& v :
         {Publico::CuentaDeCentro(c.servicios, u"O'N"_s), Publico::CuentaDeCentro(c.servicios, u"1"_s),
          Publico::CuentaDeCentro(c.servicios, u"999"_s), Publico::PadreDeCentro(c.servicios, u"O'N"_s),
          Publico::PadreDeCentro(c.servicios, u"1"_s), Publico::PadreDeCentro(c.servicios, u"999"_s)})
        leidos << (v.isNull() ? u"<null>"_s : v.toString());
    QCOMPARE(leidos, (QStringList{u"5100-001"_s, u"<null>"_s, u""_s, u"2"_s, u"0"_s, u""_s}));
    c.dobles.utilerias->reloj = QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0));
    c.db().setRecording(true);
    c.db().BeginTrans();
    QVERIFY(Publico::BorraCentro(c.servicios, u"1"_s));
    c.db().CommitTrans();
    const QString borra = u"DELETE FROM Centro_Costo WHERE Cc_Cve_Centro_Costo = '%1'"_s;
    const auto nota = [](const QString& clave) {
        return kt508::historial::NotaDeEliminacion(u"PRUEBAS"_s, u"2026-12-05 10:00:00"_s, clave).Texto();
    };
    QCOMPARE(
        c.db().recorded(),
        (QStringList{borra.arg(1), nota(u"1"_s), Hijos.arg(1), borra.arg(10), nota(u"10"_s), Hijos.arg(10),
                     borra.arg(11), nota(u"11"_s), Hijos.arg(11), borra.arg(100), nota(u"100"_s), Hijos.arg(100)}));
    QCOMPARE(Filas(c, u"CC_Acumula"_s), (QStringList{u"2|0"_s, u"O'N|2"_s}));
}

// With a clock that moves, every centre ends with the stamp its parent's call read and the top
// centre keeps its own: a level at a time, readings 1 at 10:00, 10 at 10:01, 11 at 10:02, 100 at
// 10:03. A reactivation stamps the columns of the deactivation too.
void TstStore::cambiaEstado()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    RelojQueAvanza reloj;
    reloj.ahora = QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0));
    kt508::IUtilerias* const utilerias = std::exchange(c.servicios.Utilerias, &reloj);
    c.db().setRecording(true);
    c.db().BeginTrans();
    const bool baja = Publico::CambiaEstado(c.servicios, u"1"_s, u"BA"_s);
    c.db().CommitTrans();
    const QStringList enviadas = c.db().recorded();
    c.db().BeginTrans();
    const bool alta = Publico::CambiaEstado(c.servicios, u"10"_s, u"AC"_s); // reads 10:04 and 10:05
    c.db().CommitTrans();
    c.servicios.Utilerias = utilerias;
    QVERIFY(baja && alta);

    const QString cambio = u"UPDATE Centro_Costo SET   Oper_Ult_Modif = 'PRUEBAS',    Fecha_Ult_Modif = '2026-12-05 "
                           "10:0%1:00',    Oper_Baja = 'PRUEBAS',    Fecha_Baja = '2026-12-05 10:0%1:00',    "
                           "Es_Cve_Estado = 'BA' WHERE Cc_Cve_Centro_Costo = '%2'"_s;
    // Each centre's note follows its last write and carries that write's stamp.
    const auto nota = [](int minuto, const QString& clave) {
        return kt508::historial::Nota(u"Baja"_s, u"PRUEBAS"_s, u"2026-12-05 10:0%1:00"_s.arg(minuto), clave).Texto();
    };
    QCOMPARE(enviadas,
             (QStringList{cambio.arg(0).arg(1), Hijos.arg(1), nota(0, u"1"_s), cambio.arg(1).arg(10), Hijos.arg(10),
                          cambio.arg(0).arg(10), nota(0, u"10"_s), cambio.arg(2).arg(11), Hijos.arg(11),
                          cambio.arg(0).arg(11), nota(0, u"11"_s), cambio.arg(3).arg(100), Hijos.arg(100),
                          cambio.arg(1).arg(100), nota(1, u"100"_s)}));
    QCOMPARE(Filas(c, u"Es_Cve_Estado, Oper_Baja, Fecha_Baja, Oper_Ult_Modif, Fecha_Ult_Modif"_s),
             (QStringList{u"1|BA|PRUEBAS|10:00|PRUEBAS|10:00"_s, u"10|AC|PRUEBAS|10:04|PRUEBAS|10:04"_s,
                          u"100|AC|PRUEBAS|10:04|PRUEBAS|10:04"_s, u"11|BA|PRUEBAS|10:00|PRUEBAS|10:00"_s,
                          u"2|AC|-|-|-|-"_s}));
}

// Begun on construction; only Confirma keeps the work. Leaving the scope by an error, or
// rolling back first, leaves the database exactly as it was, and the connection usable.
void TstStore::guardaTransaccion()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    const QString antes = pruebas::volcado(c.db());
    const QString borra = u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%1'"_s;

    c.db().failContaining(borra.arg(11));
    try {
        Publico::GuardaTransaccion guarda(c.db());
        QVERIFY(c.db().inTransaction());
        c.db().Execute(borra.arg(2));
        c.db().Execute(borra.arg(11));
        guarda.Confirma();
        QFAIL("la sentencia no falló");
    } catch (const kt508::Error&) {
    }
    QVERIFY(!c.db().inTransaction());
    QCOMPARE(pruebas::volcado(c.db()), antes);

    {
        Publico::GuardaTransaccion guarda(c.db());
        c.db().Execute(borra.arg(2));
        guarda.Deshace(); // at once: the command's message comes after it
        QVERIFY(!c.db().inTransaction());
        guarda.Confirma(); // nothing left to confirm
    }
    QCOMPARE(pruebas::volcado(c.db()), antes);

    {
        Publico::GuardaTransaccion guarda(c.db());
        c.db().Execute(borra.arg(2));
        guarda.Confirma();
    }
    QVERIFY(!c.db().inTransaction());
    QCOMPARE(Filas(c, u"CC_Acumula"_s).size(), 4);
}

QTEST_MAIN(TstStore)
#include "tst_store.moc"
