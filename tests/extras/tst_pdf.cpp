// The listing saved as PDF appears whole under its name or not at all.
#include "suite/print/ImpresorTexto.h"
#include "tests/support/Backends.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray Contenido(const QString& archivo)
{
    QFile f(archivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class PruebasPdf : public QObject {
    Q_OBJECT

private slots:
    void reemplazaEnteroONada();
};

// Over an existing document the new one takes the name only once complete (a second name for
// the old file keeps the old bytes); where it cannot be written, nothing is left behind.
void PruebasPdf::reemplazaEnteroONada()
{
    QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath(u"listado.pdf"_s);
    const QString enlace = carpeta.filePath(u"anterior.pdf"_s);
    QFile previo(archivo);
    QVERIFY(previo.open(QIODevice::WriteOnly) && previo.write("previo") == 6);
    previo.close();
    QCOMPARE(::link(QFile::encodeName(archivo).constData(), QFile::encodeName(enlace).constData()), 0);

    const orbanel::OpcionesImpresion opciones;
    QVERIFY_SQL(orbanel::GuardaPdf(archivo, u"100 - Dirección comercial\r\n"_s.repeated(200), u"Listado"_s, opciones));
    const QByteArray pdf = Contenido(archivo);
    QVERIFY(pdf.startsWith("%PDF") && pdf.trimmed().endsWith("%%EOF"));
    QCOMPARE(Contenido(enlace), QByteArray("previo"));
    QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files), (QStringList{u"anterior.pdf"_s, u"listado.pdf"_s}));

    const QString fuera = carpeta.filePath(u"no-existe/listado.pdf"_s);
    const QString error = pruebas::errorDe([&] { orbanel::GuardaPdf(fuera, u"x"_s, u"Listado"_s, opciones); });
    QVERIFY2(error.startsWith(u"No se pudo escribir el archivo"_s), qPrintable(error));
    QVERIFY(!QFile::exists(fuera));
}

int EjecutaPruebasPdf(int argc, char** argv)
{
    PruebasPdf pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_pdf.moc"
