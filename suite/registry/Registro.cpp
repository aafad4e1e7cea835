#include "suite/registry/Registro.h"

#include "kt508/services/Error.h"
#include "suite/Plataforma.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QObject>
#include <QSettings>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <dlfcn.h>
#endif

#include <map>
#include <memory>

namespace orbanel {

namespace {

// The entry points every loadable component exports.
using FnRegistro = bool (*)();
using FnClassObject = QObject* (*)(const char* progId);

QSettings abreRegistro()
{
    return QSettings(Registro::Archivo(), QSettings::IniFormat);
}

QString grupo(const QString& progId)
{
    return QStringLiteral("Clases/") + progId;
}

// Why the library does not load, in the system's words: QLibrary's own text is English, and after
// trying other names it may speak of a file the caller never named.
QString motivoDelSistema(const QLibrary& biblioteca)
{
#if defined(Q_OS_UNIX)
    if (void* abierta = dlopen(QFile::encodeName(biblioteca.fileName()).constData(), RTLD_NOW | RTLD_LOCAL)) {
        dlclose(abierta);
        return biblioteca.errorString();
    }
    return QString::fromLocal8Bit(dlerror());
#else
    return biblioteca.errorString();
#endif
}

QLibrary& cargaBiblioteca(const QString& ruta)
{
    // Libraries stay loaded for the life of the process, as the platform does: a component's
    // services and windows live as long as the process, never after their code is gone.
    static std::map<QString, std::unique_ptr<QLibrary>> cargadas;
    std::unique_ptr<QLibrary>& biblioteca = cargadas[ruta];
    if (biblioteca)
        return *biblioteca;
    if (!QFileInfo::exists(ruta)) {
        cargadas.erase(ruta);
        throw kt508::Error(QStringLiteral("No se pudo cargar la biblioteca «%1»: el archivo no existe.").arg(ruta));
    }
    auto nueva = std::make_unique<QLibrary>(ruta);
    nueva->setLoadHints(QLibrary::ResolveAllSymbolsHint | QLibrary::PreventUnloadHint);
    if (!nueva->load()) {
        cargadas.erase(ruta);
        throw kt508::Error(
            QStringLiteral("No se pudo cargar la biblioteca «%1»: %2").arg(ruta, motivoDelSistema(*nueva)));
    }
    biblioteca = std::move(nueva);
    return *biblioteca;
}

// What an entry point that answered "no" left as its reason, else the text given.
QString motivoDeFalla(const QString& siNoDice)
{
    const QString motivo = kt508::TomaErrorInfo();
    return motivo.isEmpty() ? siNoDice : motivo;
}

template <typename Fn> Fn resuelve(QLibrary& biblioteca, const char* simbolo)
{
    auto fn = reinterpret_cast<Fn>(biblioteca.resolve(simbolo));
    if (!fn)
        throw kt508::Error(QStringLiteral("La biblioteca «%1» no exporta %2.")
                               .arg(biblioteca.fileName(), QString::fromLatin1(simbolo)));
    return fn;
}

} // namespace

QString Registro::Archivo()
{
    const QString archivo = qEnvironmentVariable("ORBANEL_REGISTRO");
    if (!archivo.isEmpty())
        return archivo;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Orbanel/registro.ini");
}

void Registro::Registra(const kt508::ClaseRegistrada& clase)
{
    QDir().mkpath(QFileInfo(Archivo()).absolutePath());
    QSettings registro = abreRegistro();
    registro.beginGroup(grupo(clase.progId));
    registro.setValue(QStringLiteral("CLSID"), clase.clsid);
    registro.setValue(QStringLiteral("Biblioteca"), clase.biblioteca);
    registro.setValue(QStringLiteral("Version"), clase.version);
    registro.endGroup();
    registro.sync();
    if (registro.status() != QSettings::NoError)
        throw kt508::Error(QStringLiteral("No se pudo escribir el registro «%1».").arg(Archivo()));
}

void Registro::Borra(const QString& progId)
{
    QSettings registro = abreRegistro();
    registro.remove(grupo(progId));
}

std::optional<kt508::ClaseRegistrada> Registro::Busca(const QString& progId)
{
    QSettings registro = abreRegistro();
    registro.beginGroup(grupo(progId));
    const QString biblioteca = registro.value(QStringLiteral("Biblioteca")).toString();
    if (biblioteca.isEmpty())
        return std::nullopt;
    return kt508::ClaseRegistrada{progId, registro.value(QStringLiteral("CLSID")).toString(), biblioteca,
                                  registro.value(QStringLiteral("Version")).toString()};
}

void Registro::RegistraBiblioteca(const QString& ruta)
{
    QLibrary& biblioteca = cargaBiblioteca(QFileInfo(ruta).absoluteFilePath());
    if (!resuelve<FnRegistro>(biblioteca, "DllRegisterServer")())
        throw kt508::Error(motivoDeFalla(QStringLiteral("La biblioteca «%1» no pudo registrarse.").arg(ruta)));
}

void Registro::DesregistraBiblioteca(const QString& ruta)
{
    QLibrary& biblioteca = cargaBiblioteca(QFileInfo(ruta).absoluteFilePath());
    if (!resuelve<FnRegistro>(biblioteca, "DllUnregisterServer")())
        throw kt508::Error(motivoDeFalla(QStringLiteral("La biblioteca «%1» no pudo borrar su registro.").arg(ruta)));
}

QObject* Registro::CreaObjeto(const QString& progId)
{
    const auto clase = Busca(progId);
    if (!clase)
        throw kt508::Error(QStringLiteral("La clase «%1» no está registrada en «%2».").arg(progId, Archivo()));
    QLibrary& biblioteca = cargaBiblioteca(clase->biblioteca);
    const QByteArray id = progId.toUtf8();
    QObject* fabrica = resuelve<FnClassObject>(biblioteca, "DllGetClassObject")(id.constData());
    if (!fabrica)
        throw kt508::Error(motivoDeFalla(
            QStringLiteral("La biblioteca «%1» no ofrece la clase «%2».").arg(clase->biblioteca, progId)));
    QObject* objeto = nullptr;
    if (!QMetaObject::invokeMethod(fabrica, "CreateInstance", Q_RETURN_ARG(QObject*, objeto)) || !objeto)
        throw kt508::Error(QStringLiteral("No se pudo crear un objeto de la clase «%1».").arg(progId));
    return objeto;
}

void InstalaRegistro(kt508::Plataforma& p)
{
    p.RegistraClase = &Registro::Registra;
    p.BorraClase = &Registro::Borra;
}

} // namespace orbanel
