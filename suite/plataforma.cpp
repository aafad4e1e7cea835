#include "suite/Plataforma.h"

#include "kt508/services/Plataforma.h"
#include "suite/ado/AdoConnection.h"

#include <QApplication>

namespace orbanel {

void InstalaPlataforma()
{
    kt508::Plataforma& p = kt508::plataforma();
    InstalaServicios(p);
    InstalaControles(p);
    InstalaImpresion(p);
    InstalaConsulta(p);
    InstalaRegistro(p);
    InstalaExtras(p);
    // A statement waiting for an SQLite file another program holds shows the wait cursor.
    ado::AdoConnection::setAvisoDeEspera([](bool esperando) {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return;
        if (esperando)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

} // namespace orbanel
