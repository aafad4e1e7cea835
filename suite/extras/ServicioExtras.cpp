#include "suite/extras/ServicioExtras.h"

#include "kt508/services/Error.h"
#include "kt508/services/Recordset.h"
#include "suite/ado/AdoConnection.h"
#include "suite/catalogo/Exportacion.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/Sesion.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

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

// Read before the window shows: a log that cannot be read throws, and no window appears.
VentanaHistorial::VentanaHistorial(const QString& clave, QWidget* ventana)
    : QDialog(ventana)
{
    setObjectName(QStringLiteral("VentanaHistorial"));
    setWindowTitle(QStringLiteral("Historial del centro de costos %1").arg(clave));
    auto* tabla = new QTableWidget(0, 3, this);
    tabla->setObjectName(QStringLiteral("tablaHistorial"));
    tabla->setHorizontalHeaderLabels({QStringLiteral("Fecha"), QStringLiteral("Operador"), QStringLiteral("Cambio")});
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->verticalHeader()->hide();
    tabla->horizontalHeader()->setStretchLastSection(true);
    kt508::Recordset rs = Sesion::Conexion().ExecuteParams(
        QStringLiteral("SELECT Bc_Fecha, Bc_Operador, Bc_Detalle FROM Bitacora_Cambios "
                       "WHERE UPPER(Bc_Tabla) = 'CENTRO_COSTO' AND Bc_Clave = ? ORDER BY Bc_Fecha DESC, Bc_Id DESC"),
        {clave});
    for (; !rs.Eof(); rs.MoveNext()) {
        const int fila = tabla->rowCount();
        tabla->insertRow(fila);
        for (int columna = 0; columna < 3; ++columna)
            tabla->setItem(fila, columna, new QTableWidgetItem(rs.Value(columna).toString()));
    }
    tabla->resizeColumnsToContents();
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* disposicion = new QVBoxLayout(this);
    disposicion->addWidget(tabla);
    disposicion->addWidget(botones);
    resize(640, 360);
}

} // namespace orbanel
