#include "suite/schema/Tablas.h"

#include "kt508/services/Recordset.h"
#include "suite/ado/AdoConnection.h"

namespace orbanel::schema {

namespace {

QString consultaTablas(ado::Dialect dialect)
{
    switch (dialect) {
    case ado::Dialect::SQLite:
        return QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                              "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
    case ado::Dialect::PostgreSQL:
        return QStringLiteral("SELECT table_name FROM information_schema.tables "
                              "WHERE table_schema = current_schema() ORDER BY table_name");
    case ado::Dialect::SqlServer: break;
    }
    return QStringLiteral("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES ORDER BY TABLE_NAME");
}

} // namespace

QStringList TablasPresentes(ado::AdoConnection& db)
{
    QStringList nombres;
    for (kt508::Recordset rs = db.Execute(consultaTablas(db.dialect())); !rs.Eof(); rs.MoveNext())
        nombres << rs.Value(0).toString();
    return nombres;
}

} // namespace orbanel::schema
