// The screen controls as the windows drive them: toolbar, text field, tree, tabs, date.
#include "suite/ado/AdoConnection.h"
#include "suite/controls/ArbolVex.h"
#include "suite/controls/BarraControles.h"
#include "suite/controls/Esquema.h"
#include "suite/controls/FechaVex.h"
#include "suite/controls/ListaImagenes.h"
#include "suite/controls/PestanasVex.h"
#include "suite/controls/TextoVex.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include "kt508/services/Decimal.h"

#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <tuple>

using namespace Qt::StringLiterals;
using orbanel::ArbolVex;
using orbanel::BarraControles;
using orbanel::TextoVex;

namespace {

// A screen's toolbar (standard commands and exit) or a dialog's (caption and extras only).
std::unique_ptr<BarraControles> NuevaBarra(bool pantalla)
{
    auto barra = std::make_unique<BarraControles>();
    barra->setCaption(u"Catálogo de centros de costos"_s);
    barra->setShowexitbutton(pantalla ? u"SI"_s : u"NO"_s);
    barra->setShowwindowslist(pantalla ? u"SI"_s : u"NO"_s);
    barra->resize(900, 64);
    barra->show();
    return barra;
}

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
    // Types over the field's value as a keyboard would.
    void Teclea(int i, const QString& texto)
    {
        Linea(i)->setFocus();
        Linea(i)->selectAll();
        pruebas::Escribe(Linea(i), texto);
    }

    QWidget ventana;
    TextoVex* campos[3] = {};
};

// Pastes the text where the cursor is, as Ctrl+V does.
void Pega(QLineEdit* destino, const QString& texto)
{
    QGuiApplication::clipboard()->setText(texto);
    QTest::keyClick(destino, Qt::Key_V, Qt::ControlModifier);
}

enum Ajuste { Ninguno, Mayusculas, Mascara, Bloqueado, Numerico };

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
        QTest::mouseClick(vista->viewport(), Qt::LeftButton, {},
                          vista->visualItemRect(Item(clave)).center() + desplazamiento);
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

class TstControles : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { orbanel::Sesion::Cierra(); }
    void unaBanderaGobiernaUnSoloComando_data();
    void unaBanderaGobiernaUnSoloComando();
    void botonesDePantallaYDeDialogo();
    void camposAdicionales_data() { pruebas::agregaBackends(); }
    void camposAdicionales();
    void loQueQuedaAlTeclear_data();
    void loQueQuedaAlTeclear();
    void largoEnCaracteres();
    void numerosExactos_data();
    void numerosExactos();
    void enterPasaAlSiguienteCampo();
    void eventosDeTeclado();
    void consultas_data() { pruebas::agregaBackends(); }
    void consultas();
    void clavesOrdenYParentesco();
    void edicionDeEtiqueta();
    void eventosDelUsuario();
    void ramaProfunda();
    void pestanasFechaYColores();
};

void TstControles::unaBanderaGobiernaUnSoloComando_data()
{
    QTest::addColumn<int>("comando");
    QTest::addColumn<int>("bandera");
    QTest::addColumn<QByteArray>("senal");
    const auto fila = [](const char* nombre, BarraControles::Comando comando, int bandera, const char* senal) {
        QTest::newRow(nombre) << int(comando) << bandera << QByteArray(senal);
    };
    fila("Editar", BarraControles::cEditar, 1, SIGNAL(Editar()));
    fila("Imprimir", BarraControles::cImprimir, 2, SIGNAL(Imprimir()));
    fila("Reactivar", BarraControles::cReactivar, 3, SIGNAL(Reactivar()));
    fila("Eliminar", BarraControles::cEliminar, 4, SIGNAL(Eliminar()));
    fila("Consulta", BarraControles::cConsulta, 5, SIGNAL(Consulta()));
    fila("Nuevo", BarraControles::cNuevo, 6, SIGNAL(Nuevo()));
}

// With its own flag false a command cannot be raised, by click or by code, whatever the
// other flags say; with it true each click raises it once.
void TstControles::unaBanderaGobiernaUnSoloComando()
{
    QFETCH(int, comando);
    QFETCH(int, bandera);
    QFETCH(QByteArray, senal);
    auto barra = NuevaBarra(true);
    const auto cmd = static_cast<BarraControles::Comando>(comando);
    QSignalSpy lanzado(barra.get(), senal.constData());
    const auto pulsa = [&] {
        QTest::mouseClick(barra->Boton(cmd), Qt::LeftButton);
        return lanzado.count();
    };
    for (int n = 1; n <= 7; ++n)
        barra->setEnabledFlag(n, n != bandera);
    QCOMPARE(pulsa(), 0);
    QVERIFY(!barra->Lanza(cmd));
    barra->setEnabledFlag(bandera, true);
    QCOMPARE(pulsa(), 1);
    QVERIFY(barra->Lanza(cmd));
    barra->setEnabledFlag(bandera, false);
    QCOMPARE(pulsa(), 2);
}

// A screen's standard delete is a deactivation ("Baja"); the catalogue's physical delete is the
// extra button, withdrawn by an empty caption and offered again; its exit needs no flag. A
// dialog's bar shows no standard command even with every flag up, only its extras.
void TstControles::botonesDePantallaYDeDialogo()
{
    auto barra = NuevaBarra(true);
    QToolButton* b1 = barra->Boton(BarraControles::cB1);
    QCOMPARE(barra->Boton(BarraControles::cEliminar)->text(), u"Baja"_s);
    QSignalSpy eliminar(barra.get(), &kt508::Controles::Eliminar), extra(barra.get(), &kt508::Controles::B1Click),
        salir(barra.get(), &kt508::Controles::Salir);
    barra->setEnabled4(true);
    barra->setB1caption(QString());
    QVERIFY(!b1->isVisible());
    QVERIFY(!barra->Lanza(BarraControles::cB1));
    barra->setB1caption(u"Eliminar"_s);
    QVERIFY(b1->isVisible());
    QCOMPARE(b1->text(), u"Eliminar"_s);
    for (auto comando : {BarraControles::cEliminar, BarraControles::cB1, BarraControles::cSalir})
        QTest::mouseClick(barra->Boton(comando), Qt::LeftButton);
    QCOMPARE((QList<int>{int(eliminar.count()), int(extra.count()), int(salir.count())}), (QList<int>{1, 1, 1}));

    auto dialogo = NuevaBarra(false);
    dialogo->setB2caption(u"Cancelar"_s);
    for (int n = 1; n <= 7; ++n)
        dialogo->setEnabledFlag(n, true);
    for (auto comando : {BarraControles::cNuevo, BarraControles::cEditar, BarraControles::cEliminar,
                         BarraControles::cConsulta, BarraControles::cSalir}) {
        QVERIFY(!dialogo->Boton(comando)->isVisible());
        QVERIFY(!dialogo->Lanza(comando));
    }
    QSignalSpy cancelar(dialogo.get(), &kt508::Controles::B2Click);
    QTest::mouseClick(dialogo->Boton(BarraControles::cB2), Qt::LeftButton);
    QCOMPARE(cancelar.count(), 1);
}

// Load a key, refuse a missing obligatory field, edit through the dialog (enabled7), store,
// report a failing store (the caller's transaction and its rollback are the editor's to show).
// A value that fits its column (255 characters, an emoji one) goes through the dialog whole.
void TstControles::camposAdicionales()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    const QString zona = u"Zona norte "_s + u"🌵"_s.repeated(200);
    QVERIFY_SQL(db->Execute(u"INSERT INTO Campos_Adicionales_Def (Cad_Tabla, Cad_Campo, Cad_Etiqueta, Cad_Obligatorio, "
                            "Cad_Orden) VALUES ('Centro_Costo', 'RESP', 'Responsable', 1, 1), "
                            "('Centro_Costo', 'NOTAS', 'Notas', 0, 2)"_s));
    QVERIFY_SQL(db->Execute(u"INSERT INTO Campos_Adicionales (Ca_Tabla, Ca_Clave, Ca_Campo, Ca_Valor) "
                            "VALUES ('Centro_Costo', '105', 'NOTAS', '%1')"_s.arg(zona)));
    orbanel::ado::AdoConnection* conexion = db.get();
    orbanel::Sesion::Establece(std::move(db), u"PRUEBAS"_s);

    auto barra = NuevaBarra(false);
    barra->setOpcTable(u"Centro_Costo"_s);
    barra->setOpcKey(u"Cc_Cve_Centro_Costo"_s);
    QVERIFY_SQL(barra->LoadFields(u"105"_s));
    QVERIFY(!barra->ValidateFields());
    QVERIFY2(barra->ValidationMessage().contains(u"Responsable"_s), qPrintable(barra->ValidationMessage()));

    QToolButton* campos = barra->Boton(BarraControles::cCampos);
    QVERIFY(!campos->isEnabled());
    barra->setEnabled7(true);
    QString notas;
    pruebas::EnModal([&](QWidget* dialogo) {
        if (auto* d = qobject_cast<QDialog*>(dialogo)) {
            notas = d->findChild<QLineEdit*>(u"NOTAS"_s)->text();
            QTest::keyClicks(d->findChild<QLineEdit*>(u"RESP"_s), u"Ana Lopez"_s);
            d->accept();
        }
    });
    QTest::mouseClick(campos, Qt::LeftButton);
    QCOMPARE(notas, zona);
    QVERIFY(barra->ValidateFields());

    QVERIFY(barra->SaveFields(u"105"_s));
    const QString valor = u"SELECT Ca_Valor FROM Campos_Adicionales WHERE Ca_Clave = '105' AND Ca_Campo = '%1'"_s;
    QCOMPARE(pruebas::escalar(*conexion, valor.arg(u"RESP"_s)), QVariant(u"Ana Lopez"_s));
    QCOMPARE(pruebas::escalar(*conexion, valor.arg(u"NOTAS"_s)), QVariant(zona));
    conexion->failContaining(u"INSERT INTO Campos_Adicionales"_s);
    QVERIFY(!barra->SaveFields(u"105"_s));
    conexion->clearFailure();
}

void TstControles::loQueQuedaAlTeclear_data()
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
void TstControles::loQueQuedaAlTeclear()
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
    v.Teclea(0, tecleado);
    if (!pegado.isEmpty())
        v.Linea(0)->insert(pegado); // as a paste does
    QTest::keyClick(v.Linea(0), Qt::Key_Return);
    QCOMPARE(campo->Text(), esperado);
}

// The length counts characters as the databases do, an emoji one: typing beyond it is refused, a
// paste cut to what fits, never inside a character, and a text that code puts in is never cut
// (it only grows no more).
void TstControles::largoEnCaracteres()
{
    Ventana v;
    QVERIFY(v.Activa());
    TextoVex* campo = v.campos[0];
    QLineEdit* linea = v.Linea(0);
    campo->setMaxlength(5);
    QStringList vistos;
    v.Teclea(0, u"a🌵ñ🌵bc"_s);
    vistos << campo->Text();
    v.Teclea(0, u"ab🌵"_s);
    Pega(linea, u"x🌵yz"_s);
    vistos << campo->Text();
    v.Teclea(0, u"abc"_s);
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

void TstControles::numerosExactos_data()
{
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("mostrado");
    QTest::addColumn<QString>("numero"); // the Decimal's text; "" for a null value
    const auto fila = [](const char* nombre, const QString& tecleado, const QString& mostrado, const QString& numero) {
        QTest::newRow(nombre) << tecleado << mostrado << numero;
    };
    fila("catorce enteros y cuatro decimales", u"12345678901234.5678"_s, u"12345678901234.5678"_s,
         u"12345678901234.5678"_s);
    fila("el menor", u"-99999999999999.9999"_s, u"-99999999999999.9999"_s, u"-99999999999999.9999"_s);
    fila("formato 5", u"12.5"_s, u"12.5000"_s, u"12.5"_s);
    fila("separador de miles", u"1,250.75"_s, u"1250.7500"_s, u"1250.75"_s);
    // Beyond numeric(18,4): shown as typed, so that the save can tell it.
    fila("cinco decimales", u"1.23456"_s, u"1.23456"_s, u"1.23456"_s);
    fila("veinte enteros", u"99999999999999999999"_s, u"99999999999999999999.0000"_s, u"99999999999999999999"_s);
    fila("sin número", u"-"_s, u"-"_s, QString());
}

// A numeric field (format and type 5, 20 characters) typed, then Enter; and the same text put in
// by code, as the edit command puts the stored value: the number exact, never through a double.
void TstControles::numerosExactos()
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
    const auto visto = [campo] {
        const QVariant valor = campo->NumericValue();
        return QStringList{campo->Text(),
                           valor.metaType() == QMetaType::fromType<kt508::Decimal>()
                               ? valor.value<kt508::Decimal>().Texto()
                               : valor.toString()};
    };
    v.Teclea(0, tecleado);
    QTest::keyClick(v.Linea(0), Qt::Key_Return);
    QCOMPARE(visto(), (QStringList{mostrado, numero}));
    campo->setText(tecleado);
    QCOMPARE(visto(), (QStringList{mostrado, numero}));
}

// Enter moves on with tabonenter (also empty with tabonentervacio), passing over a field without tab stop.
void TstControles::enterPasaAlSiguienteCampo()
{
    Ventana v;
    QVERIFY(v.Activa());
    const auto enter = [&](int campo, const QString& texto, Qt::Key tecla = Qt::Key_Return) {
        v.Teclea(campo, texto);
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
void TstControles::eventosDeTeclado()
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
void TstControles::consultas()
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
    v.Teclea(0, u"000100"_s);
    QCOMPARE(descripcion->Text(), u"COMERCIAL"_s);
}

// Siblings placed around existing nodes, before and after the view took them in; a repeated
// key or an unknown relative is refused with the key named and leaves the tree as it was.
void TstControles::clavesOrdenYParentesco()
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
void TstControles::edicionDeEtiqueta()
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
// rename does) and from the branch sign; "*" opens every branch, and the leaves have none.
void TstControles::eventosDelUsuario()
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

    a.expandidos.clear();
    a.arbol->setSelectedItem(a.N("N0"));
    QTest::keyClick(a.vista, Qt::Key_Asterisk);
    QCOMPARE(a.expandidos, (QStringList{u"N100"_s}));
}

// Eighty levels of 20 pixels each in a view 400 wide: the view scrolls sideways, and the deepest
// node brought into view is on screen, text and all.
void TstControles::ramaProfunda()
{
    Arbol a;
    for (int nivel = 1; nivel <= 80; ++nivel)
        a.arbol->Add(u"N%1"_s.arg(nivel == 1 ? 200 : nivel - 1), kt508::tvwChild, u"N%1"_s.arg(nivel),
                     u"%1 - Nivel %1"_s.arg(nivel), 1);
    QVERIFY(QTest::qWaitForWindowExposed(&a.ventana));
    kt508::Node* hondo = a.N("N80");
    hondo->EnsureVisible();
    hondo->setSelected(true);
    QCoreApplication::processEvents();
    QVERIFY(a.vista->horizontalScrollBar()->isVisible());
    const QRect fila = a.vista->visualItemRect(a.Item("N80"));
    const int texto = fila.left() + a.vista->iconSize().width();
    QVERIFY2(a.vista->viewport()->rect().contains(QPoint(texto, fila.center().y())) && fila.left() >= 0,
             qPrintable(u"fila en x=%1"_s.arg(fila.left())));
    QVERIFY(a.vista->columnWidth(0) > fila.left() + a.vista->horizontalScrollBar()->value());
}

// Tabs raise Click with the page left behind, by code and by the user, only on a change; a date
// may be left empty, and shows so; colours are written &HBBGGRR.
void TstControles::pestanasFechaYColores()
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

    orbanel::FechaVex fecha;
    fecha.setValue(QDate(2024, 2, 29));
    QCOMPARE(fecha.Value(), QDate(2024, 2, 29));
    fecha.setValue(QDate());
    QVERIFY(!fecha.Value().isValid());
    QVERIFY(fecha.findChild<QDateEdit*>()->text().trimmed().isEmpty());
    QCOMPARE(orbanel::ColorVB(0xC9B189), QColor(0x89, 0xB1, 0xC9));
}

QTEST_MAIN(TstControles)
#include "tst_controls.moc"
