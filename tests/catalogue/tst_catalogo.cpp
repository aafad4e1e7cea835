// The catalogue window: loading the tree from the store, resizing, and the tree's events.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/dialogs/frmInput.h"
#include "kt508/services/Controles.h"
#include "kt508/store/Publico.h"
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

using pruebas::Componente;
using pruebas::Contenido;

namespace {

const QVariant Nulo = QVariant(QMetaType::fromType<QString>());

QString DescripcionDe(Componente& c, const QString& clave)
{
    return pruebas::escalar(c.db(), QStringLiteral("SELECT CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%1'")
                                        .arg(clave))
        .toString();
}

// Keys of the children of a node, in tree order.
QStringList Hijos(kt508::Node* nodo)
{
    QStringList claves;
    for (kt508::Node* hijo = nodo->Child(); hijo; hijo = hijo->Next())
        claves << hijo->Key();
    return claves;
}

// A tree that refuses its root while told to: the whole load fails at its first step.
class ArbolSinRaiz : public orbanel::ArbolVex {
public:
    using orbanel::ArbolVex::ArbolVex;
    kt508::Node* Add(const QString& relative, int relationship, const QString& key, const QString& text,
                     int image) override
    {
        if (rechazaRaiz && key == QLatin1String("N0"))
            throw kt508::Error(QStringLiteral("El árbol no admite más nodos."));
        return orbanel::ArbolVex::Add(relative, relationship, key, text, image);
    }
    static inline bool rechazaRaiz = false;
};

} // namespace

class TstCatalogo : public QObject {
    Q_OBJECT

private slots:
    void arbolVacio_data() { pruebas::agregaBackends(); }
    void arbolVacio();
    void arbolDeDemo_data() { pruebas::agregaBackends(); }
    void arbolDeDemo();
    void nodos_data() { pruebas::agregaBackends(); }
    void nodos();
    void sentenciasDeLaCarga_data() { pruebas::agregaBackends(); }
    void sentenciasDeLaCarga();
    void falloAMitadDeLaCarga_data() { pruebas::agregaBackends(); }
    void falloAMitadDeLaCarga();
    void falloDelArbolEntero();
    void cargaDeLaVentana();
    void cargaFallidaSeReintenta();
    void disenoYTabulador();
    void redimensiona();

    void nodeClickOfreceComandos_data() { pruebas::agregaBackends(); }
    void nodeClickOfreceComandos();
    void renombra_data() { pruebas::agregaBackends(); }
    void renombra();
    void renombraVacioNoCambiaNada();
    void renombreRechazadoSeMuestra();
    void renombraConF2();
    void iconosAlExpandirYContraer();
    void teclas();
    void busqueda();
    void consulta();
    void falloAjenoConElIdentificadorDelComando_data();
    void falloAjenoConElIdentificadorDelComando();
};

void TstCatalogo::arbolVacio()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    frmKT508& frm = c.Carga();
    QCOMPARE(frm.tvCeCos->Count(), 1);
    kt508::Node* raiz = frm.tvCeCos->NodeAt(1);
    QCOMPARE(raiz->Key(), QStringLiteral("N0"));
    QCOMPARE(raiz->Text(), QStringLiteral("RAIZ"));
    QCOMPARE(raiz->Image(), 1);
    QCOMPARE(raiz->Tag(), QVariant(1));
    QCOMPARE(raiz->Children(), 0);
    QVERIFY(!frm.tvCeCos->SelectedItem());
}

void TstCatalogo::arbolDeDemo()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Demo);
    frmKT508& frm = c.Carga();
    const int centros = pruebas::escalar(c.db(), QStringLiteral("SELECT COUNT(*) FROM Centro_Costo")).toInt();
    QVERIFY(centros >= 40);
    QCOMPARE(frm.tvCeCos->Count(), centros + 1);

    kt508::Recordset rs = c.db().Execute(QStringLiteral("SELECT * FROM Centro_Costo"));
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString clave = rs.Fields(QStringLiteral("cc_cve_centro_costo")).Value.toString();
        kt508::Node* nodo = frm.tvCeCos->Nodes(QLatin1Char('N') + clave);
        QVERIFY2(nodo, qPrintable(clave));
        QCOMPARE(nodo->Parent()->Key(), QLatin1Char('N') + rs.Fields(QStringLiteral("CC_Acumula")).Value.toString());
        const bool activo = rs.Fields(QStringLiteral("Es_Cve_Estado")).Value.toString() == QLatin1String("AC");
        QCOMPARE(nodo->Image(), activo ? 1 : 3);
    }
    // The demo has deactivated centres, and they must look different.
    QVERIFY(pruebas::escalar(c.db(), QStringLiteral("SELECT COUNT(*) FROM Centro_Costo WHERE Es_Cve_Estado = 'BA'")).toInt() > 0);
}

void TstCatalogo::nodos()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    const QString cincuenta = QStringLiteral("Ñandú O'Higgins «áéíóú» ").leftJustified(50, QLatin1Char('x'));
    c.Inserta(QStringLiteral("20"), QStringLiteral("0"), QStringLiteral("Producción"), 1, QStringLiteral("BA"));
    c.Inserta(QStringLiteral("201"), QStringLiteral("20"), QStringLiteral("Activo bajo inactivo"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("202"), QStringLiteral("20"), Nulo, 0, Nulo);
    c.Inserta(QStringLiteral("3"), QStringLiteral("0"), cincuenta, 0, QStringLiteral("XX"));
    c.Inserta(QStringLiteral("100"), QStringLiteral("0"), QStringLiteral("Hoja con filas hijas"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("1001"), QStringLiteral("100"), QStringLiteral("Oculto"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("4"), QStringLiteral("0"), QStringLiteral("Acumula sin hijos"), 1, QStringLiteral("AC"));

    frmKT508& frm = c.Carga();
    kt508::TreeView& arbol = *frm.tvCeCos;
    QCOMPARE(Hijos(arbol.Nodes(QStringLiteral("N0"))),
             (QStringList{QStringLiteral("N100"), QStringLiteral("N20"), QStringLiteral("N3"), QStringLiteral("N4")}));
    QCOMPARE(arbol.Nodes(QStringLiteral("N20"))->Image(), 3);
    QCOMPARE(arbol.Nodes(QStringLiteral("N201"))->Image(), 1);
    QCOMPARE(arbol.Nodes(QStringLiteral("N202"))->Image(), 3);
    QCOMPARE(arbol.Nodes(QStringLiteral("N202"))->Text(), QStringLiteral("202 - "));
    QCOMPARE(arbol.Nodes(QStringLiteral("N3"))->Text(), QStringLiteral("3 - ") + cincuenta);
    QCOMPARE(arbol.Nodes(QStringLiteral("N3"))->Image(), 3);
    QCOMPARE(arbol.Nodes(QStringLiteral("N100"))->Children(), 0);
    QVERIFY(!arbol.Nodes(QStringLiteral("N1001")));
    QCOMPARE(arbol.Nodes(QStringLiteral("N4"))->Children(), 0);
    QCOMPARE(arbol.Count(), 7);
}

void TstCatalogo::sentenciasDeLaCarga()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("B"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("D"), 0, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    c.db().setRecording(true);
    frm.CargarCecos();
    const QString patron = QStringLiteral("SELECT * FROM Centro_Costo WHERE CC_Acumula = '%1' ORDER BY CC_Acumula, Cc_Cve_Centro_Costo ");
    QCOMPARE(c.db().recorded(), (QStringList{patron.arg(0), patron.arg(1), patron.arg(10)}));
}

void TstCatalogo::falloAMitadDeLaCarga()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("B"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("C"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("20"), QStringLiteral("2"), QStringLiteral("D"), 0, QStringLiteral("AC"));
    c.db().failContaining(QStringLiteral("CC_Acumula = '1'"));
    frmKT508& frm = c.Carga();

    const QList<pruebas::LlamadaMensaje> mensajes = c.dobles.datos->Mensajes();
    QCOMPARE(mensajes.size(), 1);
    QCOMPARE(mensajes[0].errId, QStringLiteral("ERR-ID:7500033"));
    QCOMPARE(mensajes[0].titulo, QStringLiteral("AddSubMenu()"));
    QCOMPARE(mensajes[0].estilo, 16);
    QCOMPARE(mensajes[0].modulo, QStringLiteral("KT508"));
    QVERIFY(!mensajes[0].texto.isEmpty());
    QVERIFY(frm.tvCeCos->Nodes(QStringLiteral("N1")));
    QVERIFY(!frm.tvCeCos->Nodes(QStringLiteral("N10")));
    QVERIFY(frm.tvCeCos->Nodes(QStringLiteral("N20")));
}

// A failure of the load's own steps (not of one level) carries the load's identifier.
void TstCatalogo::falloDelArbolEntero()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 0, QStringLiteral("AC"));
    kt508::plataforma().NuevoTreeView = [](QWidget* padre) { return new ArbolSinRaiz(padre); };
    frmKT508& frm = c.Carga();
    QVERIFY(frm.tvCeCos->Nodes(QStringLiteral("N1")));
    frm.tvCeCos->setFocus();
    ArbolSinRaiz::rechazaRaiz = true;
    pruebas::Tecla(&frm, Qt::Key_F5);
    ArbolSinRaiz::rechazaRaiz = false;

    const QList<pruebas::LlamadaMensaje> mensajes = c.dobles.datos->Mensajes();
    QCOMPARE(mensajes.size(), 1);
    QCOMPARE(mensajes[0].errId, QStringLiteral("ERR-ID:7500034"));
    QCOMPARE(mensajes[0].titulo, QStringLiteral("CargarCecos()"));
    QCOMPARE(mensajes[0].texto, QStringLiteral("El árbol no admite más nodos."));
    QCOMPARE(frm.tvCeCos->Count(), 0);
}

void TstCatalogo::cargaDeLaVentana()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    frmKT508& frm = frmKT508::Instancia();
    QVERIFY(!frm.Cargada());
    c.Carga();
    QVERIFY(frm.Cargada());
    // The demo's setting, not the fallback.
    QCOMPARE(frm.DefaultGroup, QStringLiteral("000100"));
    QCOMPARE(frm.Controles->b1caption(), QString());
    QVERIFY(frm.Controles->enabledFlag(2));
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    QTRY_VERIFY(frm.tvCeCos->hasFocus());
}

// The load's failure reaches whoever caused it; the window stays unloaded, offers nothing,
// and the next showing loads it.
void TstCatalogo::cargaFallidaSeReintenta()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    c.db().failWhen([](const QString& sentencia) { return sentencia.contains(QStringLiteral("FROM Parametros")); });
    frmKT508& frm = frmKT508::Instancia();
    QString fallo;
    QVERIFY(QMetaObject::invokeMethod(&frm, "Load", Q_RETURN_ARG(QString, fallo)));
    QVERIFY(!fallo.isEmpty());
    QVERIFY(!frm.Cargada());
    QVERIFY(!frm.Controles);
    QVERIFY(c.dobles.datos->Mensajes().isEmpty());

    frm.show();
    QVERIFY(!frm.isVisible());
    QCOMPARE(c.dobles.datos->Mensajes().size(), 1);
    QCOMPARE(c.dobles.datos->Mensajes()[0].titulo, QStringLiteral("Form_Load()"));
    QCOMPARE(c.dobles.datos->Mensajes()[0].errId, QStringLiteral("ERR-ID:7500034"));

    c.db().clearFailure();
    c.Carga();
    QVERIFY(frm.Cargada());
    QVERIFY(frm.isVisible());
    QCOMPARE(frm.DefaultGroup, QStringLiteral("000100"));
    QCOMPARE(frm.Controles->b1caption(), QString());
}

// The frame's font, and Tab's way through the window (the toolbar takes no focus): the key,
// the account, the tree, and round again.
void TstCatalogo::disenoYTabulador()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    frmKT508& frm = c.Carga();
    QCOMPARE(frm.frFrame->font().family(), QStringLiteral("Calibri"));
    QCOMPARE(frm.frFrame->font().pointSizeF(), 8.25);
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    frm.txtClave->setFocus(Qt::TabFocusReason);
    QStringList recorrido;
    for (int i = 0; i < 3; ++i) {
        pruebas::Tecla(&frm, Qt::Key_Tab);
        for (QWidget* w : std::initializer_list<QWidget*>{frm.txtClave, frm.txtCuenta, frm.tvCeCos})
            if (w->isAncestorOf(QApplication::focusWidget()) || w == QApplication::focusWidget())
                recorrido << w->objectName();
    }
    QCOMPARE(recorrido,
             (QStringList{QStringLiteral("txtCuenta"), QStringLiteral("tvCeCos"), QStringLiteral("txtClave")}));
}

// The tree takes the window's width and height less the margins and the frame, which follows
// it; a window too small for them leaves both as they were, and nobody is told.
void TstCatalogo::redimensiona()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    frmKT508& frm = c.Carga();
    QWidget& arbol = *frm.tvCeCos;
    QWidget& marco = *frm.frFrame;
    frm.resize(900, 600);
    QTRY_COMPARE(frm.height(), 600);
    QCOMPARE(arbol.x() + arbol.width() + arbol.x(), 900);
    QCOMPARE(marco.y(), arbol.y() + arbol.height() + kt508::Px(100));
    // The frame ends 100 twips above the window's bottom, give or take the pixels' rounding.
    const int abajo = 600 - (marco.y() + marco.height());
    QVERIFY2(abajo >= kt508::Px(100) && abajo <= kt508::Px(100) + 2, qPrintable(QString::number(abajo)));
    const QRect antes = arbol.geometry();
    frm.resize(2 * arbol.x() - 1, arbol.y() + marco.height());
    QTRY_COMPARE(frm.height(), arbol.y() + marco.height());
    QCOMPARE(arbol.geometry(), antes);
    QCOMPARE(marco.y(), antes.bottom() + 1 + kt508::Px(100));
    QVERIFY(c.dobles.datos->llamadas.isEmpty());
}

void TstCatalogo::nodeClickOfreceComandos()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("Activo"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("Inactivo"), 0, QStringLiteral("BA"));
    c.db().Execute(QStringLiteral("UPDATE Centro_Costo SET CC_Cuenta_Contable = '5100-001' WHERE CC_Cve_Centro_Costo = '1'"));
    frmKT508& frm = c.Carga();
    kt508::Controles& barra = *frm.Controles;
    auto ofrece = [&] {
        QString flags;
        for (int n = 1; n <= 6; ++n)
            flags += barra.enabledFlag(n) ? QLatin1Char('1') : QLatin1Char('0');
        return flags + QLatin1Char('|') + barra.b1caption();
    };

    emit frm.tvCeCos->NodeClick(frm.tvCeCos->Nodes(QStringLiteral("N0")));
    QCOMPARE(frm.txtClave->Text(), QStringLiteral("0"));
    QCOMPARE(frm.txtCuenta->Text(), QString());
    QCOMPARE(ofrece(), QStringLiteral("010001|"));

    emit frm.tvCeCos->NodeClick(frm.tvCeCos->Nodes(QStringLiteral("N1")));
    QCOMPARE(frm.txtClave->Text(), QStringLiteral("1"));
    QCOMPARE(frm.txtCuenta->Text(), QStringLiteral("5100-001"));
    QCOMPARE(ofrece(), QStringLiteral("100111|Eliminar"));

    emit frm.tvCeCos->NodeClick(frm.tvCeCos->Nodes(QStringLiteral("N2")));
    QCOMPARE(ofrece(), QStringLiteral("001000|"));
    // After a deactivated centre, an active one no longer offers Reactivar.
    emit frm.tvCeCos->NodeClick(frm.tvCeCos->Nodes(QStringLiteral("N1")));
    QCOMPARE(ofrece(), QStringLiteral("100111|Eliminar"));
    // A reload leaves nothing selected, and nothing to delete.
    frm.tvCeCos->setFocus();
    pruebas::Tecla(&frm, Qt::Key_F5);
    QVERIFY(!frm.tvCeCos->SelectedItem());
    QCOMPARE(frm.Controles->b1caption(), QString());

    // An expanded deactivated centre (image 4) is still deactivated.
    frm.tvCeCos->Nodes(QStringLiteral("N2"))->setImage(4);
    emit frm.tvCeCos->NodeClick(frm.tvCeCos->Nodes(QStringLiteral("N2")));
    QCOMPARE(ofrece(), QStringLiteral("001000|"));
}

void TstCatalogo::renombra()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    c.Inserta(QStringLiteral("105"), QStringLiteral("0"), QStringLiteral("Ventas norte"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("106"), QStringLiteral("0"), QStringLiteral("Ventas sur"), 0, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    kt508::TreeView& arbol = *frm.tvCeCos;
    c.dobles.utilerias->reloj = QDateTime(QDate(2026, 12, 5), QTime(10, 30, 0));

    arbol.setSelectedItem(arbol.Nodes(QStringLiteral("N105")));
    c.db().setRecording(true);
    // The tree is rebuilt under the hourglass.
    int cursorDeLaCarga = -1;
    c.db().failWhen([&](const QString& sentencia) {
        if (sentencia.contains(QStringLiteral("CC_Acumula = '0'")))
            cursorDeLaCarga =
                QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
        return false;
    });
    int cancel = 0;
    QString texto = QStringLiteral("105 - Ventas Norte-Sur");
    emit arbol.AfterLabelEdit(cancel, texto);
    c.db().clearFailure();
    QCOMPARE(cursorDeLaCarga, int(Qt::WaitCursor));
    QCOMPARE(cancel, 0);
    QCOMPARE(texto, QStringLiteral("VENTAS NORTESUR"));
    QCOMPARE(DescripcionDe(c, QStringLiteral("105")), QStringLiteral("VENTAS NORTESUR"));
    QCOMPARE(c.db().recorded().first(),
             QStringLiteral("UPDATE Centro_Costo SET CC_Descripcion = 'VENTAS NORTESUR',    Oper_Ult_Modif = 'PRUEBAS',    "
                            "Fecha_Ult_Modif = '2026-12-05 10:30:00' WHERE CC_Cve_Centro_Costo = '105'"));
    kt508::Node* nodo = arbol.Nodes(QStringLiteral("N105"));
    QCOMPARE(nodo->Text(), QStringLiteral("105 - VENTAS NORTESUR"));
    QCOMPARE(arbol.SelectedItem(), nodo);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // A quote in the text is stored as typed.
    arbol.setSelectedItem(arbol.Nodes(QStringLiteral("N106")));
    texto = QStringLiteral("106 - D'Artagnan");
    emit arbol.AfterLabelEdit(cancel, texto);
    QCOMPARE(DescripcionDe(c, QStringLiteral("106")), QStringLiteral("D'ARTAGNAN"));
    QVERIFY(c.dobles.datos->llamadas.isEmpty());

    // Longer than the column, on every database alike: told in words, nothing written.
    texto = QStringLiteral("106 - ") + QString(51, QLatin1Char('x'));
    emit arbol.AfterLabelEdit(cancel = 0, texto);
    QCOMPARE(cancel, 1);
    QCOMPARE(DescripcionDe(c, QStringLiteral("106")), QStringLiteral("D'ARTAGNAN"));
    QCOMPARE(c.dobles.datos->Mensajes().size(), 1);
    QCOMPARE(c.dobles.datos->Mensajes()[0].texto, QStringLiteral("La descripción admite hasta 50 caracteres; la indicada tiene 51."));
}

void TstCatalogo::renombraVacioNoCambiaNada()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("105"), QStringLiteral("0"), QStringLiteral("Ventas norte"), 0, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(QStringLiteral("N105")));
    c.db().setRecording(true);
    int cancel = 0;
    QString texto;
    emit frm.tvCeCos->AfterLabelEdit(cancel, texto);
    QCOMPARE(cancel, 1);
    QVERIFY(c.db().recorded().isEmpty());
    QCOMPARE(frm.tvCeCos->Nodes(QStringLiteral("N105"))->Text(), QStringLiteral("105 - Ventas norte"));

    // Text of blanks and hyphens only is no empty edit: it stores an empty description.
    texto = QStringLiteral(" - ");
    emit frm.tvCeCos->AfterLabelEdit(cancel = 0, texto);
    QCOMPARE(cancel, 0);
    QCOMPARE(DescripcionDe(c, QStringLiteral("105")), QString());
}

void TstCatalogo::renombreRechazadoSeMuestra()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("105"), QStringLiteral("0"), QStringLiteral("Ventas norte"), 0, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(QStringLiteral("N105")));
    c.db().failContaining(QStringLiteral("UPDATE Centro_Costo"));
    int cancel = 0;
    QString texto = QStringLiteral("105 - Otra cosa");
    // A wait cursor that is not the rename's own stays as it was.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    emit frm.tvCeCos->AfterLabelEdit(cancel, texto);
    const bool cursorAjeno = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
    QApplication::restoreOverrideCursor();
    QVERIFY(cursorAjeno);
    QCOMPARE(cancel, 1);
    QCOMPARE(c.dobles.datos->Mensajes().size(), 1);
    QCOMPARE(c.dobles.datos->Mensajes()[0].estilo, 16);
    QCOMPARE(c.dobles.datos->Mensajes()[0].titulo, QStringLiteral("tvCeCos_AfterLabelEdit()"));
    QCOMPARE(c.dobles.datos->Mensajes()[0].errId, QStringLiteral("ERR-ID:7500034"));
    QCOMPARE(DescripcionDe(c, QStringLiteral("105")), QStringLiteral("Ventas norte"));
}

// As a user does it: F2 opens the edit, a click elsewhere ends it. The tree is rebuilt with the
// centre in view, its parent opened by code shows the open image, and the tree has the focus.
void TstCatalogo::renombraConF2()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("Ventas"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("Ventas norte"), 0, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    kt508::TreeView& arbol = *frm.tvCeCos;
    arbol.setSelectedItem(arbol.Nodes(QStringLiteral("N10")));
    arbol.setFocus();

    pruebas::Tecla(&frm, Qt::Key_F2);
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    pruebas::Escribe(&frm, QStringLiteral("Cobranza"));
    frm.txtCuenta->setFocus(Qt::MouseFocusReason);

    QTRY_COMPARE(DescripcionDe(c, QStringLiteral("10")), QStringLiteral("COBRANZA"));
    QCOMPARE(arbol.SelectedItem(), arbol.Nodes(QStringLiteral("N10")));
    QTRY_VERIFY(arbol.hasFocus());
    kt508::Node* padre = arbol.Nodes(QStringLiteral("N1"));
    QCOMPARE(padre->Image(), 2);

    // The user closes the parent: still an active centre, offering what an active one does.
    arbol.setSelectedItem(padre);
    pruebas::Tecla(&frm, Qt::Key_Left);
    QCOMPARE(padre->Image(), 1);
    emit arbol.NodeClick(padre);
    QVERIFY(!frm.Controles->enabledFlag(3));
    QCOMPARE(frm.Controles->b1caption(), QStringLiteral("Eliminar"));
}

void TstCatalogo::iconosAlExpandirYContraer()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 1, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("A1"), 0, QStringLiteral("AC"));
    c.Inserta(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("B"), 1, QStringLiteral("BA"));
    c.Inserta(QStringLiteral("20"), QStringLiteral("2"), QStringLiteral("B1"), 0, QStringLiteral("BA"));
    frmKT508& frm = c.Carga();
    frm.tvCeCos->setFocus();
    // The user opens and closes each branch from the keyboard.
    auto abreYCierra = [&](const QString& clave) {
        kt508::Node* nodo = frm.tvCeCos->Nodes(clave);
        frm.tvCeCos->setSelectedItem(nodo);
        pruebas::Tecla(&frm, Qt::Key_Right);
        const int abierta = nodo->Image();
        pruebas::Tecla(&frm, Qt::Key_Left);
        return QPair<int, int>(abierta, nodo->Image());
    };
    QCOMPARE(abreYCierra(QStringLiteral("N1")), qMakePair(2, 1));
    QCOMPARE(abreYCierra(QStringLiteral("N2")), qMakePair(4, 3));
}

void TstCatalogo::teclas()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 0, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    frm.tvCeCos->setFocus();
    c.db().setRecording(true);

    pruebas::Tecla(&frm, Qt::Key_F5, Qt::ShiftModifier);
    QCOMPARE(c.db().recorded().size(), 1); // the root's query: the tree was rebuilt
    pruebas::Tecla(&frm, Qt::Key_F5, Qt::ControlModifier);
    pruebas::Tecla(&frm, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(c.db().recorded().size(), 1);
    QVERIFY(c.dobles.utilerias->busquedas.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
}

void TstCatalogo::busqueda()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    c.dobles.utilerias->soloRegistraBusquedas = true;
    frmKT508& frm = c.Carga();
    frm.tvCeCos->setFocus();

    // F3 before any search asks; closing the dialog without accepting searches nothing.
    bool pregunto = false;
    pruebas::EnModal([&](QWidget* modal) {
        auto* dialogo = qobject_cast<frmInput*>(modal);
        pregunto = dialogo && dialogo->txtValor->Text().isEmpty();
        if (modal)
            pruebas::Tecla(modal, Qt::Key_Escape);
    });
    pruebas::Tecla(&frm, Qt::Key_F3);
    QVERIFY(pregunto);
    QVERIFY(c.dobles.utilerias->busquedas.isEmpty());

    // Ctrl+B asks, the value is searched and remembered.
    pruebas::EnModal([&](QWidget* modal) {
        if (!modal)
            return;
        pruebas::Escribe(modal, QStringLiteral("ventas"));
        pruebas::Tecla(modal, Qt::Key_F4);
    });
    pruebas::Tecla(&frm, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(c.dobles.utilerias->busquedas.size(), 1);
    QCOMPARE(c.dobles.utilerias->busquedas[0].texto, QStringLiteral("ventas"));
    QCOMPARE(frm.SearchValue, QStringLiteral("ventas"));

    // F3 (and Shift+F3) repeat it without asking.
    pruebas::Tecla(&frm, Qt::Key_F3);
    pruebas::Tecla(&frm, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(c.dobles.utilerias->busquedas.size(), 3);
    QCOMPARE(c.dobles.utilerias->busquedas[2].texto, QStringLiteral("ventas"));

    // A second accepted value replaces the first.
    pruebas::EnModal([&](QWidget* modal) {
        auto* dialogo = qobject_cast<frmInput*>(modal);
        if (!dialogo)
            return;
        dialogo->txtValor->setText(QString());
        pruebas::Escribe(modal, QStringLiteral("norte"));
        pruebas::Tecla(modal, Qt::Key_F4);
    });
    pruebas::Tecla(&frm, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(c.dobles.utilerias->busquedas.size(), 4);
    QCOMPARE(c.dobles.utilerias->busquedas[3].texto, QStringLiteral("norte"));

    // Ctrl+B again opens with the last value; cancelling repeats the last search.
    QString inicial;
    pruebas::EnModal([&](QWidget* modal) {
        if (auto* dialogo = qobject_cast<frmInput*>(modal)) {
            inicial = dialogo->txtValor->Text();
            pruebas::Tecla(modal, Qt::Key_Escape);
        }
    });
    pruebas::Tecla(&frm, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(inicial, QStringLiteral("norte"));
    QCOMPARE(c.dobles.utilerias->busquedas.size(), 5);
    QCOMPARE(c.dobles.utilerias->busquedas[4].texto, QStringLiteral("norte"));
}

void TstCatalogo::consulta()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 0, QStringLiteral("AC"));
    frmKT508& frm = c.Carga();
    emit frm.Controles->Consulta();
    QVERIFY(c.dobles.consulta->llamadas.isEmpty());

    frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(QStringLiteral("N0")));
    emit frm.Controles->Consulta();
    frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(QStringLiteral("N1")));
    emit frm.Controles->Consulta();
    QCOMPARE(c.dobles.consulta->llamadas.size(), 2);
    QCOMPARE(c.dobles.consulta->llamadas[0].tabla, QStringLiteral("Centro_Costo"));
    QCOMPARE(c.dobles.consulta->llamadas[0].campoClave, QStringLiteral("Cc_Cve_Centro_Costo"));
    QCOMPARE(c.dobles.consulta->llamadas[0].clave, QStringLiteral("0"));
    QCOMPARE(c.dobles.consulta->llamadas[1].clave, QStringLiteral("1"));
}

void TstCatalogo::falloAjenoConElIdentificadorDelComando_data()
{
    QTest::addColumn<QString>("comando");
    QTest::addColumn<QString>("estado");
    QTest::addColumn<QString>("dicho");
    QTest::newRow("cuenta") << QStringLiteral("B3Click") << QStringLiteral("AC")
                            << QStringLiteral("Controles_B3Click()|ERR-ID:7500017");
    QTest::newRow("baja") << QStringLiteral("Eliminar") << QStringLiteral("AC")
                          << QStringLiteral("Controles_Eliminar()|ERR-ID:7500024");
    QTest::newRow("reactivar") << QStringLiteral("Reactivar") << QStringLiteral("BA")
                               << QStringLiteral("Controles_Reactivar()|ERR-ID:7500031");
    QTest::newRow("eliminar") << QStringLiteral("B1Click") << QStringLiteral("AC")
                              << QStringLiteral("Controles_B1Click()|ERR-ID:7500015");
}

// A failure that is not the store's own still reaches the user under the command's error path,
// never under its refusal, and nothing is left written.
void TstCatalogo::falloAjenoConElIdentificadorDelComando()
{
    QFETCH(QString, comando);
    QFETCH(QString, estado);
    QFETCH(QString, dicho);
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    c.Inserta(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("A"), 0, estado);
    frmKT508& frm = c.Carga();
    emit frm.tvCeCos->NodeClick(frm.tvCeCos->Nodes(QStringLiteral("N1")));
    frm.tvCeCos->setSelectedItem(frm.tvCeCos->Nodes(QStringLiteral("N1")));
    const QString antes = pruebas::volcado(c.db());
    struct DatosSinMemoria : pruebas::DatosDePrueba {
        using DatosDePrueba::DatosDePrueba;
        kt508::Connection& Conexion() override { throw std::bad_alloc(); }
    } datos(c.dobles.datos);
    c.dobles.datos->respuestas = {kt508::vbYes};
    kt508::IDatos* const datosDeLaPrueba = std::exchange(Publico::Datos, &datos);
    QVERIFY(QMetaObject::invokeMethod(frm.Controles, qPrintable(comando)));
    Publico::Datos = datosDeLaPrueba;
    QStringList dichos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->Mensajes())
        if (m.estilo == 16)
            dichos << m.titulo + QLatin1Char('|') + m.errId;
    QCOMPARE(dichos, QStringList{dicho});
    QCOMPARE(pruebas::volcado(c.db()), antes);
    QVERIFY(!c.db().inTransaction());
}

QTEST_MAIN(TstCatalogo)
#include "tst_catalogo.moc"
