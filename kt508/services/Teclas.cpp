#include "kt508/services/Teclas.h"

#include <QKeyEvent>

#include <unordered_map>

namespace kt508 {

namespace {

int CodigoTeclado(int tecla)
{
    static const std::unordered_map<int, int> codigos = {
        {Qt::Key_Backspace, 8},
        {Qt::Key_Tab, 9},
        {Qt::Key_Backtab, 9},
        {Qt::Key_Clear, 12},
        {Qt::Key_Return, 13},
        {Qt::Key_Enter, 13},
        {Qt::Key_Shift, 16},
        {Qt::Key_Control, 17},
        {Qt::Key_Alt, 18},
        {Qt::Key_Pause, 19},
        {Qt::Key_CapsLock, 20},
        {Qt::Key_Escape, 27},
        {Qt::Key_Space, 32},
        {Qt::Key_PageUp, 33},
        {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},
        {Qt::Key_Home, 36},
        {Qt::Key_Left, 37},
        {Qt::Key_Up, 38},
        {Qt::Key_Right, 39},
        {Qt::Key_Down, 40},
        {Qt::Key_Print, 44},
        {Qt::Key_Insert, 45},
        {Qt::Key_Delete, 46},
        {Qt::Key_Help, 47},
        {Qt::Key_Menu, 93},
        {Qt::Key_NumLock, 144},
        {Qt::Key_ScrollLock, 145},
        {Qt::Key_Semicolon, 186},
        {Qt::Key_Colon, 186},
        {Qt::Key_Equal, 187},
        {Qt::Key_Plus, 187},
        {Qt::Key_Comma, 188},
        {Qt::Key_Less, 188},
        {Qt::Key_Minus, 189},
        {Qt::Key_Underscore, 189},
        {Qt::Key_Period, 190},
        {Qt::Key_Greater, 190},
        {Qt::Key_Slash, 191},
        {Qt::Key_Question, 191},
        {Qt::Key_QuoteLeft, 192},
        {Qt::Key_AsciiTilde, 192},
        {Qt::Key_BracketLeft, 219},
        {Qt::Key_BraceLeft, 219},
        {Qt::Key_Backslash, 220},
        {Qt::Key_Bar, 220},
        {Qt::Key_BracketRight, 221},
        {Qt::Key_BraceRight, 221},
        {Qt::Key_Apostrophe, 222},
        {Qt::Key_QuoteDbl, 222},
    };
    if (tecla >= Qt::Key_A && tecla <= Qt::Key_Z)
        return tecla; // same values as the platform's codes
    if (tecla >= Qt::Key_0 && tecla <= Qt::Key_9)
        return tecla;
    if (tecla >= Qt::Key_F1 && tecla <= Qt::Key_F24)
        return 112 + (tecla - Qt::Key_F1);
    const auto it = codigos.find(tecla);
    return it == codigos.end() ? 0 : it->second;
}

// The numeric keypad has codes of its own.
int CodigoTecladoNumerico(int tecla)
{
    if (tecla >= Qt::Key_0 && tecla <= Qt::Key_9)
        return 96 + (tecla - Qt::Key_0);
    switch (tecla) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110;
    case Qt::Key_Slash: return 111;
    default: return CodigoTeclado(tecla);
    }
}

} // namespace

int CodigoDeTecla(const QKeyEvent& evento)
{
    if (evento.modifiers() & Qt::KeypadModifier)
        return CodigoTecladoNumerico(evento.key());
    return CodigoTeclado(evento.key());
}

int EstadoDeShift(Qt::KeyboardModifiers modificadores)
{
    int estado = 0;
    if (modificadores & Qt::ShiftModifier)
        estado |= 1;
    if (modificadores & Qt::ControlModifier)
        estado |= 2;
    if (modificadores & Qt::AltModifier)
        estado |= 4;
    return estado;
}

int CodigoCaracter(const QKeyEvent& evento)
{
    switch (evento.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    default: break;
    }
    // Ctrl with a letter types the control character of that letter; Alt alone types
    // nothing (Ctrl+Alt is how some keyboards reach their third characters).
    const Qt::KeyboardModifiers mods = evento.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (mods == Qt::ControlModifier && evento.key() >= Qt::Key_A && evento.key() <= Qt::Key_Z)
        return evento.key() - Qt::Key_A + 1;
    if (mods == Qt::AltModifier)
        return 0;
    const QString texto = evento.text();
    if (texto.isEmpty())
        return 0;
    return static_cast<int>(texto.toUcs4().value(0));
}

} // namespace kt508
