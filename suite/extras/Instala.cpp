#include "suite/Plataforma.h"

#include "kt508/services/Plataforma.h"
#include "suite/extras/ServicioExtras.h"

namespace orbanel {

void InstalaExtras(kt508::Plataforma& p)
{
    p.NuevoExtras = [] { return std::make_unique<ServicioExtras>(); };
}

} // namespace orbanel
