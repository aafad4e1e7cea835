#include "suite/Plataforma.h"

#include "kt508/services/Plataforma.h"

namespace orbanel {

void InstalaPlataforma()
{
    kt508::Plataforma& p = kt508::plataforma();
    InstalaServicios(p);
    InstalaControles(p);
    InstalaImpresion(p);
    InstalaConsulta(p);
    InstalaRegistro(p);
}

} // namespace orbanel
