#include "suite/print/ImpresorTexto.h"

#include "kt508/services/Error.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <utility>

namespace orbanel {

namespace {

QFont FuenteDeImpresion(double puntos)
{
    QFont fuente(QStringLiteral("DejaVu Sans Mono"));
    fuente.setStyleHint(QFont::TypeWriter);
    fuente.setFixedPitch(true);
    fuente.setPointSizeF(puntos > 0 ? puntos : 10.0);
    return fuente;
}

void PreparaImpresora(QPrinter& impresora, const QString& titulo, const OpcionesImpresion& opciones)
{
    impresora.setPageOrientation(opciones.horizontal ? QPageLayout::Landscape : QPageLayout::Portrait);
    impresora.setDocName(titulo.isEmpty() ? QStringLiteral("Orbanel") : titulo);
}

// One page as the painter sees it: the printable area measured in lines and columns.
struct Hoja {
    QSizeF area;
    qreal alto = 1;
    qreal ascenso = 0;
    int columnas = 1;
    int lineas = 1;
};

Hoja MideHoja(const QPagedPaintDevice& pagina, const QFontMetricsF& metricas, const OpcionesImpresion& opciones)
{
    Hoja hoja;
    hoja.area = pagina.pageLayout().paintRectPixels(pagina.logicalDpiX()).size();
    hoja.alto = metricas.lineSpacing();
    hoja.ascenso = metricas.ascent();
    const int reservadas = (opciones.encabezado ? 2 : 0) + (opciones.numerosPagina ? 2 : 0);
    hoja.columnas = std::max(1, int(std::floor(hoja.area.width() / metricas.horizontalAdvance(QLatin1Char('M')))));
    hoja.lineas = std::max(1, int(std::floor(hoja.area.height() / hoja.alto)) - reservadas);
    return hoja;
}

void PintaEncabezado(QPainter& pintor, const Hoja& hoja, const QString& titulo, const QString& fecha)
{
    const QFontMetricsF metricas(pintor.font(), pintor.device());
    const qreal anchoFecha = metricas.horizontalAdvance(fecha);
    const QString visible = metricas.elidedText(titulo, Qt::ElideRight, hoja.area.width() - anchoFecha - hoja.alto);
    pintor.drawText(QPointF(0, hoja.ascenso), visible);
    pintor.drawText(QPointF(hoja.area.width() - anchoFecha, hoja.ascenso), fecha);
}

void PintaPie(QPainter& pintor, const Hoja& hoja, int pagina, int total)
{
    const QFontMetricsF metricas(pintor.font(), pintor.device());
    const QString pie = QStringLiteral("Página %1 de %2").arg(pagina).arg(total);
    const qreal x = (hoja.area.width() - metricas.horizontalAdvance(pie)) / 2;
    pintor.drawText(QPointF(x, hoja.area.height() - metricas.descent()), pie);
}

// The preview's toolbar buttons take no focus: each of its actions is also a key.
void DaAtajo(QAction* accion, QKeySequence::StandardKey tecla)
{
    accion->setShortcut(tecla);
    accion->setToolTip(
        QStringLiteral("%1 (%2)").arg(accion->toolTip(), accion->shortcut().toString(QKeySequence::NativeText)));
}

QAction* AccionDeImprimir(const QToolBar& barra)
{
    const QString imprimir = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction* accion : barra.actions()) {
        if (accion->text() == imprimir)
            return accion;
    }
    return nullptr;
}

// Large enough to read a page: most of the screen's height, and the width the toolbar needs.
QSize TamanoDeVista(const QWidget& vista)
{
    const QScreen* pantalla = vista.screen();
    if (!pantalla)
        return vista.size();
    const QRect area = pantalla->availableGeometry();
    const int alto = area.height() * 9 / 10;
    const int ancho = std::min(area.width() * 9 / 10, std::max(vista.sizeHint().width(), alto * 4 / 5));
    return {ancho, alto};
}

QString NombreDeArchivo(const QString& titulo)
{
    static const QRegularExpression prohibidos(QStringLiteral("[^\\w .-]+"));
    QString nombre = titulo.trimmed();
    nombre.replace(prohibidos, QStringLiteral("_"));
    return (nombre.isEmpty() ? QStringLiteral("Listado") : nombre) + QStringLiteral(".pdf");
}

} // namespace

void PintaTexto(QPagedPaintDevice& impresora, const QString& texto, const QString& titulo,
                const OpcionesImpresion& opciones)
{
    QPainter pintor;
    if (!pintor.begin(&impresora))
        throw kt508::Error(QStringLiteral("No se pudo iniciar la impresión de «%1».")
                               .arg(titulo.isEmpty() ? QStringLiteral("Orbanel") : titulo));
    pintor.setFont(FuenteDeImpresion(opciones.puntos));
    const Hoja hoja = MideHoja(impresora, QFontMetricsF(pintor.font(), pintor.device()), opciones);
    const std::vector<QStringList> paginas = Compagina(texto, hoja.columnas, hoja.lineas, opciones.tabulador);
    const QString fecha = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    const int total = static_cast<int>(paginas.size());
    for (int i = 0; i < total; ++i) {
        if (i > 0)
            impresora.newPage();
        qreal y = 0;
        if (opciones.encabezado) {
            PintaEncabezado(pintor, hoja, titulo, fecha);
            y += 2 * hoja.alto;
        }
        for (const QString& linea : paginas[static_cast<size_t>(i)]) {
            pintor.drawText(QPointF(0, y + hoja.ascenso), linea);
            y += hoja.alto;
        }
        if (opciones.numerosPagina)
            PintaPie(pintor, hoja, i + 1, total);
    }
    pintor.end();
}

// The document goes to a temporary file in the same folder, which takes the name only once it is
// complete: an interrupted save leaves no half document, and an existing one as it was.
void GuardaPdf(const QString& ruta, const QString& texto, const QString& titulo, const OpcionesImpresion& opciones)
{
    QPrinter pagina(QPrinter::HighResolution); // the page the preview shows
    pagina.setOutputFormat(QPrinter::PdfFormat);
    PreparaImpresora(pagina, titulo, opciones);
    QSaveFile archivo(ruta);
    const auto falla = [&ruta](const QString& motivo) {
        return kt508::Error(
            QStringLiteral("No se pudo escribir el archivo %1: %2").arg(QDir::toNativeSeparators(ruta), motivo));
    };
    if (!archivo.open(QIODevice::WriteOnly))
        throw falla(archivo.errorString());
    try {
        QPdfWriter pdf(&archivo);
        pdf.setResolution(pagina.resolution());
        pdf.setPageLayout(pagina.pageLayout());
        pdf.setTitle(pagina.docName());
        pdf.setCreator(QStringLiteral("Orbanel"));
        PintaTexto(pdf, texto, titulo, opciones);
    } catch (const kt508::Error& e) {
        throw falla(e.Description());
    }
    if (!archivo.commit())
        throw falla(archivo.errorString());
}

VistaPreviaTexto::VistaPreviaTexto(QPrinter* impresora, QString texto, QString titulo,
                                   const OpcionesImpresion& opciones, QWidget* padre)
    : QPrintPreviewDialog(impresora, padre)
    , m_texto(std::move(texto))
    , m_titulo(std::move(titulo))
    , m_opciones(opciones)
{
    setObjectName(QStringLiteral("VistaPreviaTexto"));
    setWindowTitle(m_titulo.isEmpty() ? QStringLiteral("Vista previa") : QStringLiteral("Vista previa - ") + m_titulo);
    connect(this, &QPrintPreviewDialog::paintRequested, this, &VistaPreviaTexto::Pinta);
    if (auto* barra = findChild<QToolBar*>()) {
        if (QAction* imprimir = AccionDeImprimir(*barra))
            DaAtajo(imprimir, QKeySequence::Print);
        barra->addSeparator();
        QAction* pdf = barra->addAction(QStringLiteral("Guardar PDF"));
        pdf->setObjectName(QStringLiteral("accionGuardarPdf"));
        pdf->setToolTip(QStringLiteral("Guarda el listado como documento PDF"));
        DaAtajo(pdf, QKeySequence::Save);
        connect(pdf, &QAction::triggered, this, &VistaPreviaTexto::GuardaComoPdf);
    }
    resize(TamanoDeVista(*this));
}

void VistaPreviaTexto::Pinta(QPrinter* impresora)
{
    try {
        PintaTexto(*impresora, m_texto, m_titulo, m_opciones);
    } catch (const kt508::Error& e) {
        QMessageBox::critical(this, windowTitle(), e.Description());
    }
}

void VistaPreviaTexto::GuardaComoPdf()
{
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString ruta = QFileDialog::getSaveFileName(this, QStringLiteral("Guardar PDF"),
                                                QDir(carpeta).filePath(NombreDeArchivo(m_titulo)),
                                                QStringLiteral("Documentos PDF (*.pdf)"));
    if (ruta.isEmpty())
        return;
    if (QFileInfo(ruta).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0)
        ruta += QStringLiteral(".pdf");
    try {
        GuardaPdf(ruta, m_texto, m_titulo, m_opciones);
    } catch (const kt508::Error& e) {
        QMessageBox::critical(this, QStringLiteral("Guardar PDF"), e.Description());
    }
}

void ImpresorTexto::Imprime(const QString& texto, const QString& titulo, int a, int b, int c, int d, int e, int f)
{
    const OpcionesImpresion opciones = OpcionesImpresion::DeArgumentos(a, b, c, d, e, f);
    QPrinter impresora(QPrinter::HighResolution);
    PreparaImpresora(impresora, titulo, opciones);
    QWidget* padre = QApplication::activeWindow();
    if (opciones.vistaPrevia) {
        VistaPreviaTexto vista(&impresora, texto, titulo, opciones, padre);
        vista.exec();
        return;
    }
    QPrintDialog dialogo(&impresora, padre);
    dialogo.setWindowTitle(QStringLiteral("Imprimir"));
    if (dialogo.exec() == QDialog::Accepted)
        PintaTexto(impresora, texto, titulo, opciones);
}

} // namespace orbanel
