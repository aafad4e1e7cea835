#include "kt508/services/Error.h"
#include "suite/print/Compaginacion.h"
#include "suite/print/ImpresorTexto.h"
#include "tests/support/Interaccion.h"

#include <QAction>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Paginas = std::vector<QStringList>;

namespace {

QString Renglones(int cuantos)
{
    QString texto;
    for (int i = 1; i <= cuantos; ++i)
        texto += u"%1 - Centro %1\r\n"_s.arg(i);
    return texto;
}

// Pages of a PDF written to the folder, -1 when none was written.
int PaginasDelPdf(const QTemporaryDir& carpeta, int renglones, int orientacion)
{
    const QString ruta = carpeta.filePath(u"%1-%2.pdf"_s.arg(renglones).arg(orientacion));
    orbanel::GuardaPdf(ruta, Renglones(renglones), u"Centros"_s,
                       orbanel::OpcionesImpresion::DeArgumentos(orientacion, 0, -1, -1, 7, -1));
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray contenido = archivo.readAll();
    static const QRegularExpression pagina(u"/Type\\s*/Page(?!s)"_s);
    return contenido.startsWith("%PDF") ? int(QString::fromLatin1(contenido).count(pagina)) : -1;
}

} // namespace

// Text printing: the layout of the text on pages, the PDF and the preview.
class PruebasImpresion : public QObject {
    Q_OBJECT

private slots:
    void compagina_data();
    void compagina();
    void pdf();
    void vistaPrevia();
};

void PruebasImpresion::compagina_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("ancho");
    QTest::addColumn<int>("renglones");
    QTest::addColumn<int>("tabulador");
    QTest::addColumn<Paginas>("esperado");
    QTest::newRow("renglones por página") << Renglones(4) << 80 << 3 << 8
        << Paginas{{"1 - Centro 1", "2 - Centro 2", "3 - Centro 3"}, {"4 - Centro 4"}};
    QTest::newRow("fines de línea") << u"a\nb\rc\r\n"_s << 80 << 10 << 8 << Paginas{{"a", "b", "c"}};
    QTest::newRow("texto vacío") << QString() << 80 << 10 << 8 << Paginas{QStringList()};
    QTest::newRow("listado vacío") << u"\r\n"_s << 80 << 10 << 8 << Paginas{{""}};
    QTest::newRow("tabuladores") << u"\t10\r\nab\tc\r\n\t\tX"_s << 80 << 10 << 4
        << Paginas{{"    10", "ab  c", "        X"}};
    QTest::newRow("tabulador inválido usa 8") << u"\tx"_s << 80 << 10 << 0 << Paginas{{"        x"}};
    QTest::newRow("línea larga partida") << u"\t0123456789ABCDEFGHIJ"_s << 10 << 2 << 4
        << Paginas{{"    012345", "6789ABCDEF"}, {"GHIJ"}};
    QTest::newRow("saltos de página") << u"uno\fdos\r\n\f\r\ntres\r\n"_s << 80 << 10 << 8
        << Paginas{{"uno"}, {"dos"}, {"tres"}};
    QTest::newRow("listado del catálogo") << u"1 - A\r\n\t10 - B\r\n\r\n2 - D\r\n\r\n"_s << 80 << 60 << 7
        << Paginas{{"1 - A", "       10 - B", "", "2 - D", ""}};
}

void PruebasImpresion::compagina()
{
    QFETCH(QString, texto);
    QFETCH(int, ancho);
    QFETCH(int, renglones);
    QFETCH(int, tabulador);
    QFETCH(Paginas, esperado);
    QCOMPARE(orbanel::Compagina(texto, ancho, renglones, tabulador), esperado);
}

// At 10 points a page holds far fewer than 300 lines and more than 30; landscape fewer than
// portrait. A folder that does not exist is an error.
void PruebasImpresion::pdf()
{
    QTemporaryDir carpeta;
    QCOMPARE(PaginasDelPdf(carpeta, 5, 0), 1);
    const int vertical = PaginasDelPdf(carpeta, 300, 0);
    QVERIFY2(vertical > 1 && vertical < 10, qPrintable(QString::number(vertical)));
    QVERIFY(PaginasDelPdf(carpeta, 300, 1) > vertical);
    QVERIFY_THROWS_EXCEPTION(kt508::Error, orbanel::GuardaPdf(u"/no/existe/carpeta/x.pdf"_s, Renglones(3), QString(),
                                                              orbanel::OpcionesImpresion()));
}

// The screen's call opens the preview over the laid-out pages, with the PDF action.
void PruebasImpresion::vistaPrevia()
{
    int paginas = 0;
    bool conPdf = false;
    pruebas::EnModal([&](QWidget* modal) {
        if (!modal)
            return;
        if (auto* vista = modal->findChild<QPrintPreviewWidget*>()) {
            vista->updatePreview();
            paginas = vista->pageCount();
        }
        auto* pdf = modal->findChild<QAction*>(u"accionGuardarPdf"_s);
        conPdf = pdf && pdf->text() == u"Guardar PDF"_s;
        modal->close();
    });
    orbanel::ImpresorTexto impresor;
    impresor.Imprime(Renglones(300), QString(), 0, 0, -1, -1, 7, -1);
    QVERIFY(conPdf);
    QVERIFY2(paginas > 1, qPrintable(QString::number(paginas)));
}

int EjecutaPruebasImpresion(int argc, char** argv)
{
    PruebasImpresion pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_impresion.moc"
