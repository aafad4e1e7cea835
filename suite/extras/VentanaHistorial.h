#pragma once

#include <QDialog>
#include <QString>

namespace orbanel {

// A centre's changes, newest first, read-only: one row a changed field, with its value before
// and after; a change that altered none of the shown fields takes one row of its own.
class VentanaHistorial : public QDialog {
    Q_OBJECT
public:
    VentanaHistorial(const QString& clave, QWidget* ventana);
};

} // namespace orbanel
