#include "kt508/shell/Main.h"

#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"

namespace Publico {

Servicios Main()
{
    const kt508::Plataforma& p = kt508::plataforma();
    if (!p.NuevoDatos || !p.NuevoUtilerias)
        throw kt508::Error(QStringLiteral("La plataforma no ofrece los servicios de datos y utilerías."));
    Servicios servicios;
    servicios.Datos = p.NuevoDatos().release();
    servicios.Utilerias = p.NuevoUtilerias().release();
    return servicios;
}

} // namespace Publico
