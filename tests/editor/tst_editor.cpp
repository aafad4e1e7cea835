// The cost-centre editor, opened from the catalogue's toolbar and driven with keys: its checks,
// the New and Edit paths on every backend, and the rollback of every statement of the save.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/editor/frmCATAddCeCo.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/Publico.h"
#include "suite/ado/AdoConnection.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <functional>
#include <memory>

using pruebas::Componente;
using pruebas::Contenido;

namespace {

const QDateTime Reloj(QDate(2026, 3, 14), QTime(9, 26, 53));

QVariant Columna(Componente& c, const QString& columna, const QString& clave)
{
    return pruebas::escalar(c.db(), QStringLiteral("SELECT %1 FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '%2'")
                                        .arg(columna, clave));
}

QStringList Columnas(Componente& c, const QString& clave, const QList<const char*>& columnas)
{
    QStringList valores;
    for (const char* columna : columnas)
        valores << Columna(c, QLatin1String(columna), clave).toString();
    return valores;
}

void Parametro(Componente& c, const QString& nombre, const QString& valor)
{
    c.db().ExecuteParams(QStringLiteral("UPDATE Parametros SET Valor = ? WHERE Parametro = ?"), {valor, nombre});
}

void Selecciona(frmKT508& frm, const QString& clave)
{
    kt508::Node* nodo = frm.tvCeCos->Nodes(QLatin1Char('N') + clave);
    nodo->EnsureVisible();
    frm.tvCeCos->setSelectedItem(nodo);
    emit frm.tvCeCos->NodeClick(nodo);
}

// Gives the order; the action runs on the editor it opens (nullptr when none opens) and has
// run when this returns, so that it cannot act on a later window.
void EnEditor(const std::function<void()>& orden, const std::function<void(frmCATAddCeCo*)>& accion)
{
    auto hecho = std::make_shared<bool>(false);
    pruebas::EnModal(
        [accion, hecho](QWidget* modal) {
            accion(qobject_cast<frmCATAddCeCo*>(modal));
            *hecho = true;
        },
        500);
    orden();
    QTRY_VERIFY(*hecho);
}

void Pulsa(frmKT508& frm, const char* boton, const std::function<void(frmCATAddCeCo*)>& accion)
{
    EnEditor([&] { QTest::mouseClick(frm.Controles->findChild<QToolButton*>(QLatin1String(boton)), Qt::LeftButton); },
             accion);
}

// What the user types into a field, replacing its text, and Tab to leave it.
void Teclea(kt508::txtVEX* campo, const QString& texto)
{
    campo->setFocus();
    QWidget* linea = campo->focusProxy() ? campo->focusProxy() : campo;
    QTest::keyClick(linea, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(linea, Qt::Key_Delete);
    for (const QChar letra : texto) {
        if (letra.unicode() < 128)
            QTest::keyClick(linea, letra.toLatin1());
        else // a letter outside ASCII arrives with no key code
            QTest::sendKeyEvent(QTest::Click, linea, Qt::Key_unknown, QString(letra), Qt::NoModifier);
    }
    QTest::keyClick(linea, Qt::Key_Tab);
}

void Pagina(frmCATAddCeCo* ed, Qt::Key digito)
{
    pruebas::Tecla(ed, digito, Qt::AltModifier);
}

} // namespace

class TstEditor : public QObject {
    Q_OBJECT

private slots:
    void validacion_data();
    void validacion();
    void nuevo_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void nuevo();
    void editar_data() { pruebas::agregaBackends(); }
    void editar();
    void rollback_data();
    void rollback();
    void argumentosDeLaCuenta_data();
    void argumentosDeLaCuenta();
    void teclasYPaginas();
    void claveConBlancos();
    void sentencias();
    void claveAutomatica();
    void rechazosDelCatalogo();
};

// One row per check, in their order; each starts on the user page, so the focus must come
// back to the general page with the field at fault.
void TstEditor::validacion_data()
{
    QTest::addColumn<QString>("clave");
    QTest::addColumn<QString>("descripcion");
    QTest::addColumn<QString>("grupo");
    QTest::addColumn<QString>("cuenta");
    QTest::addColumn<bool>("obligatorio");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("estilo");
    QTest::addColumn<QString>("errId");
    QTest::addColumn<QString>("foco");

    QTest::newRow("duplicada") << "105" << "" << "000000" << "" << false << "La clave 105 ya existe, especifique otra"
                               << 16 << "ERR-ID:7500001" << "txtClave";
    QTest::newRow("vacia") << "" << "" << "" << "" << false << "Debe especificar una clave para el CECO!" << 48
                           << "ERR-ID:7500002" << "txtClave";
    QTest::newRow("blancos") << "   " << "x" << "000000" << "" << false << "Debe especificar una clave para el CECO!"
                             << 48 << "ERR-ID:7500002" << "txtClave";
    QTest::newRow("sin descripcion") << "70" << "" << "000000" << "" << false << "Debe especificar una descripción!"
                                     << 48 << "ERR-ID:7500003" << "txtTexto";
    QTest::newRow("grupo desconocido") << "70" << "  " << "999999" << "" << false
                                       << "Debe especificar un grupo válido!" << 48 << "ERR-ID:7500004"
                                       << "txt_Gcc_Cve_Grupo_Centro_Costo";
    QTest::newRow("cuenta desconocida") << "70" << "x" << "000100" << "9999" << false
                                        << "Debe especificar un cuenta contable válida!" << 48 << "ERR-ID:7500005"
                                        << "txtCuenta";
    QTest::newRow("campo adicional") << "70" << "x" << "000100" << "5200" << true
                                     << "Falta capturar el campo adicional obligatorio \"Responsable\"." << 16
                                     << "ERR-ID:7500034" << "";
}

void TstEditor::validacion()
{
    QFETCH(QString, clave);
    QFETCH(QString, descripcion);
    QFETCH(QString, grupo);
    QFETCH(QString, cuenta);
    QFETCH(bool, obligatorio);
    QFETCH(QString, texto);
    QFETCH(int, estilo);
    QFETCH(QString, errId);
    QFETCH(QString, foco);

    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    Parametro(c, QStringLiteral("FTO_CENTRO_COSTO"), QStringLiteral("XXXXXX")); // blanks may be typed
    c.db().Execute(QStringLiteral("UPDATE Campos_Adicionales_Def SET Cad_Obligatorio = %1").arg(obligatorio ? 1 : 0));
    frmKT508& frm = c.Carga();
    Selecciona(frm, QStringLiteral("100"));
    const QString antes = pruebas::volcado(c.db());

    bool abierto = false;
    bool enfocado = false;
    int pagina = -1;
    Pulsa(frm, "btnNuevo", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        Teclea(ed->txtClave, clave);
        Teclea(ed->txtTexto, descripcion);
        Teclea(ed->txt_Gcc_Cve_Grupo_Centro_Costo, grupo);
        Teclea(ed->txtCuenta, cuenta);
        Pagina(ed, Qt::Key_2);
        pruebas::Tecla(ed, Qt::Key_F4);
        abierto = ed->isVisible();
        pagina = ed->ssTabVex->Tab();
        auto* campo = ed->findChild<kt508::txtVEX*>(foco);
        enfocado = foco.isEmpty() ? pagina == 1 : campo && campo->hasFocus();
        pruebas::Tecla(ed, Qt::Key_Escape);
    });

    const auto mensajes = c.dobles.datos->Mensajes();
    QCOMPARE(mensajes.size(), 1);
    QCOMPARE(mensajes[0].texto, texto);
    QCOMPARE(mensajes[0].estilo, estilo);
    QCOMPARE(mensajes[0].errId, errId);
    QCOMPARE(mensajes[0].titulo, obligatorio ? QStringLiteral("Capturar campos adicionales") : QStringLiteral("Aceptar"));
    QCOMPARE(mensajes[0].modulo, obligatorio ? QStringLiteral("KT611") : QStringLiteral("KT508"));
    QVERIFY(abierto);
    QVERIFY2(enfocado, qPrintable(foco));
    QCOMPARE(pruebas::volcado(c.db()), antes);
}

void TstEditor::nuevo()
{
    QFETCH(QString, backend);
    for (const QString& padre : {QStringLiteral("0"), QStringLiteral("2011")}) {
        Componente c(backend, Contenido::Demo);
        c.dobles.utilerias->reloj = Reloj;
        frmKT508& frm = c.Carga();
        Selecciona(frm, padre);
        const QString textoRaro = QStringLiteral("O'Brien \\ 100% «ñú» ").leftJustified(50, QLatin1Char('x'));
        QString vistoEnDato3;
        Pulsa(frm, "btnNuevo", [&](frmCATAddCeCo* ed) {
            if (!ed)
                return;
            QVERIFY(ed->txtTexto->hasFocus());
            Teclea(ed->txtClave, QStringLiteral("77"));
            Teclea(ed->txtTexto, textoRaro);
            Pagina(ed, Qt::Key_2);
            Teclea(ed->txtUser1, textoRaro);
            Teclea(ed->txtUser3, QStringLiteral("12.5"));
            vistoEnDato3 = ed->txtUser3->Text();
            pruebas::Tecla(ed, Qt::Key_F4);
        });
        QVERIFY2(c.dobles.datos->Mensajes().isEmpty(), qPrintable(c.dobles.datos->Mensajes().value(0).texto));
        QCOMPARE(vistoEnDato3, QStringLiteral("12.5000"));

        // The generated account goes under the configured parent, named after the group.
        QCOMPARE(Columnas(c, QStringLiteral("77"),
                          {"CC_Acumula", "CC_Descripcion", "Cc_UserDef_1", "Cc_Analizar", "Gcc_Cve_Grupo_Centro_Costo",
                           "CC_Tipo", "Es_Cve_Estado", "Oper_Alta", "CC_Cuenta_Contable"}),
                 (QStringList{padre, textoRaro, textoRaro, "SI", "000100", "0", "AC", "PRUEBAS", "5100-2012"}));
        QCOMPARE(Columna(c, QStringLiteral("Cc_UserDef_3"), QStringLiteral("77")).toDouble(), 12.5);
        QCOMPARE(Columna(c, QStringLiteral("Fecha_Alta"), QStringLiteral("77")).toDateTime(), Reloj);
        QCOMPARE(pruebas::escalar(c.db(), QStringLiteral("SELECT Cc_Descripcion FROM Cuenta_Contable WHERE "
                                                         "Cc_Cve_Cuenta_Contable = '5100-2012' AND Cc_Cuenta_Padre = '5100'"))
                     .toString(),
                 QStringLiteral("COMERCIAL"));
        if (padre != QLatin1String("0")) {
            QCOMPARE(Columna(c, QStringLiteral("CC_Tipo"), padre).toInt(), 1);
            QCOMPARE(Columna(c, QStringLiteral("Fecha_Ult_Modif"), padre).toDateTime(), Reloj);
        }

        kt508::Node* nuevo = frm.tvCeCos->Nodes(QStringLiteral("N77"));
        QVERIFY(nuevo);
        QCOMPARE(nuevo->Parent()->Key(), QLatin1Char('N') + padre);
        QCOMPARE(frm.tvCeCos->SelectedItem(), nuevo->Parent());
        for (kt508::Node* n = nuevo->Parent(); n; n = n->Parent())
            QVERIFY(n->Expanded());
        QWidget* foco = frm.focusWidget(); // the catalogue's, whether or not its window is active now
        QVERIFY(foco == frm.tvCeCos || frm.tvCeCos->isAncestorOf(foco));
        QVERIFY(frm.findChildren<frmCATAddCeCo*>().isEmpty()); // unloaded after use
    }
}

void TstEditor::editar()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Demo);
    c.dobles.utilerias->reloj = Reloj;
    c.db().Execute(QStringLiteral("UPDATE Centro_Costo SET Cc_Analizar = 'si', Cc_UserDef_5 = NULL, "
                                  "Cc_UserDef_6 = '2024-02-29' WHERE CC_Cve_Centro_Costo = '105'"));
    const QList<const char*> fijas = {"CC_Acumula", "CC_Tipo", "Oper_Alta", "Fecha_Alta", "Es_Cve_Estado"};
    const QStringList antes = Columnas(c, QStringLiteral("105"), fijas);
    frmKT508& frm = c.Carga();
    Selecciona(frm, QStringLiteral("105"));
    const int nodos = frm.tvCeCos->Count();

    bool claveBloqueada = false;
    bool analizar = true;
    bool focoEnTexto = false;
    QDate dato5;
    QDate dato6;
    QString mes;
    Pulsa(frm, "btnEditar", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        claveBloqueada = !ed->txtClave->isEnabled();
        analizar = ed->chkAnalizar->isChecked();
        focoEnTexto = ed->txtTexto->hasFocus();
        dato5 = ed->dpUser5->Value();
        dato6 = ed->dpUser6->Value();
        QCalendarWidget* calendario = ed->dpUser6->findChild<QDateEdit*>()->calendarWidget();
        mes = calendario->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"))->text();
        Teclea(ed->txtTexto, QStringLiteral("Ventas del norte"));
        Pagina(ed, Qt::Key_2);
        ed->dpUser6->setFocus();
        pruebas::Tecla(ed, Qt::Key_Delete); // the user empties the date
        pruebas::Tecla(ed, Qt::Key_F4);
    });
    QVERIFY(c.dobles.datos->Mensajes().isEmpty());
    QVERIFY(claveBloqueada);
    QVERIFY(!analizar);
    QVERIFY(focoEnTexto);
    QVERIFY(!dato5.isValid());
    QCOMPARE(dato6, QDate(2024, 2, 29));
    QCOMPARE(mes, QStringLiteral("febrero")); // the calendar speaks the suite's language

    QCOMPARE(Columna(c, QStringLiteral("CC_Descripcion"), QStringLiteral("105")).toString(),
             QStringLiteral("Ventas del norte"));
    QCOMPARE(Columna(c, QStringLiteral("Cc_Analizar"), QStringLiteral("105")).toString(), QStringLiteral("NO"));
    QVERIFY(Columna(c, QStringLiteral("Cc_UserDef_5"), QStringLiteral("105")).isNull());
    QVERIFY(Columna(c, QStringLiteral("Cc_UserDef_6"), QStringLiteral("105")).isNull());
    QCOMPARE(Columna(c, QStringLiteral("Cc_UserDef_2"), QStringLiteral("105")).toString(), QStringLiteral("Laura Garza"));
    QCOMPARE(Columna(c, QStringLiteral("Cc_UserDef_3"), QStringLiteral("105")).toDouble(), 1250000.0);
    QCOMPARE(Columna(c, QStringLiteral("Fecha_Ult_Modif"), QStringLiteral("105")).toDateTime(), Reloj);
    QCOMPARE(Columnas(c, QStringLiteral("105"), fijas), antes);
    // The record-bound fields loaded for the centre are stored back unchanged.
    QCOMPARE(pruebas::escalar(c.db(), QStringLiteral("SELECT Ca_Valor FROM Campos_Adicionales WHERE Ca_Clave = '105' "
                                                     "AND Ca_Campo = 'RESPONSABLE'"))
                 .toString(),
             QStringLiteral("Laura Garza"));

    QCOMPARE(frm.tvCeCos->Nodes(QStringLiteral("N105"))->Text(), QStringLiteral("105 - Ventas del norte"));
    QCOMPARE(frm.tvCeCos->Count(), nodos);
    QVERIFY(frm.tvCeCos->SelectedItem());
    QCOMPARE(frm.tvCeCos->SelectedItem()->Key(), QStringLiteral("N105"));
}

// Each statement of the save failing in turn, and each refusal: the message of its step,
// and the whole database as it was.
void TstEditor::rollback_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<bool>("edicion");
    QTest::addColumn<QString>("falla");
    QTest::addColumn<QString>("ajuste");
    QTest::addColumn<QString>("errId");
    QTest::addColumn<QString>("texto");

    const QString generacion = QStringLiteral("Genera_Cuenta_Contable() - \r\n");
    for (const QString& b : pruebas::backends()) {
        auto fila = [&](const char* nombre) -> QTestData& {
            return QTest::newRow(qPrintable(b + QLatin1Char(' ') + QLatin1String(nombre))) << b;
        };
        fila("padre") << false << "UPDATE Centro_Costo SET CC_Tipo" << "" << "ERR-ID:7500008" << "*";
        fila("insert") << false << "INSERT INTO Centro_Costo" << "" << "ERR-ID:7500008" << "*";
        fila("campos adicionales") << false << "DELETE FROM Campos_Adicionales" << ""
                                    << "ERR-ID:7500006" << "Imposible actualizar campos adicionales";
        fila("cuenta padre leida") << false << "SELECT * FROM Cuenta_Contable" << "" << "ERR-ID:7500006"
                                    << generacion + QStringLiteral("*");
        fila("alta de cuenta") << false << "INSERT INTO Cuenta_Contable" << "" << "ERR-ID:7500006"
                                << generacion + QStringLiteral("No se pudo dar de alta la cuenta contable: *");
        fila("cuenta del centro") << false << "   Cc_Cuenta_Contable = " << "" << "ERR-ID:7500006"
                                   << generacion + QStringLiteral("*");
        fila("bitacora") << false << "INSERT INTO Bitacora_Cambios" << "" << "ERR-ID:7500007"
                          << "No se pudo confirmar el cambio: *";
        fila("cuenta padre inexistente") << false << "" << "cuenta" << "ERR-ID:7500006"
                                          << generacion + QStringLiteral("La cuenta padre 9999 no existe");
        fila("cambio rechazado") << false << "" << "rechazo" << "ERR-ID:7500007" << "Jerarquía rechazada";
        fila("padre borrado por otro") << false << "" << "padre" << "ERR-ID:7500007" << "*105, que no existe.";
        fila("update") << true << "UPDATE Centro_Costo SET " << "" << "ERR-ID:7500008" << "*";
        if (b != QLatin1String("sqlite")) // a number the column cannot hold; SQLite keeps it
            fila("dato 3 fuera de rango") << false << "" << "limite" << "ERR-ID:7500008" << "*";
    }
}

void TstEditor::rollback()
{
    QFETCH(QString, backend);
    QFETCH(bool, edicion);
    QFETCH(QString, falla);
    QFETCH(QString, ajuste);
    QFETCH(QString, errId);
    QFETCH(QString, texto);

    Componente c(backend, Contenido::Demo);
    if (ajuste == QLatin1String("cuenta"))
        Parametro(c, QStringLiteral("CON_CUENTA_PADRE_CENTRO_COSTO"), QStringLiteral("9999"));
    if (ajuste == QLatin1String("rechazo"))
        c.dobles.utilerias->rechazoValidaCambio = QStringLiteral("Jerarquía rechazada");
    frmKT508& frm = c.Carga();
    Selecciona(frm, QStringLiteral("105"));
    if (ajuste == QLatin1String("padre"))
        c.db().Execute(QStringLiteral("DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '105'"));
    const QString antes = pruebas::volcado(c.db());

    bool abierto = false;
    Pulsa(frm, edicion ? "btnEditar" : "btnNuevo", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        if (!edicion)
            Teclea(ed->txtClave, QStringLiteral("77"));
        Teclea(ed->txtTexto, QStringLiteral("Nuevo"));
        if (ajuste == QLatin1String("limite")) {
            Pagina(ed, Qt::Key_2);
            Teclea(ed->txtUser3, QStringLiteral("99999999999999999999"));
        }
        if (!falla.isEmpty())
            c.db().failContaining(falla);
        pruebas::Tecla(ed, Qt::Key_F4);
        c.db().clearFailure();
        abierto = ed->isVisible() && !ed->Add;
        pruebas::Tecla(ed, Qt::Key_Escape);
    });
    const auto mensajes = c.dobles.datos->Mensajes();
    QCOMPARE(mensajes.size(), 1);
    QVERIFY2(QRegularExpression(QRegularExpression::wildcardToRegularExpression(texto)).match(mensajes[0].texto).hasMatch(),
             qPrintable(mensajes[0].texto));
    QCOMPARE(mensajes[0].errId, errId);
    QCOMPARE(mensajes[0].estilo, errId == QLatin1String("ERR-ID:7500008") ? 48 : 16);
    QVERIFY(abierto);
    QCOMPARE(pruebas::volcado(c.db()), antes);
}

// The nine arguments taken from the parent account; comparisons are exact, a null is no match,
// and a type that is no number fails the generation (and so the save).
void TstEditor::argumentosDeLaCuenta_data()
{
    QTest::addColumn<QString>("valores"); // CC_Tipo, Cc_Titulo, Cc_Naturaleza, Cc_Resultado
    QTest::addColumn<int>("naturaleza");
    QTest::addColumn<bool>("resultado");
    QTest::addColumn<QString>("fallo");
    QTest::newRow("AC y SI") << "1, 0, 'AC', 'SI'" << 0 << true << "";
    QTest::newRow("minusculas") << "0, 1, 'ac', 'si'" << 1 << false << "";
    QTest::newRow("nulos") << "1, 1, NULL, NULL" << 1 << false << "";
    QTest::newRow("tipo nulo") << "NULL, 1, 'AC', 'SI'" << 0 << false << "Genera_Cuenta_Contable() - \r\nUso no válido de Null";
}

void TstEditor::argumentosDeLaCuenta()
{
    QFETCH(QString, valores);
    QFETCH(int, naturaleza);
    QFETCH(bool, resultado);
    QFETCH(QString, fallo);
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    const QStringList v = valores.split(QStringLiteral(", "));
    c.db().Execute(QStringLiteral("UPDATE Cuenta_Contable SET CC_Tipo = %1, Cc_Titulo = %2, Cc_Naturaleza = %3, "
                                  "Cc_Resultado = %4 WHERE Cc_Cve_Cuenta_Contable = '5100'")
                       .arg(v[0], v[1], v[2], v[3]));
    // Longer than any group description the schema stores, as another suite's look-up may give it.
    const QString grupo = QStringLiteral("GRUPO DE NOMBRE LARGO ").leftJustified(51, QLatin1Char('x'));
    frmKT508& frm = c.Carga();
    Selecciona(frm, QStringLiteral("0"));
    const QString antes = pruebas::volcado(c.db());
    Pulsa(frm, "btnNuevo", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        Teclea(ed->txtClave, QStringLiteral("77"));
        Teclea(ed->txtTexto, QStringLiteral("Nuevo"));
        ed->txt_Gcc_Descripcion->setText(grupo);
        pruebas::Tecla(ed, Qt::Key_F4);
        if (ed->isVisible())
            pruebas::Tecla(ed, Qt::Key_Escape);
    });

    const auto mensajes = c.dobles.datos->Mensajes();
    if (!fallo.isEmpty()) {
        QCOMPARE(mensajes.size(), 1);
        QCOMPARE(mensajes[0].texto, fallo);
        QCOMPARE(mensajes[0].errId, QStringLiteral("ERR-ID:7500006"));
        QCOMPARE(pruebas::volcado(c.db()), antes);
        return;
    }
    QVERIFY(mensajes.isEmpty());
    QCOMPARE(c.dobles.utilerias->altasCuenta.size(), 1);
    const pruebas::LlamadaAltaCuenta& a = c.dobles.utilerias->altasCuenta[0];
    QCOMPARE(a.cuentaPadre, QStringLiteral("5100"));
    QCOMPARE(a.descripcion, grupo.left(50));
    QCOMPARE(QList<int>({a.tipo, a.titulo, a.naturaleza}), QList<int>({v[0].toInt(), v[1].toInt(), naturaleza}));
    QVERIFY(a.afectable);
    QCOMPARE(a.resultado, resultado);
    QCOMPARE(a.vacio, QString());
    QCOMPARE(a.grupo, QStringLiteral("GAS"));
}

void TstEditor::teclasYPaginas()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    frmKT508& frm = c.Carga();
    Selecciona(frm, QStringLiteral("105"));
    const QString antes = pruebas::volcado(c.db());

    QList<int> paginas;
    QList<bool> marcos;
    QList<bool> enfocada;
    bool enterPasa = false;
    bool listaNoCancela = false;
    bool escapeCancela = false;
    bool cierreCancela = false;
    Pulsa(frm, "btnNuevo", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        auto anota = [&] {
            paginas << ed->ssTabVex->Tab();
            marcos << ed->fr1->isEnabled() << ed->fr2->isEnabled();
            // The keys go on to the page shown, not nowhere.
            QWidget* foco = QApplication::focusWidget();
            enfocada << ((ed->ssTabVex->Tab() == 0 ? ed->fr1 : ed->fr2)->isAncestorOf(foco)
                         && !ed->txtPadre->isAncestorOf(foco));
        };
        Teclea(ed->txtClave, QStringLiteral("77"));
        Teclea(ed->txtTexto, QStringLiteral("Nuevo"));
        Pagina(ed, Qt::Key_2);
        anota();
        pruebas::Tecla(ed, Qt::Key_1, Qt::AltModifier | Qt::ShiftModifier); // not exactly Alt: nothing
        pruebas::Tecla(ed, Qt::Key_F4, Qt::AltModifier);                     // neither a save nor a page
        anota();
        Pagina(ed, Qt::Key_1);
        anota();
        // Alt let go a moment before the digit, as quick fingers do: still Alt+2.
        QWindow* ventana = ed->windowHandle();
        QTest::keyPress(ventana, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyPress(ventana, Qt::Key_2, Qt::AltModifier);
        QTest::keyRelease(ventana, Qt::Key_Alt);
        QEvent entre(QEvent::User); // the platform never hands over two releases back to back
        QCoreApplication::sendEvent(ed, &entre);
        QTest::keyRelease(ventana, Qt::Key_2);
        anota();
        Pagina(ed, Qt::Key_1);

        ed->chkAnalizar->setFocus();
        pruebas::Tecla(ed, Qt::Key_Return);
        QApplication::processEvents();
        enterPasa = !ed->chkAnalizar->hasFocus() && ed->isVisible();
        ed->ssTabVex->setFocus();
        pruebas::Tecla(ed, Qt::Key_Return);
        QApplication::processEvents();
        enterPasa = enterPasa && !ed->ssTabVex->hasFocus() && ed->isVisible();

        // Escape that closes the group's list is released over the editor: that is no cancel.
        ed->txt_Gcc_Cve_Grupo_Centro_Costo->setFocus();
        pruebas::EnModal(
            [](QWidget* lista) {
                if (lista)
                    QTest::keyPress(lista->windowHandle(), Qt::Key_Escape);
            },
            500);
        pruebas::Tecla(ed, Qt::Key_F2);
        QTest::keyRelease(ed->windowHandle(), Qt::Key_Escape);
        listaNoCancela = ed->isVisible();

        pruebas::Tecla(ed, Qt::Key_Escape);
        escapeCancela = !ed->isVisible() && !ed->Add;
        ed->show();
        ed->Add = true;
        ed->windowHandle()->close(); // the close command of the frame
        cierreCancela = !ed->isVisible() && !ed->Add;
    });
    QCOMPARE(paginas, (QList<int>{1, 1, 0, 1}));
    QCOMPARE(marcos, (QList<bool>{false, true, false, true, true, false, false, true}));
    QCOMPARE(enfocada, (QList<bool>{true, true, true, true}));
    QVERIFY(enterPasa);
    QVERIFY(listaNoCancela);
    QVERIFY(escapeCancela);
    QVERIFY(cierreCancela);
    QVERIFY(c.dobles.datos->Mensajes().isEmpty());
    QCOMPARE(pruebas::volcado(c.db()), antes);
    QVERIFY(frm.tvCeCos->Nodes(QStringLiteral("N105"))); // cancelled: the tree untouched
}

// The key is looked up and handed on as typed, and stored trimmed: the generated account is
// created, but its UPDATE (by the key as typed) finds no row, and the tree is not positioned.
void TstEditor::claveConBlancos()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    Parametro(c, QStringLiteral("FTO_CENTRO_COSTO"), QStringLiteral("XXXXXX"));
    frmKT508& frm = c.Carga();
    Selecciona(frm, QStringLiteral("0"));
    c.db().setRecording(true);
    Pulsa(frm, "btnNuevo", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        Teclea(ed->txtClave, QStringLiteral("  12 "));
        Teclea(ed->txtTexto, QStringLiteral("Con blancos"));
        pruebas::Tecla(ed, Qt::Key_F4);
    });
    QVERIFY2(c.dobles.datos->Mensajes().isEmpty(), qPrintable(c.dobles.datos->Mensajes().value(0).texto));
    QCOMPARE(Columna(c, QStringLiteral("CC_Descripcion"), QStringLiteral("12")).toString(), QStringLiteral("Con blancos"));
    QCOMPARE(Columna(c, QStringLiteral("CC_Cuenta_Contable"), QStringLiteral("12")).toString(), QString());
    QVERIFY(c.db().recorded().contains(
        QStringLiteral("UPDATE Centro_Costo SET    Cc_Cuenta_Contable = '5100-2012' WHERE Cc_Cve_Centro_Costo = '  12 ' ")));
    QVERIFY(frm.tvCeCos->Nodes(QStringLiteral("N12")));
    QVERIFY(!frm.tvCeCos->SelectedItem()); // left as rebuilt
    // The change is confirmed and recorded for the key the store holds; only blanks are dropped.
    QCOMPARE(pruebas::escalar(c.db(), QStringLiteral("SELECT Bc_Clave FROM Bitacora_Cambios")).toString(),
             QStringLiteral("12"));
    QVERIFY(!Publico::Utilerias->ValidaCambio(QStringLiteral("CENTRO_COSTO"), QStringLiteral("\t12"), QString()));
}

// The texts the save sends, piece by piece: blanks, quotes and capitals as the store expects them.
void TstEditor::sentencias()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    c.dobles.utilerias->reloj = Reloj;
    frmKT508& frm = c.Carga();
    Selecciona(frm, QStringLiteral("105"));
    c.db().setRecording(true);
    Pulsa(frm, "btnNuevo", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        Teclea(ed->txtClave, QStringLiteral("77"));
        Teclea(ed->txtTexto, QStringLiteral("D'Ávila"));
        Teclea(ed->txtCuenta, QStringLiteral("5200"));
        Pagina(ed, Qt::Key_2);
        Teclea(ed->txtUser1, QStringLiteral("u1"));
        Teclea(ed->txtUser4, QStringLiteral("-3.25"));
        ed->dpUser5->setFocus();
        pruebas::Tecla(ed, Qt::Key_Delete);
        ed->dpUser6->setValue(QDate(2024, 2, 29));
        pruebas::Tecla(ed, Qt::Key_F4);
    });
    Selecciona(frm, QStringLiteral("77"));
    Pulsa(frm, "btnEditar", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        ed->chkAnalizar->setChecked(false);
        pruebas::Tecla(ed, Qt::Key_F4);
    });
    QVERIFY2(c.dobles.datos->Mensajes().isEmpty(), qPrintable(c.dobles.datos->Mensajes().value(0).texto));

    const QStringList enviadas = c.db().recorded();
    const QString hora = QStringLiteral("'2026-03-14 09:26:53'");
    for (const QString& esperada :
         {QStringLiteral("UPDATE Centro_Costo SET CC_Tipo = 1,    Oper_Ult_Modif = 'PRUEBAS',   Fecha_Ult_Modif = ")
              + hora + QStringLiteral("WHERE CC_Cve_Centro_Costo = '105'"),
          QStringLiteral("INSERT INTO Centro_Costo (   CC_Acumula,    CC_Cve_Centro_Costo,    Gcc_Cve_Grupo_Centro_Costo, "
                         "   CC_Descripcion,    CC_Cuenta_Contable,   Cc_Analizar,    Cc_UserDef_1,    Cc_UserDef_2,    "
                         "Cc_UserDef_3,    Cc_UserDef_4,    Cc_UserDef_5,    Cc_UserDef_6,    Oper_Alta,   Fecha_Alta,"
                         "   Oper_Ult_Modif,   Fecha_Ult_Modif) VALUES('105', '77', '000100', 'D''Ávila', '5200', "
                         "'SI', 'u1', '', 0, -3.25, NULL, '2024-02-29', 'PRUEBAS',")
              + hora + QStringLiteral(",'PRUEBAS',") + hora + QStringLiteral(")"),
          QStringLiteral("UPDATE Centro_Costo SET    Cc_Descripcion = 'D''Ávila',    Cc_Cuenta_Contable = '5200',    "
                         "Gcc_Cve_Grupo_Centro_Costo = '000100',    Cc_Analizar = 'NO',    Cc_UserDef_1 = 'u1',    "
                         "Cc_UserDef_2 = '',    Cc_UserDef_3 = 0,    Cc_UserDef_4 = -3.25,    Cc_UserDef_5 = NULL,    "
                         "Cc_UserDef_6 = '2024-02-29',    Oper_Ult_Modif = 'PRUEBAS',   Fecha_Ult_Modif= ")
              + hora + QStringLiteral("WHERE Cc_Cve_Centro_Costo = '77' ")})
        QVERIFY2(enviadas.contains(esperada), qPrintable(esperada + QStringLiteral("\n") + enviadas.join(u'\n')));
}

void TstEditor::claveAutomatica()
{
    for (const QString& valor : {QStringLiteral("1"), QStringLiteral("0")}) {
        Componente c(QStringLiteral("sqlite"), Contenido::Demo);
        Parametro(c, QStringLiteral("CAT_AUTOCLAVE"), valor);
        const int mayor = pruebas::escalar(c.db(), QStringLiteral("SELECT MAX(CAST(CC_Cve_Centro_Costo AS INTEGER)) "
                                                                  "FROM Centro_Costo"))
                              .toInt();
        frmKT508& frm = c.Carga();
        Selecciona(frm, QStringLiteral("0"));
        QString propuesta = QStringLiteral("(sin editor)");
        Pulsa(frm, "btnNuevo", [&](frmCATAddCeCo* ed) {
            if (!ed)
                return;
            propuesta = ed->txtClave->Text();
            pruebas::Tecla(ed, Qt::Key_Escape);
        });
        QCOMPARE(propuesta, valor == QLatin1String("1") ? QString::number(mayor + 1) : QString());
    }
}

// Edit of the root or of a centre gone meanwhile, the key handler's own failure, New with
// nothing selected, and New when the key service fails.
void TstEditor::rechazosDelCatalogo()
{
    Componente c(QStringLiteral("sqlite"), Contenido::Demo);
    frmKT508& frm = c.Carga();
    bool abierto = false;
    auto ninguno = [&](frmCATAddCeCo* ed) {
        if (ed) {
            abierto = true;
            ed->hide();
        }
    };
    // The toolbar offers neither here; the commands must refuse them by themselves.
    EnEditor([&] { emit frm.Controles->Nuevo(); }, ninguno); // nothing selected yet
    Selecciona(frm, QStringLiteral("0"));
    EnEditor([&] { emit frm.Controles->Editar(); }, ninguno);
    Selecciona(frm, QStringLiteral("2011"));
    c.db().Execute(QStringLiteral("DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '2011'"));
    Pulsa(frm, "btnEditar", ninguno);
    QVERIFY(!abierto);
    // The failure came after the editor was loaded: it stays loaded, hidden, until the catalogue goes.
    QCOMPARE(frm.findChildren<frmCATAddCeCo*>().size(), 1);

    Selecciona(frm, QStringLiteral("105"));
    Pulsa(frm, "btnNuevo", [&](frmCATAddCeCo* ed) {
        if (!ed)
            return;
        Teclea(ed->txtClave, QStringLiteral("77"));
        c.db().failContaining(QStringLiteral("SELECT Cc_Descripcion FROM Centro_Costo"));
        pruebas::Tecla(ed, Qt::Key_F4);
        c.db().failContaining(QStringLiteral("SELECT Cc_Descripcion FROM Centro_Costo"));
        QTest::mouseClick(ed->Controles->findChild<QToolButton*>(QStringLiteral("btnB1")), Qt::LeftButton);
        c.db().clearFailure();
        pruebas::Tecla(ed, Qt::Key_Escape);
    });

    // The key service failing while the editor loads.
    Parametro(c, QStringLiteral("CAT_AUTOCLAVE"), QStringLiteral("1"));
    c.db().failContaining(QStringLiteral("SELECT Cc_Cve_Centro_Costo FROM Centro_Costo"));
    Pulsa(frm, "btnNuevo", ninguno);
    c.db().clearFailure();
    QVERIFY(!abierto);

    const auto m = c.dobles.datos->Mensajes();
    QCOMPARE(m.size(), 5);
    QCOMPARE(m[0].texto, QStringLiteral("El cento de costos no es valido para esta operación"));
    QCOMPARE(m[0].titulo, QStringLiteral("Orbanel"));
    QCOMPARE(m[0].errId, QStringLiteral("ERR-ID:7500018"));
    QCOMPARE(m[1].titulo, QStringLiteral("Controles_Editar()"));
    QCOMPARE(m[1].errId, QStringLiteral("ERR-ID:7500019"));
    QVERIFY(m[2].texto.startsWith(QStringLiteral("Form_KeyUp() - \r\n")));
    QCOMPARE(m[2].titulo, QStringLiteral("ERROR"));
    QCOMPARE(m[2].errId, QStringLiteral("ERR-ID:7500009"));
    QCOMPARE(m[3].titulo, QStringLiteral("Controles_B1Click()"));
    QCOMPARE(m[3].errId, QStringLiteral("ERR-ID:7500008"));
    QCOMPARE(m[4].titulo, QStringLiteral("Controles_Nuevo()"));
    QCOMPARE(m[4].errId, QStringLiteral("ERR-ID:7500026"));
}

QTEST_MAIN(TstEditor)
#include "tst_editor.moc"
