#pragma once

#include <QString>

namespace kt508 {
class Connection;
class IDatos;
class IUtilerias;
} // namespace kt508

namespace Publico {

// The suite's data and utility services as the shell's Main created them, handed to every window
// and routine that uses them. Whoever holds them outlives every window it hands them to.
struct Servicios {
    kt508::IDatos* Datos = nullptr;
    kt508::IUtilerias* Utilerias = nullptr;

    kt508::Connection& Conexion() const; // Datos.Conexion: always the same connection
    QString Operador() const;            // Datos.Usuario
    QString FechaHoraServidor() const;   // the server's time, as the database takes it
};

// The audit stamp of a change: the operator and the server's time, as read for it.
struct Sello {
    QString operador;
    QString fecha;
};

} // namespace Publico
