// However the host ends, it ends without a crash and leaves no transaction behind.
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdlib>

using orbanel::ado::AdoConnection;
using namespace Qt::StringLiterals;

namespace {

// Set in the copy of this program that ends the way Qt ends a process whose display was lost.
const char* const Hijo = "KT508_FIN_HIJO";
const QString Cambio = u"UPDATE Centro_Costo SET CC_Descripcion = 'a medias' WHERE CC_Cve_Centro_Costo = '100'"_s;

// Inside a command's transaction, holding the file's write lock, exit() while Qt runs.
int TerminaConTransaccionAbierta(int argc, char** argv)
{
    QApplication app(argc, argv);
    orbanel::Sesion::Configura(qEnvironmentVariable(Hijo), u"PRUEBAS"_s);
    orbanel::Sesion::Conexion().BeginTrans();
    orbanel::Sesion::Conexion().Execute(Cambio);
    std::exit(1);
}

struct Final {
    QProcess::ExitStatus estado = QProcess::CrashExit;
    int codigo = -1;
    QString texto;
};

Final Espera(QProcess& proceso)
{
    Final f;
    if (!proceso.waitForFinished(60000))
        proceso.kill();
    else
        f = {proceso.exitStatus(), proceso.exitCode(), {}};
    f.texto = QString::fromUtf8(proceso.readAll());
    return f;
}

// The catalogue is on screen once the load has read its last setting.
bool Cargado(const QString& traza)
{
    return QTest::qWaitFor(
        [&traza] {
            QFile archivo(traza);
            return archivo.open(QIODevice::ReadOnly) && archivo.readAll().contains("FROM Parametros");
        },
        60000);
}

} // namespace

class TstFin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void terminaSinFallar_data();
    void terminaSinFallar();
    void salidaDeQtDeshaceLaTransaccion();

private:
    QString BaseDemo(const QString& nombre);

    QTemporaryDir m_carpeta;
    QString m_registro;
};

void TstFin::initTestCase()
{
    QVERIFY(m_carpeta.isValid());
    m_registro = m_carpeta.filePath(u"registro.ini"_s);
    QProcess registro;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(u"ORBANEL_REGISTRO"_s, m_registro);
    registro.setProcessEnvironment(entorno);
    registro.start(ORBANEL_BIN, {u"--registrar"_s, KT508_MODULO});
    QVERIFY(registro.waitForFinished(60000) && registro.exitCode() == 0);
}

QString TstFin::BaseDemo(const QString& nombre)
{
    const QString archivo = m_carpeta.filePath(nombre + u".db"_s);
    std::unique_ptr<AdoConnection> db = AdoConnection::Open(u"sqlite:"_s + archivo);
    orbanel::schema::Borra(*db);
    orbanel::schema::Crea(*db);
    orbanel::schema::CargaDemo(*db);
    return archivo;
}

void TstFin::terminaSinFallar_data()
{
    QTest::addColumn<int>("senal"); // 0: the display goes away
    QTest::addColumn<int>("codigo");
    QTest::newRow("SIGTERM") << int(SIGTERM) << 128 + SIGTERM;
    QTest::newRow("SIGINT") << int(SIGINT) << 128 + SIGINT;
    QTest::newRow("SIGHUP, la sesión remota se cae") << int(SIGHUP) << 128 + SIGHUP;
    QTest::newRow("se pierde la pantalla") << 0 << 1; // Qt's own exit code
}

// The catalogue loaded on screen, then the signal or the X server gone: the host ends with its
// code, never of a signal of its own.
void TstFin::terminaSinFallar()
{
    QFETCH(int, senal);
    QFETCH(int, codigo);
    QString base;
    QVERIFY_SQL(base = BaseDemo(QString::fromLatin1(QTest::currentDataTag()).left(6)));
    const QString traza = base + u".sql"_s;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(u"ORBANEL_REGISTRO"_s, m_registro);
    entorno.insert(u"ORBANEL_SQL_TRACE"_s, traza);
    QProcess xvfb;
    if (senal == 0) {
        xvfb.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s});
        QVERIFY2(xvfb.waitForReadyRead(30000), "Xvfb no arrancó");
        entorno.insert(u"DISPLAY"_s, u":"_s + QString::fromLatin1(xvfb.readLine().trimmed()));
        entorno.remove(u"QT_QPA_PLATFORM"_s);
    } else {
        entorno.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    }
    QProcess orbanel;
    orbanel.setProcessEnvironment(entorno);
    orbanel.setProcessChannelMode(QProcess::MergedChannels);
    orbanel.start(ORBANEL_BIN, {u"--db"_s, u"sqlite:"_s + base});
    QVERIFY2(Cargado(traza), qPrintable(QString::fromUtf8(orbanel.readAll())));
    if (senal == 0)
        xvfb.terminate();
    else
        ::kill(pid_t(orbanel.processId()), senal);
    const Final f = Espera(orbanel);
    xvfb.waitForFinished();
    QVERIFY2(f.estado == QProcess::NormalExit && f.codigo == codigo,
             qPrintable(QStringLiteral("estado %1, código %2: %3").arg(f.estado).arg(f.codigo).arg(f.texto)));
}

// Qt ends the process with exit() when the display is lost, whatever was on the stack: the
// session's transaction is rolled back and its file closed then, before Qt's own objects go,
// so nothing is left for the next user to recover and no lock stays held.
void TstFin::salidaDeQtDeshaceLaTransaccion()
{
    QString base;
    QVERIFY_SQL(base = BaseDemo(u"salida"_s));
    QProcess hijo;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QString::fromLatin1(Hijo), u"sqlite:"_s + base);
    hijo.setProcessEnvironment(entorno);
    hijo.setProcessChannelMode(QProcess::MergedChannels);
    hijo.start(QCoreApplication::applicationFilePath(), {});
    const Final f = Espera(hijo);
    QVERIFY2(f.estado == QProcess::NormalExit && f.codigo == 1,
             qPrintable(QStringLiteral("estado %1, código %2: %3").arg(f.estado).arg(f.codigo).arg(f.texto)));
    QVERIFY2(!QFile::exists(base + u"-journal"_s), "la transacción quedó a medias en el archivo");
    std::unique_ptr<AdoConnection> db;
    QVERIFY_SQL(db = AdoConnection::Open(u"sqlite:"_s + base));
    QCOMPARE(pruebas::escalar(*db, u"SELECT CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '100'"_s),
             QVariant(u"Dirección comercial"_s));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(Hijo))
        return TerminaConTransaccionAbierta(argc, argv);
    QApplication app(argc, argv);
    TstFin pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_fin.moc"
