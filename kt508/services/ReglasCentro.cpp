#include "kt508/services/ReglasCentro.h"

#include <QList>

namespace kt508::reglas {

namespace {

bool EsBlanco(QChar c)
{
    return c.isSpace();
}

} // namespace

qsizetype Caracteres(QStringView texto)
{
    return texto.toUcs4().size();
}

QString PrimerosCaracteres(const QString& texto, qsizetype maximo)
{
    const QList<uint> caracteres = texto.toUcs4();
    if (caracteres.size() <= maximo)
        return texto;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(caracteres.constData()), maximo);
}

QString MotivoClave(const QString& clave)
{
    if (clave.trimmed().isEmpty())
        return QStringLiteral("Debe especificar una clave para el CECO!");
    if (EsBlanco(clave.front()) || EsBlanco(clave.back()))
        return QStringLiteral("La clave «%1» tiene blancos al principio o al final.").arg(clave);
    if (clave == ClaveRaiz)
        return QStringLiteral("La clave 0 es la de la raíz del catálogo; especifique otra.");
    return MotivoLargo(QStringLiteral("La clave"), clave, LargoClave);
}

QString MotivoDescripcion(const QString& descripcion)
{
    if (descripcion.isEmpty())
        return QStringLiteral("Debe especificar una descripción!");
    return MotivoLargo(QStringLiteral("La descripción"), descripcion, LargoDescripcion);
}

QString MotivoLargo(const QString& campo, const QString& valor, int maximo)
{
    const qsizetype largo = Caracteres(valor);
    if (largo <= maximo)
        return {};
    return QStringLiteral("%1 admite hasta %2 caracteres y «%3» tiene %4.")
        .arg(campo)
        .arg(maximo)
        .arg(valor)
        .arg(largo);
}

std::optional<Decimal> DecimalDato(QStringView texto, QString& motivo)
{
    const std::optional<Decimal> numero = Decimal::DeTexto(texto);
    if (!numero) {
        motivo = QStringLiteral("«%1» no es un número (se escribe con punto decimal, como 1250.75).").arg(texto);
        return std::nullopt;
    }
    QString digitos = numero->Texto();
    digitos.remove(QLatin1Char('-'));
    const qsizetype punto = digitos.indexOf(QLatin1Char('.'));
    const qsizetype enteros = punto < 0 ? digitos.size() : punto;
    const qsizetype decimales = punto < 0 ? 0 : digitos.size() - punto - 1;
    if (enteros > EnterosDato)
        motivo = QStringLiteral("«%1» tiene más de %2 dígitos antes del punto.").arg(texto).arg(EnterosDato);
    else if (decimales > DecimalesDato)
        motivo = QStringLiteral("«%1» tiene más de %2 decimales.").arg(texto).arg(DecimalesDato);
    else
        return numero;
    return std::nullopt;
}

} // namespace kt508::reglas
