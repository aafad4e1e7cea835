// A centre's history: the note every command leaves, driven as a user drives the commands, and
// the changes read back field by field in the Historial window and on the console, a deleted
// centre's included.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/editor/frmCATAddCeCo.h"
#include "kt508/services/Controles.h"
#include "suite/ado/AdoConnection.h"
#include "suite/catalogo/Importacion.h"
#include "suite/extras/ServicioExtras.h"
#include "suite/schema/Versiones.h"
#include "suite/verifica/Verificacion.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QFile>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;

namespace {

// Clicks the node, then the toolbar's button; the editor it opens gets the action and F4.
void Pulsa(frmKT508& frm, const QString& clave, const QString& boton,
           const std::function<void(frmCATAddCeCo*)>& accion = {})
{
    pruebas::Clic(frm, clave);
    if (!accion)
        return pruebas::Lanza(frm, boton);
    QVERIFY(pruebas::EnEditor(frm, boton, [accion](frmCATAddCeCo* ed) {
        accion(ed);
        pruebas::Tecla(ed, Qt::Key_F4);
    }));
}

// Every note, oldest first: key|command|description|state|type|operator (Null as "-").
QStringList Notas(Componente& c)
{
    return c.Filas(u"SELECT Hc_Clave, Hc_Comando, CC_Descripcion, Es_Cve_Estado, CC_Tipo, Hc_Operador FROM "
                   "Historial_Centro ORDER BY Hc_Id"_s);
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
    void estadoInicial_data() { pruebas::agregaBackends(); }
    void estadoInicial();
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
    c.Inserta({u"P|0|Centro P|0|AC"_s, u"1|P|Centro 1|0|AC"_s});
    frmKT508& frm = c.Carga();

    Pulsa(frm, u"P"_s, u"btnNuevo"_s, [](frmCATAddCeCo* ed) {
        pruebas::Teclea(ed->txtClave, u"77"_s);
        pruebas::Teclea(ed->txtTexto, u"Nuevo"_s);
    });
    Pulsa(frm, u"77"_s, u"btnEditar"_s, [](frmCATAddCeCo* ed) { pruebas::Teclea(ed->txtTexto, u"Editado"_s); });
    pruebas::Clic(frm, u"77"_s);
    int cancel = 0;
    QString texto = u"renombrado"_s;
    emit frm.tvCeCos->AfterLabelEdit(cancel, texto);
    c.dobles.datos->respuestas = {kt508::vbYes, kt508::vbYes, kt508::vbYes, kt508::vbYes, kt508::vbYes};
    Pulsa(frm, u"P"_s, u"btnEliminar"_s);
    Pulsa(frm, u"P"_s, u"btnReactivar"_s);
    c.dobles.entrada->respuestas = {u"5100-NUEVA"_s};
    Pulsa(frm, u"1"_s, u"btnB3"_s);
    Pulsa(frm, u"77"_s, u"btnB1"_s);
    Pulsa(frm, u"1"_s, u"btnB1"_s);
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

    QVERIFY(!pruebas::escalar(c.db(),
                              u"SELECT CC_Cuenta_Contable FROM Historial_Centro "
                              "WHERE Hc_Clave = '77' AND Hc_Comando = 'Nuevo'"_s)
                 .toString()
                 .isEmpty());

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

// A centre that existed when the history began starts from its row as it stood then: the
// starting point lists no field, and the first change only the fields it changed.
void TstHistorial::estadoInicial()
{
    QFETCH(QString, backend);
    Componente c(backend, Contenido::Demo);
    orbanel::schema::AnotaEstadoInicial(c.db(), u"ANA"_s);
    frmKT508& frm = c.Carga();
    Pulsa(frm, u"2011"_s, u"btnEditar"_s, [](frmCATAddCeCo* ed) { pruebas::Teclea(ed->txtTexto, u"Editado"_s); });

    const QStringList ventana = Ventana(u"2011"_s);
    // the editor's own writes (an empty number saved as 0) are the Edit's; the rest is unchanged
    const QString texto = ventana.join(u'\n');
    QVERIFY2(ventana.size() > 1 && ventana.last() == u"Estado inicial|||"_s
                 && ventana.filter(u"Estado inicial"_s).size() == 1,
             qPrintable(texto));
    QVERIFY2(ventana.contains(u"Editar|Descripción|Planta Toluca|Editado"_s) && !texto.contains(u"|Estado|"_s)
                 && !texto.contains(u"|Alta (operador)|"_s) && !texto.contains(u"|Acumula en|"_s),
             qPrintable(texto));
    const QString consola = Consola(backend, u"2011"_s);
    QVERIFY2(consola.contains(u"  ANA  Estado inicial\ncódigo 0"_s), qPrintable(consola));
}

QTEST_MAIN(TstHistorial)
#include "tst_historial.moc"
