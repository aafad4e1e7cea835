// The toolbar as the windows use it: command flags, extra buttons, record-bound fields.
#include "suite/controls/BarraControles.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using orbanel::BarraControles;

namespace {

// A screen's toolbar (with the standard commands) or a dialog's.
std::unique_ptr<BarraControles> NuevaBarra(bool pantalla)
{
    auto barra = std::make_unique<BarraControles>();
    barra->setCaption(QStringLiteral("Catálogo de centros de costos"));
    barra->setShowexitbutton(pantalla ? QStringLiteral("SI") : QStringLiteral("NO"));
    barra->setShowwindowslist(pantalla ? QStringLiteral("SI") : QStringLiteral("NO"));
    barra->resize(900, 64);
    barra->show();
    return barra;
}

QToolButton* Boton(BarraControles& barra, BarraControles::Comando comando)
{
    return barra.Boton(comando);
}

} // namespace

class PruebaBarra : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { orbanel::Sesion::Cierra(); }

    void unaBanderaGobiernaUnSoloComando_data();
    void unaBanderaGobiernaUnSoloComando();
    void elBotonDeBajaLanzaEliminar();
    void botonExtraSeRetiraYVuelve();
    void barraDeDialogoMuestraSoloTituloYExtras();
    void camposAdicionales_data();
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

// With its own flag false a command cannot be raised, whatever the other flags say;
// with its flag true the button raises it once per click.
void PruebaBarra::unaBanderaGobiernaUnSoloComando()
{
    QFETCH(int, comando);
    QFETCH(int, bandera);
    QFETCH(QByteArray, senal);
    auto barra = NuevaBarra(true);
    const auto cmd = static_cast<BarraControles::Comando>(comando);
    QSignalSpy lanzado(barra.get(), senal.constData());

    for (int n = 1; n <= 7; ++n)
        QVERIFY(!barra->enabledFlag(n));
    QTest::mouseClick(Boton(*barra, cmd), Qt::LeftButton);
    QVERIFY(!barra->Lanza(cmd));

    for (int n = 1; n <= 7; ++n)
        barra->setEnabledFlag(n, n != bandera);
    QTest::mouseClick(Boton(*barra, cmd), Qt::LeftButton);
    QVERIFY(!barra->Lanza(cmd));
    QCOMPARE(lanzado.count(), 0);

    barra->setEnabledFlag(bandera, true);
    QVERIFY(Boton(*barra, cmd)->isEnabled());
    QTest::mouseClick(Boton(*barra, cmd), Qt::LeftButton);
    QCOMPARE(lanzado.count(), 1);
    QVERIFY(barra->Lanza(cmd));
    QCOMPARE(lanzado.count(), 2);

    barra->setEnabledFlag(bandera, false);
    QTest::mouseClick(Boton(*barra, cmd), Qt::LeftButton);
    QCOMPARE(lanzado.count(), 2);
}

// The standard delete is a deactivation: captioned "Baja", raising Eliminar under enabled4.
void PruebaBarra::elBotonDeBajaLanzaEliminar()
{
    auto barra = NuevaBarra(true);
    QToolButton* baja = Boton(*barra, BarraControles::cEliminar);
    QCOMPARE(baja->text(), QStringLiteral("Baja"));
    QVERIFY(!baja->toolTip().isEmpty());
    QSignalSpy eliminar(barra.get(), &kt508::Controles::Eliminar);
    QSignalSpy extra(barra.get(), &kt508::Controles::B1Click);
    barra->setB1caption(QStringLiteral("Eliminar"));
    barra->setEnabled1(true);
    barra->setEnabled4(true);
    barra->setEnabled5(true);
    QTest::mouseClick(baja, Qt::LeftButton);
    QCOMPARE(eliminar.count(), 1);
    QCOMPARE(extra.count(), 0);
    QTest::mouseClick(Boton(*barra, BarraControles::cB1), Qt::LeftButton);
    QCOMPARE(extra.count(), 1);
    QCOMPARE(eliminar.count(), 1);
}

// The catalogue withdraws its physical delete with an empty caption and offers it again.
void PruebaBarra::botonExtraSeRetiraYVuelve()
{
    auto barra = NuevaBarra(true);
    QSignalSpy extra(barra.get(), &kt508::Controles::B1Click);
    QToolButton* b1 = Boton(*barra, BarraControles::cB1);

    barra->setB1caption(QStringLiteral("Eliminar"));
    QVERIFY(b1->isVisible());
    QCOMPARE(b1->text(), QStringLiteral("Eliminar"));

    barra->setB1caption(QString());
    QCOMPARE(barra->b1caption(), QString());
    QVERIFY(!b1->isVisible());
    QVERIFY(!barra->Lanza(BarraControles::cB1));
    QCOMPARE(extra.count(), 0);

    barra->setB1caption(QStringLiteral("Eliminar"));
    QCOMPARE(barra->b1caption(), QStringLiteral("Eliminar"));
    QVERIFY(b1->isVisible());
    QTest::mouseClick(b1, Qt::LeftButton);
    QCOMPARE(extra.count(), 1);
}

void PruebaBarra::barraDeDialogoMuestraSoloTituloYExtras()
{
    auto dialogo = NuevaBarra(false);
    dialogo->setB1caption(QStringLiteral("Aceptar"));
    dialogo->setB2caption(QStringLiteral("Cancelar"));
    for (int n = 1; n <= 7; ++n)
        dialogo->setEnabledFlag(n, true);
    for (auto comando : {BarraControles::cNuevo, BarraControles::cEditar, BarraControles::cImprimir,
                         BarraControles::cConsulta, BarraControles::cReactivar, BarraControles::cEliminar,
                         BarraControles::cSalir, BarraControles::cB3}) {
        QVERIFY2(!Boton(*dialogo, comando)->isVisible(), qPrintable(Boton(*dialogo, comando)->objectName()));
        QVERIFY(!dialogo->Lanza(comando));
    }
    QVERIFY(Boton(*dialogo, BarraControles::cB1)->isVisible());
    QVERIFY(Boton(*dialogo, BarraControles::cB2)->isVisible());
    QCOMPARE(dialogo->caption(), QStringLiteral("Catálogo de centros de costos"));
    QSignalSpy cancelar(dialogo.get(), &kt508::Controles::B2Click);
    QTest::mouseClick(Boton(*dialogo, BarraControles::cB2), Qt::LeftButton);
    QCOMPARE(cancelar.count(), 1);

    // A screen's bar: its exit needs no flag, and every button it shows explains itself.
    auto pantalla = NuevaBarra(true);
    pantalla->setB3caption(QStringLiteral("Cambiar cuenta contable"));
    QSignalSpy salir(pantalla.get(), &kt508::Controles::Salir);
    QTest::mouseClick(Boton(*pantalla, BarraControles::cSalir), Qt::LeftButton);
    QCOMPARE(salir.count(), 1);
    QVERIFY(!Boton(*pantalla, BarraControles::cB2)->isVisible());
    for (QToolButton* boton : pantalla->findChildren<QToolButton*>()) {
        if (boton->isVisible())
            QVERIFY2(!boton->toolTip().isEmpty(), qPrintable(boton->objectName()));
    }
}

void PruebaBarra::camposAdicionales_data()
{
    pruebas::agregaBackends();
}

// Definitions and values on the session's connection: load a key, refuse a missing
// obligatory field, edit through the dialog, store inside the caller's transaction.
void PruebaBarra::camposAdicionales()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    QVERIFY_SQL(db->Execute(QStringLiteral(
        "INSERT INTO Campos_Adicionales_Def (Cad_Tabla, Cad_Campo, Cad_Etiqueta, Cad_Obligatorio, Cad_Orden) "
        "VALUES ('Centro_Costo', 'RESP', 'Responsable', 1, 1)")));
    QVERIFY_SQL(db->Execute(QStringLiteral(
        "INSERT INTO Campos_Adicionales_Def (Cad_Tabla, Cad_Campo, Cad_Etiqueta, Cad_Obligatorio, Cad_Orden) "
        "VALUES ('Centro_Costo', 'NOTAS', 'Notas', 0, 2)")));
    QVERIFY_SQL(db->Execute(QStringLiteral("INSERT INTO Campos_Adicionales (Ca_Tabla, Ca_Clave, Ca_Campo, Ca_Valor) "
                                           "VALUES ('Centro_Costo', '105', 'NOTAS', 'Zona norte')")));
    orbanel::ado::AdoConnection* conexion = db.get();
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("PRUEBAS"));

    auto barra = NuevaBarra(false);
    barra->setOpcTable(QStringLiteral("Centro_Costo"));
    barra->setOpcKey(QStringLiteral("Cc_Cve_Centro_Costo"));
    QVERIFY_SQL(barra->LoadFields(QStringLiteral("105")));
    QCOMPARE(barra->Campos().Valor(QStringLiteral("NOTAS")), QStringLiteral("Zona norte"));
    QVERIFY(!barra->ValidateFields());
    QVERIFY2(barra->ValidationMessage().contains(QStringLiteral("Responsable")), qPrintable(barra->ValidationMessage()));

    // The fields button follows enabled7.
    QToolButton* campos = Boton(*barra, BarraControles::cCampos);
    QVERIFY(campos->isVisible());
    QVERIFY(!campos->isEnabled());
    barra->setEnabled7(true);
    QVERIFY(campos->isEnabled());
    QString notasMostradas;
    bool escrito = false;
    pruebas::EnModal([&](QWidget* modal) {
        auto* dialogo = qobject_cast<QDialog*>(modal);
        if (!dialogo)
            return;
        auto* responsable = dialogo->findChild<QLineEdit*>(QStringLiteral("RESP"));
        if (auto* notas = dialogo->findChild<QLineEdit*>(QStringLiteral("NOTAS")))
            notasMostradas = notas->text();
        if (responsable) {
            responsable->setFocus();
            QTest::keyClicks(responsable, QStringLiteral("Ana Lopez"));
            escrito = true;
        }
        dialogo->accept();
    });
    QTest::mouseClick(campos, Qt::LeftButton);
    QVERIFY(escrito);
    QCOMPARE(notasMostradas, QStringLiteral("Zona norte"));
    QVERIFY(barra->ValidateFields());
    QCOMPARE(barra->ValidationMessage(), QString());

    // Stored on the caller's transaction: a rollback takes the values away.
    QVERIFY_SQL(conexion->BeginTrans());
    QVERIFY(barra->SaveFields(QStringLiteral("105")));
    QCOMPARE(pruebas::escalar(*conexion, QStringLiteral("SELECT Ca_Valor FROM Campos_Adicionales WHERE "
                                                        "Ca_Clave = '105' AND Ca_Campo = 'RESP'"))
                 .toString(),
             QStringLiteral("Ana Lopez"));
    QVERIFY_SQL(conexion->RollbackTrans());
    QVERIFY(pruebas::escalar(*conexion, QStringLiteral("SELECT Ca_Valor FROM Campos_Adicionales WHERE "
                                                       "Ca_Clave = '105' AND Ca_Campo = 'RESP'"))
                .isNull());

    // A key loaded afresh starts from its own values; a failing store answers false.
    QVERIFY_SQL(barra->LoadFields(QStringLiteral("200")));
    QCOMPARE(barra->Campos().Valor(QStringLiteral("NOTAS")), QString());
    barra->Campos().setValor(QStringLiteral("RESP"), QStringLiteral("Luis"));
    conexion->failContaining(QStringLiteral("INSERT INTO Campos_Adicionales"));
    QVERIFY(!barra->SaveFields(QStringLiteral("200")));
    conexion->clearFailure();
    QVERIFY(barra->SaveFields(QStringLiteral("200")));
    QCOMPARE(pruebas::escalar(*conexion, QStringLiteral("SELECT COUNT(*) FROM Campos_Adicionales WHERE Ca_Clave = '200'"))
                 .toInt(),
             1);
}

int EjecutaPruebasBarra(int argc, char** argv)
{
    PruebaBarra prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_barra.moc"
