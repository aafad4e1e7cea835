#pragma once

#include "kt508/services/Controles.h"

#include <QHash>
#include <QPointer>
#include <QTreeWidgetItem>

#include <utility>
#include <vector>

namespace orbanel {

class ArbolVex;
class VistaArbol;

// One node: the item the view shows and the node the windows hold. Text and image
// live here, not in the item's role table, to keep a large tree lean.
class NodoArbol final : public QTreeWidgetItem, public kt508::Node {
public:
    NodoArbol(ArbolVex* arbol, const QString& clave, const QString& texto, int imagen, int indice);

    QString Key() const override;
    QString Text() const override;
    void setText(const QString& text) override;
    int Image() const override;
    void setImage(int image) override;
    QVariant Tag() const override;
    void setTag(const QVariant& tag) override;
    int Index() const override;
    int Children() const override;
    kt508::Node* Parent() const override;
    kt508::Node* Child() const override;
    kt508::Node* Next() const override;
    bool Expanded() const override;
    void setExpanded(bool expanded) override;
    bool Selected() const override;
    void setSelected(bool selected) override;
    void EnsureVisible() override;

    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant& value) override;

    void RecuerdaPosicion(int posicion) const;
    void Revela();
    void Renumera(int indice);

private:
    ArbolVex* m_arbol;
    QString m_clave;
    QString m_texto;
    QVariant m_tag;
    int m_imagen;
    int m_indice;
    mutable int m_posicion = -1; // place among its siblings, checked before use
};

// Tree view with keyed nodes. Nodes added under a node already on screen wait in a
// queue and are attached in one step, so a whole catalogue loads without the view
// hearing of each node.
class ArbolVex : public kt508::TreeView {
    Q_OBJECT
public:
    explicit ArbolVex(QWidget* parent = nullptr);
    ~ArbolVex() override;

    void setImageList(kt508::ImageList* images) override;
    void setPathSeparator(const QString& separator) override;
    void setLabelEdit(bool manual) override;

    void Clear() override;
    kt508::Node* Add(const QString& relative, int relationship, const QString& key, const QString& text,
                     int image) override;
    kt508::Node* Nodes(const QString& key) const override;
    kt508::Node* NodeAt(int index) const override;
    int Count() const override;
    kt508::Node* SelectedItem() const override;
    void setSelectedItem(kt508::Node* node) override;
    void StartLabelEdit() override;
    bool LabelEditing() const override;
    void Remove(const QString& key) override;
    void Move(const QString& key, const QString& relative, int relationship) override;
    void StartLabelEdit(const QString& texto) override;

    QString PathSeparator() const;

private:
    friend class NodoArbol;

    // Nodes being attached to the view raise no Expand or Collapse; every other expansion,
    // the user's or the code's, does.
    class CambioDeCodigo {
    public:
        explicit CambioDeCodigo(ArbolVex& arbol);
        ~CambioDeCodigo();

    private:
        ArbolVex& m_arbol;
    };

    void Asienta();
    void Coloca(NodoArbol* nodo, NodoArbol* relativo, int relacion);
    void Anexa(NodoArbol* padre, NodoArbol* hijo);
    void InsertaJunto(NodoArbol* relativo, NodoArbol* hijo, int desplazamiento);
    NodoArbol* Existente(const QString& key) const;
    QIcon Icono(int imagen) const;
    VistaArbol* Vista() const;

    void AlPulsarNodo(QTreeWidgetItem* item);
    void AlExpandir(QTreeWidgetItem* item);
    void AlContraer(QTreeWidgetItem* item);
    void AlPulsarTecla(int& codigo, int shift);
    void AlTerminarEdicion(QTreeWidgetItem* item, bool confirmada, const QString& texto);
    void AlSoltar(QTreeWidgetItem* arrastrado, QTreeWidgetItem* destino);
    void AlPedirMenu(const QPoint& posicion);

    VistaArbol* m_vista;
    QPointer<kt508::ImageList> m_imagenes;
    QHash<QString, NodoArbol*> m_porClave;
    std::vector<NodoArbol*> m_porIndice;
    std::vector<std::pair<NodoArbol*, NodoArbol*>> m_pendientes; // (parent or none, node)
    bool m_asientoProgramado = false;
    int m_cambiosDeCodigo = 0;
    QString m_separador = QStringLiteral("\\");
};

} // namespace orbanel
