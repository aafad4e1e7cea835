#include "suite/controls/VistaArbol.h"

#include "kt508/services/Teclas.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace orbanel {

VistaArbol::VistaArbol(QWidget* parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setAnimated(false);
}

void VistaArbol::Vacia()
{
    ++m_generacion;
    m_editado = nullptr;
    m_confirmada = false;
    clear();
}

quint64 VistaArbol::Generacion() const
{
    return m_generacion;
}

void VistaArbol::mousePressEvent(QMouseEvent* event)
{
    const quint64 generacion = m_generacion;
    QTreeWidget::mousePressEvent(event);
    if (generacion != m_generacion || event->button() != Qt::LeftButton)
        return;
    const QPoint punto = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(punto);
    // A press on the branch sign expands or collapses; it is no click on the node.
    if (item && visualItemRect(item).contains(punto))
        emit nodoPulsado(item);
}

void VistaArbol::keyPressEvent(QKeyEvent* event)
{
    const quint64 generacion = m_generacion;
    int codigo = kt508::CodigoDeTecla(*event);
    if (codigo != 0) {
        emit teclaAbajo(codigo, kt508::EstadoDeShift(event->modifiers()));
        if (codigo == 0) {
            event->accept();
            return;
        }
    }
    if (generacion != m_generacion) {
        // The handler rebuilt the tree: the key still reaches the new one.
        QTreeWidget::keyPressEvent(event);
        return;
    }
    QTreeWidgetItem* antes = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* despues = currentItem();
    if (generacion == m_generacion && despues && despues != antes)
        emit nodoPulsado(despues);
}

bool VistaArbol::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool abierto = QTreeWidget::edit(index, trigger, event);
    if (abierto && state() == EditingState) {
        m_editado = itemFromIndex(index);
        m_confirmada = false;
        m_texto.clear();
    }
    return abierto;
}

void VistaArbol::commitData(QWidget* editor)
{
    // The node's text changes only as AfterLabelEdit decides, not through the model.
    if (auto* campo = qobject_cast<QLineEdit*>(editor)) {
        m_confirmada = true;
        m_texto = campo->text();
    }
}

void VistaArbol::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Tab ends the edit; it does not move on to edit the next node.
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
        hint = QAbstractItemDelegate::NoHint;
    QTreeWidgetItem* item = m_editado;
    const bool confirmada = m_confirmada;
    const QString texto = m_texto;
    m_editado = nullptr;
    m_confirmada = false;
    m_texto.clear();
    QTreeWidget::closeEditor(editor, hint);
    if (item)
        emit edicionTerminada(item, confirmada, texto);
}

} // namespace orbanel
