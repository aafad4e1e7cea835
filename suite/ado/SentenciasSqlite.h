#pragma once

#include "kt508/services/Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <unordered_map>
#include <unordered_set>

struct sqlite3;
struct sqlite3_stmt;

namespace orbanel::ado {

// Runs statements straight on the embedded database's handle, which the Qt connection owns
// and keeps open. Each form is prepared once and kept, with its column names, so a loop of
// look-ups by key costs only SQLite's own work. Errors raise kt508::Error with SQLite's text
// after a Spanish lead that names the file `base`.
class SentenciasSqlite {
public:
    SentenciasSqlite(sqlite3* conexion, QString base);
    ~SentenciasSqlite();
    SentenciasSqlite(const SentenciasSqlite&) = delete;
    SentenciasSqlite& operator=(const SentenciasSqlite&) = delete;

    // A SELECT's literals in its WHERE are bound, so one prepared form serves every key; a form
    // that does not prepare goes as the text, then and from then on.
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
    Preparada* intentaPreparar(const QString& texto, QString& error);
    void liga(Preparada& p, const QVariantList& valores, Ligado como);
    void leeNombres(Preparada& p);
    kt508::Recordset corre(Preparada& p);
    void descartaAntigua();
    [[noreturn]] void falla();
    [[noreturn]] void falla(int codigo, const QString& mensaje);

    sqlite3* m_conexion;
    QString m_base;
    std::unordered_map<QString, Preparada> m_preparadas;
    std::unordered_set<QString> m_sinForma;
    quint64 m_usos = 0;
    QString m_forma;
    QVariantList m_literales;
};

} // namespace orbanel::ado
