#include "kt508/store/Subarbol.h"

#include "kt508/store/Publico.h"

namespace Publico {

namespace {

QString HijosDe(const QString& clave)
{
    return QStringLiteral("SELECT Cc_Cve_Centro_Costo FROM Centro_Costo WHERE Cc_Acumula = ") + Literal(clave)
        + QStringLiteral(" ORDER BY Cc_Cve_Centro_Costo ");
}

QString CambioDeEstado(const QString& operador, const QString& fecha, const QString& estado, const QString& clave)
{
    return QStringLiteral("UPDATE Centro_Costo SET") + QStringLiteral("   Oper_Ult_Modif = ") + Literal(operador)
        + QStringLiteral(", ") + QStringLiteral("   Fecha_Ult_Modif = ") + Literal(fecha) + QStringLiteral(", ")
        + QStringLiteral("   Oper_Baja = ") + Literal(operador) + QStringLiteral(", ")
        + QStringLiteral("   Fecha_Baja = ") + Literal(fecha) + QStringLiteral(", ")
        + QStringLiteral("   Es_Cve_Estado = ") + Literal(estado) + QStringLiteral(" ")
        + QStringLiteral("WHERE Cc_Cve_Centro_Costo = ") + Literal(clave);
}

QVariant ColumnaDeCentro(const QString& columna, const QString& clave)
{
    strSQL = QStringLiteral("SELECT ") + columna + QStringLiteral(" FROM Centro_Costo WHERE CC_Cve_Centro_Costo = ")
        + Literal(clave);
    kt508::Recordset rs = Ejecuta(strSQL);
    QVariant valor = QStringLiteral("");
    if (!rs.Eof())
        valor = rs.Fields(columna).Value;
    rs.Close();
    return valor;
}

} // namespace

bool BorraCentro(const QString& clave)
{
    // The centre goes first, while its children still name it as parent.
    strSQL = QStringLiteral("DELETE FROM Centro_Costo WHERE Cc_Cve_Centro_Costo = ") + Literal(clave);
    Ejecuta(strSQL);
    strSQL = HijosDe(clave);
    kt508::Recordset rs = Ejecuta(strSQL);
    while (!rs.Eof()) {
        if (!BorraCentro(rs.Fields(QStringLiteral("Cc_Cve_Centro_Costo")).Value.toString()))
            return false;
        rs.MoveNext();
    }
    rs.Close();
    return true;
}

bool CambiaEstado(const QString& clave, const QString& estado)
{
    const QString fecha = FechaHoraServidor();
    const QString operador = Operador();
    strSQL = CambioDeEstado(operador, fecha, estado, clave);
    Ejecuta(strSQL);
    strSQL = HijosDe(clave);
    kt508::Recordset rs = Ejecuta(strSQL);
    while (!rs.Eof()) {
        const QString hijo = rs.Fields(QStringLiteral("Cc_Cve_Centro_Costo")).Value.toString();
        if (!CambiaEstado(hijo, estado))
            return false;
        // Each child is written again with this level's stamp once its own subtree is done.
        strSQL = CambioDeEstado(operador, fecha, estado, hijo);
        Ejecuta(strSQL);
        rs.MoveNext();
    }
    rs.Close();
    return true;
}

QVariant CuentaDeCentro(const QString& clave)
{
    return ColumnaDeCentro(QStringLiteral("CC_Cuenta_Contable"), clave);
}

QVariant PadreDeCentro(const QString& clave)
{
    return ColumnaDeCentro(QStringLiteral("CC_Acumula"), clave);
}

} // namespace Publico
