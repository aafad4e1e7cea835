#pragma once

#include <QString>
#include <Qt>

#include <functional>

class QMenu;
class QWidget;

// Driving windows as a user would, offscreen.
namespace pruebas {

// Runs the action on the next modal window to appear (from inside its exec()).
// If none appears within the time, the action runs with nullptr.
void EnModal(const std::function<void(QWidget* modal)>& accion, int milisegundos = 5000);
// The same on the next modal window other than the one already open: a dialog that is still
// being built lets the timers run before it shows.
void EnOtraModal(QWidget* abierta, const std::function<void(QWidget* modal)>& accion);

// Runs the action on the next popup menu to open (from inside its exec()), nullptr when none
// opens within the time. A menu the action leaves open is closed.
void EnMenu(const std::function<void(QMenu* menu)>& accion, int milisegundos = 5000);

// Press and release of a key as the keyboard delivers it: to the active window, which hands
// it to its focus widget.
void Tecla(QWidget* ventana, Qt::Key tecla, Qt::KeyboardModifiers modificadores = Qt::NoModifier);

// Types the text into the window's focus widget (or the widget itself), a key a character: one
// outside ASCII (an accented letter, an emoji) arrives as its text, with no key code.
void Escribe(QWidget* ventana, const QString& texto);

} // namespace pruebas
