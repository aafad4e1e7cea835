#include "kt508/services/Historial.h"

namespace kt508::historial {

namespace {

const Forma FormaNota(QStringLiteral(
    "INSERT INTO Historial_Centro (Hc_Clave, Hc_Comando, Hc_Operador, Hc_Fecha, CC_Acumula, CC_Descripcion, "
    "Gcc_Cve_Grupo_Centro_Costo, CC_Cuenta_Contable, Cc_Analizar, Cc_UserDef_1, Cc_UserDef_2, Cc_UserDef_3, "
    "Cc_UserDef_4, Cc_UserDef_5, Cc_UserDef_6, CC_Tipo, Es_Cve_Estado, Oper_Alta, Fecha_Alta, Oper_Ult_Modif, "
    "Fecha_Ult_Modif, Oper_Baja, Fecha_Baja) "
    "SELECT CC_Cve_Centro_Costo, :comando, :operador, :fecha, CC_Acumula, CC_Descripcion, "
    "Gcc_Cve_Grupo_Centro_Costo, CC_Cuenta_Contable, Cc_Analizar, Cc_UserDef_1, Cc_UserDef_2, Cc_UserDef_3, "
    "Cc_UserDef_4, Cc_UserDef_5, Cc_UserDef_6, CC_Tipo, Es_Cve_Estado, Oper_Alta, Fecha_Alta, Oper_Ult_Modif, "
    "Fecha_Ult_Modif, Oper_Baja, Fecha_Baja "
    "FROM Centro_Costo WHERE CC_Cve_Centro_Costo = :clave"));
const Forma
    FormaEliminacion(QStringLiteral("INSERT INTO Historial_Centro (Hc_Clave, Hc_Comando, Hc_Operador, Hc_Fecha) "
                                    "VALUES (:clave, :comando, :operador, :fecha)"));
const Forma FormaNotas(QStringLiteral("SELECT * FROM Historial_Centro WHERE Hc_Clave = :clave ORDER BY Hc_Id"));

Sentencia ConQuien(const Forma& forma, const QString& comando, const QString& operador, const QString& fecha,
                   const QString& clave)
{
    Sentencia sentencia(forma);
    sentencia.Con(QStringLiteral("comando"), comando)
        .Con(QStringLiteral("operador"), operador)
        .Con(QStringLiteral("fecha"), fecha)
        .Con(QStringLiteral("clave"), clave);
    return sentencia;
}

} // namespace

Sentencia Nota(const QString& comando, const QString& operador, const QString& fecha, const QString& clave)
{
    return ConQuien(FormaNota, comando, operador, fecha, clave);
}

Sentencia NotaDeEliminacion(const QString& operador, const QString& fecha, const QString& clave)
{
    return ConQuien(FormaEliminacion, comando::Eliminar, operador, fecha, clave);
}

Sentencia Notas(const QString& clave)
{
    Sentencia sentencia(FormaNotas);
    sentencia.Con(QStringLiteral("clave"), clave);
    return sentencia;
}

} // namespace kt508::historial
