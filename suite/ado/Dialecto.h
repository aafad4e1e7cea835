#pragma once

#include "kt508/services/Sentencia.h"
#include "suite/ado/AdoConnection.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace orbanel::ado {

// What the suite says differently to each database: how a date travels as text, how the
// server's clock is read, how an empty database is recognised and which schema scripts
// build it, how its catalogue is read, how a chain of centres is followed and how a batch
// of statements travels. One dialect per database; the rest of the suite asks, never switches.
class Dialecto {
public:
    virtual ~Dialecto();

    static const Dialecto& De(Dialect dialect);

    virtual QString Nombre() const = 0; // names the schema scripts

    // Date and time texts as the database reads them back.
    virtual QString FormatoFechaHora() const = 0;
    virtual QString FormatoFecha() const = 0;
    QString FechaHora(const QDateTime& momento) const;
    QString Fecha(const QDate& dia) const;

    // An expression of the server's local time to the second, as a date-time column keeps it.
    virtual QString ExpresionAhora() const = 0;
    // One row, one column: the server's local time, to the millisecond where the server says.
    virtual QString ConsultaFechaServidor() const = 0;
    // One row with column Total: 0 while the database has no catalogue table.
    virtual QString ConsultaCatalogoExiste() const = 0;
    // One column: the name of every table and view the database holds, its own catalogues aside,
    // in name order.
    virtual QString ConsultaTablas() const = 0;
    // Two columns: each text column of Centro_Costo and the characters it admits.
    virtual QString ConsultaLargos() const = 0;
    // The centre given as the one value ('?') and its ancestors, one row each with columns Nivel
    // (0 for the centre, 1 its parent...), Clave and Acumula, in that order. The chain stops at
    // the root ("0"), at a parent without a row and before a centre already in it.
    virtual QString ConsultaCadena() const = 0;

    // What a read that locks its rows until the transaction ends says at the lock mark; nothing
    // where the database needs no word (SQLite's write lock is the transaction's).
    virtual QString Bloqueo(kt508::Forma::Bloqueo lugar) const;

    // The statements of a batch as one text that a server runs in one execution, each giving
    // one result; SQLite never needs it.
    virtual QString UneLote(const QStringList& sentencias) const;
    // True when a failed statement undoes every statement of its execution.
    virtual bool LoteTodoONada() const;

    // Qt resources of the scripts that create and drop the schema.
    QString GuionCrea() const;
    QString GuionBorra() const;
};

class DialectoSqlite final : public Dialecto {
public:
    QString Nombre() const override;
    QString FormatoFechaHora() const override;
    QString FormatoFecha() const override;
    QString ExpresionAhora() const override;
    QString ConsultaFechaServidor() const override;
    QString ConsultaCatalogoExiste() const override;
    QString ConsultaTablas() const override;
    QString ConsultaLargos() const override;
    QString ConsultaCadena() const override;
};

class DialectoPostgreSQL final : public Dialecto {
public:
    QString Nombre() const override;
    QString FormatoFechaHora() const override;
    QString FormatoFecha() const override;
    QString ExpresionAhora() const override;
    QString ConsultaFechaServidor() const override;
    QString ConsultaCatalogoExiste() const override;
    QString ConsultaTablas() const override;
    QString ConsultaLargos() const override;
    QString ConsultaCadena() const override;
    QString Bloqueo(kt508::Forma::Bloqueo lugar) const override;
};

// SQL Server reads dates as "yyyyMMdd" whatever its language; a recursive query needs its
// own limit lifted; a batch goes on after a failed statement unless told to stop.
class DialectoSqlServer final : public Dialecto {
public:
    QString Nombre() const override;
    QString FormatoFechaHora() const override;
    QString FormatoFecha() const override;
    QString ExpresionAhora() const override;
    QString ConsultaFechaServidor() const override;
    QString ConsultaCatalogoExiste() const override;
    QString ConsultaTablas() const override;
    QString ConsultaLargos() const override;
    QString ConsultaCadena() const override;
    QString Bloqueo(kt508::Forma::Bloqueo lugar) const override;
    QString UneLote(const QStringList& sentencias) const override;
    bool LoteTodoONada() const override;
};

} // namespace orbanel::ado
