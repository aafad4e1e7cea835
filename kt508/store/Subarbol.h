#pragma once

#include <QString>
#include <QVariant>

// Store routines of module Publico shared by the catalogue's commands. They run inside the
// caller's transaction and trap nothing: a failing statement reaches the caller. A routine on a
// subtree sends the statements of one level of it as one batch, so that it waits for the
// database as many times as the branch is deep, however many centres it holds.
namespace Publico {

struct Servicios;

// Deletes the centre and its whole subtree, each parent before its children, noting each
// deletion in the history. True once done. A parent given is locked first, in the same trip, so
// that no child is added under it before the caller reads its children again.
bool BorraCentro(const Servicios& servicios, const QString& clave, const QString& padre = QString());
// Gives the centre and its whole subtree the state "AC" or "BA", with audit stamps and a note in
// the history each. True once done.
bool CambiaEstado(const Servicios& servicios, const QString& clave, const QString& estado);
// The centre's ledger account or parent as stored (Null included); "" when there is no row.
QVariant CuentaDeCentro(const Servicios& servicios, const QString& clave);
QVariant PadreDeCentro(const Servicios& servicios, const QString& clave);

} // namespace Publico
