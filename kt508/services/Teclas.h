#pragma once

#include <Qt>

class QKeyEvent;

namespace kt508 {

// The platform's key codes (A-Z 65-90, 0-9 48-57, F1-F12 112-123, Enter 13, Escape 27,
// Tab 9 ...) and shift state (1 Shift + 2 Ctrl + 4 Alt), as key handlers receive them.
enum CodigoTecla : int {
    vbKeyTab = 9,
    vbKeyReturn = 13,
    vbKeyEscape = 27,
    vbKeyB = 66,
    vbKeyF2 = 113,
    vbKeyF3 = 114,
    vbKeyF4 = 115,
    vbKeyF5 = 116
};
enum EstadoShift : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

int CodigoDeTecla(const QKeyEvent& evento); // 0 when the key has no code
int EstadoDeShift(Qt::KeyboardModifiers modificadores);
// Character code of a typed key (13 Enter, 27 Escape, 8 Backspace); 0 when it types none.
int CodigoCaracter(const QKeyEvent& evento);

} // namespace kt508
