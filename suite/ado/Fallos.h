#pragma once

#include <QString>

class QSqlError;

namespace orbanel::ado {

// The failures a user can understand and act on; each gets a Spanish lead before the driver's text.
// Ocupada: another program holds the file; Bloqueada: another user's transaction holds the rows
// longer than a statement waits for them.
enum class Causa { Otra, Ocupada, Bloqueada, SoloLectura, NoEsBase, Danada, Larga, ConexionPerdida };

// From SQLite's result code (primary or extended) and its message.
Causa CausaSqlite(int codigo, const QString& mensaje);
// From PostgreSQL's SQLSTATE.
Causa CausaPostgres(const QString& estado);
// From a Qt SQL error: PostgreSQL by its SQLSTATE, SQLite by its code, ODBC by the driver's words.
Causa CausaDe(const QSqlError& error, const QString& driver);
// What the driver said, its own text preferred to Qt's.
QString TextoPropio(const QSqlError& error);
// The text a user reads: the lead, then the driver's own text; never empty. `base` names the
// database (never with its password).
QString TextoDeFallo(Causa causa, const QString& propio, const QString& base);
// A lost server connection: outside a transaction the next statement connects again; a
// transaction it held is gone with it. `propio` (the driver's text) follows when there is one.
QString TextoDePerdida(bool enTransaccion, const QString& propio, const QString& base);
// A lost connection that could not be opened again.
QString TextoSinReconexion(const QString& propio, const QString& base);

} // namespace orbanel::ado
