#pragma once

#include <QString>

class QWidget;

namespace kt508 {

// What the suite offers beside the catalogue's own commands, reached from the tree's menu.
class IExtras {
public:
    virtual ~IExtras();
    // Asks for a file and writes the whole catalogue to it, as the host's Archivo menu does;
    // tells the user the outcome itself.
    virtual void ExportaCatalogo(QWidget* ventana) = 0;
    // Shows, read-only, the centre's changes, newest first: when, who, which command, and each
    // field with its value before and after. Throws kt508::Error when they cannot be read.
    virtual void MuestraHistorial(const QString& clave, QWidget* ventana) = 0;
};

} // namespace kt508
