// The four entry points of the loadable component.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Plataforma.h"
#include "kt508/shell/Main.h"
#include "kt508/shell/Pantalla.h"

#include <QFileInfo>
#include <QString>

#include <dlfcn.h>

#include <mutex>

namespace {

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
    const auto& registra = kt508::plataforma().RegistraClase;
    if (!registra)
        return false;
    registra({QString::fromLatin1(kt508::ProgIdPantalla), QString::fromLatin1(kt508::ClsidPantalla),
              rutaDeEstaBiblioteca(), QString::fromLatin1(kt508::VersionKT508)});
    return true;
}

Q_DECL_EXPORT bool DllUnregisterServer()
{
    const auto& borra = kt508::plataforma().BorraClase;
    if (!borra)
        return false;
    borra(QString::fromLatin1(kt508::ProgIdPantalla));
    return true;
}

// Hands out the class factory; the first call runs Main.
Q_DECL_EXPORT QObject* DllGetClassObject(const char* clase)
{
    const QString pedida = QString::fromUtf8(clase);
    if (pedida.compare(QLatin1String(kt508::ProgIdPantalla), Qt::CaseInsensitive) != 0
        && pedida.compare(QLatin1String(kt508::ClsidPantalla), Qt::CaseInsensitive) != 0)
        return nullptr;
    static std::once_flag inicio;
    std::call_once(inicio, &Publico::Main);
    static kt508::FabricaPantalla fabrica;
    return &fabrica;
}

Q_DECL_EXPORT bool DllCanUnloadNow()
{
    return kt508::Pantalla::Vivas() == 0 && !frmKT508::Existe();
}

} // extern "C"
