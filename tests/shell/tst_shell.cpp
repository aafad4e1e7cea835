// Entry of the component: the shared window, Padre and Transaccion, exit, registration.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "kt508/services/Utilerias.h"
#include "kt508/shell/Main.h"
#include "kt508/shell/Pantalla.h"
#include "suite/registry/Registro.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using pruebas::Componente;
using pruebas::Contenido;

namespace {

// A host window that answers Transaccion. Unless told otherwise, closing only hides it.
class Anfitrion : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)
public:
    QString Transaccion() const { return QStringLiteral("CAT-508"); }
};

} // namespace

class TstShell : public QObject {
    Q_OBJECT

private slots:
    void ventanaPadreYTransaccion();
    void salirDescargaAlAnfitrion_data();
    void salirDescargaAlAnfitrion();
    void mainCreaLosServicios();
    void registroYCarga();
};

// One window for every Pantalla, created and not loaded (nothing read yet); Transaccion needs a
// host that answers it, and reads by name as the host's own: a value, or none while it cannot.
void TstShell::ventanaPadreYTransaccion()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    kt508::Pantalla a(c.servicios), b(c.servicios);
    auto* frm = qobject_cast<frmKT508*>(a.GetPantalla());
    QVERIFY(frm);
    QCOMPARE(b.property("GetPantalla").value<QObject*>(), frm);
    QVERIFY(!frm->Cargada());
    QVERIFY_EXCEPTION_THROWN(frm->Transaccion(), kt508::Error);

    QObject sinTransaccion;
    frm->setProperty("Padre", QVariant::fromValue<QObject*>(&sinTransaccion));
    QVERIFY_EXCEPTION_THROWN(frm->Transaccion(), kt508::Error);
    QVERIFY(!frm->property("Transaccion").isValid());

    Anfitrion anfitrion;
    frm->setProperty("Padre", QVariant::fromValue<QObject*>(&anfitrion));
    const QString esperada =
        c.servicios.Utilerias->TextoTransaccion(QStringLiteral("CAT-508"), QStringLiteral("Orbanel"));
    QCOMPARE(frm->Transaccion(), esperada);
    QCOMPARE(frm->property("Transaccion").toString(), esperada);
}

void TstShell::salirDescargaAlAnfitrion_data()
{
    QTest::addColumn<bool>("seBorraAlCerrar");
    QTest::addColumn<bool>("contieneLaPantalla");
    QTest::newRow("se borra al cerrar") << true << true;
    QTest::newRow("solo se oculta al cerrar") << false << true;
    QTest::newRow("muestra la pantalla aparte") << false << false;
}

// Exit unloads the host's window however it closes; the screen goes with it, and the next
// GetPantalla loads it afresh: tree and settings read again.
void TstShell::salirDescargaAlAnfitrion()
{
    QFETCH(bool, seBorraAlCerrar);
    QFETCH(bool, contieneLaPantalla);
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    kt508::Pantalla pantalla(c.servicios);
    const auto abre = [&](Anfitrion* anfitrion) {
        auto* frm = qobject_cast<frmKT508*>(pantalla.GetPantalla());
        anfitrion->setAttribute(Qt::WA_DeleteOnClose, seBorraAlCerrar);
        if (contieneLaPantalla)
            frm->setParent(anfitrion);
        frm->setProperty("Padre", QVariant::fromValue<QObject*>(anfitrion));
        anfitrion->show();
        frm->show();
        return frm;
    };
    QPointer<Anfitrion> anfitrion = new Anfitrion;
    frmKT508* frm = abre(anfitrion);
    QVERIFY(frm->Cargada());

    c.Inserta(QStringLiteral("777"), QStringLiteral("0"), QStringLiteral("Nuevo"), 0, QStringLiteral("AC"));
    c.db().Execute(
        QStringLiteral("UPDATE Parametros SET Valor = '000200' WHERE Parametro = 'CAT_GRUPO_CENTRO_COSTO_DEFAULT'"));
    emit frm->Controles->Salir();
    QTRY_VERIFY(anfitrion.isNull());
    QVERIFY(!frmKT508::Existe() || !frmKT508::Instancia(c.servicios).Cargada());

    anfitrion = new Anfitrion;
    frm = abre(anfitrion);
    QVERIFY(frm->tvCeCos->Nodes(QStringLiteral("N777")));
    QCOMPARE(frm->DefaultGroup, QStringLiteral("000200"));

    // Without a host there is nothing to unload: nothing happens; nothing was ever reported.
    frm->setPadre(nullptr);
    emit frm->Controles->Salir();
    QVERIFY(frm->Cargada());
    QVERIFY(c.dobles.datos->Mensajes().isEmpty());
    delete anfitrion;
}

void TstShell::mainCreaLosServicios()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    const Publico::Servicios servicios = Publico::Main();
    // Main hands the services to the process for good; the test takes them back.
    const std::unique_ptr<kt508::IDatos> datos(servicios.Datos);
    const std::unique_ptr<kt508::IUtilerias> utilerias(servicios.Utilerias);
    QVERIFY(datos && utilerias);
    QCOMPARE(datos->Usuario(), QStringLiteral("PRUEBAS"));
    QCOMPARE(&datos->Conexion(), &datos->Conexion());
}

void TstShell::registroYCarga()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    QTemporaryDir carpeta;
    // A registry that cannot be written: the registration says why, not only that it failed.
    const QString sinPermiso = carpeta.filePath(QStringLiteral("registro.ini/no-es-carpeta/registro.ini"));
    QFile(carpeta.filePath(QStringLiteral("registro.ini"))).open(QIODevice::WriteOnly);
    qputenv("ORBANEL_REGISTRO", sinPermiso.toLocal8Bit());
    QString motivo = pruebas::errorDe([] { orbanel::Registro::RegistraBiblioteca(QStringLiteral(KT508_MODULO)); });
    QVERIFY2(motivo.contains(QStringLiteral("No se pudo escribir el registro")), qPrintable(motivo));
    QVERIFY(QFile::remove(carpeta.filePath(QStringLiteral("registro.ini"))));
    qputenv("ORBANEL_REGISTRO", carpeta.filePath(QStringLiteral("registro.ini")).toLocal8Bit());

    orbanel::Registro::RegistraBiblioteca(QStringLiteral(KT508_MODULO));

    // A Main that fails leaves the entry point as its answer, not as an exception, the caller
    // learns Main's own reason, and the next request runs Main again.
    kt508::Plataforma& p = kt508::plataforma();
    const auto nuevoDatos = p.NuevoDatos;
    p.NuevoDatos = nullptr;
    motivo = pruebas::errorDe([] { delete orbanel::Registro::CreaObjeto(QStringLiteral("KT508.Pantalla")); });
    p.NuevoDatos = nuevoDatos;
    QVERIFY2(motivo.contains(QStringLiteral("servicios de datos y utilerías")), qPrintable(motivo));

    std::unique_ptr<QObject> pantalla(orbanel::Registro::CreaObjeto(QStringLiteral("KT508.Pantalla")));
    auto* ventana = qobject_cast<QWidget*>(pantalla->property("GetPantalla").value<QObject*>());
    QVERIFY(ventana);
    QVERIFY(ventana->setProperty("Padre", QVariant::fromValue<QObject*>(pantalla.get())));
    QCOMPARE(ventana->property("Padre").value<QObject*>(), pantalla.get());
    delete ventana;

    // Once unregistered, the class cannot be created, and the host is told why.
    orbanel::Registro::DesregistraBiblioteca(QStringLiteral(KT508_MODULO));
    QVERIFY(!orbanel::Registro::Busca(QStringLiteral("KT508.Pantalla")));
    motivo = pruebas::errorDe([] { delete orbanel::Registro::CreaObjeto(QStringLiteral("KT508.Pantalla")); });
    QVERIFY2(motivo.contains(QStringLiteral("no está registrada")), qPrintable(motivo));
    qunsetenv("ORBANEL_REGISTRO");
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
