#include "suite/Plataforma.h"

#include "kt508/services/Plataforma.h"
#include "suite/consulta/ConsultaRegistro.h"

namespace orbanel {

void InstalaConsulta(kt508::Plataforma& p)
{
    p.NuevoConsultaRegistro = [] { return std::make_unique<ConsultaRegistro>(); };
}

} // namespace orbanel
