#include "kt508/store/Publico.h"

#include "kt508/services/Error.h"
#include "kt508/services/Recordset.h"

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

int Columna(const kt508::Recordset& filas, const QString& nombre)
{
    const int columna = filas.FieldIndex(nombre);
    if (columna < 0)
        throw kt508::Error(QStringLiteral("No se encontró el campo '%1' en el conjunto de registros.").arg(nombre));
    return columna;
}

} // namespace Publico
