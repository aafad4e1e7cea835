#pragma once

#include <QColor>
#include <QDate>
#include <QFont>
#include <QIcon>
#include <QKeySequence>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

namespace kt508 {

// Contracts of the suite's screen controls. The suite supplies the widgets
// (kt508::plataforma()); windows place them with design values and use these members.

// The toolbar's flags enabled1 ... enabled7, by the command each one governs.
namespace Bandera {
constexpr int Editar = 1;
constexpr int Imprimir = 2;
constexpr int Reactivar = 3;
constexpr int Eliminar = 4; // the standard delete button, which the catalogue uses to deactivate
constexpr int Consulta = 5;
constexpr int Nuevo = 6;
constexpr int CamposAdicionales = 7; // the record-bound fields
} // namespace Bandera

// The toolbar's commands, as its events name them.
enum class Mando : int { Nuevo, Editar, Imprimir, Consulta, Reactivar, Eliminar, Salir, B1, B2, B3 };

// Toolbar across the top of every window.
class Controles : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~Controles() override;

    // design values
    virtual void setCaption(const QString& caption) = 0;
    virtual QString caption() const = 0;
    virtual void setTabwidth(const QString& value) = 0;
    virtual void setShowmenupopup(const QString& siNo) = 0;
    virtual void setShowwindowslist(const QString& siNo) = 0;
    virtual void setShowexitbutton(const QString& siNo) = 0;
    virtual void setOpcTable(const QString& table) = 0;
    virtual void setOpcKey(const QString& keyColumn) = 0;
    virtual void setPermitirMover(bool on) = 0;
    virtual void setCaptionbuttonsize(int twips) = 0;

    // extra buttons: an empty caption withdraws the button
    virtual QString b1caption() const = 0;
    virtual void setB1caption(const QString& caption) = 0;
    virtual QString b2caption() const = 0;
    virtual void setB2caption(const QString& caption) = 0;
    virtual QString b3caption() const = 0;
    virtual void setB3caption(const QString& caption) = 0;
    // the key of extra button n (1 to 3): the window knows what its extras do, the toolbar does not
    virtual void setBshortcut(int n, const QKeySequence& tecla) = 0;

    // enabled1 ... enabled7 (Bandera names each); a command whose flag is false cannot be raised
    virtual bool enabledFlag(int n) const = 0;
    virtual void setEnabledFlag(int n, bool on) = 0;
    void setEnabled1(bool on);
    void setEnabled2(bool on);
    void setEnabled3(bool on);
    void setEnabled4(bool on);
    void setEnabled5(bool on);
    void setEnabled6(bool on);
    void setEnabled7(bool on);

    virtual void EndCommand() = 0;
    virtual void LoadFields(const QString& clave) = 0;
    virtual void setText(const QString& text) = 0;
    virtual bool ValidateFields() = 0;
    virtual QString ValidationMessage() const = 0;
    virtual bool SaveFields(const QString& clave) = 0;
    virtual void ActivateWindow(bool value) = 0;

    // Whether the user can raise the command now (its flag, an extra button's caption), and
    // raising it as its button does, EndCommand included; false when it is not offered.
    virtual bool Ofrece(Mando mando) const = 0;
    virtual bool Lanza(Mando mando) = 0;
    // The key that raises the command anywhere in the window; empty when it has none.
    virtual QKeySequence Tecla(Mando mando) const = 0;

signals:
    void Nuevo();
    void Editar();
    void Imprimir();
    void Consulta();
    void Reactivar();
    void Eliminar();
    void Salir();
    void B1Click();
    void B2Click();
    void B3Click();
};

// Text field: key events carry the key code (by reference: 0 consumes it) and the shift state.
class txtVEX : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~txtVEX() override;

    virtual QString Text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setLocked(bool locked) = 0;
    // In characters as the databases count them; a text put in by code is never cut.
    virtual void setMaxlength(int length) = 0;
    virtual void setAlignment(int alignment) = 0; // 0 left, 1 right, 2 centre
    virtual void setEnabledcolor(const QColor& color) = 0;
    virtual void setTabonenter(bool on) = 0;
    virtual void setTabonentervacio(bool on) = 0;
    virtual void setMayusculas(bool on) = 0;
    virtual void setEsclave(bool on) = 0;
    virtual void setFormato(int formato) = 0;
    virtual void setTipodato(int tipodato) = 0;
    virtual void setSubrayar(bool on) = 0;
    virtual void setIdconsulta(const QString& id) = 0;
    virtual void setExcluidos(const QStringList& claves) = 0; // keys the look-up list leaves out
    virtual void setSql(const QString& sql) = 0;
    virtual void setSqlControlResultado(const QString& controlName) = 0;
    virtual void setMask(const QVariant& mask) = 0;
    // The number written in the field as an exact kt508::Decimal (zero when empty); null when
    // the text is no number.
    virtual QVariant NumericValue() const = 0;
    // Whether Tab stops at the field (display-only fields are skipped).
    virtual void setTabStop(bool on) = 0;

signals:
    void KeyDown(int& KeyCode, int Shift);
    void KeyUp(int& KeyCode, int Shift);
    void KeyPress(int& KeyAscii);
    void Change();
};

// Label.
class Etiqueta : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~Etiqueta() override;

    virtual void setCaption(const QString& caption) = 0;
    virtual QString caption() const = 0;
    virtual void setIdetiqueta(const QString& id) = 0;
    virtual void setAlignment(int alignment) = 0; // 0 left, 1 right, 2 centre
    virtual void setBackcolor(const QColor& color) = 0;
    virtual void setForecolor(const QColor& color) = 0;
    virtual void setFontbold(bool bold) = 0;
};

// Date picker.
class dpFecha : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~dpFecha() override;

    virtual QDate Value() const = 0;
    virtual void setValue(const QDate& value) = 0;
};

// Tab strip: the windows put their frames on its pages.
class ssTbVex : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~ssTbVex() override;

    virtual void setTabcount(int count) = 0;
    virtual void setTabCaption(int tab, const QString& caption) = 0;
    virtual QWidget* Page(int tab) = 0;
    virtual int Tab() const = 0;
    virtual void setTab(int tab) = 0;

signals:
    void Click(int previousTab);
    void KeyPress(int& KeyAscii);
};

// The suite's colour scheme, invisible; ApplyScheme colours the window it sits on.
class colorVEX : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~colorVEX() override;

    virtual void ApplyScheme() = 0;
    virtual QColor backcolor() const = 0;
};

// One node of a tree view.
class Node {
public:
    virtual ~Node();

    virtual QString Key() const = 0;
    virtual QString Text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual int Image() const = 0;
    virtual void setImage(int image) = 0;
    virtual QVariant Tag() const = 0;
    virtual void setTag(const QVariant& tag) = 0;
    virtual int Index() const = 0; // 1-based, in order of addition
    virtual int Children() const = 0;
    virtual Node* Parent() const = 0;
    virtual Node* Child() const = 0; // first child
    virtual Node* Next() const = 0;  // next sibling
    virtual bool Expanded() const = 0;
    virtual void setExpanded(bool expanded) = 0;
    virtual bool Selected() const = 0;
    virtual void setSelected(bool selected) = 0;
    virtual void EnsureVisible() = 0;
};

// Image list: images addressed by index from 1.
class ImageList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ImageList() override;

    virtual void Add(const QIcon& image) = 0;
    virtual int Count() const = 0;
    virtual QIcon Image(int index) const = 0;
};

enum TreeRelationship : int { tvwFirst = 0, tvwLast = 1, tvwNext = 2, tvwPrevious = 3, tvwChild = 4 };

// Tree view with keyed nodes.
class TreeView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~TreeView() override;

    virtual void setImageList(ImageList* images) = 0;
    virtual void setPathSeparator(const QString& separator) = 0;
    virtual void setLabelEdit(bool manual) = 0;

    virtual void Clear() = 0;
    // Throws when the relative or the key is wrong.
    virtual Node* Add(const QString& relative, int relationship, const QString& key, const QString& text,
                      int image) = 0;
    virtual Node* Nodes(const QString& key) const = 0; // nullptr when absent
    virtual Node* NodeAt(int index) const = 0;         // 1-based, in order of addition
    virtual int Count() const = 0;
    virtual Node* SelectedItem() const = 0;
    virtual void setSelectedItem(Node* node) = 0;
    virtual void StartLabelEdit() = 0;
    virtual bool LabelEditing() const = 0; // a label is being edited in place
    // Takes the node out with its whole branch.
    virtual void Remove(const QString& key) = 0;
    // Places the node, with its branch, where Add would place a new one; what was expanded in
    // the branch stays expanded, and the selection stays where it was.
    virtual void Move(const QString& key, const QString& relative, int relationship) = 0;
    // Opens the selected node's edit again with the text given, once the current event is over:
    // a rename the store refused keeps what the user typed.
    virtual void StartLabelEdit(const QString& texto) = 0;

signals:
    void NodeClick(kt508::Node* node);
    void AfterLabelEdit(int& Cancel, QString& NewString);
    void Expand(kt508::Node* node);
    void Collapse(kt508::Node* node);
    void KeyDown(int& KeyCode, int Shift);
    // A node dragged and dropped on another; the tree itself changes nothing.
    void NodeDrop(kt508::Node* node, kt508::Node* target);
    // The right button (on a node, once the node is clicked), the Menu key or Shift+F10 asks for
    // the tree's menu, at that point of the screen.
    void ContextMenu(const QPoint& posicion);
};

} // namespace kt508
