// The text field as a user types into it: keys, upper case, Enter, numbers, masks, look-ups.
#include "suite/ado/AdoConnection.h"
#include "suite/controls/TextoVex.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include "kt508/services/Decimal.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using orbanel::TextoVex;

namespace {

// A window with three fields, as the editor lays them out.
struct Ventana {
    Ventana()
    {
        const char* nombres[] = {"txt_Gcc_Cve_Grupo_Centro_Costo", "txt_Gcc_Descripcion", "txtNCta"};
        for (int i = 0; i < 3; ++i) {
            campos[i] = new TextoVex(&ventana);
            campos[i]->setGeometry(10, 10 + 35 * i, 200, 25);
            campos[i]->setObjectName(QLatin1String(nombres[i]));
        }
        ventana.resize(320, 120);
        ventana.show();
        ventana.activateWindow();
    }
    QLineEdit* Linea(int i) const { return campos[i]->findChild<QLineEdit*>(); }
    bool Activa() { return QTest::qWaitForWindowActive(&ventana); }

    QWidget ventana;
    TextoVex* campos[3] = {};
};

// Types over the field's value as a keyboard would.
void Teclea(QLineEdit* destino, const QString& texto)
{
    destino->setFocus();
    destino->selectAll();
    pruebas::Escribe(destino, texto);
}

// Pastes the text where the cursor is, as Ctrl+V does.
void Pega(QLineEdit* destino, const QString& texto)
{
    QGuiApplication::clipboard()->setText(texto);
    QTest::keyClick(destino, Qt::Key_V, Qt::ControlModifier);
}

enum Ajuste { Ninguno, Mayusculas, Mascara, Bloqueado, Numerico };

} // namespace

class PruebaTexto : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { orbanel::Sesion::Cierra(); }
    void loQueQuedaAlTeclear_data();
    void loQueQuedaAlTeclear();
    void largoEnCaracteres();
    void numerosExactos_data();
    void numerosExactos();
    void enterPasaAlSiguienteCampo();
    void eventosDeTeclado();
    void consultas_data() { pruebas::agregaBackends(); }
    void consultas();
};

void PruebaTexto::loQueQuedaAlTeclear_data()
{
    QTest::addColumn<int>("ajuste");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("pegado");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("mayúsculas, también al pegar") << int(Mayusculas) << u"ab ñ1"_s << u"xy"_s << u"AB Ñ1XY"_s;
    QTest::newRow("sin mayúsculas") << int(Ninguno) << u"a-1 b"_s << u"xy"_s << u"a-1 bxy"_s;
    QTest::newRow("máscara de dígitos") << int(Mascara) << u"12a34-56789"_s << QString() << u"123456"_s;
    QTest::newRow("bloqueado") << int(Bloqueado) << u"9"_s << QString() << u"105"_s;
    QTest::newRow("numérico, formato 5 al dejarlo") << int(Numerico) << u"1a2.5x"_s << QString() << u"12.5000"_s;
}

// Typed (and pasted), then Enter, which ends the edit without leaving the field.
void PruebaTexto::loQueQuedaAlTeclear()
{
    QFETCH(int, ajuste);
    QFETCH(QString, tecleado);
    QFETCH(QString, pegado);
    QFETCH(QString, esperado);
    Ventana v;
    QVERIFY(v.Activa());
    TextoVex* campo = v.campos[0];
    campo->setMayusculas(ajuste == Mayusculas);
    campo->setMask(ajuste == Mascara ? u"999999"_s : QString());
    campo->setLocked(ajuste == Bloqueado);
    if (ajuste == Bloqueado)
        campo->setText(u"105"_s);
    campo->setFormato(ajuste == Numerico ? 5 : 0);
    Teclea(v.Linea(0), tecleado);
    if (!pegado.isEmpty())
        v.Linea(0)->insert(pegado); // as a paste does
    QTest::keyClick(v.Linea(0), Qt::Key_Return);
    QCOMPARE(campo->Text(), esperado);
}

// The length counts characters as the databases do, an emoji one: typing beyond it is refused, a
// paste cut to what fits, never inside a character, and a text that code puts in is never cut
// (it only grows no more).
void PruebaTexto::largoEnCaracteres()
{
    Ventana v;
    QVERIFY(v.Activa());
    TextoVex* campo = v.campos[0];
    QLineEdit* linea = v.Linea(0);
    campo->setMaxlength(5);
    QStringList vistos;
    Teclea(linea, u"a🌵ñ🌵bc"_s);
    vistos << campo->Text();
    Teclea(linea, u"ab🌵"_s);
    Pega(linea, u"x🌵yz"_s);
    vistos << campo->Text();
    Teclea(linea, u"abc"_s);
    Pega(linea, u"🌵🌵🌵"_s);
    vistos << campo->Text();
    campo->setText(u"🌵🌵🌵🌵🌵🌵🌵"_s);
    vistos << campo->Text();
    linea->end(false);
    pruebas::Escribe(linea, u"x"_s);
    vistos << campo->Text();
    QTest::keyClick(linea, Qt::Key_Backspace);
    vistos << campo->Text();
    QCOMPARE(vistos, (QStringList{u"a🌵ñ🌵b"_s, u"ab🌵x🌵"_s, u"abc🌵🌵"_s, u"🌵🌵🌵🌵🌵🌵🌵"_s, u"🌵🌵🌵🌵🌵🌵🌵"_s, u"🌵🌵🌵🌵🌵🌵"_s}));
}

void PruebaTexto::numerosExactos_data()
{
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("mostrado");
    QTest::addColumn<QString>("numero"); // the Decimal's text; "" for a null value
    QTest::newRow("catorce enteros y cuatro decimales")
        << u"12345678901234.5678"_s << u"12345678901234.5678"_s << u"12345678901234.5678"_s;
    QTest::newRow("el menor") << u"-99999999999999.9999"_s << u"-99999999999999.9999"_s << u"-99999999999999.9999"_s;
    QTest::newRow("formato 5") << u"12.5"_s << u"12.5000"_s << u"12.5"_s;
    QTest::newRow("separador de miles") << u"1,250.75"_s << u"1250.7500"_s << u"1250.75"_s;
    // Beyond numeric(18,4): shown as typed, so that the save can tell it.
    QTest::newRow("cinco decimales") << u"1.23456"_s << u"1.23456"_s << u"1.23456"_s;
    QTest::newRow("veinte enteros") << u"99999999999999999999"_s << u"99999999999999999999.0000"_s
                                    << u"99999999999999999999"_s;
    QTest::newRow("sin número") << u"-"_s << u"-"_s << QString();
}

// A numeric field (format and type 5, 20 characters) typed, then Enter; and the same text put in
// by code, as the edit command puts the stored value: the number exact, never through a double.
void PruebaTexto::numerosExactos()
{
    QFETCH(QString, tecleado);
    QFETCH(QString, mostrado);
    QFETCH(QString, numero);
    Ventana v;
    QVERIFY(v.Activa());
    TextoVex* campo = v.campos[0];
    campo->setMaxlength(20);
    campo->setFormato(5);
    campo->setTipodato(5);
    const auto exacto = [campo] {
        const QVariant valor = campo->NumericValue();
        return valor.metaType() == QMetaType::fromType<kt508::Decimal>() ? valor.value<kt508::Decimal>().Texto()
                                                                         : valor.toString();
    };
    Teclea(v.Linea(0), tecleado);
    QTest::keyClick(v.Linea(0), Qt::Key_Return);
    QCOMPARE((QStringList{campo->Text(), exacto()}), (QStringList{mostrado, numero}));
    campo->setText(tecleado);
    QCOMPARE((QStringList{campo->Text(), exacto()}), (QStringList{mostrado, numero}));
}

// Enter moves on with tabonenter (also empty with tabonentervacio), passing over a field without tab stop.
void PruebaTexto::enterPasaAlSiguienteCampo()
{
    Ventana v;
    QVERIFY(v.Activa());
    const auto enter = [&](int campo, const QString& texto, Qt::Key tecla = Qt::Key_Return) {
        Teclea(v.Linea(campo), texto);
        QTest::keyClick(v.Linea(campo), tecla);
        QTest::qWait(20); // a focus move would be seen by now
        return QApplication::focusWidget() == v.Linea(0) ? 0 : QApplication::focusWidget() == v.Linea(1) ? 1 : 2;
    };
    v.campos[0]->setTabonenter(true);
    v.campos[1]->setTabonenter(true);
    QCOMPARE(enter(0, u"12"_s), 1);
    QCOMPARE(enter(1, QString(), Qt::Key_Enter), 1); // empty: Enter stays, unless tabonentervacio
    v.campos[1]->setTabonentervacio(true);
    QCOMPARE(enter(1, QString(), Qt::Key_Enter), 2);
    QCOMPARE(enter(2, u"x"_s), 2); // without tabonenter Enter stays
    // A display-only field has no tab stop: the keyboard passes it over.
    v.campos[1]->setTabStop(false);
    QCOMPARE(enter(0, u"12"_s), 2);
}

// Codes and shift state of the platform; KeyDown or KeyPress set to 0 swallow the key
// (a consumed Enter moves no focus), KeyPress set to another code types that.
void PruebaTexto::eventosDeTeclado()
{
    Ventana v;
    QVERIFY(v.Activa());
    QLineEdit* linea = v.Linea(0);
    QList<QPair<int, int>> abajo;
    QList<int> caracteres;
    connect(v.campos[0], &kt508::txtVEX::KeyDown, this, [&](int& codigo, int shift) {
        if (codigo < 16 || codigo > 18) // Shift, Ctrl and Alt by themselves
            abajo.append({codigo, shift});
        codigo = codigo == 88 || codigo == 13 ? 0 : codigo; // X, Enter
    });
    connect(v.campos[0], &kt508::txtVEX::KeyPress, this, [&](int& ascii) {
        caracteres.append(ascii);
        ascii = ascii == '5' ? 0 : ascii == '-' ? '_' : ascii;
    });
    QTest::keyClick(linea, Qt::Key_F4);
    QTest::keyClick(linea, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(linea, Qt::Key_1, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(abajo, (QList<QPair<int, int>>{{115, 0}, {66, 2}, {49, 5}}));
    QCOMPARE(caracteres, QList<int>{2});

    linea->clear();
    QTest::keyClicks(linea, u"a5x-X4"_s);
    QCOMPARE(v.campos[0]->Text(), u"a_4"_s);
    v.campos[0]->setTabonenter(true);
    QTest::keyClick(linea, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), linea);
}

// The editor's look-ups, "?" bare and "?" between quotes, write their result or "" for an
// unknown key; F2 or the button beside the field opens the list, Enter picks, Escape cancels.
void PruebaTexto::consultas()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    orbanel::Sesion::Establece(std::move(db), u"PRUEBAS"_s);
    Ventana v;
    QVERIFY(v.Activa());
    auto [grupo, descripcion, nombreCuenta] = v.campos;
    grupo->setIdconsulta(u"GRUPO_CENTRO_COSTO"_s);
    grupo->setSql(u"SELECT Gcc_Descripcion FROM Grupo_Centro_Costo WHERE Gcc_Cve_Grupo_Centro_Costo = ?"_s);
    grupo->setSqlControlResultado(u"txt_Gcc_Descripcion"_s);
    auto* cuenta = new TextoVex(&v.ventana);
    cuenta->setSql(u"select cc_descripcion from cuenta_contable where cc_cve_cuenta_contable = '?'"_s);
    cuenta->setSqlControlResultado(u"txtNCta"_s);

    const auto descripciones = [&] { return QStringList{descripcion->Text(), nombreCuenta->Text()}; };
    grupo->setText(u"000100"_s);
    cuenta->setText(u"5100-105"_s);
    QCOMPARE(descripciones(), (QStringList{u"COMERCIAL"_s, u"VENTAS NORTE"_s}));
    grupo->setText(u"999999"_s);
    cuenta->setText(u"x' OR '1'='1"_s); // the quote stays inside the literal: no row
    QCOMPARE(descripciones(), (QStringList{QString(), QString()}));

    // Opens the list by F2 or by the button, types into its filter, then presses the keys.
    const auto elige = [&](const QString& filtro, const QList<Qt::Key>& teclas, bool conBoton) {
        pruebas::EnModal([filtro, teclas](QWidget* modal) {
            if (auto* campo = modal ? modal->findChild<QLineEdit*>(u"txtFiltro"_s) : nullptr) {
                QTest::keyClicks(campo, filtro);
                for (Qt::Key tecla : teclas)
                    QTest::keyClick(campo, tecla);
            }
        });
        if (conBoton)
            QTest::mouseClick(grupo->findChild<QToolButton*>(u"btnLista"_s), Qt::LeftButton);
        else
            QTest::keyClick(v.Linea(0), Qt::Key_F2);
        return QStringList{grupo->Text(), descripcion->Text()};
    };
    QVERIFY(!descripcion->findChild<QToolButton*>(u"btnLista"_s)->isVisible());
    v.Linea(0)->setFocus();
    const QStringList operaciones{u"000200"_s, u"OPERACIONES"_s};
    QCOMPARE(elige(u"oper"_s, {Qt::Key_Return}, false), operaciones);
    QCOMPARE(elige(QString(), {Qt::Key_Down, Qt::Key_Escape}, true), operaciones);
    QCOMPARE(elige(QString(), {Qt::Key_Return}, false), operaciones); // the list opens on the value held

    // Typed and not yet left: the description is already that of the value typed.
    Teclea(v.Linea(0), u"000100"_s);
    QCOMPARE(descripcion->Text(), u"COMERCIAL"_s);
}

int EjecutaPruebasTexto(int argc, char** argv)
{
    PruebaTexto prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_texto.moc"
