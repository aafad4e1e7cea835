#include "kt508/store/Subarbol.h"

#include "kt508/services/Connection.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

namespace Publico {

namespace {

QVariant ColumnaDeCentro(const Servicios& servicios, const kt508::Sentencia& lectura, const QString& columna)
{
    kt508::Recordset rs = servicios.Conexion().Ejecuta(lectura);
    QVariant valor = QStringLiteral("");
    if (!rs.Eof())
        valor = rs.Fields(columna).Value;
    rs.Close();
    return valor;
}

} // namespace

bool BorraCentro(const Servicios& servicios, const QString& clave)
{
    // The centre goes first, while its children still name it as parent.
    servicios.Conexion().Ejecuta(Sentencias::BorraFila(clave));
    kt508::Recordset rs = servicios.Conexion().Ejecuta(Sentencias::HijosDeCentro(clave));
    while (!rs.Eof()) {
        if (!BorraCentro(servicios, rs.Fields(QStringLiteral("Cc_Cve_Centro_Costo")).Value.toString()))
            return false;
        rs.MoveNext();
    }
    rs.Close();
    return true;
}

bool CambiaEstado(const Servicios& servicios, const QString& clave, const QString& estado)
{
    const QString fecha = servicios.FechaHoraServidor(); // the time first, then the operator
    const Sello sello{servicios.Operador(), fecha};
    servicios.Conexion().Ejecuta(Sentencias::CambioDeEstado(sello, estado, clave));
    kt508::Recordset rs = servicios.Conexion().Ejecuta(Sentencias::HijosDeCentro(clave));
    while (!rs.Eof()) {
        const QString hijo = rs.Fields(QStringLiteral("Cc_Cve_Centro_Costo")).Value.toString();
        if (!CambiaEstado(servicios, hijo, estado))
            return false;
        // Each child is written again with this level's stamp once its own subtree is done.
        servicios.Conexion().Ejecuta(Sentencias::CambioDeEstado(sello, estado, hijo));
        rs.MoveNext();
    }
    rs.Close();
    return true;
}
QVariant CuentaDeCentro(const Servicios& servicios, const QString& clave)
{
    return ColumnaDeCentro(servicios, Sentencias::CuentaDeCentro(clave), QStringLiteral("CC_Cuenta_Contable"));
}

QVariant PadreDeCentro(const Servicios& servicios, const QString& clave)
{
    return ColumnaDeCentro(servicios, Sentencias::PadreDeCentro(clave), QStringLiteral("CC_Acumula"));
}

} // namespace Publico
