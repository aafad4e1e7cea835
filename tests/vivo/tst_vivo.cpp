// The tree follows what others write to the catalogue: read in place, held back while the user is
// busy, never its own changes twice.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "suite/ado/AdoConnection.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;
using pruebas::Nodo;
using pruebas::Vista;

namespace {

const QString LecturaDeVersion = u"SELECT Vc_Version FROM Version_Catalogo"_s;

// The little catalogue every case starts from, loaded, with 1 and 2 expanded.
frmKT508& Carga(Componente& c)
{
    c.Inserta({u"1|0|Ventas|1|AC"_s, u"10|1|Norte|0|AC"_s, u"11|1|Sur|0|AC"_s, u"2|0|Operaciones|1|AC"_s,
               u"20|2|Planta|0|AC"_s});
    frmKT508& frm = c.Carga();
    Nodo(frm, u"1"_s)->setExpanded(true);
    Nodo(frm, u"2"_s)->setExpanded(true);
    return frm;
}

} // namespace

class TstVivo : public QObject {
    Q_OBJECT

private slots:
    void unaLecturaSinCambios_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void unaLecturaSinCambios();
    void cambiosDeOtroEnSuSitio_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void cambiosDeOtroEnSuSitio();
    void retenido();
};

// While nothing changed, a reading is the one small statement and the tree stays as it is; a
// change this screen makes is in its tree already, and only reaches the notes; another's change
// brings the centres noted since, once.
void TstVivo::unaLecturaSinCambios()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    frmKT508& frm = Carga(c);
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    const QStringList antes = Vista(Nodo(frm, u"0"_s));
    c.db().setRecording(true);
    frm.Sondea();
    frm.Sondea();
    QCOMPARE(c.db().recorded(), (QStringList{LecturaDeVersion, LecturaDeVersion}));
    QCOMPARE(Vista(Nodo(frm, u"0"_s)), antes);

    frm.tvCeCos->setSelectedItem(Nodo(frm, u"10"_s));
    frm.tvCeCos->setFocus();
    pruebas::Tecla(&frm, Qt::Key_F2);
    pruebas::Escribe(&frm, u"Cobranza"_s);
    pruebas::Tecla(&frm, Qt::Key_Return);
    QTRY_COMPARE(Nodo(frm, u"10"_s)->Text(), u"10 - COBRANZA"_s);
    c.db().clearRecorded();
    frm.Sondea();
    QCOMPARE(c.db().recorded(), QStringList{LecturaDeVersion});
    auto otra = pruebas::Otra(backend);
    QCOMPARE(pruebas::escalar(*otra,
                              u"SELECT Cm_Clave FROM Cambio_Centro WHERE Vc_Version = "
                              "(SELECT Vc_Version FROM Version_Catalogo)"_s),
             QVariant(u"10"_s));

    QVERIFY_SQL(otra->Execute(u"UPDATE Centro_Costo SET CC_Descripcion = 'OTRO' WHERE CC_Cve_Centro_Costo = '11'"_s));
    c.db().clearRecorded();
    frm.Sondea();
    frm.Sondea();
    const QStringList enviadas = c.db().recorded();
    QCOMPARE(enviadas.size(), 3);
    QVERIFY2(enviadas[1].contains(u"FROM Cambio_Centro"_s), qPrintable(enviadas[1]));
    QCOMPARE(enviadas[2], LecturaDeVersion);
    QCOMPARE(Nodo(frm, u"11"_s)->Text(), u"11 - OTRO"_s);
}

// What another connection adds, renames, moves, deactivates and deletes shows in place: what
// was expanded stays so, the selection stays, and goes to the parent when its centre is deleted.
void TstVivo::cambiosDeOtroEnSuSitio()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Vacio);
    frmKT508& frm = Carga(c);
    frm.tvCeCos->setSelectedItem(Nodo(frm, u"20"_s));
    auto otra = pruebas::Otra(backend);
    QVERIFY_SQL(otra->Execute(u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) "
                              "VALUES ('105', '1', 'Centro')"_s));
    QVERIFY_SQL(otra->Execute(u"UPDATE Centro_Costo SET CC_Descripcion = 'Norte y Este' "
                              "WHERE CC_Cve_Centro_Costo = '10'"_s));
    QVERIFY_SQL(otra->Execute(u"UPDATE Centro_Costo SET CC_Acumula = '2' WHERE CC_Cve_Centro_Costo = '11'"_s));
    QVERIFY_SQL(otra->Execute(u"UPDATE Centro_Costo SET Es_Cve_Estado = 'BA' WHERE CC_Cve_Centro_Costo = '20'"_s));
    frm.Sondea();
    QCOMPARE(Vista(Nodo(frm, u"0"_s)),
             (QStringList{u"N0 2 RAIZ +"_s, u" N1 2 1 - Ventas +"_s, u"  N10 1 10 - Norte y Este"_s,
                          u"  N105 1 105 - Centro"_s, u" N2 2 2 - Operaciones +"_s, u"  N11 1 11 - Sur"_s,
                          u"  N20 3 20 - Planta"_s}));
    QCOMPARE(frm.tvCeCos->SelectedItem(), Nodo(frm, u"20"_s));

    // The branch moves whole, still open; a deleted selection goes to its parent.
    QVERIFY_SQL(otra->Execute(u"UPDATE Centro_Costo SET CC_Acumula = '2' WHERE CC_Cve_Centro_Costo = '1'"_s));
    QVERIFY_SQL(otra->Execute(u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '20'"_s));
    frm.Sondea();
    QCOMPARE(Vista(Nodo(frm, u"0"_s)),
             (QStringList{u"N0 2 RAIZ +"_s, u" N2 2 2 - Operaciones +"_s, u"  N1 2 1 - Ventas +"_s,
                          u"   N10 1 10 - Norte y Este"_s, u"   N105 1 105 - Centro"_s, u"  N11 1 11 - Sur"_s}));
    QCOMPARE(frm.tvCeCos->SelectedItem(), Nodo(frm, u"2"_s));
    QCOMPARE(frm.txtClave->Text(), u"2"_s);

    // A tree longer than the view stays scrolled where the user left it.
    for (int i = 0; i < 60; ++i)
        QVERIFY_SQL(otra->Execute(u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) "
                                  "VALUES ('%1', '0', 'Relleno')"_s.arg(500 + i)));
    frm.Sondea();
    QScrollBar* barra = frm.tvCeCos->findChild<QTreeWidget*>()->verticalScrollBar();
    QTRY_VERIFY(barra->maximum() > 20);
    barra->setValue(barra->maximum() / 2);
    const int posicion = barra->value();
    QVERIFY_SQL(otra->Execute(u"UPDATE Centro_Costo SET CC_Descripcion = 'Otro' WHERE CC_Cve_Centro_Costo = '530'"_s));
    QVERIFY_SQL(otra->Execute(u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) "
                              "VALUES ('600', '0', 'Al final')"_s));
    frm.Sondea();
    QApplication::processEvents();
    QCOMPARE(Nodo(frm, u"530"_s)->Text(), u"530 - Otro"_s);
    QCOMPARE(barra->value(), posicion);
}

// A rename in place and the modal editor are left alone: the change waits until they end, and
// then comes at once. Inside a transaction another part of the suite holds on the connection
// nothing is read: what it wrote may yet be undone. Nothing pressed, the next reading comes
// within two seconds.
void TstVivo::retenido()
{
    Componente c(u"sqlite"_s, Contenido::Vacio);
    frmKT508& frm = Carga(c);
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    auto otra = pruebas::Otra(u"sqlite"_s);
    const auto renombra = [&](const QString& descripcion) {
        QVERIFY_SQL(otra->Execute(
            u"UPDATE Centro_Costo SET CC_Descripcion = '%1' WHERE CC_Cve_Centro_Costo = '10'"_s.arg(descripcion)));
    };
    frm.tvCeCos->setSelectedItem(Nodo(frm, u"11"_s));
    frm.tvCeCos->setFocus();
    pruebas::Tecla(&frm, Qt::Key_F2);
    QVERIFY(frm.tvCeCos->LabelEditing());
    renombra(u"Otro"_s);
    frm.Sondea();
    QCOMPARE(Nodo(frm, u"10"_s)->Text(), u"10 - Norte"_s);
    pruebas::Tecla(&frm, Qt::Key_Escape);
    QTRY_COMPARE_WITH_TIMEOUT(Nodo(frm, u"10"_s)->Text(), u"10 - Otro"_s, 1000);

    QString mientras;
    pruebas::EnModal([&](QWidget* editor) {
        renombra(u"Otro más"_s);
        frm.Sondea();
        mientras = Nodo(frm, u"10"_s)->Text();
        if (editor)
            pruebas::Tecla(editor, Qt::Key_Escape);
    });
    QVERIFY(QMetaObject::invokeMethod(frm.Controles, "Nuevo"));
    QCOMPARE(mientras, u"10 - Otro"_s);
    QTRY_COMPARE_WITH_TIMEOUT(Nodo(frm, u"10"_s)->Text(), u"10 - Otro más"_s, 1000);

    c.db().BeginTrans();
    QVERIFY_SQL(c.db().Execute(u"UPDATE Centro_Costo SET CC_Descripcion = 'Mío' WHERE CC_Cve_Centro_Costo = '10'"_s));
    c.db().setRecording(true);
    frm.Sondea();
    QCOMPARE(c.db().recorded(), QStringList());
    c.db().RollbackTrans();
    frm.Sondea();
    QCOMPARE(Nodo(frm, u"10"_s)->Text(), u"10 - Otro más"_s);

    QVERIFY_SQL(otra->Execute(u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) "
                              "VALUES ('3', '0', 'Nuevo')"_s));
    QTRY_VERIFY_WITH_TIMEOUT(Nodo(frm, u"3"_s), 2500);
}

QTEST_MAIN(TstVivo)
#include "tst_vivo.moc"
