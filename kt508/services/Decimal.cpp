#include "kt508/services/Decimal.h"

namespace kt508 {

namespace {

// A field holding a Decimal reads as its text through QVariant::toString(), as a number read
// from the database always has.
const bool kLeiblePorTexto = QMetaType::registerConverter<Decimal, QString>(&Decimal::Texto);

} // namespace

Decimal::Decimal()
    : m_texto(QStringLiteral("0"))
{
}

Decimal::Decimal(QString texto)
    : m_texto(std::move(texto))
{
}

std::optional<Decimal> Decimal::DeTexto(QStringView texto)
{
    texto = texto.trimmed();
    bool negativo = false;
    if (!texto.isEmpty() && (texto.front() == u'-' || texto.front() == u'+')) {
        negativo = texto.front() == u'-';
        texto = texto.mid(1);
    }
    const qsizetype punto = texto.indexOf(u'.');
    QStringView entera = punto < 0 ? texto : texto.left(punto);
    QStringView fraccion = punto < 0 ? QStringView() : texto.mid(punto + 1);
    if (entera.isEmpty() && fraccion.isEmpty())
        return std::nullopt;
    for (const QStringView parte : {entera, fraccion}) {
        for (const QChar c : parte) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
    }
    while (!entera.isEmpty() && entera.front() == u'0')
        entera = entera.mid(1);
    while (!fraccion.isEmpty() && fraccion.back() == u'0')
        fraccion.chop(1);
    QString resultado = entera.isEmpty() ? QStringLiteral("0") : entera.toString();
    if (!fraccion.isEmpty())
        resultado += QLatin1Char('.') + fraccion.toString();
    if (negativo && resultado != QLatin1String("0"))
        resultado.prepend(QLatin1Char('-'));
    return Decimal(resultado);
}

QString Decimal::Texto() const
{
    return m_texto;
}

bool Decimal::operator==(const Decimal& otro) const
{
    return m_texto == otro.m_texto;
}

bool Decimal::operator!=(const Decimal& otro) const
{
    return !(*this == otro);
}

} // namespace kt508
