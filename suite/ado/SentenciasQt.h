#pragma once

#include "suite/ado/Motor.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>
#include <unordered_map>

class QSqlError;

namespace orbanel::ado {

class Dialecto;

// Statements through Qt SQL: SQLite when its driver calls another SQLite than this code, and
// ODBC. An ODBC batch goes as one execution of the dialect's batch text, its results read in
// order; SQLite's go one by one. A server connection that was lost is opened again on the next
// statement outside a transaction.
class SentenciasQt : public Motor {
public:
    // `lotes`: the dialect an ODBC server speaks; null for SQLite. `base` names the database in
    // messages; `clave` is the password, kept out of them.
    SentenciasQt(QSqlDatabase db, const Dialecto* lotes, QString base, QString clave);
    ~SentenciasQt() override;

    kt508::Recordset Texto(const QString& sql) override;
    using Motor::Lote;
    void Lote(const std::vector<Orden>& lote, const Entrega& entrega) override;
    void Comienza() override;
    void Confirma() override;
    void Deshace() override;

private:
    kt508::Recordset Una(const Orden& orden);
    std::vector<kt508::Resultado> EnUnaEjecucion(const std::vector<Orden>& lote, size_t desde);
    QSqlQuery* Preparada(const Orden& orden);
    void DescartaFormasViejas();
    // `siguenResultados`: a batch's next result is still to be read from the same execution.
    kt508::Recordset Recoge(QSqlQuery& q, bool siguenResultados = false);
    void AntesDeEnviar();
    bool Responde();
    void Reabre();
    QString TextoDeFallo(const QSqlError& error);
    [[noreturn]] void Falla(const QSqlError& error);

    QSqlDatabase m_db;
    QSqlQuery m_query; // statements sent as text, and ODBC's one by one
    // SQLite: each form prepared once. Qt's driver cannot follow a change of columns another
    // connection makes under a prepared statement: the forms go when the schema changes.
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_preparadas;
    qint64 m_versionEsquema = -1;
    const Dialecto* m_lotes;
    QString m_base;
    QString m_clave;
    bool m_perdida = false; // the server connection was lost: open it again before the next statement
    bool m_dudosa = false;  // a failure inside a transaction may have been a lost connection
};

} // namespace orbanel::ado
