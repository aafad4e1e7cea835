#pragma once

#include "kt508/services/Connection.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <vector>

namespace orbanel::ado {

// One statement as an engine sends it: its text, with the engine's marks for the values, and
// the values, one a mark, in order.
struct Orden {
    QString texto;
    QVariantList valores;
};

// What sends statements to one kind of database. A failure raises kt508::Error with the Spanish
// lead already in place, except in a batch, whose failures come back in its results.
class Motor {
public:
    virtual ~Motor();

    // A statement that goes as its text, nothing bound.
    virtual kt508::Recordset Texto(const QString& sql) = 0;
    // Statements with their values bound, each result handed on in order as soon as it is
    // final, as kt508::Connection::EjecutaLote with its receiver; `entrega` does not throw.
    using Entrega = std::function<void(size_t posicion, kt508::Resultado& resultado)>;
    virtual void Lote(const std::vector<Orden>& lote, const Entrega& entrega) = 0;
    // The same, the results kept together.
    std::vector<kt508::Resultado> Lote(const std::vector<Orden>& lote);
    virtual void Comienza() = 0;
    virtual void Confirma() = 0; // a commit the database refuses leaves the transaction open
    virtual void Deshace() = 0;

    // Value mark number i (from 0) as this engine's statements write it.
    virtual QString Marca(int i) const;
    // The suite's own statements mark their values with '?'; the text as this engine takes it.
    virtual QString DesdeInterrogaciones(const QString& texto) const;

    bool EnTransaccion() const;
    // Called once while a statement has waited a while for the server (another user's lock, a
    // slow query), so that the user sees that it waits.
    void AlTardar(std::function<void()> aviso);
    // The session's settings, sent again by an engine that opens a lost connection anew.
    void Ajustes(QStringList sentencias);
    // Round trips to the database so far.
    long Viajes() const;

    // Why a statement of a batch in a transaction did not run.
    static QString NoSeEjecuto();

protected:
    // Each statement in turn; inside a transaction the first failure ends the batch.
    void UnoAUno(const std::vector<Orden>& lote, const std::function<kt508::Recordset(const Orden&)>& corre,
                 const Entrega& entrega) const;
    std::vector<kt508::Resultado> UnoAUno(const std::vector<Orden>& lote,
                                          const std::function<kt508::Recordset(const Orden&)>& corre) const;

    std::function<void()> m_alTardar;
    QStringList m_ajustes;
    bool m_enTransaccion = false;
    long m_viajes = 0;
};

} // namespace orbanel::ado
