#include "host/VentanaOrbanel.h"

#include "host/DialogoVerificacion.h"
#include "kt508/services/Error.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/Sesion.h"

#include <QAction>
#include <QMenuBar>

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
