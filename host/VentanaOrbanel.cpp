#include "host/VentanaOrbanel.h"

#include "host/DialogoVerificacion.h"
#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/catalogo/Exportacion.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/Sesion.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenuBar>
#include <QStandardPaths>

#include <utility>

VentanaOrbanel::VentanaOrbanel(QString transaccion)
    : m_transaccion(std::move(transaccion))
{
    setWindowTitle(QStringLiteral("Orbanel"));
    setAttribute(Qt::WA_DeleteOnClose);
    QMenu* archivo = menuBar()->addMenu(QStringLiteral("&Archivo"));
    QAction* verificar = archivo->addAction(QStringLiteral("&Verificar catálogo"));
    verificar->setObjectName(QStringLiteral("accionVerificar"));
    connect(verificar, &QAction::triggered, this, &VentanaOrbanel::Verificar_Click);
    QAction* exportar = archivo->addAction(QStringLiteral("&Exportar catálogo…"));
    exportar->setObjectName(QStringLiteral("accionExportar"));
    connect(exportar, &QAction::triggered, this, &VentanaOrbanel::Exportar_Click);
    archivo->addSeparator();
    QAction* salir = archivo->addAction(QStringLiteral("&Salir"));
    salir->setShortcut(QKeySequence::Quit);
    connect(salir, &QAction::triggered, this, &QWidget::close);
}

QString VentanaOrbanel::Transaccion() const
{
    return m_transaccion;
}

void VentanaOrbanel::Muestra(QWidget* pantalla)
{
    setCentralWidget(pantalla);
    setWindowTitle(QStringLiteral("Orbanel - %1").arg(pantalla->windowTitle()));
    const QSize minimo = pantalla->size();
    // The screen's design size is the least it is shown at: smaller, the fields under the tree went out of sight.
    pantalla->setMinimumSize(minimo);
    resize(qMax(minimo.width(), 1024), qMax(minimo.height(), 680));
}

void VentanaOrbanel::Verificar_Click()
{
    try {
        DialogoVerificacion dialogo(orbanel::Sesion::Conexion(), orbanel::Sesion::Operador(), this);
        dialogo.exec();
    } catch (const kt508::Error& e) {
        orbanel::DialogoMensaje::Muestra(e.Description(), 16, QStringLiteral("Verificar catálogo"), this);
    }
}

void VentanaOrbanel::Exportar_Click()
{
    const QString archivo = ArchivoDeExportacion();
    if (archivo.isEmpty())
        return;
    const QString titulo = QStringLiteral("Exportar catálogo");
    try {
        const int centros = orbanel::catalogo::Exporta(orbanel::Sesion::Conexion(), archivo);
        orbanel::DialogoMensaje::Muestra(QStringLiteral("Se exportaron %1 centros de costos a %2.")
                                             .arg(centros)
                                             .arg(QDir::toNativeSeparators(archivo)),
                                         64, titulo, this);
    } catch (const kt508::Error& e) {
        orbanel::DialogoMensaje::Muestra(e.Description(), 16, titulo, this);
    }
}

// The file's extension picks the format; a name typed without one takes the chosen filter's.
QString VentanaOrbanel::ArchivoDeExportacion()
{
    const QString xlsx = QStringLiteral("Libro de Excel (*.xlsx)");
    const QString csv = QStringLiteral("Valores separados por comas (*.csv)");
    QFileDialog dialogo(this, QStringLiteral("Exportar catálogo"),
                        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialogo.setObjectName(QStringLiteral("DialogoExportar"));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setNameFilters({xlsx, csv});
    dialogo.setDefaultSuffix(QStringLiteral("xlsx"));
    dialogo.selectFile(QStringLiteral("Centros de costos.xlsx"));
    connect(&dialogo, &QFileDialog::filterSelected, &dialogo, [&dialogo, csv](const QString& filtro) {
        dialogo.setDefaultSuffix(filtro == csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    });
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
}
