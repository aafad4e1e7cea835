#include "kt508/store/Publico.h"

#include "kt508/services/Error.h"

namespace Publico {

QString SinBlancos(const QString& texto)
{
    int inicio = 0;
    int fin = texto.size();
    while (inicio < fin && texto.at(inicio) == QLatin1Char(' '))
        ++inicio;
    while (fin > inicio && texto.at(fin - 1) == QLatin1Char(' '))
        --fin;
    return texto.mid(inicio, fin - inicio);
}

void IgnoraError(const std::function<void()>& paso)
{
    try {
        paso();
    } catch (const kt508::Error&) {
        // the step is skipped, as the caller intends
    }
}

} // namespace Publico
