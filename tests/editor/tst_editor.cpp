// The cost-centre editor, opened from the catalogue's toolbar and driven with keys: its checks,
// the New and Edit paths on every backend, and the rollback of every statement of the save.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/editor/frmCATAddCeCo.h"
#include "kt508/services/Controles.h"
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

#include <memory>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;

namespace {

const QDateTime Reloj(QDate(2026, 3, 14), QTime(9, 26, 53));
const QString Hora = u"2026-03-14 09:26"_s;

// Empty when the messages shown match the patterns, one each (* stands for any text); else every
// message, a line each: text|style|title|module|identifier. None may wait with a transaction open.
QString Mensajes(Componente& c, const QStringList& patrones = {})
{
    QStringList lineas;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->Mensajes())
        lineas << QStringList{m.texto, QString::number(m.estilo), m.titulo, m.modulo, m.errId}.join(u'|')
                + (m.conTransaccion ? u" (con la transacción abierta)"_s : QString());
    bool iguales = lineas.size() == patrones.size();
    for (qsizetype i = 0; iguales && i < lineas.size(); ++i)
        iguales = QRegularExpression(QRegularExpression::wildcardToRegularExpression(patrones[i]))
                      .match(lineas[i])
                      .hasMatch();
    return iguales ? QString() : lineas.join(u'\n');
}

} // namespace

class TstEditor : public QObject {
    Q_OBJECT

private slots:
    void nuevo_data();
    void nuevo();
    void editar_data() { pruebas::agregaBackends(); }
    void editar();
    void rechazado_data();
    void rechazado();
    void guardaLoTecleado_data();
    void guardaLoTecleado();
    void aperturaYTeclas();
};

// Under the root and under a centre: the statements, the row, the parent turned into a group,
// the account generated under the configured parent with the parent account's values and the
// group's description (cut to 50), and the tree on the new centre.
void TstEditor::nuevo_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("padre");
    QTest::addColumn<QString>("clave");
    QTest::addColumn<QString>("cuentaPadre"); // what account 5100 holds
    QTest::addColumn<QString>("grupo");       // the group's description, when not the look-up's
    QTest::addColumn<QString>("generada");
    auto fila = [](const QString& b, const char* nombre, const char* padre, const char* clave, const char* cuenta,
                   const QString& grupo, const QString& generada) {
        QTest::newRow(qPrintable(b + u' ' + QLatin1String(nombre)))
            << b << padre << clave << cuenta << grupo << generada;
    };
    for (const QString& b : pruebas::backends(pruebas::ConOdbc::Si)) {
        fila(b, "raiz", "0", "77", "CC_Tipo = 1, Cc_Titulo = 0, Cc_Naturaleza = 'AC', Cc_Resultado = 'SI'", "",
             u"1|0|AC|SI|COMERCIAL"_s);
        fila(b, "centro", "2011", "77", "CC_Tipo = 0, Cc_Titulo = 1, Cc_Naturaleza = 'ac', Cc_Resultado = 'si'", "",
             u"0|1|DE|NO|COMERCIAL"_s);
    }
    // Looked up as typed, stored trimmed: the account's UPDATE and the tree find it by the key as
    // stored. A null is no match.
    // The group's description cut to 50 characters as the database counts them, an emoji one.
    const QString largo = u"GRUPO DE NOMBRE LARGO "_s + u"🌵"_s.repeated(28);
    fila(u"sqlite"_s, "clave con blancos", "2011", "  77 ",
         "CC_Tipo = 1, Cc_Titulo = 1, Cc_Naturaleza = NULL, Cc_Resultado = NULL", largo + u'x',
         u"1|1|DE|NO|"_s + largo);
}

void TstEditor::nuevo()
{
    QFETCH(QString, backend);
    QFETCH(QString, padre);
    QFETCH(QString, clave);
    QFETCH(QString, cuentaPadre);
    QFETCH(QString, grupo);
    QFETCH(QString, generada);
    Componente c(backend, Contenido::Demo);
    c.dobles.utilerias->reloj = Reloj;
    // Blanks may be typed in the key.
    c.db().Execute(u"UPDATE Parametros SET Valor = 'XXXXXX' WHERE Parametro = 'FTO_CENTRO_COSTO'"_s);
    c.db().Execute(u"UPDATE Cuenta_Contable SET %1 WHERE Cc_Cve_Cuenta_Contable = '5100'"_s.arg(cuentaPadre));
    frmKT508& frm = c.Carga();
    pruebas::Clic(frm, padre);
    c.db().setRecording(true);
    const QString raro = u"O'Brien \\ 100% «ñú» "_s.leftJustified(50, QLatin1Char('x'));
    QVariantList visto;
    QVERIFY(pruebas::EnEditor(frm, u"btnNuevo"_s, [&](frmCATAddCeCo* ed) {
        visto << ed->txtTexto->hasFocus() << ed->txtClave->Text(); // no key proposed: automatic keys are off
        pruebas::Teclea(ed->txtClave, clave);
        pruebas::Teclea(ed->txtTexto, raro);
        if (!grupo.isEmpty())
            ed->txt_Gcc_Descripcion->setText(grupo); // as another suite's look-up may give it
        pruebas::Tecla(ed, Qt::Key_2, Qt::AltModifier);
        pruebas::Teclea(ed->txtUser1, raro);
        pruebas::Teclea(ed->txtUser3, u"12.5"_s);
        pruebas::Teclea(ed->txtUser4, u"-3.25"_s);
        visto << ed->txtUser3->Text();
        ed->dpUser5->setFocus();
        pruebas::Tecla(ed, Qt::Key_Delete); // the user empties the date offered
        ed->dpUser6->setValue(QDate(2024, 2, 29));
        pruebas::Tecla(ed, Qt::Key_F4);
    }));
    // What the user saw, and no message.
    QCOMPARE(visto << Mensajes(c), (QVariantList{true, QString(), u"12.5000"_s, QString()}));

    const QString hora = u"'2026-03-14 09:26:53'"_s;
    const QString texto = QString(raro).replace(u"'"_s, u"''"_s);
    QCOMPARE(
        c.db().recorded().filter(QRegularExpression(u"^(UPDATE|INSERT INTO) Centro_Costo"_s)),
        (QStringList{"UPDATE Centro_Costo SET CC_Tipo = 1,    Oper_Ult_Modif = 'PRUEBAS',   Fecha_Ult_Modif = " + hora
                         + "WHERE CC_Cve_Centro_Costo = '" + padre + "'",
                     "INSERT INTO Centro_Costo (   CC_Acumula,    CC_Cve_Centro_Costo,    Gcc_Cve_Grupo_Centro_Costo, "
                     "   CC_Descripcion,    CC_Cuenta_Contable,   Cc_Analizar,    Cc_UserDef_1,    Cc_UserDef_2,    "
                     "Cc_UserDef_3,    Cc_UserDef_4,    Cc_UserDef_5,    Cc_UserDef_6,    Oper_Alta,   Fecha_Alta,"
                     "   Oper_Ult_Modif,   Fecha_Ult_Modif) VALUES('"
                         + padre + "', '77', '000100', '" + texto + "', '', 'SI', '" + texto
                         + "', '', 12.5, -3.25, NULL, '2024-02-29', 'PRUEBAS'," + hora + ",'PRUEBAS'," + hora + ")",
                     "UPDATE Centro_Costo SET    Cc_Cuenta_Contable = '5100-2012' WHERE Cc_Cve_Centro_Costo = '77' "}));
    // What the statements leave in each store, and what they leave to the defaults; the change
    // confirmed and recorded for the key the store holds.
    QCOMPARE(c.Filas(u"SELECT CC_Descripcion, Cc_UserDef_3, Cc_UserDef_4, Cc_UserDef_6, CC_Tipo, Es_Cve_Estado, "
                     "Fecha_Alta, CC_Cuenta_Contable FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '77'"_s),
             QStringList{raro + u"|12.5|-3.25|2024-02-29|0|AC|"_s + Hora + u"|5100-2012"_s});
    QCOMPARE(c.Filas(u"SELECT CC_Tipo, Cc_Titulo, Cc_Naturaleza, Cc_Resultado, Cc_Descripcion, Cc_Cuenta_Padre, "
                     "Cc_Grupo_Cuenta_Contable, Cc_Afectable FROM Cuenta_Contable "
                     "WHERE Cc_Cve_Cuenta_Contable = '5100-2012'"_s),
             QStringList{generada + u"|5100|GAS|1"_s});
    QCOMPARE(c.Filas(u"SELECT Bc_Clave FROM Bitacora_Cambios"_s), QStringList{u"77"_s});

    kt508::Node* nuevo = pruebas::Nodo(frm, u"77"_s);
    QVERIFY(nuevo && nuevo->Parent() == pruebas::Nodo(frm, padre));
    QCOMPARE(frm.tvCeCos->SelectedItem(), nuevo->Parent());
    for (kt508::Node* n = nuevo->Parent(); n; n = n->Parent())
        QVERIFY(n->Expanded());
    // The catalogue's focus, whether or not its window is active now.
    QVERIFY(frm.focusWidget() == frm.tvCeCos || frm.tvCeCos->isAncestorOf(frm.focusWidget()));
    QVERIFY(frm.findChildren<frmCATAddCeCo*>().isEmpty()); // unloaded after use
}

// The row is read by its key and shown as stored (a lowercase "si" is no tick, a Null date stays
// empty); one UPDATE that never writes parent, key, type or creation audit, nor generates the
// account the user emptied; and only the node's text changes. A key with blanks is kept as stored.
void TstEditor::editar()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Demo);
    c.dobles.utilerias->reloj = Reloj;
    c.db().Execute(u"UPDATE Centro_Costo SET Cc_Analizar = 'si', Cc_UserDef_5 = NULL, Cc_UserDef_6 = '2024-02-29' "
                   "WHERE CC_Cve_Centro_Costo = '105'"_s);
    c.Inserta({u"7 |0|Siete|0|AC"_s, u"7|0|Otro|0|AC"_s});
    c.db().Execute(
        u"UPDATE Centro_Costo SET Gcc_Cve_Grupo_Centro_Costo = '000100' WHERE CC_Cve_Centro_Costo LIKE '7%'"_s);
    frmKT508& frm = c.Carga();
    pruebas::Clic(frm, u"105"_s);
    const int nodos = frm.tvCeCos->Count();
    c.db().setRecording(true);

    QVariantList visto;
    QVERIFY(pruebas::EnEditor(frm, u"btnEditar"_s, [&](frmCATAddCeCo* ed) {
        QCalendarWidget* calendario = ed->dpUser6->findChild<QDateEdit*>()->calendarWidget();
        visto << ed->txtClave->isEnabled() << ed->chkAnalizar->isChecked() << ed->txtTexto->hasFocus()
              << ed->dpUser5->Value() << ed->dpUser6->Value()
              << calendario->findChild<QToolButton*>(u"qt_calendar_monthbutton"_s)->text() << ed->txtCuenta->Text();
        pruebas::Teclea(ed->txtTexto, u"Norte D'Ávila"_s);
        pruebas::Teclea(ed->txtCuenta, QString());
        pruebas::Tecla(ed, Qt::Key_2, Qt::AltModifier);
        ed->dpUser6->setFocus();
        pruebas::Tecla(ed, Qt::Key_Delete); // the user empties the date
        pruebas::Tecla(ed, Qt::Key_F4);
    }));
    // What the user saw (the calendar speaks the suite's language), and no message.
    QCOMPARE(visto << Mensajes(c),
             (QVariantList{false, false, true, QDate(), QDate(2024, 2, 29), u"febrero"_s, u"5100-105"_s, QString()}));
    QCOMPARE(c.db().recorded().filter(u"from centro_costo"_s),
             QStringList{u"select * from centro_costo where Cc_Cve_Centro_Costo = '105' "_s});
    QCOMPARE(c.db().recorded().filter(QRegularExpression(u"^(UPDATE|INSERT INTO) Centro_Costo"_s)),
             QStringList{"UPDATE Centro_Costo SET    Cc_Descripcion = 'Norte D''Ávila',    Cc_Cuenta_Contable = "
                         "'',    Gcc_Cve_Grupo_Centro_Costo = '000100',    Cc_Analizar = 'NO',    Cc_UserDef_1 "
                         "= 'Zona Monterrey-Saltillo',    Cc_UserDef_2 = 'Laura Garza',    Cc_UserDef_3 = 1250000,    "
                         "Cc_UserDef_4 = 0.15,    Cc_UserDef_5 = NULL,    Cc_UserDef_6 = NULL,    Oper_Ult_Modif = "
                         "'PRUEBAS',   Fecha_Ult_Modif= '2026-03-14 09:26:53'WHERE Cc_Cve_Centro_Costo = '105' "});
    QCOMPARE(c.Filas(u"SELECT CC_Descripcion, Cc_Analizar, Cc_UserDef_5, Cc_UserDef_6, Fecha_Ult_Modif "
                     "FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '105'"_s),
             QStringList{u"Norte D'Ávila|NO|-|-|"_s + Hora});
    // The record-bound fields loaded for the centre are stored back unchanged.
    QCOMPARE(c.Filas(u"SELECT Ca_Valor FROM Campos_Adicionales WHERE Ca_Clave = '105' AND Ca_Campo = 'RESPONSABLE'"_s),
             QStringList{"Laura Garza"});
    QCOMPARE(pruebas::Nodo(frm, u"105"_s)->Text(), u"105 - Norte D'Ávila"_s);
    QCOMPARE(frm.tvCeCos->Count(), nodos);
    QCOMPARE(frm.tvCeCos->SelectedItem(), pruebas::Nodo(frm, u"105"_s));

    // An existing key is written and recorded as stored, blanks and all: trimmed it names another centre.
    pruebas::Clic(frm, u"7 "_s);
    QVERIFY(pruebas::EnEditor(frm, u"btnEditar"_s, [&](frmCATAddCeCo* ed) {
        pruebas::Teclea(ed->txtTexto, u"Siete bis"_s);
        pruebas::Tecla(ed, Qt::Key_F4);
    }));
    QCOMPARE(Mensajes(c), QString());
    QCOMPARE(c.Filas(u"SELECT CC_Cve_Centro_Costo, CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo LIKE "
                     "'7%' ORDER BY CC_Descripcion"_s),
             (QStringList{u"7|Otro"_s, u"7 |Siete bis"_s}));
    QCOMPARE(c.Filas(u"SELECT Bc_Clave FROM Bitacora_Cambios WHERE Bc_Clave LIKE '7%'"_s), QStringList{u"7 "_s});
}

// Every way an accept is refused: the checks in their order (each moving to the field at fault,
// a number before anything is sent), each statement of the save failing in turn, each refusal
// of a step, and what another user stored while the editor was up. The message once the
// transaction is over, the editor still up, and the whole database as it was when accepted.
void TstEditor::rechazado_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QStringList>("tecleado"); // key, description, group, account, user 3, user 4; "" not
                                               // typed; none, or "editar" first: Edit
    QTest::addColumn<QString>("falla");        // a piece of the statement made to fail
    QTest::addColumn<QString>("ajuste");       // statements run once the centre is selected ("mientras": once the
                                               // editor is up), or "boton"
    QTest::addColumn<QString>("mensaje");      // text|style|title|module|identifier, * for any text
    QTest::addColumn<QString>("foco");         // none: the page stays

    auto fila = [&](const QString& b, const char* nombre, const QString& mensaje, const char* falla,
                    const char* ajuste = "", const QStringList& tecleado = {"77", "Nuevo"}, const char* foco = "") {
        QTest::newRow(qPrintable(b + u' ' + QLatin1String(nombre)))
            << b << tecleado << falla << ajuste << mensaje << foco;
    };
    const QString s = u"sqlite"_s;
    const QString aviso = u"|48|Aceptar|KT508|ERR-ID:"_s;
    fila(s, "duplicada", "La clave 105 ya existe, especifique otra|16|Aceptar|KT508|ERR-ID:7500001", "", "", {"105"},
         "txtClave");
    // The root's key, blanks and all: under it the centre would hide the catalogue.
    fila(s, "clave de la raiz",
         "La clave 0 es la de la raíz del catálogo, especifique otra|16|Aceptar|KT508|ERR-ID:7500001", "", "",
         {" 0 ", "x"}, "txtClave");
    // Each with the next check failing too: the first in the order is told.
    fila(s, "blancos", "Debe especificar una clave para el CECO!" + aviso + "7500002", "", "", {"   ", ""}, "txtClave");
    fila(s, "sin descripcion", "Debe especificar una descripción!" + aviso + "7500003", "", "", {"70", "", "999999"},
         "txtTexto");
    fila(s, "grupo desconocido", "Debe especificar un grupo válido!" + aviso + "7500004", "", "",
         {"70", "  ", "999999", "9999"}, "txt_Gcc_Cve_Grupo_Centro_Costo");
    fila(s, "cuenta desconocida", "Debe especificar un cuenta contable válida!" + aviso + "7500005", "", "",
         {"70", "x", "", "9999"}, "txtCuenta");
    fila(s, "campo adicional",
         "Falta capturar el campo adicional obligatorio \"Responsable\".|16|Capturar campos adicionales|KT611|"
         "ERR-ID:7500034",
         "", "UPDATE Campos_Adicionales_Def SET Cad_Obligatorio = 1", {"70", "x", "", "5200"});
    // The checks' own failure, under F4 and under the toolbar's button.
    const char* consulta = "SELECT Cc_Descripcion FROM Centro_Costo";
    fila(s, "consulta de la clave", "Form_KeyUp() - \r\n*|16|ERROR|KT508|ERR-ID:7500009", consulta);
    fila(s, "consulta de la clave con el boton", "*|16|Controles_B1Click()|KT508|ERR-ID:7500008", consulta, "boton");

    const QString generacion = u"Genera_Cuenta_Contable() - \r\n"_s;
    const QString error = u"|16|Aceptar|KT508|ERR-ID:"_s;
    const QString guardado = u"*|48|Aceptar|KT508|ERR-ID:7500008"_s;
    const QString eliminado =
        u"El centro 105 fue eliminado por otro usuario después de abrirlo. *"_s + aviso + "7500008";
    const char* borra105 = "DELETE FROM Poliza_Detalle WHERE Cc_Cve_Centro_costo = '105';DELETE FROM "
                           "Presupuesto_Centro WHERE Cc_Cve_Centro_costo = '105';DELETE FROM Centro_Costo WHERE "
                           "CC_Cve_Centro_Costo = '105'";
    for (const QString& b : pruebas::backends()) {
        fila(b, "padre", guardado, "UPDATE Centro_Costo SET CC_Tipo");
        fila(b, "insert", guardado, "INSERT INTO Centro_Costo");
        fila(b, "update", guardado, "UPDATE Centro_Costo SET ", "", {}); // Edit: nothing typed
        // Looked up as typed, blanks and all, it is not found; stored trimmed, the store refuses it.
        fila(b, "clave existente con blancos", guardado, "", "", {"  105 ", "x"});
        fila(b, "campos adicionales", "Imposible actualizar campos adicionales" + error + "7500006",
             "DELETE FROM Campos_Adicionales");
        fila(b, "cuenta padre leida", generacion + "*" + error + "7500006", "SELECT * FROM Cuenta_Contable");
        fila(b, "alta de cuenta", generacion + "No se pudo dar de alta la cuenta contable: *" + error + "7500006",
             "INSERT INTO Cuenta_Contable");
        fila(b, "cuenta del centro", generacion + "*" + error + "7500006", "   Cc_Cuenta_Contable = ");
        fila(b, "bitacora", "No se pudo confirmar el cambio: *" + error + "7500007", "INSERT INTO Bitacora_Cambios");
        fila(b, "cuenta padre inexistente", generacion + "La cuenta padre 9999 no existe" + error + "7500006", "",
             "UPDATE Parametros SET Valor = '9999' WHERE Parametro = 'CON_CUENTA_PADRE_CENTRO_COSTO'");
        fila(b, "tipo de la cuenta padre nulo", generacion + "Uso no válido de Null" + error + "7500006", "",
             "UPDATE Cuenta_Contable SET CC_Tipo = NULL WHERE Cc_Cve_Cuenta_Contable = '5100'");
        fila(b, "padre borrado por otro", eliminado, "", borra105);
        fila(b, "padre dado de baja por otro",
             "El centro 105 fue modificado por LUIS el 06/12/2026 10:42 después de abrirlo. *" + aviso + "7500008", "",
             "UPDATE Centro_Costo SET Es_Cve_Estado = 'BA', Oper_Ult_Modif = 'LUIS', Fecha_Ult_Modif = "
             "'2026-12-06 10:42:00' WHERE CC_Cve_Centro_Costo = '105'");
        // What another user stores while the editor is up is not put back: who changed it and when.
        fila(b, "modificado mientras",
             "El centro 105 fue modificado por LUIS el 06/12/2026 10:42 después de abrirlo. Cierre y vuelva a abrir "
             "para ver sus cambios."
                 + aviso + "7500008",
             "",
             "mientras UPDATE Centro_Costo SET CC_Descripcion = 'De Luis', Oper_Ult_Modif = 'LUIS', "
             "Fecha_Ult_Modif = '2026-12-06 10:42:00' WHERE CC_Cve_Centro_Costo = '105'",
             {"editar", "", "", "", "1"});
        fila(b, "eliminado mientras", eliminado, "", qPrintable(u"mientras "_s + QLatin1String(borra105)),
             {"editar", "", "", "", "1"});
        // A number numeric(18,4) cannot hold, accepted from the general page.
        fila(b, "dato 3 de veinte enteros",
             "Dato 3: «99999999999999999999» tiene más de 14 dígitos antes del punto." + aviso + "7500008", "", "",
             {"editar", "", "", "", "99999999999999999999"}, "txtUser3");
        fila(b, "dato 4 de cinco decimales", "Dato 4: «1.23456» tiene más de 4 decimales." + aviso + "7500008", "", "",
             {"editar", "", "", "", "", "1.23456"}, "txtUser4");
        fila(b, "dato 3 sin número",
             "Dato 3: «-» no es un número (se escribe con punto decimal, como 1250.75)." + aviso + "7500008", "", "",
             {"editar", "", "", "", "-"}, "txtUser3");
    }
}

void TstEditor::rechazado()
{
    QFETCH(QString, backend);
    QFETCH(QStringList, tecleado);
    QFETCH(QString, falla);
    QFETCH(QString, ajuste);
    QFETCH(QString, mensaje);
    QFETCH(QString, foco);
    Componente c(backend, Contenido::Demo);
    // Blanks may be typed in the key.
    c.db().Execute(u"UPDATE Parametros SET Valor = 'XXXXXX' WHERE Parametro = 'FTO_CENTRO_COSTO'"_s);
    frmKT508& frm = c.Carga();
    pruebas::Clic(frm, u"105"_s);
    const bool mientras = ajuste.startsWith(u"mientras "_s);
    const auto ajusta = [&] {
        for (const QString& sentencia : ajuste.mid(mientras ? 9 : 0).split(u';'))
            c.db().Execute(sentencia);
    };
    if (ajuste.contains(u' ') && !mientras)
        ajusta();
    QList<bool> enTransaccion; // while each message was up
    c.dobles.datos->alMostrar = [&] { enTransaccion << c.db().inTransaction(); };

    QString antes;
    QStringList enviadas;
    bool abiertoYEnfocado = false;
    const bool editar = tecleado.value(0, u"editar"_s) == "editar"_L1;
    QVERIFY(pruebas::EnEditor(frm, editar ? u"btnEditar"_s : u"btnNuevo"_s, [&](frmCATAddCeCo* ed) {
        if (mientras)
            ajusta();
        antes = pruebas::volcado(c.db());
        kt508::txtVEX* campos[] = {ed->txtClave,  ed->txtTexto, ed->txt_Gcc_Cve_Grupo_Centro_Costo,
                                   ed->txtCuenta, ed->txtUser3, ed->txtUser4};
        for (int i = editar ? 1 : 0; i < qMin(tecleado.size(), 4); ++i)
            if (!tecleado[i].isEmpty())
                pruebas::Teclea(campos[i], tecleado[i]);
        pruebas::Tecla(ed, Qt::Key_2, Qt::AltModifier);
        for (int i = 4; i < tecleado.size(); ++i)
            if (!tecleado[i].isEmpty())
                pruebas::Teclea(campos[i], tecleado[i]);
        if (tecleado.size() > 4)
            pruebas::Tecla(ed, Qt::Key_1, Qt::AltModifier);
        if (!falla.isEmpty())
            c.db().failContaining(falla);
        c.db().setRecording(true);
        if (ajuste == QLatin1String("boton"))
            QTest::mouseClick(ed->Controles->findChild<QToolButton*>(u"btnB1"_s), Qt::LeftButton);
        else
            pruebas::Tecla(ed, Qt::Key_F4);
        enviadas = c.db().recorded();
        c.db().clearFailure();
        auto* campo = ed->findChild<kt508::txtVEX*>(foco);
        abiertoYEnfocado = ed->isVisible() && !ed->Add
            && (campo ? campo->hasFocus() : ed->ssTabVex->Tab() == (tecleado.size() > 4 ? 0 : 1));
        pruebas::Tecla(ed, Qt::Key_Escape);
    }));
    QCOMPARE(Mensajes(c, {mensaje}), QString());
    QVERIFY2(abiertoYEnfocado, qPrintable(foco));
    QCOMPARE(pruebas::volcado(c.db()), antes);
    if (mensaje.startsWith(u"Dato "_s))
        QCOMPARE(enviadas, QStringList());
    // Told once the transaction is gone.
    QCOMPARE(enTransaccion, QList<bool>{false});
    QVERIFY(frm.findChildren<frmCATAddCeCo*>().isEmpty()); // cancelled, and unloaded all the same
}

void TstEditor::guardaLoTecleado_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("dato3");
    QTest::addColumn<QString>("dato4");
    for (const QString& b : pruebas::backends(pruebas::ConOdbc::Si)) {
        QTest::addRow("%s extremos", qPrintable(b)) << b << u"99999999999999.9999"_s << u"-99999999999999.9999"_s;
        QTest::addRow("%s cifras", qPrintable(b)) << b << u"12345678901234.5678"_s << u"0.0001"_s;
    }
}

// Edited and read back by the next edit: Dato 3 and 4 hold the number typed digit for digit, to
// the last that numeric(18,4) holds, in the statement, the columns and the fields. A stored
// description of 50 characters, emoji among them, comes whole into its field and is stored
// unchanged; Dato 1 takes 50 emoji as typed, and no 51st.
void TstEditor::guardaLoTecleado()
{
    QFETCH(QString, backend);
    QFETCH(QString, dato3);
    QFETCH(QString, dato4);
    Componente c(backend, Contenido::Demo);
    const QString descripcion = u"Norte "_s + u"🌵"_s.repeated(22) + QString(22, u'ñ');
    const QString dato2 = u"🌎"_s.repeated(50);
    c.db().Execute(u"UPDATE Centro_Costo SET CC_Descripcion = '%1', Cc_UserDef_2 = '%2' "
                   "WHERE CC_Cve_Centro_Costo = '105'"_s.arg(descripcion, dato2));
    frmKT508& frm = c.Carga();
    pruebas::Clic(frm, u"105"_s);
    c.db().setRecording(true);
    const QString dato1 = u"🚚"_s.repeated(50);
    QStringList visto;
    QVERIFY(pruebas::EnEditor(frm, u"btnEditar"_s, [&](frmCATAddCeCo* ed) {
        visto << ed->txtTexto->Text() << ed->txtUser2->Text();
        pruebas::Tecla(ed, Qt::Key_2, Qt::AltModifier);
        pruebas::Teclea(ed->txtUser1, dato1 + u"🚚"_s);
        pruebas::Teclea(ed->txtUser3, dato3);
        pruebas::Teclea(ed->txtUser4, dato4);
        visto << ed->txtUser1->Text();
        pruebas::Tecla(ed, Qt::Key_F4);
    }));
    QCOMPARE(visto << Mensajes(c), (QStringList{descripcion, dato2, dato1, QString()}));
    const QStringList enviada = c.db().recorded().filter(u"UPDATE Centro_Costo SET "_s);
    QVERIFY2(enviada.size() == 1
                 && enviada[0].contains(u"Cc_UserDef_3 = %1,    Cc_UserDef_4 = %2, "_s.arg(dato3, dato4)),
             qPrintable(enviada.join(u'\n')));
    QCOMPARE(c.Filas(u"SELECT CC_Descripcion, Cc_UserDef_1, Cc_UserDef_2, Cc_UserDef_3, Cc_UserDef_4 FROM "
                     "Centro_Costo WHERE CC_Cve_Centro_Costo = '105'"_s),
             QStringList((QStringList{descripcion, dato1, dato2, dato3, dato4}.join(u'|'))));
    QCOMPARE(pruebas::Nodo(frm, u"105"_s)->Text(), u"105 - "_s + descripcion);
    QStringList leido;
    QVERIFY(pruebas::EnEditor(frm, u"btnEditar"_s, [&](frmCATAddCeCo* ed) {
        leido << ed->txtUser3->Text() << ed->txtUser4->Text();
        pruebas::Tecla(ed, Qt::Key_Escape);
    }));
    QCOMPARE(leido, (QStringList{dato3, dato4}));
}

// The commands refusing to open the editor: New with nothing selected, Edit of the root or of a
// centre gone meanwhile, New when the key service fails. Then, in the editor: automatic keys
// propose the next free number; Alt+digit pages only with Alt alone (even let go a moment
// early), enabling the frame shown; Alt+F4 neither saves nor pages; Enter on the check box and
// on the tab strip moves on; Escape and the frame's close cancel, but not the Escape that
// closes a look-up list.
void TstEditor::aperturaYTeclas()
{
    Componente c(u"sqlite"_s, Contenido::Demo);
    c.db().Execute(u"UPDATE Parametros SET Valor = '1' WHERE Parametro = 'CAT_AUTOCLAVE'"_s);
    frmKT508& frm = c.Carga();
    // The toolbar offers neither here; the commands must refuse them by themselves.
    QVERIFY(!pruebas::EnEditor(frm, u"btnNuevo"_s));
    pruebas::Clic(frm, u"0"_s);
    QVERIFY(!pruebas::EnEditor(frm, u"btnEditar"_s));
    pruebas::Clic(frm, u"2011"_s); // another user deletes it, its journal line first
    c.db().Execute(u"DELETE FROM Poliza_Detalle WHERE Cc_Cve_Centro_costo = '2011'"_s);
    c.db().Execute(u"DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '2011'"_s);
    QVERIFY(!pruebas::EnEditor(frm, u"btnEditar"_s));
    // The failure came after the editor was loaded: it stays loaded, hidden, until the catalogue goes.
    QCOMPARE(frm.findChildren<frmCATAddCeCo*>().size(), 1);
    pruebas::Clic(frm, u"105"_s);
    c.db().failContaining(u"SELECT Cc_Cve_Centro_Costo FROM Centro_Costo"_s); // the key service
    QVERIFY(!pruebas::EnEditor(frm, u"btnNuevo"_s));
    c.db().clearFailure();
    QStringList visto;
    QVERIFY(pruebas::EnEditor(frm, u"btnNuevo"_s, [&](frmCATAddCeCo* ed) {
        // The page, the frames enabled, the editor up and accepted; after a change of page, whether
        // the keys go to a field of the page shown ("f").
        auto anota = [&](bool foco = false) {
            QWidget* enFoco = QApplication::focusWidget();
            const bool enLaPagina = (ed->ssTabVex->Tab() == 0 ? ed->fr1 : ed->fr2)->isAncestorOf(enFoco)
                && !ed->txtPadre->isAncestorOf(enFoco);
            visto << QString::asprintf("%d %d%d %d%d", ed->ssTabVex->Tab(), ed->fr1->isEnabled(), ed->fr2->isEnabled(),
                                       ed->isVisible(), ed->Add)
                    + (foco ? (enLaPagina ? u" f"_s : u" x"_s) : QString());
        };
        visto << ed->txtClave->Text();
        pruebas::Teclea(ed->txtTexto, u"Nuevo"_s);
        pruebas::Tecla(ed, Qt::Key_2, Qt::AltModifier);
        anota(true);
        pruebas::Tecla(ed, Qt::Key_1, Qt::AltModifier | Qt::ShiftModifier); // not exactly Alt: nothing
        pruebas::Tecla(ed, Qt::Key_F4, Qt::AltModifier);                    // neither a save nor a page
        anota();
        QVERIFY(ed->isVisible()); // a window gone takes no more keys
        pruebas::Tecla(ed, Qt::Key_1, Qt::AltModifier);
        anota(true);
        QWindow* ventana = ed->windowHandle();
        QTest::keyPress(ventana, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyPress(ventana, Qt::Key_2, Qt::AltModifier);
        QTest::keyRelease(ventana, Qt::Key_Alt);
        QEvent entre(QEvent::User); // the platform never hands over two releases back to back
        QCoreApplication::sendEvent(ed, &entre);
        QTest::keyRelease(ventana, Qt::Key_2);
        anota(true);
        pruebas::Tecla(ed, Qt::Key_1, Qt::AltModifier);
        for (QWidget* control : QList<QWidget*>{ed->chkAnalizar, ed->ssTabVex}) {
            control->setFocus();
            pruebas::Tecla(ed, Qt::Key_Return);
            visto << QApplication::focusWidget()->parentWidget()->objectName(); // where Enter moved on to
        }
        ed->txt_Gcc_Cve_Grupo_Centro_Costo->setFocus();
        auto lista = std::make_shared<bool>(false);
        pruebas::EnModal([lista](QWidget* modal) {
            *lista = modal != nullptr;
            if (modal)
                QTest::keyPress(modal->windowHandle(), Qt::Key_Escape);
        });
        pruebas::Tecla(ed, Qt::Key_F2);
        QTest::keyRelease(ed->windowHandle(), Qt::Key_Escape); // over the editor once the list is gone
        visto << (*lista ? u"lista"_s : u"sin lista"_s);
        anota();
        pruebas::Tecla(ed, Qt::Key_Escape);
        anota();
        ed->show();
        ed->Add = true;
        ed->windowHandle()->close(); // the close command of the frame
        anota();
    }));
    QCOMPARE(visto,
             (QStringList{"20113", "1 01 10 f", "1 01 10", "0 10 10 f", "1 01 10 f", "pestanas", "txtClave", "lista",
                          "0 10 10", "0 10 00", "0 10 00"}));
    QCOMPARE(Mensajes(c,
                      {"El cento de costos no es valido para esta operación|16|Orbanel|KT508|ERR-ID:7500018",
                       "*|16|Controles_Editar()|KT508|ERR-ID:7500019", "*|16|Controles_Nuevo()|KT508|ERR-ID:7500026"}),
             QString());
}

QTEST_MAIN(TstEditor)
#include "tst_editor.moc"
