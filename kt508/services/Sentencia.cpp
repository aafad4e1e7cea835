#include "kt508/services/Sentencia.h"

#include "kt508/services/Decimal.h"
#include "kt508/services/Error.h"

#include <QRegularExpression>

#include <utility>

namespace kt508 {

namespace {

bool EsDeNombre(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The name that starts at i (a letter or '_' first); empty when there is none.
QString NombreEn(const QString& texto, qsizetype i)
{
    if (i >= texto.size() || !(texto.at(i).isLetter() || texto.at(i) == u'_'))
        return {};
    qsizetype fin = i;
    while (fin < texto.size() && EsDeNombre(texto.at(fin)))
        ++fin;
    return texto.mid(i, fin - i);
}

} // namespace

Forma::Forma(QString texto)
    : m_texto(std::move(texto))
{
    QString fijo;
    const auto cierraFijo = [&] {
        if (!fijo.isEmpty())
            m_piezas.push_back({Tipo::Texto, std::exchange(fijo, QString())});
    };
    for (qsizetype i = 0; i < m_texto.size();) {
        const QChar c = m_texto.at(i);
        if (c == u'\'') {
            const qsizetype cierre = m_texto.indexOf(u'\'', i + 1);
            const qsizetype fin = cierre < 0 ? m_texto.size() : cierre + 1;
            fijo += QStringView(m_texto).mid(i, fin - i);
            i = fin;
            continue;
        }
        // ":{clave}": a value mark closed by its brace, for one that text follows without a blank.
        const QString cerrado = m_texto.mid(i + 1, 1) == QLatin1String("{") ? NombreEn(m_texto, i + 2) : QString();
        if (c == u':' && !cerrado.isEmpty() && m_texto.mid(i + 2 + cerrado.size(), 1) == QLatin1String("}")
            && (i == 0 || m_texto.at(i - 1) != u':')) {
            cierraFijo();
            m_piezas.push_back({Tipo::Valor, cerrado});
            m_marcas.append(cerrado);
            i += 3 + cerrado.size();
            continue;
        }
        const QString nombre = NombreEn(m_texto, i + 1);
        if (c == u':' && !nombre.isEmpty() && (i == 0 || m_texto.at(i - 1) != u':')) {
            cierraFijo();
            m_piezas.push_back({Tipo::Valor, nombre});
            m_marcas.append(nombre);
            i += 1 + nombre.size();
            continue;
        }
        const qsizetype finDeNombre = i + 1 + nombre.size();
        const QString lugar = nombre == QLatin1String("bloqueo") && m_texto.mid(finDeNombre, 1) == QLatin1String(":")
            ? NombreEn(m_texto, finDeNombre + 1)
            : QString();
        if (c == u'{' && (lugar == QLatin1String("tabla") || lugar == QLatin1String("fin"))
            && m_texto.mid(finDeNombre + 1 + lugar.size(), 1) == QLatin1String("}")) {
            cierraFijo();
            m_piezas.push_back({lugar == QLatin1String("tabla") ? Tipo::TrasTabla : Tipo::AlFinal, lugar});
            i = finDeNombre + 2 + lugar.size();
            continue;
        }
        if (c == u'{' && !nombre.isEmpty() && m_texto.mid(i + 1 + nombre.size(), 1) == QLatin1String("}")) {
            cierraFijo();
            m_piezas.push_back({Tipo::Identificador, nombre});
            m_identificadores.append(nombre);
            i += 2 + nombre.size();
            continue;
        }
        fijo += c;
        ++i;
    }
    cierraFijo();
}

const QString& Forma::Texto() const
{
    return m_texto;
}

int Forma::Marcas() const
{
    return static_cast<int>(m_marcas.size());
}

const QString& Forma::NombreDeMarca(int marca) const
{
    return m_marcas.at(marca);
}

QStringList Forma::Identificadores() const
{
    return m_identificadores;
}

QString Forma::Compone(const std::function<QString(int)>& marca, const QStringList& identificadores,
                       const std::function<QString(Bloqueo)>& bloqueo) const
{
    QString texto;
    texto.reserve(m_texto.size() + 16);
    int valor = 0;
    int identificador = 0;
    for (const Pieza& pieza : m_piezas) {
        switch (pieza.tipo) {
        case Tipo::Texto: texto += pieza.texto; break;
        case Tipo::Valor: texto += marca(valor++); break;
        case Tipo::Identificador: texto += identificadores.value(identificador++); break;
        case Tipo::TrasTabla: texto += bloqueo ? bloqueo(Bloqueo::TrasTabla) : QString(); break;
        case Tipo::AlFinal: texto += bloqueo ? bloqueo(Bloqueo::AlFinal) : QString(); break;
        }
    }
    return texto;
}

Sentencia::Sentencia(const Forma& forma)
    : m_forma(&forma)
    , m_valores(forma.Marcas())
    , m_dados(static_cast<size_t>(forma.Marcas()), false)
{
    m_identificadores.resize(forma.Identificadores().size());
}

Sentencia& Sentencia::Con(const QString& nombre, const QVariant& valor)
{
    bool usado = false;
    for (int i = 0; i < m_forma->Marcas(); ++i) {
        if (m_forma->NombreDeMarca(i) == nombre) {
            m_valores[i] = valor;
            m_dados[static_cast<size_t>(i)] = true;
            usado = true;
        }
    }
    if (!usado)
        throw Error(QStringLiteral("La sentencia no lleva el valor :%1: %2").arg(nombre, m_forma->Texto()));
    return *this;
}

Sentencia& Sentencia::ConIdentificador(const QString& nombre, const QString& identificador)
{
    static const QRegularExpression valido(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,127}$"));
    if (!valido.match(identificador).hasMatch())
        throw Error(QStringLiteral("«%1» no es un nombre válido de tabla o columna.").arg(identificador));
    const QStringList nombres = m_forma->Identificadores();
    const int i = static_cast<int>(nombres.indexOf(nombre));
    if (i < 0)
        throw Error(QStringLiteral("La sentencia no lleva el nombre {%1}: %2").arg(nombre, m_forma->Texto()));
    m_identificadores[i] = identificador;
    return *this;
}

const Forma& Sentencia::forma() const
{
    return *m_forma;
}

const QVariantList& Sentencia::Valores() const
{
    return m_valores;
}

const QStringList& Sentencia::Identificadores() const
{
    return m_identificadores;
}

void Sentencia::CompruebaCompleta() const
{
    for (int i = 0; i < m_forma->Marcas(); ++i) {
        if (!m_dados[static_cast<size_t>(i)])
            throw Error(QStringLiteral("Falta el valor :%1 de la sentencia %2")
                            .arg(m_forma->NombreDeMarca(i), m_forma->Texto()));
    }
    for (const QString& identificador : m_identificadores) {
        if (identificador.isEmpty())
            throw Error(QStringLiteral("Falta un nombre de la sentencia %1").arg(m_forma->Texto()));
    }
}

QString Sentencia::Texto() const
{
    CompruebaCompleta();
    return m_forma->Compone([this](int i) { return Literal(m_valores.at(i)); }, m_identificadores);
}

QString Sentencia::Literal(const QVariant& valor)
{
    if (valor.isNull())
        return QStringLiteral("NULL");
    if (valor.metaType() == QMetaType::fromType<Decimal>())
        return valor.value<Decimal>().Texto();
    switch (valor.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short: return valor.toString();
    default: break;
    }
    const QString texto = valor.toString();
    QString literal;
    literal.reserve(texto.size() + 2);
    literal += u'\'';
    for (const QChar c : texto) {
        literal += c;
        if (c == u'\'')
            literal += c;
    }
    literal += u'\'';
    return literal;
}

} // namespace kt508
