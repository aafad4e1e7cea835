#include "suite/consulta/ConsultaRegistro.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/ServicioUtilerias.h"
#include "suite/services/Sesion.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orbanel {

namespace {

QTableWidgetItem* Celda(const QString& texto)
{
    auto* celda = new QTableWidgetItem(texto);
    celda->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return celda;
}

QTableWidget* TablaDeCampos(const Campos& campos, QWidget* padre)
{
    auto* tabla = new QTableWidget(static_cast<int>(campos.size()), 2, padre);
    tabla->setObjectName(QStringLiteral("tablaCampos"));
    tabla->setHorizontalHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Valor")});
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Rows are read with the arrows; Tab goes on to Cerrar, as in any other window.
    tabla->setTabKeyNavigation(false);
    tabla->verticalHeader()->hide();
    tabla->horizontalHeader()->setStretchLastSection(true);
    for (int fila = 0; fila < tabla->rowCount(); ++fila) {
        const auto& [nombre, valor] = campos[static_cast<size_t>(fila)];
        tabla->setItem(fila, 0, Celda(nombre));
        QTableWidgetItem* celda = Celda(TextoDeValor(valor));
        if (valor.isNull()) {
            QFont cursiva = celda->font();
            cursiva.setItalic(true);
            celda->setFont(cursiva);
            celda->setForeground(tabla->palette().brush(QPalette::PlaceholderText));
        }
        tabla->setItem(fila, 1, celda);
    }
    tabla->resizeColumnToContents(0);
    return tabla;
}

} // namespace

std::optional<Campos> LeeRegistro(ado::AdoConnection& db, const QString& tabla, const QString& campoClave,
                                  const QString& clave)
{
    const QString sql = QStringLiteral("SELECT * FROM %1 WHERE %2 = ?")
                            .arg(IdentificadorValido(tabla), IdentificadorValido(campoClave));
    kt508::Recordset rs = db.ExecuteParams(sql, {clave});
    if (rs.Eof())
        return std::nullopt;
    Campos campos;
    for (int i = 0; i < rs.FieldCount(); ++i)
        campos.emplace_back(rs.FieldName(i), rs.Value(i));
    rs.Close();
    return campos;
}

QString TextoDeValor(const QVariant& valor)
{
    if (valor.isNull())
        return QStringLiteral("(nulo)");
    switch (valor.typeId()) {
    case QMetaType::QDateTime: return valor.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate: return valor.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    default: return valor.toString();
    }
}

VentanaConsulta::VentanaConsulta(const QString& tabla, const Campos& campos, QWidget* padre)
    : QDialog(padre)
{
    setObjectName(QStringLiteral("VentanaConsulta"));
    setWindowTitle(tabla);
    setModal(true);
    resize(520, 420);

    auto* botones = new QDialogButtonBox(QDialogButtonBox::Close, this);
    botones->button(QDialogButtonBox::Close)->setText(QStringLiteral("Cerrar"));
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* todo = new QVBoxLayout(this);
    todo->addWidget(TablaDeCampos(campos, this));
    todo->addWidget(botones);
}

// The catalogue does not report failures of the consultation: it says so itself.
void ConsultaRegistro::Muestra(const QString& tabla, const QString& campoClave, const QString& clave,
                               const QString& /*opcion1*/, const QString& /*opcion2*/, const QString& /*opcion3*/,
                               const QString& /*opcion4*/)
{
    QWidget* padre = QApplication::activeWindow();
    try {
        const std::optional<Campos> campos = LeeRegistro(Sesion::Conexion(), tabla, campoClave, clave);
        if (!campos) {
            DialogoMensaje::Muestra(
                QStringLiteral("No existe un registro de %1 con %2 igual a «%3».").arg(tabla, campoClave, clave), 48,
                tabla, padre);
            return;
        }
        VentanaConsulta ventana(tabla, *campos, padre);
        ventana.exec();
    } catch (const kt508::Error& e) {
        DialogoMensaje::Muestra(e.Description(), 16, tabla, padre);
    }
}

} // namespace orbanel
