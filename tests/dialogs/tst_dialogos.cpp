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
    void respuesta_data();
    void respuesta();
    void previaVeCadaTeclaUnaVez();
};

namespace {

enum class Via { F4, Enter, Aceptar, Escape, Cancelar, Marco };

void Responde(frmInput& dialogo, Via via)
{
    switch (via) {
    case Via::F4: pruebas::Tecla(&dialogo, Qt::Key_F4); break;
    case Via::Enter: pruebas::Tecla(&dialogo, Qt::Key_Return); break;
    case Via::Aceptar: emit dialogo.Controles->B1Click(); break;
    case Via::Escape: pruebas::Tecla(&dialogo, Qt::Key_Escape); break;
    case Via::Cancelar: emit dialogo.Controles->B2Click(); break;
    case Via::Marco: dialogo.close(); break;
    }
}

} // namespace

void TstDialogos::respuesta_data()
{
    QTest::addColumn<int>("via");
    QTest::addColumn<QString>("escrito"); // replaces the value shown; null leaves it
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("cierra");
    QTest::newRow("F4") << int(Via::F4) << QString() << true << true;
    QTest::newRow("Enter") << int(Via::Enter) << QStringLiteral("norte") << true << true;
    QTest::newRow("Aceptar") << int(Via::Aceptar) << QString() << true << true;
    // An empty value is not accepted: the dialog stays open (and is then left with Escape).
    QTest::newRow("F4 vacío") << int(Via::F4) << QStringLiteral("") << false << false;
    QTest::newRow("Enter vacío") << int(Via::Enter) << QStringLiteral("") << false << false;
    QTest::newRow("Aceptar vacío") << int(Via::Aceptar) << QStringLiteral("") << false << false;
    QTest::newRow("Escape") << int(Via::Escape) << QStringLiteral("norte") << false << true;
    QTest::newRow("Cancelar") << int(Via::Cancelar) << QStringLiteral("norte") << false << true;
    QTest::newRow("marco") << int(Via::Marco) << QString() << false << true;
}

// Each way out of the dialog's second showing, after a first one accepted. The second starts from
// what the caller sets (the last accepted value), not from what the field last held, selected so
// that typing replaces it; OK keeps its answer until the next one.
void TstDialogos::respuesta()
{
    QFETCH(int, via);
    QFETCH(QString, escrito);
    QFETCH(bool, ok);
    QFETCH(bool, cierra);
    frmInput dialogo;
    QVERIFY(!dialogo.OK);
    dialogo.sVar = QStringLiteral("uno");
    pruebas::EnModal([&](QWidget* modal) {
        pruebas::Escribe(modal, QStringLiteral("tres")); // over the value, selected on entry
        Responde(dialogo, Via::F4);
    });
    dialogo.Mostrar();
    QVERIFY(dialogo.OK);
    QCOMPARE(dialogo.txtValor->Text(), QStringLiteral("tres"));

    dialogo.sVar = QStringLiteral("dos");
    QString mostrado;
    bool okMientras = false;
    bool abierto = false;
    pruebas::EnModal([&](QWidget* modal) {
        mostrado = dialogo.txtValor->Text();
        okMientras = dialogo.OK;
        if (escrito.isEmpty() && !escrito.isNull())
            dialogo.txtValor->setText(QString());
        pruebas::Escribe(modal, escrito);
        Responde(dialogo, Via(via));
        abierto = dialogo.isVisible();
        if (abierto)
            pruebas::Tecla(modal, Qt::Key_Escape);
    });
    dialogo.Mostrar();
    QCOMPARE(mostrado, QStringLiteral("dos"));
    QVERIFY(okMientras);
    QCOMPARE(abierto, !cierra);
    QCOMPARE(dialogo.OK, ok);
    QVERIFY(dialogo.isHidden());
    if (ok)
        QCOMPARE(dialogo.txtValor->Text(), escrito.isNull() ? QStringLiteral("dos") : escrito);
}

// A key is seen once, however far it travels up from the focus widget; two events that the
// platform builds one after another at the same address are two keys (Alt let go, then the digit,
// then the digit again).
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
    evento->setTimestamp(1);
    QApplication::sendEvent(campo, &*evento); // the digit let go again, a moment later
    QCOMPARE(arriba, (QList<int>{18, 49, 49}));
}

QTEST_MAIN(TstDialogos)
#include "tst_dialogos.moc"
