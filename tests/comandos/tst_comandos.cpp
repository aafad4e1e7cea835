// The toolbar commands that change or print the store (deactivate, reactivate, delete, change
// of account, the listing), driven through the toolbar and the message boxes as a user drives them.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/controls/BarraControles.h"
#include "suite/print/ImpresorTexto.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHash>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;

namespace {

const QDateTime Reloj(QDate(2026, 12, 5), QTime(10, 30, 0));
const QString NoValido = u"El centro de costos no es valido para esta operación"_s;
const QString Raiz = u"No se puede eliminar el centro de costo raiz"_s;
const QString Seguro = u"ERR-ID:7500011|292|Eliminar|¿Realmente desea eliminar el centro de costo?"_s;

// P under the root holds the branch 1 (10 with 100, and 11); 2 beside P.
void Rama(Componente& c, const QString& estado)
{
    c.Inserta({"P|0|Centro P|1|" + estado, "1|P|Centro 1|1|" + estado, "10|1|Centro 10|1|" + estado,
               "100|10|Centro 100|0|" + estado, "11|1|Centro 11|0|" + estado, u"2|0|Dos|0|AC"_s});
}

// The centres the condition picks, "key|column|..." in key order; a time stamp of the test's day
// as its hour and minute.
QStringList Filas(Componente& c, const QString& columnas, const QString& condicion = u"1 = 1"_s)
{
    return c
        .Filas(u"SELECT CC_Cve_Centro_Costo, %1 FROM Centro_Costo WHERE %2 ORDER BY CC_Cve_Centro_Costo"_s.arg(
            columnas, condicion))
        .replaceInStrings(u"2026-12-05 "_s, QString());
}

// What the user was told ("aviso" for the id of a plain box); questions only when asked for. None
// may wait with a transaction open.
QStringList Avisos(const Componente& c, bool preguntas = false)
{
    QStringList dichos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->llamadas) {
        if (preguntas || m.estilo != kt508::vbPregunta)
            dichos << (m.conTransaccion ? u"con la transacción abierta: "_s : QString())
                    + u"%1|%2|%3|%4"_s.arg(m.aviso ? u"aviso"_s : m.errId).arg(m.estilo).arg(m.titulo, m.texto);
    }
    return dichos;
}

// The suite's toolbar, telling each end of a command.
class BarraQueAnota : public orbanel::BarraControles {
public:
    using orbanel::BarraControles::BarraControles;
    void EndCommand() override
    {
        if (alTerminar)
            alTerminar();
        BarraControles::EndCommand();
    }
    static inline std::function<void()> alTerminar;
};

QString Flags(frmKT508& frm)
{
    QString flags;
    for (int n = 1; n <= 6; ++n)
        flags += frm.Controles->enabledFlag(n) ? '1' : '0';
    return flags + '|' + frm.Controles->b1caption();
}

// The lines a PDF of the suite's printer draws, read through its fonts' maps to Unicode
// (the blank glyph stands for blank and tab alike: it reads as a blank).
QStringList LineasDelPdf(const QString& ruta)
{
    QFile archivo(ruta);
    const QByteArray pdf = archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
    QString flujos;
    for (qsizetype inicio = pdf.indexOf("stream\n"); inicio >= 0; inicio = pdf.indexOf("stream\n", inicio + 1)) {
        const QByteArray datos = pdf.mid(inicio + 7, pdf.indexOf("endstream", inicio) - inicio - 7);
        const QByteArray abierto = qUncompress(QByteArray::fromHex("00010000") + datos); // size is only a hint
        flujos += QString::fromLatin1(abierto.isEmpty() ? datos : abierto);
    }
    static const QRegularExpression rango(u"<([0-9A-F]{4})> <[0-9A-F]{4}> \\[([^\\]]*)\\]"_s),
        glifo(u"<([0-9A-F]{4})>"_s), bloque(u"BT(.*?)ET"_s, QRegularExpression::DotMatchesEverythingOption),
        tj(u"<([0-9A-F]{4})> Tj"_s);
    QHash<uint, QChar> unicode;
    for (auto r = rango.globalMatch(flujos); r.hasNext();) {
        const QRegularExpressionMatch m = r.next();
        uint codigo = m.captured(1).toUInt(nullptr, 16);
        for (auto u = glifo.globalMatch(m.captured(2)); u.hasNext();)
            unicode[codigo++] = QChar(u.next().captured(1).toUShort(nullptr, 16));
    }
    QStringList lineas;
    for (auto b = bloque.globalMatch(flujos); b.hasNext();) {
        QString linea;
        for (auto g = tj.globalMatch(b.next().captured(1)); g.hasNext();)
            linea += unicode.value(g.next().captured(1).toUInt(nullptr, 16));
        lineas << linea.replace('\t', ' ');
    }
    return lineas;
}

} // namespace

class TstComandos : public QObject {
    Q_OBJECT

private slots:
    void fallaCadaSentencia_data();
    void fallaCadaSentencia();
    void arbolYBarra_data() { pruebas::agregaBackends(); }
    void arbolYBarra();
    void clavesComoGuardadas_data() { pruebas::agregaBackends(); }
    void clavesComoGuardadas();
    void otroUsuario_data();
    void otroUsuario();
    void situaciones_data();
    void situaciones();
    void listado_data();
    void listado();
    void vistaPreviaYPdf();
};

// Each command once per statement it sends, that statement failing: every table stays as it
// was and the user is told. The run where nothing failed before the commit writes the centres
// as given: a branch with its state and audit columns, a parent left without children as a
// detail centre with its audit columns, an account with its audit columns.
void TstComandos::fallaCadaSentencia_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("boton");
    QTest::addColumn<QStringList>("ids"); // id|style|title of the messages that may tell the failure
    QTest::addColumn<QString>("ajeno");   // id|style|title of a failure not the store's own
    QTest::addColumn<QStringList>(
        "centros"); // key|type|state|account|Oper_Baja|Fecha_Baja|Oper_Ult_Modif|Fecha_Ult_Modif
    const QString baja = u"|16|Controles_Eliminar()"_s, alta = u"|16|Controles_Reactivar()"_s;
    const QString sello = u"PRUEBAS|10:30|PRUEBAS|10:30"_s, dos = u"2|0|AC|-|-|-|-|-"_s;
    auto rama = [&](const QString& resto, const QString& estadoDeP) { // the branch under 1 as given, then 2 and P
        return QStringList{
            "1|1|" + resto, "10|1|" + resto, "100|0|" + resto, "11|0|" + resto, dos, "P|1|" + estadoDeP + "|-|-|-|-|-"};
    };
    for (const QString& b : pruebas::backends(pruebas::ConOdbc::Si)) {
        QTest::addRow("%s baja", qPrintable(b))
            << b << u"btnEliminar"_s << QStringList{"ERR-ID:7500024" + baja, "ERR-ID:7500023" + baja}
            << "ERR-ID:7500024" + baja << rama("BA|-|" + sello, u"AC"_s);
        QTest::addRow("%s reactivación", qPrintable(b))
            << b << u"btnReactivar"_s << QStringList{"ERR-ID:7500031" + alta, "ERR-ID:7500030" + alta}
            << "ERR-ID:7500031" + alta << rama("AC|-|" + sello, u"BA"_s);
        QTest::addRow("%s eliminar", qPrintable(b))
            << b << u"btnB1"_s << QStringList{"ERR-ID:7500015" + baja} << u"ERR-ID:7500015|16|Controles_B1Click()"_s
            << QStringList{dos, u"P|0|AC|-|-|-|PRUEBAS|10:30"_s};
        QStringList cuenta = rama(u"AC|-|-|-|-|-"_s, u"AC"_s);
        cuenta[0] = u"1|1|AC|5100-NUEVA|-|-|PRUEBAS|10:30"_s;
        QTest::addRow("%s cuenta", qPrintable(b))
            << b << u"btnB3"_s << QStringList{u"ERR-ID:7500017|16|Controles_B3Click()"_s}
            << u"ERR-ID:7500017|16|Controles_B3Click()"_s << cuenta;
    }
}

void TstComandos::fallaCadaSentencia()
{
    QFETCH(QString, backend);
    QFETCH(QString, boton);
    QFETCH(QStringList, ids);
    QFETCH(QString, ajeno);
    QFETCH(QStringList, centros);
    Componente c(backend, Contenido::Vacio);
    Rama(c, boton == "btnReactivar"_L1 ? u"BA"_s : u"AC"_s);
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    const QString antes = pruebas::volcado(c.db());
    // A failure that is not the store's own still reaches the user under the command's error path,
    // never under its refusal, and nothing is left written.
    struct DatosSinMemoria : pruebas::DatosDePrueba {
        using DatosDePrueba::DatosDePrueba;
        kt508::Connection& Conexion() override { throw std::bad_alloc(); }
    } sinMemoria(c.dobles.datos);
    pruebas::Clic(frm, u"1"_s);
    c.dobles.datos->respuestas = {kt508::vbYes, kt508::vbYes};
    kt508::IDatos* const datos = std::exchange(c.servicios.Datos, &sinMemoria);
    pruebas::Lanza(frm, boton);
    c.servicios.Datos = datos;
    const QStringList sinMemoriaDichos = Avisos(c);
    QVERIFY2(sinMemoriaDichos.size() == 1 && sinMemoriaDichos[0].section(u'|', 0, 2) == ajeno,
             qPrintable(sinMemoriaDichos.join(u'\n')));
    QCOMPARE(pruebas::volcado(c.db()), antes);
    QVERIFY(!c.db().inTransaction());
    int enviadas = 0, objetivo = 0; // 0 while the test itself reads
    c.db().failWhen([&](const QString&) { return objetivo > 0 && ++enviadas == objetivo; });
    int falla = 1;
    for (;; ++falla) {
        pruebas::Clic(frm, u"1"_s);
        c.dobles.datos->llamadas.clear();
        c.dobles.datos->respuestas = {kt508::vbYes, kt508::vbYes};
        c.dobles.entrada->respuestas = {u"5100-NUEVA"_s};
        enviadas = 0;
        objetivo = falla;
        pruebas::Lanza(frm, boton);
        objetivo = 0;
        const QStringList dichos = Avisos(c);
        // Past the commit only the tree's reload is left, and it reports its own failures.
        if (enviadas < falla || dichos.value(0).startsWith("ERR-ID:7500033"_L1))
            break;
        QVERIFY2(pruebas::volcado(c.db()) == antes, qPrintable(u"sentencia %1"_s.arg(falla)));
        QVERIFY2(dichos.size() == 1 && ids.contains(dichos[0].section('|', 0, 2)), qPrintable(dichos.join(';')));
    }
    QVERIFY(falla > 2);
    QCOMPARE(
        Filas(c,
              u"CC_Tipo, Es_Cve_Estado, CC_Cuenta_Contable, Oper_Baja, Fecha_Baja, Oper_Ult_Modif, Fecha_Ult_Modif"_s),
        centros);
}

// A deactivated branch shows it from a rebuilt tree, and a new click offers only Reactivar; a
// leaf turns its own icon. A deletion that leaves a sibling keeps the parent as it is, the scan
// counts the deleted centre's own key in each referring table, a branch with a centre in use
// below it is refused by the database and kept whole, and deleting the last first-level centre
// sends the update for the root, which changes no row.
void TstComandos::arbolYBarra()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c, u"AC"_s);
    c.db().Execute(
        u"INSERT INTO Poliza_Detalle (Pd_Id, Pd_Poliza, Pd_Renglon, Cc_Cve_Centro_costo) VALUES (1, 'D-1', 1, '100')"_s);
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    c.db().setRecording(true);
    // The images of 1, 10, 100, 11 and 2 after the command.
    auto lanza = [&](const QString& clave, const QString& boton, const QList<int>& respuestas = {6, 6}) {
        pruebas::Clic(frm, clave);
        c.dobles.datos->respuestas = respuestas;
        c.db().clearRecorded();
        pruebas::Lanza(frm, boton);
        QString imagenes;
        for (const char* cual : {"1", "10", "100", "11", "2"}) {
            kt508::Node* nodo = frm.tvCeCos->Nodes(u"N"_s + QLatin1String(cual));
            imagenes += nodo ? QString::number(nodo->Image()) : u"-"_s;
        }
        return imagenes;
    };
    QCOMPARE(lanza(u"1"_s, u"btnEliminar"_s), u"33331"_s);
    kt508::Node* centro = frm.tvCeCos->SelectedItem(); // the rebuilt tree keeps the centre in view
    QVERIFY(centro && centro->Key() == "N1"_L1 && centro->Parent()->Expanded());
    QCOMPARE(Flags(frm), u"000000|"_s);
    pruebas::Clic(frm, u"1"_s);
    QCOMPARE(Flags(frm), u"001000|"_s);
    const pruebas::LlamadaValidaCambio validada = c.dobles.utilerias->validaciones.value(0);
    QCOMPARE(QStringList({validada.tabla, validada.clave, validada.extra}),
             (QStringList{u"CENTRO_COSTO"_s, u"1"_s, u""_s}));
    QCOMPARE(lanza(u"1"_s, u"btnReactivar"_s), u"11111"_s);
    QCOMPARE(Flags(frm), u"000000|"_s);
    QCOMPARE(lanza(u"2"_s, u"btnEliminar"_s), u"11113"_s);
    QCOMPARE(Flags(frm), u"000000|"_s); // a leaf too: nothing to delete until a node is clicked again
    QVERIFY(!c.db().recorded().join('\n').contains("ORDER BY CC_Acumula, Cc_Cve_Centro_Costo"_L1));
    QCOMPARE(lanza(u"2"_s, u"btnReactivar"_s), u"11111"_s);
    c.dobles.entrada->respuestas = {u"51'00 "_s}; // the account's statement, blanks and all
    lanza(u"1"_s, u"btnB3"_s, {});
    QVERIFY(c.db().recorded().contains(u"UPDATE Centro_Costo SET    CC_Cuenta_Contable = '51''00 ',    "
                                       "Oper_Ult_Modif = 'PRUEBAS',    Fecha_Ult_Modif = '2026-12-05 10:30:00' "
                                       "WHERE CC_Cve_Centro_Costo = '1'"_s));

    lanza(u"11"_s, u"btnB1"_s, {6});
    QCOMPARE(Filas(c, u"CC_Tipo"_s, u"CC_Cve_Centro_Costo IN ('1', '11')"_s), QStringList{u"1|1"_s});
    lanza(u"P"_s, u"btnB1"_s); // 100 in its branch is in use: the database refuses the deletion
    QVERIFY(c.db().recorded().contains(
        u"SELECT sysobjects.NAME AS TABLA FROM sysobjects    INNER JOIN syscolumns ON "
        "sysobjects.id = syscolumns.id WHERE  syscolumns.Name = 'Cc_Cve_Centro_costo' AND  "
        "sysobjects.type = 'U' AND sysobjects.Name <> 'Centro_Costo'  ORDER BY TABLA ASC"_s));
    // A server may give the table's name in lower case.
    const QString cuenta = u"SELECT COUNT(Cc_Cve_Centro_Costo) AS Total FROM %1 WHERE Cc_Cve_Centro_Costo = 'P' "_s;
    QCOMPARE(c.db().recorded().filter(u" AS Total FROM "_s).join('\n').toLower(),
             (cuenta.arg(u"Poliza_Detalle"_s) + '\n' + cuenta.arg(u"Presupuesto_Centro"_s)).toLower());
    const QStringList rehusado = Avisos(c);
    QVERIFY2(rehusado.size() == 1 && rehusado[0].startsWith(u"ERR-ID:7500015|16|Controles_Eliminar()|"_s),
             qPrintable(rehusado.join('\n')));
    QCOMPARE(Filas(c, u"CC_Acumula"_s, u"CC_Cve_Centro_Costo IN ('P', '100')"_s), (QStringList{u"100|10"_s, u"P|0"_s}));
    c.dobles.datos->llamadas.clear();
    c.db().Execute(u"DELETE FROM Poliza_Detalle"_s);
    lanza(u"P"_s, u"btnB1"_s);
    lanza(u"2"_s, u"btnB1"_s, {6});
    QVERIFY(c.db().recorded().contains(u"UPDATE Centro_Costo SET Cc_Tipo = 0,   Oper_Ult_Modif = 'PRUEBAS',   "
                                       "Fecha_Ult_Modif = '2026-12-05 10:30:00'WHERE CC_Cve_Centro_Costo = '0'"_s));
    QCOMPARE(Filas(c, u"CC_Tipo"_s), QStringList());
    QCOMPARE(frm.tvCeCos->Count(), 1);
    QCOMPARE(Avisos(c), QStringList());
}

// Keys are taken as stored: a row under the root's own key is left out of the tree, which goes on
// with the rest, and a child of "X " finds its parent when its branch is deactivated.
void TstComandos::clavesComoGuardadas()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    c.Inserta({u"0|0|Raíz guardada|1|AC"_s, u"X |0|Equis|1|AC"_s, u"H|X |Hache|0|AC"_s, u"X|0|Otra|0|AC"_s});
    frmKT508& frm = c.Carga();
    QCOMPARE(Avisos(c), QStringList());
    QCOMPARE(frm.tvCeCos->Count(), 4);
    pruebas::Clic(frm, u"H"_s);
    pruebas::Lanza(frm, u"btnEliminar"_s);
    QCOMPARE(Avisos(c), QStringList());
    QCOMPARE(Filas(c, u"Es_Cve_Estado"_s, u"CC_Acumula <> '0'"_s), QStringList{u"H|BA"_s});
}

void TstComandos::otroUsuario_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("comando"); // "cuenta": the box; "nombre": the rename in place; "bloqueo"
    QTest::addColumn<QString>("cambio");  // what another user stores meanwhile
    QTest::addColumn<QString>("dicho");
    QTest::addColumn<QStringList>("centro"); // 11 after the command
    const QString luis = u"UPDATE Centro_Costo SET CC_Cuenta_Contable = '5200', CC_Descripcion = 'De Luis', "
                         "Oper_Ult_Modif = 'LUIS', Fecha_Ult_Modif = '2026-12-06 10:42:00' "
                         "WHERE CC_Cve_Centro_Costo = '11'"_s;
    const QString borra = u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '11'"_s;
    const QString modificado = u"El centro 11 fue modificado por LUIS el 06/12/2026 10:42 después de abrirlo. "
                               "Cierre y vuelva a abrir para ver sus cambios."_s;
    const QString eliminado = u"El centro 11 fue eliminado por otro usuario después de abrirlo. Cierre y vuelva a "
                              "abrir para ver el catálogo como está."_s;
    const QString cuenta = u"ERR-ID:7500017|16|Controles_B3Click()|"_s;
    const QString nombre = u"ERR-ID:7500034|16|tvCeCos_AfterLabelEdit()|"_s;
    const QStringList deLuis{u"11|5200|De Luis|LUIS"_s};
    for (const QString& b : pruebas::backends()) {
        QTest::addRow("%s cuenta modificada", qPrintable(b))
            << b << u"cuenta"_s << luis << cuenta + modificado << deLuis;
        QTest::addRow("%s cuenta eliminada", qPrintable(b))
            << b << u"cuenta"_s << borra << cuenta + eliminado << QStringList();
        QTest::addRow("%s nombre modificado", qPrintable(b))
            << b << u"nombre"_s << luis << nombre + modificado << deLuis;
        QTest::addRow("%s nombre eliminado", qPrintable(b))
            << b << u"nombre"_s << borra << nombre + eliminado << QStringList();
    }
    if (pruebas::backends().contains(u"postgresql"_s))
        QTest::newRow("postgresql cuenta bloqueada")
            << u"postgresql"_s << u"bloqueo"_s
            << u"UPDATE Centro_Costo SET CC_Descripcion = 'Ocupado' WHERE CC_Cve_Centro_Costo = '11'"_s
            << cuenta + u"Otro usuario está modificando estos datos; intente de nuevo.\n"_s
            << QStringList{u"11|-|Centro 11|-"_s};
}

// Another user's change, made while the account's box is up or the node's text is being edited, is
// kept: the command writes nothing, and says who changed the centre and when, or that it is gone.
// On the server a statement waits at most 5 seconds for another user's lock, under the wait cursor;
// then the command rolls back and says why before the database's own text.
void TstComandos::otroUsuario()
{
    QFETCH(QString, backend);
    QFETCH(QString, comando);
    QFETCH(QString, cambio);
    QFETCH(QString, dicho);
    QFETCH(QStringList, centro);
    Componente c(backend, Contenido::Vacio);
    Rama(c, u"AC"_s);
    frmKT508& frm = c.Carga();
    pruebas::Clic(frm, u"11"_s);
    std::unique_ptr<orbanel::ado::AdoConnection> otro;
    QVERIFY_SQL(otro = orbanel::ado::AdoConnection::Open(pruebas::urlDe(backend)));
    QList<bool> enTransaccion, esperas;
    c.dobles.datos->alMostrar = [&] { enTransaccion << c.db().inTransaction(); };
    int cancel = 0;
    QElapsedTimer reloj;
    if (comando == "bloqueo"_L1) {
        // Should nothing bound the wait, the server ends the other user's session instead.
        QVERIFY_SQL(otro->Execute(u"SET idle_in_transaction_session_timeout = '12s'"_s));
        QVERIFY_SQL(otro->BeginTrans());
        QVERIFY_SQL(otro->Execute(cambio));
        orbanel::ado::AdoConnection::setAvisoDeEspera([&](bool esperando) { esperas << esperando; });
        c.dobles.entrada->respuestas = {u"5100-MIA"_s};
        reloj.start();
        pruebas::Lanza(frm, u"btnB3"_s);
        orbanel::ado::AdoConnection::setAvisoDeEspera(nullptr);
        QVERIFY_SQL(otro->RollbackTrans());
    } else if (comando == "cuenta"_L1) {
        kt508::plataforma().InputBox = [&](const QString&, const QString&, const QString&) {
            otro->Execute(cambio); // a failure here reaches the command, and the test sees it
            return u"5100-MIA"_s;
        };
        pruebas::Lanza(frm, u"btnB3"_s);
    } else {
        QVERIFY_SQL(otro->Execute(cambio));
        QString texto = u"11 - Mio"_s;
        emit frm.tvCeCos->AfterLabelEdit(cancel, texto);
    }
    const QStringList dichos = Avisos(c);
    QVERIFY2(dichos.size() == 1 && (dichos[0] == dicho || (reloj.isValid() && dichos[0].startsWith(dicho))),
             qPrintable(dichos.join(u'\n')));
    QCOMPARE(enTransaccion, QList<bool>{false});
    QCOMPARE(cancel, comando == "nombre"_L1 ? 1 : 0);
    QCOMPARE(Filas(c, u"CC_Cuenta_Contable, CC_Descripcion, Oper_Ult_Modif"_s, u"CC_Cve_Centro_Costo = '11'"_s),
             centro);
    if (reloj.isValid()) {
        QCOMPARE(esperas, (QList<bool>{true, false}));
        QVERIFY2(reloj.elapsed() >= 4500 && reloj.elapsed() < 10000, qPrintable(QString::number(reloj.elapsed())));
    }
}

// Every refusal, No to either question, and every answer to the account's box: what the user
// is told and asked in order (the box with what another user of the database read while it was
// shown, and then freely changed), and the centre as stored after; for a refusal, not a row
// changed. An operator read after the server's time would show as "TARDE".
void TstComandos::situaciones_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("situacion"); // the button, the centre clicked and what happens then
    QTest::addColumn<QList<int>>("respuestas");
    QTest::addColumn<QString>("cuenta");     // the box's answer
    QTest::addColumn<QStringList>("dichos"); // id|style|title|text, or caja|prompt|title|initial|read
    QTest::addColumn<QString>("centro");     // key|description|account|Oper_Ult_Modif|Fecha_Ult_Modif
    auto fila = [](const char* caso, const QString& boton, const QString& situacion, const QStringList& dichos,
                   const QList<int>& respuestas = {6}, const QString& backend = u"sqlite"_s) {
        QTest::addRow("%s %s", qPrintable(backend), caso)
            << backend << boton + ' ' + situacion << respuestas << QString() << dichos << QString();
    };
    const QString baja = u"btnEliminar"_s, borra = u"btnB1"_s, alta = u"btnReactivar"_s, fin = u"EndCommand"_s;
    const QString falta = u"|El centro de costos 11 no existe o no tiene centro acumulador."_s;
    fila("baja sin centro", baja, u""_s, {"ERR-ID:7500020|48|Orbanel|" + NoValido, fin});
    fila("baja de la raíz", baja, u"1 raíz"_s, {"ERR-ID:7500021|48|Orbanel|" + Raiz});
    fila("baja tras F5 sin nodo", baja, u"1 F5"_s, {"ERR-ID:7500020|48|Orbanel|" + NoValido});
    fila("reactivación sin centro", alta, u""_s, {"ERR-ID:7500027|16|Orbanel|" + NoValido, fin});
    fila("reactivación en la raíz", alta, u"0"_s, {"ERR-ID:7500027|16|Orbanel|" + NoValido, fin});
    fila("reactivación de la raíz", alta, u"1 raíz"_s, {"ERR-ID:7500028|48|Orbanel|" + Raiz});
    fila("baja de un centro ya borrado", baja, u"11 borrado"_s, {"ERR-ID:7500023|16|Controles_Eliminar()" + falta});
    fila("cuenta de la raíz", u"btnB3"_s, u"0"_s, {"ERR-ID:7500016|16|Orbanel|" + NoValido});
    fila("eliminar sin centro", borra, u""_s, {"ERR-ID:7500010|48|Orbanel|" + NoValido});
    fila("eliminar tras quitar la selección", borra, u"11 Ctrl"_s, {"ERR-ID:7500010|48|Orbanel|" + NoValido});
    fila("eliminar: No", borra, u"11"_s, {Seguro}, {7});
    fila("eliminar la raíz tras la pregunta", borra, u"1 raíz"_s, {Seguro, "ERR-ID:7500012|48|Orbanel|" + Raiz});
    fila("eliminar: No a los hijos", borra, u"1"_s,
         {Seguro, u"ERR-ID:7500013|292|Eliminar|¿Desea eliminar el centro de costos y todos sus hijos?"_s}, {6, 7});
    const QString enUso = u"aviso|48|Orba Nel|Imposible eliminar el centro de costo,\r\n"
                          "esta siendo usando en el registro de la tabla: Poliza_Detalle"_s;
    for (const QString& b : pruebas::backends(pruebas::ConOdbc::Si))
        fila("eliminar un centro en uso", borra, u"11"_s, {Seguro, enUso}, {6}, b);

    const QString caja = u"caja|Indique la nueva cuenta contable:|Cambiar cuenta contable|%1|Centro 1"_s;
    const QString treinta = u"5100-"_s + u"🌵"_s.repeated(25); // an emoji is one character, as the databases count
    const QString largo =
        u"ERR-ID:7500017|16|Controles_B3Click()|La cuenta contable admite hasta 30 caracteres; la indicada tiene 31."_s;
    for (const QString& b : pruebas::backends()) {
        auto cuenta = [&](const char* caso, const QString& respuesta, const QString& centro,
                          const QStringList& error = {}) {
            QTest::addRow("%s cuenta: %s", qPrintable(b), caso)
                << b << u"btnB3 1"_s << QList<int>{} << respuesta << QStringList{caja.arg(u"5100-001"_s)} + error
                << u"1|Otro usuario|"_s + centro;
        };
        cuenta("la misma", u"5100-001"_s, u"5100-001|PRUEBAS|10:30"_s);
        cuenta("cancelar", u""_s, u"5100-001|-|-"_s);
        cuenta("comillas y blancos", u" D'Arcy \"x\"  "_s, u" D'Arcy \"x\"  |PRUEBAS|10:30"_s);
        cuenta("30 caracteres", treinta, treinta + u"|PRUEBAS|10:30"_s);
        cuenta("31 caracteres", treinta + '9', u"5100-001|-|-"_s, {largo});
        QTest::addRow("%s cuenta: nula", qPrintable(b))
            << b << u"btnB3 10"_s << QList<int>{} << u"9999-NADA"_s << QStringList{caja.arg(QString())}
            << u"10|Centro 10|9999-NADA|PRUEBAS|10:30"_s;
    }
}

void TstComandos::situaciones()
{
    QFETCH(QString, backend);
    QFETCH(QString, situacion);
    QFETCH(QList<int>, respuestas);
    QFETCH(QString, cuenta);
    QFETCH(QStringList, dichos);
    QFETCH(QString, centro);
    Componente c(backend, Contenido::Vacio);
    kt508::plataforma().NuevoControles = [](QWidget* padre) { return new BarraQueAnota(padre); };
    Rama(c, u"AC"_s);
    // 11 is used by a budget and a journal line: the journal's table comes first by name.
    c.db().Execute(
        u"INSERT INTO Presupuesto_Centro (Pc_Anio, Cc_Cve_Centro_costo, Pc_Importe) VALUES (2026, '11', 10)"_s);
    c.db().Execute(
        u"INSERT INTO Poliza_Detalle (Pd_Id, Pd_Poliza, Pd_Renglon, Cc_Cve_Centro_costo) VALUES (1, 'D-1', 1, '11')"_s);
    c.db().Execute(u"UPDATE Centro_Costo SET CC_Cuenta_Contable = '5100-001' WHERE CC_Cve_Centro_Costo = '1'"_s);
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    auto* arbol = frm.tvCeCos->findChild<QTreeWidget*>();
    const QString clave = situacion.section(' ', 1, 1);
    if (!clave.isEmpty())
        pruebas::Clic(frm, clave);
    if (situacion.endsWith(u"raíz"_s))
        frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(u"N0"_s));
    else if (situacion.endsWith("F5"_L1))
        QTest::keyClick(arbol, Qt::Key_F5);
    else if (situacion.endsWith("Ctrl"_L1)) { // a Ctrl+click on the selected node deselects it
        QTest::mouseClick(arbol->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          arbol->visualItemRect(arbol->currentItem()).center());
        QVERIFY(!frm.tvCeCos->SelectedItem() && frm.Controles->b1caption() == "Eliminar"_L1);
    } else if (situacion.endsWith("borrado"_L1)) { // another user deletes its lines, then the centre
        c.db().Execute(u"DELETE FROM Poliza_Detalle WHERE Cc_Cve_Centro_costo = '11'"_s);
        c.db().Execute(u"DELETE FROM Presupuesto_Centro WHERE Cc_Cve_Centro_costo = '11'"_s);
        c.db().Execute(u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '11'"_s);
    }
    const QString antes = pruebas::volcado(c.db()), mostrada = frm.txtCuenta->Text();
    c.dobles.datos->respuestas = respuestas;
    c.dobles.entrada->respuestas = {cuenta};
    QStringList vistos;
    // While the box is shown another user reads centre 1 (within the transaction), then renames it.
    kt508::plataforma().InputBox = [&, caja = kt508::plataforma().InputBox](const QString& p, const QString& t,
                                                                            const QString& inicial) {
        vistos << u"caja|%1|%2|%3|"_s.arg(p, t, inicial) + (c.db().inTransaction() ? u""_s : u"sin transacción "_s);
        try {
            auto otro = orbanel::ado::AdoConnection::Open(pruebas::urlDe(backend));
            if (otro->dialect() == orbanel::ado::Dialect::PostgreSQL)
                otro->Execute(u"SET lock_timeout = '2s'"_s);
            const QString uno = u" WHERE CC_Cve_Centro_Costo = '1'"_s;
            vistos.last() += pruebas::escalar(*otro, u"SELECT CC_Descripcion FROM Centro_Costo"_s + uno).toString();
            otro->Execute(u"UPDATE Centro_Costo SET CC_Descripcion = 'Otro usuario'"_s + uno);
        } catch (const kt508::Error& e) {
            vistos.last() += e.Description();
        }
        return caja(p, t, inicial);
    };
    // Reading the server's time changes the operator the session gives.
    struct RelojQueRelevaAlOperador : pruebas::UtileriasDePrueba {
        using UtileriasDePrueba::UtileriasDePrueba;
        std::shared_ptr<pruebas::GuionDatos> datos;
        QDateTime FechaServidor() override
        {
            datos->operador = u"TARDE"_s;
            return UtileriasDePrueba::FechaServidor();
        }
    } reloj(c.dobles.utilerias);
    reloj.datos = c.dobles.datos;
    kt508::IUtilerias* const utilerias = std::exchange(c.servicios.Utilerias, &reloj);
    // The toolbar ends a command it raised itself; an end of one raised without it is the handler's own.
    const bool porLaBarra = pruebas::Ofrecido(frm, situacion.section(' ', 0, 0));
    int finales = 0;
    BarraQueAnota::alTerminar = [&] { ++finales; };
    pruebas::Lanza(frm, situacion.section(' ', 0, 0));
    BarraQueAnota::alTerminar = nullptr;
    c.servicios.Utilerias = utilerias;

    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->llamadas)
        QVERIFY(m.aviso || (m.modulo == "KT508"_L1 && m.owner == &frm));
    // A server may give a table's name in lower case; every other capital counts.
    vistos += Avisos(c, true);
    if (!porLaBarra)
        vistos += QStringList(finales, u"EndCommand"_s);
    QCOMPARE(vistos.join('\n').replace(u"poliza_detalle"_s, u"Poliza_Detalle"_s, Qt::CaseInsensitive),
             dichos.join('\n'));
    if (centro.isEmpty())
        QCOMPARE(pruebas::volcado(c.db()), antes);
    else
        QCOMPARE(Filas(c, u"CC_Descripcion, CC_Cuenta_Contable, Oper_Ult_Modif, Fecha_Ult_Modif"_s,
                       u"CC_Cve_Centro_Costo = '%1'"_s.arg(clave)),
                 QStringList{centro});
    QVERIFY(!c.db().inTransaction());
    QCOMPARE(frm.txtCuenta->Text(), mostrada); // until the centre is selected again
}

// The listing, printed twice; a level whose query fails is told, and the rest keeps its indentation.
void TstComandos::listado_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QStringList>("centros"); // key|parent|description|type|state
    QTest::addColumn<QString>("falla");
    QTest::addColumn<QString>("texto");
    const QStringList ejemplo{u"1|0|A|1|AC"_s, u"10|1|B|0|AC"_s, u"11|1|C|0|AC"_s, u"2|0|D|0|AC"_s};
    for (const QString& b : pruebas::backends()) {
        QTest::addRow("%s vacío", qPrintable(b)) << b << QStringList{} << u""_s << u"\r\n"_s;
        QTest::addRow("%s ejemplo", qPrintable(b))
            << b << ejemplo << u""_s << u"1 - A\r\n\t10 - B\r\n\t11 - C\r\n\r\n2 - D\r\n\r\n"_s;
        QTest::addRow("%s baja, tres niveles, acumulador sin hijos", qPrintable(b))
            << b
            << QStringList{u"3|0|Baja|1|BA"_s, u"30|3|Hoja|1|AC"_s, u"300|30|Nieta|0|BA"_s, u"4|0|Sin hijos|1|AC"_s}
            << u""_s << u"3 - Baja\r\n\t30 - Hoja\r\n\t\t300 - Nieta\r\n\r\n\r\n4 - Sin hijos\r\n\r\n\r\n"_s;
        // A line break or a tab in a description prints as a blank: the lines and their indentation hold.
        QTest::addRow("%s cortes en la descripción", qPrintable(b))
            << b << QStringList{u"5|0|Dos\r\nlíneas|1|AC"_s, u"50|5|Una\nmás\tuna|0|AC"_s} << u""_s
            << u"5 - Dos  líneas\r\n\t50 - Una más una\r\n\r\n\r\n"_s;
        // A row keyed as the root prints, its children are not listed twice; keys of more than
        // one byte lead their lines and their own children.
        QTest::addRow("%s clave de la raíz y claves con acentos", qPrintable(b))
            << b
            << QStringList{u"0|0|Raíz guardada|1|AC"_s, u"1|0|A|1|AC"_s, u"Ñ1|1|Ñandú|1|AC"_s, u"Ñ10|Ñ1|Emú|0|AC"_s}
            << u""_s << u"0 - Raíz guardada\r\n\r\n1 - A\r\n\tÑ1 - Ñandú\r\n\t\tÑ10 - Emú\r\n\r\n\r\n\r\n"_s;
    }
    QTest::newRow("falla un nivel") << u"sqlite"_s
                                    << QStringList{u"1|0|A|1|AC"_s, u"10|1|B|0|AC"_s, u"2|0|D|1|AC"_s, u"20|2|E|0|AC"_s}
                                    << u"CC_Acumula = '1'"_s << u"1 - A\r\n2 - D\r\n\t20 - E\r\n\r\n\r\n"_s;
    QTest::newRow("falla la impresora") << u"sqlite"_s << ejemplo << u"impresora"_s
                                        << u"1 - A\r\n\t10 - B\r\n\t11 - C\r\n\r\n2 - D\r\n\r\n"_s;
}

void TstComandos::listado()
{
    QFETCH(QString, backend);
    QFETCH(QStringList, centros);
    QFETCH(QString, falla);
    QFETCH(QString, texto);
    Componente c(backend, Contenido::Vacio);
    c.Inserta(centros);
    frmKT508& frm = c.Carga();
    pruebas::Clic(frm, u"0"_s); // printing is offered on the root
    if (falla == "impresora"_L1)
        c.dobles.impresor->fallo = u"La impresora no responde."_s;
    else if (!falla.isEmpty())
        c.db().failWhen([falla](const QString& sentencia) { return sentencia.contains(falla); });
    pruebas::Lanza(frm, u"btnImprimir"_s);
    pruebas::Lanza(frm, u"btnImprimir"_s);
    // Each print hands the printer the listing with its eight arguments.
    QStringList impresos;
    for (const pruebas::LlamadaImprime& impresion : c.dobles.impresor->llamadas) {
        impresos << impresion.texto + u'|' + impresion.titulo + u'|';
        for (const int numero : impresion.numeros)
            impresos.last() += QString::number(numero) + u' ';
    }
    QCOMPARE(impresos, QStringList(2, texto + u"||0 0 -1 -1 7 -1 "_s));
    const QString fallo = falla == "impresora"_L1
        ? u"ERR-ID:7500025|16|Controles_Imprimir()|La impresora no responde."_s
        : u"ERR-ID:7500032|16|Imprimir_CeCo()|Fallo provocado por la prueba"_s;
    QCOMPARE(Avisos(c), falla.isEmpty() ? QStringList() : (QStringList{fallo, fallo}));
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->llamadas)
        QVERIFY(m.modulo == "KT508"_L1 && m.owner == &frm);
}

// The suite's printer: the listing in a print preview, saved from its toolbar as a PDF.
void TstComandos::vistaPreviaYPdf()
{
    Componente c(u"sqlite"_s, Contenido::Vacio);
    c.Inserta({u"1|0|A|1|AC"_s, u"10|1|B|0|AC"_s, u"2|0|D|0|AC"_s});
    kt508::plataforma().NuevoImpresorTexto = [] { return std::make_unique<orbanel::ImpresorTexto>(); };
    frmKT508& frm = c.Carga();
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(u"centros.pdf"_s);
    QString vista;
    pruebas::EnModal([&](QWidget* modal) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
        if (!preview)
            return;
        vista = preview->windowTitle();
        pruebas::EnModal([&](QWidget* dialogo) {
            if (!qobject_cast<QFileDialog*>(dialogo))
                return;
            pruebas::Tecla(dialogo, Qt::Key_A, Qt::ControlModifier);
            pruebas::Escribe(dialogo, ruta);
            pruebas::Tecla(dialogo, Qt::Key_Return);
        });
        auto* accion = preview->findChild<QAction*>(u"accionGuardarPdf"_s);
        QTest::mouseClick(preview->findChild<QToolBar*>()->widgetForAction(accion), Qt::LeftButton);
        pruebas::Tecla(preview, Qt::Key_Escape);
    });
    pruebas::Lanza(frm, u"btnImprimir"_s);
    QCOMPARE(vista, u"Vista previa"_s);
    // A tab stop every 7 columns: the child's line starts at the eighth.
    QCOMPARE(LineasDelPdf(ruta).mid(1, 3), (QStringList{u"1 - A"_s, u"       10 - B"_s, u"2 - D"_s}));
}

QTEST_MAIN(TstComandos)
#include "tst_comandos.moc"
