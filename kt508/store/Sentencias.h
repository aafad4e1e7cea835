#pragma once

#include "kt508/services/Decimal.h"
#include "kt508/services/Sentencia.h"

#include <QString>
#include <QVariant>

namespace Publico {

struct Sello;

// One row of Centro_Costo as the editor writes it.
struct CentroCosto {
    QString acumula;      // CC_Acumula
    QString clave;        // CC_Cve_Centro_Costo
    QString grupo;        // Gcc_Cve_Grupo_Centro_Costo
    QString descripcion;  // CC_Descripcion
    QString cuenta;       // CC_Cuenta_Contable
    QString analizar;     // Cc_Analizar: "SI" or "NO"
    QString dato1;        // Cc_UserDef_1
    QString dato2;        // Cc_UserDef_2
    kt508::Decimal dato3; // Cc_UserDef_3, a number
    kt508::Decimal dato4; // Cc_UserDef_4, a number
    QVariant dato5;       // Cc_UserDef_5: the date as the database takes it, or null for none
    QVariant dato6;       // Cc_UserDef_6
};

// Every statement the component sends, each written once (Sentencias.cpp) as a form with named
// values; whoever sends one hands the values. By the routine or command that sends them.
namespace Sentencias {

// A centre's row read again inside a transaction that changes it or its children, locked
// until the transaction ends where the database locks rows.
kt508::Sentencia CentroBloqueado(const QString& clave);

// The tree load (AddSubMenu): the children of a centre, in key order.
kt508::Sentencia HijosEnArbol(const QString& padre);
// The listing (Imprimir_CeCo): the children of a centre, in the order the database gives.
kt508::Sentencia HijosEnListado(const QString& padre);

// The live tree: the catalogue's version, and the centres changed since one (with their rows as
// they are now; a deleted centre's columns null).
kt508::Sentencia VersionCatalogo();
kt508::Sentencia CambiosDesde(qint64 version);

// The subtree routines and the readers of one centre.
kt508::Sentencia HijosDeCentro(const QString& clave); // their keys, in key order
kt508::Sentencia BorraFila(const QString& clave);
kt508::Sentencia CambioDeEstado(const Sello& sello, const QString& estado, const QString& clave);
kt508::Sentencia CuentaDeCentro(const QString& clave); // also the change of account's read
kt508::Sentencia PadreDeCentro(const QString& clave);

// Edit.
kt508::Sentencia CentroAEditar(const QString& clave);

// Delete: the children check, the scan of the tables that refer to centres, the parent's update.
kt508::Sentencia HijosAEliminar(const QString& clave);
kt508::Sentencia TablasConCentros();
kt508::Sentencia UsosEnTabla(const QString& tabla, const QString& clave);
kt508::Sentencia HijosDelPadre(const QString& padre);
kt508::Sentencia PadreSinHijos(const Sello& sello, const QString& padre);

// Move: the centre under its new parent, as long as it is still under the parent it was seen
// under; the new parent accumulates (PadreAcumula); the old one, locked whatever it keeps, stops
// accumulating and is stamped when it has no child left; then the two centres as they now are.
kt508::Sentencia MueveCentro(const QString& nuevo, const Sello& sello, const QString& clave, const QString& padre);
kt508::Sentencia PadreQueCede(const QString& padre, const Sello& sello);
kt508::Sentencia CentrosDelMovimiento(const QString& clave, const QString& nuevo);

// Change of account; rename in the tree.
kt508::Sentencia CambiaCuenta(const QString& cuenta, const Sello& sello, const QString& clave);
kt508::Sentencia Renombra(const QString& descripcion, const Sello& sello, const QString& clave);

// The editor's save, and the ledger account it generates for a new centre.
kt508::Sentencia ActualizaCentro(const CentroCosto& centro, const Sello& sello);
kt508::Sentencia PadreAcumula(const QString& padre, const Sello& sello);
kt508::Sentencia InsertaCentro(const CentroCosto& centro, const Sello& sello);
kt508::Sentencia CuentaPadre(const QString& cuenta);
kt508::Sentencia CuentaGenerada(const QString& cuenta, const QString& clave);

// The centre's history: its row as the command left it, sent after the command's writes to it
// in the same batch; a deletion, sent with the row's.
kt508::Sentencia NotaCentro(const QString& comando, const Sello& sello, const QString& clave);
kt508::Sentencia NotaEliminado(const Sello& sello, const QString& clave);

} // namespace Sentencias

} // namespace Publico
