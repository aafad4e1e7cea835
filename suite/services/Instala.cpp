#include "suite/Plataforma.h"

#include "kt508/services/Plataforma.h"
#include "suite/services/CuadroEntrada.h"
#include "suite/services/ServicioDatos.h"
#include "suite/services/ServicioUtilerias.h"

namespace orbanel {

void InstalaServicios(kt508::Plataforma& p)
{
    p.NuevoDatos = [] { return std::make_unique<ServicioDatos>(); };
    p.NuevoUtilerias = [] { return std::make_unique<ServicioUtilerias>(); };
    p.InputBox = [](const QString& prompt, const QString& titulo, const QString& textoInicial) {
        return CuadroEntrada::Pide(prompt, titulo, textoInicial);
    };
}

} // namespace orbanel
