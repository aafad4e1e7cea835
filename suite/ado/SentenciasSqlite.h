#pragma once

#include "kt508/services/Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace orbanel::ado {

// Runs statements straight on the embedded database's handle, which the Qt connection owns
// and keeps open. Each form is prepared once and kept, with its column names, so a loop of
// look-ups by key costs only SQLite's own work. Errors raise kt508::Error with SQLite's text.
class SentenciasSqlite {
public:
    explicit SentenciasSqlite(sqlite3* conexion);
    ~SentenciasSqlite();
    SentenciasSqlite(const SentenciasSqlite&) = delete;
    SentenciasSqlite& operator=(const SentenciasSqlite&) = delete;

    // A SELECT's literals after its WHERE are bound, so one prepared form serves every key.
    kt508::Recordset Ejecuta(const QString& sentencia);
    // The suite's own statements: '?' take the values, as Qt SQL would bind them.
    kt508::Recordset EjecutaConValores(const QString& sentencia, const QVariantList& valores);
    // Must run before the handle is closed: SQLite does not close it while statements live.
    void Finaliza();

private:
    struct Preparada {
        sqlite3_stmt* stmt = nullptr;
        QStringList nombres;
        int repreparaciones = 0; // SQLite re-prepares on schema changes; the names may change
        quint64 uso = 0;
    };
    enum class Ligado { Literales, Valores };

    Preparada& preparada(const QString& texto);
    void liga(Preparada& p, const QVariantList& valores, Ligado como);
    void leeNombres(Preparada& p);
    kt508::Recordset corre(Preparada& p);
    void descartaAntigua();
    [[noreturn]] void falla();

    sqlite3* m_conexion;
    std::unordered_map<QString, Preparada> m_preparadas;
    quint64 m_usos = 0;
    QString m_forma;
    QVariantList m_literales;
};

} // namespace orbanel::ado
