#include "kt508/catalogue/frmKT508.h"

#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Subarbol.h"

using namespace Publico;

namespace {

int Pregunta(frmKT508& frm, const QString& texto, const QString& id)
{
    return Datos->Mensaje(texto, kt508::vbPregunta, QStringLiteral("Eliminar"), &frm, QStringLiteral("KT508"), id);
}

void Avisa(frmKT508& frm, const QString& texto, int estilo, const QString& titulo, const QString& id)
{
    Datos->Mensaje(texto, estilo, titulo, &frm, QStringLiteral("KT508"), id);
}

// False when the centre has children and the user does not want them deleted too.
bool AceptaBorrarHijos(frmKT508& frm, const QString& clave)
{
    strSQL = QStringLiteral("SELECT CC_Cve_Centro_Costo FROM Centro_Costo WHERE CC_Acumula = ") + Literal(clave);
    kt508::Recordset rs = Ejecuta(strSQL);
    if (!rs.Bof()
        && Pregunta(frm, QStringLiteral("¿Desea eliminar el centro de costos y todos sus hijos?"),
                    QStringLiteral("ERR-ID:7500013"))
            == kt508::vbNo) {
        rs.Close();
        return false;
    }
    rs.Close();
    return true;
}

// True (and the user told which table) when another table still refers to the centre.
bool EnUso(const QString& clave)
{
    strSQL = QStringLiteral("SELECT sysobjects.NAME AS TABLA ") + QStringLiteral("FROM sysobjects ")
        + QStringLiteral("   INNER JOIN syscolumns ON sysobjects.id = syscolumns.id ")
        + QStringLiteral("WHERE  syscolumns.Name = 'Cc_Cve_Centro_costo' AND ")
        + QStringLiteral(" sysobjects.type = 'U' AND ") + QStringLiteral("sysobjects.Name <> 'Centro_Costo' ")
        + QStringLiteral(" ORDER BY TABLA ASC");
    kt508::Recordset tablas = Ejecuta(strSQL);
    while (!tablas.Eof()) {
        const QString tabla = tablas.Fields(QStringLiteral("TABLA")).Value.toString();
        strSQL = QStringLiteral("SELECT COUNT(Cc_Cve_Centro_Costo) AS Total FROM ") + tabla
            + QStringLiteral(" WHERE Cc_Cve_Centro_Costo = ") + Literal(clave) + QStringLiteral(" ");
        kt508::Recordset cuenta = Ejecuta(strSQL);
        if (cuenta.Fields(QStringLiteral("Total")).Value.toLongLong() > 0) {
            cuenta.Close();
            Datos->Aviso(QStringLiteral("Imposible eliminar el centro de costo,") + QStringLiteral("\r\n")
                             + QStringLiteral("esta siendo usando en el registro de la tabla: ") + tabla,
                         kt508::vbExclamation, QStringLiteral("Orba Nel"));
            tablas.Close();
            return true;
        }
        tablas.MoveNext();
    }
    tablas.Close();
    return false;
}

// A parent left without children becomes a detail centre again.
void ActualizaPadre(const QString& padre)
{
    strSQL = QStringLiteral("SELECT * FROM Centro_Costo WHERE Cc_Acumula = ") + Literal(padre);
    kt508::Recordset hermanos = Ejecuta(strSQL);
    if (hermanos.Eof()) {
        // One piece a statement: the operator is read before the server's time.
        strSQL = QStringLiteral("UPDATE Centro_Costo SET Cc_Tipo = 0,");
        strSQL += QStringLiteral("   Oper_Ult_Modif = ") + Literal(Operador()) + QStringLiteral(",");
        strSQL += QStringLiteral("   Fecha_Ult_Modif = ") + Literal(FechaHoraServidor());
        strSQL += QStringLiteral("WHERE CC_Cve_Centro_Costo = ") + Literal(padre);
        Ejecuta(strSQL);
    }
    hermanos.Close();
}

} // namespace

void frmKT508::Controles_B1Click()
{
    kt508::Node* nodo = tvCeCos->SelectedItem();
    // Without a selected node there is nothing to delete: the user is not asked to confirm it.
    if (txtClave->Text().isEmpty() || txtClave->Text() == QLatin1String("0") || !nodo) {
        Avisa(*this, QStringLiteral("El centro de costos no es valido para esta operación"), kt508::vbExclamation,
              QStringLiteral("Orbanel"), QStringLiteral("ERR-ID:7500010"));
        return;
    }
    if (Pregunta(*this, QStringLiteral("¿Realmente desea eliminar el centro de costo?"),
                 QStringLiteral("ERR-ID:7500011"))
        == kt508::vbNo)
        return;
    const QString clave = nodo->Key().mid(1);
    QString padre;
    // The checks only read: a failure here is told and nothing has been written.
    try {
        padre = PadreDeCentro(clave).toString();
        if (nodo->Key() == QLatin1String("N0")) {
            Avisa(*this, QStringLiteral("No se puede eliminar el centro de costo raiz"), kt508::vbExclamation,
                  QStringLiteral("Orbanel"), QStringLiteral("ERR-ID:7500012"));
            return;
        }
        if (!AceptaBorrarHijos(*this, clave) || EnUso(clave))
            return;
    } catch (const kt508::Error& e) {
        Avisa(*this,
              QStringLiteral("No se pudo comprobar si el centro de costos puede eliminarse; no se eliminó nada.")
                  + QStringLiteral("\r\n") + e.Description(),
              kt508::vbCritical, QStringLiteral("Controles_Eliminar()"), QStringLiteral("ERR-ID:7500015"));
        return;
    }
    try {
        GuardaTransaccion transaccion;
        if (!BorraCentro(clave)) {
            transaccion.Deshace();
            Avisa(*this, QStringLiteral("No se pudieron eliminar los centros de costo"), kt508::vbExclamation,
                  QStringLiteral("Orbanel"), QStringLiteral("ERR-ID:7500014"));
            return;
        }
        ActualizaPadre(padre);
        transaccion.Confirma();
        CargarCecos();
    } catch (const kt508::Error& e) {
        Avisa(*this, e.Description(), kt508::vbCritical, QStringLiteral("Controles_Eliminar()"),
              QStringLiteral("ERR-ID:7500015"));
    }
}
