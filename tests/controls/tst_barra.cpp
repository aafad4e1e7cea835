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

QVariant Valor(orbanel::ado::AdoConnection& db, const char* campo)
{
    return pruebas::escalar(db, u"SELECT Ca_Valor FROM Campos_Adicionales WHERE Ca_Clave = '105' AND Ca_Campo = '%1'"_s
                                    .arg(QLatin1String(campo)));
}

} // namespace

class PruebaBarra : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { orbanel::Sesion::Cierra(); }
    void unaBanderaGobiernaUnSoloComando_data();
    void unaBanderaGobiernaUnSoloComando();
    void bajaYBotonExtra();
    void barraDeDialogo();
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
    for (int n = 1; n <= 7; ++n)
        barra->setEnabledFlag(n, n != bandera);
    QTest::mouseClick(barra->Boton(cmd), Qt::LeftButton);
    QVERIFY(!barra->Lanza(cmd));
    QCOMPARE(lanzado.count(), 0);

    barra->setEnabledFlag(bandera, true);
    QTest::mouseClick(barra->Boton(cmd), Qt::LeftButton);
    QVERIFY(barra->Lanza(cmd));
    QCOMPARE(lanzado.count(), 2);
    barra->setEnabledFlag(bandera, false);
    QTest::mouseClick(barra->Boton(cmd), Qt::LeftButton);
    QCOMPARE(lanzado.count(), 2);
}

// The standard delete is a deactivation ("Baja"); the catalogue's physical delete is the
// extra button, withdrawn by an empty caption and offered again.
void PruebaBarra::bajaYBotonExtra()
{
    auto barra = NuevaBarra(true);
    QToolButton* baja = barra->Boton(BarraControles::cEliminar);
    QToolButton* b1 = barra->Boton(BarraControles::cB1);
    QCOMPARE(baja->text(), u"Baja"_s);
    QSignalSpy eliminar(barra.get(), &kt508::Controles::Eliminar);
    QSignalSpy extra(barra.get(), &kt508::Controles::B1Click);
    barra->setEnabled4(true);
    barra->setB1caption(QString());
    QVERIFY(!b1->isVisible());
    QVERIFY(!barra->Lanza(BarraControles::cB1));

    barra->setB1caption(u"Eliminar"_s);
    QVERIFY(b1->isVisible());
    QCOMPARE(b1->text(), u"Eliminar"_s);
    QTest::mouseClick(baja, Qt::LeftButton);
    QTest::mouseClick(b1, Qt::LeftButton);
    QCOMPARE(eliminar.count(), 1);
    QCOMPARE(extra.count(), 1);
}

// A dialog's bar shows no standard command even with every flag up; a screen's exit needs none.
void PruebaBarra::barraDeDialogo()
{
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

    auto pantalla = NuevaBarra(true);
    QSignalSpy salir(pantalla.get(), &kt508::Controles::Salir);
    QTest::mouseClick(pantalla->Boton(BarraControles::cSalir), Qt::LeftButton);
    QCOMPARE(salir.count(), 1);
}

// Load a key, refuse a missing obligatory field, edit through the dialog (enabled7), store
// inside the caller's transaction, report a failing store.
void PruebaBarra::camposAdicionales()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    QVERIFY_SQL(db->Execute(u"INSERT INTO Campos_Adicionales_Def (Cad_Tabla, Cad_Campo, Cad_Etiqueta, Cad_Obligatorio, "
                            "Cad_Orden) VALUES ('Centro_Costo', 'RESP', 'Responsable', 1, 1), "
                            "('Centro_Costo', 'NOTAS', 'Notas', 0, 2)"_s));
    QVERIFY_SQL(db->Execute(u"INSERT INTO Campos_Adicionales (Ca_Tabla, Ca_Clave, Ca_Campo, Ca_Valor) "
                            "VALUES ('Centro_Costo', '105', 'NOTAS', 'Zona norte')"_s));
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
    pruebas::EnModal([&](QWidget* modal) {
        auto* dialogo = qobject_cast<QDialog*>(modal);
        if (!dialogo)
            return;
        notas = dialogo->findChild<QLineEdit*>(u"NOTAS"_s)->text();
        QTest::keyClicks(dialogo->findChild<QLineEdit*>(u"RESP"_s), u"Ana Lopez"_s);
        dialogo->accept();
    });
    QTest::mouseClick(campos, Qt::LeftButton);
    QCOMPARE(notas, u"Zona norte"_s);
    QVERIFY(barra->ValidateFields());

    QVERIFY_SQL(conexion->BeginTrans());
    QVERIFY(barra->SaveFields(u"105"_s));
    QCOMPARE(Valor(*conexion, "RESP").toString(), u"Ana Lopez"_s);
    QVERIFY_SQL(conexion->RollbackTrans());
    QVERIFY(Valor(*conexion, "RESP").isNull());

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
