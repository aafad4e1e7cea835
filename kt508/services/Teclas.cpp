#include "kt508/services/Teclas.h"

#include <QKeyEvent>

namespace kt508 {

int CodigoDeTecla(const QKeyEvent& evento)
{
    const int key = evento.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 65 + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 48 + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int EstadoDeShift(Qt::KeyboardModifiers modificadores)
{
    int estado = 0;
    if (modificadores & Qt::ShiftModifier)
        estado |= vbShiftMask;
    if (modificadores & Qt::ControlModifier)
        estado |= vbCtrlMask;
    if (modificadores & Qt::AltModifier)
        estado |= vbAltMask;
    return estado;
}

} // namespace kt508
