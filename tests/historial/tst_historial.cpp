// A centre's history: the note every command leaves, driven as a user drives the commands, and
// the changes read back field by field in the Historial window and on the console, a deleted
// centre's included.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/editor/frmCATAddCeCo.h"
#include "kt508/services/Controles.h"
#include "suite/ado/AdoConnection.h"
#include "suite/catalogo/Importacion.h"
#include "suite/extras/ServicioExtras.h"
#include "suite/verifica/Verificacion.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QFile>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;

namespace {

void Selecciona(frmKT508& frm, const QString& clave)
{
    kt508::Node* nodo = frm.tvCeCos->Nodes(QLatin1Char('N') + clave);
    nodo->EnsureVisible();
    frm.tvCeCos->setSelectedItem(nodo);
    emit frm.tvCeCos->NodeClick(nodo);
}

// Clicks the toolbar button; the editor it opens, if any, gets the action.
void Pulsa(frmKT508& frm, const char* boton, const std::function<void(frmCATAddCeCo*)>& accion = {})
{
    pruebas::EnModal(
        [accion](QWidget* modal) {
            if (auto* editor = qobject_cast<frmCATAddCeCo*>(modal); editor && accion)
                accion(editor);
        },
        500);
    QTest::mouseClick(frm.Controles->findChild<QToolButton*>(QLatin1String(boton)), Qt::LeftButton);
    QTest::qWait(50);
}

// What the user types into a field, replacing its text, and Tab to leave it.
void Teclea(kt508::txtVEX* campo, const QString& texto)
{
    campo->setFocus();
    QWidget* linea = campo->focusProxy() ? campo->focusProxy() : campo;
    QTest::keyClick(linea, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(linea, Qt::Key_Delete);
    QTest::keyClicks(linea, texto);
    QTest::keyClick(linea, Qt::Key_Tab);
}

// Every note, oldest first: key|command|description|state|type|operator (Null as "-").
QStringList Notas(Componente& c)
{
    QStringList notas;
    for (kt508::Recordset rs = c.db().Execute(u"SELECT Hc_Clave, Hc_Comando, CC_Descripcion, Es_Cve_Estado, CC_Tipo, "
                                              "Hc_Operador FROM Historial_Centro ORDER BY Hc_Id"_s);
         !rs.Eof(); rs.MoveNext()) {
        QStringList nota;
        for (int i = 0; i < rs.FieldCount(); ++i)
            nota << (rs.Value(i).isNull() ? u"-"_s : rs.Value(i).toString());
        notas << nota.join(u'|');
    }
    return notas;
}

// The Historial window's rows: command|field|before|after.
QStringList Ventana(const QString& clave)
{
    QStringList filas;
    pruebas::EnModal([&filas](QWidget* modal) {
        auto* tabla = modal ? modal->findChild<QTableWidget*>(u"tablaHistorial"_s) : nullptr;
        for (int fila = 0; tabla && fila < tabla->rowCount(); ++fila) {
            QStringList celdas;
            for (int columna = 2; columna < tabla->columnCount(); ++columna)
                celdas << (tabla->item(fila, columna) ? tabla->item(fila, columna)->text() : QString());
            filas << celdas.join(u'|');
        }
        if (modal)
            QTest::keyClick(modal, Qt::Key_Escape);
    });
    orbanel::ServicioExtras().MuestraHistorial(clave, nullptr);
    return filas;
}

QString Consola(const QString& backend, const QString& clave)
{
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::MergedChannels);
    proceso.start(QStringLiteral(ORBANEL_BIN), {u"--db"_s, pruebas::urlDe(backend), u"--historial"_s, clave});
    if (!proceso.waitForFinished(90000))
        proceso.kill();
    return QString::fromUtf8(proceso.readAll()) + u"código %1"_s.arg(proceso.exitCode());
}

} // namespace

class TstHistorial : public QObject {
    Q_OBJECT

private slots:
    void cadaComando_data() { pruebas::agregaBackends(); }
    void cadaComando();
};

// New (the parent turned into a group, the account generated), Edit, rename, deactivate and
// reactivate of a branch, change of account, delete (the parent left without children), the
// repair and the import, each with its note in the order it wrote; then the deleted centre's
// changes, newest first, field by field, in the window and on the console.
void TstHistorial::cadaComando()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Demo);
    c.dobles.utilerias->reloj = QDateTime(QDate(2026, 12, 5), QTime(10, 30, 0));
    c.Inserta(u"P"_s, u"0"_s, u"Centro P"_s, 0, u"AC"_s);
    c.Inserta(u"1"_s, u"P"_s, u"Centro 1"_s, 0, u"AC"_s);
    frmKT508& frm = c.Carga();

    Selecciona(frm, u"P"_s);
    Pulsa(frm, "btnNuevo", [](frmCATAddCeCo* ed) {
        Teclea(ed->txtClave, u"77"_s);
        Teclea(ed->txtTexto, u"Nuevo"_s);
        pruebas::Tecla(ed, Qt::Key_F4);
    });
    Selecciona(frm, u"77"_s);
    Pulsa(frm, "btnEditar", [](frmCATAddCeCo* ed) {
        Teclea(ed->txtTexto, u"Editado"_s);
        pruebas::Tecla(ed, Qt::Key_F4);
    });
    Selecciona(frm, u"77"_s);
    int cancel = 0;
    QString texto = u"renombrado"_s;
    emit frm.tvCeCos->AfterLabelEdit(cancel, texto);
    c.dobles.datos->respuestas = {kt508::vbYes, kt508::vbYes, kt508::vbYes, kt508::vbYes, kt508::vbYes};
    Selecciona(frm, u"P"_s);
    Pulsa(frm, "btnEliminar");
    Selecciona(frm, u"P"_s);
    Pulsa(frm, "btnReactivar");
    Selecciona(frm, u"1"_s);
    c.dobles.entrada->respuestas = {u"5100-NUEVA"_s};
    Pulsa(frm, "btnB3");
    Selecciona(frm, u"77"_s);
    Pulsa(frm, "btnB1");
    Selecciona(frm, u"1"_s);
    Pulsa(frm, "btnB1");
    c.db().Execute(u"UPDATE Centro_Costo SET CC_Tipo = 1 WHERE CC_Cve_Centro_Costo = 'P'"_s);
    QCOMPARE(orbanel::verifica::ReparaTipos(c.db(), u"ANA"_s), QStringList{u"P"_s});
    QTemporaryDir carpeta;
    QFile csv(carpeta.filePath(u"catalogo.csv"_s));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write(u"Clave,Descripción,Acumula en\nP,Importado,0\n"_s.toUtf8());
    csv.close();
    const auto importacion = orbanel::catalogo::Importa(csv.fileName(), *c.servicios.Datos, *c.servicios.Utilerias,
                                                        orbanel::catalogo::Modo::Importar);
    QVERIFY2(importacion.Escrita(), qPrintable(importacion.Texto()));
    QStringList dichos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->Mensajes()) {
        if (m.estilo != kt508::vbPregunta)
            dichos << m.texto;
    }
    QVERIFY2(dichos.isEmpty(), qPrintable(dichos.join(u'\n')));

    QCOMPARE(Notas(c),
             (QStringList{
                 u"P|Nuevo|Centro P|AC|1|PRUEBAS"_s,
                 u"77|Nuevo|Nuevo|AC|0|PRUEBAS"_s,
                 u"77|Nuevo|Nuevo|AC|0|PRUEBAS"_s,
                 u"77|Editar|Editado|AC|0|PRUEBAS"_s,
                 u"77|Renombrar|RENOMBRADO|AC|0|PRUEBAS"_s,
                 u"P|Baja|Centro P|BA|1|PRUEBAS"_s,
                 u"1|Baja|Centro 1|BA|0|PRUEBAS"_s,
                 u"77|Baja|RENOMBRADO|BA|0|PRUEBAS"_s,
                 u"P|Reactivar|Centro P|AC|1|PRUEBAS"_s,
                 u"1|Reactivar|Centro 1|AC|0|PRUEBAS"_s,
                 u"77|Reactivar|RENOMBRADO|AC|0|PRUEBAS"_s,
                 u"1|Cambiar cuenta contable|Centro 1|AC|0|PRUEBAS"_s,
                 u"77|Eliminar|-|-|-|PRUEBAS"_s,
                 u"1|Eliminar|-|-|-|PRUEBAS"_s,
                 u"P|Eliminar|Centro P|AC|0|PRUEBAS"_s,
                 u"P|Reparar|Centro P|AC|0|ANA"_s,
                 u"P|Importar|Importado|AC|0|PRUEBAS"_s,
             }));

    const QStringList ventana = Ventana(u"77"_s);
    QCOMPARE(ventana.first(), u"Eliminar|Descripción|RENOMBRADO|"_s);
    QVERIFY2(ventana.indexOf(u"Renombrar|Descripción|Editado|RENOMBRADO"_s)
                 > ventana.indexOf(u"Reactivar|Estado|BA|AC"_s),
             qPrintable(ventana.join(u'\n')));
    QVERIFY2(ventana.contains(u"Editar|Descripción|Nuevo|Editado"_s), qPrintable(ventana.join(u'\n')));
    QVERIFY2(ventana.contains(u"Nuevo|Descripción||Nuevo"_s), qPrintable(ventana.join(u'\n')));

    const QString consola = Consola(backend, u"77"_s);
    QVERIFY2(consola.endsWith(u"código 0"_s), qPrintable(consola));
    const qsizetype renombrado = consola.indexOf(u"Renombrar\n    Descripción: «Editado» → «RENOMBRADO»\n"_s);
    QVERIFY2(renombrado > consola.indexOf(u"Eliminar\n    Descripción: «RENOMBRADO» → «»\n"_s)
                 && consola.indexOf(u"Eliminar"_s) > 0,
             qPrintable(consola));
}

QTEST_MAIN(TstHistorial)
#include "tst_historial.moc"
