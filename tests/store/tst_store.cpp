// Statement helpers and the subtree routines of module Publico, on every backend.
#include "kt508/services/Connection.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Subarbol.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/ServicioUtilerias.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"

#include <QTest>

using pruebas::Componente;
using pruebas::Contenido;

namespace {

const QString Hijos = QStringLiteral("SELECT Cc_Cve_Centro_Costo FROM Centro_Costo WHERE Cc_Acumula = '%1' ORDER BY Cc_Cve_Centro_Costo ");

// 1 with children 10 and 11; 10 with child 100. States mixed.
void Rama(Componente& c)
{
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("Dirección"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("Finanzas"), 1, QStringLiteral("BA"));
    c.Inserta(QStringLiteral("100"), QStringLiteral("10"), QStringLiteral("Tesorería"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("Compras"), 0, QStringLiteral("BA"));
    c.Inserta(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("Otra rama"), 0, QStringLiteral("AC"));
}

QStringList Filas(Componente& c, const QString& columnas)
{
    QStringList filas;
    kt508::Recordset rs = c.db().Execute(QStringLiteral("SELECT CC_Cve_Centro_Costo, %1 FROM Centro_Costo ORDER BY CC_Cve_Centro_Costo").arg(columnas));
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList fila;
        for (int i = 0; i < rs.FieldCount(); ++i)
            fila << rs.Value(i).toString();
        filas << fila.join(QLatin1Char('|'));
    }
    return filas;
}

// A server clock that moves a minute at every reading.
class RelojQueAvanza : public orbanel::ServicioUtilerias {
public:
    explicit RelojQueAvanza(QDateTime inicio)
        : m_ahora(std::move(inicio))
    {
    }
    QDateTime FechaServidor() override
    {
        const QDateTime leida = m_ahora;
        m_ahora = m_ahora.addSecs(60);
        return leida;
    }

private:
    QDateTime m_ahora;
};

} // namespace

class TstStore : public QObject {
    Q_OBJECT

private slots:
    void literal();
    void borraCentro_data() { pruebas::agregaBackends(); }
    void borraCentro();
    void cambiaEstado_data() { pruebas::agregaBackends(); }
    void cambiaEstado();
    void cambiaEstadoConRelojQueAvanza_data() { pruebas::agregaBackends(); }
    void cambiaEstadoConRelojQueAvanza();
    void falloAMitadSeDeshace_data() { pruebas::agregaBackends(); }
    void falloAMitadSeDeshace();
    void lectores_data() { pruebas::agregaBackends(); }
    void lectores();
    void guardaTransaccion_data() { pruebas::agregaBackends(); }
    void guardaTransaccion();
};

void TstStore::literal()
{
    QCOMPARE(Publico::Literal(QStringLiteral("O'Higgins")), QStringLiteral("'O''Higgins'"));
    QCOMPARE(Publico::Literal(QString()), QStringLiteral("''"));
    QCOMPARE(Publico::Literal(QStringLiteral("''")), QStringLiteral("''''''"));
    QCOMPARE(Publico::Literal(QStringLiteral(" á ñ ")), QStringLiteral("' á ñ '"));

    // The database gives back exactly what went in.
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    for (const QString& valor : {QStringLiteral("O'Higgins"), QStringLiteral("'; DROP TABLE Centro_Costo; --"),
                                 QStringLiteral("''"), QStringLiteral("  ")}) {
        const QVariant vuelta = pruebas::escalar(c.db(), QStringLiteral("SELECT ") + Publico::Literal(valor));
        QCOMPARE(vuelta.toString(), valor);
    }
}

void TstStore::borraCentro()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    c.db().setRecording(true);
    c.db().BeginTrans();
    QVERIFY(Publico::BorraCentro(QStringLiteral("1")));
    c.db().CommitTrans();
    const QString borra = QStringLiteral("DELETE FROM Centro_Costo WHERE Cc_Cve_Centro_Costo = '%1'");
    QCOMPARE(c.db().recorded(),
             (QStringList{borra.arg(1), Hijos.arg(1), borra.arg(10), Hijos.arg(10), borra.arg(100), Hijos.arg(100),
                          borra.arg(11), Hijos.arg(11)}));
    QCOMPARE(Filas(c, QStringLiteral("CC_Acumula")), QStringList{QStringLiteral("2|0")});

    // A key without a row changes nothing and finds no children.
    c.db().clearRecorded();
    QVERIFY(Publico::BorraCentro(QStringLiteral("999")));
    QCOMPARE(c.db().recorded().size(), 2);
}

void TstStore::cambiaEstado()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    const QDateTime reloj(QDate(2026, 12, 5), QTime(10, 0, 0));
    c.dobles.utilerias->reloj = reloj;
    c.db().setRecording(true);

    c.db().BeginTrans();
    QVERIFY(Publico::CambiaEstado(QStringLiteral("1"), QStringLiteral("BA")));
    c.db().CommitTrans();

    const QString fecha = QStringLiteral("2026-12-05 10:00:00");
    const QString cambio = QStringLiteral("UPDATE Centro_Costo SET   Oper_Ult_Modif = 'PRUEBAS',    Fecha_Ult_Modif = '%1',    "
                                          "Oper_Baja = 'PRUEBAS',    Fecha_Baja = '%1',    Es_Cve_Estado = 'BA' WHERE "
                                          "Cc_Cve_Centro_Costo = '%2'");
    QCOMPARE(c.db().recorded(),
             (QStringList{cambio.arg(fecha, QStringLiteral("1")), Hijos.arg(1), cambio.arg(fecha, QStringLiteral("10")),
                          Hijos.arg(10), cambio.arg(fecha, QStringLiteral("100")), Hijos.arg(100),
                          cambio.arg(fecha, QStringLiteral("100")), cambio.arg(fecha, QStringLiteral("10")),
                          cambio.arg(fecha, QStringLiteral("11")), Hijos.arg(11), cambio.arg(fecha, QStringLiteral("11"))}));
    QCOMPARE(Filas(c, QStringLiteral("Es_Cve_Estado, Oper_Baja, Oper_Ult_Modif")),
             (QStringList{QStringLiteral("1|BA|PRUEBAS|PRUEBAS"), QStringLiteral("10|BA|PRUEBAS|PRUEBAS"),
                          QStringLiteral("100|BA|PRUEBAS|PRUEBAS"), QStringLiteral("11|BA|PRUEBAS|PRUEBAS"),
                          QStringLiteral("2|AC||")}));

    // Reactivation stamps Fecha_Baja too: with the time of the reactivation.
    c.dobles.utilerias->reloj = reloj.addDays(1);
    c.db().BeginTrans();
    QVERIFY(Publico::CambiaEstado(QStringLiteral("10"), QStringLiteral("AC")));
    c.db().CommitTrans();
    const QVariant baja = pruebas::escalar(c.db(), QStringLiteral("SELECT Fecha_Baja FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '100'"));
    QCOMPARE(baja.toDateTime(), reloj.addDays(1));
    QCOMPARE(Filas(c, QStringLiteral("Es_Cve_Estado")),
             (QStringList{QStringLiteral("1|BA"), QStringLiteral("10|AC"), QStringLiteral("100|AC"),
                          QStringLiteral("11|BA"), QStringLiteral("2|AC")}));
}

// Every centre ends with the stamp its parent's level read; the top centre keeps its own.
void TstStore::cambiaEstadoConRelojQueAvanza()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    const QDateTime inicio(QDate(2026, 12, 5), QTime(10, 0, 0));
    RelojQueAvanza reloj(inicio);
    kt508::IUtilerias* utilerias = Publico::Utilerias;
    Publico::Utilerias = &reloj;
    c.db().BeginTrans();
    const bool hecho = Publico::CambiaEstado(QStringLiteral("1"), QStringLiteral("BA"));
    c.db().CommitTrans();
    Publico::Utilerias = utilerias;
    QVERIFY(hecho);

    // Readings: 1 at 10:00, 10 at 10:01, 100 at 10:02, 11 at 10:03.
    const auto fecha = [&](const char* clave, const char* columna) {
        return pruebas::escalar(c.db(), QStringLiteral("SELECT %1 FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%2'")
                                            .arg(QLatin1String(columna), QLatin1String(clave)))
            .toDateTime();
    };
    for (const char* columna : {"Fecha_Baja", "Fecha_Ult_Modif"}) {
        QCOMPARE(fecha("1", columna), inicio);
        QCOMPARE(fecha("10", columna), inicio);
        QCOMPARE(fecha("100", columna), inicio.addSecs(60));
        QCOMPARE(fecha("11", columna), inicio);
    }
    QVERIFY(fecha("2", "Fecha_Baja").isNull());
}

void TstStore::falloAMitadSeDeshace()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    const QStringList antes = Filas(c, QStringLiteral("CC_Acumula, Es_Cve_Estado, Oper_Baja"));

    c.db().failContaining(QStringLiteral("WHERE Cc_Cve_Centro_Costo = '100'"));
    c.db().BeginTrans();
    QVERIFY_EXCEPTION_THROWN(Publico::CambiaEstado(QStringLiteral("1"), QStringLiteral("BA")), kt508::Error);
    c.db().RollbackTrans();
    QCOMPARE(Filas(c, QStringLiteral("CC_Acumula, Es_Cve_Estado, Oper_Baja")), antes);

    c.db().failContaining(QStringLiteral("DELETE FROM Centro_Costo WHERE Cc_Cve_Centro_Costo = '11'"));
    c.db().BeginTrans();
    QVERIFY_EXCEPTION_THROWN(Publico::BorraCentro(QStringLiteral("1")), kt508::Error);
    c.db().RollbackTrans();
    QCOMPARE(Filas(c, QStringLiteral("CC_Acumula, Es_Cve_Estado, Oper_Baja")), antes);
}

void TstStore::lectores()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    c.db().Execute(QStringLiteral("UPDATE Centro_Costo SET CC_Cuenta_Contable = '5100-001' WHERE CC_Cve_Centro_Costo = '10'"));

    const QVariant ausente = Publico::CuentaDeCentro(QStringLiteral("999"));
    QVERIFY(!ausente.isNull());
    QCOMPARE(ausente.toString(), QString());
    QVERIFY(Publico::CuentaDeCentro(QStringLiteral("1")).isNull());
    QCOMPARE(Publico::CuentaDeCentro(QStringLiteral("10")).toString(), QStringLiteral("5100-001"));
    QCOMPARE(Publico::PadreDeCentro(QStringLiteral("1")).toString(), QStringLiteral("0"));
    QCOMPARE(Publico::PadreDeCentro(QStringLiteral("100")).toString(), QStringLiteral("10"));
    QVERIFY(!Publico::PadreDeCentro(QStringLiteral("999")).isNull());

    c.db().setRecording(true);
    Publico::CuentaDeCentro(QStringLiteral("O'Neil"));
    Publico::PadreDeCentro(QStringLiteral("1"));
    QCOMPARE(c.db().recorded(),
             (QStringList{QStringLiteral("SELECT CC_Cuenta_Contable FROM Centro_Costo WHERE CC_Cve_Centro_Costo = 'O''Neil'"),
                          QStringLiteral("SELECT CC_Acumula FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '1'")}));
}

// Begun on construction; only Confirma keeps the work. Leaving the scope by an error, or
// rolling back first, leaves the database exactly as it was, and the connection usable.
void TstStore::guardaTransaccion()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c);
    const QString antes = pruebas::volcado(c.db());
    const QString borra = QStringLiteral("DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '2'");

    {
        Publico::GuardaTransaccion guarda;
        QVERIFY(c.db().inTransaction());
        Publico::Ejecuta(borra);
    }
    QVERIFY(!c.db().inTransaction());
    QCOMPARE(pruebas::volcado(c.db()), antes);

    c.db().failContaining(QStringLiteral("CC_Cve_Centro_Costo = '11'"));
    try {
        Publico::GuardaTransaccion guarda;
        Publico::Ejecuta(borra);
        Publico::Ejecuta(QStringLiteral("DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '11'"));
        guarda.Confirma();
        QFAIL("la sentencia no falló");
    } catch (const kt508::Error&) {
    }
    QVERIFY(!c.db().inTransaction());
    QCOMPARE(pruebas::volcado(c.db()), antes);

    {
        Publico::GuardaTransaccion guarda;
        Publico::Ejecuta(borra);
        guarda.Deshace();
        QVERIFY(!guarda.Abierta());
        guarda.Confirma(); // nothing left to confirm
    }
    QCOMPARE(pruebas::volcado(c.db()), antes);

    {
        Publico::GuardaTransaccion guarda;
        Publico::Ejecuta(borra);
        guarda.Confirma();
        QVERIFY(!guarda.Abierta());
    }
    QVERIFY(!c.db().inTransaction());
    QCOMPARE(Filas(c, QStringLiteral("CC_Acumula")).size(), 4);
}

QTEST_MAIN(TstStore)
#include "tst_store.moc"
