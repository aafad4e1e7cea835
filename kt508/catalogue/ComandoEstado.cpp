#include "kt508/catalogue/frmKT508.h"

#include "kt508/catalogue/Iconos.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Servicios.h"
#include "kt508/store/Subarbol.h"

#include <array>

using namespace Publico;

namespace {

// What sets deactivation and reactivation apart; their steps are the same.
struct CambioDeEstado {
    QString estado;
    int estiloNoValido;
    QString idNoValido;
    QString idRaiz;
    QString textoFallo;
    QString idFallo;
    QString titulo;
    QString idNoConfirmado;
    QString idError;
    std::array<int, 5> banderasQueSeApagan;
    bool retiraEliminar;
};

const CambioDeEstado Baja{QStringLiteral("BA"),
                          kt508::vbExclamation,
                          QStringLiteral("ERR-ID:7500020"),
                          QStringLiteral("ERR-ID:7500021"),
                          QStringLiteral("Error al dar de baja los centros de costo"),
                          QStringLiteral("ERR-ID:7500022"),
                          QStringLiteral("Controles_Eliminar()"),
                          QStringLiteral("ERR-ID:7500023"),
                          QStringLiteral("ERR-ID:7500024"),
                          {kt508::Bandera::Consulta, kt508::Bandera::Eliminar, kt508::Bandera::Imprimir,
                           kt508::Bandera::Nuevo, kt508::Bandera::Editar},
                          true};

const CambioDeEstado Reactivacion{QStringLiteral("AC"),
                                  kt508::vbCritical,
                                  QStringLiteral("ERR-ID:7500027"),
                                  QStringLiteral("ERR-ID:7500028"),
                                  QStringLiteral("Error al reactivar el centro de costos"),
                                  QStringLiteral("ERR-ID:7500029"),
                                  QStringLiteral("Controles_Reactivar()"),
                                  QStringLiteral("ERR-ID:7500030"),
                                  QStringLiteral("ERR-ID:7500031"),
                                  {kt508::Bandera::Consulta, kt508::Bandera::Nuevo, kt508::Bandera::Eliminar,
                                   kt508::Bandera::Reactivar, kt508::Bandera::Editar},
                                  false};

void Avisa(frmKT508& frm, const QString& texto, int estilo, const QString& titulo, const QString& id)
{
    frm.servicios.Datos->Mensaje(texto, estilo, titulo, &frm, QStringLiteral("KT508"), id);
}

// The rebuilt tree opens collapsed: the centre comes back into view, selected, so that the
// user sees its branch turn. The flags stay as the command leaves them.
void MuestraCentro(frmKT508& frm, const QString& centro)
{
    IgnoraError([&] {
        kt508::Node* nodo = frm.tvCeCos->Nodes(QLatin1Char('N') + centro);
        if (!nodo)
            return;
        nodo->EnsureVisible();
        frm.tvCeCos->setSelectedItem(nodo);
    });
}

// Deactivates or reactivates the selected centre with its whole branch, in one transaction.
void CambiaRama(frmKT508& frm, const CambioDeEstado& cambio)
{
    const QString clave = frm.txtClave->Text();
    kt508::Node* nodo = frm.tvCeCos->SelectedItem();
    // Without a selected node there is no centre to act on, whatever the key field says.
    if (clave.isEmpty() || clave == QLatin1String("0") || !nodo) {
        Avisa(frm, QStringLiteral("El centro de costos no es valido para esta operación"), cambio.estiloNoValido,
              QStringLiteral("Orbanel"), cambio.idNoValido);
        frm.Controles->EndCommand();
        return;
    }
    const QString centro = nodo->Key().mid(1);
    if (nodo->Key() == QLatin1String("N0")) {
        Avisa(frm, QStringLiteral("No se puede eliminar el centro de costo raiz"), kt508::vbExclamation,
              QStringLiteral("Orbanel"), cambio.idRaiz);
        return;
    }
    const Servicios& servicios = frm.servicios;
    try {
        GuardaTransaccion transaccion(servicios.Conexion());
        if (!CambiaEstado(servicios, centro, cambio.estado)) {
            transaccion.Deshace();
            Avisa(frm, cambio.textoFallo, kt508::vbCritical, QStringLiteral("Orbanel"), cambio.idFallo);
            return;
        }
        if (!servicios.Utilerias->ValidaCambio(QStringLiteral("CENTRO_COSTO"), centro, QString())) {
            transaccion.Deshace();
            Avisa(frm, servicios.Utilerias->UltimoError(), kt508::vbCritical, cambio.titulo, cambio.idNoConfirmado);
            return;
        }
        transaccion.Confirma();

        nodo->setImage(nodo->Image() == Imagen::Activo ? Imagen::Baja : Imagen::Activo);
        // The descendants show their new state only from a rebuilt tree.
        if (nodo->Children() > 0) {
            frm.CargarCecos();
            MuestraCentro(frm, centro);
        }
        for (const int bandera : cambio.banderasQueSeApagan)
            frm.Controles->setEnabledFlag(bandera, false);
        if (cambio.retiraEliminar)
            frm.Controles->setB1caption(QString());
    } catch (const kt508::Error& e) {
        // The transaction, left with the block, is rolled back before the message.
        Avisa(frm, e.Description(), kt508::vbCritical, cambio.titulo, cambio.idError);
    }
}

} // namespace

void frmKT508::Controles_Eliminar()
{
    CambiaRama(*this, Baja);
}

void frmKT508::Controles_Reactivar()
{
    CambiaRama(*this, Reactivacion);
}
