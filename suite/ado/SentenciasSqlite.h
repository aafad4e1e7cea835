#pragma once

#include "kt508/services/Recordset.h"
#include "suite/ado/Motor.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace orbanel::ado {

// Runs statements straight on the embedded database's handle, which the Qt connection owns
// and keeps open. Each form is prepared once and kept, with its column names, so a loop of
// look-ups by key costs only SQLite's own work; its values are bound ('?' marks). Errors raise
// kt508::Error with SQLite's text after a Spanish lead that names the file `base`. The database
// lives in this process: nothing travels, Viajes() stays 0.
class SentenciasSqlite : public Motor {
public:
    SentenciasSqlite(sqlite3* conexion, QString base);
    ~SentenciasSqlite() override;
    SentenciasSqlite(const SentenciasSqlite&) = delete;
    SentenciasSqlite& operator=(const SentenciasSqlite&) = delete;

    kt508::Recordset Texto(const QString& sql) override;
    // One by one: there is no round trip to save.
    using Motor::Lote;
    void Lote(const std::vector<Orden>& lote, const Entrega& entrega) override;
    void Comienza() override;
    void Confirma() override;
    void Deshace() override;

    kt508::Recordset EjecutaConValores(const QString& sentencia, const QVariantList& valores);
    // Must run before the handle is closed: SQLite does not close it while statements live.
    void Finaliza();

private:
    struct Preparada {
        sqlite3_stmt* stmt = nullptr;
        QStringList nombres;
        int repreparaciones = 0; // SQLite re-prepares on schema changes; the names may change
        quint64 uso = 0;
        size_t celdas = 0; // cells of the last result: the next gets as much room at once
    };
    bool SoloLeen(const std::vector<Orden>& lote);
    Preparada& preparada(const QString& texto);
    Preparada* intentaPreparar(const QString& texto, QString& error);
    void liga(Preparada& p, const QVariantList& valores);
    void leeNombres(Preparada& p);
    kt508::Recordset corre(Preparada& p);
    void descartaAntigua();
    [[noreturn]] void falla();
    [[noreturn]] void falla(int codigo, const QString& mensaje);

    sqlite3* m_conexion;
    bool m_comienzoPendiente = false; // BEGIN IMMEDIATE goes with the transaction's first statement
    QString m_base;
    std::unordered_map<QString, Preparada> m_preparadas;
    quint64 m_usos = 0;
};

} // namespace orbanel::ado
