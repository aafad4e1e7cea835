#include "suite/print/Compaginacion.h"
#include "suite/print/ImpresorTexto.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Paginas = std::vector<QStringList>;

namespace {

// The action on the next modal window other than the one already open: a dialog that is
// still being built lets the timers run before it shows.
void EnOtraModal(QWidget* abierta, const std::function<void(QWidget*)>& accion)
{
    pruebas::EnModal([abierta, accion](QWidget* modal) {
        if (modal && modal == abierta)
            EnOtraModal(abierta, accion);
        else
            accion(modal);
    });
}

} // namespace

// Text printing: the layout of the text on pages, and the PDF.
class PruebasImpresion : public QObject {
    Q_OBJECT

private slots:
    void compagina_data();
    void compagina();
    void vistaPreviaConTeclado();
};

void PruebasImpresion::compagina_data()
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

void PruebasImpresion::compagina()
{
    QFETCH(QString, texto);
    QFETCH(QList<int>, anchoYRenglones);
    QFETCH(Paginas, esperado);
    QCOMPARE(orbanel::Compagina(texto, anchoYRenglones[0], anchoYRenglones[1], 4), esperado);
}

// The preview opens at a size a page can be read at, and prints and saves (a PDF) from the
// keyboard: its toolbar buttons take no focus.
void PruebasImpresion::vistaPreviaConTeclado()
{
    QTemporaryDir carpeta;
    QString alImprimir;
    double altoRelativo = 0;
    // Ctrl+P's print dialog is named and cancelled; Ctrl+S's file dialog saves into the folder.
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
            EnOtraModal(vista, contesta);
            pruebas::Tecla(vista, tecla, Qt::ControlModifier);
            QApplication::setActiveWindow(vista); // as a window manager does when a dialog closes
        }
        pruebas::Tecla(vista, Qt::Key_Escape);
    });
    orbanel::ImpresorTexto().Imprime(u"1 - Ventas norte\r\n\t10 - Ventas sur\r\n"_s, QString(), 0, 0, -1, -1, 7, -1);
    QCOMPARE(alImprimir, u"QPrintDialog"_s);
    QFile archivo(carpeta.filePath(u"Listado.pdf"_s)); // the name proposed for a listing without title
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QCOMPARE(archivo.read(4), QByteArray("%PDF"));
    QVERIFY2(altoRelativo >= 0.8, qPrintable(QString::number(altoRelativo)));
}

int EjecutaPruebasImpresion(int argc, char** argv)
{
    PruebasImpresion pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_impresion.moc"
