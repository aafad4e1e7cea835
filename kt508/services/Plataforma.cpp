#include "kt508/services/Plataforma.h"

#include "kt508/services/Connection.h"

namespace kt508 {

Connection::~Connection() = default;
IDatos::~IDatos() = default;
IUtilerias::~IUtilerias() = default;
IImpresorTexto::~IImpresorTexto() = default;
IConsultaRegistro::~IConsultaRegistro() = default;

Plataforma& plataforma()
{
    static Plataforma instance;
    return instance;
}

} // namespace kt508
