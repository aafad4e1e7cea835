#pragma once

#include "kt508/services/Recordset.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

namespace kt508 {
class IDatos;
class IUtilerias;
} // namespace kt508

// Module Publico: the state every window shares, and the store routines.
namespace Publico {

extern kt508::IDatos* Datos;
extern kt508::IUtilerias* Utilerias;
extern QString strSQL; // the statement a command is about to send

// The shared catalogue window, created on first use. The catalogue installs this accessor, so
// the editor takes the host object from it (its "sPadre", read by name) without depending on
// the catalogue: the catalogue opens the editor, never the other way round.
extern QObject* (*Catalogo)();

// A SQL text literal: a quote, the value with each single quote doubled, a quote.
// The value reaches the store unchanged; nothing else converts values.
QString Literal(const QString& valor);

// The text without its leading and trailing blanks (spaces only: a tab is kept), as the
// rename and the save clean what the user typed.
QString SinBlancos(const QString& texto);

// Sends a statement on Datos.Conexion with options -1 and returns its rows.
kt508::Recordset Ejecuta(const QString& sql);

// The audit stamp: the server time as the database takes it, and the operator.
QString FechaHoraServidor();
QString Operador();

// Runs a step whose failure is ignored (stretches that skip failing statements).
void IgnoraError(const std::function<void()>& paso);

} // namespace Publico
