#pragma once

#include "suite/ado/Motor.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

#include <unordered_map>

struct pg_conn;
struct pg_result;

namespace orbanel::ado {

// Statements through libpq on the session's own connection (the one Qt's driver opened and
// keeps): one statement is one round trip, and a batch is one too, in pipeline mode. BEGIN waits
// to travel with the transaction's first statement. Outside transactions each form is prepared
// on the server once. Values go bound as text, their types left to the server; results are read
// by column type. Qt's driver only opens and closes the connection.
class SentenciasPostgres : public Motor {
public:
    // `base` names the server in messages; `clave` is the password, kept out of them.
    SentenciasPostgres(QSqlDatabase db, QString base, QString clave);

    kt508::Recordset Texto(const QString& sql) override;
    using Motor::Lote;
    void Lote(const std::vector<Orden>& lote, const Entrega& entrega) override;
    void Comienza() override;
    void Confirma() override;
    void Deshace() override;
    QString Marca(int i) const override; // $1, $2...
    QString DesdeInterrogaciones(const QString& texto) const override;

private:
    class Tuberia;

    void AntesDeEnviar();
    void Reabre();
    // One command outside any pipeline; its result, which the caller clears.
    pg_result* Simple(const QByteArray& sql);
    QString TextoDeFallo(const pg_result* resultado);
    QString Oculta(QString texto) const;

    QSqlDatabase m_db;
    pg_conn* m_pg = nullptr;
    std::unordered_map<QByteArray, QByteArray> m_preparadas; // the server's names of the forms, by text
    int m_nombres = 0;
    bool m_sinNombres = false; // the server forgets prepared forms: none is prepared any more
    QString m_base;
    QString m_clave;
    bool m_beginPendiente = false; // the transaction's BEGIN goes with its first statement
    bool m_perdida = false;        // the connection was lost: open it again before the next statement
};

} // namespace orbanel::ado
