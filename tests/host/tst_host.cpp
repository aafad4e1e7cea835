// The host program as a user or a script runs it, and its catalogue check window.
#include "host/Traducciones.h"
#include "host/VentanaOrbanel.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using orbanel::ado::AdoConnection;

namespace {

struct Resultado {
    bool termino = false;
    int codigo = -1;
    QString salida;
    QString errores;
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
    proceso.start(programa, argumentos);
    Resultado r;
    // Generous: a loaded machine may be slow, but a program that waits for a window never ends.
    r.termino = proceso.waitForFinished(90000);
    if (!r.termino)
        proceso.kill();
    r.codigo = proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
    r.salida = QString::fromUtf8(proceso.readAllStandardOutput());
    r.errores = QString::fromUtf8(proceso.readAllStandardError());
    return r;
}

// A demo catalogue in a file of its own, with the statements given run on it.
QString baseConFallas(const QTemporaryDir& carpeta, const QString& nombre, const QStringList& sentencias)
{
    const QString url = QStringLiteral("sqlite:") + carpeta.filePath(nombre);
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
const QString PadreDeSiMismo =
    QStringLiteral("UPDATE Centro_Costo SET CC_Acumula = '100' WHERE CC_Cve_Centro_Costo = '100'");
const QString TipoErroneo = QStringLiteral("UPDATE Centro_Costo SET CC_Tipo = 0 WHERE CC_Cve_Centro_Costo = '200'");

} // namespace

class TstHost : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void capturaNoEsperaVentanas();
    void verificarDesdeLaConsola();
    void ayudaNombraCadaOpcion();
    void operadorDemasiadoLargo();
    void benchRehusaArgumentos();
    void menuVerificarYCorregir_data();
    void menuVerificarYCorregir();
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
    const Resultado r = ejecuta(QStringLiteral(ORBANEL_BIN), {QStringLiteral("--registrar"), QStringLiteral(KT508_MODULO)},
                                m_registro);
    QVERIFY2(r.termino && r.codigo == 0, qPrintable(r.errores));
}

// A bad row makes the tree load report an error; the capture prints it and goes on.
void TstHost::capturaNoEsperaVentanas()
{
    QString url;
    QVERIFY_SQL(url = baseConFallas(m_carpeta, QStringLiteral("captura.db"), {RaizComoCentro, PadreDeSiMismo}));
    const QString png = m_carpeta.filePath(QStringLiteral("captura.png"));
    const Resultado r = ejecuta(QStringLiteral(ORBANEL_BIN),
                                {QStringLiteral("--db"), url, QStringLiteral("--screenshot"), png}, m_registro);
    QVERIFY2(r.termino, "la captura no terminó");
    QCOMPARE(r.codigo, 0);
    QVERIFY2(r.errores.contains(QLatin1String("ERR-ID:7500033")), qPrintable(r.errores));
    QVERIFY(QFileInfo(png).size() > 0);
}

// Problems found: the keys on the console and a non-zero exit code; a sound catalogue: zero.
void TstHost::verificarDesdeLaConsola()
{
    QString conFallas;
    QString sana;
    QVERIFY_SQL(conFallas = baseConFallas(m_carpeta, QStringLiteral("fallas.db"), {PadreDeSiMismo, TipoErroneo}));
    QVERIFY_SQL(sana = baseConFallas(m_carpeta, QStringLiteral("sana.db"), {}));

    Resultado r = ejecuta(QStringLiteral(ORBANEL_BIN), {QStringLiteral("--verificar"), QStringLiteral("--db"), conFallas},
                          m_registro);
    QVERIFY(r.termino);
    QCOMPARE(r.codigo, 1);
    QVERIFY2(r.salida.contains(QLatin1String("centro 100 acumula en s")) && r.salida.contains(QLatin1String("centro 200 tiene CC_Tipo 0")),
             qPrintable(r.salida));

    r = ejecuta(QStringLiteral(ORBANEL_BIN), {QStringLiteral("--verificar"), QStringLiteral("--db"), sana}, m_registro);
    QVERIFY(r.termino);
    QCOMPARE(r.codigo, 0);
}

void TstHost::ayudaNombraCadaOpcion()
{
    const Resultado r = ejecuta(QStringLiteral(ORBANEL_BIN), {QStringLiteral("--help")}, m_registro);
    QVERIFY(r.termino);
    QCOMPARE(r.codigo, 0);
    QVERIFY2(r.salida.contains(QLatin1String("orbanel")), qPrintable(r.salida));
    for (const char* opcion : {"--help", "--version", "--db", "--operador", "--crear-esquema", "--verificar", "--reparar",
                               "--screenshot", "--expandir", "--registrar", "--desregistrar"})
        QVERIFY2(r.salida.contains(QLatin1String(opcion)), opcion);
}

// An operator longer than the audit columns would make every change fail: refused at start.
void TstHost::operadorDemasiadoLargo()
{
    const QString operador(31, QLatin1Char('A'));
    const Resultado r = ejecuta(QStringLiteral(ORBANEL_BIN),
                                {QStringLiteral("--operador"), operador, QStringLiteral("--db"),
                                 QStringLiteral("sqlite:") + m_carpeta.filePath(QStringLiteral("operador.db")),
                                 QStringLiteral("--screenshot"), m_carpeta.filePath(QStringLiteral("operador.png"))},
                                m_registro);
    QVERIFY(r.termino);
    QCOMPARE(r.codigo, 2);
    QVERIFY2(r.errores.contains(QLatin1String("--operador admite hasta 30 caracteres")), qPrintable(r.errores));
}

void TstHost::benchRehusaArgumentos()
{
    const Resultado r = ejecuta(QStringLiteral(BENCH_TREE), {QStringLiteral("--maximo"), QStringLiteral("10")}, m_registro);
    QVERIFY(r.termino);
    QCOMPARE(r.codigo, 2);
    QVERIFY2(r.errores.contains(QLatin1String("--maximo")), qPrintable(r.errores));
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
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = pruebas::abre(QStringLiteral("sqlite"), pruebas::Contenido::Demo));
    QVERIFY_SQL(db->Execute(TipoErroneo));
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("PRUEBAS"));

    VentanaOrbanel ventana(QStringLiteral("KT508"));
    ventana.setAttribute(Qt::WA_DeleteOnClose, false);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    QString antes;
    QString despues;
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
    QWidget* menu = QApplication::activePopupWidget();
    QVERIFY(menu);
    QTest::keyClick(menu, Qt::Key_V);

    QVERIFY2(antes.contains(QLatin1String("centro 200 tiene CC_Tipo 0")), qPrintable(antes));
    QVERIFY(preguntado);
    QCOMPARE(despues.contains(QLatin1String("CC_Tipo 0")), tipo == 0);
    QCOMPARE(pruebas::escalar(orbanel::Sesion::Conexion(),
                              QStringLiteral("SELECT CC_Tipo FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '200'"))
                 .toInt(),
             tipo);
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
