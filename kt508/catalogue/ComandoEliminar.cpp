#include "kt508/catalogue/frmKT508.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Historial.h"
#include "kt508/store/Centro.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"
#include "kt508/store/Subarbol.h"

using namespace Publico;

namespace {

int Pregunta(frmKT508& frm, const QString& texto, const QString& id)
{
    return frm.servicios.Datos->Mensaje(texto, kt508::vbPregunta, QStringLiteral("Eliminar"), &frm,
                                        QStringLiteral("KT508"), id);
}

void Avisa(frmKT508& frm, const QString& texto, int estilo, const QString& titulo, const QString& id)
{
    frm.servicios.Datos->Mensaje(texto, estilo, titulo, &frm, QStringLiteral("KT508"), id);
}

// False when the centre has children and the user does not want them deleted too.
bool AceptaBorrarHijos(frmKT508& frm, const QString& clave)
{
    kt508::Recordset rs = frm.servicios.Conexion().Ejecuta(Sentencias::HijosAEliminar(clave));
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
bool EnUso(const Servicios& servicios, const QString& clave)
{
    kt508::Recordset tablas = servicios.Conexion().Ejecuta(Sentencias::TablasConCentros());
    while (!tablas.Eof()) {
        const QString tabla = tablas.Fields(QStringLiteral("TABLA")).Value.toString();
        kt508::Recordset cuenta = servicios.Conexion().Ejecuta(Sentencias::UsosEnTabla(tabla, clave));
        if (cuenta.Fields(QStringLiteral("Total")).Value.toLongLong() > 0) {
            cuenta.Close();
            servicios.Datos->Aviso(QStringLiteral("Imposible eliminar el centro de costo,") + QStringLiteral("\r\n")
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
        padre = PadreDeCentro(servicios, clave).toString();
        if (nodo->Key() == QLatin1String("N0")) {
            Avisa(*this, QStringLiteral("No se puede eliminar el centro de costo raiz"), kt508::vbExclamation,
                  QStringLiteral("Orbanel"), QStringLiteral("ERR-ID:7500012"));
            return;
        }
        if (!AceptaBorrarHijos(*this, clave) || EnUso(servicios, clave))
            return;
    } catch (const kt508::Error& e) {
        Avisa(*this,
              QStringLiteral("No se pudo comprobar si el centro de costos puede eliminarse; no se eliminó nada.")
                  + QStringLiteral("\r\n") + e.Description(),
              kt508::vbCritical, QStringLiteral("Controles_Eliminar()"), QStringLiteral("ERR-ID:7500015"));
        return;
    }
    try {
        GuardaTransaccion transaccion(servicios.Conexion());
        if (!BorraCentro(servicios, clave, padre)) {
            transaccion.Deshace();
            Avisa(*this, QStringLiteral("No se pudieron eliminar los centros de costo"), kt508::vbExclamation,
                  QStringLiteral("Orbanel"), QStringLiteral("ERR-ID:7500014"));
            return;
        }
        ActualizaPadre(servicios, padre);
        transaccion.Confirma();
        CargarCecos();
    } catch (const kt508::Error& e) {
        // The transaction, left with the block, is rolled back before the message.
        Avisa(*this, e.Description(), kt508::vbCritical, QStringLiteral("Controles_Eliminar()"),
              QStringLiteral("ERR-ID:7500015"));
    }
}
