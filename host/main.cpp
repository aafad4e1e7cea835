// orbanel: the suite's host. Loads a screen by its ProgID and shows it.
#include "host/Senales.h"
#include "host/Traducciones.h"
#include "host/VentanaOrbanel.h"
#include "host/Vnc.h"
#include "kt508/services/Error.h"
#include "kt508/services/ReglasCentro.h"
#include "kt508/store/Mueve.h"
#include "kt508/store/Servicios.h"
#include "kt508/store/Subarbol.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/catalogo/Exportacion.h"
#include "suite/catalogo/Importacion.h"
#include "suite/extras/Historial.h"
#include "suite/registry/Registro.h"
#include "suite/schema/Schema.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/ServicioDatos.h"
#include "suite/services/ServicioUtilerias.h"
#include "suite/services/Sesion.h"
#include "suite/verifica/Verificacion.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr const char* ProgId = "KT508.Pantalla";

struct Opciones {
    QString db;
    QString operador;
    QString screenshot;
    QString registrar;
    QString desregistrar;
    QString exportar;
    QString importar;
    QString historial;
    bool expandir = false;
    bool crearEsquema = false;
    bool verificar = false;
    bool reparar = false;
    bool simular = false;
};

// The operator's name goes into the catalogue's Oper_* columns, which take up to 30 characters.
constexpr int LargoOperador = 30;

// Exit codes of --verificar, --exportar and --importar, for an administrator's scripts.
enum Salida : int { Hecho = 0, ConProblemas = 1, OpcionesErroneas = 2, NoSePudo = 3 };

int errorDeOpciones(const QString& texto)
{
    std::fprintf(stderr, "orbanel: %s\n", qPrintable(texto));
    return OpcionesErroneas;
}

QString conGuiones(const QString& nombre)
{
    return (nombre.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nombre;
}

// The parser speaks before any translation can be loaded, so its English texts are read here:
// the option they name is kept, the words are ours.
QString errorDelAnalisis(const QCommandLineParser& parser)
{
    QStringList desconocidas = parser.unknownOptionNames();
    if (!desconocidas.isEmpty()) {
        for (QString& nombre : desconocidas)
            nombre = conGuiones(nombre);
        return QStringLiteral("%1: %2 (orbanel --help las lista)")
            .arg(desconocidas.size() == 1 ? QStringLiteral("opción desconocida")
                                          : QStringLiteral("opciones desconocidas"),
                 desconocidas.join(QStringLiteral(", ")));
    }
    static const QRegularExpression falta(QStringLiteral("^Missing value after '(.+)'\\.$"));
    static const QRegularExpression sobra(QStringLiteral("^Unexpected value after '(.+)'\\.$"));
    if (const QRegularExpressionMatch m = falta.match(parser.errorText()); m.hasMatch())
        return QStringLiteral("falta el valor de %1").arg(m.captured(1));
    if (const QRegularExpressionMatch m = sobra.match(parser.errorText()); m.hasMatch())
        return QStringLiteral("%1 no lleva valor").arg(m.captured(1));
    return QStringLiteral("las opciones no son válidas (%1)").arg(parser.errorText());
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
    parser.setApplicationDescription(
        QStringLiteral("orbanel: el anfitrión de Orbanel, que abre el catálogo de centros de costos (KT508).\n"
                       "Sin --db usa la base SQLite de la carpeta de datos del usuario."));
    // Qt's own help option has no Spanish text; the version option has.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Muestra esta ayuda y termina.")});
    parser.addVersionOption();
    parser.addOption(
        {QStringLiteral("db"),
         QStringLiteral("Base de datos: sqlite:RUTA, postgresql://usuario@servidor:puerto/base u odbc:CADENA."),
         QStringLiteral("url")});
    parser.addOption({QStringLiteral("operador"), QStringLiteral("Nombre del operador."), QStringLiteral("nombre")});
    parser.addOption({QStringLiteral("crear-esquema"),
                      QStringLiteral("Crea las tablas de Orbanel, sin datos de ejemplo, en una base de datos que ya "
                                     "guarda otras tablas (sin esta opción, esa base se rechaza sin escribir nada).")});
    parser.addOption(
        {QStringLiteral("verificar"),
         QStringLiteral("Revisa el catálogo sin cambiar nada: centros cuyo padre no existe, ciclos, CC_Tipo "
                        "que no concuerda con los hijos y textos más largos que su columna. Termina con "
                        "código 0 si no hay problemas, 1 si los hay y 3 si no pudo revisar.")});
    parser.addOption(
        {QStringLiteral("reparar"),
         QStringLiteral("Con --verificar: corrige el CC_Tipo que no concuerda, en una sola transacción.")});
    parser.addOption({QStringLiteral("exportar"),
                      QStringLiteral("Escribe el catálogo en el archivo, como CSV o como libro de Excel según "
                                     "termine en .csv o en .xlsx, y termina con código 0 si lo escribió y 3 si no "
                                     "pudo."),
                      QStringLiteral("archivo")});
    parser.addOption(
        {QStringLiteral("importar"),
         QStringLiteral("Lee el catálogo de un archivo .csv con las columnas de la exportación, en cualquier orden "
                        "(Clave, Descripción y Acumula en obligatorias): da de alta las claves nuevas y actualiza las "
                        "que existen, todo en una sola transacción. Si algún renglón tiene problemas no escribe "
                        "nada y los lista todos, con su número de línea. Termina con código 0 si importó, 1 si "
                        "rechazó renglones y 3 si no pudo importar."),
         QStringLiteral("archivo")});
    parser.addOption({QStringLiteral("mover"),
                      QStringLiteral("Mueve el centro de costos CLAVE, con los que dependen de él, debajo del centro "
                                     "que da el argumento NUEVO_PADRE (0 para RAIZ), en una sola transacción. "
                                     "Termina con código 0 si lo movió y 3 si no pudo."),
                      QStringLiteral("CLAVE")});
    parser.addOption({QStringLiteral("historial"),
                      QStringLiteral("Muestra los cambios del centro de costos, del más reciente al primero: "
                                     "cuándo, quién, con qué comando y cada campo con su valor antes y después. "
                                     "Termina con código 0 si pudo leerlos y 3 si no."),
                      QStringLiteral("clave")});
    parser.addOption({QStringLiteral("simular"),
                      QStringLiteral("Con --importar: revisa el archivo y dice qué haría, sin escribir nada.")});
    parser.addOption({QStringLiteral("screenshot"), QStringLiteral("Guarda una captura PNG de la ventana y termina."),
                      QStringLiteral("archivo")});
    parser.addOption(
        {QStringLiteral("expandir"), QStringLiteral("Con --screenshot: abre todas las ramas antes de la captura.")});
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

void imprimeCorregidos(const QStringList& corregidos)
{
    std::printf(
        "%s\n",
        qPrintable(QStringLiteral("Se corrigió el CC_Tipo de: %1.").arg(corregidos.join(QStringLiteral(", ")))));
}

// The catalogue of a database that already holds it; never creates the file or the schema.
std::unique_ptr<orbanel::ado::AdoConnection> abreCatalogo(const Opciones& opciones)
{
    const QString url = opciones.db.isEmpty() ? orbanel::Sesion::UrlPorDefecto() : opciones.db;
    // Opening a missing SQLite file would create it.
    if (url.startsWith(QLatin1String("sqlite:")) && !QFileInfo::exists(url.mid(7)))
        throw kt508::Error(QStringLiteral("no existe la base de datos %1").arg(url.mid(7)));
    std::unique_ptr<orbanel::ado::AdoConnection> db = orbanel::schema::Abre(url);
    if (orbanel::schema::Vacia(*db))
        throw kt508::Error(QStringLiteral("la base de datos no tiene el catálogo de centros de costos."));
    return db;
}

int noSePudo(const QString& que, const kt508::Error& e)
{
    std::fprintf(stderr, "orbanel: no se pudo %s el catálogo: %s\n", qPrintable(que),
                 qPrintable(QString(e.Description()).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    return NoSePudo;
}

// The check needs no display and never creates the schema: it only reads, unless asked to repair.
int verifica(int argc, char* argv[], const Opciones& opciones)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Orbanel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Orbanel"));
    try {
        std::unique_ptr<orbanel::ado::AdoConnection> db = abreCatalogo(opciones);
        orbanel::verifica::Informe informe = orbanel::verifica::Verifica(*db);
        std::printf("%s", qPrintable(informe.Texto()));
        if (opciones.reparar && informe.Cuantos(orbanel::verifica::Clase::TipoErroneo) > 0) {
            // The check went well: a failure now is the repair's.
            try {
                const QString operador = opciones.operador.isEmpty() ? orbanel::Sesion::Operador() : opciones.operador;
                imprimeCorregidos(orbanel::verifica::ReparaTipos(*db, operador));
            } catch (const kt508::Error& e) {
                return noSePudo(QStringLiteral("reparar"), e);
            }
            informe = orbanel::verifica::Verifica(*db);
        }
        return informe.problemas.isEmpty() ? Hecho : ConProblemas;
    } catch (const kt508::Error& e) {
        return noSePudo(QStringLiteral("verificar"), e);
    }
}

// What a task on the session's catalogue ends with: its exit code and what it says on the console.
struct Resultado {
    int codigo;
    QString texto;
};

// A task that needs no display, on a session opened on the catalogue: the session is closed before
// the task's report is printed, and a failure is told by `fallo` once it is closed too.
int enSesion(int argc, char* argv[], const Opciones& opciones, const std::function<Resultado()>& tarea,
             const std::function<int(const kt508::Error&)>& fallo)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Orbanel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Orbanel"));
    try {
        orbanel::Sesion::Establece(abreCatalogo(opciones), opciones.operador);
        const Resultado resultado = tarea();
        orbanel::Sesion::Cierra();
        std::printf("%s", qPrintable(resultado.texto));
        return resultado.codigo;
    } catch (const kt508::Error& e) {
        orbanel::Sesion::Cierra();
        return fallo(e);
    }
}

std::function<int(const kt508::Error&)> noSePudo(const QString& que)
{
    return [que](const kt508::Error& e) { return noSePudo(que, e); };
}

// The export reads through the session's connection, as the menu's.
int exporta(int argc, char* argv[], const Opciones& opciones)
{
    return enSesion(
        argc, argv, opciones,
        [&opciones] {
            const int centros = orbanel::catalogo::Exporta(orbanel::Sesion::Conexion(), opciones.exportar);
            return Resultado{Hecho,
                             QStringLiteral("Se exportaron %1 centros de costos a %2.\n")
                                 .arg(centros)
                                 .arg(QDir::toNativeSeparators(opciones.exportar))};
        },
        noSePudo(QStringLiteral("exportar")));
}

// The history reads through the session's connection, as the window's.
int muestraHistorial(int argc, char* argv[], const Opciones& opciones)
{
    return enSesion(
        argc, argv, opciones,
        [&opciones] {
            const auto cambios = orbanel::historial::Cambios(orbanel::Sesion::Conexion(), opciones.historial);
            return Resultado{Hecho, orbanel::historial::Texto(opciones.historial, cambios)};
        },
        [&opciones](const kt508::Error& e) {
            std::fprintf(stderr, "orbanel: no se pudo leer el historial del centro de costos %s: %s\n",
                         qPrintable(opciones.historial),
                         qPrintable(QString(e.Description()).replace(QLatin1Char('\n'), QLatin1Char(' '))));
            return NoSePudo;
        });
}

// A count on the console while the centres are written.
bool avanceEnConsola(int hechos, int total)
{
    if (hechos > 0) {
        std::printf("%s\n",
                    qPrintable(QStringLiteral("Importando: %1 de %2 centros escritos.").arg(hechos).arg(total)));
        std::fflush(stdout);
    }
    return true;
}

// The import writes through the session's connection and the suite's own services, as the menu's.
int importa(int argc, char* argv[], const Opciones& opciones)
{
    const auto modo = opciones.simular ? orbanel::catalogo::Modo::Simular : orbanel::catalogo::Modo::Importar;
    return enSesion(
        argc, argv, opciones,
        [&opciones, modo] {
            orbanel::ServicioDatos datos;
            orbanel::ServicioUtilerias utilerias;
            const orbanel::catalogo::Importacion importacion =
                orbanel::catalogo::Importa(opciones.importar, datos, utilerias, modo, avanceEnConsola);
            return Resultado{importacion.rechazos.empty() ? Hecho : ConProblemas, importacion.Texto() + u'\n'};
        },
        noSePudo(QStringLiteral("importar")));
}

// The move is the component's own routine, on the session's connection and the suite's services,
// with the centre's parent as the store holds it.
int mueve(int argc, char* argv[], const Opciones& opciones, const QString& clave, const QString& nuevo)
{
    return enSesion(
        argc, argv, opciones,
        [&clave, &nuevo] {
            orbanel::ServicioDatos datos;
            orbanel::ServicioUtilerias utilerias;
            const Publico::Servicios servicios{&datos, &utilerias};
            const QString padre = Publico::PadreDeCentro(servicios, clave).toString();
            if (padre.isEmpty())
                throw kt508::Error(QStringLiteral("El centro de costos %1 no existe.").arg(clave));
            if (padre != nuevo)
                Publico::MueveCentro(servicios, {clave, padre, nuevo, std::nullopt});
            // Said as the store now holds it.
            const QString ahora = Publico::PadreDeCentro(servicios, clave).toString();
            return Resultado{Hecho, QStringLiteral("El centro de costos %1 depende ahora de %2.\n").arg(clave, ahora)};
        },
        noSePudo(QStringLiteral("mover")));
}

// The help, in Spanish as the rest of the program.
int ayuda(int argc, char* argv[], const QStringList& lista)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orbanel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORBANEL_VERSION));
    CargaTraducciones(app);
    QCommandLineParser parser;
    defineOpciones(parser);
    parser.parse(lista);
    if (parser.isSet(QStringLiteral("version")))
        std::printf("orbanel %s\n", ORBANEL_VERSION);
    else
        std::printf("%s", qPrintable(parser.helpText()));
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
    CargaTraducciones(app);
    if (QGuiApplication::platformName() == QLatin1String("vnc"))
        QTimer::singleShot(0, &app, [] {
            if (!SoloEstaMaquina()) {
                std::fprintf(stderr,
                             "orbanel: no se pudo limitar el servidor VNC a esta máquina; no se sirve la pantalla.\n");
                QApplication::exit(1);
            }
        });
    AtiendeSenales(app);
    orbanel::InstalaPlataforma();
    // Nobody is there to answer a message during a capture.
    orbanel::DialogoMensaje::EnConsola(!opciones.screenshot.isEmpty());
    // However the event loop ended, the loaded component's windows go first, then the session and
    // its connection, and both before the application that their widgets and driver live in.
    struct Fin {
        QPointer<VentanaOrbanel> ventana;
        ~Fin()
        {
            delete ventana;
            orbanel::Sesion::Cierra();
        }
    } fin;

    try {
        orbanel::Sesion::Configura(
            opciones.db.isEmpty() ? orbanel::Sesion::UrlPorDefecto() : opciones.db, opciones.operador,
            opciones.crearEsquema ? orbanel::Sesion::Esquema::Crear : orbanel::Sesion::Esquema::SiEstaVacia);
        orbanel::Sesion::Conexion();
    } catch (const kt508::Error& e) {
        return falla(e.Description(), opciones.screenshot.isEmpty());
    }

    fin.ventana = new VentanaOrbanel(QStringLiteral("KT508"));
    try {
        cargaPantalla(*fin.ventana);
    } catch (const kt508::Error& e) {
        delete fin.ventana;
        return falla(QStringLiteral("No se pudo abrir el catálogo de centros de costos.\n\n%1").arg(e.Description()),
                     opciones.screenshot.isEmpty());
    }
    fin.ventana->show();
    if (!opciones.screenshot.isEmpty())
        tomaFoto(fin.ventana, opciones.screenshot, opciones.expandir);
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QCommandLineParser parser;
    defineOpciones(parser);
    if (!parser.parse(argumentos(argc, argv)))
        return errorDeOpciones(errorDelAnalisis(parser));
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version")))
        return ayuda(argc, argv, argumentos(argc, argv));
    const bool mover = parser.isSet(QStringLiteral("mover"));
    if (mover && parser.positionalArguments().size() != 1)
        return errorDeOpciones(QStringLiteral("--mover CLAVE NUEVO_PADRE: falta el nuevo padre o sobran argumentos"));
    if (!mover && !parser.positionalArguments().isEmpty())
        return errorDeOpciones(QStringLiteral("argumento no reconocido: %1").arg(parser.positionalArguments().first()));

    const Opciones opciones{parser.value(QStringLiteral("db")),           parser.value(QStringLiteral("operador")),
                            parser.value(QStringLiteral("screenshot")),   parser.value(QStringLiteral("registrar")),
                            parser.value(QStringLiteral("desregistrar")), parser.value(QStringLiteral("exportar")),
                            parser.value(QStringLiteral("importar")),     parser.value(QStringLiteral("historial")),
                            parser.isSet(QStringLiteral("expandir")),     parser.isSet(QStringLiteral("crear-esquema")),
                            parser.isSet(QStringLiteral("verificar")),    parser.isSet(QStringLiteral("reparar")),
                            parser.isSet(QStringLiteral("simular"))};
    if (parser.isSet(QStringLiteral("db")) && !urlValida(opciones.db))
        return errorDeOpciones(
            QStringLiteral(
                "--db debe ser sqlite:RUTA, postgresql://usuario@servidor:puerto/base u odbc:CADENA (recibido «%1»)")
                .arg(opciones.db));
    const qsizetype largoOperador = kt508::reglas::Caracteres(opciones.operador);
    if (largoOperador > LargoOperador)
        return errorDeOpciones(QStringLiteral("--operador admite hasta %1 caracteres (recibido «%2», de %3)")
                                   .arg(LargoOperador)
                                   .arg(opciones.operador)
                                   .arg(largoOperador));
    if (opciones.reparar && !opciones.verificar)
        return errorDeOpciones(QStringLiteral("--reparar solo se usa junto con --verificar"));
    if (parser.isSet(QStringLiteral("exportar")) && (opciones.verificar || !opciones.screenshot.isEmpty()))
        return errorDeOpciones(QStringLiteral("--exportar no se usa junto con --verificar ni con --screenshot"));
    const bool importar = parser.isSet(QStringLiteral("importar"));
    if (opciones.simular && !importar)
        return errorDeOpciones(QStringLiteral("--simular solo se usa junto con --importar"));
    if (importar && (opciones.verificar || parser.isSet(QStringLiteral("exportar")) || !opciones.screenshot.isEmpty()))
        return errorDeOpciones(
            QStringLiteral("--importar no se usa junto con --verificar, --exportar ni --screenshot"));
    if (importar && !opciones.importar.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return errorDeOpciones(QStringLiteral("el catálogo se importa de un archivo .csv (valores separados por "
                                              "comas); «%1» no termina en .csv")
                                   .arg(opciones.importar));
    if (parser.isSet(QStringLiteral("historial"))
        && (opciones.verificar || importar || parser.isSet(QStringLiteral("exportar"))
            || !opciones.screenshot.isEmpty()))
        return errorDeOpciones(
            QStringLiteral("--historial no se usa junto con --verificar, --exportar, --importar ni --screenshot"));
    if (parser.isSet(QStringLiteral("exportar"))) {
        try {
            orbanel::catalogo::FormatoDe(opciones.exportar);
        } catch (const kt508::Error& e) {
            return errorDeOpciones(e.Description());
        }
    }
    if (!opciones.registrar.isEmpty() || !opciones.desregistrar.isEmpty())
        return registra(argc, argv, opciones);
    if (opciones.verificar)
        return verifica(argc, argv, opciones);
    if (parser.isSet(QStringLiteral("exportar")))
        return exporta(argc, argv, opciones);
    if (importar)
        return importa(argc, argv, opciones);
    if (mover)
        return mueve(argc, argv, opciones, parser.value(QStringLiteral("mover")).trimmed(),
                     parser.positionalArguments().first().trimmed());
    if (parser.isSet(QStringLiteral("historial")))
        return muestraHistorial(argc, argv, opciones);
    return ejecuta(argc, argv, opciones);
}
