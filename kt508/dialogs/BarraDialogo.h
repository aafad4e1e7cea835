#pragma once

#include <QString>

class QWidget;

namespace kt508 {
class Controles;
}

// The toolbar of a small modal dialog: its caption, "Aceptar" and "Cancelar", no menu, window
// list or exit button, and the window moved by dragging it. `ancho` in twips, as the forms give it.
kt508::Controles* BarraDialogo(QWidget* ventana, int ancho, const QString& caption);
