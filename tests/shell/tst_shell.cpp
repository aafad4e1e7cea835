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

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using pruebas::Componente;
using pruebas::Contenido;

namespace {

// A host window that answers Transaccion.
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
    void salirCierraSoloAlAnfitrion();
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
    QCOMPARE(frm.Transaccion(), Publico::Utilerias->TextoTransaccion(QStringLiteral("CAT-508"), QStringLiteral("Orbanel")));
}

void TstShell::salirCierraSoloAlAnfitrion()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    frmKT508& frm = c.Carga();
    auto* anfitrion = new Anfitrion;
    anfitrion->setAttribute(Qt::WA_DeleteOnClose);
    anfitrion->show();
    QPointer<Anfitrion> vigilado(anfitrion);
    frm.setPadre(anfitrion);
    emit frm.Controles->Salir();
    QTRY_VERIFY(vigilado.isNull());
    QVERIFY(frmKT508::Existe());
    QVERIFY(frm.isVisible());

    // Without a host the exit is reported, never fatal.
    frm.setPadre(nullptr);
    emit frm.Controles->Salir();
    QCOMPARE(c.dobles.datos->Mensajes().size(), 1);
    QCOMPARE(c.dobles.datos->Mensajes()[0].titulo, QStringLiteral("Controles_Salir()"));
}

void TstShell::mainCreaLosServicios()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Vacio);
    Publico::Datos = nullptr;
    Publico::Utilerias = nullptr;
    Publico::Main();
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
    qputenv("ORBANEL_REGISTRO", carpeta.filePath(QStringLiteral("registro.ini")).toLocal8Bit());

    orbanel::Registro::RegistraBiblioteca(QStringLiteral(KT508_MODULO));
    const auto clase = orbanel::Registro::Busca(QStringLiteral("KT508.Pantalla"));
    QVERIFY(clase);
    QCOMPARE(clase->version, QStringLiteral("6.00.0048"));
    QCOMPARE(clase->clsid, QString::fromLatin1(kt508::ClsidPantalla));

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
