#include "suite/controls/ListaConsulta.h"

#include "suite/ado/AdoConnection.h"
#include "suite/controls/Consultas.h"
#include "suite/services/Sesion.h"

#include "kt508/services/Error.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orbanel {

ListaConsulta::ListaConsulta(const QString& idconsulta, QWidget* parent, const QString& actual,
                             const QStringList& excluidos)
    : QDialog(parent)
    , m_filtro(new QLineEdit(this))
    , m_lista(new QTreeWidget(this))
    , m_aviso(new QLabel(this))
{
    setObjectName(QStringLiteral("ListaConsulta"));
    setWindowTitle(TituloDeLista(idconsulta));
    resize(460, 360);

    m_filtro->setObjectName(QStringLiteral("txtFiltro"));
    m_filtro->setPlaceholderText(QStringLiteral("Filtrar por clave o descripción"));
    m_filtro->setToolTip(QStringLiteral("Escriba parte de la clave o de la descripción"));
    m_filtro->installEventFilter(this);

    m_lista->setObjectName(QStringLiteral("lstConsulta"));
    m_lista->setColumnCount(2);
    m_lista->setHeaderLabels({QStringLiteral("Clave"), QStringLiteral("Descripción")});
    m_lista->setRootIsDecorated(false);
    m_lista->setUniformRowHeights(true);
    m_lista->setAllColumnsShowFocus(true);
    m_lista->header()->setStretchLastSection(true);

    m_aviso->setWordWrap(true);
    m_aviso->hide();

    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));

    auto* disposicion = new QVBoxLayout(this);
    disposicion->addWidget(m_filtro);
    disposicion->addWidget(m_lista);
    disposicion->addWidget(m_aviso);
    disposicion->addWidget(botones);

    connect(botones, &QDialogButtonBox::accepted, this, &ListaConsulta::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &ListaConsulta::reject);
    connect(m_filtro, &QLineEdit::textChanged, this, &ListaConsulta::Filtra);
    connect(m_lista, &QTreeWidget::itemDoubleClicked, this, &ListaConsulta::accept);

    Carga(idconsulta, actual, excluidos);
    m_filtro->setFocus();
}

QString ListaConsulta::Elegida() const
{
    return m_elegida;
}

void ListaConsulta::Carga(const QString& idconsulta, const QString& actual, const QStringList& excluidos)
{
    try {
        kt508::Recordset rs = Sesion::Conexion().ExecuteParams(SentenciaDeLista(idconsulta), {});
        QList<QTreeWidgetItem*> renglones;
        for (; !rs.Eof(); rs.MoveNext())
            if (!excluidos.contains(rs.Value(0).toString()))
                renglones.append(new QTreeWidgetItem({rs.Value(0).toString(), rs.Value(1).toString()}));
        m_lista->addTopLevelItems(renglones);
        m_lista->resizeColumnToContents(0);
    } catch (const kt508::Error& error) {
        m_aviso->setText(QStringLiteral("No se pudo leer la lista: %1").arg(error.Description()));
        m_aviso->show();
    }
    // Enter at once keeps the value the field holds.
    const QList<QTreeWidgetItem*> encontrados = m_lista->findItems(actual, Qt::MatchExactly, 0);
    m_lista->setCurrentItem(actual.isEmpty() || encontrados.isEmpty() ? PrimeraVisible() : encontrados.first());
}

void ListaConsulta::Filtra(const QString& filtro)
{
    const QString buscado = filtro.trimmed();
    for (int i = 0; i < m_lista->topLevelItemCount(); ++i) {
        QTreeWidgetItem* renglon = m_lista->topLevelItem(i);
        const bool coincide = buscado.isEmpty() || renglon->text(0).contains(buscado, Qt::CaseInsensitive)
            || renglon->text(1).contains(buscado, Qt::CaseInsensitive);
        renglon->setHidden(!coincide);
    }
    QTreeWidgetItem* actual = m_lista->currentItem();
    if (!actual || actual->isHidden())
        m_lista->setCurrentItem(PrimeraVisible());
}

QTreeWidgetItem* ListaConsulta::PrimeraVisible() const
{
    for (int i = 0; i < m_lista->topLevelItemCount(); ++i) {
        if (!m_lista->topLevelItem(i)->isHidden())
            return m_lista->topLevelItem(i);
    }
    return nullptr;
}

void ListaConsulta::accept()
{
    QTreeWidgetItem* actual = m_lista->currentItem();
    if (!actual || actual->isHidden())
        return; // nothing to pick: the list stays open
    m_elegida = actual->text(0);
    QDialog::accept();
}

bool ListaConsulta::eventFilter(QObject* watched, QEvent* event)
{
    // Up and down in the filter box move through the list.
    if (watched == m_filtro && event->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(event);
        switch (tecla->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: QApplication::sendEvent(m_lista, event); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orbanel
