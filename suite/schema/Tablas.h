#pragma once

#include <QStringList>

namespace orbanel::ado {
class AdoConnection;
}

namespace orbanel::schema {

// The tables and views the database already holds (SQLite's own and the server's system
// catalogues aside), by name: a database is empty when there is none.
QStringList TablasPresentes(ado::AdoConnection& db);

} // namespace orbanel::schema
