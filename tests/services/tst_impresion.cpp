#include "kt508/services/Error.h"
#include "suite/print/Compaginacion.h"
#include "suite/print/ImpresorTexto.h"
#include "tests/services/Modal.h"

#include <QAction>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString Renglones(int cuantos)
{
    QString texto;
    for (int i = 1; i <= cuantos; ++i)
        texto += QStringLiteral("%1 - Centro %1\r\n").arg(i);
    return texto;
}

int PaginasDelPdf(const QString& ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray contenido = archivo.readAll();
    if (!contenido.startsWith("%PDF"))
        return -1;
    static const QRegularExpression pagina(QStringLiteral("/Type\\s*/Page(?!s)"));
    return static_cast<int>(QString::fromLatin1(contenido).count(pagina));
}

} // namespace

// Text printing: the layout of the text on pages, the PDF and the preview.
class PruebasImpresion : public QObject {
    Q_OBJECT

private slots:
    void tabuladores_data();
    void tabuladores();
    void compaginaRenglones();
    void compaginaLineasLargasYSaltos();
    void listadoDelCatalogo();
    void pdfEnArchivo();
    void pdfEnRutaImposible();
    void vistaPrevia();
};

void PruebasImpresion::tabuladores_data()
{
    QTest::addColumn<QString>("renglon");
    QTest::addColumn<int>("paso");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("al inicio") << "\t10 - B" << 8 << "        10 - B";
    QTest::newRow("dos niveles") << "\t\tX" << 4 << "        X";
    QTest::newRow("a media línea") << "ab\tc" << 8 << "ab      c";
    QTest::newRow("justo en el tope") << "abcd\te" << 4 << "abcd    e";
    QTest::newRow("paso inválido usa 8") << "\tx" << 0 << "        x";
}

void PruebasImpresion::tabuladores()
{
    QFETCH(QString, renglon);
    QFETCH(int, paso);
    QFETCH(QString, esperado);
    QCOMPARE(orbanel::ExpandeTabuladores(renglon, paso), esperado);
}

void PruebasImpresion::compaginaRenglones()
{
    const std::vector<QStringList> paginas = orbanel::Compagina(Renglones(7), 80, 3, 8);
    QCOMPARE(paginas.size(), size_t(3));
    QCOMPARE(paginas[0], (QStringList{"1 - Centro 1", "2 - Centro 2", "3 - Centro 3"}));
    QCOMPARE(paginas[2], (QStringList{"7 - Centro 7"}));

    // Every line end style; the last line end opens no extra line.
    QCOMPARE(orbanel::Compagina(QStringLiteral("a\nb\rc\r\n"), 80, 10, 8).front(), (QStringList{"a", "b", "c"}));
    // An empty text is one empty page; the catalogue's empty listing is one empty line.
    QCOMPARE(orbanel::Compagina(QString(), 80, 10, 8).size(), size_t(1));
    QVERIFY(orbanel::Compagina(QString(), 80, 10, 8).front().isEmpty());
    QCOMPARE(orbanel::Compagina(QStringLiteral("\r\n"), 80, 10, 8).front(), QStringList{QString()});
}

void PruebasImpresion::compaginaLineasLargasYSaltos()
{
    const std::vector<QStringList> largas = orbanel::Compagina(QStringLiteral("\t0123456789ABCDEFGHIJ"), 10, 2, 4);
    QCOMPARE(largas.size(), size_t(2));
    QCOMPARE(largas[0], (QStringList{"    012345", "6789ABCDEF"}));
    QCOMPARE(largas[1], (QStringList{"GHIJ"}));

    const std::vector<QStringList> saltos =
        orbanel::Compagina(QStringLiteral("uno\fdos\r\n\f\r\ntres\r\n"), 80, 10, 8);
    QCOMPARE(saltos.size(), size_t(3));
    QCOMPARE(saltos[0], QStringList{"uno"});
    QCOMPARE(saltos[1], QStringList{"dos"});
    QCOMPARE(saltos[2], QStringList{"tres"});
}

void PruebasImpresion::listadoDelCatalogo()
{
    const QString listado = QStringLiteral("1 - A\r\n\t10 - B\r\n\t11 - C\r\n\r\n2 - D\r\n\r\n");
    const std::vector<QStringList> paginas = orbanel::Compagina(listado, 80, 60, 7);
    QCOMPARE(paginas.size(), size_t(1));
    QCOMPARE(paginas[0], (QStringList{"1 - A", "       10 - B", "       11 - C", "", "2 - D", ""}));
}

void PruebasImpresion::pdfEnArchivo()
{
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    const orbanel::OpcionesImpresion opciones = orbanel::OpcionesImpresion::DeArgumentos(0, 0, -1, -1, 7, -1);

    const QString corto = carpeta.filePath(QStringLiteral("corto.pdf"));
    QVERIFY_THROWS_NO_EXCEPTION(orbanel::GuardaPdf(corto, Renglones(5), QStringLiteral("Centros"), opciones));
    QCOMPARE(PaginasDelPdf(corto), 1);

    // At 10 points a page holds far fewer than 300 lines, and more than 30.
    const QString largo = carpeta.filePath(QStringLiteral("largo.pdf"));
    QVERIFY_THROWS_NO_EXCEPTION(orbanel::GuardaPdf(largo, Renglones(300), QStringLiteral("Centros"), opciones));
    const int paginas = PaginasDelPdf(largo);
    QVERIFY2(paginas > 1 && paginas < 10, qPrintable(QString::number(paginas)));

    // Landscape holds fewer lines a page than portrait.
    const QString horizontal = carpeta.filePath(QStringLiteral("horizontal.pdf"));
    QVERIFY_THROWS_NO_EXCEPTION(orbanel::GuardaPdf(horizontal, Renglones(300), QString(),
                                                   orbanel::OpcionesImpresion::DeArgumentos(1, 0, -1, -1, 7, -1)));
    QVERIFY(PaginasDelPdf(horizontal) > paginas);
}

void PruebasImpresion::pdfEnRutaImposible()
{
    QVERIFY_THROWS_EXCEPTION(kt508::Error,
                             orbanel::GuardaPdf(QStringLiteral("/no/existe/carpeta/x.pdf"), Renglones(3), QString(),
                                                orbanel::OpcionesImpresion()));
}

// The screen's call opens the preview over the laid-out pages, with the PDF action.
void PruebasImpresion::vistaPrevia()
{
    int paginas = 0;
    bool conPdf = false;
    pruebas::EsperaModal espera([&](QWidget* modal) {
        if (auto* vista = modal->findChild<QPrintPreviewWidget*>()) {
            vista->updatePreview();
            paginas = vista->pageCount();
        }
        auto* pdf = modal->findChild<QAction*>(QStringLiteral("accionGuardarPdf"));
        conPdf = pdf && pdf->text() == QStringLiteral("Guardar PDF");
        modal->close();
    });
    orbanel::ImpresorTexto impresor;
    impresor.Imprime(Renglones(300), QString(), 0, 0, -1, -1, 7, -1);
    QVERIFY(espera.Atendida());
    QVERIFY(conPdf);
    QVERIFY2(paginas > 1, qPrintable(QString::number(paginas)));
}

int EjecutaPruebasImpresion(int argc, char** argv)
{
    PruebasImpresion pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_impresion.moc"
