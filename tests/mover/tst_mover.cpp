// Moving a centre with its branch: from the dialog with its look-up list and by drag and drop,
// every refusal leaving the store as it was, both parents' CC_Tipo kept right.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/dialogs/frmMover.h"
#include "kt508/services/Controles.h"
#include "suite/ado/AdoConnection.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;
using pruebas::Nodo;
using pruebas::Vista;

namespace {

QString Columnas(Componente& c, const QString& clave)
{
    return c
        .Filas(u"SELECT CC_Acumula, CC_Tipo, Oper_Ult_Modif FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%1'"_s.arg(
            clave))
        .value(0, u"-"_s);
}

// 1 Ventas > 10 Norte > 100 Centro, 1 > 11 Sur; 2 Operaciones > 20 Planta; 3 Hoja; 4 Baja (deactivated).
frmKT508& Carga(Componente& c)
{
    c.Inserta({u"1|0|Ventas|1|AC"_s, u"10|1|Norte|1|AC"_s, u"100|10|Centro|0|AC"_s, u"11|1|Sur|0|AC"_s,
               u"2|0|Operaciones|1|AC"_s, u"20|2|Planta|0|AC"_s, u"3|0|Hoja|0|AC"_s, u"4|0|Baja|0|BA"_s});
    frmKT508& frm = c.Carga();
    Nodo(frm, u"1"_s)->setExpanded(true);
    Nodo(frm, u"10"_s)->setExpanded(true);
    return frm;
}

// "Mo&ver a…" from the tree's menu (Shift+F10, V) on the selected centre.
void PideMover(frmKT508& frm)
{
    pruebas::EnMenu([](QMenu* menu) {
        if (menu)
            QTest::keyClick(menu, Qt::Key_V);
    });
    frm.tvCeCos->setFocus();
    pruebas::Tecla(&frm, Qt::Key_F10, Qt::ShiftModifier);
}

// The move asked for from the menu, answered with the new parent's key typed and F4; the
// question answered Yes.
void MueveConDialogo(Componente& c, frmKT508& frm, const QString& clave, const QString& nuevo)
{
    frm.tvCeCos->setSelectedItem(Nodo(frm, clave));
    c.dobles.datos->respuestas = {kt508::vbYes};
    pruebas::EnModal([&](QWidget* modal) {
        auto* dialogo = qobject_cast<frmMover*>(modal);
        if (!dialogo)
            return;
        dialogo->txtNuevoPadre->setFocus();
        pruebas::Escribe(dialogo, nuevo);
        pruebas::Tecla(dialogo, Qt::Key_F4);
    });
    PideMover(frm);
}

// What the user was told, text by text, and whether any came with a transaction open.
QStringList Dichos(Componente& c)
{
    QStringList dichos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->Mensajes())
        dichos << (m.conTransaccion ? u"EN TRANSACCIÓN "_s : QString()) + m.texto;
    return dichos;
}

} // namespace

class TstMover : public QObject {
    Q_OBJECT

private slots:
    void mueveLaRama_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void mueveLaRama();
    void rehusos_data();
    void rehusos();
    void fallaCadaSentencia_data() { pruebas::agregaBackends(); }
    void fallaCadaSentencia();
    void arrastraYSuelta();
};

// The question names both; the centre goes with its branch, still open, and stays selected; the
// new parent accumulates, the old one stops when it loses its last child; both moves stamped.
void TstMover::mueveLaRama()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    frmKT508& frm = Carga(c);
    MueveConDialogo(c, frm, u"10"_s, u"3"_s);
    QCOMPARE(Dichos(c), QStringList{u"¿Mover 10 - Norte y los centros que dependen de él a 3 - Hoja?"_s});
    QCOMPARE(Columnas(c, u"10"_s), u"3|1|PRUEBAS"_s);
    QCOMPARE(Columnas(c, u"3"_s), u"0|1|PRUEBAS"_s);
    QCOMPARE(Columnas(c, u"1"_s).section('|', 0, 1), u"0|1"_s);
    QCOMPARE(Vista(Nodo(frm, u"0"_s)),
             (QStringList{u"N0 2 RAIZ +"_s, u" N1 2 1 - Ventas +"_s, u"  N11 1 11 - Sur"_s, u" N2 1 2 - Operaciones"_s,
                          u"  N20 1 20 - Planta"_s, u" N3 1 3 - Hoja +"_s, u"  N10 2 10 - Norte +"_s,
                          u"   N100 1 100 - Centro"_s, u" N4 3 4 - Baja"_s}));
    QCOMPARE(frm.tvCeCos->SelectedItem(), Nodo(frm, u"10"_s));
    QCOMPARE(frm.txtClave->Text(), u"10"_s);
    QCOMPARE(pruebas::escalar(c.db(), u"SELECT Bc_Detalle FROM Bitacora_Cambios WHERE Bc_Clave = '10'"_s),
             QVariant(u"Movido de 1 a 3"_s));
    // The history holds the three rows as the move left them.
    QCOMPARE(pruebas::escalar(c.db(),
                              u"SELECT COUNT(*) FROM Historial_Centro WHERE Hc_Comando = 'Mover' AND ("
                              "(Hc_Clave = '10' AND CC_Acumula = '3') OR (Hc_Clave = '3' AND CC_Tipo = 1) "
                              "OR (Hc_Clave = '1' AND CC_Tipo = 1))"_s)
                 .toInt(),
             3);

    c.dobles.datos->llamadas.clear();
    MueveConDialogo(c, frm, u"11"_s, u"0"_s);
    QCOMPARE(Dichos(c), QStringList{u"¿Mover 11 - Sur y los centros que dependen de él a RAIZ?"_s});
    QCOMPARE(Columnas(c, u"1"_s), u"0|0|PRUEBAS"_s);
    QCOMPARE(Columnas(c, u"11"_s).section('|', 0, 0), u"0"_s);
    QCOMPARE(Nodo(frm, u"11"_s)->Parent(), Nodo(frm, u"0"_s));
}

void TstMover::rehusos_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("clave");
    QTest::addColumn<QString>("nuevo");
    QTest::addColumn<QString>("otro"); // what another program wrote meanwhile
    QTest::addColumn<QString>("dicho");
    for (const QString& b : pruebas::backends()) {
        const auto fila = [&](const char* nombre) -> QTestData& {
            return QTest::addRow("%s %s", qPrintable(b), nombre) << b;
        };
        fila("dentro de la rama") << u"1"_s << u"100"_s << QString()
                                  << u"No se puede mover 1 debajo de 100: 100 depende de él."_s;
        fila("no existe") << u"10"_s << u"ZZ"_s << QString() << u"El centro de costos ZZ no existe."_s;
        fila("borrado mientras") << u"10"_s << u"3"_s << u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '3'"_s
                                 << u"El centro de costos 3 no existe."_s;
        fila("cambiado mientras")
            << u"10"_s << u"3"_s << u"UPDATE Centro_Costo SET CC_Descripcion = 'Otra' WHERE CC_Cve_Centro_Costo = '3'"_s
            << u"Otro usuario modificó el centro de costos 3 mientras tanto; actualice el catálogo (F5) e intente de nuevo."_s;
        fila("movido mientras")
            << u"10"_s << u"3"_s << u"UPDATE Centro_Costo SET CC_Acumula = '2' WHERE CC_Cve_Centro_Costo = '10'"_s
            << u"Otro usuario modificó el centro de costos 10 mientras tanto; actualice el catálogo (F5) e intente de nuevo."_s;
        fila("activo bajo una baja")
            << u"10"_s << u"4"_s << QString()
            << u"El centro de costos 4 está dado de baja: un centro activo no puede depender de él."_s;
        // Any state but "AC" shows as deactivated: changing one such for another changes nothing seen.
        fila("otra baja") << u"10"_s << u"4"_s
                          << u"UPDATE Centro_Costo SET Es_Cve_Estado = 'XX' WHERE CC_Cve_Centro_Costo = '4'"_s
                          << u"El centro de costos 4 está dado de baja: un centro activo no puede depender de él."_s;
        fila("ciclo hecho mientras") << u"1"_s << u"20"_s
                                     << u"UPDATE Centro_Costo SET CC_Acumula = '100' WHERE CC_Cve_Centro_Costo = '2'"_s
                                     << u"se formaría un ciclo"_s;
    }
}

// Each refusal is told after the rollback and leaves every table as it was.
void TstMover::rehusos()
{
    QFETCH(QString, backend);
    QFETCH(QString, clave);
    QFETCH(QString, nuevo);
    QFETCH(QString, otro);
    QFETCH(QString, dicho);
    Componente c(backend, Contenido::Vacio);
    frmKT508& frm = Carga(c);
    if (!otro.isEmpty())
        QVERIFY_SQL(pruebas::Otra(backend)->Execute(otro));
    frm.tvCeCos->setSelectedItem(Nodo(frm, clave));
    const QString antes = pruebas::volcado(c.db());
    const QStringList vista = Vista(Nodo(frm, u"0"_s));
    MueveConDialogo(c, frm, clave, nuevo);
    const QStringList dichos = Dichos(c);
    QVERIFY2(!dichos.isEmpty() && dichos.last().contains(dicho) && !dichos.join(u' ').contains(u"EN TRANSACCIÓN"_s),
             qPrintable(dichos.join(u'\n')));
    QCOMPARE(pruebas::volcado(c.db()), antes);
    QVERIFY(!c.db().inTransaction());
    if (otro.isEmpty())
        QCOMPARE(Vista(Nodo(frm, u"0"_s)), vista);
}

// Whichever statement of the move fails, the store is as it was and the user is told once.
void TstMover::fallaCadaSentencia()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    frmKT508& frm = Carga(c);
    const QString antes = pruebas::volcado(c.db());
    int enviadas = 0, objetivo = 0;
    // The dialog's look-up of the new parent's description is no statement of the move.
    c.db().failWhen([&](const QString& sentencia) {
        return objetivo > 0 && !sentencia.startsWith(u"SELECT CC_Descripcion FROM"_s) && ++enviadas == objetivo;
    });
    int falla = 1;
    for (;; ++falla) {
        c.dobles.datos->llamadas.clear();
        enviadas = 0;
        objetivo = falla;
        MueveConDialogo(c, frm, u"11"_s, u"3"_s);
        objetivo = 0;
        if (enviadas < falla || Columnas(c, u"11"_s).startsWith(u"3|"_s))
            break; // past the commit, only the tree's update is left
        const QStringList dichos = Dichos(c);
        QVERIFY2(pruebas::volcado(c.db()) == antes, qPrintable(u"sentencia %1"_s.arg(falla)));
        QVERIFY2(dichos.size() == 2 && !dichos[1].contains(u"EN TRANSACCIÓN"_s), qPrintable(dichos.join(u'\n')));
    }
    QVERIFY(falla > 4);
    QCOMPARE(Columnas(c, u"11"_s).section('|', 0, 0), u"3"_s);
    QCOMPARE(Columnas(c, u"1"_s).section('|', 0, 1), u"0|1"_s);
}

// F2 in the dialog lists the root and every centre but the one moving and its branch. A node
// dropped on another moves there, after the question; dropped inside its own branch, it is
// refused and nothing moves.
void TstMover::arrastraYSuelta()
{
    Componente c(u"sqlite"_s, Contenido::Vacio);
    frmKT508& frm = Carga(c);
    frm.tvCeCos->setSelectedItem(Nodo(frm, u"10"_s));
    QStringList claves;
    pruebas::EnModal([&](QWidget* modal) {
        auto* dialogo = qobject_cast<frmMover*>(modal);
        if (!dialogo)
            return;
        pruebas::EnModal([&](QWidget* lista) {
            if (auto* arbol = lista ? lista->findChild<QTreeWidget*>(u"lstConsulta"_s) : nullptr)
                for (int i = 0; i < arbol->topLevelItemCount(); ++i)
                    claves << arbol->topLevelItem(i)->text(0);
            if (lista)
                pruebas::Tecla(lista, Qt::Key_Escape);
        });
        dialogo->txtNuevoPadre->setFocus();
        pruebas::Tecla(dialogo, Qt::Key_F2);
        pruebas::Tecla(dialogo, Qt::Key_Escape);
    });
    PideMover(frm);
    QCOMPARE(claves, (QStringList{u"0"_s, u"1"_s, u"11"_s, u"2"_s, u"20"_s, u"3"_s, u"4"_s}));

    Nodo(frm, u"0"_s)->setExpanded(true);
    auto* vista = frm.tvCeCos->findChild<QTreeWidget*>();
    // Pressed on the node, then the drag's events over the view as the drag delivers them.
    const auto suelta = [&](const QString& origen, const QString& destino) {
        const QPoint desde = vista->visualItemRect(dynamic_cast<QTreeWidgetItem*>(Nodo(frm, origen))).center();
        const QPoint hasta = vista->visualItemRect(dynamic_cast<QTreeWidgetItem*>(Nodo(frm, destino))).center();
        QTest::mousePress(vista->viewport(), Qt::LeftButton, {}, desde);
        QTest::mouseRelease(vista->viewport(), Qt::LeftButton, {}, desde);
        std::unique_ptr<QMimeData> datos(vista->model()->mimeData({vista->currentIndex()}));
        QDragEnterEvent entra(hasta, Qt::MoveAction, datos.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vista->viewport(), &entra);
        QDragMoveEvent mueve(hasta, Qt::MoveAction, datos.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vista->viewport(), &mueve);
        QDropEvent cae(QPointF(hasta), Qt::MoveAction, datos.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vista->viewport(), &cae);
    };
    c.dobles.datos->respuestas = {kt508::vbYes};
    suelta(u"11"_s, u"2"_s);
    QCOMPARE(Dichos(c), QStringList{u"¿Mover 11 - Sur y los centros que dependen de él a 2 - Operaciones?"_s});
    QCOMPARE(Columnas(c, u"11"_s).section('|', 0, 0), u"2"_s);
    QCOMPARE(Nodo(frm, u"11"_s)->Parent(), Nodo(frm, u"2"_s));
    QCOMPARE(frm.tvCeCos->SelectedItem(), Nodo(frm, u"11"_s));

    c.dobles.datos->llamadas.clear();
    suelta(u"1"_s, u"100"_s);
    QCOMPARE(Dichos(c), QStringList{u"No se puede mover 1 debajo de 100: 100 depende de él."_s});
    QCOMPARE(Columnas(c, u"1"_s).section('|', 0, 0), u"0"_s);
}

QTEST_MAIN(TstMover)
#include "tst_mover.moc"
