// Tab strip, date picker and colours.
#include "suite/controls/Esquema.h"
#include "suite/controls/FechaVex.h"
#include "suite/controls/PestanasVex.h"

#include <QDateEdit>
#include <QTabBar>
#include <QTest>

using namespace Qt::StringLiterals;

class PruebaOtros : public QObject {
    Q_OBJECT
private slots:
    void pestanasAvisanCadaCambio();
    void fechaYColores();
};

// Click is raised with the page left behind, by code and by the user, only on a change.
void PruebaOtros::pestanasAvisanCadaCambio()
{
    orbanel::PestanasVex pestanas;
    pestanas.resize(300, 200);
    pestanas.setTabcount(2);
    pestanas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pestanas));
    QList<int> clics;
    connect(&pestanas, &kt508::ssTbVex::Click, this, [&](int anterior) { clics.append(anterior); });
    pestanas.setTab(1);
    pestanas.setTab(1);
    QCOMPARE(clics, QList<int>{0});

    auto* barra = pestanas.findChild<QTabBar*>();
    QTest::mouseClick(barra, Qt::LeftButton, {}, barra->tabRect(0).center());
    QCOMPARE(pestanas.Tab(), 0);
    QCOMPARE(clics, (QList<int>{0, 1}));
    QVERIFY(!pestanas.Page(1)->isVisible());
}

// A date may be left empty, and shows so; colours are written &HBBGGRR.
void PruebaOtros::fechaYColores()
{
    orbanel::FechaVex fecha;
    fecha.setValue(QDate(2024, 2, 29));
    QCOMPARE(fecha.Value(), QDate(2024, 2, 29));
    fecha.setValue(QDate());
    QVERIFY(!fecha.Value().isValid());
    QVERIFY(fecha.findChild<QDateEdit*>()->text().trimmed().isEmpty());
    QCOMPARE(orbanel::ColorVB(0xC9B189), QColor(0x89, 0xB1, 0xC9));
}

int EjecutaPruebasOtros(int argc, char** argv)
{
    PruebaOtros prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_otros.moc"
