// The tree view as the catalogue drives it: keys, order, clicks, keys, label edits.
#include "suite/controls/ArbolVex.h"
#include "suite/controls/ListaImagenes.h"

#include "tests/support/Backends.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <tuple>

using namespace Qt::StringLiterals;

using orbanel::ArbolVex;

namespace {

// The catalogue's shape: root, two centres under it, two under the first.
struct Arbol {
    Arbol()
    {
        for (int i = 0; i < 3; ++i)
            imagenes.Add(QIcon(QPixmap(16, 16)));
        ventana.resize(400, 300);
        arbol = new ArbolVex(&ventana);
        arbol->setGeometry(0, 0, 400, 300);
        arbol->setImageList(&imagenes);
        arbol->setLabelEdit(true);
        Carga();
        ventana.show();
        ventana.activateWindow();
        vista = arbol->findChild<QTreeWidget*>();
        const auto anota = [](QStringList& lista) { return [&lista](kt508::Node* n) { lista.append(n->Key()); }; };
        QObject::connect(arbol, &kt508::TreeView::NodeClick, arbol, anota(clics));
        QObject::connect(arbol, &kt508::TreeView::Expand, arbol, anota(expandidos));
        QObject::connect(arbol, &kt508::TreeView::Collapse, arbol, anota(contraidos));
        QObject::connect(arbol, &kt508::TreeView::KeyDown, arbol, [this](int& codigo, int shift) {
            if (codigo < 16 || codigo > 18) // Shift, Ctrl, Alt by themselves
                teclas.append({codigo, shift});
            codigo = codigo == consumir ? 0 : codigo;
        });
        QObject::connect(arbol, &kt508::TreeView::AfterLabelEdit, arbol, [this](int& cancel, QString& nuevo) {
            ediciones.append(nuevo);
            if (alEditar)
                alEditar(cancel, nuevo);
        });
    }
    ~Arbol() { delete arbol; } // before the lists its handlers write to

    void Carga()
    {
        arbol->Clear();
        arbol->Add(QString(), kt508::tvwFirst, u"N0"_s, u"RAIZ"_s, 1);
        arbol->Add(u"N0"_s, kt508::tvwChild, u"N100"_s, u"100 - Dirección"_s, 1);
        arbol->Add(u"N100"_s, kt508::tvwChild, u"N105"_s, u"105 - Ventas norte"_s, 1);
        arbol->Add(u"N100"_s, kt508::tvwChild, u"N106"_s, u"106 - Ventas sur"_s, 3);
        arbol->Add(u"N0"_s, kt508::tvwChild, u"N200"_s, u"200 - Operaciones"_s, 1);
    }
    kt508::Node* N(const char* clave) const { return arbol->Nodes(QLatin1String(clave)); }
    QTreeWidgetItem* Item(const char* clave) const { return dynamic_cast<QTreeWidgetItem*>(N(clave)); }
    void Pulsa(const char* clave, QPoint desplazamiento = QPoint())
    {
        const QRect rect = vista->visualItemRect(Item(clave));
        QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, rect.center() + desplazamiento);
    }
    // Starts a label edit on the selection, types over the text and ends with the key; true once
    // AfterLabelEdit has been raised.
    bool Edita(const QString& texto, Qt::Key tecla)
    {
        const qsizetype antes = ediciones.size();
        arbol->StartLabelEdit();
        if (!QTest::qWaitFor([this] { return Editor() != nullptr; }))
            return false;
        Editor()->selectAll();
        QTest::keyClicks(Editor(), texto);
        QTest::keyClick(Editor(), tecla);
        return QTest::qWaitFor([&] { return ediciones.size() > antes; });
    }
    // The open label editor (a closed one may linger until deleted).
    QLineEdit* Editor() const
    {
        const auto editores = vista->viewport()->findChildren<QLineEdit*>();
        const auto abierto =
            std::find_if(editores.begin(), editores.end(), [](QLineEdit* e) { return e->isVisible(); });
        return abierto == editores.end() ? nullptr : *abierto;
    }

    QWidget ventana;
    orbanel::ListaImagenes imagenes;
    ArbolVex* arbol = nullptr;
    QTreeWidget* vista = nullptr;
    QStringList clics, expandidos, contraidos, ediciones;
    QList<QPair<int, int>> teclas;
    int consumir = -1;
    std::function<void(int&, QString&)> alEditar;
};

} // namespace

class PruebaArbol : public QObject {
    Q_OBJECT
private slots:
    void clavesOrdenYParentesco();
    void edicionDeEtiqueta();
    void eventosDelUsuario();
};

// Siblings placed around existing nodes, before and after the view took them in; a repeated
// key or an unknown relative is refused with the key named and leaves the tree as it was.
void PruebaArbol::clavesOrdenYParentesco()
{
    Arbol a;
    QCOMPARE(a.N("N105")->Parent(), a.N("N100"));
    QCOMPARE(a.arbol->NodeAt(4)->Key(), u"N106"_s);
    a.arbol->Add(u"N100"_s, kt508::tvwLast, u"N300"_s, u"300"_s, 1);
    QCoreApplication::processEvents();
    a.arbol->Add(u"N200"_s, kt508::tvwFirst, u"N050"_s, u"050"_s, 1);
    a.arbol->Add(u"N300"_s, kt508::tvwPrevious, u"N250"_s, u"250"_s, 1);
    QStringList hijos;
    for (kt508::Node* n = a.N("N0")->Child(); n; n = n->Next())
        hijos.append(n->Key());
    QCOMPARE(hijos, (QStringList{"N050", "N100", "N200", "N250", "N300"}));

    for (const auto& [pariente, clave, nombrada] :
         {std::tuple{"N0", "N105", "N105"}, std::tuple{"N999", "N998", "N999"}}) {
        const QString error = pruebas::errorDe(
            [&] { a.arbol->Add(QLatin1String(pariente), kt508::tvwChild, QLatin1String(clave), u"x"_s, 1); });
        QVERIFY2(error.contains(QLatin1String(nombrada)), qPrintable(error));
    }
    QCOMPARE(a.arbol->Count(), 8);
    QCOMPARE(a.N("N105")->Text(), u"105 - Ventas norte"_s);
}

// Enter: the handler sees the text typed, the node shows what it left; Escape: the handler
// gets "" and the node keeps its text; Cancel non-zero keeps the old text too.
void PruebaArbol::edicionDeEtiqueta()
{
    Arbol a;
    QVERIFY(QTest::qWaitForWindowActive(&a.ventana));
    a.N("N105")->EnsureVisible();
    a.arbol->setSelectedItem(a.N("N105"));
    a.alEditar = [](int&, QString& nuevo) { nuevo = nuevo.toUpper(); };
    QVERIFY(a.Edita(u"105 - Norte"_s, Qt::Key_Return));
    a.alEditar = nullptr;
    QVERIFY(a.Edita(u"zzz"_s, Qt::Key_Escape));
    a.alEditar = [](int& cancel, QString&) { cancel = 1; };
    QVERIFY(a.Edita(u"otro"_s, Qt::Key_Return));
    QCOMPARE(a.ediciones, (QStringList{u"105 - Norte"_s, QString(), u"otro"_s}));
    QCOMPARE(a.Item("N105")->text(0), u"105 - NORTE"_s);

    // The catalogue's handler rebuilds the whole tree during the edit.
    a.alEditar = [&a](int&, QString& nuevo) {
        a.Carga();
        a.N("N105")->setText(u"105 - "_s + nuevo.toUpper());
        a.N("N105")->setSelected(true);
    };
    QVERIFY(a.Edita(u"centro"_s, Qt::Key_Return));
    QCOMPARE(a.arbol->Count(), 5);
    QCOMPARE(a.arbol->SelectedItem(), a.N("N105"));
    QCoreApplication::processEvents();
    QCOMPARE(a.Item("N105")->text(0), u"105 - CENTRO"_s);
}

// Clicks and arrow keys raise NodeClick, selection from code and the branch sign do not; KeyDown
// carries the platform's codes and shift state before the tree moves (0 keeps the key); Expand
// and Collapse come alike from the keys, from code (a node brought into view, as a search or a
// rename does) and from the branch sign.
void PruebaArbol::eventosDelUsuario()
{
    Arbol a;
    QVERIFY(QTest::qWaitForWindowExposed(&a.ventana));
    a.N("N105")->EnsureVisible();
    a.Pulsa("N100");
    a.Pulsa("N105");
    a.Pulsa("N105");
    QTest::keyClick(a.vista, Qt::Key_Down);
    QTest::keyClick(a.vista, Qt::Key_Up);
    a.arbol->setSelectedItem(a.N("N100"));
    QTest::keyClick(a.vista, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(a.vista, Qt::Key_F5, Qt::ShiftModifier);
    QTest::keyClick(a.vista, Qt::Key_F3, Qt::AltModifier);
    QTest::keyClick(a.vista, Qt::Key_Down);
    QCOMPARE(a.teclas, (QList<QPair<int, int>>{{40, 0}, {38, 0}, {66, 2}, {116, 1}, {114, 4}, {40, 0}}));
    QCOMPARE(a.arbol->SelectedItem(), a.N("N105"));
    a.consumir = 40;
    QTest::keyClick(a.vista, Qt::Key_Down);
    QCOMPARE(a.arbol->SelectedItem(), a.N("N105"));

    a.expandidos.clear();
    a.N("N100")->setExpanded(false);
    a.arbol->setSelectedItem(a.N("N100"));
    QTest::keyClick(a.vista, Qt::Key_Right);
    QTest::keyClick(a.vista, Qt::Key_Left);
    a.arbol->setSelectedItem(a.N("N106"));
    QCOMPARE(a.expandidos, (QStringList{u"N100"_s, u"N100"_s}));
    a.Pulsa("N100", QPoint(-(a.vista->visualItemRect(a.Item("N100")).width() / 2 + a.vista->indentation() / 2), 0));
    QCOMPARE(a.contraidos, (QStringList{u"N100"_s, u"N100"_s, u"N100"_s}));
    QCOMPARE(a.clics, (QStringList{"N100", "N105", "N105", "N106", "N105", "N105"}));

    // Every branch opened at once: the leaves have nothing to open.
    a.expandidos.clear();
    a.arbol->setSelectedItem(a.N("N0"));
    QTest::keyClick(a.vista, Qt::Key_Asterisk);
    QCOMPARE(a.expandidos, (QStringList{u"N100"_s}));
}

int EjecutaPruebasArbol(int argc, char** argv)
{
    PruebaArbol prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_arbol.moc"
