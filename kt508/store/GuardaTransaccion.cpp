#include "kt508/store/GuardaTransaccion.h"

#include "kt508/services/Connection.h"

namespace Publico {

GuardaTransaccion::GuardaTransaccion(kt508::Connection& conexion)
    : m_conexion(conexion)
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
