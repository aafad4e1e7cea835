#include "suite/controls/LargoEnCaracteres.h"

#include "kt508/services/ReglasCentro.h"

#include <algorithm>

namespace orbanel {

LargoEnCaracteres::LargoEnCaracteres(int maximo, QObject* parent)
    : QValidator(parent)
    , m_maximo(std::max(maximo, 0))
{
}

QValidator::State LargoEnCaracteres::validate(QString& input, int& pos) const
{
    const qsizetype tope = std::max<qsizetype>(m_maximo, m_admitidos);
    qsizetype sobran = m_maximo > 0 ? kt508::reglas::Caracteres(input) - tope : 0;
    while (sobran > 0 && pos > 0) {
        const bool par = pos > 1 && input.at(pos - 1).isLowSurrogate() && input.at(pos - 2).isHighSurrogate();
        const int ancho = par ? 2 : 1;
        pos -= ancho;
        input.remove(pos, ancho);
        --sobran;
    }
    Admite(input);
    return Acceptable;
}

void LargoEnCaracteres::setMaximo(int maximo)
{
    m_maximo = std::max(maximo, 0);
}

void LargoEnCaracteres::Admite(const QString& texto) const
{
    m_admitidos = kt508::reglas::Caracteres(texto);
}

} // namespace orbanel
