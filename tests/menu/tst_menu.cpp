// Every command by keyboard: the tree's menu against the toolbar, each way of opening it, its
// entries running their commands, and the toolbar's buttons reached with Tab and their keys.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "suite/ado/AdoConnection.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;

namespace {

// P holds 1; 2 is an active leaf, B a deactivated one.
void Catalogo(Componente& c)
{
    c.Inserta({u"P|0|Padre|1|AC"_s, u"1|P|Hijo|0|AC"_s, u"2|0|Hoja|0|AC"_s, u"B|0|De baja|0|BA"_s});
}

// The menu's entries, "text|1" when offered, "text|0" when not; the key it names aside.
QStringList Entradas(QMenu* menu)
{
    QStringList entradas;
    if (!menu)
        return {u"(sin menú)"_s};
    for (QAction* accion : menu->actions())
        if (!accion->isSeparator())
            entradas << accion->text().section(u'\t', 0, 0) + (accion->isEnabled() ? u"|1"_s : u"|0"_s);
    return entradas;
}

// What the toolbar offers of the commands the menu lists, in the menu's order.
QStringList OfertaDeLaBarra(frmKT508& frm)
{
    QStringList ofertas;
    for (const char* nombre :
         {"btnNuevo", "btnEditar", "btnConsulta", "btnReactivar", "btnEliminar", "btnB1", "btnB3", "btnImprimir"}) {
        ofertas << (pruebas::Ofrecido(frm, QLatin1String(nombre)) ? u"1"_s : u"0"_s);
    }
    return ofertas;
}

const QStringList Textos = u"&Nuevo|&Editar|&Consulta|&Reactivar|&Baja|E&liminar|Cambiar c&uenta contable|&Imprimir|"
                           "&Historial|E&xportar catálogo…|Mo&ver a…"_s.split(u'|');

// Opens the menu as asked, reads it and closes it with Escape.
QStringList AbreYLee(frmKT508& frm, const QString& como, const QString& clave)
{
    QStringList leidas;
    pruebas::EnMenu([&](QMenu* menu) {
        leidas = Entradas(menu);
        if (menu)
            QTest::keyClick(menu, Qt::Key_Escape);
    });
    if (como == "raton"_L1) {
        pruebas::Clic(frm, clave, Qt::RightButton);
    } else {
        if (!clave.isEmpty())
            pruebas::Clic(frm, clave);
        frm.tvCeCos->setFocus();
        if (como == "F10"_L1)
            pruebas::Tecla(&frm, Qt::Key_F10, Qt::ShiftModifier);
        else
            pruebas::Tecla(&frm, Qt::Key_Menu);
    }
    return leidas;
}

// Opens the menu with Shift+F10 and picks the entry by its underlined letter.
void Elige(frmKT508& frm, Qt::Key letra)
{
    pruebas::EnMenu([letra](QMenu* menu) {
        if (menu)
            QTest::keyClick(menu, letra);
    });
    frm.tvCeCos->setFocus();
    pruebas::Tecla(&frm, Qt::Key_F10, Qt::ShiftModifier);
}

QString Estado(Componente& c, const QString& clave)
{
    return c.Filas(u"SELECT Es_Cve_Estado FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%1'"_s.arg(clave)).value(0);
}

} // namespace

class TstMenu : public QObject {
    Q_OBJECT

private slots:
    void ofreceLoQueLaBarra_data();
    void ofreceLoQueLaBarra();
    void entradasYTeclas();
};

void TstMenu::ofreceLoQueLaBarra_data()
{
    QTest::addColumn<QString>("como");  // F10 (Shift+F10), Menu (the Menu key), raton (the right button)
    QTest::addColumn<QString>("antes"); // the node clicked before, if any
    QTest::addColumn<QString>("clave"); // the node the menu is asked on
    QTest::addColumn<QString>("ofrecidas");
    QTest::newRow("recién cargado") << u"F10"_s << QString() << QString() << u"00000011010"_s;
    QTest::newRow("raíz") << u"Menu"_s << QString() << u"0"_s << u"10000011010"_s;
    QTest::newRow("padre con hijos") << u"F10"_s << QString() << u"P"_s << u"11101110111"_s;
    QTest::newRow("hoja activa") << u"raton"_s << u"B"_s << u"2"_s << u"11101110111"_s;
    QTest::newRow("centro de baja") << u"raton"_s << u"0"_s << u"B"_s << u"00010010111"_s;
    QTest::newRow("de baja, por teclado") << u"Menu"_s << QString() << u"B"_s << u"00010010111"_s;
}

// Each entry is offered exactly when the toolbar offers its command; the right button clicks the
// node before the menu opens.
void TstMenu::ofreceLoQueLaBarra()
{
    QFETCH(QString, como);
    QFETCH(QString, antes);
    QFETCH(QString, clave);
    QFETCH(QString, ofrecidas);
    Componente c(u"sqlite"_s, Contenido::Vacio);
    Catalogo(c);
    frmKT508& frm = c.Carga();
    if (!antes.isEmpty())
        pruebas::Clic(frm, antes);
    const QStringList leidas = AbreYLee(frm, como, clave);
    QCOMPARE(frm.txtClave->Text(), clave);
    QStringList esperadas;
    for (qsizetype i = 0; i < Textos.size(); ++i)
        esperadas << Textos.at(i) + u'|' + ofrecidas.at(i);
    QCOMPARE(leidas, esperadas);
    QStringList delMenu;
    for (const QString& entrada : leidas.mid(0, 8))
        delMenu << entrada.section(u'|', 1);
    QCOMPARE(delMenu, OfertaDeLaBarra(frm));
}

// Baja and Reactivar from the menu change the store as their buttons do and end their command (a
// command left running would refuse the next). Tab from the tree reaches the first button on
// offer, Enter presses it; a key raises its command only while the button is offered, and each
// tooltip names the key. Historial and Exportar open the suite's windows.
void TstMenu::entradasYTeclas()
{
    Componente c(u"sqlite"_s, Contenido::Vacio);
    Catalogo(c);
    frmKT508& frm = c.Carga();
    pruebas::Clic(frm, u"2"_s);
    Elige(frm, Qt::Key_B);
    QCOMPARE(Estado(c, u"2"_s), u"BA"_s);
    // Until the next click the toolbar's commands wait; what the selected centre allows stays.
    QCOMPARE(AbreYLee(frm, u"F10"_s, QString()).join(u' ').count(u"|1"_s), 4);
    pruebas::Clic(frm, u"2"_s);
    Elige(frm, Qt::Key_R);
    QCOMPARE(Estado(c, u"2"_s), u"AC"_s);
    for (QToolButton* boton : frm.Controles->findChildren<QToolButton*>())
        QVERIFY2(!boton->isDown(), qPrintable(boton->objectName()));

    pruebas::Clic(frm, u"B"_s);
    frm.tvCeCos->setFocus();
    pruebas::Tecla(&frm, Qt::Key_Tab);
    QTRY_VERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), u"btnReactivar"_s);
    pruebas::Tecla(&frm, Qt::Key_Return);
    QCOMPARE(Estado(c, u"B"_s), u"AC"_s);
    QSignalSpy bajas(frm.Controles, &kt508::Controles::Eliminar);
    pruebas::Clic(frm, u"B"_s); // active now
    pruebas::Tecla(&frm, Qt::Key_Delete);
    QCOMPARE(Estado(c, u"B"_s), u"BA"_s);
    pruebas::Tecla(&frm, Qt::Key_Delete); // Baja is no longer on offer
    pruebas::Clic(frm, u"B"_s);
    pruebas::Tecla(&frm, Qt::Key_Delete);
    QCOMPARE(bajas.count(), 1);
    QStringList ayudas;
    for (const char* nombre : {"btnReactivar", "btnB3", "btnImprimir"})
        ayudas << frm.Controles->findChild<QToolButton*>(QLatin1String(nombre))->toolTip();
    QCOMPARE(ayudas,
             (QStringList{u"Reactivar el registro dado de baja (Ctrl+R)"_s, u"Cambiar cuenta contable (Ctrl+U)"_s,
                          u"Imprimir el catálogo (Ctrl+P)"_s}));

    QStringList cambios;
    pruebas::EnModal([&](QWidget* modal) {
        auto* tabla = modal ? modal->findChild<QTableWidget*>(u"tablaHistorial"_s) : nullptr;
        for (int fila = 0; tabla && fila < tabla->rowCount(); ++fila) {
            if (cambios.value(cambios.size() - 1) != tabla->item(fila, 2)->text())
                cambios << tabla->item(fila, 2)->text();
        }
        if (modal)
            QTest::keyClick(modal, Qt::Key_Escape);
    });
    Elige(frm, Qt::Key_H);
    QCOMPARE(cambios, (QStringList{u"Baja"_s, u"Reactivar"_s})); // newest first
    QString dialogo;
    pruebas::EnModal([&](QWidget* modal) {
        dialogo = modal ? modal->objectName() : QString();
        if (auto* archivos = qobject_cast<QFileDialog*>(modal))
            archivos->reject();
    });
    Elige(frm, Qt::Key_X);
    QCOMPARE(dialogo, u"DialogoExportar"_s);
    QVERIFY(c.dobles.datos->llamadas.isEmpty());
}

QTEST_MAIN(TstMenu)
#include "tst_menu.moc"
