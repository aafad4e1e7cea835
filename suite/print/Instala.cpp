#include "suite/Plataforma.h"

#include "kt508/services/Plataforma.h"
#include "suite/print/ImpresorTexto.h"

namespace orbanel {

void InstalaImpresion(kt508::Plataforma& p)
{
    p.NuevoImpresorTexto = [] { return std::make_unique<ImpresorTexto>(); };
}

} // namespace orbanel
