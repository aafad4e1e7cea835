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

std::vector<kt508::Resultado> Motor::UnoAUno(const std::vector<Orden>& lote,
                                             const std::function<kt508::Recordset(const Orden&)>& corre) const
{
    std::vector<kt508::Resultado> resultados(lote.size());
    for (size_t i = 0; i < lote.size(); ++i) {
        try {
            resultados[i].filas = corre(lote[i]);
        } catch (const kt508::Error& e) {
            resultados[i].error = e.Description();
            if (m_enTransaccion) {
                for (size_t resto = i + 1; resto < lote.size(); ++resto)
                    resultados[resto].error = NoSeEjecuto();
                break;
            }
        }
    }
    return resultados;
}

} // namespace orbanel::ado
