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
    // Shows, read-only, the changes the change log holds for the centre, newest first. Throws
    // kt508::Error when the log cannot be read.
    virtual void MuestraHistorial(const QString& clave, QWidget* ventana) = 0;
};

} // namespace kt508
