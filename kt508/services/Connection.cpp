#include "kt508/services/Connection.h"

#include "kt508/services/Error.h"

namespace kt508 {

bool Resultado::Corrio() const
{
    return error.isNull();
}

Recordset Connection::Ejecuta(const Sentencia& sentencia)
{
    return Execute(sentencia.Texto(), -1);
}

std::vector<Resultado> Connection::EjecutaLote(const std::vector<Sentencia>& lote)
{
    std::vector<Resultado> resultados;
    resultados.reserve(lote.size());
    QString fallo;
    for (const Sentencia& sentencia : lote) {
        Resultado resultado;
        if (!fallo.isNull()) {
            resultado.error = fallo;
        } else {
            try {
                resultado.filas = Ejecuta(sentencia);
            } catch (const Error& e) {
                resultado.error = e.Description();
                // A transaction is lost with its first failure: the rest is not sent.
                if (EnTransaccion())
                    fallo = QStringLiteral("No se ejecutó: falló una sentencia anterior de la misma operación.");
            }
        }
        resultados.push_back(std::move(resultado));
    }
    return resultados;
}

void Connection::EjecutaLote(const std::vector<Sentencia>& lote, const Recibe& recibe)
{
    std::vector<Resultado> resultados = EjecutaLote(lote);
    for (size_t i = 0; i < resultados.size(); ++i)
        recibe(i, resultados[i]);
}

long Connection::Viajes() const
{
    return 0;
}

std::vector<Recordset> FilasOFallo(std::vector<Resultado> resultados)
{
    std::vector<Recordset> filas;
    filas.reserve(resultados.size());
    for (Resultado& resultado : resultados) {
        if (!resultado.Corrio())
            throw Error(resultado.error);
        filas.push_back(std::move(resultado.filas));
    }
    return filas;
}

} // namespace kt508
