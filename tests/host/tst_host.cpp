// The host program as a user or a script runs it, and its catalogue check window.
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

using orbanel::ado::AdoConnection;
using namespace Qt::StringLiterals;

namespace {

struct Resultado {
    int codigo = -1; // also when it had to be killed
    QString texto;   // what it wrote, on either channel
};

// Runs a program with the registry of this test, no display and no one to answer it.
Resultado ejecuta(const QString& programa, const QStringList& argumentos, const QString& registro)
{
    QProcess proceso;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("ORBANEL_REGISTRO"), registro);
    entorno.remove(QStringLiteral("DISPLAY"));
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    proceso.setProcessEnvironment(entorno);
    proceso.setProcessChannelMode(QProcess::MergedChannels);
    proceso.start(programa, argumentos);
    Resultado r;
    // Generous: a loaded machine may be slow, but a program that waits for a window never ends.
    if (!proceso.waitForFinished(90000))
        proceso.kill();
    else if (proceso.exitStatus() == QProcess::NormalExit)
        r.codigo = proceso.exitCode();
    r.texto = QString::fromUtf8(proceso.readAll());
    return r;
}

// A demo catalogue in a file of its own, with the statements given run on it.
QString baseConFallas(const QString& archivo, const QStringList& sentencias)
{
    const QString url = QStringLiteral("sqlite:") + archivo;
    std::unique_ptr<AdoConnection> db = AdoConnection::Open(url);
    orbanel::schema::Borra(*db);
    orbanel::schema::Crea(*db);
    orbanel::schema::CargaDemo(*db);
    for (const QString& sentencia : sentencias)
        db->Execute(sentencia);
    return url;
}

const QString RaizComoCentro = QStringLiteral(
    "INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, CC_Tipo) VALUES ('0', '0', 'Raíz', 1)");
const QString PadreDeSiMismo = u"UPDATE Centro_Costo SET CC_Acumula = '100' WHERE CC_Cve_Centro_Costo = '100'"_s;
// The action on the next modal window other than the one already open.
void EnOtraModal(QWidget* abierta, const std::function<void(QWidget*)>& accion)
{
    pruebas::EnModal([abierta, accion](QWidget* modal) {
        if (modal && modal == abierta)
            EnOtraModal(abierta, accion);
        else
            accion(modal);
    });
}

const QString TipoErroneo = QStringLiteral("UPDATE Centro_Costo SET CC_Tipo = 0 WHERE CC_Cve_Centro_Costo = '200'");

bool EscribeCsv(const QString& archivo, const QStringList& renglones)
{
    QFile salida(archivo);
    const QByteArray texto = renglones.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
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
        EnOtraModal(progreso, despues);
        progreso->findChild<QPushButton*>()->click();
    });
}

} // namespace

class TstHost : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void desdeLaConsola_data();
    void desdeLaConsola();
    void menuVerificarYCorregir_data();
    void menuVerificarYCorregir();
    void menuExportar();
    void menuImportarCancelado();
    void botonesDeQtEnEspanol();
    void noEncogeMenosQueLaPantalla();

private:
    QTemporaryDir m_carpeta;
    QString m_registro;
};

void TstHost::initTestCase()
{
    QVERIFY(m_carpeta.isValid());
    m_registro = m_carpeta.filePath(QStringLiteral("registro.ini"));
    const Resultado r = ejecuta(ORBANEL_BIN, {u"--registrar"_s, KT508_MODULO}, m_registro);
    QVERIFY2(r.codigo == 0, qPrintable(r.texto));
    QVERIFY(EscribeCsv(m_carpeta.filePath(u"importar.csv"_s),
                       {u"Clave,Descripción,Acumula en"_s, u"1011,Publicidad y medios,101"_s, u"N1,Nuevo,101"_s}));
    QVERIFY(EscribeCsv(m_carpeta.filePath(u"rechazos.csv"_s),
                       {u"Clave,Descripción,Acumula en"_s, u"0,Raíz,0"_s, u"N1,Sin padre,ZZ"_s}));
}

// The program run from a script, on a demo catalogue with the statements given run on it ("%db"
// on the command line): its exit code and what it says ('|' between texts), never a wait for
// someone to answer.
void TstHost::desdeLaConsola_data()
{
    QTest::addColumn<QString>("orden");
    QTest::addColumn<QStringList>("fallas");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QString>("dice");
    // Rows the tree cannot show (one under the root's own key, one under itself) are left out of
    // the capture, which is made all the same.
    QTest::newRow("captura") << "orbanel --db %db --screenshot %png" << QStringList{RaizComoCentro, PadreDeSiMismo} << 0
                             << "";
    QTest::newRow("verificar con fallas") << "orbanel --verificar --db %db" << QStringList{PadreDeSiMismo, TipoErroneo}
                                          << 1 << "centro 100 acumula en s|centro 200 tiene CC_Tipo 0";
    // The check reads; the repair is what the database refuses, and the console says so.
    QTest::newRow("reparar sin poder escribir")
        << "orbanel --verificar --reparar --db %db"
        << QStringList{TipoErroneo,
                       u"CREATE TRIGGER Sin_Escritura BEFORE UPDATE ON Centro_Costo BEGIN "
                       "SELECT RAISE(ABORT, 'attempt to write a readonly database'); END"_s}
        << 3 << "centro 200 tiene CC_Tipo 0|no se pudo reparar el catálogo: ";
    QTest::newRow("verificar sano") << "orbanel --verificar --db %db" << QStringList() << 0 << "";
    QTest::newRow("ayuda")
        << "orbanel --help" << QStringList() << 0
        << "orbanel|--help|--version|--db|--operador|--crear-esquema|--verificar|--reparar|"
           "--exportar|--importar|--mover|--simular|--screenshot|--expandir|--registrar|--desregistrar";
    // Mistakes on the command line and libraries that do not load are told in Spanish, the
    // system's own reason after the lead.
    QTest::newRow("opción desconocida") << "orbanel --bogus" << QStringList() << 2 << "opción desconocida: --bogus";
    QTest::newRow("falta el valor") << "orbanel --db" << QStringList() << 2 << "falta el valor de --db";
    QTest::newRow("valor de más") << "orbanel --verificar=si" << QStringList() << 2 << "--verificar no lleva valor";
    QTest::newRow("biblioteca inexistente") << "orbanel --registrar %dir/no-existe.so" << QStringList() << 2
                                            << "No se pudo cargar la biblioteca|no-existe.so|el archivo no existe";
    QTest::newRow("biblioteca que no es una biblioteca")
        << "orbanel --registrar %dir/biblioteca_que_no_es_una_biblioteca.db" << QStringList() << 2
        << "No se pudo cargar la biblioteca|invalid ELF header";
    // The export, from a script: the file written, a name it cannot write, a database without one.
    QTest::newRow("exportar") << "orbanel --exportar %dir/exportar.csv --db %db" << QStringList() << 0
                              << "Se exportaron 50 centros de costos";
    QTest::newRow("exportar a .txt") << "orbanel --exportar %dir/catalogo.txt --db %db" << QStringList() << 2
                                     << "«%dir/catalogo.txt»|.csv|.xlsx";
    QTest::newRow("exportar sin base") << "orbanel --exportar %dir/x.xlsx --db sqlite:%dir/no-existe.db"
                                       << QStringList() << 3 << "no se pudo exportar el catálogo|no existe la base";
    // The import, from a script: written, refused rows listed with their lines, only simulated.
    QTest::newRow("importar") << "orbanel --importar %dir/importar.csv --db %db" << QStringList() << 0
                              << "Importando: 2 de 2 centros escritos.|Se importó el catálogo de %dir/importar.csv:|"
                                 "Centros nuevos: 1. Modificados: 1. Sin cambios: 0.";
    QTest::newRow("importar con rechazos")
        << "orbanel --importar %dir/rechazos.csv --db %db" << QStringList() << 1
        << "No se importó nada: 2 renglones de %dir/rechazos.csv tienen problemas.|Línea 2, clave 0: La clave 0 es "
           "la de la raíz|Línea 3, clave N1: El centro acumulador ZZ no existe.";
    QTest::newRow("simular") << "orbanel --importar %dir/importar.csv --simular --db %db" << QStringList() << 0
                             << "Simulación: no se escribió nada.|Centros nuevos: 1.";
    QTest::newRow("simular sin importar")
        << "orbanel --simular --db %db" << QStringList() << 2 << "--simular solo se usa junto con --importar";
    QTest::newRow("importar un libro") << "orbanel --importar %dir/catalogo.xlsx --db %db" << QStringList() << 2
                                       << "«%dir/catalogo.xlsx» no termina en .csv";
    QTest::newRow("importar y exportar") << "orbanel --importar %dir/importar.csv --exportar %dir/x.csv --db %db"
                                         << QStringList() << 2 << "--importar no se usa junto con";
    QTest::newRow("importar sin archivo") << "orbanel --importar %dir/no-existe.csv --db %db" << QStringList() << 3
                                          << "no se pudo importar el catálogo: No se pudo abrir el archivo";
    // A move from a script: done, refused inside its own branch, a key that does not exist.
    QTest::newRow("mover") << "orbanel --mover 105 106 --db %db" << QStringList() << 0
                           << "El centro de costos 105 depende ahora de 106.";
    QTest::newRow("mover dentro de la rama") << "orbanel --mover 105 10511 --db %db" << QStringList() << 3
                                             << "no se pudo mover el catálogo|se formaría un ciclo";
    QTest::newRow("mover lo que no existe")
        << "orbanel --mover ZZ 106 --db %db" << QStringList() << 3 << "El centro de costos ZZ no existe.";
    QTest::newRow("mover sin padre") << "orbanel --mover 105 --db %db" << QStringList() << 2
                                     << "--mover CLAVE NUEVO_PADRE";
    // An operator longer than the audit columns would make every change fail: refused at start.
    QTest::newRow("operador largo") << "orbanel --operador " + QString(31, QLatin1Char('A'))
            + " --db %db --screenshot %png"
                                    << QStringList() << 2 << "--operador admite hasta 30 caracteres";
    QTest::newRow("bench rehúsa argumentos") << "bench --maximo 10" << QStringList() << 2 << "--maximo";
}

void TstHost::desdeLaConsola()
{
    QFETCH(QString, orden);
    QFETCH(QStringList, fallas);
    QFETCH(int, codigo);
    QFETCH(QString, dice);
    const QString nombre = m_carpeta.filePath(QString::fromUtf8(QTest::currentDataTag()).replace(u' ', u'_'));
    QString url;
    QVERIFY_SQL(url = baseConFallas(nombre + QStringLiteral(".db"), fallas));
    QStringList argumentos = orden.replace(QStringLiteral("%db"), url).split(u' ');
    argumentos.replaceInStrings(QStringLiteral("%png"), nombre + QStringLiteral(".png"));
    argumentos.replaceInStrings(QStringLiteral("%dir"), m_carpeta.path());
    dice.replace(QStringLiteral("%dir"), m_carpeta.path());
    const QString programa = argumentos.takeFirst() == QLatin1String("bench") ? BENCH_TREE : ORBANEL_BIN;
    const Resultado r = ejecuta(programa, argumentos, m_registro);
    QVERIFY2(r.codigo == codigo, qPrintable(QString::number(r.codigo) + QLatin1Char(' ') + r.texto));
    for (const QString& texto : dice.split(u'|', Qt::SkipEmptyParts))
        QVERIFY2(r.texto.contains(texto), qPrintable(texto + QStringLiteral(": ") + r.texto));
    for (const char* ingles : {"Unknown option", "Missing value", "Unexpected value", "Cannot load"})
        QVERIFY2(!r.texto.contains(QLatin1String(ingles)), qPrintable(r.texto));
    if (argumentos.contains(QStringLiteral("--screenshot")) && codigo == 0)
        QVERIFY(QFileInfo(nombre + QStringLiteral(".png")).size() > 0);
}

void TstHost::menuVerificarYCorregir_data()
{
    QTest::addColumn<QString>("respuesta");
    QTest::addColumn<int>("tipo");
    QTest::newRow("sí corrige") << QStringLiteral("botonSi") << 1;
    QTest::newRow("no deja todo") << QStringLiteral("botonNo") << 0;
}

// Archivo → Verificar catálogo lists the problem; Corregir asks first and only then repairs.
void TstHost::menuVerificarYCorregir()
{
    QFETCH(QString, respuesta);
    QFETCH(int, tipo);
    ABRE_BACKEND(db, QStringLiteral("sqlite"), pruebas::Contenido::Demo);
    QVERIFY_SQL(db->Execute(TipoErroneo));
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("PRUEBAS"));

    VentanaOrbanel ventana(QStringLiteral("KT508"));
    ventana.setAttribute(Qt::WA_DeleteOnClose, false);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    QString antes, despues;
    bool preguntado = false;
    pruebas::EnModal([&](QWidget* dialogo) {
        if (!dialogo)
            return;
        auto* informe = dialogo->findChild<QPlainTextEdit*>(QStringLiteral("informe"));
        antes = informe->toPlainText();
        pruebas::EnModal([&](QWidget* pregunta) {
            preguntado = pregunta && pregunta->objectName() == QLatin1String("DialogoMensaje");
            if (pregunta)
                pregunta->findChild<QPushButton*>(respuesta)->click();
        });
        dialogo->findChild<QPushButton*>(QStringLiteral("botonCorregir"))->click();
        despues = informe->toPlainText();
        dialogo->findChild<QPushButton*>(QStringLiteral("botonCerrar"))->click();
    });
    QTest::keyClick(&ventana, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_V);

    QVERIFY2(antes.contains(QLatin1String("centro 200 tiene CC_Tipo 0")), qPrintable(antes));
    QVERIFY(preguntado);
    QCOMPARE(despues.contains(QLatin1String("CC_Tipo 0")), tipo == 0);
    const QString sentencia = QStringLiteral("SELECT CC_Tipo FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '200'");
    QCOMPARE(pruebas::escalar(orbanel::Sesion::Conexion(), sentencia).toInt(), tipo);
    orbanel::Sesion::Cierra();
}

// Archivo → Exportar catálogo…: a name typed without extension takes the chosen format's, the
// workbook is written and the user told how many centres went into it.
void TstHost::menuExportar()
{
    ABRE_BACKEND(db, QStringLiteral("sqlite"), pruebas::Contenido::Demo);
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("PRUEBAS"));
    VentanaOrbanel ventana(QStringLiteral("KT508"));
    ventana.setAttribute(Qt::WA_DeleteOnClose, false);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    QTemporaryDir carpeta;
    QString aviso;
    pruebas::EnModal([&](QWidget* dialogo) {
        auto* archivos = qobject_cast<QFileDialog*>(dialogo);
        if (!archivos)
            return;
        archivos->setDirectory(carpeta.path());
        QLineEdit* nombre = archivos->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        nombre->selectAll();
        QTest::keyClicks(nombre, QStringLiteral("catalogo"));
        EnOtraModal(archivos, [&](QWidget* mensaje) {
            if (!mensaje)
                return;
            aviso = mensaje->findChild<QLabel*>(QStringLiteral("textoMensaje"))->text();
            mensaje->findChild<QPushButton*>(QStringLiteral("botonAceptar"))->click();
        });
        pruebas::Tecla(archivos, Qt::Key_Return);
    });
    QTest::keyClick(&ventana, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_E);

    const QString libro = carpeta.filePath(QStringLiteral("catalogo.xlsx"));
    QCOMPARE(aviso, QStringLiteral("Se exportaron 50 centros de costos a %1.").arg(libro));
    QFile archivo(libro);
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QCOMPARE(archivo.read(2), QByteArray("PK")); // a workbook is a zip
    orbanel::Sesion::Cierra();
}

// Archivo → Importar catálogo…: the file chosen in the dialog, Cancelar pressed once centres
// are written; the whole import is rolled back and the user told so.
void TstHost::menuImportarCancelado()
{
    ABRE_BACKEND(db, QStringLiteral("sqlite"), pruebas::Contenido::Demo);
    QVERIFY_SQL(db->Execute(u"UPDATE Parametros SET Valor = '' WHERE Parametro = 'CON_CUENTA_PADRE_CENTRO_COSTO'"_s));
    const QString antes = pruebas::volcado(*db);
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("PRUEBAS"));
    QTemporaryDir carpeta;
    QStringList renglones{u"Clave,Descripción,Acumula en"_s};
    for (int i = 1; i <= 3000; ++i)
        renglones << u"N%1,Nuevo %1,1061"_s.arg(i);
    QVERIFY(EscribeCsv(carpeta.filePath(u"catalogo.csv"_s), renglones));
    VentanaOrbanel ventana(QStringLiteral("KT508"));
    ventana.setAttribute(Qt::WA_DeleteOnClose, false);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    int escritos = 0;
    QString informe;
    pruebas::EnModal([&](QWidget* dialogo) {
        auto* archivos = qobject_cast<QFileDialog*>(dialogo);
        if (!archivos)
            return;
        archivos->setDirectory(carpeta.path());
        QTest::keyClicks(archivos->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), u"catalogo.csv"_s);
        CancelaConAvance(
            escritos,
            [&](QWidget* mensaje) {
                if (!mensaje)
                    return;
                informe = mensaje->findChild<QPlainTextEdit*>(QStringLiteral("informe"))->toPlainText();
                mensaje->findChild<QPushButton*>(QStringLiteral("botonCerrar"))->click();
            },
            QDeadlineTimer(20000));
        pruebas::Tecla(archivos, Qt::Key_Return);
    });
    QTest::keyClick(&ventana, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_I);

    QVERIFY2(escritos > 0 && escritos < 3000, qPrintable(QString::number(escritos)));
    QCOMPARE(informe,
             u"Se canceló la importación de %1: no se cambió nada."_s.arg(carpeta.filePath(u"catalogo.csv"_s)));
    QCOMPARE(pruebas::volcado(orbanel::Sesion::Conexion()), antes);
    orbanel::Sesion::Cierra();
}

// Qt's own buttons (message boxes, print and file dialogs use these) speak Spanish.
void TstHost::botonesDeQtEnEspanol()
{
    QVERIFY(CargaTraducciones(*QCoreApplication::instance()));
    QDialogButtonBox botones(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(botones.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Cancelar"));
    QCOMPARE(botones.button(QDialogButtonBox::Save)->text().remove(QLatin1Char('&')), QStringLiteral("Guardar"));
}

// A user who drags the window small still sees the whole screen as it was designed.
void TstHost::noEncogeMenosQueLaPantalla()
{
    VentanaOrbanel ventana(QStringLiteral("KT508"));
    ventana.setAttribute(Qt::WA_DeleteOnClose, false);
    auto* pantalla = new QWidget;
    pantalla->resize(575, 380);
    ventana.Muestra(pantalla);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    ventana.resize(200, 100);
    QApplication::processEvents();
    QVERIFY2(pantalla->width() >= 575 && pantalla->height() >= 380,
             qPrintable(QStringLiteral("%1x%2").arg(pantalla->width()).arg(pantalla->height())));
}

QTEST_MAIN(TstHost)
#include "tst_host.moc"
