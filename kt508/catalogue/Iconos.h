#pragma once

#include <QIcon>

// The catalogue's node images, by index of the image list: 1 active closed, 2 active
// open, 3 deactivated closed, 4 deactivated open.
QIcon IconoCentro(int imagen);
