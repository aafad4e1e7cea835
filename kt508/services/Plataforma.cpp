#include "kt508/services/Plataforma.h"

#include "kt508/services/Connection.h"

#include <utility>

namespace kt508 {

Connection::~Connection() = default;
IDatos::~IDatos() = default;
IUtilerias::~IUtilerias() = default;
IImpresorTexto::~IImpresorTexto() = default;
IConsultaRegistro::~IConsultaRegistro() = default;
IExtras::~IExtras() = default;

Plataforma& plataforma()
{
    static Plataforma instance;
    return instance;
}

namespace {
thread_local QString errorInfo;
}

void FijaErrorInfo(const QString& descripcion)
{
    errorInfo = descripcion;
}

QString TomaErrorInfo()
{
    return std::exchange(errorInfo, QString());
}

} // namespace kt508
