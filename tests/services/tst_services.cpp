// The suite's services: messages and settings, the utilities, text printing, record consultation.
#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"
#include "suite/consulta/ConsultaRegistro.h"
#include "suite/print/Compaginacion.h"
#include "suite/print/ImpresorTexto.h"
#include "suite/services/ServicioDatos.h"
#include "suite/services/ServicioUtilerias.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using orbanel::Sesion;
using Paginas = std::vector<QStringList>;

namespace {

QVariant Escalar(const QString& sentencia)
{
    return pruebas::escalar(Sesion::Conexion(), sentencia);
}

void AgregaCentro(const QString& clave, const QString& acumula)
{
    Sesion::Conexion().ExecuteParams(
        u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) VALUES (?, ?, ?)"_s,
        {clave, acumula, u"Centro "_s + clave});
}

} // namespace

class TstServicios : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { orbanel::InstalaPlataforma(); }
    void cleanup() { Sesion::Cierra(); }
    void mensajeResponde_data();
    void mensajeResponde();
    void parametros_data() { pruebas::agregaBackends(); }
    void parametros();
    void valorCampoYSiguienteClave_data() { pruebas::agregaBackends(); }
    void valorCampoYSiguienteClave();
    void validaCambio_data() { pruebas::agregaBackends(); }
    void validaCambio();
    void fechaServidor_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void fechaServidor();
    void buscaEnArbol();
    void enviaTeclasMueveElFoco();
    void compagina_data();
    void compagina();
    void vistaPreviaConTeclado();
    void consultaDeRegistro_data() { pruebas::agregaBackends(); }
    void consultaDeRegistro();

private:
    void abre(pruebas::Contenido contenido);

    orbanel::ServicioDatos m_datos;
    orbanel::ServicioUtilerias m_util;
};

void TstServicios::abre(pruebas::Contenido contenido)
{
    QFETCH(QString, backend);
    Sesion::Establece(pruebas::abre(backend, contenido), u"ANA"_s);
}

// A question (292 = Yes/No, No by default) answers 6 or 7; an error or warning answers 1.
// The module and the message's id are always shown. A short text reads on one line; a long
// one wraps instead of stretching the box across the screen.
void TstServicios::mensajeResponde_data()
{
    const QString corto = u"¿Desea eliminar el centro de costos?"_s;
    const QString largo =
        u"No se pudo guardar el centro de costos: "_s + u"la base de datos rechazó el cambio. "_s.repeated(8);
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("estilo");
    QTest::addColumn<int>("tecla"); // none: a click on Sí
    QTest::addColumn<int>("esperado");
    QTest::newRow("clic en Sí") << corto << 292 << 0 << 6;
    QTest::newRow("Enter: No por omisión") << corto << 292 << int(Qt::Key_Return) << 7;
    QTest::newRow("Escape: No") << corto << 292 << int(Qt::Key_Escape) << 7;
    QTest::newRow("error") << largo << 16 << int(Qt::Key_Return) << 1;
    QTest::newRow("aviso") << corto << 48 << int(Qt::Key_Escape) << 1;
}

void TstServicios::mensajeResponde()
{
    QFETCH(QString, texto);
    QFETCH(int, estilo);
    QFETCH(int, tecla);
    QFETCH(int, esperado);
    QString modulo;
    int ancho = 0;
    pruebas::EnModal([&](QWidget* modal) {
        if (!modal)
            return;
        modulo = modal->findChild<QLabel*>(u"textoModulo"_s)->text();
        ancho = modal->findChild<QLabel*>(u"textoMensaje"_s)->width();
        if (tecla)
            pruebas::Tecla(modal, Qt::Key(tecla));
        else
            QTest::mouseClick(modal->findChild<QPushButton*>(u"botonSi"_s), Qt::LeftButton);
    });
    QCOMPARE(m_datos.Mensaje(texto, estilo, u"Orbanel"_s, nullptr, u"KT508"_s, u"ERR-ID:7500010"_s), esperado);
    QVERIFY2(modulo.contains(u"KT508"_s) && modulo.contains(u"ERR-ID:7500010"_s), qPrintable(modulo));
    const int enUnaLinea = QLabel().fontMetrics().horizontalAdvance(texto);
    QVERIFY2(texto.size() < 60 ? ancho >= enUnaLinea : ancho > enUnaLinea / 6 && ancho < enUnaLinea / 2,
             qPrintable(u"%1 de %2"_s.arg(ancho).arg(enUnaLinea)));
}

// A stored setting wins over the default; a missing one gives its default, the empty text too:
// a database created without the demo has no settings, and the screen must still open. The
// connection handed out is the session's one.
void TstServicios::parametros()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Demo));
    QVERIFY(&m_datos.Conexion() == &Sesion::Conexion());
    QCOMPARE(m_datos.Parametro(u"CON_CUENTA_PADRE_CENTRO_COSTO"_s, 0, u"T"_s, u"9"_s).toString(), u"5100"_s);
    QCOMPARE(m_datos.Parametro(u"NO_EXISTE"_s, 0, u"T"_s, u"ABC"_s).toString(), u"ABC"_s);
    QVERIFY_SQL(Sesion::Conexion().Execute(u"DELETE FROM Parametros"_s));
    for (const QString& tipo : {u"T"_s, QString()}) {
        QVariant valor;
        QVERIFY_SQL(valor = m_datos.Parametro(u"FTO_CENTRO_COSTO"_s, 0, tipo, QString()));
        QCOMPARE(valor.toString(), QString());
        QVERIFY(!valor.toBool());
    }
}

// A key without a row reads as free; the next key follows the greatest numeric key only.
void TstServicios::valorCampoYSiguienteClave()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    QVERIFY_SQL(AgregaCentro(u"105"_s, u"0"_s));
    for (const auto& [clave, esperado] :
         {std::pair{u"105"_s, u"Centro 105"_s}, std::pair{u"1' OR '1'='1"_s, QString()}})
        QCOMPARE(m_util.ValorCampo(u"Centro_Costo"_s, u"CC_Cve_Centro_Costo"_s, clave, u"CC_Descripcion"_s), esperado);

    QCOMPARE(m_util.SiguienteClave(u"Grupo_Centro_Costo"_s, u"Gcc_Cve_Grupo_Centro_Costo"_s), 1);
    for (const char* clave : {"7", "0012", "A99", "99999X"})
        QVERIFY_SQL(Sesion::Conexion().ExecuteParams(
            u"INSERT INTO Grupo_Centro_Costo (Gcc_Cve_Grupo_Centro_Costo) VALUES (?)"_s, {QString::fromLatin1(clave)}));
    QCOMPARE(m_util.SiguienteClave(u"Grupo_Centro_Costo"_s, u"Gcc_Cve_Grupo_Centro_Costo"_s), 13);
}

// A valid centre leaves an audit row; one under a missing parent or in a cycle is refused and
// audits nothing. The chain of ancestors is read in one statement, however deep.
void TstServicios::validaCambio()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    orbanel::ado::AdoConnection& db = Sesion::Conexion();
    QVERIFY_SQL(db.BeginTrans());
    for (const char* fila : {"1 0", "4 44", "C1 C2", "C2 C1"}) {
        const QStringList centro = QString::fromLatin1(fila).split(u' ');
        QVERIFY_SQL(AgregaCentro(centro.at(0), centro.at(1)));
    }
    for (int nivel = 1; nivel <= 150; ++nivel) // deeper than a server's default recursion
        QVERIFY_SQL(AgregaCentro(u"P%1"_s.arg(nivel), nivel == 1 ? u"1"_s : u"P%1"_s.arg(nivel - 1)));
    QVERIFY_SQL(db.CommitTrans());

    db.setRecording(true);
    QVERIFY2(m_util.ValidaCambio(u"CENTRO_COSTO"_s, u"P150"_s, QString()), qPrintable(m_util.UltimoError()));
    QCOMPARE(db.recorded().filter(u"FROM Centro_Costo"_s).size(), 1);
    QVERIFY(!m_util.ValidaCambio(u"CENTRO_COSTO"_s, u"4"_s, QString()));
    QCOMPARE(m_util.UltimoError(), u"El centro de costos 4 acumula en 44, que no existe."_s);
    QVERIFY(!m_util.ValidaCambio(u"CENTRO_COSTO"_s, u"C1"_s, QString()));
    QCOMPARE(m_util.UltimoError(),
             u"El centro de costos C2 no puede acumular en C1: se formaría un ciclo en la jerarquía."_s);
    // One row in all: the valid centre's, stamped.
    QCOMPARE(Escalar(u"SELECT COUNT(*) FROM Bitacora_Cambios"_s).toInt(), 1);
    QCOMPARE(Escalar(u"SELECT Bc_Operador FROM Bitacora_Cambios WHERE Bc_Tabla = 'CENTRO_COSTO' AND Bc_Clave = 'P150' "
                     "AND Bc_Fecha IS NOT NULL"_s),
             QVariant(u"ANA"_s));
}

// The server's clock is read once and then followed here: three stamps cost one statement, and
// each is the server's time to the second.
void TstServicios::fechaServidor()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    orbanel::ado::AdoConnection& db = Sesion::Conexion();
    const QString reloj = orbanel::ado::Dialecto::De(db.dialect()).ConsultaFechaServidor();
    orbanel::ServicioUtilerias util;
    db.setRecording(true);
    QList<QDateTime> fechas;
    for (int vez = 0; vez < 3; ++vez)
        QVERIFY_SQL(fechas << util.FechaServidor());
    QCOMPARE(db.recorded(), QStringList{reloj});
    QDateTime servidor;
    QVERIFY_SQL(servidor = Escalar(reloj).toDateTime());
    QVERIFY2(fechas.at(0) <= fechas.at(2) && qAbs(fechas.at(2).secsTo(servidor)) <= 2
                 && fechas.at(2).time().msec() == 0,
             qPrintable(fechas.at(2).toString(Qt::ISODateWithMs) + u" / "_s + servidor.toString(Qt::ISODateWithMs)));
}

// Display order, case and accents ignored, continuing after the selection, wrapping round;
// no match tells the user and leaves the selection.
void TstServicios::buscaEnArbol()
{
    QWidget ventana;
    kt508::TreeView* arbol = kt508::plataforma().NuevoTreeView(&ventana);
    arbol->Add(QString(), kt508::tvwLast, u"N0"_s, u"RAIZ"_s, 1);
    arbol->Add(u"N0"_s, kt508::tvwChild, u"N1"_s, u"1 - Ventas norte"_s, 1);
    arbol->Add(u"N0"_s, kt508::tvwChild, u"N2"_s, u"2 - Operaciones"_s, 1);
    arbol->Add(u"N2"_s, kt508::tvwChild, u"N22"_s, u"22 - Ventas sur"_s, 1);
    arbol->Add(u"N22"_s, kt508::tvwPrevious, u"N21"_s, u"21 - Línea VENTAS"_s, 1); // added last, shown first
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    const auto seleccionado = [arbol] { return arbol->SelectedItem() ? arbol->SelectedItem()->Key() : QString(); };
    for (const QString& esperado : {u"N1"_s, u"N21"_s, u"N22"_s, u"N1"_s}) {
        m_util.BuscaEnArbol(*arbol, u"véntas"_s);
        QCOMPARE(seleccionado(), esperado);
    }
    QVERIFY(arbol->Nodes(u"N2"_s)->Expanded()); // made visible
    QString texto;
    pruebas::EnModal([&](QWidget* modal) {
        if (!modal)
            return;
        texto = modal->findChild<QLabel*>(u"textoMensaje"_s)->text();
        pruebas::Tecla(modal, Qt::Key_Return);
    });
    m_util.BuscaEnArbol(*arbol, u"Tesorería"_s);
    QCOMPARE(texto, u"No se encontró «Tesorería» en el árbol."_s);
    QCOMPARE(seleccionado(), u"N1"_s);
}

// A tab sent to the focus moves it as the key would: forward, once per tab, after the caller's
// handler has returned.
void TstServicios::enviaTeclasMueveElFoco()
{
    QWidget ventana;
    auto* analizar = new QCheckBox(u"Analizar"_s, &ventana); // tab order is that of creation
    QWidget* campos[] = {analizar, new QLineEdit(&ventana), new QLineEdit(&ventana)};
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    analizar->setFocus();
    for (QWidget* siguiente : {campos[1], campos[2]}) {
        m_util.EnviaTeclas(u"\t"_s, 0);
        QTRY_COMPARE(QApplication::focusWidget(), siguiente);
    }
    QVERIFY(!analizar->isChecked());
}

void TstServicios::compagina_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QList<int>>("anchoYRenglones");
    QTest::addColumn<Paginas>("esperado");
    QTest::newRow("línea larga partida, página llena")
        << u"\t0123456789ABCDEFGHIJ"_s << QList<int>{10, 2} << Paginas{{"    012345", "6789ABCDEF"}, {"GHIJ"}};
    QTest::newRow("saltos de página, tabulador a media línea")
        << u"uno\fdos\r\n\f\r\nab\tc\r\n"_s << QList<int>{80, 10} << Paginas{{"uno"}, {"dos"}, {"ab  c"}};
    QTest::newRow("renglones en blanco al final, página llena")
        << u"uno\r\ndos\r\n\r\n\t\r\n"_s << QList<int>{80, 2} << Paginas{{"uno", "dos"}};
}

// The text laid out on pages of a width and a number of lines, tabs every four columns.
void TstServicios::compagina()
{
    QFETCH(QString, texto);
    QFETCH(QList<int>, anchoYRenglones);
    QFETCH(Paginas, esperado);
    QCOMPARE(orbanel::Compagina(texto, anchoYRenglones[0], anchoYRenglones[1], 4), esperado);
}

// The preview opens at a size a page can be read at, and prints and saves (a PDF) from the
// keyboard: its toolbar buttons take no focus. Ctrl+P's print dialog is named and cancelled;
// Ctrl+S's file dialog saves into the folder, under the name proposed for a listing without title.
void TstServicios::vistaPreviaConTeclado()
{
    QTemporaryDir carpeta;
    QString alImprimir;
    double altoRelativo = 0;
    const auto contesta = [&](QWidget* dialogo) {
        if (auto* archivo = qobject_cast<QFileDialog*>(dialogo)) {
            archivo->setDirectory(carpeta.path());
            pruebas::Tecla(archivo, Qt::Key_Return);
        } else if (dialogo) {
            alImprimir = QString::fromLatin1(dialogo->metaObject()->className());
            pruebas::Tecla(dialogo, Qt::Key_Escape);
        }
    };
    pruebas::EnModal([&](QWidget* vista) {
        if (!vista)
            return;
        altoRelativo = double(vista->height()) / vista->screen()->availableGeometry().height();
        for (Qt::Key tecla : {Qt::Key_P, Qt::Key_S}) {
            pruebas::EnOtraModal(vista, contesta);
            pruebas::Tecla(vista, tecla, Qt::ControlModifier);
            QApplication::setActiveWindow(vista); // as a window manager does when a dialog closes
        }
        pruebas::Tecla(vista, Qt::Key_Escape);
    });
    orbanel::ImpresorTexto().Imprime(u"1 - Ventas norte\r\n\t10 - Ventas sur\r\n"_s, QString(), 0, 0, -1, -1, 7, -1);
    QCOMPARE(alImprimir, u"QPrintDialog"_s);
    QFile archivo(carpeta.filePath(u"Listado.pdf"_s));
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QCOMPARE(archivo.read(4), QByteArray("%PDF"));
    QVERIFY2(altoRelativo >= 0.8, qPrintable(QString::number(altoRelativo)));
}

// Every column of the record, read-only, read with the arrows and left with Tab and Space on
// Cerrar; a missing record is a message, no listing.
void TstServicios::consultaDeRegistro()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Demo));
    const int columnas = Sesion::Conexion().Execute(u"SELECT * FROM Centro_Costo"_s).FieldCount();
    orbanel::ConsultaRegistro servicio;
    kt508::IConsultaRegistro& consulta = servicio; // as the screen calls it
    QMap<QString, QString> valores;
    bool editable = false;
    QString titulo, focoTrasTab;
    pruebas::EnModal([&](QWidget* modal) {
        auto* tabla = modal ? modal->findChild<QTableWidget*>(u"tablaCampos"_s) : nullptr;
        if (!tabla)
            return;
        titulo = modal->windowTitle();
        for (int i = 0; i < tabla->rowCount(); ++i) {
            valores[tabla->item(i, 0)->text().toLower()] = tabla->item(i, 1)->text();
            editable = editable || (tabla->item(i, 1)->flags() & Qt::ItemIsEditable);
        }
        tabla->setFocus();
        pruebas::Tecla(modal, Qt::Key_Down);
        pruebas::Tecla(modal, Qt::Key_Tab);
        if (auto* boton = qobject_cast<QPushButton*>(QApplication::focusWidget()))
            focoTrasTab = boton->text();
        pruebas::Tecla(modal, Qt::Key_Space);
    });
    consulta.Muestra(u"Centro_Costo"_s, u"Cc_Cve_Centro_Costo"_s, u"105"_s);
    QCOMPARE(titulo, u"Centro_Costo"_s);
    QCOMPARE(int(valores.size()), columnas);
    QCOMPARE(valores[u"cc_descripcion"_s], u"Ventas norte"_s);
    QCOMPARE(valores[u"cc_acumula"_s], u"100"_s);
    QVERIFY(!editable);
    QCOMPARE(focoTrasTab, u"Cerrar"_s);

    QString texto;
    pruebas::EnModal([&](QWidget* modal) {
        auto* etiqueta = modal ? modal->findChild<QLabel*>(u"textoMensaje"_s) : nullptr;
        texto = !etiqueta || modal->findChild<QTableWidget*>() ? u"sin mensaje o con listado"_s : etiqueta->text();
        if (modal)
            modal->close();
    });
    consulta.Muestra(u"Centro_Costo"_s, u"Cc_Cve_Centro_Costo"_s, u"0"_s);
    QVERIFY2(texto.contains(u"No existe"_s), qPrintable(texto));
}

QTEST_MAIN(TstServicios)
#include "tst_services.moc"
