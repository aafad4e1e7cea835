#include "suite/extras/ServicioExtras.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/catalogo/Exportacion.h"
#include "suite/extras/VentanaHistorial.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/Sesion.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace orbanel {

void ServicioExtras::ExportaCatalogo(QWidget* ventana)
{
    const QString archivo = ArchivoDeExportacion(ventana);
    if (archivo.isEmpty())
        return;
    const QString titulo = QStringLiteral("Exportar catálogo");
    try {
        const int centros = catalogo::Exporta(Sesion::Conexion(), archivo);
        DialogoMensaje::Muestra(QStringLiteral("Se exportaron %1 centros de costos a %2.")
                                    .arg(centros)
                                    .arg(QDir::toNativeSeparators(archivo)),
                                64, titulo, ventana);
    } catch (const kt508::Error& e) {
        DialogoMensaje::Muestra(e.Description(), 16, titulo, ventana);
    }
}

void ServicioExtras::MuestraHistorial(const QString& clave, QWidget* ventana)
{
    VentanaHistorial historial(clave, ventana);
    historial.exec();
}

QString ArchivoDeExportacion(QWidget* ventana)
{
    const QString xlsx = QStringLiteral("Libro de Excel (*.xlsx)");
    const QString csv = QStringLiteral("Valores separados por comas (*.csv)");
    QFileDialog dialogo(ventana, QStringLiteral("Exportar catálogo"),
                        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialogo.setObjectName(QStringLiteral("DialogoExportar"));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setNameFilters({xlsx, csv});
    dialogo.setDefaultSuffix(QStringLiteral("xlsx"));
    dialogo.selectFile(QStringLiteral("Centros de costos.xlsx"));
    QObject::connect(&dialogo, &QFileDialog::filterSelected, &dialogo, [&dialogo, csv](const QString& filtro) {
        dialogo.setDefaultSuffix(filtro == csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    });
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
}

} // namespace orbanel
