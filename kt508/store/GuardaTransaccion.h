#pragma once

namespace kt508 {
class Connection;
}

namespace Publico {

// One transaction on Datos.Conexion for a command that writes: begun on construction,
// rolled back when it goes out of scope without Confirma. A command rolls back explicitly
// (Deshace) before it tells the user anything: no message waits with the transaction open.
class GuardaTransaccion {
public:
    explicit GuardaTransaccion(kt508::Connection& conexion);
    ~GuardaTransaccion();
    GuardaTransaccion(const GuardaTransaccion&) = delete;
    GuardaTransaccion& operator=(const GuardaTransaccion&) = delete;

    void Confirma(); // CommitTrans
    void Deshace();  // RollbackTrans now; a failure of the rollback is not reported
    bool Abierta() const;

private:
    kt508::Connection& m_conexion;
    bool m_abierta = true;
};

} // namespace Publico
