#pragma once

#include <Qt>

class QKeyEvent;

namespace orbanel {

// Key codes as the suite's windows know them: the platform's virtual key codes
// (A-Z 65-90, 0-9 48-57, F1-F12 112-123, Enter 13, Escape 27, Tab 9 ...).
// 0 when the key has no code.
int CodigoTecla(const QKeyEvent& evento);

// Shift state of the key events: 1 Shift + 2 Ctrl + 4 Alt.
int EstadoShift(Qt::KeyboardModifiers modificadores);

// Character code of a typed key (13 for Enter, 27 for Escape, 8 for Backspace);
// 0 when the key types no character.
int CodigoCaracter(const QKeyEvent& evento);

} // namespace orbanel
