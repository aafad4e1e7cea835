#include "suite/print/Compaginacion.h"
#include "suite/print/ImpresorTexto.h"
#include "tests/support/Backends.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Paginas = std::vector<QStringList>;

// Text printing: the layout of the text on pages, and the PDF.
class PruebasImpresion : public QObject {
    Q_OBJECT

private slots:
    void compagina_data();
    void compagina();
    void pdf();
};

void PruebasImpresion::compagina_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("ancho");
    QTest::addColumn<int>("renglones");
    QTest::addColumn<Paginas>("esperado");
    QTest::newRow("tabuladores") << u"\t10\r\nab\tc"_s << 80 << 10 << Paginas{{"    10", "ab  c"}};
    QTest::newRow("línea larga partida, página llena")
        << u"\t0123456789ABCDEFGHIJ"_s << 10 << 2 << Paginas{{"    012345", "6789ABCDEF"}, {"GHIJ"}};
    QTest::newRow("saltos de página") << u"uno\fdos\r\n\f\r\ntres\r\n"_s << 80 << 10
                                      << Paginas{{"uno"}, {"dos"}, {"tres"}};
}

void PruebasImpresion::compagina()
{
    QFETCH(QString, texto);
    QFETCH(int, ancho);
    QFETCH(int, renglones);
    QFETCH(Paginas, esperado);
    QCOMPARE(orbanel::Compagina(texto, ancho, renglones, 4), esperado);
}

void PruebasImpresion::pdf()
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(u"centros.pdf"_s);
    QVERIFY_SQL(orbanel::GuardaPdf(ruta, u"1 - Ventas norte\r\n\t10 - Ventas sur\r\n"_s, u"Centros"_s,
                                   orbanel::OpcionesImpresion::DeArgumentos(0, 0, -1, -1, 7, -1)));
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QVERIFY(archivo.read(4) == "%PDF");
}

int EjecutaPruebasImpresion(int argc, char** argv)
{
    PruebasImpresion pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_impresion.moc"
