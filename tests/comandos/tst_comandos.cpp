// The toolbar commands that change or print the store (deactivate, reactivate, delete, change
// of account, the listing), driven through the toolbar and the message boxes as a user drives them.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"
#include "kt508/store/Publico.h"
#include "suite/ado/AdoConnection.h"
#include "suite/print/ImpresorTexto.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QAction>
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
const QString ConHijos = u"ERR-ID:7500013|292|Eliminar|¿Desea eliminar el centro de costos y todos sus hijos?"_s;

// P under the root holds the branch 1 (10 with 100, and 11); 2 beside P.
void Rama(Componente& c, const QString& estado)
{
    for (const QString& fila : {u"P|0|1"_s, u"1|P|1"_s, u"10|1|1"_s, u"100|10|0"_s, u"11|1|0"_s})
        c.Inserta(fila.section('|', 0, 0), fila.section('|', 1, 1), u"Centro "_s + fila.section('|', 0, 0),
                  fila.section('|', 2, 2).toInt(), estado);
    c.Inserta(u"2"_s, u"0"_s, u"Dos"_s, 0, u"AC"_s);
}

// A mouse click on the centre's node.
void Pulsa(frmKT508& frm, const QString& clave)
{
    kt508::Node* nodo = frm.tvCeCos->Nodes(u"N"_s + clave);
    QVERIFY2(nodo, qPrintable(clave));
    nodo->EnsureVisible();
    auto* arbol = frm.tvCeCos->findChild<QTreeWidget*>();
    const QList<QTreeWidgetItem*> items = arbol->findItems(nodo->Text(), Qt::MatchExactly | Qt::MatchRecursive);
    QTest::mouseClick(arbol->viewport(), Qt::LeftButton, {}, arbol->visualItemRect(items.value(0)).center());
    QCOMPARE(frm.txtClave->Text(), clave);
}

// Clicks the toolbar button; one not offered has its event raised as the toolbar would.
void Lanza(frmKT508& frm, const QString& boton)
{
    auto* b = frm.Controles->findChild<QToolButton*>(boton);
    if (b && b->isVisible() && b->isEnabled())
        return QTest::mouseClick(b, Qt::LeftButton);
    kt508::Controles& barra = *frm.Controles;
    emit(boton == "btnEliminar"_L1 ? barra.Eliminar() : boton == "btnReactivar"_L1 ? barra.Reactivar()
         : boton == "btnB1"_L1   ? barra.B1Click()
                                 : barra.B3Click());
}

QString Columna(Componente& c, const QString& columna, const QString& clave)
{
    const QVariant v = pruebas::escalar(c.db(), u"SELECT %1 FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%2'"_s.arg(columna, clave));
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    return v.isNull() ? u"<null>"_s : v.toString();
}

// What the user was told, questions left out.
QStringList Avisos(const Componente& c)
{
    QStringList dichos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->llamadas) {
        if (m.estilo != kt508::vbPregunta)
            dichos << u"%1|%2|%3|%4"_s.arg(m.errId).arg(m.estilo).arg(m.titulo, m.texto);
    }
    return dichos;
}

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
    if (!archivo.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pdf = archivo.readAll();
    QString flujos;
    for (qsizetype inicio = pdf.indexOf("stream\n"); inicio >= 0; inicio = pdf.indexOf("stream\n", inicio + 1)) {
        const QByteArray datos = pdf.mid(inicio + 7, pdf.indexOf("endstream", inicio) - inicio - 7);
        const QByteArray abierto = qUncompress(QByteArray::fromHex("00010000") + datos); // size is only a hint
        flujos += QString::fromLatin1(abierto.isEmpty() ? datos : abierto);
    }
    QHash<uint, QChar> unicode;
    static const QRegularExpression rango(u"<([0-9A-F]{4})> <[0-9A-F]{4}> \\[([^\\]]*)\\]"_s), glifo(u"<([0-9A-F]{4})>"_s);
    for (auto r = rango.globalMatch(flujos); r.hasNext();) {
        const QRegularExpressionMatch m = r.next();
        uint codigo = m.captured(1).toUInt(nullptr, 16);
        for (auto u = glifo.globalMatch(m.captured(2)); u.hasNext();)
            unicode[codigo++] = QChar(u.next().captured(1).toUShort(nullptr, 16));
    }
    QStringList lineas;
    static const QRegularExpression bloque(u"BT(.*?)ET"_s, QRegularExpression::DotMatchesEverythingOption),
        tj(u"<([0-9A-F]{4})> Tj"_s);
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
    void bajaYReactivacionDeRama_data() { pruebas::agregaBackends(); }
    void bajaYReactivacionDeRama();
    void rechazosNoEscriben_data();
    void rechazosNoEscriben();
    void eliminaYAjustaElPadre_data() { pruebas::agregaBackends(); }
    void eliminaYAjustaElPadre();
    void cambiaCuenta_data();
    void cambiaCuenta();
    void cuentaNoBloqueaAOtroUsuario_data() { pruebas::agregaBackends(); }
    void cuentaNoBloqueaAOtroUsuario();
    void listado_data();
    void listado();
    void vistaPreviaYPdf();
};

// Each command once per statement it sends, that statement failing: every table stays as it
// was and the user is told. The run where nothing failed before the commit must write.
void TstComandos::fallaCadaSentencia_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("boton");
    QTest::addColumn<QString>("estado");
    QTest::addColumn<QStringList>("ids"); // id|style|title of the messages that may tell the failure
    for (const QString& b : pruebas::backends(pruebas::ConOdbc::Si)) {
        const QString baja = u"|16|Controles_Eliminar()"_s, alta = u"|16|Controles_Reactivar()"_s;
        QTest::addRow("%s baja", qPrintable(b)) << b << u"btnEliminar"_s << u"AC"_s << QStringList{"ERR-ID:7500024" + baja, "ERR-ID:7500023" + baja};
        QTest::addRow("%s reactivación", qPrintable(b)) << b << u"btnReactivar"_s << u"BA"_s << QStringList{"ERR-ID:7500031" + alta, "ERR-ID:7500030" + alta};
        QTest::addRow("%s eliminar", qPrintable(b)) << b << u"btnB1"_s << u"AC"_s << QStringList{"ERR-ID:7500015" + baja};
        QTest::addRow("%s cuenta", qPrintable(b)) << b << u"btnB3"_s << u"AC"_s << QStringList{u"ERR-ID:7500017|16|Controles_B3Click()"_s};
    }
}

void TstComandos::fallaCadaSentencia()
{
    QFETCH(QString, backend);
    QFETCH(QString, boton);
    QFETCH(QString, estado);
    QFETCH(QStringList, ids);
    Componente c(backend, Contenido::Vacio);
    Rama(c, estado);
    frmKT508& frm = c.Carga();
    const QString antes = pruebas::volcado(c.db());
    int enviadas = 0, objetivo = 0; // 0 while the test itself reads
    c.db().failWhen([&](const QString&) { return objetivo > 0 && ++enviadas == objetivo; });
    int falla = 1;
    for (;; ++falla) {
        Pulsa(frm, u"1"_s);
        c.dobles.datos->llamadas.clear();
        c.dobles.datos->respuestas = {kt508::vbYes, kt508::vbYes};
        c.dobles.entrada->respuestas = {u"5100-NUEVA"_s};
        enviadas = 0;
        objetivo = falla;
        Lanza(frm, boton);
        objetivo = 0;
        const QStringList dichos = Avisos(c);
        // Past the commit only the tree's reload is left, and it reports its own failures.
        if (enviadas < falla || dichos.value(0).startsWith("ERR-ID:7500033"_L1))
            break;
        QVERIFY2(pruebas::volcado(c.db()) == antes, qPrintable(u"sentencia %1"_s.arg(falla)));
        QVERIFY2(dichos.size() == 1 && ids.contains(dichos[0].section('|', 0, 2)), qPrintable(dichos.join(';')));
    }
    QVERIFY(falla > 2);
    QVERIFY(pruebas::volcado(c.db()) != antes);
}

void TstComandos::bajaYReactivacionDeRama()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c, u"AC"_s);
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    auto rama = [&](const QString& estado, int imagen, const QString& hora) {
        for (const QString& clave : {u"1"_s, u"10"_s, u"100"_s, u"11"_s}) {
            QCOMPARE(Columna(c, u"Es_Cve_Estado"_s, clave), estado);
            QCOMPARE(Columna(c, u"Oper_Baja"_s, clave) + Columna(c, u"Fecha_Baja"_s, clave), u"PRUEBAS2026-12-05 "_s + hora);
            QCOMPARE(frm.tvCeCos->Nodes(u"N"_s + clave)->Image(), imagen); // the tree was rebuilt
        }
        QCOMPARE(Columna(c, u"Es_Cve_Estado"_s, u"P"_s) + Columna(c, u"Es_Cve_Estado"_s, u"2"_s), u"ACAC"_s);
    };
    Pulsa(frm, u"1"_s);
    Lanza(frm, u"btnEliminar"_s);
    rama(u"BA"_s, 3, u"10:30:00"_s);
    kt508::Node* centro = frm.tvCeCos->SelectedItem(); // the rebuilt tree keeps the centre in view
    QVERIFY(centro && centro->Key() == "N1"_L1 && centro->Parent()->Expanded());
    const pruebas::LlamadaValidaCambio validada = c.dobles.utilerias->validaciones.value(0);
    QCOMPARE(QStringList({validada.tabla, validada.clave, validada.extra}), (QStringList{u"CENTRO_COSTO"_s, u"1"_s, u""_s}));
    QCOMPARE(Flags(frm), u"000000|"_s);
    Pulsa(frm, u"1"_s);
    QCOMPARE(Flags(frm), u"001000|"_s);
    c.dobles.utilerias->reloj = Reloj.addSecs(60);
    Lanza(frm, u"btnReactivar"_s);
    rama(u"AC"_s, 1, u"10:31:00"_s);
    QCOMPARE(Flags(frm), u"000000|"_s);
    QCOMPARE(Avisos(c), QStringList());

    // A leaf turns its own icon; the tree is not rebuilt for it.
    Pulsa(frm, u"2"_s);
    kt508::Node* hoja = frm.tvCeCos->Nodes(u"N2"_s);
    c.db().setRecording(true);
    Lanza(frm, u"btnEliminar"_s);
    QCOMPARE(hoja->Image(), 3);
    QCOMPARE(Flags(frm), u"000000|"_s); // the delete button goes with the other flags
    QVERIFY(!c.db().recorded().join('\n').contains("ORDER BY CC_Acumula, Cc_Cve_Centro_Costo"_L1));
    Pulsa(frm, u"2"_s);
    Lanza(frm, u"btnReactivar"_s);
    QCOMPARE(hoja->Image(), 1);
    QCOMPARE(Columna(c, u"Es_Cve_Estado"_s, u"2"_s), u"AC"_s);
}

// Every refusal, and No to either question: the texts, styles, titles and identifiers in order,
// and not a row changed.
void TstComandos::rechazosNoEscriben_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("situacion");
    QTest::addColumn<QString>("boton");
    QTest::addColumn<QList<int>>("respuestas");
    QTest::addColumn<QStringList>("dichos"); // id|style|title|text; "aviso" for the id of a plain box
    const QString sqlite = u"sqlite"_s;
    const QString baja = u"btnEliminar"_s, alta = u"btnReactivar"_s, borra = u"btnB1"_s, cuenta = u"btnB3"_s;
    const QList<int> si{6};
    QTest::newRow("baja sin centro") << sqlite << u""_s << baja << si << QStringList{"ERR-ID:7500020|48|Orbanel|" + NoValido};
    QTest::newRow("baja de la raíz") << sqlite << u"1 y raíz"_s << baja << si << QStringList{"ERR-ID:7500021|48|Orbanel|" + Raiz};
    QTest::newRow("baja tras F5 sin nodo") << sqlite << u"1 y F5"_s << baja << si << QStringList{"ERR-ID:7500020|48|Orbanel|" + NoValido};
    QTest::newRow("baja de un centro ya borrado")
        << sqlite << u"11 borrado"_s << baja << si
        << QStringList{u"ERR-ID:7500023|16|Controles_Eliminar()|El centro de costos 11 no existe o no tiene centro acumulador."_s};
    QTest::newRow("reactivar sin centro") << sqlite << u""_s << alta << si << QStringList{"ERR-ID:7500027|16|Orbanel|" + NoValido};
    QTest::newRow("reactivar un centro ya borrado")
        << sqlite << u"11 borrado"_s << alta << si
        << QStringList{u"ERR-ID:7500030|16|Controles_Reactivar()|El centro de costos 11 no existe o no tiene centro acumulador."_s};
    QTest::newRow("reactivar la raíz") << sqlite << u"1 y raíz"_s << alta << si << QStringList{"ERR-ID:7500028|48|Orbanel|" + Raiz};
    QTest::newRow("cuenta de la raíz") << sqlite << u"0"_s << cuenta << si << QStringList{"ERR-ID:7500016|16|Orbanel|" + NoValido};
    QTest::newRow("eliminar sin centro") << sqlite << u""_s << borra << si << QStringList{"ERR-ID:7500010|48|Orbanel|" + NoValido};
    QTest::newRow("eliminar tras quitar la selección")
        << sqlite << u"11 Ctrl"_s << borra << si << QStringList{"ERR-ID:7500010|48|Orbanel|" + NoValido};
    QTest::newRow("eliminar: No") << sqlite << u"11"_s << borra << QList<int>{7} << QStringList{Seguro};
    QTest::newRow("eliminar la raíz tras la pregunta")
        << sqlite << u"1 y raíz"_s << borra << si << QStringList{Seguro, "ERR-ID:7500012|48|Orbanel|" + Raiz};
    QTest::newRow("eliminar: No a los hijos") << sqlite << u"1"_s << borra << QList<int>{6, 7}
                                              << QStringList{Seguro, ConHijos};
    for (const QString& b : pruebas::backends(pruebas::ConOdbc::Si))
        QTest::addRow("%s eliminar un centro en uso", qPrintable(b))
            << b << u"11"_s << borra << si
            << QStringList{Seguro, u"aviso|48|Orba Nel|Imposible eliminar el centro de costo,\r\n"
                                   "esta siendo usando en el registro de la tabla: Poliza_Detalle"_s};
}

void TstComandos::rechazosNoEscriben()
{
    QFETCH(QString, backend);
    QFETCH(QString, situacion);
    QFETCH(QString, boton);
    QFETCH(QList<int>, respuestas);
    QFETCH(QStringList, dichos);
    Componente c(backend, Contenido::Vacio);
    Rama(c, u"AC"_s);
    // 11 is used by a budget and a journal line: the journal's table comes first by name.
    c.db().Execute(u"INSERT INTO Presupuesto_Centro (Pc_Anio, Cc_Cve_Centro_costo, Pc_Importe) VALUES (2026, '11', 10)"_s);
    c.db().Execute(u"INSERT INTO Poliza_Detalle (Pd_Id, Pd_Poliza, Pd_Renglon, Cc_Cve_Centro_costo) VALUES (1, 'D-1', 1, '11')"_s);
    frmKT508& frm = c.Carga();
    if (!situacion.isEmpty())
        Pulsa(frm, situacion.section(' ', 0, 0));
    if (situacion.endsWith(u"raíz"_s))
        frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(u"N0"_s));
    else if (situacion.endsWith("F5"_L1))
        QTest::keyClick(frm.tvCeCos->findChild<QTreeWidget*>(), Qt::Key_F5);
    else if (situacion.endsWith("Ctrl"_L1)) { // a Ctrl+click on the selected node deselects it
        auto* arbol = frm.tvCeCos->findChild<QTreeWidget*>();
        const QPoint nodo = arbol->visualItemRect(arbol->currentItem()).center();
        QTest::mouseClick(arbol->viewport(), Qt::LeftButton, Qt::ControlModifier, nodo);
        QVERIFY(!frm.tvCeCos->SelectedItem() && frm.Controles->b1caption() == "Eliminar"_L1);
    } else if (situacion.endsWith("borrado"_L1))
        c.db().Execute(u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '11'"_s);
    const QString antes = pruebas::volcado(c.db());
    c.dobles.datos->respuestas = respuestas;
    Lanza(frm, boton);
    QStringList vistos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->llamadas) {
        vistos << u"%1|%2|%3|%4"_s.arg(m.aviso ? u"aviso"_s : m.errId).arg(m.estilo).arg(m.titulo, m.texto);
        QVERIFY(m.aviso || (m.modulo == "KT508"_L1 && m.owner == &frm));
    }
    // A server may give a table's name in lower case; every other capital counts.
    const QString visto = vistos.join('\n').replace(u"poliza_detalle"_s, u"Poliza_Detalle"_s, Qt::CaseInsensitive);
    QCOMPARE(visto, dichos.join('\n'));
    QCOMPARE(pruebas::volcado(c.db()), antes);
    QVERIFY(!c.db().inTransaction());
}

void TstComandos::eliminaYAjustaElPadre()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c, u"AC"_s);
    // Only 10's child is used elsewhere: the scan looks at 10's own key.
    c.db().Execute(u"INSERT INTO Poliza_Detalle (Pd_Id, Pd_Poliza, Pd_Renglon, Cc_Cve_Centro_costo) VALUES (1, 'D-1', 1, '100')"_s);
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    auto borra = [&](const QString& clave, QList<int> respuestas) {
        Pulsa(frm, clave);
        c.dobles.datos->respuestas = respuestas;
        c.db().clearRecorded();
        Lanza(frm, u"btnB1"_s);
    };
    auto padre = [&] { return QStringList{Columna(c, u"CC_Tipo"_s, u"1"_s), Columna(c, u"Oper_Ult_Modif"_s, u"1"_s), Columna(c, u"Fecha_Ult_Modif"_s, u"1"_s)}; };
    const QString actualiza = u"UPDATE Centro_Costo SET Cc_Tipo = 0,   Oper_Ult_Modif = 'PRUEBAS',   Fecha_Ult_Modif = '2026-12-05 10:30:00'WHERE CC_Cve_Centro_Costo = '%1'"_s;
    c.db().setRecording(true);

    borra(u"11"_s, {6}); // a sibling is left: the parent stays as it was
    QCOMPARE(Columna(c, u"CC_Tipo"_s, u"11"_s), u"<null>"_s);
    QCOMPARE(padre(), (QStringList{u"1"_s, u"<null>"_s, u"<null>"_s}));

    borra(u"10"_s, {6, 6}); // the last child, with its own child
    QCOMPARE(pruebas::escalar(c.db(), u"SELECT COUNT(*) FROM Centro_Costo WHERE CC_Cve_Centro_Costo IN ('10', '100')"_s).toInt(), 0);
    QCOMPARE(padre(), (QStringList{u"0"_s, u"PRUEBAS"_s, u"2026-12-05 10:30:00"_s}));
    const QStringList enviadas = c.db().recorded();
    QVERIFY(enviadas.contains(u"SELECT CC_Cve_Centro_Costo FROM Centro_Costo WHERE CC_Acumula = '10'"_s));
    QVERIFY(enviadas.contains(u"SELECT sysobjects.NAME AS TABLA FROM sysobjects    INNER JOIN syscolumns ON sysobjects.id = "
                              "syscolumns.id WHERE  syscolumns.Name = 'Cc_Cve_Centro_costo' AND  sysobjects.type = 'U' AND "
                              "sysobjects.Name <> 'Centro_Costo'  ORDER BY TABLA ASC"_s));
    QVERIFY(enviadas.contains(u"SELECT * FROM Centro_Costo WHERE Cc_Acumula = '1'"_s));
    QVERIFY(enviadas.contains(actualiza.arg(1)));
    // Each referring table, in name order, is counted for the centre's own key (a server may
    // give the table's name in lower case).
    QStringList cuentas = enviadas.filter(u" AS Total FROM "_s);
    for (QString& cuenta : cuentas)
        cuenta.replace(u"poliza_detalle"_s, u"Poliza_Detalle"_s, Qt::CaseInsensitive)
            .replace(u"presupuesto_centro"_s, u"Presupuesto_Centro"_s, Qt::CaseInsensitive);
    const QString cuenta = u"SELECT COUNT(Cc_Cve_Centro_Costo) AS Total FROM %1 WHERE Cc_Cve_Centro_Costo = '10' "_s;
    QCOMPARE(cuentas, (QStringList{cuenta.arg(u"Poliza_Detalle"_s), cuenta.arg(u"Presupuesto_Centro"_s)}));
    QVERIFY(!frm.tvCeCos->Nodes(u"N10"_s));
    QCOMPARE(frm.tvCeCos->Nodes(u"N1"_s)->Children(), 0);

    borra(u"P"_s, {6, 6});
    borra(u"2"_s, {6}); // the last first-level centre: the update for the root changes no row
    QVERIFY(c.db().recorded().contains(actualiza.arg(0)));
    QCOMPARE(pruebas::escalar(c.db(), u"SELECT COUNT(*) FROM Centro_Costo"_s).toInt(), 0);
    QCOMPARE(frm.tvCeCos->Count(), 1);
    QCOMPARE(Avisos(c), QStringList());
}

void TstComandos::cambiaCuenta_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QVariant>("actual");
    QTest::addColumn<QString>("respuesta");
    QTest::addColumn<QString>("guardada");
    QTest::addColumn<QString>("dicho");
    const QVariant cuenta(u"5100-001"_s), nula(QMetaType::fromType<QString>());
    const QString treinta = u"5100-"_s.leftJustified(30, '9');
    for (const QString& b : pruebas::backends()) {
        QTest::addRow("%s nueva", qPrintable(b)) << b << cuenta << u"5200-002"_s << u"5200-002"_s << u""_s;
        QTest::addRow("%s la misma", qPrintable(b)) << b << cuenta << u"5100-001"_s << u"5100-001"_s << u""_s;
        QTest::addRow("%s cancelar", qPrintable(b)) << b << cuenta << u""_s << u"5100-001"_s << u""_s;
        QTest::addRow("%s nula e inexistente", qPrintable(b)) << b << nula << u"9999-NADA"_s << u"9999-NADA"_s << u""_s;
        QTest::addRow("%s comillas y blancos", qPrintable(b)) << b << cuenta << u" D'Arcy \"x\"  "_s << u" D'Arcy \"x\"  "_s << u""_s;
        QTest::addRow("%s 30 caracteres", qPrintable(b)) << b << cuenta << treinta << treinta << u""_s;
        QTest::addRow("%s 31 caracteres", qPrintable(b))
            << b << cuenta << treinta + '9' << u"5100-001"_s
            << u"ERR-ID:7500017|16|Controles_B3Click()|La cuenta contable admite hasta 30 caracteres; la indicada tiene 31."_s;
    }
}

void TstComandos::cambiaCuenta()
{
    QFETCH(QString, backend);
    QFETCH(QVariant, actual);
    QFETCH(QString, respuesta);
    QFETCH(QString, guardada);
    QFETCH(QString, dicho);
    Componente c(backend, Contenido::Vacio);
    Rama(c, u"BA"_s);
    c.db().ExecuteParams(u"UPDATE Centro_Costo SET CC_Cuenta_Contable = ? WHERE CC_Cve_Centro_Costo = '1'"_s, {actual});
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    Pulsa(frm, u"1"_s);
    const QString mostrada = frm.txtCuenta->Text();
    c.dobles.entrada->respuestas = {respuesta};
    c.db().setRecording(true);
    // The audit stamp is read in the statement's order: the operator, then the server's time.
    QStringList lecturas;
    struct DatosQueAnota : pruebas::DatosDePrueba {
        using DatosDePrueba::DatosDePrueba;
        QStringList* lecturas = nullptr;
        QString Usuario() override
        {
            *lecturas << u"Usuario"_s;
            return DatosDePrueba::Usuario();
        }
    } datos(c.dobles.datos);
    struct UtileriasQueAnota : pruebas::UtileriasDePrueba {
        using UtileriasDePrueba::UtileriasDePrueba;
        QStringList* lecturas = nullptr;
        QDateTime FechaServidor() override
        {
            *lecturas << u"FechaServidor"_s;
            return UtileriasDePrueba::FechaServidor();
        }
    } utilerias(c.dobles.utilerias);
    datos.lecturas = utilerias.lecturas = &lecturas;
    kt508::IDatos* const datosDeLaPrueba = std::exchange(Publico::Datos, &datos);
    kt508::IUtilerias* const utileriasDeLaPrueba = std::exchange(Publico::Utilerias, &utilerias);
    Lanza(frm, u"btnB3"_s);
    Publico::Datos = datosDeLaPrueba;
    Publico::Utilerias = utileriasDeLaPrueba;
    const QStringList enviadas = c.db().recorded();

    QCOMPARE(c.dobles.entrada->preguntas.size(), 1);
    const pruebas::PreguntaEntrada pregunta = c.dobles.entrada->preguntas[0];
    QCOMPARE(pregunta.prompt + '|' + pregunta.titulo + '|' + pregunta.textoInicial,
             u"Indique la nueva cuenta contable:|Cambiar cuenta contable|"_s + actual.toString());
    QCOMPARE(Avisos(c), dicho.isEmpty() ? QStringList() : QStringList{dicho});
    QCOMPARE(Columna(c, u"CC_Cuenta_Contable"_s, u"1"_s), guardada);
    const bool escrita = !respuesta.isEmpty() && dicho.isEmpty();
    QCOMPARE(lecturas.join(','), escrita ? u"Usuario,FechaServidor"_s : QString());
    QCOMPARE(Columna(c, u"Oper_Ult_Modif"_s, u"1"_s), escrita ? u"PRUEBAS"_s : u"<null>"_s);
    if (escrita)
        QCOMPARE(enviadas.last(), u"UPDATE Centro_Costo SET    CC_Cuenta_Contable = '%1',    Oper_Ult_Modif = 'PRUEBAS',    "
                                  "Fecha_Ult_Modif = '2026-12-05 10:30:00' WHERE CC_Cve_Centro_Costo = '1'"_s
                                      .arg(QString(respuesta).replace(u"'"_s, u"''"_s)));
    QVERIFY(!c.db().inTransaction());
    QCOMPARE(frm.txtCuenta->Text(), mostrada); // until the centre is selected again
}

// While the box waits for the user, another user of the database reads and writes freely.
void TstComandos::cuentaNoBloqueaAOtroUsuario()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c, u"AC"_s);
    frmKT508& frm = c.Carga();
    QString visto, fallo = u"el cuadro no se mostró"_s;
    bool abierta = false;
    kt508::plataforma().InputBox = [&](const QString&, const QString&, const QString&) {
        abierta = c.db().inTransaction();
        fallo.clear();
        try {
            auto otro = orbanel::ado::AdoConnection::Open(pruebas::urlDe(backend));
            if (otro->dialect() == orbanel::ado::Dialect::PostgreSQL)
                otro->Execute(u"SET lock_timeout = '2s'"_s);
            visto = pruebas::escalar(*otro, u"SELECT CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '1'"_s).toString();
            otro->Execute(u"UPDATE Centro_Costo SET CC_Descripcion = 'Otro usuario' WHERE CC_Cve_Centro_Costo = '1'"_s);
        } catch (const kt508::Error& e) {
            fallo = e.Description();
        }
        return u"5100-NUEVA"_s;
    };
    Pulsa(frm, u"1"_s);
    Lanza(frm, u"btnB3"_s);
    QVERIFY(abierta);
    QCOMPARE(fallo, QString());
    QCOMPARE(visto, u"Centro 1"_s);
    QCOMPARE(Columna(c, u"CC_Descripcion"_s, u"1"_s) + Columna(c, u"CC_Cuenta_Contable"_s, u"1"_s), u"Otro usuario5100-NUEVA"_s);
    QCOMPARE(Avisos(c), QStringList());
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
        QTest::addRow("%s ejemplo", qPrintable(b)) << b << ejemplo << u""_s << u"1 - A\r\n\t10 - B\r\n\t11 - C\r\n\r\n2 - D\r\n\r\n"_s;
        QTest::addRow("%s baja, tres niveles, acumulador sin hijos", qPrintable(b))
            << b << QStringList{u"3|0|Baja|1|BA"_s, u"30|3|Hoja|1|AC"_s, u"300|30|Nieta|0|BA"_s, u"4|0|Sin hijos|1|AC"_s} << u""_s
            << u"3 - Baja\r\n\t30 - Hoja\r\n\t\t300 - Nieta\r\n\r\n\r\n4 - Sin hijos\r\n\r\n\r\n"_s;
    }
    QTest::newRow("falla un nivel") << u"sqlite"_s << QStringList{u"1|0|A|1|AC"_s, u"10|1|B|0|AC"_s, u"2|0|D|1|AC"_s, u"20|2|E|0|AC"_s}
                                    << u"CC_Acumula = '1'"_s << u"1 - A\r\n2 - D\r\n\t20 - E\r\n\r\n\r\n"_s;
}

void TstComandos::listado()
{
    QFETCH(QString, backend);
    QFETCH(QStringList, centros);
    QFETCH(QString, falla);
    QFETCH(QString, texto);
    Componente c(backend, Contenido::Vacio);
    for (const QString& v : centros)
        c.Inserta(v.section('|', 0, 0), v.section('|', 1, 1), v.section('|', 2, 2), v.section('|', 3, 3).toInt(), v.section('|', 4, 4));
    frmKT508& frm = c.Carga();
    Pulsa(frm, u"0"_s); // printing is offered on the root
    if (!falla.isEmpty())
        c.db().failWhen([falla](const QString& sentencia) { return sentencia.contains(falla); });
    Lanza(frm, u"btnImprimir"_s);
    Lanza(frm, u"btnImprimir"_s);
    QCOMPARE(c.dobles.impresor->llamadas.size(), 2);
    for (const pruebas::LlamadaImprime& impresion : c.dobles.impresor->llamadas) {
        QCOMPARE(impresion.texto, texto);
        QCOMPARE(impresion.titulo, QString());
        QCOMPARE(impresion.numeros, (QList<int>{0, 0, -1, -1, 7, -1}));
    }
    const QString fallo = u"ERR-ID:7500032|16|Imprimir_CeCo()|Fallo provocado por la prueba"_s;
    QCOMPARE(Avisos(c), falla.isEmpty() ? QStringList() : (QStringList{fallo, fallo}));
}

// The suite's printer: the listing in a print preview, saved from its toolbar as a PDF.
void TstComandos::vistaPreviaYPdf()
{
    Componente c(u"sqlite"_s, Contenido::Vacio);
    for (const QString& v : {u"1|0|A|1"_s, u"10|1|B|0"_s, u"2|0|D|0"_s})
        c.Inserta(v.section('|', 0, 0), v.section('|', 1, 1), v.section('|', 2, 2), v.section('|', 3, 3).toInt(), u"AC"_s);
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
    Lanza(frm, u"btnImprimir"_s);
    QCOMPARE(vista, u"Vista previa"_s);
    // A tab stop every 7 columns: the child's line starts at the eighth.
    const QStringList lineas = LineasDelPdf(ruta);
    QCOMPARE(lineas.mid(1, 3), (QStringList{u"1 - A"_s, u"       10 - B"_s, u"2 - D"_s}));
}

QTEST_MAIN(TstComandos)
#include "tst_comandos.moc"
