// The tree view as the catalogue drives it: keys, order, clicks, keys, label edits.
#include "suite/controls/ArbolVex.h"
#include "suite/controls/ListaImagenes.h"

#include "kt508/services/Error.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using orbanel::ArbolVex;

namespace {

QIcon Cuadro(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// The catalogue's shape: root, two centres under it, two under the first.
struct Arbol {
    Arbol()
    {
        for (Qt::GlobalColor color : {Qt::green, Qt::darkGreen, Qt::red, Qt::darkRed})
            imagenes.Add(Cuadro(color));
        ventana.resize(400, 300);
        arbol = new ArbolVex(&ventana);
        arbol->setGeometry(0, 0, 400, 300);
        arbol->setImageList(&imagenes);
        arbol->setLabelEdit(true);
        Carga();
        ventana.show();
        ventana.activateWindow();
        vista = arbol->findChild<QTreeWidget*>();
        Conecta();
    }
    ~Arbol() { delete arbol; } // before the lists its handlers write to

    void Carga()
    {
        arbol->Clear();
        arbol->Add(QString(), kt508::tvwFirst, QStringLiteral("N0"), QStringLiteral("RAIZ"), 1);
        arbol->Add(QStringLiteral("N0"), kt508::tvwChild, QStringLiteral("N100"), QStringLiteral("100 - Dirección"), 1);
        arbol->Add(QStringLiteral("N100"), kt508::tvwChild, QStringLiteral("N105"), QStringLiteral("105 - Ventas norte"), 1);
        arbol->Add(QStringLiteral("N100"), kt508::tvwChild, QStringLiteral("N106"), QStringLiteral("106 - Ventas sur"), 3);
        arbol->Add(QStringLiteral("N0"), kt508::tvwChild, QStringLiteral("N200"), QStringLiteral("200 - Operaciones"), 1);
    }
    void Conecta()
    {
        QObject::connect(arbol, &kt508::TreeView::NodeClick, arbol, [this](kt508::Node* n) { clics.append(n->Key()); });
        QObject::connect(arbol, &kt508::TreeView::Expand, arbol, [this](kt508::Node* n) { expandidos.append(n->Key()); });
        QObject::connect(arbol, &kt508::TreeView::Collapse, arbol, [this](kt508::Node* n) { contraidos.append(n->Key()); });
        QObject::connect(arbol, &kt508::TreeView::KeyDown, arbol, [this](int& codigo, int shift) {
            if (codigo < 16 || codigo > 18) // Shift, Ctrl, Alt by themselves
                teclas.append({codigo, shift});
            if (codigo == consumir)
                codigo = 0;
        });
        QObject::connect(arbol, &kt508::TreeView::AfterLabelEdit, arbol, [this](int& cancel, QString& nuevo) {
            ediciones.append(nuevo);
            if (alEditar)
                alEditar(cancel, nuevo);
        });
    }
    kt508::Node* N(const char* clave) const { return arbol->Nodes(QLatin1String(clave)); }
    QTreeWidgetItem* Item(const char* clave) const { return dynamic_cast<QTreeWidgetItem*>(N(clave)); }
    void Pulsa(const char* clave, QPoint desplazamiento = QPoint())
    {
        const QRect rect = vista->visualItemRect(Item(clave));
        QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, rect.center() + desplazamiento);
    }
    // The open label editor (a closed one may linger until deleted).
    QLineEdit* Editor() const
    {
        for (QLineEdit* editor : vista->viewport()->findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
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

QStringList Hijos(kt508::Node* padre)
{
    QStringList claves;
    for (kt508::Node* n = padre->Child(); n; n = n->Next())
        claves.append(n->Key());
    return claves;
}

// The view's own items, depth first.
void Recorre(QTreeWidgetItem* item, QStringList& textos)
{
    textos.append(item->text(0));
    for (int i = 0; i < item->childCount(); ++i)
        Recorre(item->child(i), textos);
}

} // namespace

class PruebaArbol : public QObject {
    Q_OBJECT
private slots:
    void clavesOrdenYParentesco();
    void clavesRepetidasOParienteDesconocido();
    void cargaGrandeLlegaEnteraALaVista();
    void nodeClickSoloDelUsuario();
    void edicionDeEtiqueta();
    void edicionQueReconstruyeElArbol();
    void expandirYContraerDelUsuario();
    void teclasDelArbol();
};

void PruebaArbol::clavesOrdenYParentesco()
{
    Arbol a;
    QCOMPARE(a.arbol->Count(), 5);
    QCOMPARE(a.N("N105")->Parent(), a.N("N100"));
    QCOMPARE(a.N("N0")->Parent(), nullptr);
    QCOMPARE(a.N("N100")->Children(), 2);
    QCOMPARE(Hijos(a.N("N100")), (QStringList{QStringLiteral("N105"), QStringLiteral("N106")}));
    for (int i = 1; i <= a.arbol->Count(); ++i)
        QCOMPARE(a.arbol->NodeAt(i)->Index(), i);
    QCOMPARE(a.arbol->NodeAt(4)->Key(), QStringLiteral("N106"));
    QCOMPARE(a.arbol->NodeAt(0), nullptr);
    QCOMPARE(a.arbol->NodeAt(6), nullptr);
    QCOMPARE(a.arbol->Nodes(QStringLiteral("N999")), nullptr);

    a.N("N0")->setTag(1);
    QCOMPARE(a.N("N0")->Tag(), QVariant(1));
    QCOMPARE(a.N("N100")->Tag(), QVariant());

    // Siblings placed around existing nodes, before and after the view took them in.
    a.arbol->Add(QStringLiteral("N100"), kt508::tvwLast, QStringLiteral("N300"), QStringLiteral("300"), 1);
    QCoreApplication::processEvents();
    a.arbol->Add(QStringLiteral("N200"), kt508::tvwFirst, QStringLiteral("N050"), QStringLiteral("050"), 1);
    a.arbol->Add(QStringLiteral("N100"), kt508::tvwNext, QStringLiteral("N150"), QStringLiteral("150"), 1);
    a.arbol->Add(QStringLiteral("N300"), kt508::tvwPrevious, QStringLiteral("N250"), QStringLiteral("250"), 1);
    QCOMPARE(Hijos(a.N("N0")), (QStringList{"N050", "N100", "N150", "N200", "N250", "N300"}));
    QCOMPARE(a.N("N150")->Index(), 8);
    QCOMPARE(a.N("N250")->Parent(), a.N("N0"));

    // Images come from the image list, by index from 1.
    a.N("N106")->setImage(4);
    QCOMPARE(a.N("N106")->Image(), 4);
    const QIcon icono = a.Item("N106")->data(0, Qt::DecorationRole).value<QIcon>();
    QCOMPARE(icono.cacheKey(), a.imagenes.Image(4).cacheKey());

    a.arbol->Clear();
    QCOMPARE(a.arbol->Count(), 0);
    QCOMPARE(a.arbol->Nodes(QStringLiteral("N0")), nullptr);
    QCOMPARE(a.arbol->NodeAt(1), nullptr);
    QCOMPARE(a.vista->topLevelItemCount(), 0);
}

void PruebaArbol::clavesRepetidasOParienteDesconocido()
{
    Arbol a;
    try {
        a.arbol->Add(QStringLiteral("N0"), kt508::tvwChild, QStringLiteral("N105"), QStringLiteral("otra"), 1);
        QFAIL("una clave repetida fue aceptada");
    } catch (const kt508::Error& error) {
        QVERIFY2(error.Description().contains(QStringLiteral("N105")), qPrintable(error.Description()));
    }
    try {
        a.arbol->Add(QStringLiteral("N999"), kt508::tvwChild, QStringLiteral("N998"), QStringLiteral("huérfano"), 1);
        QFAIL("un pariente desconocido fue aceptado");
    } catch (const kt508::Error& error) {
        QVERIFY2(error.Description().contains(QStringLiteral("N999")), qPrintable(error.Description()));
    }
    QCOMPARE(a.arbol->Count(), 5);
    QCOMPARE(a.arbol->Nodes(QStringLiteral("N998")), nullptr);
    QCOMPARE(a.N("N105")->Text(), QStringLiteral("105 - Ventas norte"));
    // The failed additions leave the numbering alone.
    a.arbol->Add(QStringLiteral("N0"), kt508::tvwChild, QStringLiteral("N400"), QStringLiteral("400"), 1);
    QCOMPARE(a.N("N400")->Index(), 6);
}

// A catalogue loaded in one go, then nodes added under nodes already on screen.
void PruebaArbol::cargaGrandeLlegaEnteraALaVista()
{
    Arbol a;
    a.arbol->Clear();
    a.arbol->Add(QString(), kt508::tvwFirst, QStringLiteral("N0"), QStringLiteral("RAIZ"), 1);
    int siguiente = 1;
    std::function<void(const QString&, int)> agrega = [&](const QString& padre, int nivel) {
        for (int i = 0; i < 12 && nivel < 3; ++i) {
            const QString clave = QStringLiteral("N%1").arg(siguiente++);
            a.arbol->Add(padre, kt508::tvwChild, clave, clave.mid(1), 1);
            agrega(clave, nivel + 1);
        }
    };
    agrega(QStringLiteral("N0"), 0);
    const int total = a.arbol->Count();
    QCOMPARE(total, 1 + 12 + 144 + 1728);

    QCoreApplication::processEvents();
    QStringList enVista;
    QCOMPARE(a.vista->topLevelItemCount(), 1);
    Recorre(a.vista->topLevelItem(0), enVista);
    QCOMPARE(enVista.size(), total);
    for (int i = 1; i <= total; ++i)
        QCOMPARE(enVista.at(i - 1), a.arbol->NodeAt(i)->Text());

    // Nodes added under the root on screen: the node API sees them at once, the view after.
    a.arbol->Add(QStringLiteral("N0"), kt508::tvwChild, QStringLiteral("NX1"), QStringLiteral("X1"), 1);
    a.arbol->Add(QStringLiteral("NX1"), kt508::tvwChild, QStringLiteral("NX2"), QStringLiteral("X2"), 1);
    a.arbol->Add(QStringLiteral("N0"), kt508::tvwChild, QStringLiteral("NX3"), QStringLiteral("X3"), 1);
    QCOMPARE(Hijos(a.N("N0")).mid(12), (QStringList{QStringLiteral("NX1"), QStringLiteral("NX3")}));
    QCOMPARE(a.N("NX2")->Parent(), a.N("NX1"));
    QCoreApplication::processEvents();
    QCOMPARE(a.vista->topLevelItem(0)->childCount(), 14);
    QCOMPARE(a.vista->topLevelItem(0)->child(12)->child(0)->text(0), QStringLiteral("X2"));
}

// Clicks and arrow keys raise NodeClick; selection from code does not.
void PruebaArbol::nodeClickSoloDelUsuario()
{
    Arbol a;
    QVERIFY(QTest::qWaitForWindowExposed(&a.ventana));
    a.N("N105")->EnsureVisible();
    a.Pulsa("N100");
    a.Pulsa("N105");
    a.Pulsa("N105");
    QCOMPARE(a.clics, (QStringList{"N100", "N105", "N105"}));
    QCOMPARE(a.arbol->SelectedItem(), a.N("N105"));

    QTest::keyClick(a.vista, Qt::Key_Down);
    QCOMPARE(a.clics.last(), QStringLiteral("N106"));
    QTest::keyClick(a.vista, Qt::Key_Up);
    QCOMPARE(a.clics.last(), QStringLiteral("N105"));
    QCOMPARE(a.clics.size(), 5);

    a.arbol->setSelectedItem(a.N("N200"));
    a.N("N100")->setSelected(true);
    // Selected from code, a node under a collapsed branch is brought into view.
    a.N("N100")->setExpanded(false);
    a.arbol->setSelectedItem(a.N("N106"));
    QVERIFY(a.N("N100")->Expanded());
    QTest::keyClick(a.vista, Qt::Key_Up);
    QCOMPARE(a.clics.last(), QStringLiteral("N105"));
    a.N("N100")->setSelected(true);
    QCOMPARE(a.arbol->SelectedItem(), a.N("N100"));
    QCOMPARE(a.clics.size(), 6);
}

void PruebaArbol::edicionDeEtiqueta()
{
    Arbol a;
    QVERIFY(QTest::qWaitForWindowActive(&a.ventana));
    a.N("N105")->EnsureVisible();
    a.arbol->setSelectedItem(a.N("N105"));

    // Enter: the handler sees the text typed and the node shows what the handler left.
    a.alEditar = [](int&, QString& nuevo) { nuevo = nuevo.toUpper(); };
    a.arbol->StartLabelEdit();
    QTRY_VERIFY(a.Editor());
    QCOMPARE(a.Editor()->text(), QStringLiteral("105 - Ventas norte"));
    a.Editor()->selectAll();
    QTest::keyClicks(a.Editor(), QStringLiteral("105 - Ventas Norte-Sur"));
    QTest::keyClick(a.Editor(), Qt::Key_Return);
    QTRY_COMPARE(a.ediciones.size(), 1);
    QCOMPARE(a.ediciones.at(0), QStringLiteral("105 - Ventas Norte-Sur"));
    QCOMPARE(a.N("N105")->Text(), QStringLiteral("105 - VENTAS NORTE-SUR"));
    QTRY_VERIFY(!a.Editor());

    // Escape: the edit is abandoned, the handler gets "" and the node keeps its text.
    a.alEditar = nullptr;
    a.arbol->StartLabelEdit();
    QTRY_VERIFY(a.Editor());
    QTest::keyClicks(a.Editor(), QStringLiteral("zzz"));
    QTest::keyClick(a.Editor(), Qt::Key_Escape);
    QTRY_COMPARE(a.ediciones.size(), 2);
    QCOMPARE(a.ediciones.at(1), QString());
    QCOMPARE(a.N("N105")->Text(), QStringLiteral("105 - VENTAS NORTE-SUR"));

    // Cancel non-zero: the old text stays.
    a.alEditar = [](int& cancel, QString&) { cancel = 1; };
    a.arbol->StartLabelEdit();
    QTRY_VERIFY(a.Editor());
    a.Editor()->selectAll();
    QTest::keyClicks(a.Editor(), QStringLiteral("otro"));
    QTest::keyClick(a.Editor(), Qt::Key_Return);
    QTRY_COMPARE(a.ediciones.size(), 3);
    QCOMPARE(a.ediciones.at(2), QStringLiteral("otro"));
    QCOMPARE(a.N("N105")->Text(), QStringLiteral("105 - VENTAS NORTE-SUR"));
    QCOMPARE(dynamic_cast<QTreeWidgetItem*>(a.N("N105"))->text(0), QStringLiteral("105 - VENTAS NORTE-SUR"));

    // Without a selected node there is nothing to edit.
    a.arbol->setSelectedItem(nullptr);
    a.arbol->StartLabelEdit();
    QCoreApplication::processEvents();
    QVERIFY(!a.Editor());
}

// The catalogue rebuilds the whole tree inside AfterLabelEdit.
void PruebaArbol::edicionQueReconstruyeElArbol()
{
    Arbol a;
    QVERIFY(QTest::qWaitForWindowActive(&a.ventana));
    a.alEditar = [&a](int&, QString& nuevo) {
        a.Carga();
        a.N("N105")->setText(QStringLiteral("105 - ") + nuevo.toUpper());
        a.N("N105")->EnsureVisible();
        a.N("N105")->setSelected(true);
    };
    a.N("N105")->EnsureVisible();
    a.arbol->setSelectedItem(a.N("N105"));
    a.arbol->StartLabelEdit();
    QTRY_VERIFY(a.Editor());
    a.Editor()->selectAll();
    QTest::keyClicks(a.Editor(), QStringLiteral("centro"));
    QTest::keyClick(a.Editor(), Qt::Key_Return);
    QTRY_COMPARE(a.ediciones.size(), 1);
    QCOMPARE(a.arbol->Count(), 5);
    QCOMPARE(a.N("N105")->Text(), QStringLiteral("105 - CENTRO"));
    QCOMPARE(a.arbol->SelectedItem(), a.N("N105"));
    QCoreApplication::processEvents();
    QStringList enVista;
    Recorre(a.vista->topLevelItem(0), enVista);
    QVERIFY(enVista.contains(QStringLiteral("105 - CENTRO")));
}

void PruebaArbol::expandirYContraerDelUsuario()
{
    Arbol a;
    QVERIFY(QTest::qWaitForWindowExposed(&a.ventana));
    a.N("N0")->setExpanded(true);
    a.N("N105")->EnsureVisible();
    a.N("N100")->setExpanded(false);
    QVERIFY(!a.N("N100")->Expanded());
    QVERIFY(a.expandidos.isEmpty() && a.contraidos.isEmpty());

    a.arbol->setSelectedItem(a.N("N100"));
    QTest::keyClick(a.vista, Qt::Key_Right);
    QCOMPARE(a.expandidos, QStringList{QStringLiteral("N100")});
    QVERIFY(a.N("N100")->Expanded());
    QTest::keyClick(a.vista, Qt::Key_Left);
    QCOMPARE(a.contraidos, QStringList{QStringLiteral("N100")});

    // The branch sign expands without clicking the node.
    a.clics.clear();
    a.Pulsa("N100", QPoint(-(a.vista->visualItemRect(a.Item("N100")).width() / 2 + a.vista->indentation() / 2), 0));
    QCOMPARE(a.expandidos, (QStringList{"N100", "N100"}));
    QVERIFY(a.clics.isEmpty());
}

// KeyDown carries the platform's codes and shift state before the tree moves; 0 keeps the key.
void PruebaArbol::teclasDelArbol()
{
    Arbol a;
    QVERIFY(QTest::qWaitForWindowExposed(&a.ventana));
    a.N("N105")->EnsureVisible();
    a.arbol->setSelectedItem(a.N("N100"));
    QTest::keyClick(a.vista, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(a.vista, Qt::Key_F5, Qt::ShiftModifier);
    QTest::keyClick(a.vista, Qt::Key_F2);
    QTest::keyClick(a.vista, Qt::Key_F3, Qt::AltModifier);
    QCOMPARE(a.teclas, (QList<QPair<int, int>>{{66, 2}, {116, 1}, {113, 0}, {114, 4}}));

    QTest::keyClick(a.vista, Qt::Key_Down);
    QCOMPARE(a.teclas.last(), (QPair<int, int>{40, 0}));
    QCOMPARE(a.arbol->SelectedItem(), a.N("N105"));
    a.consumir = 40;
    QTest::keyClick(a.vista, Qt::Key_Down);
    QCOMPARE(a.arbol->SelectedItem(), a.N("N105"));
}

int EjecutaPruebasArbol(int argc, char** argv)
{
    PruebaArbol prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_arbol.moc"
