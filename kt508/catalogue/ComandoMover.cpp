// Move: a centre and its branch under another centre or the root, asked for from the context
// menu (the dialog) or by dropping its node on the new parent's; the node moves in place.
#include "kt508/catalogue/frmKT508.h"

#include "kt508/catalogue/Iconos.h"
#include "kt508/dialogs/CursorEspera.h"
#include "kt508/dialogs/frmMover.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/store/Mueve.h"
#include "kt508/store/Servicios.h"

#include <memory>

using namespace Publico;

namespace {

constexpr const char* ErrMover = "ERR-ID:7500035";

void Avisa(frmKT508& frm, const QString& texto)
{
    frm.servicios.Datos->Mensaje(texto, kt508::vbCritical, QStringLiteral("Mover"), &frm, QStringLiteral("KT508"),
                                 QLatin1String(ErrMover));
}

bool EnRama(kt508::Node* nodo, kt508::Node* rama)
{
    for (; nodo; nodo = nodo->Parent())
        if (nodo == rama)
            return true;
    return false;
}

// The node's key and every key below it, without the "N".
QStringList Rama(kt508::Node* nodo)
{
    QStringList claves{nodo->Key().mid(1)};
    for (kt508::Node* hijo = nodo->Child(); hijo; hijo = hijo->Next())
        claves += Rama(hijo);
    return claves;
}

// The new parent as the tree shows it: the move is refused when the store holds it otherwise.
CentroVisto Visto(kt508::Node* nodo)
{
    const QString clave = nodo->Key().mid(1);
    const bool activo = nodo->Image() == Imagen::Activo || nodo->Image() == Imagen::ActivoAbierto;
    return {nodo->Parent()->Key().mid(1), nodo->Text().mid(clave.size() + 3),
            activo ? QStringLiteral("AC") : QStringLiteral("BA")};
}

} // namespace

void frmKT508::mnuCeCos_Mover()
{
    kt508::Node* nodo = tvCeCos->SelectedItem();
    if (!nodo || nodo->Key() == QLatin1String("N0"))
        return;
    auto dialogo = std::make_unique<frmMover>(nodo->Text(), Rama(nodo), this);
    dialogo->exec();
    if (dialogo->OK)
        MueveA(nodo, dialogo->NuevoPadre());
}

void frmKT508::tvCeCos_NodeDrop(kt508::Node* Node, kt508::Node* Destino)
{
    if (Node->Key() != QLatin1String("N0"))
        MueveA(Node, Destino->Key().mid(1));
}

// The checks the tree can make, the question, the move in the store, then the node in its new
// place, selected, with what was expanded still so.
void frmKT508::MueveA(kt508::Node* nodo, const QString& nuevo)
{
    const QString clave = nodo->Key().mid(1);
    kt508::Node* destino = tvCeCos->Nodes(QLatin1Char('N') + nuevo);
    if (!destino)
        return Avisa(*this, QStringLiteral("El centro de costos %1 no existe.").arg(nuevo));
    if (EnRama(destino, nodo))
        return Avisa(*this, QStringLiteral("No se puede mover %1 debajo de %2: %2 depende de él.").arg(clave, nuevo));
    if (destino == nodo->Parent())
        return;
    const QString pregunta =
        QStringLiteral("¿Mover %1 y los centros que dependen de él a %2?").arg(nodo->Text(), destino->Text());
    if (servicios.Datos->Mensaje(pregunta, kt508::vbPregunta, QStringLiteral("Mover"), this, QStringLiteral("KT508"),
                                 QLatin1String(ErrMover))
        != kt508::vbYes)
        return;
    Movimiento movimiento{clave, nodo->Parent()->Key().mid(1), nuevo, std::nullopt};
    if (nuevo != QLatin1String("0"))
        movimiento.nuevoVisto = Visto(destino);
    try {
        const CursorEspera espera;
        MueveCentro(servicios, movimiento);
    } catch (const kt508::Error& e) {
        return Avisa(*this, e.Description());
    }
    AlDiaTrasMover();
    kt508::Node* movido = tvCeCos->Nodes(QLatin1Char('N') + clave);
    if (!movido)
        return;
    tvCeCos->setSelectedItem(movido);
    tvCeCos_NodeClick(movido);
}
