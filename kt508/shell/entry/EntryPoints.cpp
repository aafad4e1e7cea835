// The four entry points of the loadable component.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "kt508/shell/Main.h"
#include "kt508/shell/Pantalla.h"

#include <QFileInfo>
#include <QString>

#include <dlfcn.h>

#include <exception>
#include <mutex>

namespace {

// Nothing may leave an entry point as an exception: the caller gets the result, and the
// reason of a failure in the thread's error information.
template <typename Resultado, typename Paso>
Resultado SinExcepciones(const char* entrada, Resultado siFalla, Paso&& paso)
{
    kt508::TomaErrorInfo();
    try {
        return paso();
    } catch (const kt508::Error& e) {
        kt508::FijaErrorInfo(e.Description());
    } catch (const std::exception& e) {
        kt508::FijaErrorInfo(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        kt508::FijaErrorInfo(QStringLiteral("Error desconocido en %1.").arg(QLatin1String(entrada)));
    }
    return siFalla;
}

QString rutaDeEstaBiblioteca()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&rutaDeEstaBiblioteca), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

} // namespace

extern "C" {

Q_DECL_EXPORT bool DllRegisterServer()
{
    return SinExcepciones("DllRegisterServer", false, [] {
        const auto& registra = kt508::plataforma().RegistraClase;
        if (!registra)
            return false;
        registra({QString::fromLatin1(kt508::ProgIdPantalla), QString::fromLatin1(kt508::ClsidPantalla),
                  rutaDeEstaBiblioteca(), QString::fromLatin1(kt508::VersionKT508)});
        return true;
    });
}

Q_DECL_EXPORT bool DllUnregisterServer()
{
    return SinExcepciones("DllUnregisterServer", false, [] {
        const auto& borra = kt508::plataforma().BorraClase;
        if (!borra)
            return false;
        borra(QString::fromLatin1(kt508::ProgIdPantalla));
        return true;
    });
}

// Hands out the class factory; the first call runs Main, whose services the factory hands to
// every Pantalla, and a failed Main is tried again on the next call.
Q_DECL_EXPORT QObject* DllGetClassObject(const char* clase)
{
    return SinExcepciones("DllGetClassObject", static_cast<QObject*>(nullptr), [clase]() -> QObject* {
        const QString pedida = QString::fromUtf8(clase);
        if (pedida.compare(QLatin1String(kt508::ProgIdPantalla), Qt::CaseInsensitive) != 0
            && pedida.compare(QLatin1String(kt508::ClsidPantalla), Qt::CaseInsensitive) != 0)
            return nullptr;
        static std::once_flag inicio;
        static Publico::Servicios servicios;
        std::call_once(inicio, [] { servicios = Publico::Main(); });
        static kt508::FabricaPantalla fabrica(servicios);
        return &fabrica;
    });
}

Q_DECL_EXPORT bool DllCanUnloadNow()
{
    return kt508::Pantalla::Vivas() == 0 && !frmKT508::Existe();
}

} // extern "C"
