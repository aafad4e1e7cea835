#include "suite/print/Compaginacion.h"

#include <algorithm>

namespace orbanel {

namespace {

class Paginador {
public:
    Paginador(int columnas, int lineasPorPagina)
        : m_columnas(std::max(columnas, 1))
        , m_lineas(std::max(lineasPorPagina, 1))
        , m_paginas(1)
    {
    }

    void Agrega(const QString& renglon)
    {
        if (renglon.isEmpty()) {
            AgregaLinea(renglon);
            return;
        }
        for (int inicio = 0; inicio < renglon.size(); inicio += m_columnas)
            AgregaLinea(renglon.mid(inicio, m_columnas));
    }

    // A page break on an empty page would only leave a blank sheet.
    void SaltoDePagina()
    {
        if (!m_paginas.back().isEmpty())
            m_paginas.emplace_back();
    }

    std::vector<QStringList> Paginas() const { return m_paginas; }

private:
    void AgregaLinea(const QString& linea)
    {
        if (m_paginas.back().size() >= m_lineas)
            m_paginas.emplace_back();
        m_paginas.back().append(linea);
    }

    int m_columnas;
    int m_lineas;
    std::vector<QStringList> m_paginas;
};

QStringList Renglones(const QString& texto)
{
    QString normal = texto;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList renglones = normal.split(QLatin1Char('\n'));
    // Blank lines at the end print nothing: past a full page they would only add a blank sheet.
    while (!renglones.isEmpty() && renglones.last().trimmed().isEmpty())
        renglones.removeLast();
    return renglones;
}

} // namespace

OpcionesImpresion OpcionesImpresion::DeArgumentos(int a, int b, int c, int d, int e, int f)
{
    OpcionesImpresion o;
    o.horizontal = a == 1;
    o.puntos = b > 0 ? b : 10.0;
    o.numerosPagina = c != 0;
    o.encabezado = d != 0;
    o.tabulador = e > 0 ? e : 8;
    o.vistaPrevia = f != 0;
    return o;
}

QString ExpandeTabuladores(const QString& renglon, int tabulador)
{
    const int paso = tabulador > 0 ? tabulador : 8;
    QString expandido;
    expandido.reserve(renglon.size());
    for (const QChar c : renglon) {
        if (c == QLatin1Char('\t'))
            expandido.append(QString(paso - expandido.size() % paso, QLatin1Char(' ')));
        else
            expandido.append(c);
    }
    return expandido;
}

std::vector<QStringList> Compagina(const QString& texto, int columnas, int lineasPorPagina, int tabulador)
{
    Paginador paginador(columnas, lineasPorPagina);
    for (const QString& renglon : Renglones(texto)) {
        const QStringList tramos = renglon.split(QLatin1Char('\f'));
        for (int i = 0; i < tramos.size(); ++i) {
            if (i > 0)
                paginador.SaltoDePagina();
            if (!tramos[i].isEmpty() || tramos.size() == 1)
                paginador.Agrega(ExpandeTabuladores(tramos[i], tabulador));
        }
    }
    return paginador.Paginas();
}

} // namespace orbanel
