#pragma once

#include "kt508/services/Recordset.h"
#include "kt508/services/Sentencia.h"

#include <QString>

#include <functional>
#include <vector>

namespace kt508 {

// What one statement of a batch gave: its rows, or why it failed.
struct Resultado {
    Recordset filas;
    QString error; // null when the statement ran

    bool Corrio() const;
};

// The open connection to the suite's database, always the same object.
class Connection {
public:
    virtual ~Connection();

    // options -1: the provider decides the command type. A statement without a
    // result gives an empty, closed recordset.
    virtual Recordset Execute(const QString& commandText, int options = -1) = 0;
    virtual int BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
    virtual bool EnTransaccion() const = 0;

    // One statement with its values bound. By default its text goes to Execute.
    virtual Recordset Ejecuta(const Sentencia& sentencia);
    // Several statements in one round trip where the database allows it, their results in
    // order. Inside a transaction the first failure ends the batch: the statements after it
    // come back failed, not run. Outside one, each statement stands alone. By default they go
    // one by one through Ejecuta.
    virtual std::vector<Resultado> EjecutaLote(const std::vector<Sentencia>& lote);
    // The same batch, each result handed to `recibe` in order as soon as it is read, so that a
    // long batch never holds all its rows at once. `recibe` must not use this connection; what
    // it throws ends the deliveries and reaches the caller once the batch is over. By default
    // the results are read whole, then handed on.
    using Recibe = std::function<void(size_t posicion, Resultado& resultado)>;
    virtual void EjecutaLote(const std::vector<Sentencia>& lote, const Recibe& recibe);
    // Round trips to the database so far (0 where nothing travels).
    virtual long Viajes() const;
};

// The rows of each statement, in order; raises the first failure of the batch.
std::vector<Recordset> FilasOFallo(std::vector<Resultado> resultados);

} // namespace kt508
