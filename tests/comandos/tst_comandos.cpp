// The catalogue's toolbar commands that change or print the store: deactivate, reactivate,
// delete, change of account and the printed listing, driven through the toolbar and the
// message boxes as a user drives them.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"
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

#include <memory>

using pruebas::Componente;
using pruebas::Contenido;

namespace {

const QDateTime Reloj(QDate(2026, 12, 5), QTime(10, 30, 0));

// P under the root with the branch 1 (10 with 100, and 11); 2 beside P.
void Rama(Componente& c, const QString& estado)
{
    c.Inserta(QStringLiteral("P"), QStringLiteral("0"), QStringLiteral("Padre"), 1, estado);
    c.Inserta(QStringLiteral("1"), QStringLiteral("P"), QStringLiteral("Uno"), 1, estado);
    c.Inserta(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("Diez"), 1, estado);
    c.Inserta(QStringLiteral("100"), QStringLiteral("10"), QStringLiteral("Cien"), 0, estado);
    c.Inserta(QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("Once"), 0, estado);
    c.Inserta(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("Dos"), 0, QStringLiteral("AC"));
}

// A click on the centre's node, as the mouse gives it.
void Pulsa(frmKT508& frm, const QString& clave)
{
    kt508::Node* nodo = frm.tvCeCos->Nodes(QLatin1Char('N') + clave);
    QVERIFY2(nodo, qPrintable(clave));
    nodo->EnsureVisible();
    auto* arbol = frm.tvCeCos->findChild<QTreeWidget*>();
    if (!arbol)
        arbol = qobject_cast<QTreeWidget*>(frm.tvCeCos);
    QVERIFY(arbol);
    const QList<QTreeWidgetItem*> items = arbol->findItems(nodo->Text(), Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(items.size(), 1);
    QTest::mouseClick(arbol->viewport(), Qt::LeftButton, {}, arbol->visualItemRect(items.first()).center());
    QCOMPARE(frm.txtClave->Text(), clave);
}

QToolButton* Boton(frmKT508& frm, const char* nombre)
{
    return frm.Controles->findChild<QToolButton*>(QLatin1String(nombre));
}

void Presiona(frmKT508& frm, const char* nombre)
{
    QToolButton* boton = Boton(frm, nombre);
    QVERIFY2(boton && boton->isVisible() && boton->isEnabled(), nombre);
    QTest::mouseClick(boton, Qt::LeftButton);
}

QString Columna(Componente& c, const QString& columna, const QString& clave)
{
    const QVariant v = pruebas::escalar(
        c.db(), QStringLiteral("SELECT %1 FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%2'").arg(columna, clave));
    return v.isNull() ? QStringLiteral("<null>") : v.toString();
}

// The messages other than the questions: what the user was told.
QStringList Avisos(const Componente& c)
{
    QStringList dichos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->llamadas) {
        if (m.estilo != kt508::vbPregunta)
            dichos << QStringLiteral("%1|%2|%3|%4").arg(m.errId).arg(m.estilo).arg(m.titulo, m.texto);
    }
    return dichos;
}

QString Flags(frmKT508& frm)
{
    QString flags;
    for (int n = 1; n <= 6; ++n)
        flags += frm.Controles->enabledFlag(n) ? QLatin1Char('1') : QLatin1Char('0');
    return flags + QLatin1Char('|') + frm.Controles->b1caption();
}


// The lines of text a PDF written by the suite's printer draws, read back through the font's
// map to Unicode (its blank glyph stands for both blank and tab: both read as a blank).
QStringList LineasDelPdf(const QString& ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pdf = archivo.readAll();
    QList<QByteArray> flujos;
    for (qsizetype desde = 0;;) {
        const qsizetype inicio = pdf.indexOf("stream\n", desde);
        if (inicio < 0)
            break;
        const qsizetype fin = pdf.indexOf("endstream", inicio);
        // Compressed streams get the 4-byte size qUncompress wants (a hint: it grows as needed).
        const QByteArray datos = pdf.mid(inicio + 7, fin - inicio - 7);
        const QByteArray abierto = qUncompress(QByteArray::fromHex("00010000") + datos);
        flujos << (abierto.isEmpty() ? datos : abierto);
        desde = fin + 9;
    }
    QHash<uint, QChar> unicode;
    static const QRegularExpression rango(QStringLiteral("<([0-9A-F]{4})> <([0-9A-F]{4})> \\[([^\\]]*)\\]"));
    static const QRegularExpression glifo(QStringLiteral("<([0-9A-F]{4})>"));
    for (const QByteArray& f : flujos) {
        for (auto r = rango.globalMatch(QString::fromLatin1(f)); r.hasNext();) {
            const QRegularExpressionMatch m = r.next();
            uint codigo = m.captured(1).toUInt(nullptr, 16);
            for (auto u = glifo.globalMatch(m.captured(3)); u.hasNext();)
                unicode[codigo++] = QChar(u.next().captured(1).toUShort(nullptr, 16));
        }
    }
    QStringList lineas;
    static const QRegularExpression bloque(QStringLiteral("BT(.*?)ET"), QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tj(QStringLiteral("<([0-9A-F]{4})> Tj"));
    for (const QByteArray& f : flujos) {
        for (auto b = bloque.globalMatch(QString::fromLatin1(f)); b.hasNext();) {
            QString linea;
            for (auto g = tj.globalMatch(b.next().captured(1)); g.hasNext();) {
                const QChar c = unicode.value(g.next().captured(1).toUInt(nullptr, 16));
                linea += c == QLatin1Char('\t') ? QLatin1Char(' ') : c;
            }
            lineas << linea;
        }
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
    void rechazos_data();
    void rechazos();
    void eliminaSinEscribir_data();
    void eliminaSinEscribir();
    void eliminaYAjustaElPadre_data() { pruebas::agregaBackends(); }
    void eliminaYAjustaElPadre();
    void cambiaCuenta_data();
    void cambiaCuenta();
    void cuentaNoBloqueaAOtroUsuario_data() { pruebas::agregaBackends(); }
    void cuentaNoBloqueaAOtroUsuario();
    void listado_data();
    void listado();
    void listadoTrasUnFallo();
    void vistaPreviaYPdf();
};

// Each command run once per statement it sends, that statement failing: the store stays
// exactly as it was, and the user is told. The last run, with nothing failing, must write.
void TstComandos::fallaCadaSentencia_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("boton");
    QTest::addColumn<QString>("estado");
    QTest::addColumn<QStringList>("ids");
    for (const QString& backend : pruebas::backends(pruebas::ConOdbc::Si)) {
        const QByteArray b = backend.toUtf8();
        QTest::newRow(b + " baja") << backend << "btnEliminar" << "AC"
                                   << QStringList{"ERR-ID:7500024", "ERR-ID:7500023"};
        QTest::newRow(b + " reactivación") << backend << "btnReactivar" << "BA"
                                           << QStringList{"ERR-ID:7500031", "ERR-ID:7500030"};
        QTest::newRow(b + " eliminar") << backend << "btnB1" << "AC" << QStringList{"ERR-ID:7500015"};
        QTest::newRow(b + " cuenta") << backend << "btnB3" << "AC" << QStringList{"ERR-ID:7500017"};
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

    int enviadas = 0;
    int objetivo = 0; // 0 while the test itself reads
    c.db().failWhen([&](const QString&) { return objetivo > 0 && ++enviadas == objetivo; });
    int falla = 1;
    for (;; ++falla) {
        Pulsa(frm, QStringLiteral("1"));
        c.dobles.datos->llamadas.clear();
        c.dobles.datos->respuestas = {kt508::vbYes, kt508::vbYes};
        c.dobles.entrada->respuestas = {QStringLiteral("5100-NUEVA")};
        enviadas = 0;
        objetivo = falla;
        Presiona(frm, boton.toLatin1().constData());
        objetivo = 0;
        const QStringList dichos = Avisos(c);
        // Past the commit only the tree's reload is left, and it reports its own failures.
        if (enviadas < falla || (dichos.size() == 1 && dichos.first().startsWith(QLatin1String("ERR-ID:7500033"))))
            break;
        const QString despues = pruebas::volcado(c.db());
        QVERIFY2(despues == antes, qPrintable(QStringLiteral("sentencia %1").arg(falla)));
        QVERIFY2(dichos.size() == 1 && ids.contains(dichos.first().section(QLatin1Char('|'), 0, 0)),
                 qPrintable(QStringLiteral("sentencia %1: %2").arg(falla).arg(dichos.join(QLatin1Char(';')))));
    }
    c.db().clearFailure();
    QVERIFY2(falla > 2, "the command sent too few statements");
    QVERIFY(pruebas::volcado(c.db()) != antes);
}

void TstComandos::bajaYReactivacionDeRama()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c, QStringLiteral("AC"));
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    const QStringList rama{QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("11")};
    auto estados = [&] {
        QStringList e;
        for (const QString& clave : {QStringLiteral("P"), QStringLiteral("1"), QStringLiteral("10"),
                                     QStringLiteral("100"), QStringLiteral("11"), QStringLiteral("2")})
            e << Columna(c, QStringLiteral("Es_Cve_Estado"), clave);
        return e.join(QLatin1Char(' '));
    };
    auto auditado = [&](const QString& clave) {
        return QStringList{Columna(c, QStringLiteral("Oper_Baja"), clave),
                           Columna(c, QStringLiteral("Fecha_Baja"), clave).left(19).replace(QLatin1Char('T'), QLatin1Char(' ')),
                           Columna(c, QStringLiteral("Oper_Ult_Modif"), clave)}
            .join(QLatin1Char('|'));
    };

    Pulsa(frm, QStringLiteral("1"));
    Presiona(frm, "btnEliminar");
    QCOMPARE(Avisos(c), QStringList());
    QCOMPARE(estados(), QStringLiteral("AC BA BA BA BA AC"));
    for (const QString& clave : rama) {
        QCOMPARE(auditado(clave), QStringLiteral("PRUEBAS|2026-12-05 10:30:00|PRUEBAS"));
        QCOMPARE(frm.tvCeCos->Nodes(QLatin1Char('N') + clave)->Image(), 3); // the tree was rebuilt
    }
    QCOMPARE(Flags(frm), QStringLiteral("000000|"));
    Pulsa(frm, QStringLiteral("1"));
    QCOMPARE(Flags(frm), QStringLiteral("001000|"));

    c.dobles.utilerias->reloj = Reloj.addSecs(60);
    Presiona(frm, "btnReactivar");
    QCOMPARE(Avisos(c), QStringList());
    QCOMPARE(estados(), QStringLiteral("AC AC AC AC AC AC"));
    for (const QString& clave : rama) {
        QCOMPARE(auditado(clave), QStringLiteral("PRUEBAS|2026-12-05 10:31:00|PRUEBAS"));
        QCOMPARE(frm.tvCeCos->Nodes(QLatin1Char('N') + clave)->Image(), 1);
    }
    QCOMPARE(Flags(frm), QStringLiteral("000000|"));

    // A leaf turns its own icon; the tree is not rebuilt for it.
    Pulsa(frm, QStringLiteral("2"));
    kt508::Node* hoja = frm.tvCeCos->Nodes(QStringLiteral("N2"));
    c.db().setRecording(true);
    Presiona(frm, "btnEliminar");
    QCOMPARE(hoja->Image(), 3);
    QCOMPARE(Columna(c, QStringLiteral("Es_Cve_Estado"), QStringLiteral("2")), QStringLiteral("BA"));
    QVERIFY(!c.db().recorded().join(QLatin1Char('\n')).contains(QLatin1String("ORDER BY CC_Acumula, Cc_Cve_Centro_Costo")));
    Pulsa(frm, QStringLiteral("2"));
    Presiona(frm, "btnReactivar");
    QCOMPARE(hoja->Image(), 1);
    QCOMPARE(Columna(c, QStringLiteral("Es_Cve_Estado"), QStringLiteral("2")), QStringLiteral("AC"));
}

namespace {

// Presses the toolbar button, or raises its event as the toolbar would when the button is not offered.
void Lanza(frmKT508& frm, const QString& boton)
{
    QToolButton* b = Boton(frm, boton.toLatin1().constData());
    if (b && b->isVisible() && b->isEnabled()) {
        QTest::mouseClick(b, Qt::LeftButton);
        return;
    }
    if (boton == QLatin1String("btnEliminar"))
        emit frm.Controles->Eliminar();
    else if (boton == QLatin1String("btnReactivar"))
        emit frm.Controles->Reactivar();
    else if (boton == QLatin1String("btnB1"))
        emit frm.Controles->B1Click();
    else
        emit frm.Controles->B3Click();
}

// The situations a command may find the window in before it runs.
void Prepara(Componente& c, frmKT508& frm, const QString& situacion)
{
    if (situacion == QStringLiteral("raíz seleccionada tras 1")) {
        Pulsa(frm, QStringLiteral("1"));
        frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(QStringLiteral("N0")));
    } else if (situacion == QStringLiteral("raíz seleccionada tras 3")) {
        Pulsa(frm, QStringLiteral("3"));
        frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(QStringLiteral("N0")));
    } else if (situacion == QStringLiteral("raíz pulsada")) {
        Pulsa(frm, QStringLiteral("0"));
    } else if (situacion == QStringLiteral("árbol recargado tras 1")) {
        Pulsa(frm, QStringLiteral("1"));
        frm.tvCeCos->setFocus();
        QTest::keyClick(frm.tvCeCos->findChild<QTreeWidget*>() ? static_cast<QWidget*>(frm.tvCeCos->findChild<QTreeWidget*>())
                                                                : static_cast<QWidget*>(frm.tvCeCos),
                        Qt::Key_F5);
        QVERIFY(!frm.tvCeCos->SelectedItem());
    } else if (situacion == QStringLiteral("11 borrado por otro usuario")) {
        Pulsa(frm, QStringLiteral("11"));
        c.db().Execute(QStringLiteral("DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '11'"));
    } else if (situacion == QStringLiteral("1 pulsado")) {
        Pulsa(frm, QStringLiteral("1"));
    } else if (situacion == QStringLiteral("11 pulsado")) {
        Pulsa(frm, QStringLiteral("11"));
    }
}

} // namespace

// Every refusal with its text, style, title and identifier; none of them writes.
void TstComandos::rechazos_data()
{
    QTest::addColumn<QString>("situacion");
    QTest::addColumn<QString>("boton");
    QTest::addColumn<QString>("dicho");
    const QString noValido = QStringLiteral("El centro de costos no es valido para esta operación");
    const QString raiz = QStringLiteral("No se puede eliminar el centro de costo raiz");
    QTest::newRow("baja sin centro") << "ninguna" << "btnEliminar" << "ERR-ID:7500020|48|Orbanel|" + noValido;
    QTest::newRow("baja de la raíz") << "raíz seleccionada tras 1" << "btnEliminar" << "ERR-ID:7500021|48|Orbanel|" + raiz;
    QTest::newRow("baja sin nodo seleccionado") << "árbol recargado tras 1" << "btnEliminar"
                                                << "ERR-ID:7500020|48|Orbanel|" + noValido;
    QTest::newRow("baja de un centro ya borrado")
        << "11 borrado por otro usuario" << "btnEliminar"
        << "ERR-ID:7500023|16|Controles_Eliminar()|El centro de costos 11 no existe o no tiene centro acumulador.";
    QTest::newRow("reactivar sin centro") << "ninguna" << "btnReactivar" << "ERR-ID:7500027|16|Orbanel|" + noValido;
    QTest::newRow("reactivar la raíz") << "raíz seleccionada tras 3" << "btnReactivar"
                                       << "ERR-ID:7500028|48|Orbanel|" + raiz;
    QTest::newRow("cuenta sin centro") << "ninguna" << "btnB3" << "ERR-ID:7500016|16|Orbanel|" + noValido;
    QTest::newRow("cuenta de la raíz") << "raíz pulsada" << "btnB3" << "ERR-ID:7500016|16|Orbanel|" + noValido;
}

void TstComandos::rechazos()
{
    QFETCH(QString, situacion);
    QFETCH(QString, boton);
    QFETCH(QString, dicho);
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    Rama(c, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("Tres"), 0, QStringLiteral("BA"));
    frmKT508& frm = c.Carga();
    Prepara(c, frm, situacion);
    const QString antes = pruebas::volcado(c.db());
    Lanza(frm, boton);
    QCOMPARE(Avisos(c), QStringList{dicho});
    QCOMPARE(pruebas::volcado(c.db()), antes);
    QVERIFY(!c.db().inTransaction());
    QVERIFY(c.dobles.entrada->preguntas.isEmpty());
}

// The delete command's questions and refusals, in their order; none of them writes.
void TstComandos::eliminaSinEscribir_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("situacion");
    QTest::addColumn<QList<int>>("respuestas");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("dicho");
    for (const QString& backend : pruebas::backends(pruebas::ConOdbc::Si)) {
        const QByteArray b = backend.toUtf8();
        QTest::newRow(b + " sin centro") << backend << "ninguna" << QList<int>{} << QStringList{"ERR-ID:7500010"}
                                         << "El centro de costos no es valido para esta operación";
        QTest::newRow(b + " No a la pregunta") << backend << "11 pulsado" << QList<int>{7}
                                               << QStringList{"ERR-ID:7500011"} << "";
        QTest::newRow(b + " raíz tras la pregunta") << backend << "raíz seleccionada tras 1" << QList<int>{6}
                                                    << QStringList{"ERR-ID:7500011", "ERR-ID:7500012"}
                                                    << "No se puede eliminar el centro de costo raiz";
        QTest::newRow(b + " No a borrar los hijos") << backend << "1 pulsado" << QList<int>{6, 7}
                                                    << QStringList{"ERR-ID:7500011", "ERR-ID:7500013"} << "";
        QTest::newRow(b + " en uso en dos tablas")
            << backend << "11 pulsado" << QList<int>{6} << QStringList{"ERR-ID:7500011", ""}
            << "Imposible eliminar el centro de costo,\r\nesta siendo usando en el registro de la tabla: Poliza_Detalle";
    }
}

void TstComandos::eliminaSinEscribir()
{
    QFETCH(QString, backend);
    QFETCH(QString, situacion);
    QFETCH(QList<int>, respuestas);
    QFETCH(QStringList, ids);
    QFETCH(QString, dicho);
    Componente c(backend, Contenido::Vacio);
    Rama(c, QStringLiteral("AC"));
    // 11 is used by a budget and a journal line: the journal's table comes first by name.
    c.db().Execute(QStringLiteral("INSERT INTO Presupuesto_Centro (Pc_Anio, Cc_Cve_Centro_costo, Pc_Importe) VALUES (2026, '11', 10)"));
    c.db().Execute(QStringLiteral("INSERT INTO Poliza_Detalle (Pd_Id, Pd_Poliza, Pd_Renglon, Cc_Cve_Centro_costo, Pd_Cargo, "
                                  "Pd_Abono) VALUES (1, 'D-1', 1, '11', 10, 0)"));
    frmKT508& frm = c.Carga();
    Prepara(c, frm, situacion);
    const QString antes = pruebas::volcado(c.db());
    c.dobles.datos->respuestas = respuestas;
    Lanza(frm, QStringLiteral("btnB1"));
    QCOMPARE(c.dobles.datos->ErrIds(), ids);
    const pruebas::LlamadaMensaje& ultimo = c.dobles.datos->llamadas.last();
    if (!dicho.isEmpty())
        QCOMPARE(ultimo.texto.toLower(), dicho.toLower()); // a server may give the table's name in lower case
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->llamadas) {
        if (m.errId == QLatin1String("ERR-ID:7500011") || m.errId == QLatin1String("ERR-ID:7500013"))
            QCOMPARE(m.estilo, 292);
    }
    if (ultimo.aviso) {
        QCOMPARE(ultimo.estilo, 48);
        QCOMPARE(ultimo.titulo, QStringLiteral("Orba Nel"));
    }
    QCOMPARE(pruebas::volcado(c.db()), antes);
    QVERIFY(frm.tvCeCos->Nodes(QStringLiteral("N11")));
}

void TstComandos::eliminaYAjustaElPadre()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c, QStringLiteral("AC"));
    // Only a descendant of 10 is used elsewhere: the scan looks at 10's own key.
    c.db().Execute(QStringLiteral("INSERT INTO Poliza_Detalle (Pd_Id, Pd_Poliza, Pd_Renglon, Cc_Cve_Centro_costo, Pd_Cargo, "
                                  "Pd_Abono) VALUES (1, 'D-1', 1, '100', 10, 0)"));
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    auto padre = [&] {
        return QStringList{Columna(c, QStringLiteral("CC_Tipo"), QStringLiteral("1")),
                           Columna(c, QStringLiteral("Oper_Ult_Modif"), QStringLiteral("1")),
                           Columna(c, QStringLiteral("Fecha_Ult_Modif"), QStringLiteral("1")).left(19).replace(QLatin1Char('T'), QLatin1Char(' '))}
            .join(QLatin1Char('|'));
    };

    // A child with a sibling: the parent stays as it was.
    Pulsa(frm, QStringLiteral("11"));
    c.dobles.datos->respuestas = {6};
    Presiona(frm, "btnB1");
    QCOMPARE(Columna(c, QStringLiteral("CC_Descripcion"), QStringLiteral("11")), QStringLiteral("<null>"));
    QCOMPARE(padre(), QStringLiteral("1|<null>|<null>"));

    // The last child, with its own child: both go, and the parent becomes a detail centre.
    Pulsa(frm, QStringLiteral("10"));
    c.dobles.datos->respuestas = {6, 6};
    c.db().setRecording(true);
    Presiona(frm, "btnB1");
    QCOMPARE(Avisos(c), QStringList());
    QCOMPARE(pruebas::escalar(c.db(), QStringLiteral("SELECT COUNT(*) FROM Centro_Costo WHERE CC_Cve_Centro_Costo IN ('10', '100')")).toInt(), 0);
    QCOMPARE(padre(), QStringLiteral("0|PRUEBAS|2026-12-05 10:30:00"));
    const QStringList enviadas = c.db().recorded();
    QVERIFY(enviadas.contains(QStringLiteral("SELECT CC_Cve_Centro_Costo FROM Centro_Costo WHERE CC_Acumula = '10'")));
    QVERIFY(enviadas.contains(QStringLiteral(
        "SELECT sysobjects.NAME AS TABLA FROM sysobjects    INNER JOIN syscolumns ON sysobjects.id = syscolumns.id "
        "WHERE  syscolumns.Name = 'Cc_Cve_Centro_costo' AND  sysobjects.type = 'U' AND sysobjects.Name <> 'Centro_Costo'  "
        "ORDER BY TABLA ASC")));
    QVERIFY(enviadas.contains(QStringLiteral("UPDATE Centro_Costo SET Cc_Tipo = 0,   Oper_Ult_Modif = 'PRUEBAS',   "
                                             "Fecha_Ult_Modif = '2026-12-05 10:30:00'WHERE CC_Cve_Centro_Costo = '1'")));
    QVERIFY(!frm.tvCeCos->Nodes(QStringLiteral("N10")));
    QCOMPARE(frm.tvCeCos->Nodes(QStringLiteral("N1"))->Children(), 0);

    // The last first-level centre: the update for the root changes no row.
    Pulsa(frm, QStringLiteral("P"));
    c.dobles.datos->respuestas = {6, 6};
    Presiona(frm, "btnB1");
    Pulsa(frm, QStringLiteral("2"));
    c.dobles.datos->respuestas = {6};
    c.db().clearRecorded();
    Presiona(frm, "btnB1");
    QCOMPARE(Avisos(c), QStringList());
    QVERIFY(c.db().recorded().contains(QStringLiteral("UPDATE Centro_Costo SET Cc_Tipo = 0,   Oper_Ult_Modif = 'PRUEBAS',   "
                                                      "Fecha_Ult_Modif = '2026-12-05 10:30:00'WHERE CC_Cve_Centro_Costo = '0'")));
    QCOMPARE(pruebas::escalar(c.db(), QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt(), 0);
    QCOMPARE(frm.tvCeCos->Count(), 1);
}

void TstComandos::cambiaCuenta_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QVariant>("actual");
    QTest::addColumn<QString>("respuesta");
    QTest::addColumn<QVariant>("guardada");
    QTest::addColumn<QString>("dicho");
    const QVariant nula(QMetaType::fromType<QString>());
    const QString treinta = QStringLiteral("5100-").leftJustified(30, QLatin1Char('9'));
    for (const QString& backend : pruebas::backends()) {
        const QByteArray b = backend.toUtf8();
        QTest::newRow(b + " nueva") << backend << QVariant("5100-001") << "5200-002" << QVariant("5200-002") << "";
        QTest::newRow(b + " la misma") << backend << QVariant("5100-001") << "5100-001" << QVariant("5100-001") << "";
        QTest::newRow(b + " cancelar") << backend << QVariant("5100-001") << "" << QVariant("5100-001") << "";
        QTest::newRow(b + " nula") << backend << nula << "9999-INEXISTENTE" << QVariant("9999-INEXISTENTE") << "";
        QTest::newRow(b + " comillas y blancos")
            << backend << QVariant("5100-001") << " D'Arcy \"x\"  " << QVariant(" D'Arcy \"x\"  ") << "";
        QTest::newRow(b + " 30 caracteres") << backend << QVariant("5100-001") << treinta << QVariant(treinta) << "";
        QTest::newRow(b + " 31 caracteres")
            << backend << QVariant("5100-001") << treinta + "9" << QVariant("5100-001")
            << "ERR-ID:7500017|16|Controles_B3Click()|La cuenta contable admite hasta 30 caracteres; la indicada tiene 31.";
    }
}

void TstComandos::cambiaCuenta()
{
    QFETCH(QString, backend);
    QFETCH(QVariant, actual);
    QFETCH(QString, respuesta);
    QFETCH(QVariant, guardada);
    QFETCH(QString, dicho);
    Componente c(backend, Contenido::Vacio);
    Rama(c, QStringLiteral("AC"));
    c.db().ExecuteParams(QStringLiteral("UPDATE Centro_Costo SET CC_Cuenta_Contable = ? WHERE CC_Cve_Centro_Costo = '1'"),
                         {actual});
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    Pulsa(frm, QStringLiteral("1"));
    const QString mostrada = frm.txtCuenta->Text();
    c.dobles.entrada->respuestas = {respuesta};
    c.db().setRecording(true);
    Presiona(frm, "btnB3");
    const QStringList enviadas = c.db().recorded();

    QCOMPARE(c.dobles.entrada->preguntas.size(), 1);
    QCOMPARE(c.dobles.entrada->preguntas[0].prompt, QStringLiteral("Indique la nueva cuenta contable:"));
    QCOMPARE(c.dobles.entrada->preguntas[0].titulo, QStringLiteral("Cambiar cuenta contable"));
    QCOMPARE(c.dobles.entrada->preguntas[0].textoInicial, actual.toString());
    QCOMPARE(Avisos(c), dicho.isEmpty() ? QStringList() : QStringList{dicho});
    QCOMPARE(Columna(c, QStringLiteral("CC_Cuenta_Contable"), QStringLiteral("1")), guardada.toString());
    const bool escrita = !respuesta.isEmpty() && dicho.isEmpty();
    QCOMPARE(Columna(c, QStringLiteral("Oper_Ult_Modif"), QStringLiteral("1")),
             escrita ? QStringLiteral("PRUEBAS") : QStringLiteral("<null>"));
    if (escrita) {
        QString literal = respuesta;
        literal.replace(QLatin1Char('\''), QStringLiteral("''"));
        QCOMPARE(enviadas.last(),
                 QStringLiteral("UPDATE Centro_Costo SET    CC_Cuenta_Contable = '%1',    Oper_Ult_Modif = 'PRUEBAS',    "
                                "Fecha_Ult_Modif = '2026-12-05 10:30:00' WHERE CC_Cve_Centro_Costo = '1'")
                     .arg(literal));
    }
    QVERIFY(!c.db().inTransaction());
    QCOMPARE(frm.txtCuenta->Text(), mostrada); // until the centre is selected again
}

// While the box waits for the user, another user of the database reads and writes freely.
void TstComandos::cuentaNoBloqueaAOtroUsuario()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    Rama(c, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    QString visto;
    QString fallo = QStringLiteral("el cuadro no se mostró");
    bool abierta = false;
    kt508::plataforma().InputBox = [&](const QString&, const QString&, const QString&) {
        abierta = c.db().inTransaction();
        fallo.clear();
        try {
            auto otro = orbanel::ado::AdoConnection::Open(pruebas::urlDe(backend));
            if (otro->dialect() == orbanel::ado::Dialect::PostgreSQL)
                otro->Execute(QStringLiteral("SET lock_timeout = '2s'"));
            visto = pruebas::escalar(*otro, QStringLiteral("SELECT CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '1'")).toString();
            otro->Execute(QStringLiteral("UPDATE Centro_Costo SET CC_Descripcion = 'Otro usuario' WHERE CC_Cve_Centro_Costo = '1'"));
        } catch (const kt508::Error& e) {
            fallo = e.Description();
        }
        return QStringLiteral("5100-NUEVA");
    };
    Pulsa(frm, QStringLiteral("1"));
    Presiona(frm, "btnB3");
    QVERIFY(abierta);
    QCOMPARE(fallo, QString());
    QCOMPARE(visto, QStringLiteral("Uno"));
    QCOMPARE(Columna(c, QStringLiteral("CC_Descripcion"), QStringLiteral("1")), QStringLiteral("Otro usuario"));
    QCOMPARE(Columna(c, QStringLiteral("CC_Cuenta_Contable"), QStringLiteral("1")), QStringLiteral("5100-NUEVA"));
    QCOMPARE(Avisos(c), QStringList());
}

void TstComandos::listado_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QStringList>("centros"); // key, parent, description, type, state
    QTest::addColumn<QString>("texto");
    for (const QString& backend : pruebas::backends()) {
        const QByteArray b = backend.toUtf8();
        QTest::newRow(b + " vacío") << backend << QStringList{} << "\r\n";
        QTest::newRow(b + " ejemplo") << backend
                                      << QStringList{"1|0|A|1|AC", "10|1|B|0|AC", "11|1|C|0|AC", "2|0|D|0|AC"}
                                      << "1 - A\r\n\t10 - B\r\n\t11 - C\r\n\r\n2 - D\r\n\r\n";
        QTest::newRow(b + " baja, acumulador sin hijos y tres niveles")
            << backend << QStringList{"3|0|Baja|1|BA", "30|3|Hoja|1|AC", "300|30|Nieta|0|BA", "4|0|Sin hijos|1|AC"}
            << "3 - Baja\r\n\t30 - Hoja\r\n\t\t300 - Nieta\r\n\r\n\r\n4 - Sin hijos\r\n\r\n\r\n";
    }
}

void TstComandos::listado()
{
    QFETCH(QString, backend);
    QFETCH(QStringList, centros);
    QFETCH(QString, texto);
    Componente c(backend, Contenido::Vacio);
    for (const QString& centro : centros) {
        const QStringList v = centro.split(QLatin1Char('|'));
        c.Inserta(v[0], v[1], v[2], v[3].toInt(), v[4]);
    }
    frmKT508& frm = c.Carga();
    Presiona(frm, "btnImprimir");
    Presiona(frm, "btnImprimir");
    QCOMPARE(c.dobles.impresor->llamadas.size(), 2);
    for (const pruebas::LlamadaImprime& impresion : c.dobles.impresor->llamadas) {
        QCOMPARE(impresion.texto, texto);
        QCOMPARE(impresion.titulo, QString());
        QCOMPARE(impresion.numeros, (QList<int>{0, 0, -1, -1, 7, -1}));
    }
    QCOMPARE(frm.PrintText, texto);
    QCOMPARE(Avisos(c), QStringList());
}

// A level whose query fails is told; the rest of the listing is printed with its own indentation.
void TstComandos::listadoTrasUnFallo()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("B"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("D"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("20"), QStringLiteral("2"), QStringLiteral("E"), 0, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    c.db().failContaining(QStringLiteral("CC_Acumula = '1'"));
    Presiona(frm, "btnImprimir");
    QCOMPARE(Avisos(c), QStringList{QStringLiteral("ERR-ID:7500032|16|Imprimir_CeCo()|Fallo provocado por la prueba")});
    QCOMPARE(c.dobles.impresor->llamadas.size(), 1);
    QCOMPARE(c.dobles.impresor->llamadas[0].texto, QStringLiteral("1 - A\r\n2 - D\r\n\t20 - E\r\n\r\n\r\n"));
}

// The suite's printer: the listing in a print preview, saved from there as a PDF.
void TstComandos::vistaPreviaYPdf()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("B"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("D"), 0, QStringLiteral("AC"));
    kt508::plataforma().NuevoImpresorTexto = [] { return std::make_unique<orbanel::ImpresorTexto>(); };
    frmKT508& frm = c.Carga();
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("centros.pdf"));

    QString vista;
    pruebas::EnModal([&](QWidget* modal) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
        if (!preview)
            return;
        vista = preview->windowTitle();
        auto* accion = preview->findChild<QAction*>(QStringLiteral("accionGuardarPdf"));
        QToolBar* barra = preview->findChild<QToolBar*>();
        pruebas::EnModal([&](QWidget* dialogo) {
            if (!qobject_cast<QFileDialog*>(dialogo))
                return;
            pruebas::Tecla(dialogo, Qt::Key_A, Qt::ControlModifier);
            pruebas::Escribe(dialogo, ruta);
            pruebas::Tecla(dialogo, Qt::Key_Return);
        });
        if (accion && barra)
            QTest::mouseClick(barra->widgetForAction(accion), Qt::LeftButton);
        pruebas::Tecla(preview, Qt::Key_Escape);
    });
    Presiona(frm, "btnImprimir");
    QCOMPARE(vista, QStringLiteral("Vista previa"));
    // A tab stop every 7 columns: the child's line starts at the eighth.
    const QStringList lineas = LineasDelPdf(ruta);
    QVERIFY2(lineas.size() >= 3, qPrintable(lineas.join(QLatin1Char('\n'))));
    QCOMPARE(lineas.mid(1, 3), (QStringList{QStringLiteral("1 - A"), QStringLiteral("       10 - B"), QStringLiteral("2 - D")}));
}

QTEST_MAIN(TstComandos)
#include "tst_comandos.moc"
