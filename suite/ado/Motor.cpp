#include "suite/ado/Motor.h"

#include <utility>

#include "kt508/services/Error.h"

namespace orbanel::ado {

Motor::~Motor() = default;

QString Motor::Marca(int) const
{
    return QStringLiteral("?");
}

QString Motor::DesdeInterrogaciones(const QString& texto) const
{
    return texto;
}

bool Motor::EnTransaccion() const
{
    return m_enTransaccion;
}

void Motor::AlTardar(std::function<void()> aviso)
{
    m_alTardar = std::move(aviso);
}

void Motor::Ajustes(QStringList sentencias)
{
    m_ajustes = std::move(sentencias);
}

long Motor::Viajes() const
{
    return m_viajes;
}

QString Motor::NoSeEjecuto()
{
    return QStringLiteral("No se ejecutó: falló una sentencia anterior de la misma operación.");
}

namespace {

Motor::Entrega Guarda(std::vector<kt508::Resultado>& resultados)
{
    return [&resultados](size_t i, kt508::Resultado& resultado) { resultados[i] = std::move(resultado); };
}

} // namespace

std::vector<kt508::Resultado> Motor::Lote(const std::vector<Orden>& lote)
{
    std::vector<kt508::Resultado> resultados(lote.size());
    Lote(lote, Guarda(resultados));
    return resultados;
}

void Motor::UnoAUno(const std::vector<Orden>& lote, const std::function<kt508::Recordset(const Orden&)>& corre,
                    const Entrega& entrega) const
{
    bool detenido = false;
    for (size_t i = 0; i < lote.size(); ++i) {
        kt508::Resultado resultado;
        if (detenido) {
            resultado.error = NoSeEjecuto();
        } else {
            try {
                resultado.filas = corre(lote[i]);
            } catch (const kt508::Error& e) {
                resultado.error = e.Description();
                detenido = m_enTransaccion;
            }
        }
        entrega(i, resultado);
    }
}

std::vector<kt508::Resultado> Motor::UnoAUno(const std::vector<Orden>& lote,
                                             const std::function<kt508::Recordset(const Orden&)>& corre) const
{
    std::vector<kt508::Resultado> resultados(lote.size());
    UnoAUno(lote, corre, Guarda(resultados));
    return resultados;
}

} // namespace orbanel::ado
