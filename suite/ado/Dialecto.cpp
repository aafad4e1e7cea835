#include "suite/ado/Dialecto.h"

namespace orbanel::ado {

Dialecto::~Dialecto() = default;

const Dialecto& Dialecto::De(Dialect dialect)
{
    static const DialectoSqlite sqlite;
    static const DialectoPostgreSQL postgresql;
    static const DialectoSqlServer sqlserver;
    switch (dialect) {
    case Dialect::SQLite: return sqlite;
    case Dialect::PostgreSQL: return postgresql;
    case Dialect::SqlServer: break;
    }
    return sqlserver;
}

QString Dialecto::FechaHora(const QDateTime& momento) const
{
    return momento.toString(FormatoFechaHora());
}

QString Dialecto::Fecha(const QDate& dia) const
{
    return dia.toString(FormatoFecha());
}

// PostgreSQL's ODBC driver runs a batch as one unit: a failure undoes all of it.
QString Dialecto::UneLote(const QStringList& sentencias) const
{
    return sentencias.join(QStringLiteral(";\n"));
}

QString Dialecto::Bloqueo(kt508::Forma::Bloqueo /*lugar*/) const
{
    return QString();
}

bool Dialecto::LoteTodoONada() const
{
    return true;
}

QString Dialecto::GuionCrea() const
{
    return QStringLiteral(":/orbanel/schema/%1.sql").arg(Nombre());
}

QString Dialecto::GuionBorra() const
{
    return QStringLiteral(":/orbanel/schema/%1-borra.sql").arg(Nombre());
}

// --- SQLite ---

QString DialectoSqlite::Nombre() const
{
    return QStringLiteral("sqlite");
}

QString DialectoSqlite::FormatoFechaHora() const
{
    return QStringLiteral("yyyy-MM-dd HH:mm:ss");
}

QString DialectoSqlite::FormatoFecha() const
{
    return QStringLiteral("yyyy-MM-dd");
}

QString DialectoSqlite::ExpresionAhora() const
{
    return QStringLiteral("datetime('now', 'localtime')");
}

QString DialectoSqlite::ConsultaFechaServidor() const
{
    return QStringLiteral("SELECT strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')");
}

QString DialectoSqlite::ConsultaCatalogoExiste() const
{
    return QStringLiteral("SELECT COUNT(*) AS Total FROM sqlite_master "
                          "WHERE type = 'table' AND name = 'Centro_Costo' COLLATE NOCASE");
}

QString DialectoSqlite::ConsultaTablas() const
{
    return QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                          "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
}

// The length is what the declared type gives between parentheses ("VARCHAR(50)").
QString DialectoSqlite::ConsultaLargos() const
{
    return QStringLiteral("SELECT name, CAST(substr(type, instr(type, '(') + 1) AS INTEGER) "
                          "FROM pragma_table_info('Centro_Costo') WHERE upper(type) LIKE '%CHAR%(%'");
}

// The path of keys so far, between unit separators, stops a chain that comes back on itself.
QString DialectoSqlite::ConsultaCadena() const
{
    return QStringLiteral(
        "WITH RECURSIVE Cadena (Nivel, Clave, Acumula, Camino) AS ("
        "SELECT 0, CC_Cve_Centro_Costo, CC_Acumula, char(31) || CC_Cve_Centro_Costo || char(31) "
        "FROM Centro_Costo WHERE CC_Cve_Centro_Costo = ? "
        "UNION ALL "
        "SELECT p.Nivel + 1, c.CC_Cve_Centro_Costo, c.CC_Acumula, p.Camino || c.CC_Cve_Centro_Costo || char(31) "
        "FROM Cadena p JOIN Centro_Costo c ON c.CC_Cve_Centro_Costo = p.Acumula "
        "WHERE p.Acumula <> '0' AND instr(p.Camino, char(31) || p.Acumula || char(31)) = 0) "
        "SELECT Nivel, Clave, Acumula FROM Cadena ORDER BY Nivel");
}

// --- PostgreSQL ---

QString DialectoPostgreSQL::Nombre() const
{
    return QStringLiteral("postgresql");
}

QString DialectoPostgreSQL::FormatoFechaHora() const
{
    return QStringLiteral("yyyy-MM-dd HH:mm:ss");
}

QString DialectoPostgreSQL::FormatoFecha() const
{
    return QStringLiteral("yyyy-MM-dd");
}

QString DialectoPostgreSQL::ExpresionAhora() const
{
    return QStringLiteral("LOCALTIMESTAMP(0)");
}

QString DialectoPostgreSQL::ConsultaFechaServidor() const
{
    return QStringLiteral("SELECT LOCALTIMESTAMP");
}

QString DialectoPostgreSQL::ConsultaCatalogoExiste() const
{
    // Unquoted names are folded to lower case by the server.
    return QStringLiteral("SELECT COUNT(*) AS Total FROM information_schema.tables "
                          "WHERE table_schema = current_schema() AND table_name = 'centro_costo'");
}

QString DialectoPostgreSQL::ConsultaTablas() const
{
    return QStringLiteral("SELECT table_name FROM information_schema.tables "
                          "WHERE table_schema = current_schema() ORDER BY table_name");
}

QString DialectoPostgreSQL::ConsultaLargos() const
{
    return QStringLiteral("SELECT column_name, character_maximum_length FROM information_schema.columns "
                          "WHERE table_schema = current_schema() AND table_name = 'centro_costo' "
                          "AND character_maximum_length IS NOT NULL");
}

QString DialectoPostgreSQL::ConsultaCadena() const
{
    return QStringLiteral(
        "WITH RECURSIVE Cadena (Nivel, Clave, Acumula, Camino) AS ("
        "SELECT 0, CC_Cve_Centro_Costo, CC_Acumula, chr(31) || CC_Cve_Centro_Costo || chr(31) "
        "FROM Centro_Costo WHERE CC_Cve_Centro_Costo = ? "
        "UNION ALL "
        "SELECT p.Nivel + 1, c.CC_Cve_Centro_Costo, c.CC_Acumula, p.Camino || c.CC_Cve_Centro_Costo || chr(31) "
        "FROM Cadena p JOIN Centro_Costo c ON c.CC_Cve_Centro_Costo = p.Acumula "
        "WHERE p.Acumula <> '0' AND strpos(p.Camino, chr(31) || p.Acumula || chr(31)) = 0) "
        "SELECT Nivel, Clave, Acumula FROM Cadena ORDER BY Nivel");
}

QString DialectoPostgreSQL::Bloqueo(kt508::Forma::Bloqueo lugar) const
{
    return lugar == kt508::Forma::Bloqueo::AlFinal ? QStringLiteral(" FOR UPDATE") : QString();
}

// --- SQL Server ---

QString DialectoSqlServer::Nombre() const
{
    return QStringLiteral("sqlserver");
}

QString DialectoSqlServer::FormatoFechaHora() const
{
    return QStringLiteral("yyyyMMdd HH:mm:ss");
}

QString DialectoSqlServer::FormatoFecha() const
{
    return QStringLiteral("yyyyMMdd");
}

QString DialectoSqlServer::ExpresionAhora() const
{
    return QStringLiteral("CURRENT_TIMESTAMP");
}

QString DialectoSqlServer::ConsultaFechaServidor() const
{
    return QStringLiteral("SELECT CURRENT_TIMESTAMP");
}

QString DialectoSqlServer::ConsultaCatalogoExiste() const
{
    return QStringLiteral("SELECT COUNT(*) AS Total FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_NAME = 'Centro_Costo'");
}

QString DialectoSqlServer::ConsultaTablas() const
{
    return QStringLiteral("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES ORDER BY TABLE_NAME");
}

QString DialectoSqlServer::ConsultaLargos() const
{
    return QStringLiteral("SELECT COLUMN_NAME, CHARACTER_MAXIMUM_LENGTH FROM INFORMATION_SCHEMA.COLUMNS "
                          "WHERE TABLE_NAME = 'Centro_Costo' AND CHARACTER_MAXIMUM_LENGTH > 0");
}

// A recursive query stops at 100 levels unless told otherwise; the path stops a cycle instead.
QString DialectoSqlServer::ConsultaCadena() const
{
    return QStringLiteral("WITH Cadena (Nivel, Clave, Acumula, Camino) AS ("
                          "SELECT 0, CC_Cve_Centro_Costo, CC_Acumula, "
                          "CAST(CHAR(31) + CC_Cve_Centro_Costo + CHAR(31) AS VARCHAR(MAX)) "
                          "FROM Centro_Costo WHERE CC_Cve_Centro_Costo = ? "
                          "UNION ALL "
                          "SELECT p.Nivel + 1, c.CC_Cve_Centro_Costo, c.CC_Acumula, "
                          "CAST(p.Camino + c.CC_Cve_Centro_Costo + CHAR(31) AS VARCHAR(MAX)) "
                          "FROM Cadena p JOIN Centro_Costo c ON c.CC_Cve_Centro_Costo = p.Acumula "
                          "WHERE p.Acumula <> '0' "
                          "AND CHARINDEX(CHAR(31) + p.Acumula + CHAR(31), p.Camino) = 0) "
                          "SELECT Nivel, Clave, Acumula FROM Cadena ORDER BY Nivel OPTION (MAXRECURSION 0)");
}

// The update lock, held to the end of the transaction, keeps other writers out but not readers.
QString DialectoSqlServer::Bloqueo(kt508::Forma::Bloqueo lugar) const
{
    return lugar == kt508::Forma::Bloqueo::TrasTabla ? QStringLiteral(" WITH (UPDLOCK, ROWLOCK)") : QString();
}

// Each statement gives its own result and the batch stops at the first failure, so the results
// read in order are the statements' and nothing after a failure runs.
QString DialectoSqlServer::UneLote(const QStringList& sentencias) const
{
    QString lote;
    for (const QString& sentencia : sentencias)
        lote += sentencia + QStringLiteral(";\nIF @@ERROR <> 0 RETURN;\n");
    return lote;
}

bool DialectoSqlServer::LoteTodoONada() const
{
    return false;
}

} // namespace orbanel::ado
