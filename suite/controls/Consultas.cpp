#include "suite/controls/Consultas.h"

#include "suite/ado/AdoConnection.h"
#include "suite/services/Sesion.h"

namespace orbanel {

namespace {

struct Lista {
    const char* id;
    const char* titulo;
    const char* sentencia;
};

const Lista listas[] = {
    {"GRUPO_CENTRO_COSTO", "Grupos de centros de costos",
     "SELECT Gcc_Cve_Grupo_Centro_Costo, Gcc_Descripcion FROM Grupo_Centro_Costo ORDER BY Gcc_Cve_Grupo_Centro_Costo"},
    // The root heads the centres: a centre may go under it.
    {"CENTRO_COSTO", "Centros de costos",
     "SELECT '0' AS Clave, 'RAIZ' AS Descripcion UNION ALL "
     "SELECT CC_Cve_Centro_Costo, CC_Descripcion FROM Centro_Costo ORDER BY 1"},
    {"CUENTA_CONTABLE", "Cuentas contables",
     "SELECT Cc_Cve_Cuenta_Contable, Cc_Descripcion FROM Cuenta_Contable ORDER BY Cc_Cve_Cuenta_Contable"},
};

const Lista* BuscaLista(const QString& idconsulta)
{
    for (const Lista& lista : listas) {
        if (idconsulta.compare(QLatin1String(lista.id), Qt::CaseInsensitive) == 0)
            return &lista;
    }
    return nullptr;
}

} // namespace

SentenciaConsulta ArmaConsulta(const QString& sql, const QString& valor)
{
    SentenciaConsulta consulta;
    QString dobleComilla = valor;
    dobleComilla.replace(QLatin1Char('\''), QStringLiteral("''"));
    bool enLiteral = false;
    for (const QChar c : sql) {
        if (c == QLatin1Char('\'')) {
            enLiteral = !enLiteral;
        } else if (c == QLatin1Char('?')) {
            if (enLiteral) {
                consulta.texto += dobleComilla;
            } else {
                consulta.texto += c;
                consulta.valores.append(valor);
            }
            continue;
        }
        consulta.texto += c;
    }
    return consulta;
}

QString ValorDeConsulta(const QString& sql, const QString& valor)
{
    const SentenciaConsulta consulta = ArmaConsulta(sql, valor);
    kt508::Recordset rs = Sesion::Conexion().ExecuteParams(consulta.texto, consulta.valores);
    if (rs.Eof() || rs.FieldCount() == 0)
        return QString();
    return rs.Value(0).toString();
}

bool ExisteLista(const QString& idconsulta)
{
    return BuscaLista(idconsulta) != nullptr;
}

QString TituloDeLista(const QString& idconsulta)
{
    const Lista* lista = BuscaLista(idconsulta);
    return lista ? QString::fromUtf8(lista->titulo) : QString();
}

QString SentenciaDeLista(const QString& idconsulta)
{
    const Lista* lista = BuscaLista(idconsulta);
    return lista ? QString::fromUtf8(lista->sentencia) : QString();
}

} // namespace orbanel
