// Entering a text box selects its value: typing replaces it, as in the search dialog.
#include "kt508/dialogs/frmInput.h"
#include "kt508/services/Controles.h"
#include "tests/support/Dobles.h"
#include "tests/support/Interaccion.h"

#include <QTest>

class TstSeleccion : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { pruebas::InstalaDobles(); }
    void busquedaReemplazaLoAnterior();
};

void TstSeleccion::busquedaReemplazaLoAnterior()
{
    frmInput dialogo;
    dialogo.sVar = QStringLiteral("Ventas");
    pruebas::EnModal([](QWidget* modal) {
        if (!modal)
            return;
        pruebas::Escribe(modal, QStringLiteral("Taller"));
        pruebas::Tecla(modal, Qt::Key_F4);
    });
    dialogo.Mostrar();
    QVERIFY(dialogo.OK);
    QCOMPARE(dialogo.txtValor->Text(), QStringLiteral("Taller"));
}

QTEST_MAIN(TstSeleccion)
#include "tst_seleccion.moc"
