// The host program as a user or a script runs it, its Archivo menu, and its end however it comes.
#include "host/Traducciones.h"
#include "host/VentanaOrbanel.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdlib>

using orbanel::Sesion;
using orbanel::ado::AdoConnection;
using namespace Qt::StringLiterals;

namespace {

// Set in the copy of this program that ends the way Qt ends a process whose display was lost.
const char* const Hijo = "KT508_FIN_HIJO";

const QString RaizComoCentro =
    u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, CC_Tipo) VALUES ('0', '0', 'Raíz', 1)"_s;
const QString PadreDeSiMismo = u"UPDATE Centro_Costo SET CC_Acumula = '100' WHERE CC_Cve_Centro_Costo = '100'"_s;
const QString TipoErroneo = u"UPDATE Centro_Costo SET CC_Tipo = 0 WHERE CC_Cve_Centro_Costo = '200'"_s;

// Inside a command's transaction, holding the file's write lock, exit() while Qt runs.
int TerminaConTransaccionAbierta(int argc, char** argv)
{
    QApplication app(argc, argv);
    Sesion::Configura(qEnvironmentVariable(Hijo), u"PRUEBAS"_s);
    Sesion::Conexion().BeginTrans();
    Sesion::Conexion().Execute(
        u"UPDATE Centro_Costo SET CC_Descripcion = 'a medias' WHERE CC_Cve_Centro_Costo = '100'"_s);
    std::exit(1);
}

struct Resultado {
    int codigo = -1; // also when it crashed or had to be killed
    QString texto;   // what it wrote, on either channel
};

// The registry of this test, no display and no one to answer.
QProcessEnvironment Entorno(const QString& registro)
{
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(u"ORBANEL_REGISTRO"_s, registro);
    entorno.remove(u"DISPLAY"_s);
    entorno.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    return entorno;
}

void Inicia(QProcess& proceso, const QString& programa, const QStringList& argumentos,
            const QProcessEnvironment& entorno)
{
    proceso.setProcessEnvironment(entorno);
    proceso.setProcessChannelMode(QProcess::MergedChannels);
    proceso.start(programa, argumentos);
}

// Generous: a loaded machine may be slow, but a program that waits for a window never ends.
Resultado Espera(QProcess& proceso)
{
    Resultado r;
    if (!proceso.waitForFinished(90000))
        proceso.kill();
    else if (proceso.exitStatus() == QProcess::NormalExit)
        r.codigo = proceso.exitCode();
    r.texto = QString::fromUtf8(proceso.readAll());
    return r;
}

Resultado Ejecuta(const QString& programa, const QStringList& argumentos, const QProcessEnvironment& entorno)
{
    QProcess proceso;
    Inicia(proceso, programa, argumentos, entorno);
    return Espera(proceso);
}

// A demo catalogue in a file of its own, with the statements given run on it; its URL.
QString BaseDemo(const QString& archivo, const QStringList& sentencias = {})
{
    const QString url = u"sqlite:"_s + archivo;
    std::unique_ptr<AdoConnection> db = AdoConnection::Open(url);
    orbanel::schema::Borra(*db);
    orbanel::schema::Crea(*db);
    orbanel::schema::CargaDemo(*db);
    for (const QString& sentencia : sentencias)
        db->Execute(sentencia);
    return url;
}

bool EscribeCsv(const QString& archivo, const QStringList& renglones)
{
    QFile salida(archivo);
    const QByteArray texto = renglones.join(u"\r\n"_s).toUtf8() + "\r\n";
    return salida.open(QIODevice::WriteOnly) && salida.write(texto) == texto.size();
}

// Clicks Cancelar on the import's progress once it shows centres written, then hands the next
// window to the action.
void CancelaConAvance(int& escritos, const std::function<void(QWidget*)>& despues, QDeadlineTimer limite)
{
    QTimer::singleShot(5, [&escritos, despues, limite] {
        auto* progreso = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if ((!progreso || progreso->value() <= 0) && !limite.hasExpired())
            return CancelaConAvance(escritos, despues, limite);
        if (!progreso)
            return despues(nullptr);
        escritos = progreso->value();
        pruebas::EnOtraModal(progreso, despues);
        progreso->findChild<QPushButton*>()->click();
    });
}

// The host's window on the session's catalogue, Archivo opened with Alt+A and its entry chosen
// by the key; the dialogs it opens are answered by what the test set up.
bool EligeEnArchivo(Qt::Key tecla)
{
    VentanaOrbanel ventana(u"KT508"_s);
    ventana.setAttribute(Qt::WA_DeleteOnClose, false);
    ventana.show();
    if (!QTest::qWaitForWindowActive(&ventana))
        return false;
    QTest::keyClick(&ventana, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), tecla);
    return true;
}

} // namespace

class TstHost : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { Sesion::Cierra(); }
    void desdeLaConsola_data();
    void desdeLaConsola();
    void menuVerificarYCorregir_data();
    void menuVerificarYCorregir();
    void menuExportar();
    void menuImportarCancelado();
    void botonesDeQtEnEspanol();
    void noEncogeMenosQueLaPantalla();
    void terminaSinFallar_data();
    void terminaSinFallar();
    void salidaDeQtDeshaceLaTransaccion();

private:
    QTemporaryDir m_carpeta;
    QProcessEnvironment m_entorno;
};

void TstHost::initTestCase()
{
    QVERIFY(m_carpeta.isValid());
    m_entorno = Entorno(m_carpeta.filePath(u"registro.ini"_s));
    const Resultado r = Ejecuta(ORBANEL_BIN, {u"--registrar"_s, KT508_MODULO}, m_entorno);
    QVERIFY2(r.codigo == 0, qPrintable(r.texto));
    QVERIFY(EscribeCsv(m_carpeta.filePath(u"importar.csv"_s),
                       {u"Clave,Descripción,Acumula en"_s, u"1011,Publicidad y medios,101"_s, u"N1,Nuevo,101"_s}));
    QVERIFY(EscribeCsv(m_carpeta.filePath(u"rechazos.csv"_s),
                       {u"Clave,Descripción,Acumula en"_s, u"0,Raíz,0"_s, u"N1,Sin padre,ZZ"_s}));
}

// The program run from a script, on a demo catalogue with the statements given run on it ("%db"
// on the command line): its exit code and what it says ('|' between texts), never a wait for
// someone to answer, never a word of Qt's English.
void TstHost::desdeLaConsola_data()
{
    QTest::addColumn<QString>("orden");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QString>("dice");
    QTest::addColumn<QStringList>("fallas");
    const auto fila = [](const char* nombre, const QString& orden, int codigo, const QString& dice,
                         const QStringList& fallas = {}) {
        QTest::newRow(nombre) << orden << codigo << dice << fallas;
    };
    // Rows the tree cannot show (one under the root's own key, one under itself) are left out of
    // the capture, which is made all the same.
    fila("captura", u"orbanel --db %db --screenshot %png"_s, 0, {}, {RaizComoCentro, PadreDeSiMismo});
    fila("verificar con fallas", u"orbanel --verificar --db %db"_s, 1,
         u"centro 100 acumula en s|centro 200 tiene CC_Tipo 0"_s, {PadreDeSiMismo, TipoErroneo});
    // The check reads; the repair is what the database refuses, and the console says so.
    fila("reparar sin poder escribir", u"orbanel --verificar --reparar --db %db"_s, 3,
         u"centro 200 tiene CC_Tipo 0|no se pudo reparar el catálogo: "_s,
         {TipoErroneo,
          u"CREATE TRIGGER Sin_Escritura BEFORE UPDATE ON Centro_Costo BEGIN "
          "SELECT RAISE(ABORT, 'attempt to write a readonly database'); END"_s});
    fila("verificar sano", u"orbanel --verificar --db %db"_s, 0, {});
    fila("ayuda", u"orbanel --help"_s, 0,
         u"orbanel|--help|--version|--db|--operador|--crear-esquema|--verificar|--reparar|"
         "--exportar|--importar|--mover|--simular|--screenshot|--expandir|--registrar|--desregistrar"_s);
    // Mistakes on the command line and libraries that do not load are told in Spanish, the
    // system's own reason after the lead.
    fila("opción desconocida", u"orbanel --bogus"_s, 2, u"opción desconocida: --bogus"_s);
    fila("falta el valor", u"orbanel --db"_s, 2, u"falta el valor de --db"_s);
    fila("valor de más", u"orbanel --verificar=si"_s, 2, u"--verificar no lleva valor"_s);
    fila("biblioteca inexistente", u"orbanel --registrar %dir/no-existe.so"_s, 2,
         u"No se pudo cargar la biblioteca|no-existe.so|el archivo no existe"_s);
    fila("biblioteca que no es una biblioteca", u"orbanel --registrar %dir/biblioteca_que_no_es_una_biblioteca.db"_s, 2,
         u"No se pudo cargar la biblioteca|invalid ELF header"_s);
    // The export: the file written, a name it cannot write, a database without one.
    fila("exportar", u"orbanel --exportar %dir/exportar.csv --db %db"_s, 0, u"Se exportaron 50 centros de costos"_s);
    fila("exportar a .txt", u"orbanel --exportar %dir/catalogo.txt --db %db"_s, 2, u"«%dir/catalogo.txt»|.csv|.xlsx"_s);
    fila("exportar sin base", u"orbanel --exportar %dir/x.xlsx --db sqlite:%dir/no-existe.db"_s, 3,
         u"no se pudo exportar el catálogo|no existe la base"_s);
    // The import: written, refused rows listed with their lines, only simulated.
    fila("importar", u"orbanel --importar %dir/importar.csv --db %db"_s, 0,
         u"Importando: 2 de 2 centros escritos.|Se importó el catálogo de %dir/importar.csv:|"
         "Centros nuevos: 1. Modificados: 1. Sin cambios: 0."_s);
    fila("importar con rechazos", u"orbanel --importar %dir/rechazos.csv --db %db"_s, 1,
         u"No se importó nada: 2 renglones de %dir/rechazos.csv tienen problemas.|Línea 2, clave 0: La clave 0 es "
         "la de la raíz|Línea 3, clave N1: El centro acumulador ZZ no existe."_s);
    fila("simular", u"orbanel --importar %dir/importar.csv --simular --db %db"_s, 0,
         u"Simulación: no se escribió nada.|Centros nuevos: 1."_s);
    fila("simular sin importar", u"orbanel --simular --db %db"_s, 2, u"--simular solo se usa junto con --importar"_s);
    fila("importar un libro", u"orbanel --importar %dir/catalogo.xlsx --db %db"_s, 2,
         u"«%dir/catalogo.xlsx» no termina en .csv"_s);
    fila("importar y exportar", u"orbanel --importar %dir/importar.csv --exportar %dir/x.csv --db %db"_s, 2,
         u"--importar no se usa junto con"_s);
    fila("importar sin archivo", u"orbanel --importar %dir/no-existe.csv --db %db"_s, 3,
         u"no se pudo importar el catálogo: No se pudo abrir el archivo"_s);
    // A move: done, refused inside its own branch, a key that does not exist.
    fila("mover", u"orbanel --mover 105 106 --db %db"_s, 0, u"El centro de costos 105 depende ahora de 106."_s);
    fila("mover dentro de la rama", u"orbanel --mover 105 10511 --db %db"_s, 3,
         u"no se pudo mover el catálogo|se formaría un ciclo"_s);
    fila("mover lo que no existe", u"orbanel --mover ZZ 106 --db %db"_s, 3, u"El centro de costos ZZ no existe."_s);
    fila("mover sin padre", u"orbanel --mover 105 --db %db"_s, 2, u"--mover CLAVE NUEVO_PADRE"_s);
    // An operator longer than the audit columns would make every change fail: refused at start.
    fila("operador largo", u"orbanel --operador %1 --db %db --screenshot %png"_s.arg(QString(31, u'A')), 2,
         u"--operador admite hasta 30 caracteres"_s);
    fila("bench rehúsa argumentos", u"bench --maximo 10"_s, 2, u"--maximo"_s);
}

void TstHost::desdeLaConsola()
{
    QFETCH(QString, orden);
    QFETCH(int, codigo);
    QFETCH(QString, dice);
    QFETCH(QStringList, fallas);
    const QString nombre = m_carpeta.filePath(QString::fromUtf8(QTest::currentDataTag()).replace(u' ', u'_'));
    QString url;
    QVERIFY_SQL(url = BaseDemo(nombre + u".db"_s, fallas));
    QStringList argumentos = orden.replace(u"%db"_s, url).replace(u"%dir"_s, m_carpeta.path()).split(u' ');
    argumentos.replaceInStrings(u"%png"_s, nombre + u".png"_s);
    dice.replace(u"%dir"_s, m_carpeta.path());
    const QString programa = argumentos.takeFirst() == u"bench"_s ? BENCH_TREE : ORBANEL_BIN;
    const Resultado r = Ejecuta(programa, argumentos, m_entorno);
    QVERIFY2(r.codigo == codigo, qPrintable(QString::number(r.codigo) + u' ' + r.texto));
    for (const QString& texto : dice.split(u'|', Qt::SkipEmptyParts))
        QVERIFY2(r.texto.contains(texto), qPrintable(texto + u": "_s + r.texto));
    for (const char* ingles : {"Unknown option", "Missing value", "Unexpected value", "Cannot load"})
        QVERIFY2(!r.texto.contains(QLatin1String(ingles)), qPrintable(r.texto));
    if (argumentos.contains(u"--screenshot"_s) && codigo == 0)
        QVERIFY(QFileInfo(nombre + u".png"_s).size() > 0);
}

void TstHost::menuVerificarYCorregir_data()
{
    QTest::addColumn<QString>("respuesta");
    QTest::addColumn<int>("tipo");
    QTest::newRow("sí corrige") << u"botonSi"_s << 1;
    QTest::newRow("no deja todo") << u"botonNo"_s << 0;
}

// Archivo → Verificar catálogo lists the problem; Corregir asks first and only then repairs.
void TstHost::menuVerificarYCorregir()
{
    QFETCH(QString, respuesta);
    QFETCH(int, tipo);
    ABRE_BACKEND(db, u"sqlite"_s, pruebas::Contenido::Demo);
    QVERIFY_SQL(db->Execute(TipoErroneo));
    Sesion::Establece(std::move(db), u"PRUEBAS"_s);
    QString antes, despues;
    bool preguntado = false;
    pruebas::EnModal([&](QWidget* dialogo) {
        if (!dialogo)
            return;
        auto* informe = dialogo->findChild<QPlainTextEdit*>(u"informe"_s);
        antes = informe->toPlainText();
        pruebas::EnModal([&](QWidget* pregunta) {
            preguntado = pregunta && pregunta->objectName() == u"DialogoMensaje"_s;
            if (pregunta)
                pregunta->findChild<QPushButton*>(respuesta)->click();
        });
        dialogo->findChild<QPushButton*>(u"botonCorregir"_s)->click();
        despues = informe->toPlainText();
        dialogo->findChild<QPushButton*>(u"botonCerrar"_s)->click();
    });
    QVERIFY(EligeEnArchivo(Qt::Key_V));
    QVERIFY2(antes.contains(u"centro 200 tiene CC_Tipo 0"_s), qPrintable(antes));
    QVERIFY(preguntado);
    QCOMPARE(despues.contains(u"CC_Tipo 0"_s), tipo == 0);
    QCOMPARE(
        pruebas::escalar(Sesion::Conexion(), u"SELECT CC_Tipo FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '200'"_s)
            .toInt(),
        tipo);
}

// Archivo → Exportar catálogo…: a name typed without extension takes the chosen format's, the
// workbook is written and the user told how many centres went into it.
void TstHost::menuExportar()
{
    QVERIFY_SQL(Sesion::Establece(pruebas::abre(u"sqlite"_s, pruebas::Contenido::Demo), u"PRUEBAS"_s));
    QTemporaryDir carpeta;
    QString aviso;
    pruebas::EnModal([&](QWidget* dialogo) {
        auto* archivos = qobject_cast<QFileDialog*>(dialogo);
        if (!archivos)
            return;
        archivos->setDirectory(carpeta.path());
        QLineEdit* nombre = archivos->findChild<QLineEdit*>(u"fileNameEdit"_s);
        nombre->selectAll();
        QTest::keyClicks(nombre, u"catalogo"_s);
        pruebas::EnOtraModal(archivos, [&](QWidget* mensaje) {
            if (!mensaje)
                return;
            aviso = mensaje->findChild<QLabel*>(u"textoMensaje"_s)->text();
            mensaje->findChild<QPushButton*>(u"botonAceptar"_s)->click();
        });
        pruebas::Tecla(archivos, Qt::Key_Return);
    });
    QVERIFY(EligeEnArchivo(Qt::Key_E));
    const QString libro = carpeta.filePath(u"catalogo.xlsx"_s);
    QCOMPARE(aviso, u"Se exportaron 50 centros de costos a %1."_s.arg(libro));
    QFile archivo(libro);
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QCOMPARE(archivo.read(2), QByteArray("PK")); // a workbook is a zip
}

// Archivo → Importar catálogo…: the file chosen in the dialog, Cancelar pressed once centres
// are written; the whole import is rolled back and the user told so.
void TstHost::menuImportarCancelado()
{
    QVERIFY_SQL(Sesion::Establece(pruebas::abre(u"sqlite"_s, pruebas::Contenido::Demo), u"PRUEBAS"_s));
    QVERIFY_SQL(Sesion::Conexion().Execute(
        u"UPDATE Parametros SET Valor = '' WHERE Parametro = 'CON_CUENTA_PADRE_CENTRO_COSTO'"_s));
    const QString antes = pruebas::volcado(Sesion::Conexion());
    QTemporaryDir carpeta;
    QStringList renglones{u"Clave,Descripción,Acumula en"_s};
    for (int i = 1; i <= 3000; ++i)
        renglones << u"N%1,Nuevo %1,1061"_s.arg(i);
    QVERIFY(EscribeCsv(carpeta.filePath(u"catalogo.csv"_s), renglones));
    int escritos = 0;
    QString informe;
    pruebas::EnModal([&](QWidget* dialogo) {
        auto* archivos = qobject_cast<QFileDialog*>(dialogo);
        if (!archivos)
            return;
        archivos->setDirectory(carpeta.path());
        QTest::keyClicks(archivos->findChild<QLineEdit*>(u"fileNameEdit"_s), u"catalogo.csv"_s);
        CancelaConAvance(
            escritos,
            [&](QWidget* mensaje) {
                if (!mensaje)
                    return;
                informe = mensaje->findChild<QPlainTextEdit*>(u"informe"_s)->toPlainText();
                mensaje->findChild<QPushButton*>(u"botonCerrar"_s)->click();
            },
            QDeadlineTimer(20000));
        pruebas::Tecla(archivos, Qt::Key_Return);
    });
    QVERIFY(EligeEnArchivo(Qt::Key_I));
    QVERIFY2(escritos > 0 && escritos < 3000, qPrintable(QString::number(escritos)));
    QCOMPARE(informe,
             u"Se canceló la importación de %1: no se cambió nada."_s.arg(carpeta.filePath(u"catalogo.csv"_s)));
    QCOMPARE(pruebas::volcado(Sesion::Conexion()), antes);
}

// Qt's own buttons (message boxes, print and file dialogs use these) speak Spanish.
void TstHost::botonesDeQtEnEspanol()
{
    QVERIFY(CargaTraducciones(*QCoreApplication::instance()));
    QDialogButtonBox botones(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(botones.button(QDialogButtonBox::Cancel)->text().remove(u'&'), u"Cancelar"_s);
    QCOMPARE(botones.button(QDialogButtonBox::Save)->text().remove(u'&'), u"Guardar"_s);
}

// A user who drags the window small still sees the whole screen as it was designed.
void TstHost::noEncogeMenosQueLaPantalla()
{
    VentanaOrbanel ventana(u"KT508"_s);
    ventana.setAttribute(Qt::WA_DeleteOnClose, false);
    auto* pantalla = new QWidget;
    pantalla->resize(575, 380);
    ventana.Muestra(pantalla);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    ventana.resize(200, 100);
    QApplication::processEvents();
    QVERIFY2(pantalla->width() >= 575 && pantalla->height() >= 380,
             qPrintable(u"%1x%2"_s.arg(pantalla->width()).arg(pantalla->height())));
}

void TstHost::terminaSinFallar_data()
{
    QTest::addColumn<int>("senal"); // 0: the display goes away
    QTest::addColumn<int>("codigo");
    QTest::newRow("SIGTERM") << int(SIGTERM) << 128 + SIGTERM;
    QTest::newRow("SIGINT") << int(SIGINT) << 128 + SIGINT;
    QTest::newRow("SIGHUP, la sesión remota se cae") << int(SIGHUP) << 128 + SIGHUP;
    QTest::newRow("se pierde la pantalla") << 0 << 1; // Qt's own exit code
}

// The catalogue loaded on screen (the load has read its last setting), then the signal or the X
// server gone: the host ends with its code, never of a signal of its own.
void TstHost::terminaSinFallar()
{
    QFETCH(int, senal);
    QFETCH(int, codigo);
    const QString base = m_carpeta.filePath(QString::fromLatin1(QTest::currentDataTag()).left(6));
    QString url;
    QVERIFY_SQL(url = BaseDemo(base + u".db"_s));
    QProcessEnvironment entorno = m_entorno;
    entorno.insert(u"ORBANEL_SQL_TRACE"_s, base + u".sql"_s);
    QProcess xvfb;
    if (senal == 0) {
        xvfb.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s});
        QVERIFY2(xvfb.waitForReadyRead(30000), "Xvfb no arrancó");
        entorno.insert(u"DISPLAY"_s, u":"_s + QString::fromLatin1(xvfb.readLine().trimmed()));
        entorno.remove(u"QT_QPA_PLATFORM"_s);
    }
    QProcess orbanel;
    Inicia(orbanel, ORBANEL_BIN, {u"--db"_s, url}, entorno);
    const bool cargado = QTest::qWaitFor(
        [&base] {
            QFile traza(base + u".sql"_s);
            return traza.open(QIODevice::ReadOnly) && traza.readAll().contains("FROM Parametros");
        },
        60000);
    QVERIFY2(cargado, qPrintable(QString::fromUtf8(orbanel.readAll())));
    if (senal == 0)
        xvfb.terminate();
    else
        ::kill(pid_t(orbanel.processId()), senal);
    const Resultado r = Espera(orbanel);
    xvfb.waitForFinished();
    QVERIFY2(r.codigo == codigo, qPrintable(u"código %1: %2"_s.arg(r.codigo).arg(r.texto)));
}

// Qt ends the process with exit() when the display is lost, whatever was on the stack: the
// session's transaction is rolled back and its file closed then, before Qt's own objects go,
// so nothing is left for the next user to recover and no lock stays held.
void TstHost::salidaDeQtDeshaceLaTransaccion()
{
    const QString base = m_carpeta.filePath(u"salida.db"_s);
    QString url;
    QVERIFY_SQL(url = BaseDemo(base));
    QProcessEnvironment entorno = m_entorno;
    entorno.insert(QString::fromLatin1(Hijo), url);
    const Resultado r = Ejecuta(QCoreApplication::applicationFilePath(), {}, entorno);
    QVERIFY2(r.codigo == 1, qPrintable(u"código %1: %2"_s.arg(r.codigo).arg(r.texto)));
    QVERIFY2(!QFile::exists(base + u"-journal"_s), "la transacción quedó a medias en el archivo");
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = AdoConnection::Open(url));
    QCOMPARE(pruebas::escalar(*db, u"SELECT CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '100'"_s),
             QVariant(u"Dirección comercial"_s));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(Hijo))
        return TerminaConTransaccionAbierta(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true); // as QTEST_MAIN sets it
    TstHost pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_host.moc"
