#include "host/VentanaOrbanel.h"

#include <QAction>
#include <QMenuBar>

#include <utility>

VentanaOrbanel::VentanaOrbanel(QString transaccion)
    : m_transaccion(std::move(transaccion))
{
    setWindowTitle(QStringLiteral("Orbanel"));
    setAttribute(Qt::WA_DeleteOnClose);
    QMenu* archivo = menuBar()->addMenu(QStringLiteral("&Archivo"));
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
    resize(qMax(minimo.width(), 1024), qMax(minimo.height(), 680));
}
