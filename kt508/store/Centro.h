#pragma once

#include "kt508/store/Vigencia.h"

#include <QString>

namespace kt508 {
class Connection;
}

// The writes of the commands that change one centre. Each runs inside the caller's transaction
// and first reads again, locked, the row it changes or the parent whose children it changes, in
// the same trip as its writes: another user's change since the command read it is refused
// (kt508::Error, the rollback undoing the writes), and two users never disagree on a parent.
namespace Publico {

struct CentroCosto;
struct Sello;
struct Servicios;

// New: the parent (the root aside) must still exist; it becomes accumulating.
void AltaCentro(kt508::Connection& conexion, const CentroCosto& centro, const Sello& sello);
// Edit: only while the centre's row is still the one read.
void CambiaCentro(kt508::Connection& conexion, const CentroCosto& centro, const FilaLeida& leida, const Sello& sello);
// Rename in the tree: only while the centre holds the description shown.
void RenombraCentro(const Servicios& servicios, const QString& clave, const QString& mostrada,
                    const QString& descripcion);
// Delete's last step: a parent left without children becomes a detail centre again. Its row is
// already locked by the delete (BorraCentro with the parent).
void ActualizaPadre(const Servicios& servicios, const QString& padre);

} // namespace Publico
