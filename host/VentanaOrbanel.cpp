#include "host/VentanaOrbanel.h"

#include "host/DialogoInforme.h"
#include "host/DialogoVerificacion.h"
#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/catalogo/Importacion.h"
#include "suite/extras/ServicioExtras.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/ServicioDatos.h"
#include "suite/services/ServicioUtilerias.h"
#include "suite/services/Sesion.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenuBar>
#include <QProgressDialog>
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
    QAction* importar = archivo->addAction(QStringLiteral("&Importar catálogo…"));
    importar->setObjectName(QStringLiteral("accionImportar"));
    connect(importar, &QAction::triggered, this, &VentanaOrbanel::Importar_Click);
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
    orbanel::ServicioExtras().ExportaCatalogo(this);
}

// The progress can be cancelled, which rolls the whole import back; the report comes once the
// transaction is closed.
void VentanaOrbanel::Importar_Click()
{
    const QString archivo = ArchivoDeImportacion();
    if (archivo.isEmpty())
        return;
    const QString titulo = QStringLiteral("Importar catálogo");
    QString informe;
    try {
        orbanel::ServicioDatos datos;
        orbanel::ServicioUtilerias utilerias;
        QProgressDialog progreso(QStringLiteral("Revisando %1…").arg(QDir::toNativeSeparators(archivo)),
                                 QStringLiteral("Cancelar"), 0, 0, this);
        progreso.setObjectName(QStringLiteral("progresoImportacion"));
        progreso.setWindowTitle(titulo);
        progreso.setWindowModality(Qt::WindowModal);
        progreso.setMinimumDuration(0);
        const auto avance = [&progreso](int hechos, int total) {
            progreso.setLabelText(QStringLiteral("Importando centros de costos: %1 de %2.").arg(hechos).arg(total));
            progreso.setMaximum(total);
            progreso.setValue(hechos);
            return !progreso.wasCanceled();
        };
        progreso.setValue(0);
        const orbanel::catalogo::Importacion importacion =
            orbanel::catalogo::Importa(archivo, datos, utilerias, orbanel::catalogo::Modo::Importar, avance);
        informe = importacion.Texto();
        if (importacion.Escrita())
            informe += QStringLiteral("\n\nPulse F5 en el árbol para ver el catálogo actualizado.");
    } catch (const kt508::Error& e) {
        orbanel::DialogoMensaje::Muestra(QStringLiteral("No se importó nada.\n\n%1").arg(e.Description()), 16, titulo,
                                         this);
        return;
    }
    DialogoInforme(titulo, informe, this).exec();
}

QString VentanaOrbanel::ArchivoDeImportacion()
{
    QFileDialog dialogo(this, QStringLiteral("Importar catálogo"),
                        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialogo.setObjectName(QStringLiteral("DialogoImportar"));
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    dialogo.setFileMode(QFileDialog::ExistingFile);
    dialogo.setNameFilters({QStringLiteral("Valores separados por comas (*.csv)")});
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
}
