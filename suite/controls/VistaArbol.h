#pragma once

#include <QTreeWidget>

namespace orbanel {

// The tree widget behind ArbolVex: tells user clicks and key presses apart from
// changes made by code, and reports how a label edit ended.
class VistaArbol : public QTreeWidget {
    Q_OBJECT
public:
    explicit VistaArbol(QWidget* parent = nullptr);

    using QTreeWidget::edit;

    // Removes every item; counts the removals so that an event handler that
    // rebuilds the tree does not leave us holding removed items.
    void Vacia();
    quint64 Generacion() const;
    bool Editando() const;

    // Besides the rows, the columns: a deep node is brought into sight sideways too.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    void nodoPulsado(QTreeWidgetItem* item);
    void teclaAbajo(int& codigo, int shift);
    void edicionTerminada(QTreeWidgetItem* item, bool confirmada, const QString& texto);
    void nodoSoltado(QTreeWidgetItem* arrastrado, QTreeWidgetItem* destino);
    void menuPedido(const QPoint& posicion);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void updateGeometries() override;

private:
    bool Propio(const QDropEvent& event) const;
    QPoint PuntoDelMenu() const;

    quint64 m_generacion = 0;
    QTreeWidgetItem* m_editado = nullptr;
    bool m_confirmada = false;
    QString m_texto;
};

} // namespace orbanel
