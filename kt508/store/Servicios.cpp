#include "kt508/store/Servicios.h"

#include "kt508/services/Datos.h"
#include "kt508/services/Utilerias.h"

namespace Publico {

kt508::Connection& Servicios::Conexion() const
{
    return Datos->Conexion();
}

QString Servicios::Operador() const
{
    return Datos->Usuario();
}

QString Servicios::FechaHoraServidor() const
{
    return Utilerias->FormatoFechaHora(Utilerias->FechaServidor());
}

} // namespace Publico
