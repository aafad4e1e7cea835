// The text field as a user types into it: keys, upper case, Enter, numbers, masks, look-ups.
#include "suite/controls/TextoVex.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using orbanel::TextoVex;

namespace {

// A window with three fields, as the editor lays them out.
struct Ventana {
    Ventana()
    {
        ventana.resize(320, 120);
        for (int i = 0; i < 3; ++i) {
            campos[i] = new TextoVex(&ventana);
            campos[i]->setGeometry(10, 10 + 35 * i, 200, 25);
        }
        campos[0]->setObjectName(QStringLiteral("txt_Gcc_Cve_Grupo_Centro_Costo"));
        campos[1]->setObjectName(QStringLiteral("txt_Gcc_Descripcion"));
        campos[2]->setObjectName(QStringLiteral("txtNCta"));
        ventana.show();
        ventana.activateWindow();
    }
    QLineEdit* Linea(int i) const { return campos[i]->findChild<QLineEdit*>(); }
    bool Activa() { return QTest::qWaitForWindowActive(&ventana); }

    QWidget ventana;
    TextoVex* campos[3] = {};
};

// Types text as a keyboard would, letters outside ASCII included.
void Teclea(QWidget* destino, const QString& texto)
{
    for (const QChar c : texto) {
        if (c.unicode() < 128) {
            QTest::keyClick(destino, c.toLatin1());
            continue;
        }
        QKeyEvent presion(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(destino, &presion);
        QKeyEvent liberacion(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(destino, &liberacion);
    }
}

QLineEdit* Filtro(QWidget* lista)
{
    return lista->findChild<QLineEdit*>(QStringLiteral("txtFiltro"));
}

} // namespace

class PruebaTexto : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { orbanel::Sesion::Cierra(); }

    void mayusculasAlEscribirYAlPegar();
    void enterPasaAlSiguienteCampo();
    void campoNumerico();
    void mascaraDeDigitos();
    void campoBloqueado();
    void eventosDeTeclado();
    void teclasConsumidasOCambiadas();
    void consultaEscribeElResultado_data();
    void consultaEscribeElResultado();
    void listaDeConsulta_data();
    void listaDeConsulta();
};

void PruebaTexto::mayusculasAlEscribirYAlPegar()
{
    Ventana v;
    QVERIFY(v.Activa());
    v.campos[0]->setMayusculas(true);
    Teclea(v.Linea(0), QStringLiteral("ab ñ1"));
    QCOMPARE(v.campos[0]->Text(), QStringLiteral("AB Ñ1"));
    v.Linea(0)->insert(QStringLiteral("xy")); // as a paste does
    QCOMPARE(v.campos[0]->Text(), QStringLiteral("AB Ñ1XY"));

    QTest::keyClicks(v.Linea(1), QStringLiteral("ab"));
    QCOMPARE(v.campos[1]->Text(), QStringLiteral("ab"));
}

void PruebaTexto::enterPasaAlSiguienteCampo()
{
    Ventana v;
    QVERIFY(v.Activa());
    v.campos[0]->setTabonenter(true);
    v.campos[1]->setTabonenter(true);
    v.campos[0]->setFocus();
    QTest::keyClicks(v.Linea(0), QStringLiteral("12"));
    QTest::keyClick(v.Linea(0), Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), v.Linea(1));

    // Empty: Enter stays, unless tabonentervacio.
    QTest::keyClick(v.Linea(1), Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), v.Linea(1));
    v.campos[1]->setTabonentervacio(true);
    QTest::keyClick(v.Linea(1), Qt::Key_Enter);
    QTRY_COMPARE(QApplication::focusWidget(), v.Linea(2));

    // Without tabonenter Enter leaves the focus where it is.
    QTest::keyClicks(v.Linea(2), QStringLiteral("x"));
    QTest::keyClick(v.Linea(2), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), v.Linea(2));
}

void PruebaTexto::campoNumerico()
{
    Ventana v;
    QVERIFY(v.Activa());
    TextoVex* campo = v.campos[0];
    campo->setMaxlength(20);
    campo->setAlignment(1);
    campo->setFormato(5);
    campo->setTipodato(5);
    campo->setText(QStringLiteral("0.0000"));
    QCOMPARE(campo->NumericValue().toDouble(), 0.0);

    v.Linea(0)->setFocus();
    v.Linea(0)->selectAll();
    QTest::keyClicks(v.Linea(0), QStringLiteral("1a2.5x"));
    QCOMPARE(campo->Text(), QStringLiteral("12.5"));
    QCOMPARE(campo->NumericValue().toDouble(), 12.5);
    QTest::keyClick(v.Linea(0), Qt::Key_Return);
    QCOMPARE(campo->Text(), QStringLiteral("12.5000"));

    campo->setText(QStringLiteral("1,250.75"));
    QCOMPARE(campo->Text(), QStringLiteral("1250.7500"));
    QCOMPARE(campo->NumericValue().toDouble(), 1250.75);
    campo->setText(QString());
    QCOMPARE(campo->NumericValue().toDouble(), 0.0);
    QCOMPARE(campo->Text(), QStringLiteral("0.0000"));
}

void PruebaTexto::mascaraDeDigitos()
{
    Ventana v;
    QVERIFY(v.Activa());
    v.campos[0]->setMask(QStringLiteral("999999"));
    QTest::keyClicks(v.Linea(0), QStringLiteral("12a34-56789"));
    QCOMPARE(v.campos[0]->Text(), QStringLiteral("123456"));

    // The window passes the setting through; an empty setting restricts nothing.
    v.campos[1]->setMask(QString());
    QTest::keyClicks(v.Linea(1), QStringLiteral("a-1 b"));
    QCOMPARE(v.campos[1]->Text(), QStringLiteral("a-1 b"));
}

void PruebaTexto::campoBloqueado()
{
    Ventana v;
    QVERIFY(v.Activa());
    v.campos[0]->setText(QStringLiteral("105"));
    v.campos[0]->setLocked(true);
    QTest::keyClicks(v.Linea(0), QStringLiteral("9"));
    QCOMPARE(v.campos[0]->Text(), QStringLiteral("105"));
    QCOMPARE(v.Linea(0)->palette().color(QPalette::Active, QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(v.Linea(1)->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
}

void PruebaTexto::eventosDeTeclado()
{
    Ventana v;
    QVERIFY(v.Activa());
    QLineEdit* linea = v.Linea(0);
    QList<QPair<int, int>> abajo, arriba;
    QList<int> caracteres;
    connect(v.campos[0], &kt508::txtVEX::KeyDown, this, [&](int& codigo, int shift) { abajo.append({codigo, shift}); });
    connect(v.campos[0], &kt508::txtVEX::KeyUp, this, [&](int& codigo, int shift) { arriba.append({codigo, shift}); });
    connect(v.campos[0], &kt508::txtVEX::KeyPress, this, [&](int& ascii) { caracteres.append(ascii); });

    QTest::keyClick(linea, Qt::Key_F4);
    QTest::keyClick(linea, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(linea, Qt::Key_1, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(linea, Qt::Key_Escape);
    QTest::keyClick(linea, Qt::Key_A);
    QTest::keyClick(linea, Qt::Key_Return);

    // Shift, Ctrl and Alt raise their own events (16, 17, 18); these are about the keys.
    const auto sinModificadores = [](QList<QPair<int, int>> lista) {
        lista.removeIf([](const QPair<int, int>& e) { return e.first >= 16 && e.first <= 18; });
        return lista;
    };
    const QList<QPair<int, int>> esperadas{{115, 0}, {66, 2}, {49, 5}, {27, 0}, {65, 0}, {13, 0}};
    QCOMPARE(sinModificadores(abajo), esperadas);
    QCOMPARE(sinModificadores(arriba), esperadas);
    QCOMPARE(caracteres, (QList<int>{2, 27, 97, 13}));
}

// KeyDown or KeyPress set to 0 swallow the key; KeyPress set to another code types that.
void PruebaTexto::teclasConsumidasOCambiadas()
{
    Ventana v;
    QVERIFY(v.Activa());
    QLineEdit* linea = v.Linea(0);
    connect(v.campos[0], &kt508::txtVEX::KeyDown, this, [](int& codigo, int) {
        if (codigo == 88) // X
            codigo = 0;
    });
    connect(v.campos[0], &kt508::txtVEX::KeyPress, this, [](int& ascii) {
        if (ascii == '5')
            ascii = 0;
        else if (ascii == '-')
            ascii = '_';
    });
    QTest::keyClicks(linea, QStringLiteral("a5x-X4"));
    QCOMPARE(v.campos[0]->Text(), QStringLiteral("a_4"));

    // A consumed Enter does not move the focus.
    v.campos[0]->setTabonenter(true);
    connect(v.campos[0], &kt508::txtVEX::KeyDown, this, [](int& codigo, int) {
        if (codigo == 13)
            codigo = 0;
    });
    QTest::keyClick(linea, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), linea);
}

void PruebaTexto::consultaEscribeElResultado_data()
{
    pruebas::agregaBackends();
}

// The two look-ups of the editor: "?" bare and "?" between quotes.
void PruebaTexto::consultaEscribeElResultado()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("PRUEBAS"));
    Ventana v;
    QVERIFY(v.Activa());
    TextoVex* grupo = v.campos[0];
    grupo->setSql(QStringLiteral(
        "SELECT Gcc_Descripcion FROM Grupo_Centro_Costo WHERE Gcc_Cve_Grupo_Centro_Costo = ?"));
    grupo->setSqlControlResultado(QStringLiteral("txt_Gcc_Descripcion"));
    TextoVex* cuenta = v.campos[2];
    cuenta->setObjectName(QStringLiteral("txtCuenta"));
    auto* descripcionCuenta = new TextoVex(&v.ventana);
    descripcionCuenta->setObjectName(QStringLiteral("txtNCta"));
    cuenta->setSql(QStringLiteral("select cc_descripcion from cuenta_contable where cc_cve_cuenta_contable = '?'"));
    cuenta->setSqlControlResultado(QStringLiteral("txtNCta"));

    grupo->setText(QStringLiteral("000100"));
    QCOMPARE(v.campos[1]->Text(), QStringLiteral("COMERCIAL"));
    grupo->setText(QStringLiteral("999999"));
    QCOMPARE(v.campos[1]->Text(), QString());

    // Typed by the user: described once the entry is finished.
    v.Linea(0)->setFocus();
    v.Linea(0)->clear();
    QTest::keyClicks(v.Linea(0), QStringLiteral("000200"));
    QCOMPARE(v.campos[1]->Text(), QString());
    QTest::keyClick(v.Linea(0), Qt::Key_Return);
    QCOMPARE(v.campos[1]->Text(), QStringLiteral("OPERACIONES"));

    cuenta->setText(QStringLiteral("5100"));
    QCOMPARE(descripcionCuenta->Text(), QStringLiteral("GASTOS POR CENTRO DE COSTO"));
    // A quote in the value stays inside the literal: no row, no description.
    cuenta->setText(QStringLiteral("x' OR '1'='1"));
    QCOMPARE(descripcionCuenta->Text(), QString());
    cuenta->setText(QStringLiteral("5100-105"));
    QCOMPARE(descripcionCuenta->Text(), QStringLiteral("VENTAS NORTE"));
    cuenta->setText(QStringLiteral("9999"));
    QCOMPARE(descripcionCuenta->Text(), QString());

    // A statement that fails describes nothing either.
    cuenta->setText(QStringLiteral("5100"));
    orbanel::Sesion::Conexion().failContaining(QStringLiteral("cuenta_contable"));
    cuenta->setText(QStringLiteral("1100"));
    QCOMPARE(descripcionCuenta->Text(), QString());
}

void PruebaTexto::listaDeConsulta_data()
{
    pruebas::agregaBackends();
}

// F2 or the button beside the field opens the list; Enter picks, Escape cancels.
void PruebaTexto::listaDeConsulta()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("PRUEBAS"));
    Ventana v;
    QVERIFY(v.Activa());
    TextoVex* grupo = v.campos[0];
    grupo->setIdconsulta(QStringLiteral("GRUPO_CENTRO_COSTO"));
    grupo->setSql(QStringLiteral(
        "SELECT Gcc_Descripcion FROM Grupo_Centro_Costo WHERE Gcc_Cve_Grupo_Centro_Costo = ?"));
    grupo->setSqlControlResultado(QStringLiteral("txt_Gcc_Descripcion"));
    auto* boton = grupo->findChild<QToolButton*>(QStringLiteral("btnLista"));
    QVERIFY(boton && boton->isVisible());
    QVERIFY(!boton->toolTip().isEmpty());
    QVERIFY(!v.campos[1]->findChild<QToolButton*>(QStringLiteral("btnLista"))->isVisible());

    v.Linea(0)->setFocus();
    pruebas::EnModal([](QWidget* modal) {
        if (!modal)
            return;
        QTest::keyClicks(Filtro(modal), QStringLiteral("oper"));
        QTest::keyClick(Filtro(modal), Qt::Key_Return);
    });
    QTest::keyClick(v.Linea(0), Qt::Key_F2);
    QCOMPARE(grupo->Text(), QStringLiteral("000200"));
    QCOMPARE(v.campos[1]->Text(), QStringLiteral("OPERACIONES"));

    pruebas::EnModal([](QWidget* modal) {
        if (!modal)
            return;
        QTest::keyClick(Filtro(modal), Qt::Key_Down);
        QTest::keyClick(Filtro(modal), Qt::Key_Escape);
    });
    QTest::mouseClick(boton, Qt::LeftButton);
    QCOMPARE(grupo->Text(), QStringLiteral("000200"));

    // Down from the filter walks the list: the second group.
    pruebas::EnModal([](QWidget* modal) {
        if (!modal)
            return;
        QTest::keyClick(Filtro(modal), Qt::Key_Down);
        QTest::keyClick(Filtro(modal), Qt::Key_Return);
    });
    QTest::mouseClick(boton, Qt::LeftButton);
    QCOMPARE(grupo->Text(), QStringLiteral("000100"));
    QCOMPARE(v.campos[1]->Text(), QStringLiteral("COMERCIAL"));

    // The account catalogue; a locked field offers no list.
    TextoVex* cuenta = v.campos[2];
    cuenta->setIdconsulta(QStringLiteral("CUENTA_CONTABLE"));
    cuenta->setLocked(true);
    QVERIFY(!cuenta->findChild<QToolButton*>(QStringLiteral("btnLista"))->isEnabled());
    cuenta->setLocked(false);
    pruebas::EnModal([](QWidget* modal) {
        if (!modal)
            return;
        QTest::keyClicks(Filtro(modal), QStringLiteral("ventas norte"));
        QTest::keyClick(Filtro(modal), Qt::Key_Return);
    });
    QTest::keyClick(v.Linea(2), Qt::Key_F2);
    QCOMPARE(cuenta->Text(), QStringLiteral("5100-105"));
}

int EjecutaPruebasTexto(int argc, char** argv)
{
    PruebaTexto prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_texto.moc"
