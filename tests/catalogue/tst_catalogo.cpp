// The catalogue window: loading the tree from the store, the window's keys and layout, and the tree's events.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/dialogs/frmInput.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/controls/ArbolVex.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;
using pruebas::Nodo;
using pruebas::Vista;

namespace {

const QVariant Nulo = QVariant(QMetaType::fromType<QString>());

QString DescripcionDe(Componente& c, const QString& clave)
{
    const QString sql = u"SELECT CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%1'"_s.arg(clave);
    return pruebas::escalar(c.db(), sql).toString();
}

// What the user was told as an error: module, caption and identifier of each critical message,
// and its text when asked for.
QStringList Dichos(Componente& c, bool textos = false)
{
    QStringList dichos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->Mensajes())
        if (m.estilo == 16)
            dichos << m.modulo + u'|' + m.titulo + u'|' + m.errId + (textos ? u'|' + m.texto : QString());
    return dichos;
}

// The control of the window that holds the focus (a toolbar button, the key, the account or the tree).
QString EnFoco(frmKT508& frm)
{
    QWidget* w = QApplication::focusWidget();
    if (w && frm.Controles->isAncestorOf(w))
        return w->objectName();
    while (w && w != frm.tvCeCos && w->parentWidget() != frm.frFrame)
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

// A tree that refuses its root while told to: the whole load fails at its first step. It may
// refuse one other node too.
class ArbolSinRaiz : public orbanel::ArbolVex {
public:
    using orbanel::ArbolVex::ArbolVex;
    kt508::Node* Add(const QString& relative, int relationship, const QString& key, const QString& text,
                     int image) override
    {
        if ((rechazaRaiz && key == QLatin1String("N0")) || key == rechazado)
            throw kt508::Error(u"El árbol no admite más nodos."_s);
        return orbanel::ArbolVex::Add(relative, relationship, key, text, image);
    }
    static inline bool rechazaRaiz = false;
    static inline QString rechazado;
};

} // namespace

class TstCatalogo : public QObject {
    Q_OBJECT

private slots:
    void arbol_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void arbol();
    void fallosDeLaCarga_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void fallosDeLaCarga();
    void cargaFallidaSeReintenta();
    void nodeClickOfreceComandos_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void nodeClickOfreceComandos();
    void renombra_data();
    void renombra();
    void renombraConF2_data();
    void renombraConF2();
};

// Each level in key order under its parent, the deactivated with their own image, a centre that
// accumulates nothing shows no children; F5 (and Shift+F5, not Ctrl+F5) rebuilds it, one query for
// each centre that accumulates, a level of the tree after another.
// Ctrl+Shift+B is not Ctrl+B: it does not ask for a search.
void TstCatalogo::arbol()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    const QString cincuenta = u"Ñandú O'Higgins «áéíóú» "_s.leftJustified(50, u'x');
    c.Inserta({u"20|0|Producción|1|BA"_s, u"201|20|Activo bajo inactivo|1|AC"_s, u"2010|201|Nieto|0|AC"_s,
               "3|0|" + cincuenta + "|0|XX", u"100|0|Hoja con filas hijas|0|AC"_s, u"1001|100|Oculto|0|AC"_s,
               u"4|0|Acumula sin hijos|1|AC"_s});
    c.Inserta(u"202"_s, u"20"_s, Nulo, 0, Nulo);
    frmKT508& frm = c.Carga();
    frm.tvCeCos->setFocus();
    c.db().setRecording(true);
    pruebas::Tecla(&frm, Qt::Key_F5, Qt::ControlModifier);
    pruebas::Tecla(&frm, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    pruebas::Tecla(&frm, Qt::Key_F5, Qt::ShiftModifier);

    const QString patron =
        u"SELECT * FROM Centro_Costo WHERE CC_Acumula = '%1' ORDER BY CC_Acumula, Cc_Cve_Centro_Costo "_s;
    const QString version = u"SELECT Vc_Version FROM Version_Catalogo"_s;
    QCOMPARE(c.db().recorded(), (QStringList{patron.arg(0), version, patron.arg(20), patron.arg(4), patron.arg(201)}));
    const QStringList vista = Vista(Nodo(frm, u"0"_s));
    QCOMPARE(vista,
             (QStringList{u"N0 1 RAIZ"_s, u" N100 1 100 - Hoja con filas hijas"_s, u" N20 3 20 - Producción"_s,
                          u"  N201 1 201 - Activo bajo inactivo"_s, u"   N2010 1 2010 - Nieto"_s, u"  N202 3 202 - "_s,
                          u" N3 3 3 - "_s + cincuenta, u" N4 1 4 - Acumula sin hijos"_s}));
    QCOMPARE(frm.tvCeCos->Count(), vista.size());
    QVERIFY(!frm.tvCeCos->SelectedItem());
}

// A failed level is told under its own identifier and the other levels load. A node the tree
// refuses is told and ends its parent's rows: the siblings after it, and its own branch, stay
// out; the siblings before it keep their branches. A failure of the load's own steps is told
// under the window's identifier and leaves the tree empty.
void TstCatalogo::fallosDeLaCarga()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    c.Inserta({u"1|0|A|1|AC"_s, u"10|1|B|1|AC"_s, u"100|10|C|0|AC"_s, u"11|1|D|1|AC"_s, u"110|11|E|0|AC"_s,
               u"12|1|F|0|AC"_s, u"2|0|G|1|AC"_s, u"20|2|H|0|AC"_s, u"3|0|I|1|AC"_s, u"30|3|J|0|AC"_s});
    kt508::plataforma().NuevoTreeView = [](QWidget* padre) { return new ArbolSinRaiz(padre); };
    c.db().failContaining(u"CC_Acumula = '3'"_s);
    ArbolSinRaiz::rechazado = u"N11"_s;
    frmKT508& frm = c.Carga();
    ArbolSinRaiz::rechazado.clear();
    QCOMPARE(Vista(Nodo(frm, u"0"_s)),
             (QStringList{u"N0 1 RAIZ"_s, u" N1 1 1 - A"_s, u"  N10 1 10 - B"_s, u"   N100 1 100 - C"_s,
                          u" N2 1 2 - G"_s, u"  N20 1 20 - H"_s, u" N3 1 3 - I"_s}));
    QStringList dichos = Dichos(c, true);
    dichos.sort();
    QCOMPARE(dichos,
             (QStringList{u"KT508|AddSubMenu()|ERR-ID:7500033|El árbol no admite más nodos."_s,
                          u"KT508|AddSubMenu()|ERR-ID:7500033|Fallo provocado por la prueba"_s}));

    c.db().clearFailure();
    c.dobles.datos->llamadas.clear();
    frm.tvCeCos->setFocus();
    ArbolSinRaiz::rechazaRaiz = true;
    pruebas::Tecla(&frm, Qt::Key_F5);
    ArbolSinRaiz::rechazaRaiz = false;
    QCOMPARE(Dichos(c, true), QStringList{u"KT508|CargarCecos()|ERR-ID:7500034|El árbol no admite más nodos."_s});
    QCOMPARE(frm.tvCeCos->Count(), 0);
}

// The load's failure reaches whoever caused it; the window stays unloaded, offers nothing, and
// the next showing loads it: its setting read, nothing to delete, the tree with the focus, Tab
// round the toolbar's buttons on offer, the key, the account and the tree.
void TstCatalogo::cargaFallidaSeReintenta()
{
    Componente c(u"sqlite"_s, Contenido::Demo);
    c.db().failWhen([](const QString& sentencia) { return sentencia.contains(u"FROM Parametros"_s); });
    frmKT508& frm = frmKT508::Instancia(c.servicios);
    QString fallo;
    QVERIFY(QMetaObject::invokeMethod(&frm, "Load", Q_RETURN_ARG(QString, fallo)));
    QVERIFY(!fallo.isEmpty() && !frm.Cargada() && !frm.Controles && c.dobles.datos->Mensajes().isEmpty());
    frm.show();
    QVERIFY(!frm.isVisible());
    QCOMPARE(Dichos(c), QStringList{u"KT508|Form_Load()|ERR-ID:7500034"_s});

    c.db().clearFailure();
    c.Carga();
    QVERIFY(frm.Cargada() && frm.isVisible());
    QCOMPARE(frm.DefaultGroup, u"000100"_s); // the demo's, not the fallback
    QVERIFY(frm.Controles->b1caption().isEmpty() && frm.Controles->enabledFlag(2));
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    QTRY_VERIFY(frm.tvCeCos->hasFocus());
    for (const QString& siguiente :
         {u"btnB3"_s, u"btnImprimir"_s, u"btnVentanas"_s, u"btnSalir"_s, u"txtClave"_s, u"txtCuenta"_s, u"tvCeCos"_s}) {
        pruebas::Tecla(&frm, Qt::Key_Tab);
        QCOMPARE(EnFoco(frm), siguiente);
    }

    // F3 asks while nothing was searched; Ctrl+B always asks, from the last accepted value; an
    // accepted value is searched and remembered, F3 and Shift+F3 repeat it, a cancelled one repeats it.
    c.dobles.utilerias->soloRegistraBusquedas = true;
    // Answers the dialog with the value (Escape when empty) and gives the value it opened with.
    auto pregunta = [&](Qt::Key tecla, Qt::KeyboardModifiers modificadores, const QString& respuesta) {
        QString inicial = u"(no preguntó)"_s;
        pruebas::EnModal([&](QWidget* modal) {
            if (auto* dialogo = qobject_cast<frmInput*>(modal)) {
                inicial = dialogo->txtValor->Text();
                dialogo->txtValor->setText(QString());
                pruebas::Escribe(modal, respuesta);
                pruebas::Tecla(modal, respuesta.isEmpty() ? Qt::Key_Escape : Qt::Key_F4);
            }
        });
        pruebas::Tecla(&frm, tecla, modificadores);
        return inicial;
    };
    QCOMPARE(pregunta(Qt::Key_F3, Qt::NoModifier, QString()), QString());
    QCOMPARE(pregunta(Qt::Key_B, Qt::ControlModifier, u"ventas"_s), QString());
    pruebas::Tecla(&frm, Qt::Key_F3);
    pruebas::Tecla(&frm, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(pregunta(Qt::Key_B, Qt::ControlModifier, u"norte"_s), u"ventas"_s);
    QCOMPARE(pregunta(Qt::Key_B, Qt::ControlModifier, QString()), u"norte"_s);
    QStringList buscados;
    for (const pruebas::LlamadaBusqueda& b : c.dobles.utilerias->busquedas)
        buscados << b.texto;
    QCOMPARE(buscados, (QStringList{u"ventas"_s, u"ventas"_s, u"ventas"_s, u"norte"_s, u"norte"_s}));

    // A window too small for the tree's margins leaves the tree as it was, and nobody is told.
    kt508::TreeView& arbol = *frm.tvCeCos;
    const QRect antes = arbol.geometry();
    frm.resize(2 * arbol.x() - 1, arbol.y());
    QTRY_COMPARE(frm.height(), arbol.y());
    QCOMPARE(arbol.geometry(), antes);
    QCOMPARE(c.dobles.datos->llamadas.size(), 1);
}

void TstCatalogo::nodeClickOfreceComandos()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    c.Inserta({u"1|0|Activo|1|AC"_s, u"10|1|A|0|AC"_s, u"2|0|Inactivo|1|BA"_s, u"20|2|B|0|BA"_s});
    c.db().Execute(u"UPDATE Centro_Costo SET CC_Cuenta_Contable = '5100-001' WHERE CC_Cve_Centro_Costo = '1'"_s);
    frmKT508& frm = c.Carga();
    kt508::TreeView& arbol = *frm.tvCeCos;
    // The key and account shown, the toolbar's buttons 1 to 6 and the delete button's caption.
    auto clic = [&](const QString& clave) {
        emit arbol.NodeClick(Nodo(frm, clave));
        QString flags;
        for (int n = 1; n <= 6; ++n)
            flags += frm.Controles->enabledFlag(n) ? u'1' : u'0';
        return QStringList{frm.txtClave->Text(), frm.txtCuenta->Text(), flags, frm.Controles->b1caption()}.join(u'|');
    };
    // The user opens and closes a branch from the keyboard.
    arbol.setFocus();
    auto pulsa = [&](const QString& clave, Qt::Key tecla) {
        arbol.setSelectedItem(Nodo(frm, clave));
        pruebas::Tecla(&frm, tecla);
        return Nodo(frm, clave)->Image();
    };
    QCOMPARE(clic(u"0"_s), u"0||010001|"_s);
    QCOMPARE(clic(u"1"_s), u"1|5100-001|100111|Eliminar"_s);
    QCOMPARE(pulsa(u"1"_s, Qt::Key_Right), 2);
    QCOMPARE(pulsa(u"1"_s, Qt::Key_Left), 1);
    QCOMPARE(pulsa(u"2"_s, Qt::Key_Right), 4);
    QCOMPARE(clic(u"2"_s), u"2||001000|"_s); // open, still deactivated
    QCOMPARE(pulsa(u"2"_s, Qt::Key_Left), 3);
    // After a deactivated centre, an active one no longer offers Reactivar.
    QCOMPARE(clic(u"1"_s), u"1|5100-001|100111|Eliminar"_s);
    // A reload leaves nothing selected, and nothing to delete.
    pruebas::Tecla(&frm, Qt::Key_F5);
    QVERIFY(!arbol.SelectedItem() && frm.Controles->b1caption().isEmpty());

    // Consulta shows the selected centre's record; with nothing selected, nothing.
    for (const QString& clave : {QString(), u"0"_s, u"1"_s}) {
        arbol.setSelectedItem(clave.isNull() ? nullptr : Nodo(frm, clave));
        emit frm.Controles->Consulta();
    }
    QStringList consultas;
    for (const pruebas::LlamadaConsulta& l : c.dobles.consulta->llamadas)
        consultas << l.tabla + u'|' + l.campoClave + u'|' + l.clave;
    QCOMPARE(consultas,
             (QStringList{u"Centro_Costo|Cc_Cve_Centro_Costo|0"_s, u"Centro_Costo|Cc_Cve_Centro_Costo|1"_s}));
}

void TstCatalogo::renombra_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("guardado"); // what the update stores; null: an empty edit, nothing sent
    QTest::addColumn<QString>("dicho");    // the refusal, told
    for (const QString& backend : pruebas::backends(pruebas::ConOdbc::Si)) {
        QTest::addRow("%s limpia", qPrintable(backend))
            << backend << u"105 - Ventas Norte-Sur"_s << u"VENTAS NORTESUR"_s << QString();
        QTest::addRow("%s comilla", qPrintable(backend))
            << backend << u"105 - D'Artagnan"_s << u"D'ARTAGNAN"_s << QString();
        // Blanks and hyphens only are no empty edit: they store an empty description.
        QTest::addRow("%s guiones", qPrintable(backend)) << backend << u" - "_s << u""_s << QString();
        QTest::addRow("%s vacío", qPrintable(backend)) << backend << QString() << QString() << QString();
        QTest::addRow("%s rechazado", qPrintable(backend))
            << backend << u"105 - Otra cosa"_s << u"OTRA COSA"_s
            << u"KT508|tvCeCos_AfterLabelEdit()|ERR-ID:7500034|Fallo provocado por la prueba"_s;
        // Longer than the column, on every database alike: told in words, nothing sent.
        QTest::addRow("%s largo", qPrintable(backend))
            << backend << u"105 - "_s + QString(51, u'x') << QString(51, u'X')
            << u"KT508|tvCeCos_AfterLabelEdit()|ERR-ID:7500034|La descripción admite hasta 50 caracteres; la indicada tiene 51."_s;
    }
}

// The edited text loses the key and its hyphens, and is stored in capitals with the audit columns;
// the tree is rebuilt under the hourglass with the renamed centre selected. A rename not made
// is cancelled, and a wait cursor that is not the rename's own stays as it was.
void TstCatalogo::renombra()
{
    QFETCH(QString, backend);
    QFETCH(QString, texto);
    QFETCH(QString, guardado);
    QFETCH(QString, dicho);
    Componente c(backend, Contenido::Vacio);
    c.Inserta(u"105"_s, u"0"_s, u"Ventas norte"_s, 0, u"AC"_s);
    frmKT508& frm = c.Carga();
    c.dobles.utilerias->reloj = QDateTime(QDate(2026, 12, 5), QTime(10, 30, 0));
    frm.tvCeCos->setSelectedItem(Nodo(frm, u"105"_s));
    c.db().setRecording(true);
    int cursorDeLaCarga = -1;
    c.db().failWhen([&](const QString& sentencia) {
        if (sentencia.contains(u"CC_Acumula = '0'"_s))
            cursorDeLaCarga = QApplication::overrideCursor()->shape();
        return !dicho.isEmpty() && sentencia.startsWith(u"UPDATE"_s);
    });
    int cancel = 0;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    emit frm.tvCeCos->AfterLabelEdit(cancel, texto);
    const Qt::CursorShape cursor =
        QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    QApplication::restoreOverrideCursor();
    c.db().clearFailure();

    const QString update = u"UPDATE Centro_Costo SET CC_Descripcion = '%1',    Oper_Ult_Modif = 'PRUEBAS',    "
                           u"Fecha_Ult_Modif = '2026-12-05 10:30:00' WHERE CC_Cve_Centro_Costo = '105'"_s;
    const bool envia = !guardado.isNull() && guardado.size() <= 50;
    QCOMPARE(c.db().recorded().filter(u"UPDATE"_s).mid(0, 1),
             envia ? QStringList{update.arg(QString(guardado).replace(u'\'', u"''"_s))} : QStringList());
    const bool escribe = envia && dicho.isEmpty();
    const QString descripcion = escribe ? guardado : u"Ventas norte"_s;
    QCOMPARE((QStringList{DescripcionDe(c, u"105"_s), Nodo(frm, u"105"_s)->Text(), QString::number(cancel)}),
             (QStringList{descripcion, u"105 - "_s + descripcion, escribe ? u"0"_s : u"1"_s}));
    QCOMPARE(Dichos(c, true), dicho.isEmpty() ? QStringList() : QStringList{dicho});
    QCOMPARE(QList<int>({cursor, cursorDeLaCarga}), QList<int>({Qt::BusyCursor, escribe ? Qt::WaitCursor : -1}));
    QCOMPARE(texto, guardado);
    QCOMPARE(frm.tvCeCos->SelectedItem(), Nodo(frm, u"105"_s));
}

void TstCatalogo::renombraConF2_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("guardado");
    QTest::addColumn<QString>("dicho"); // what the message told holds
    const QString largo = u"KT508|tvCeCos_AfterLabelEdit()|ERR-ID:7500034|La descripción admite hasta 50 "
                          "caracteres; la indicada tiene 51."_s;
    for (const QString& backend : pruebas::backends(pruebas::ConOdbc::Si)) {
        QTest::addRow("%s treinta emoji", qPrintable(backend))
            << backend << u"🌵"_s.repeated(30) << u"🌵"_s.repeated(30) << QString();
        QTest::addRow("%s cincuenta y uno", qPrintable(backend))
            << backend << u"🌵"_s.repeated(51) << u"Ventas norte"_s << largo;
    }
    QTest::newRow("mayúsculas") << u"sqlite"_s << u"Cobranza"_s << u"COBRANZA"_s << QString();
    // Another program holds the file's write lock longer than a statement waits.
    QTest::newRow("base ocupada") << u"sqlite"_s << u"Cobranza"_s << u"Ventas norte"_s
                                  << u"Otro programa tiene ocupada la base de datos"_s;
}

// As a user does it: F2 opens the edit, a click elsewhere ends it. The rename counts characters
// as the databases do, an emoji one. Stored, the tree is rebuilt with the centre in view, its
// parent opened by code shows the open image, and the tree has the focus; refused (rolled back
// first), the centre stays as it was and the node's edit opens again with what the user typed.
void TstCatalogo::renombraConF2()
{
    QFETCH(QString, backend);
    QFETCH(QString, texto);
    QFETCH(QString, guardado);
    QFETCH(QString, dicho);
    Componente c(backend, Contenido::Vacio);
    c.Inserta({u"1|0|Ventas|1|AC"_s, u"10|1|Ventas norte|0|AC"_s});
    frmKT508& frm = c.Carga();
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    QList<bool> enTransaccion;
    c.dobles.datos->alMostrar = [&] { enTransaccion << c.db().inTransaction(); };
    kt508::TreeView& arbol = *frm.tvCeCos;
    arbol.setSelectedItem(Nodo(frm, u"10"_s));
    arbol.setFocus();
    std::unique_ptr<orbanel::ado::AdoConnection> otro;
    if (dicho.contains(u"ocupada"_s)) {
        QVERIFY_SQL(otro = pruebas::Otra(backend));
        QVERIFY_SQL(otro->Execute(u"BEGIN IMMEDIATE"_s));
    }

    pruebas::Tecla(&frm, Qt::Key_F2);
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    pruebas::Escribe(&frm, texto);
    frm.txtCuenta->setFocus(Qt::MouseFocusReason);
    if (dicho.isEmpty()) {
        QTRY_COMPARE(DescripcionDe(c, u"10"_s), guardado);
        QCOMPARE(arbol.SelectedItem(), Nodo(frm, u"10"_s));
        QTRY_VERIFY(arbol.hasFocus());
        QCOMPARE(Nodo(frm, u"1"_s)->Image(), 2);
    } else {
        QTRY_COMPARE(Dichos(c).size(), 1);
        QVERIFY2(Dichos(c, true).value(0).contains(dicho), qPrintable(Dichos(c, true).join(u'\n')));
        QCOMPARE(enTransaccion, QList<bool>{false});
        QTRY_VERIFY(arbol.isAncestorOf(QApplication::focusWidget())
                    && qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        QCOMPARE(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), texto);
        // The edit is left open: the window is deleted with it so, as when its host closes.
    }
    if (otro)
        QVERIFY_SQL(otro->Execute(u"ROLLBACK"_s));
    QCOMPARE(DescripcionDe(c, u"10"_s), guardado);
    QCOMPARE(Nodo(frm, u"10"_s)->Text(), u"10 - "_s + guardado);
}

QTEST_MAIN(TstCatalogo)
#include "tst_catalogo.moc"
