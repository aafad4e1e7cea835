#pragma once

#include <QIcon>

// The catalogue's node images, by their index in the image list.
namespace Imagen {
constexpr int Activo = 1; // an active centre, or the root; closed
constexpr int ActivoAbierto = 2;
constexpr int Baja = 3; // a deactivated centre, closed
constexpr int BajaAbierto = 4;
} // namespace Imagen

QIcon IconoCentro(int imagen);
