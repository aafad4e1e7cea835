// Tab strip, date picker, colour scheme, label and the platform's factories.
#include "suite/Plataforma.h"
#include "suite/controls/ColoresVex.h"
#include "suite/controls/Esquema.h"
#include "suite/controls/FechaVex.h"
#include "suite/controls/PestanasVex.h"
#include "suite/controls/TextoVex.h"

#include "kt508/services/Plataforma.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

class PruebaOtros : public QObject {
    Q_OBJECT
private slots:
    void pestanasAvisanCadaCambio();
    void fechaPuedeQuedarVacia();
    void esquemaDeColores();
    void fabricasDeLaPlataforma();
};

// Click is raised with the page left behind, by code and by the user, only on a change.
void PruebaOtros::pestanasAvisanCadaCambio()
{
    QWidget ventana;
    orbanel::PestanasVex pestanas(&ventana);
    pestanas.setGeometry(0, 0, 300, 200);
    pestanas.setTabcount(2);
    pestanas.setTabCaption(0, QStringLiteral("General"));
    pestanas.setTabCaption(1, QStringLiteral("Datos de usuario"));
    QVERIFY(pestanas.Page(0) && pestanas.Page(1) && pestanas.Page(0) != pestanas.Page(1));
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));

    QList<int> clics;
    QList<int> caracteres;
    connect(&pestanas, &kt508::ssTbVex::Click, this, [&](int anterior) { clics.append(anterior); });
    connect(&pestanas, &kt508::ssTbVex::KeyPress, this, [&](int& ascii) { caracteres.append(ascii); });
    pestanas.setTab(1);
    QCOMPARE(pestanas.Tab(), 1);
    pestanas.setTab(1);
    QCOMPARE(clics, QList<int>{0});

    auto* barra = pestanas.findChild<QTabBar*>();
    QTest::mouseClick(barra, Qt::LeftButton, {}, barra->tabRect(0).center());
    QCOMPARE(pestanas.Tab(), 0);
    QCOMPARE(clics, (QList<int>{0, 1}));
    QVERIFY(!pestanas.Page(1)->isVisible());

    QTest::keyClick(barra, Qt::Key_Return);
    QCOMPARE(caracteres, QList<int>{13});
}

void PruebaOtros::fechaPuedeQuedarVacia()
{
    orbanel::FechaVex fecha;
    QCOMPARE(fecha.Value(), QDate::currentDate());
    fecha.setValue(QDate(2024, 2, 29));
    QCOMPARE(fecha.Value(), QDate(2024, 2, 29));
    QVERIFY(fecha.findChild<QDateEdit*>()->calendarPopup());
    fecha.setValue(QDate());
    QVERIFY(!fecha.Value().isValid());
    QVERIFY(fecha.findChild<QDateEdit*>()->text().trimmed().isEmpty());
}

// Colours are written &HBBGGRR; the window takes the scheme's back colour.
void PruebaOtros::esquemaDeColores()
{
    QCOMPARE(orbanel::ColorVB(0xC9B189), QColor(0x89, 0xB1, 0xC9));
    QCOMPARE(orbanel::ColorVB(0x800000), QColor(0x00, 0x00, 0x80));
    QWidget ventana;
    auto* texto = new orbanel::TextoVex(&ventana);
    orbanel::ColoresVex colores(&ventana);
    colores.ApplyScheme();
    QCOMPARE(colores.backcolor(), QColor(0xF5, 0xF5, 0xF5));
    QCOMPARE(ventana.palette().color(QPalette::Window), QColor(0xF5, 0xF5, 0xF5));
    QCOMPARE(texto->font().pointSizeF(), 8.25);
    texto->setEnabled(false);
    QLineEdit* linea = texto->findChild<QLineEdit*>();
    QCOMPARE(linea->palette().color(QPalette::Disabled, QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(linea->palette().color(QPalette::Active, QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
}

// The component creates every control through the platform table.
void PruebaOtros::fabricasDeLaPlataforma()
{
    kt508::Plataforma p;
    orbanel::InstalaControles(p);
    QWidget ventana;
    kt508::Controles* barra = p.NuevoControles(&ventana);
    kt508::txtVEX* texto = p.NuevoTexto(&ventana);
    kt508::Etiqueta* etiqueta = p.NuevaEtiqueta(&ventana);
    kt508::dpFecha* fecha = p.NuevoDpFecha(&ventana);
    kt508::ssTbVex* pestanas = p.NuevoSsTab(&ventana);
    kt508::colorVEX* colores = p.NuevoColorVEX(&ventana);
    kt508::TreeView* arbol = p.NuevoTreeView(&ventana);
    kt508::ImageList* imagenes = p.NuevaImageList(&ventana);
    for (QObject* control : std::initializer_list<QObject*>{barra, texto, etiqueta, fecha, pestanas, colores, arbol,
                                                             imagenes})
        QCOMPARE(control->parent(), &ventana);

    etiqueta->setCaption(QStringLiteral("Clave:"));
    etiqueta->setAlignment(1);
    QCOMPARE(etiqueta->caption(), QStringLiteral("Clave:"));
    QVERIFY(etiqueta->findChild<QLabel*>()->alignment() & Qt::AlignRight);
    imagenes->Add(QIcon());
    QCOMPARE(imagenes->Count(), 1);
    QVERIFY(imagenes->Image(2).isNull());
}

int EjecutaPruebasOtros(int argc, char** argv)
{
    PruebaOtros prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_otros.moc"
