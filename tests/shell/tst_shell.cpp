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

using namespace Qt::StringLiterals;

using pruebas::Componente;
using pruebas::Contenido;

namespace {

// A host window that answers Transaccion. Unless told otherwise, closing only hides it.
class Anfitrion : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)
public:
    QString Transaccion() const { return u"CAT-508"_s; }
};

} // namespace

class TstShell : public QObject {
    Q_OBJECT

private slots:
    void ventanaPadreYTransaccion();
    void salirDescargaAlAnfitrion_data();
    void salirDescargaAlAnfitrion();
    void registroYCarga();
};

// One window for every Pantalla, created and not loaded (nothing read yet); Transaccion needs a
// host that answers it, and reads by name as the host's own: a value, or none while it cannot.
void TstShell::ventanaPadreYTransaccion()
{
    Componente c(u"sqlite"_s, Contenido::Vacio);
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
    const QString esperada = c.servicios.Utilerias->TextoTransaccion(u"CAT-508"_s, u"Orbanel"_s);
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
    Componente c(u"sqlite"_s, Contenido::Demo);
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

    c.Inserta(u"777"_s, u"0"_s, u"Nuevo"_s, 0, u"AC"_s);
    c.db().Execute(u"UPDATE Parametros SET Valor = '000200' WHERE Parametro = 'CAT_GRUPO_CENTRO_COSTO_DEFAULT'"_s);
    emit frm->Controles->Salir();
    QTRY_VERIFY(anfitrion.isNull());
    QVERIFY(!frmKT508::Existe() || !frmKT508::Instancia(c.servicios).Cargada());

    anfitrion = new Anfitrion;
    frm = abre(anfitrion);
    QVERIFY(frm->tvCeCos->Nodes(u"N777"_s));
    QCOMPARE(frm->DefaultGroup, u"000200"_s);

    // Without a host there is nothing to unload: nothing happens; nothing was ever reported.
    frm->setPadre(nullptr);
    emit frm->Controles->Salir();
    QVERIFY(frm->Cargada());
    QVERIFY(c.dobles.datos->Mensajes().isEmpty());
    delete anfitrion;
}

void TstShell::registroYCarga()
{
    Componente c(u"sqlite"_s, Contenido::Vacio);
    QTemporaryDir carpeta;
    // A registry that cannot be written: the registration says why, not only that it failed.
    const QString sinPermiso = carpeta.filePath(u"registro.ini/no-es-carpeta/registro.ini"_s);
    QFile(carpeta.filePath(u"registro.ini"_s)).open(QIODevice::WriteOnly);
    qputenv("ORBANEL_REGISTRO", sinPermiso.toLocal8Bit());
    QString motivo = pruebas::errorDe([] { orbanel::Registro::RegistraBiblioteca(QStringLiteral(KT508_MODULO)); });
    QVERIFY2(motivo.contains(u"No se pudo escribir el registro"_s), qPrintable(motivo));
    QVERIFY(QFile::remove(carpeta.filePath(u"registro.ini"_s)));
    qputenv("ORBANEL_REGISTRO", carpeta.filePath(u"registro.ini"_s).toLocal8Bit());

    orbanel::Registro::RegistraBiblioteca(QStringLiteral(KT508_MODULO));

    // A Main that fails leaves the entry point as its answer, not as an exception, the caller
    // learns Main's own reason, and the next request runs Main again.
    kt508::Plataforma& p = kt508::plataforma();
    const auto nuevoDatos = p.NuevoDatos;
    p.NuevoDatos = nullptr;
    motivo = pruebas::errorDe([] { delete orbanel::Registro::CreaObjeto(u"KT508.Pantalla"_s); });
    p.NuevoDatos = nuevoDatos;
    QVERIFY2(motivo.contains(u"servicios de datos y utilerías"_s), qPrintable(motivo));

    std::unique_ptr<QObject> pantalla(orbanel::Registro::CreaObjeto(u"KT508.Pantalla"_s));
    auto* ventana = qobject_cast<QWidget*>(pantalla->property("GetPantalla").value<QObject*>());
    QVERIFY(ventana);
    QVERIFY(ventana->setProperty("Padre", QVariant::fromValue<QObject*>(pantalla.get())));
    QCOMPARE(ventana->property("Padre").value<QObject*>(), pantalla.get());
    delete ventana;

    // Once unregistered, the class cannot be created, and the host is told why.
    orbanel::Registro::DesregistraBiblioteca(QStringLiteral(KT508_MODULO));
    QVERIFY(!orbanel::Registro::Busca(u"KT508.Pantalla"_s));
    motivo = pruebas::errorDe([] { delete orbanel::Registro::CreaObjeto(u"KT508.Pantalla"_s); });
    QVERIFY2(motivo.contains(u"no está registrada"_s), qPrintable(motivo));
    qunsetenv("ORBANEL_REGISTRO");
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
