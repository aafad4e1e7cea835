#pragma once

#include <QString>

#include <optional>

// Moving a centre, with its whole branch, under another centre or the root.
namespace Publico {

struct Servicios;

// A centre as the one who asks for the move saw it.
struct CentroVisto {
    QString acumula;
    QString descripcion;
    QString estado;
};

struct Movimiento {
    QString clave;
    QString padre;                         // the parent the centre was seen under
    QString nuevo;                         // the new parent, "0" for the root
    std::optional<CentroVisto> nuevoVisto; // checked when given: changed meanwhile, refused
};

// Moves the centre in one transaction of its own. A refusal (the new parent missing, inside the
// branch, changed meanwhile or deactivated under an active centre; the centre gone or moved
// meanwhile) raises kt508::Error with the Spanish text, after the rollback: nothing is written.
void MueveCentro(const Servicios& servicios, const Movimiento& movimiento);

} // namespace Publico
