#include "suite/catalogo/LectorCsv.h"

#include "kt508/services/Error.h"

#include <QStringDecoder>

namespace orbanel::catalogo {

namespace {

constexpr QChar Comillas = u'"';

QString Texto(const QByteArray& contenido)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8(contenido);
    if (utf8.hasError())
        throw kt508::Error(QStringLiteral("El archivo no está en UTF-8: guárdelo como «CSV UTF-8 (delimitado por "
                                          "comas)» en la hoja de cálculo."));
    if (texto.startsWith(QChar(0xFEFF)))
        texto.remove(0, 1);
    return texto;
}

// A semicolon separates only when the first line has no comma outside quotes.
QChar Separador(const QString& texto)
{
    bool dentro = false;
    bool puntoYComa = false;
    for (const QChar c : texto) {
        if (c == Comillas)
            dentro = !dentro;
        else if (!dentro && (c == u'\n' || c == u'\r'))
            break;
        else if (!dentro && c == u',')
            return u',';
        else if (!dentro && c == u';')
            puntoYComa = true;
    }
    return puntoYComa ? u';' : u',';
}

bool EnBlanco(const RegistroCsv& registro)
{
    return registro.campos.size() == 1 && !registro.campos.front();
}

class Lector {
public:
    Lector(const QString& texto, QChar separador)
        : m_texto(texto)
        , m_separador(separador)
    {
    }

    std::vector<RegistroCsv> Registros()
    {
        std::vector<RegistroCsv> registros;
        while (m_i < m_texto.size()) {
            RegistroCsv registro = Registro();
            if (!EnBlanco(registro))
                registros.push_back(std::move(registro));
        }
        return registros;
    }

private:
    RegistroCsv Registro()
    {
        RegistroCsv registro;
        registro.linea = m_linea;
        for (;;) {
            registro.campos.push_back(Campo());
            if (m_i >= m_texto.size())
                break;
            const QChar fin = m_texto.at(m_i++);
            if (fin == m_separador)
                continue;
            FinDeLinea(fin);
            break;
        }
        return registro;
    }

    // CRLF, LF or a lone CR end a line.
    void FinDeLinea(QChar c)
    {
        if (c == u'\r' && Sigue(u'\n'))
            ++m_i;
        ++m_linea;
    }

    std::optional<QString> Campo()
    {
        if (m_i < m_texto.size() && m_texto.at(m_i) == Comillas)
            return EntreComillas();
        const qsizetype inicio = m_i;
        while (m_i < m_texto.size() && !TerminaCampo(m_texto.at(m_i)))
            ++m_i;
        if (m_i == inicio)
            return std::nullopt;
        return m_texto.mid(inicio, m_i - inicio);
    }

    // A doubled quote is one quote; what follows the closing quote up to the separator is kept.
    QString EntreComillas()
    {
        const int linea = m_linea;
        QString campo;
        ++m_i;
        for (;;) {
            if (m_i >= m_texto.size())
                throw kt508::Error(
                    QStringLiteral("Las comillas que abren un campo en la línea %1 no se cierran.").arg(linea));
            const QChar c = m_texto.at(m_i++);
            if (c == Comillas && Sigue(Comillas)) {
                campo += Comillas;
                ++m_i;
            } else if (c == Comillas) {
                break;
            } else {
                if (c == u'\n' || (c == u'\r' && !Sigue(u'\n')))
                    ++m_linea;
                campo += c;
            }
        }
        while (m_i < m_texto.size() && !TerminaCampo(m_texto.at(m_i)))
            campo += m_texto.at(m_i++);
        return campo;
    }

    bool TerminaCampo(QChar c) const { return c == m_separador || c == u'\n' || c == u'\r'; }
    bool Sigue(QChar c) const { return m_i < m_texto.size() && m_texto.at(m_i) == c; }

    const QString& m_texto;
    const QChar m_separador;
    qsizetype m_i = 0;
    int m_linea = 1;
};

} // namespace

Csv LeeCsv(const QByteArray& contenido)
{
    const QString texto = Texto(contenido);
    Csv csv;
    csv.separador = Separador(texto);
    csv.registros = Lector(texto, csv.separador).Registros();
    return csv;
}

} // namespace orbanel::catalogo
