#include "kt508/shell/Main.h"

#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "kt508/store/Publico.h"

namespace Publico {

void Main()
{
    const kt508::Plataforma& p = kt508::plataforma();
    if (!p.NuevoDatos || !p.NuevoUtilerias)
        throw kt508::Error(QStringLiteral("La plataforma no ofrece los servicios de datos y utilerías."));
    // The services live until the process ends; the component never releases them.
    Datos = kt508::plataforma().NuevoDatos().release();
    Utilerias = kt508::plataforma().NuevoUtilerias().release();
}

} // namespace Publico
