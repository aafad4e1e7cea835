// The value input dialog, driven from the keyboard and the toolbar while it is modal.
#include "kt508/dialogs/KeyPreview.h"
#include "kt508/dialogs/frmInput.h"
#include "kt508/services/Controles.h"
#include "tests/support/Dobles.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <optional>

class TstDialogos : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { pruebas::InstalaDobles(); }
    void aceptaElValorInicial_data();
    void aceptaElValorInicial();
    void vacioNoSeAcepta();
    void cancelarIgnoraLoEscrito_data();
    void cancelarIgnoraLoEscrito();
    void dosVecesEnUnaVida();
    void cerrarDesdeElMarco();
    void previaVeCadaTeclaUnaVez();
};

namespace {

enum class Via { F4, Enter, Boton };

void Acepta(QWidget* modal, Via via)
{
    auto* dialogo = qobject_cast<frmInput*>(modal);
    switch (via) {
    case Via::F4: pruebas::Tecla(modal, Qt::Key_F4); break;
    case Via::Enter: pruebas::Tecla(modal, Qt::Key_Return); break;
    case Via::Boton: emit dialogo->Controles->B1Click(); break;
    }
}

} // namespace

void TstDialogos::aceptaElValorInicial_data()
{
    QTest::addColumn<int>("via");
    QTest::newRow("F4") << int(Via::F4);
    QTest::newRow("Enter") << int(Via::Enter);
    QTest::newRow("Aceptar") << int(Via::Boton);
}

void TstDialogos::aceptaElValorInicial()
{
    QFETCH(int, via);
    frmInput dialogo;
    QCOMPARE(dialogo.OK, false);
    dialogo.sVar = QStringLiteral("ABC");
    QString mostrado;
    QWidget* visto = nullptr;
    pruebas::EnModal([&](QWidget* modal) {
        visto = modal;
        mostrado = dialogo.txtValor->Text();
        Acepta(modal, Via(via));
    });
    dialogo.Mostrar();
    QCOMPARE(visto, &dialogo);
    QCOMPARE(mostrado, QStringLiteral("ABC"));
    QVERIFY(dialogo.OK);
    QVERIFY(dialogo.isHidden());
    QCOMPARE(dialogo.txtValor->Text(), QStringLiteral("ABC"));
}

void TstDialogos::vacioNoSeAcepta()
{
    frmInput dialogo;
    dialogo.sVar = QStringLiteral("ABC");
    int siguioAbierto = 0;
    pruebas::EnModal([&](QWidget* modal) {
        dialogo.txtValor->setText(QString());
        for (Via via : {Via::F4, Via::Enter, Via::Boton}) {
            Acepta(modal, via);
            siguioAbierto += dialogo.isVisible() ? 1 : 0;
        }
        pruebas::Tecla(modal, Qt::Key_Escape);
    });
    dialogo.Mostrar();
    QCOMPARE(siguioAbierto, 3);
    QVERIFY(!dialogo.OK);
}

void TstDialogos::cancelarIgnoraLoEscrito_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Escape") << true;
    QTest::newRow("Cancelar") << false;
}

void TstDialogos::cancelarIgnoraLoEscrito()
{
    QFETCH(bool, escape);
    frmInput dialogo;
    pruebas::EnModal([&](QWidget* modal) {
        pruebas::Escribe(modal, QStringLiteral("norte"));
        if (escape)
            pruebas::Tecla(modal, Qt::Key_Escape);
        else
            emit dialogo.Controles->B2Click();
    });
    dialogo.Mostrar();
    QVERIFY(!dialogo.OK);
    QVERIFY(dialogo.isHidden());
}

void TstDialogos::dosVecesEnUnaVida()
{
    frmInput dialogo;
    dialogo.sVar = QStringLiteral("uno");
    pruebas::EnModal([&](QWidget* modal) {
        dialogo.txtValor->setText(QString());
        pruebas::Escribe(modal, QStringLiteral("dos"));
        Acepta(modal, Via::F4);
    });
    dialogo.Mostrar();
    QVERIFY(dialogo.OK);
    QCOMPARE(dialogo.txtValor->Text(), QStringLiteral("dos"));

    // The second showing starts from what the caller sets (the last accepted value), not from
    // what the field last held, and OK keeps its answer until the next one.
    dialogo.sVar = QStringLiteral("tres");
    QString mostrado;
    bool okMientras = false;
    pruebas::EnModal([&](QWidget* modal) {
        mostrado = dialogo.txtValor->Text();
        okMientras = dialogo.OK;
        pruebas::Tecla(modal, Qt::Key_Escape);
    });
    dialogo.Mostrar();
    QCOMPARE(mostrado, QStringLiteral("tres"));
    QVERIFY(okMientras);
    QVERIFY(!dialogo.OK);
}

void TstDialogos::cerrarDesdeElMarco()
{
    frmInput dialogo;
    dialogo.sVar = QStringLiteral("valor");
    pruebas::EnModal([&](QWidget* modal) {
        Acepta(modal, Via::F4); // accepted once ...
    });
    dialogo.Mostrar();
    pruebas::EnModal([&](QWidget* modal) { modal->close(); }); // ... then closed from the frame
    dialogo.Mostrar();
    QVERIFY(!dialogo.OK);
    QVERIFY(dialogo.isHidden());
}

// A key is seen once, however far it travels up from the focus widget; two events that the
// platform builds one after another at the same address are two keys (Alt let go, then the digit).
void TstDialogos::previaVeCadaTeclaUnaVez()
{
    QWidget ventana;
    auto* campo = new QLineEdit(&ventana);
    QList<int> arriba;
    KeyPreview previa(&ventana, nullptr, [&](int& KeyCode, int) { arriba.append(KeyCode); });
    std::optional<QKeyEvent> evento;
    evento.emplace(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier, 0, 0, 0, QString(), false, 1,
                   QInputDevice::primaryKeyboard());
    QApplication::sendEvent(campo, &*evento);
    QApplication::sendEvent(&ventana, &*evento); // the same release, passed up to the window
    evento.emplace(QEvent::KeyRelease, Qt::Key_1, Qt::NoModifier, 0, 0, 0, QStringLiteral("1"), false, 1,
                   QInputDevice::primaryKeyboard());
    QApplication::sendEvent(campo, &*evento);
    QCOMPARE(arriba, (QList<int>{18, 49}));
}

QTEST_MAIN(TstDialogos)
#include "tst_dialogos.moc"
