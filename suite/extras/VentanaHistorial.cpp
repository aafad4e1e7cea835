#include "suite/extras/VentanaHistorial.h"

#include "suite/ado/AdoConnection.h"
#include "suite/extras/Historial.h"
#include "suite/services/Sesion.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orbanel {

namespace {

void AgregaFila(QTableWidget& tabla, const QStringList& celdas)
{
    const int fila = tabla.rowCount();
    tabla.insertRow(fila);
    for (int columna = 0; columna < celdas.size(); ++columna)
        tabla.setItem(fila, columna, new QTableWidgetItem(celdas[columna]));
}

} // namespace

// Read before the window shows: a history that cannot be read throws, and no window appears.
VentanaHistorial::VentanaHistorial(const QString& clave, QWidget* ventana)
    : QDialog(ventana)
{
    const QList<historial::Cambio> cambios = historial::Cambios(Sesion::Conexion(), clave);
    setObjectName(QStringLiteral("VentanaHistorial"));
    setWindowTitle(QStringLiteral("Historial del centro de costos %1").arg(clave));
    auto* tabla = new QTableWidget(0, 6, this);
    tabla->setObjectName(QStringLiteral("tablaHistorial"));
    tabla->setHorizontalHeaderLabels({QStringLiteral("Fecha"), QStringLiteral("Operador"), QStringLiteral("Comando"),
                                      QStringLiteral("Campo"), QStringLiteral("Antes"), QStringLiteral("Después")});
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabla->verticalHeader()->hide();
    tabla->horizontalHeader()->setStretchLastSection(true);
    for (const historial::Cambio& cambio : cambios) {
        const QStringList quien{cambio.fecha, cambio.operador, cambio.comando};
        if (cambio.campos.isEmpty())
            AgregaFila(*tabla, quien);
        for (const historial::Diferencia& d : cambio.campos)
            AgregaFila(*tabla, quien + QStringList{d.campo, d.antes, d.despues});
    }
    tabla->resizeColumnsToContents();
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* disposicion = new QVBoxLayout(this);
    disposicion->addWidget(tabla);
    disposicion->addWidget(botones);
    resize(900, 420);
}

} // namespace orbanel
