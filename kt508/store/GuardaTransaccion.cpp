#include "kt508/store/GuardaTransaccion.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Datos.h"
#include "kt508/store/Publico.h"

namespace Publico {

GuardaTransaccion::GuardaTransaccion()
    : m_conexion(Datos->Conexion())
{
    m_conexion.BeginTrans();
}

GuardaTransaccion::~GuardaTransaccion()
{
    Deshace();
}

void GuardaTransaccion::Confirma()
{
    if (!m_abierta)
        return;
    m_conexion.CommitTrans();
    m_abierta = false;
}

void GuardaTransaccion::Deshace()
{
    if (!m_abierta)
        return;
    m_abierta = false;
    try {
        m_conexion.RollbackTrans();
    } catch (...) {
        // the command reports its own failure; a lost connection has dropped the work anyway,
        // and nothing may leave the destructor
    }
}

bool GuardaTransaccion::Abierta() const
{
    return m_abierta;
}

} // namespace Publico
