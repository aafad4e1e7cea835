// Entry of the component: the shared window, Padre and Transaccion, exit, registration.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "kt508/shell/Main.h"
#include "kt508/shell/Pantalla.h"
#include "kt508/store/Publico.h"
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
    void unaSolaVentana();
    void padreYTransaccion();
    void salirDescargaAlAnfitrion_data();
    void salirDescargaAlAnfitrion();
    void mainCreaLosServicios();
    void registroYCarga();
};

void TstShell::unaSolaVentana()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    kt508::Pantalla a;
    kt508::Pantalla b;
    QObject* primera = a.GetPantalla();
    QVERIFY(qobject_cast<frmKT508*>(primera));
    QCOMPARE(a.GetPantalla(), primera);
    QCOMPARE(b.property("GetPantalla").value<QObject*>(), primera);
    // Created, not loaded: nothing has been read yet.
    QVERIFY(!static_cast<frmKT508*>(primera)->Cargada());
}

void TstShell::padreYTransaccion()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    frmKT508& frm = frmKT508::Instancia();
    QVERIFY_EXCEPTION_THROWN(frm.Transaccion(), kt508::Error);

    QObject sinTransaccion;
    frm.setProperty("Padre", QVariant::fromValue<QObject*>(&sinTransaccion));
    QVERIFY_EXCEPTION_THROWN(frm.Transaccion(), kt508::Error);

    Anfitrion anfitrion;
    frm.setProperty("Padre", QVariant::fromValue<QObject*>(&anfitrion));
    QCOMPARE(frm.Padre(), &anfitrion);
    QCOMPARE(frm.sPadre.data(), &anfitrion);
    const QString esperada = Publico::Utilerias->TextoTransaccion(QStringLiteral("CAT-508"), QStringLiteral("Orbanel"));
    QCOMPARE(frm.Transaccion(), esperada);

    // By name, as the host's own: a value, or none while it cannot be given.
    QCOMPARE(frm.property("Transaccion").toString(), esperada);
    frm.setPadre(&sinTransaccion);
    QVERIFY(!frm.property("Transaccion").isValid());
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
    kt508::Pantalla pantalla;
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
    QCOMPARE(frm->DefaultGroup, QStringLiteral("000100"));

    c.Inserta(QStringLiteral("777"), QStringLiteral("0"), QStringLiteral("Nuevo"), 0, QStringLiteral("AC"));
    c.db().Execute(QStringLiteral("UPDATE Parametros SET Valor = '000200' WHERE Parametro = 'CAT_GRUPO_CENTRO_COSTO_DEFAULT'"));
    emit frm->Controles->Salir();
    QTRY_VERIFY(anfitrion.isNull());
    QVERIFY(!frmKT508::Existe() || !frmKT508::Instancia().Cargada());
    QVERIFY(c.dobles.datos->Mensajes().isEmpty());

    anfitrion = new Anfitrion;
    frm = abre(anfitrion);
    QVERIFY(frm->Cargada());
    QVERIFY(frm->tvCeCos->Nodes(QStringLiteral("N777")));
    QCOMPARE(frm->DefaultGroup, QStringLiteral("000200"));

    // Without a host there is nothing to unload: nothing happens, nothing is reported.
    frm->setPadre(nullptr);
    emit frm->Controles->Salir();
    QVERIFY(frm->Cargada());
    QVERIFY(c.dobles.datos->Mensajes().isEmpty());
    delete anfitrion;
}

void TstShell::mainCreaLosServicios()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    Publico::Datos = nullptr;
    Publico::Utilerias = nullptr;
    Publico::Main();
    // Main hands the services to the process for good; the test takes them back.
    const std::unique_ptr<kt508::IDatos> datos(Publico::Datos);
    const std::unique_ptr<kt508::IUtilerias> utilerias(Publico::Utilerias);
    QVERIFY(Publico::Datos);
    QVERIFY(Publico::Utilerias);
    QCOMPARE(Publico::Datos->Usuario(), QStringLiteral("PRUEBAS"));
    QCOMPARE(&Publico::Datos->Conexion(), &Publico::Datos->Conexion());

    kt508::Plataforma& p = kt508::plataforma();
    const auto guardado = p.NuevoDatos;
    p.NuevoDatos = nullptr;
    QVERIFY_EXCEPTION_THROWN(Publico::Main(), kt508::Error);
    p.NuevoDatos = guardado;
}

void TstShell::registroYCarga()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    QTemporaryDir carpeta;
    // A registry that cannot be written: the registration says why, not only that it failed.
    const QString sinPermiso = carpeta.filePath(QStringLiteral("registro.ini/no-es-carpeta/registro.ini"));
    QFile(carpeta.filePath(QStringLiteral("registro.ini"))).open(QIODevice::WriteOnly);
    qputenv("ORBANEL_REGISTRO", sinPermiso.toLocal8Bit());
    try {
        orbanel::Registro::RegistraBiblioteca(QStringLiteral(KT508_MODULO));
        QFAIL("se registró en un registro que no se puede escribir");
    } catch (const kt508::Error& e) {
        QVERIFY2(e.Description().contains(QStringLiteral("No se pudo escribir el registro")), qPrintable(e.Description()));
    }
    QVERIFY(QFile::remove(carpeta.filePath(QStringLiteral("registro.ini"))));
    qputenv("ORBANEL_REGISTRO", carpeta.filePath(QStringLiteral("registro.ini")).toLocal8Bit());

    orbanel::Registro::RegistraBiblioteca(QStringLiteral(KT508_MODULO));
    const auto clase = orbanel::Registro::Busca(QStringLiteral("KT508.Pantalla"));
    QVERIFY(clase);
    QCOMPARE(clase->version, QStringLiteral("6.00.0048"));
    QCOMPARE(clase->clsid, QString::fromLatin1(kt508::ClsidPantalla));

    // A Main that fails leaves the entry point as its answer, not as an exception, the caller
    // learns Main's own reason, and the next request runs Main again.
    kt508::Plataforma& p = kt508::plataforma();
    const auto nuevoDatos = p.NuevoDatos;
    p.NuevoDatos = nullptr;
    try {
        delete orbanel::Registro::CreaObjeto(QStringLiteral("KT508.Pantalla"));
        QFAIL("se creó un objeto sin servicios");
    } catch (const kt508::Error& e) {
        QVERIFY2(e.Description().contains(QStringLiteral("servicios de datos y utilerías")), qPrintable(e.Description()));
    }
    p.NuevoDatos = nuevoDatos;

    std::unique_ptr<QObject> pantalla(orbanel::Registro::CreaObjeto(QStringLiteral("KT508.Pantalla")));
    auto* ventana = qobject_cast<QWidget*>(pantalla->property("GetPantalla").value<QObject*>());
    QVERIFY(ventana);
    QCOMPARE(pantalla->property("GetPantalla").value<QObject*>(), ventana);
    QVERIFY(ventana->setProperty("Padre", QVariant::fromValue<QObject*>(pantalla.get())));
    QCOMPARE(ventana->property("Padre").value<QObject*>(), pantalla.get());
    delete ventana;

    // Once unregistered, the class cannot be created, and the host is told why.
    orbanel::Registro::DesregistraBiblioteca(QStringLiteral(KT508_MODULO));
    QVERIFY(!orbanel::Registro::Busca(QStringLiteral("KT508.Pantalla")));
    try {
        delete orbanel::Registro::CreaObjeto(QStringLiteral("KT508.Pantalla"));
        QFAIL("se creó un objeto de una clase no registrada");
    } catch (const kt508::Error& e) {
        QVERIFY(e.Description().contains(QStringLiteral("no está registrada")));
    }
    qunsetenv("ORBANEL_REGISTRO");
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
