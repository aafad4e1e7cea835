#include "suite/controls/VistaArbol.h"

#include "kt508/services/Teclas.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

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
    // A node may be dragged onto another; what the drop means is the window's to decide.
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    // The one column is as wide as its widest row, indentation included, and never narrower than
    // the view: rows indented past the view's width scroll into sight instead of being cut off.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
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

bool VistaArbol::Editando() const
{
    return state() == QAbstractItemView::EditingState;
}

void VistaArbol::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTreeWidget::scrollTo(index, hint);
    // Qt shows a column wider than the view from its start, far from a deep node: the node's branch
    // sign goes to the left edge when it is out of sight or past the middle of the view.
    const int inicio = visualRect(index).left() - indentation();
    if (index.isValid() && (inicio < 0 || inicio > viewport()->width() / 2))
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + inicio);
}

void VistaArbol::updateGeometries()
{
    header()->setMinimumSectionSize(viewport()->width());
    QTreeWidget::updateGeometries();
}

void VistaArbol::mousePressEvent(QMouseEvent* event)
{
    const quint64 generacion = m_generacion;
    QTreeWidget::mousePressEvent(event);
    const bool boton = event->button() == Qt::LeftButton || event->button() == Qt::RightButton;
    if (generacion != m_generacion || !boton)
        return;
    const QPoint punto = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(punto);
    // A press on the branch sign expands or collapses; it is no click on the node. The right button
    // clicks the node too, so that its menu offers what the node allows.
    if (item && visualItemRect(item).contains(punto)) {
        setCurrentItem(item);
        emit nodoPulsado(item);
    }
}

// Only the view's own nodes are dropped on it, not what another widget of the program drags (the
// view already refuses data that carries no node, such as files or text).
bool VistaArbol::Propio(const QDropEvent& event) const
{
    const QObject* origen = event.source();
    return !origen || origen == this;
}

void VistaArbol::dragEnterEvent(QDragEnterEvent* event)
{
    if (!Propio(*event))
        return event->ignore();
    QTreeWidget::dragEnterEvent(event);
}

void VistaArbol::dragMoveEvent(QDragMoveEvent* event)
{
    if (!Propio(*event))
        return event->ignore();
    QTreeWidget::dragMoveEvent(event);
}

void VistaArbol::dropEvent(QDropEvent* event)
{
    if (!Propio(*event))
        return event->ignore();
    QTreeWidgetItem* destino = itemAt(event->position().toPoint());
    QTreeWidgetItem* arrastrado = currentItem();
    // The view moves nothing itself: the node moves when the store has it moved.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (destino && arrastrado && destino != arrastrado)
        emit nodoSoltado(arrastrado, destino);
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
    // The Menu key, and Shift+F10 on keyboards without one.
    const bool menu = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
    if (menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        event->accept();
        emit menuPedido(PuntoDelMenu());
        return;
    }
    QTreeWidgetItem* antes = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* despues = currentItem();
    if (generacion == m_generacion && despues && despues != antes)
        emit nodoPulsado(despues);
}

// The mouse's menu where it was asked for; the keyboard's at the selected node.
void VistaArbol::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    emit menuPedido(event->reason() == QContextMenuEvent::Mouse ? event->globalPos() : PuntoDelMenu());
}

QPoint VistaArbol::PuntoDelMenu() const
{
    const QRect nodo = currentItem() ? visualItemRect(currentItem()) : QRect();
    const QPoint punto = nodo.isValid() && viewport()->rect().intersects(nodo) ? nodo.bottomLeft() : QPoint(0, 0);
    return viewport()->mapToGlobal(punto);
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
