// orbanel: the suite's host. Loads a screen by its ProgID and shows it.
#include "host/VentanaOrbanel.h"
#include "kt508/services/Error.h"
#include "suite/Plataforma.h"
#include "suite/registry/Registro.h"
#include "suite/services/Sesion.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

namespace {

constexpr const char* ProgId = "KT508.Pantalla";

struct Opciones {
    QString db;
    QString operador;
    QString screenshot;
    QString registrar;
    QString desregistrar;
    bool expandir = false;
};

int errorDeOpciones(const QString& texto)
{
    std::fprintf(stderr, "orbanel: %s\n", qPrintable(texto));
    return 2;
}

bool urlValida(const QString& url)
{
    return url.startsWith(QLatin1String("sqlite:")) || url.startsWith(QLatin1String("postgresql://"))
        || url.startsWith(QLatin1String("odbc:"));
}

// The user sees why the host cannot go on; a headless capture only says it on the console.
int falla(const QString& texto, bool interactivo)
{
    std::fprintf(stderr, "orbanel: %s\n", qPrintable(QString(texto).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    if (interactivo)
        QMessageBox::critical(nullptr, QStringLiteral("Orbanel"), texto);
    return 1;
}

// Loads the screen through the registry, hands it the host window and embeds it.
QWidget* cargaPantalla(VentanaOrbanel& ventana)
{
    QObject* pantalla = orbanel::Registro::CreaObjeto(QString::fromLatin1(ProgId));
    pantalla->setParent(&ventana);
    auto* catalogo = qobject_cast<QWidget*>(pantalla->property("GetPantalla").value<QObject*>());
    if (!catalogo)
        throw kt508::Error(QStringLiteral("«%1» no entregó una pantalla.").arg(QString::fromLatin1(ProgId)));
    catalogo->setProperty("Padre", QVariant::fromValue<QObject*>(&ventana));
    QString fallo;
    QMetaObject::invokeMethod(catalogo, "Load", Q_RETURN_ARG(QString, fallo));
    if (!fallo.isEmpty())
        throw kt508::Error(fallo);
    ventana.Muestra(catalogo);
    return catalogo;
}

void tomaFoto(QWidget* ventana, const QString& archivo, bool expandir)
{
    QTimer::singleShot(400, ventana, [ventana, archivo, expandir] {
        // As a user would open every branch before looking.
        if (expandir) {
            for (QTreeView* arbol : ventana->findChildren<QTreeView*>())
                arbol->expandAll();
            QApplication::processEvents();
        }
        const bool guardada = ventana->grab().save(archivo, "PNG");
        if (!guardada)
            std::fprintf(stderr, "orbanel: no se pudo guardar la captura en %s\n", qPrintable(archivo));
        QApplication::exit(guardada ? 0 : 1);
    });
}

QStringList argumentos(int argc, char* argv[])
{
    QStringList lista;
    for (int i = 0; i < argc; ++i)
        lista << QString::fromLocal8Bit(argv[i]);
    return lista;
}

void defineOpciones(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Orbanel: catálogo de centros de costos"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("db"),
                      QStringLiteral("Base de datos: sqlite:RUTA, postgresql://usuario@servidor:puerto/base u odbc:CADENA."),
                      QStringLiteral("url")});
    parser.addOption({QStringLiteral("operador"), QStringLiteral("Nombre del operador."), QStringLiteral("nombre")});
    parser.addOption({QStringLiteral("screenshot"), QStringLiteral("Guarda una captura PNG de la ventana y termina."),
                      QStringLiteral("archivo")});
    parser.addOption({QStringLiteral("expandir"), QStringLiteral("Con --screenshot: abre todas las ramas antes de la captura.")});
    parser.addOption({QStringLiteral("registrar"), QStringLiteral("Registra un componente y termina."),
                      QStringLiteral("biblioteca")});
    parser.addOption({QStringLiteral("desregistrar"), QStringLiteral("Borra el registro de un componente y termina."),
                      QStringLiteral("biblioteca")});
}

// Registration needs no display, as a registration tool would not.
int registra(int argc, char* argv[], const Opciones& opciones)
{
    QCoreApplication app(argc, argv);
    orbanel::InstalaPlataforma();
    try {
        if (!opciones.registrar.isEmpty())
            orbanel::Registro::RegistraBiblioteca(opciones.registrar);
        else
            orbanel::Registro::DesregistraBiblioteca(opciones.desregistrar);
    } catch (const kt508::Error& e) {
        return errorDeOpciones(e.Description());
    }
    return 0;
}

int ejecuta(int argc, char* argv[], const Opciones& opciones)
{
    // A capture works without a display.
    if (!opciones.screenshot.isEmpty() && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbanel"));
    QApplication::setOrganizationName(QStringLiteral("Orbanel"));
    orbanel::InstalaPlataforma();
    // The connection goes before the application that its driver lives in.
    struct CierraSesion {
        ~CierraSesion() { orbanel::Sesion::Cierra(); }
    } cierraSesion;

    try {
        orbanel::Sesion::Configura(opciones.db.isEmpty() ? orbanel::Sesion::UrlPorDefecto() : opciones.db,
                                   opciones.operador);
        orbanel::Sesion::Conexion();
    } catch (const kt508::Error& e) {
        return falla(e.Description(),
                     opciones.screenshot.isEmpty());
    }

    QPointer<VentanaOrbanel> ventana = new VentanaOrbanel(QStringLiteral("KT508"));
    try {
        cargaPantalla(*ventana);
    } catch (const kt508::Error& e) {
        delete ventana;
        return falla(QStringLiteral("No se pudo abrir el catálogo de centros de costos.\n\n%1").arg(e.Description()),
                     opciones.screenshot.isEmpty());
    }
    ventana->show();
    if (!opciones.screenshot.isEmpty())
        tomaFoto(ventana, opciones.screenshot, opciones.expandir);
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QCommandLineParser parser;
    defineOpciones(parser);
    if (!parser.parse(argumentos(argc, argv)))
        return errorDeOpciones(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return errorDeOpciones(QStringLiteral("argumento no reconocido: %1").arg(parser.positionalArguments().first()));

    const Opciones opciones{parser.value(QStringLiteral("db")), parser.value(QStringLiteral("operador")),
                            parser.value(QStringLiteral("screenshot")), parser.value(QStringLiteral("registrar")),
                            parser.value(QStringLiteral("desregistrar")), parser.isSet(QStringLiteral("expandir"))};
    if (parser.isSet(QStringLiteral("db")) && !urlValida(opciones.db))
        return errorDeOpciones(
            QStringLiteral("--db debe ser sqlite:RUTA, postgresql://usuario@servidor:puerto/base u odbc:CADENA (recibido «%1»)")
                .arg(opciones.db));
    if (!opciones.registrar.isEmpty() || !opciones.desregistrar.isEmpty())
        return registra(argc, argv, opciones);
    return ejecuta(argc, argv, opciones);
}
