#include "suite/controls/ArbolVex.h"

#include "suite/controls/Protege.h"
#include "suite/controls/VistaArbol.h"

#include "kt508/services/Error.h"

#include <QLineEdit>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orbanel {

namespace {

// The item and everything under it, parents before children.
QList<QTreeWidgetItem*> Rama(QTreeWidgetItem* item)
{
    QList<QTreeWidgetItem*> rama{item};
    for (qsizetype i = 0; i < rama.size(); ++i)
        for (int hijo = 0; hijo < rama[i]->childCount(); ++hijo)
            rama.append(rama[i]->child(hijo));
    return rama;
}

} // namespace

// --- NodoArbol ---

NodoArbol::NodoArbol(ArbolVex* arbol, const QString& clave, const QString& texto, int imagen, int indice)
    : QTreeWidgetItem(QTreeWidgetItem::UserType)
    , m_arbol(arbol)
    , m_clave(clave)
    , m_texto(texto)
    , m_imagen(imagen)
    , m_indice(indice)
{
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
}

QString NodoArbol::Key() const
{
    return m_clave;
}

QString NodoArbol::Text() const
{
    return m_texto;
}

void NodoArbol::setText(const QString& text)
{
    m_texto = text;
    emitDataChanged();
}

int NodoArbol::Image() const
{
    return m_imagen;
}

void NodoArbol::setImage(int image)
{
    m_imagen = image;
    emitDataChanged();
}

QVariant NodoArbol::Tag() const
{
    return m_tag;
}

void NodoArbol::setTag(const QVariant& tag)
{
    m_tag = tag;
}

int NodoArbol::Index() const
{
    return m_indice;
}

int NodoArbol::Children() const
{
    m_arbol->Asienta();
    return childCount();
}

kt508::Node* NodoArbol::Parent() const
{
    m_arbol->Asienta();
    return static_cast<NodoArbol*>(parent());
}

kt508::Node* NodoArbol::Child() const
{
    m_arbol->Asienta();
    if (childCount() == 0)
        return nullptr;
    auto* primero = static_cast<NodoArbol*>(child(0));
    primero->RecuerdaPosicion(0);
    return primero;
}

kt508::Node* NodoArbol::Next() const
{
    m_arbol->Asienta();
    const QTreeWidgetItem* contenedor = parent() ? parent() : m_arbol->Vista()->invisibleRootItem();
    const int hermanos = contenedor->childCount();
    if (m_posicion < 0 || m_posicion >= hermanos || contenedor->child(m_posicion) != this)
        m_posicion = contenedor->indexOfChild(const_cast<NodoArbol*>(this));
    const int siguiente = m_posicion + 1;
    if (m_posicion < 0 || siguiente >= hermanos)
        return nullptr;
    auto* nodo = static_cast<NodoArbol*>(contenedor->child(siguiente));
    nodo->RecuerdaPosicion(siguiente);
    return nodo;
}

bool NodoArbol::Expanded() const
{
    m_arbol->Asienta();
    return isExpanded();
}

void NodoArbol::setExpanded(bool expanded)
{
    m_arbol->Asienta();
    QTreeWidgetItem::setExpanded(expanded);
}

bool NodoArbol::Selected() const
{
    m_arbol->Asienta();
    return isSelected();
}

void NodoArbol::setSelected(bool selected)
{
    m_arbol->Asienta();
    if (selected) {
        Revela();
        m_arbol->Vista()->setCurrentItem(this);
    } else
        QTreeWidgetItem::setSelected(false);
}

void NodoArbol::EnsureVisible()
{
    m_arbol->Asienta();
    Revela();
}

// A node selected or brought into view has its ancestors expanded, shown or not; each
// expansion raises Expand as the user's would, so the node's image follows.
void NodoArbol::Revela()
{
    for (QTreeWidgetItem* ancestro = parent(); ancestro; ancestro = ancestro->parent())
        ancestro->setExpanded(true);
    m_arbol->Vista()->scrollToItem(this);
}

QVariant NodoArbol::data(int column, int role) const
{
    if (column == 0) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return m_texto;
        case Qt::DecorationRole: {
            const QIcon icono = m_arbol->Icono(m_imagen);
            return icono.isNull() ? QVariant() : QVariant(icono);
        }
        default: break;
        }
    }
    return QTreeWidgetItem::data(column, role);
}

void NodoArbol::setData(int column, int role, const QVariant& value)
{
    if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        setText(value.toString());
        return;
    }
    QTreeWidgetItem::setData(column, role, value);
}

void NodoArbol::RecuerdaPosicion(int posicion) const
{
    m_posicion = posicion;
}

void NodoArbol::Renumera(int indice)
{
    m_indice = indice;
}

// --- ArbolVex ---

ArbolVex::CambioDeCodigo::CambioDeCodigo(ArbolVex& arbol)
    : m_arbol(arbol)
{
    ++m_arbol.m_cambiosDeCodigo;
}

ArbolVex::CambioDeCodigo::~CambioDeCodigo()
{
    --m_arbol.m_cambiosDeCodigo;
}

ArbolVex::ArbolVex(QWidget* parent)
    : kt508::TreeView(parent)
    , m_vista(new VistaArbol(this))
{
    auto* disposicion = new QVBoxLayout(this);
    disposicion->setContentsMargins(0, 0, 0, 0);
    disposicion->addWidget(m_vista);
    setFocusProxy(m_vista);
    setFocusPolicy(Qt::StrongFocus);

    connect(m_vista, &VistaArbol::nodoPulsado, this, &ArbolVex::AlPulsarNodo);
    connect(m_vista, &VistaArbol::teclaAbajo, this, &ArbolVex::AlPulsarTecla);
    connect(m_vista, &VistaArbol::edicionTerminada, this, &ArbolVex::AlTerminarEdicion);
    connect(m_vista, &VistaArbol::nodoSoltado, this, &ArbolVex::AlSoltar);
    connect(m_vista, &VistaArbol::menuPedido, this, &ArbolVex::AlPedirMenu);
    connect(m_vista, &QTreeWidget::itemExpanded, this, &ArbolVex::AlExpandir);
    connect(m_vista, &QTreeWidget::itemCollapsed, this, &ArbolVex::AlContraer);
}

ArbolVex::~ArbolVex()
{
    // The view outlives this part of the object: it must not report to it while it goes.
    disconnect(m_vista, nullptr, this, nullptr);
    // Nodes still waiting for the view belong to no one else.
    for (const auto& pendiente : m_pendientes)
        delete pendiente.second;
}

void ArbolVex::setImageList(kt508::ImageList* images)
{
    m_imagenes = images;
    m_vista->viewport()->update();
}

void ArbolVex::setPathSeparator(const QString& separator)
{
    m_separador = separator;
}

QString ArbolVex::PathSeparator() const
{
    return m_separador;
}

void ArbolVex::setLabelEdit(bool manual)
{
    // Manual: only StartLabelEdit opens the edit; automatic: also a click on the selected node.
    m_vista->setEditTriggers(manual ? QAbstractItemView::NoEditTriggers : QAbstractItemView::SelectedClicked);
}

void ArbolVex::Clear()
{
    m_vista->Vacia();
    for (const auto& pendiente : m_pendientes)
        delete pendiente.second;
    m_pendientes.clear();
    m_porClave.clear();
    m_porIndice.clear();
}

kt508::Node* ArbolVex::Add(const QString& relative, int relationship, const QString& key, const QString& text,
                           int image)
{
    if (relationship < kt508::tvwFirst || relationship > kt508::tvwChild)
        throw kt508::Error(QStringLiteral("Relación no válida al agregar el nodo \"%1\".").arg(key));
    if (!key.isEmpty() && m_porClave.contains(key))
        throw kt508::Error(QStringLiteral("La clave \"%1\" ya existe en el árbol.").arg(key));
    NodoArbol* relativo = nullptr;
    if (!relative.isEmpty()) {
        relativo = m_porClave.value(relative);
        if (!relativo)
            throw kt508::Error(QStringLiteral("No existe en el árbol el nodo \"%1\".").arg(relative));
    }
    auto* nodo = new NodoArbol(this, key, text, image, Count() + 1);
    Coloca(nodo, relativo, relationship);
    m_porIndice.push_back(nodo);
    if (!key.isEmpty())
        m_porClave.insert(key, nodo);
    return nodo;
}

kt508::Node* ArbolVex::Nodes(const QString& key) const
{
    return m_porClave.value(key);
}

kt508::Node* ArbolVex::NodeAt(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return m_porIndice[static_cast<size_t>(index - 1)];
}

int ArbolVex::Count() const
{
    return static_cast<int>(m_porIndice.size());
}

kt508::Node* ArbolVex::SelectedItem() const
{
    QTreeWidgetItem* item = m_vista->currentItem();
    if (!item || !item->isSelected())
        return nullptr;
    return static_cast<NodoArbol*>(item);
}

void ArbolVex::setSelectedItem(kt508::Node* node)
{
    Asienta();
    if (auto* nodo = dynamic_cast<NodoArbol*>(node)) {
        nodo->Revela();
        m_vista->setCurrentItem(nodo);
        return;
    }
    m_vista->clearSelection();
    m_vista->setCurrentItem(nullptr);
}

void ArbolVex::StartLabelEdit()
{
    Asienta();
    auto* nodo = static_cast<NodoArbol*>(SelectedItem());
    if (!nodo)
        return;
    CambioDeCodigo cambio(*this);
    m_vista->setFocus();
    m_vista->editItem(nodo, 0);
}

bool ArbolVex::LabelEditing() const
{
    return m_vista->Editando();
}

NodoArbol* ArbolVex::Existente(const QString& key) const
{
    NodoArbol* nodo = m_porClave.value(key);
    if (!nodo)
        throw kt508::Error(QStringLiteral("No existe en el árbol el nodo \"%1\".").arg(key));
    return nodo;
}

void ArbolVex::Remove(const QString& key)
{
    Asienta();
    NodoArbol* nodo = Existente(key);
    QSet<const NodoArbol*> rama;
    for (QTreeWidgetItem* uno : Rama(nodo)) {
        rama.insert(static_cast<NodoArbol*>(uno));
        m_porClave.remove(static_cast<NodoArbol*>(uno)->Key());
    }
    // The index of a node is its place in the order of addition among those still there.
    m_porIndice.erase(std::remove_if(m_porIndice.begin(), m_porIndice.end(),
                                     [&rama](const NodoArbol* uno) { return rama.contains(uno); }),
                      m_porIndice.end());
    for (size_t i = 0; i < m_porIndice.size(); ++i)
        m_porIndice[i]->Renumera(static_cast<int>(i) + 1);
    const CambioDeCodigo cambio(*this);
    delete nodo;
}

void ArbolVex::Move(const QString& key, const QString& relative, int relationship)
{
    Asienta();
    NodoArbol* nodo = Existente(key);
    NodoArbol* relativo = Existente(relative);
    QList<QTreeWidgetItem*> abiertos = Rama(nodo);
    abiertos.removeIf([](const QTreeWidgetItem* uno) { return !uno->isExpanded(); });
    QTreeWidgetItem* actual = m_vista->currentItem();
    const bool seleccionado = actual && actual->isSelected();
    const CambioDeCodigo cambio(*this);
    QTreeWidgetItem* contenedor = nodo->parent() ? nodo->parent() : m_vista->invisibleRootItem();
    contenedor->takeChild(contenedor->indexOfChild(nodo));
    if (relationship == kt508::tvwChild)
        relativo->addChild(nodo);
    else
        Coloca(nodo, relativo, relationship);
    for (QTreeWidgetItem* abierto : abiertos)
        abierto->setExpanded(true);
    if (actual) {
        m_vista->setCurrentItem(actual);
        actual->setSelected(seleccionado);
    }
}

void ArbolVex::StartLabelEdit(const QString& texto)
{
    QTimer::singleShot(0, this, [this, texto] {
        StartLabelEdit();
        if (auto* campo = qobject_cast<QLineEdit*>(m_vista->indexWidget(m_vista->currentIndex())))
            campo->setText(texto);
    });
}

void ArbolVex::Asienta()
{
    if (m_pendientes.empty())
        return;
    CambioDeCodigo cambio(*this);
    std::vector<std::pair<NodoArbol*, NodoArbol*>> pendientes;
    pendientes.swap(m_pendientes);
    // Consecutive nodes of one parent go in together: one notice to the view each.
    size_t i = 0;
    while (i < pendientes.size()) {
        NodoArbol* padre = pendientes[i].first;
        QList<QTreeWidgetItem*> grupo;
        for (; i < pendientes.size() && pendientes[i].first == padre; ++i)
            grupo.append(pendientes[i].second);
        if (padre)
            padre->addChildren(grupo);
        else
            m_vista->addTopLevelItems(grupo);
    }
}

void ArbolVex::Coloca(NodoArbol* nodo, NodoArbol* relativo, int relacion)
{
    if (!relativo) {
        Anexa(nullptr, nodo);
        return;
    }
    switch (relacion) {
    case kt508::tvwChild: Anexa(relativo, nodo); break;
    case kt508::tvwLast:
        // A node still waiting has no parent yet: place it first.
        if (!relativo->treeWidget() && !relativo->parent())
            Asienta();
        Anexa(static_cast<NodoArbol*>(relativo->parent()), nodo);
        break;
    case kt508::tvwFirst:
        Asienta();
        InsertaJunto(relativo, nodo, -1);
        break;
    case kt508::tvwNext:
        Asienta();
        InsertaJunto(relativo, nodo, 1);
        break;
    default:
        Asienta();
        InsertaJunto(relativo, nodo, 0);
        break;
    }
}

void ArbolVex::Anexa(NodoArbol* padre, NodoArbol* hijo)
{
    if (padre && !padre->treeWidget()) {
        // The parent is not on screen yet: no one to tell.
        padre->addChild(hijo);
        hijo->RecuerdaPosicion(padre->childCount() - 1);
        return;
    }
    m_pendientes.emplace_back(padre, hijo);
    if (!m_asientoProgramado) {
        m_asientoProgramado = true;
        QTimer::singleShot(0, this, [this] {
            m_asientoProgramado = false;
            Asienta();
        });
    }
}

// desplazamiento: -1 first among the siblings, 0 before the relative, 1 after it.
void ArbolVex::InsertaJunto(NodoArbol* relativo, NodoArbol* hijo, int desplazamiento)
{
    CambioDeCodigo cambio(*this);
    QTreeWidgetItem* contenedor = relativo->parent() ? relativo->parent() : m_vista->invisibleRootItem();
    const int posicion = desplazamiento < 0 ? 0 : contenedor->indexOfChild(relativo) + desplazamiento;
    contenedor->insertChild(posicion, hijo);
}

QIcon ArbolVex::Icono(int imagen) const
{
    return m_imagenes ? m_imagenes->Image(imagen) : QIcon();
}

VistaArbol* ArbolVex::Vista() const
{
    return m_vista;
}

void ArbolVex::AlPulsarNodo(QTreeWidgetItem* item)
{
    EmiteProtegido(QStringLiteral("NodeClick"), [&] { emit NodeClick(static_cast<NodoArbol*>(item)); });
}

// A leaf has nothing to open or close: opening every branch at once ("*") reaches the leaves too,
// and their icon must not turn.
void ArbolVex::AlExpandir(QTreeWidgetItem* item)
{
    if (m_cambiosDeCodigo == 0 && item->childCount() > 0)
        EmiteProtegido(QStringLiteral("Expand"), [&] { emit Expand(static_cast<NodoArbol*>(item)); });
}

void ArbolVex::AlContraer(QTreeWidgetItem* item)
{
    if (m_cambiosDeCodigo == 0 && item->childCount() > 0)
        EmiteProtegido(QStringLiteral("Collapse"), [&] { emit Collapse(static_cast<NodoArbol*>(item)); });
}

void ArbolVex::AlPulsarTecla(int& codigo, int shift)
{
    EmiteProtegido(QStringLiteral("KeyDown"), [&] { emit KeyDown(codigo, shift); });
}

void ArbolVex::AlSoltar(QTreeWidgetItem* arrastrado, QTreeWidgetItem* destino)
{
    EmiteProtegido(QStringLiteral("NodeDrop"),
                   [&] { emit NodeDrop(static_cast<NodoArbol*>(arrastrado), static_cast<NodoArbol*>(destino)); });
}

void ArbolVex::AlTerminarEdicion(QTreeWidgetItem* item, bool confirmada, const QString& texto)
{
    auto* nodo = static_cast<NodoArbol*>(item);
    const quint64 generacion = m_vista->Generacion();
    int cancel = 0;
    QString nuevo = confirmada ? texto : QString();
    const bool atendido = EmiteProtegido(QStringLiteral("AfterLabelEdit"), [&] { emit AfterLabelEdit(cancel, nuevo); });
    // A handler that rebuilt the tree has already shown the result.
    if (generacion != m_vista->Generacion())
        return;
    if (atendido && confirmada && cancel == 0)
        nodo->setText(nuevo);
}

void ArbolVex::AlPedirMenu(const QPoint& posicion)
{
    EmiteProtegido(QStringLiteral("ContextMenu"), [&] { emit ContextMenu(posicion); });
}

} // namespace orbanel
