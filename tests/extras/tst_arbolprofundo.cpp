// A tree deeper than its view is wide: its rows scroll sideways into sight.
#include "suite/controls/ArbolVex.h"
#include "suite/controls/ListaImagenes.h"

#include <QPixmap>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class PruebasArbolProfundo : public QObject {
    Q_OBJECT

private slots:
    void cadenaProfunda();
};

// Eighty levels of 20 pixels each in a view 400 wide: the view scrolls sideways, and the
// deepest node brought into view is on screen, text and all.
void PruebasArbolProfundo::cadenaProfunda()
{
    QWidget ventana;
    ventana.resize(400, 300);
    orbanel::ListaImagenes imagenes;
    imagenes.Add(QIcon(QPixmap(16, 16)));
    auto* arbol = new orbanel::ArbolVex(&ventana);
    arbol->setGeometry(0, 0, 400, 300);
    arbol->setImageList(&imagenes);
    arbol->Add(QString(), kt508::tvwFirst, u"N0"_s, u"RAIZ"_s, 1);
    QString padre = u"N0"_s;
    for (int nivel = 1; nivel <= 80; ++nivel) {
        const QString clave = u"N%1"_s.arg(nivel);
        arbol->Add(padre, kt508::tvwChild, clave, u"%1 - Nivel %1"_s.arg(nivel), 1);
        padre = clave;
    }
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    auto* vista = arbol->findChild<QTreeWidget*>();
    kt508::Node* hondo = arbol->Nodes(u"N80"_s);
    hondo->EnsureVisible();
    hondo->setSelected(true);
    QCoreApplication::processEvents();

    QVERIFY(vista->horizontalScrollBar()->isVisible());
    const QRect visible = vista->viewport()->rect();
    const QRect fila = vista->visualItemRect(dynamic_cast<QTreeWidgetItem*>(hondo));
    const int texto = fila.left() + vista->iconSize().width();
    QVERIFY2(visible.contains(QPoint(texto, fila.center().y())) && fila.left() >= 0,
             qPrintable(u"fila en x=%1, vista de %2"_s.arg(fila.left()).arg(visible.width())));
    QVERIFY(vista->columnWidth(0) > fila.left() + vista->horizontalScrollBar()->value());
}

int EjecutaPruebasArbolProfundo(int argc, char** argv)
{
    PruebasArbolProfundo pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_arbolprofundo.moc"
