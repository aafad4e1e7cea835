#pragma once

#include "kt508/services/Extras.h"

#include <QString>

namespace orbanel {

// The suite's extras on the session's connection: the host's Archivo menu and the catalogue's
// tree menu go through the same dialogs.
class ServicioExtras : public kt508::IExtras {
public:
    void ExportaCatalogo(QWidget* ventana) override;
    void MuestraHistorial(const QString& clave, QWidget* ventana) override;
};

// The file the user names for the export, "" when cancelled. The extension picks the format;
// a name typed without one takes the chosen filter's.
QString ArchivoDeExportacion(QWidget* ventana);

} // namespace orbanel
