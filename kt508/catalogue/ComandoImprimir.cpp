#include "kt508/catalogue/frmKT508.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Impresion.h"
#include "kt508/services/Plataforma.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

#include <algorithm>
#include <memory>

namespace {

// A line break or a tab in a description would break the listing's lines and columns: each
// prints as a blank.
QString EnUnaLinea(QString descripcion)
{
    for (const QChar corte : {QLatin1Char('\r'), QLatin1Char('\n'), QLatin1Char('\t')})
        descripcion.replace(corte, QLatin1Char(' '));
    return descripcion;
}

} // namespace

void frmKT508::Controles_Imprimir()
{
    try {
        std::unique_ptr<kt508::IImpresorTexto> impresor = kt508::plataforma().NuevoImpresorTexto();
        PrintText = QString();
        PrintLevel = 0;
        QString raiz = QStringLiteral("0");
        LeeListado(raiz);
        PrintText.reserve(LargoListado());
        m_nivelListado = 0;
        Imprimir_CeCo(raiz);
        m_listado.clear();
        impresor->Imprime(PrintText, QString(), 0, 0, -1, -1, 7, -1);
        impresor.reset();
    } catch (const kt508::Error& e) {
        m_listado.clear();
        servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("Controles_Imprimir()"), this,
                                 QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500025"));
    }
}

// The children of every centre the listing descends into, read a level at a time: the queries
// of a level go in one batch, and each query's rows are kept as they arrive, in the order it gave
// them. A query that failed is kept as its failure, for Imprimir_CeCo to tell where it reaches it.
void frmKT508::LeeListado(const QString& Clave)
{
    m_listado.clear();
    QSet<QString> leidas{Clave};
    for (std::vector<PadreListado> padres{{Clave, true}}; !padres.empty();) {
        std::vector<kt508::Sentencia> lote;
        std::vector<quint32> padreDe; // the parent of each statement of the batch
        for (quint32 p = 0; p < padres.size(); ++p) {
            if (!padres[p].leer)
                continue;
            lote.push_back(Publico::Sentencias::HijosEnListado(padres[p].clave));
            padreDe.push_back(p);
        }
        NivelListado& nivel = m_listado.emplace_back();
        const auto abreHasta = [&nivel](quint32 p) { // parents up to p start at the next line
            while (nivel.primeras.size() <= p)
                nivel.primeras.push_back(static_cast<quint32>(nivel.lineas.size()));
        };
        std::vector<PadreListado> siguientes;
        servicios.Conexion().EjecutaLote(lote, [&](size_t i, kt508::Resultado& resultado) {
            const quint32 p = padreDe[i];
            abreHasta(p);
            if (resultado.Corrio())
                AgregaLineas(nivel, resultado.filas, leidas, siguientes);
            else
                nivel.errores.insert(p, resultado.error);
        });
        abreHasta(static_cast<quint32>(padres.size()));
        nivel.texto.squeeze();
        nivel.lineas.shrink_to_fit();
        padres = std::move(siguientes);
    }
}

// Room for the whole listing, so that it is written without moving: each level's text (a
// character takes at least one byte of it), and each line's indentation and line break, and each
// parent's closing empty line.
qsizetype frmKT508::LargoListado() const
{
    qsizetype largo = 0;
    for (size_t nivel = 0; nivel < m_listado.size(); ++nivel) {
        const NivelListado& lineas = m_listado[nivel];
        largo += lineas.texto.size() + static_cast<qsizetype>(lineas.lineas.size() * (nivel + 2))
            + static_cast<qsizetype>(lineas.primeras.size() * 2);
    }
    return largo;
}

// One query's rows as lines of the level; those that accumulate become parents of the next.
void frmKT508::AgregaLineas(NivelListado& nivel, kt508::Recordset& filas, QSet<QString>& leidas,
                            std::vector<PadreListado>& siguientes)
{
    if (filas.Eof())
        return;
    const int cve = Publico::Columna(filas, QStringLiteral("Cc_Cve_Centro_Costo"));
    const int descripcion = Publico::Columna(filas, QStringLiteral("CC_Descripcion"));
    const int tipo = Publico::Columna(filas, QStringLiteral("CC_Tipo"));
    for (; !filas.Eof(); filas.MoveNext()) {
        const QString clave = filas.Value(cve).toString();
        const bool acumula = filas.Value(tipo).toInt() == 1;
        nivel.texto += clave.toUtf8();
        const auto finClave = static_cast<quint32>(nivel.texto.size());
        nivel.texto += " - ";
        nivel.texto += EnUnaLinea(filas.Value(descripcion).toString()).toUtf8();
        nivel.lineas.push_back({finClave, static_cast<quint32>(nivel.texto.size()), acumula});
        if (acumula) {
            const bool nueva = !leidas.contains(clave);
            leidas.insert(clave);
            siguientes.push_back({clave, nueva});
        }
    }
    filas.Close();
}

// Appends the children of Clave, one level deeper than Clave itself, and the empty line that closes
// them. They are the next parent's of the level being listed: the listing reaches a level's parents
// in the order they were read.
void frmKT508::Imprimir_CeCo([[maybe_unused]] QString& Clave)
{
    const short nivel = PrintLevel;
    try {
        const QString sangria(std::max<int>(PrintLevel, 0), QLatin1Char('\t'));
        NivelListado& hijos = m_listado.at(m_nivelListado);
        const quint32 padre = hijos.siguiente++;
        if (hijos.errores.contains(padre))
            throw kt508::Error(hijos.errores.value(padre));
        for (quint32 j = hijos.primeras.at(padre); j < hijos.primeras.at(padre + 1); ++j) {
            const LineaListado& linea = hijos.lineas[j];
            const quint32 inicio = j == 0 ? 0 : hijos.lineas[j - 1].fin;
            QString clave = QString::fromUtf8(hijos.texto.constData() + inicio, linea.finClave - inicio);
            PrintText += sangria;
            PrintText += clave;
            PrintText += QString::fromUtf8(hijos.texto.constData() + linea.finClave, linea.fin - linea.finClave);
            PrintText += QStringLiteral("\r\n");
            if (linea.acumula) {
                PrintLevel += 1;
                ++m_nivelListado;
                Imprimir_CeCo(clave);
                --m_nivelListado;
            }
        }
        PrintText += QStringLiteral("\r\n");
        PrintLevel -= 1;
    } catch (const kt508::Error& e) {
        servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("Imprimir_CeCo()"), this,
                                 QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500032"));
        // The rest of the listing keeps its indentation, as if this level had closed.
        PrintLevel = static_cast<short>(nivel - 1);
    }
}
