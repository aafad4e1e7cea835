#pragma once

#include "kt508/services/Sentencia.h"

#include <QLatin1String>
#include <QString>

// A centre's history (Historial_Centro): every command that changes a centre notes the centre's
// row as the command left it, in the same batch as its own statements, so the history costs no
// round trip. The catalogue's commands and the suite's import and repair write the same notes.
namespace kt508::historial {

// The command that made a change, as the history names it.
namespace comando {
constexpr QLatin1String Nuevo("Nuevo");
constexpr QLatin1String Editar("Editar");
constexpr QLatin1String Renombrar("Renombrar");
constexpr QLatin1String Baja("Baja");
constexpr QLatin1String Reactivar("Reactivar");
constexpr QLatin1String CambiarCuenta("Cambiar cuenta contable");
constexpr QLatin1String Eliminar("Eliminar");
constexpr QLatin1String Reparar("Reparar");
constexpr QLatin1String Importar("Importar");
constexpr QLatin1String Mover("Mover");
// The row a centre had when the history began: the point its first change is read against.
constexpr QLatin1String EstadoInicial("Estado inicial");
} // namespace comando

// The centre's row as it stands now, noted with who, when and which command; sent after the
// command's own writes to it.
Sentencia Nota(const QString& comando, const QString& operador, const QString& fecha, const QString& clave);
// Every centre's row as it stands, noted once as the starting point of its history.
Sentencia NotasIniciales(const QString& operador, const QString& fecha);
// The deletion of a centre: the key with who and when, every column of the row empty.
Sentencia NotaDeEliminacion(const QString& operador, const QString& fecha, const QString& clave);
// Every note on a centre, oldest first.
Sentencia Notas(const QString& clave);

} // namespace kt508::historial
