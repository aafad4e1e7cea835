// The toolbar as the windows use it: command flags, extra buttons, record-bound fields.
#include "suite/ado/AdoConnection.h"
#include "suite/controls/BarraControles.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using orbanel::BarraControles;

namespace {

// A screen's toolbar (standard commands and exit) or a dialog's (caption and extras only).
std::unique_ptr<BarraControles> NuevaBarra(bool pantalla)
{
    auto barra = std::make_unique<BarraControles>();
    barra->setCaption(u"Catálogo de centros de costos"_s);
    barra->setShowexitbutton(pantalla ? u"SI"_s : u"NO"_s);
    barra->setShowwindowslist(pantalla ? u"SI"_s : u"NO"_s);
    barra->resize(900, 64);
    barra->show();
    return barra;
}

} // namespace

class PruebaBarra : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { orbanel::Sesion::Cierra(); }
    void unaBanderaGobiernaUnSoloComando_data();
    void unaBanderaGobiernaUnSoloComando();
    void botonesDePantallaYDeDialogo();
    void camposAdicionales_data() { pruebas::agregaBackends(); }
    void camposAdicionales();
};

void PruebaBarra::unaBanderaGobiernaUnSoloComando_data()
{
    QTest::addColumn<int>("comando");
    QTest::addColumn<int>("bandera");
    QTest::addColumn<QByteArray>("senal");
    QTest::newRow("Editar") << int(BarraControles::cEditar) << 1 << QByteArray(SIGNAL(Editar()));
    QTest::newRow("Imprimir") << int(BarraControles::cImprimir) << 2 << QByteArray(SIGNAL(Imprimir()));
    QTest::newRow("Reactivar") << int(BarraControles::cReactivar) << 3 << QByteArray(SIGNAL(Reactivar()));
    QTest::newRow("Eliminar") << int(BarraControles::cEliminar) << 4 << QByteArray(SIGNAL(Eliminar()));
    QTest::newRow("Consulta") << int(BarraControles::cConsulta) << 5 << QByteArray(SIGNAL(Consulta()));
    QTest::newRow("Nuevo") << int(BarraControles::cNuevo) << 6 << QByteArray(SIGNAL(Nuevo()));
}

// With its own flag false a command cannot be raised, by click or by code, whatever the
// other flags say; with it true each click raises it once.
void PruebaBarra::unaBanderaGobiernaUnSoloComando()
{
    QFETCH(int, comando);
    QFETCH(int, bandera);
    QFETCH(QByteArray, senal);
    auto barra = NuevaBarra(true);
    const auto cmd = static_cast<BarraControles::Comando>(comando);
    QSignalSpy lanzado(barra.get(), senal.constData());
    const auto pulsa = [&] {
        QTest::mouseClick(barra->Boton(cmd), Qt::LeftButton);
        return lanzado.count();
    };
    for (int n = 1; n <= 7; ++n)
        barra->setEnabledFlag(n, n != bandera);
    QCOMPARE(pulsa(), 0);
    QVERIFY(!barra->Lanza(cmd));
    barra->setEnabledFlag(bandera, true);
    QCOMPARE(pulsa(), 1);
    QVERIFY(barra->Lanza(cmd));
    barra->setEnabledFlag(bandera, false);
    QCOMPARE(pulsa(), 2);
}

// A screen's standard delete is a deactivation ("Baja"); the catalogue's physical delete is the
// extra button, withdrawn by an empty caption and offered again; its exit needs no flag. A
// dialog's bar shows no standard command even with every flag up, only its extras.
void PruebaBarra::botonesDePantallaYDeDialogo()
{
    auto barra = NuevaBarra(true);
    QToolButton* b1 = barra->Boton(BarraControles::cB1);
    QCOMPARE(barra->Boton(BarraControles::cEliminar)->text(), u"Baja"_s);
    QSignalSpy eliminar(barra.get(), &kt508::Controles::Eliminar), extra(barra.get(), &kt508::Controles::B1Click),
        salir(barra.get(), &kt508::Controles::Salir);
    barra->setEnabled4(true);
    barra->setB1caption(QString());
    QVERIFY(!b1->isVisible());
    QVERIFY(!barra->Lanza(BarraControles::cB1));
    barra->setB1caption(u"Eliminar"_s);
    QVERIFY(b1->isVisible());
    QCOMPARE(b1->text(), u"Eliminar"_s);
    for (auto comando : {BarraControles::cEliminar, BarraControles::cB1, BarraControles::cSalir})
        QTest::mouseClick(barra->Boton(comando), Qt::LeftButton);
    QCOMPARE((QList<int>{int(eliminar.count()), int(extra.count()), int(salir.count())}), (QList<int>{1, 1, 1}));

    auto dialogo = NuevaBarra(false);
    dialogo->setB2caption(u"Cancelar"_s);
    for (int n = 1; n <= 7; ++n)
        dialogo->setEnabledFlag(n, true);
    for (auto comando : {BarraControles::cNuevo, BarraControles::cEditar, BarraControles::cEliminar,
                         BarraControles::cConsulta, BarraControles::cSalir}) {
        QVERIFY(!dialogo->Boton(comando)->isVisible());
        QVERIFY(!dialogo->Lanza(comando));
    }
    QSignalSpy cancelar(dialogo.get(), &kt508::Controles::B2Click);
    QTest::mouseClick(dialogo->Boton(BarraControles::cB2), Qt::LeftButton);
    QCOMPARE(cancelar.count(), 1);
}

// Load a key, refuse a missing obligatory field, edit through the dialog (enabled7), store,
// report a failing store (the caller's transaction and its rollback are the editor's to show).
// A value that fits its column (255 characters, an emoji one) goes through the dialog whole.
void PruebaBarra::camposAdicionales()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    const QString zona = u"Zona norte "_s + u"🌵"_s.repeated(200);
    QVERIFY_SQL(db->Execute(u"INSERT INTO Campos_Adicionales_Def (Cad_Tabla, Cad_Campo, Cad_Etiqueta, Cad_Obligatorio, "
                            "Cad_Orden) VALUES ('Centro_Costo', 'RESP', 'Responsable', 1, 1), "
                            "('Centro_Costo', 'NOTAS', 'Notas', 0, 2)"_s));
    QVERIFY_SQL(db->Execute(u"INSERT INTO Campos_Adicionales (Ca_Tabla, Ca_Clave, Ca_Campo, Ca_Valor) "
                            "VALUES ('Centro_Costo', '105', 'NOTAS', '%1')"_s.arg(zona)));
    orbanel::ado::AdoConnection* conexion = db.get();
    orbanel::Sesion::Establece(std::move(db), u"PRUEBAS"_s);

    auto barra = NuevaBarra(false);
    barra->setOpcTable(u"Centro_Costo"_s);
    barra->setOpcKey(u"Cc_Cve_Centro_Costo"_s);
    QVERIFY_SQL(barra->LoadFields(u"105"_s));
    QVERIFY(!barra->ValidateFields());
    QVERIFY2(barra->ValidationMessage().contains(u"Responsable"_s), qPrintable(barra->ValidationMessage()));

    QToolButton* campos = barra->Boton(BarraControles::cCampos);
    QVERIFY(!campos->isEnabled());
    barra->setEnabled7(true);
    QString notas;
    pruebas::EnModal([&](QWidget* dialogo) {
        if (auto* d = qobject_cast<QDialog*>(dialogo)) {
            notas = d->findChild<QLineEdit*>(u"NOTAS"_s)->text();
            QTest::keyClicks(d->findChild<QLineEdit*>(u"RESP"_s), u"Ana Lopez"_s);
            d->accept();
        }
    });
    QTest::mouseClick(campos, Qt::LeftButton);
    QCOMPARE(notas, zona);
    QVERIFY(barra->ValidateFields());

    QVERIFY(barra->SaveFields(u"105"_s));
    QCOMPARE(pruebas::escalar(
                 *conexion, u"SELECT Ca_Valor FROM Campos_Adicionales WHERE Ca_Clave = '105' AND Ca_Campo = 'RESP'"_s),
             QVariant(u"Ana Lopez"_s));
    QCOMPARE(pruebas::escalar(
                 *conexion, u"SELECT Ca_Valor FROM Campos_Adicionales WHERE Ca_Clave = '105' AND Ca_Campo = 'NOTAS'"_s),
             QVariant(zona));
    conexion->failContaining(u"INSERT INTO Campos_Adicionales"_s);
    QVERIFY(!barra->SaveFields(u"105"_s));
    conexion->clearFailure();
}

int EjecutaPruebasBarra(int argc, char** argv)
{
    PruebaBarra prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_barra.moc"
