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
// of a level go in one batch, and each centre's rows keep the order its query gave them. A
// query that failed is kept as its failure, for Imprimir_CeCo to tell where it reaches it.
void frmKT508::LeeListado(const QString& Clave)
{
    m_listado.clear();
    for (QStringList nivel{Clave}; !nivel.isEmpty();) {
        std::vector<kt508::Sentencia> lote;
        lote.reserve(static_cast<size_t>(nivel.size()));
        for (const QString& padre : nivel)
            lote.push_back(Publico::Sentencias::HijosEnListado(padre));
        std::vector<kt508::Resultado> resultados = servicios.Conexion().EjecutaLote(lote);
        QStringList siguiente;
        int cve = -1, descripcion = -1, tipo = -1; // the same columns in every query of the level
        for (qsizetype i = 0; i < nivel.size(); ++i) {
            HijosListado& hijos = m_listado[nivel.at(i)];
            kt508::Resultado& resultado = resultados[static_cast<size_t>(i)];
            if (!resultado.Corrio()) {
                hijos.error = resultado.error;
                continue;
            }
            kt508::Recordset& rs = resultado.filas;
            if (cve < 0 && !rs.Eof()) {
                cve = Publico::Columna(rs, QStringLiteral("Cc_Cve_Centro_Costo"));
                descripcion = Publico::Columna(rs, QStringLiteral("CC_Descripcion"));
                tipo = Publico::Columna(rs, QStringLiteral("CC_Tipo"));
            }
            hijos.filas.reserve(static_cast<size_t>(rs.RecordCount()));
            for (; !rs.Eof(); rs.MoveNext()) {
                const QString clave = rs.Value(cve).toString();
                const bool acumula = rs.Value(tipo).toInt() == 1;
                hijos.filas.push_back({clave, EnUnaLinea(rs.Value(descripcion).toString()), acumula});
                // A centre already read (one keyed as the root) is not read again.
                if (acumula && !m_listado.contains(clave))
                    siguiente << clave;
            }
            resultado.filas.Close();
        }
        nivel = siguiente;
    }
}

// Appends the children of Clave, one level deeper than Clave itself, and the empty line that closes them.
void frmKT508::Imprimir_CeCo(QString& Clave)
{
    const short nivel = PrintLevel;
    try {
        const QString sangria(std::max<int>(PrintLevel, 0), QLatin1Char('\t'));
        const HijosListado hijos = m_listado.take(Clave);
        if (!hijos.error.isNull())
            throw kt508::Error(hijos.error);
        for (const FilaListado& fila : hijos.filas) {
            QString clave = fila.clave;
            PrintText += sangria;
            PrintText += clave;
            PrintText += QStringLiteral(" - ");
            PrintText += fila.descripcion;
            PrintText += QStringLiteral("\r\n");
            if (fila.acumula) {
                PrintLevel += 1;
                Imprimir_CeCo(clave);
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
