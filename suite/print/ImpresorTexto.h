#pragma once

#include "kt508/services/Impresion.h"
#include "suite/print/Compaginacion.h"

#include <QPrintPreviewDialog>

class QPagedPaintDevice;
class QPrinter;

namespace orbanel {

// Draws the text on the printer's (or the PDF's) pages in a monospaced font, with the title and
// date at the head and the page numbers at the foot.
void PintaTexto(QPagedPaintDevice& impresora, const QString& texto, const QString& titulo,
                const OpcionesImpresion& opciones);

// Writes the text as a PDF file, whole or not at all; throws kt508::Error when it cannot.
void GuardaPdf(const QString& ruta, const QString& texto, const QString& titulo, const OpcionesImpresion& opciones);

// The print preview of a text, with an action that saves it as PDF.
class VistaPreviaTexto : public QPrintPreviewDialog {
    Q_OBJECT
public:
    VistaPreviaTexto(QPrinter* impresora, QString texto, QString titulo, const OpcionesImpresion& opciones,
                     QWidget* padre);

private:
    void Pinta(QPrinter* impresora);
    void GuardaComoPdf();

    QString m_texto;
    QString m_titulo;
    OpcionesImpresion m_opciones;
};

class ImpresorTexto : public kt508::IImpresorTexto {
public:
    void Imprime(const QString& texto, const QString& titulo, int a, int b, int c, int d, int e, int f) override;
};

} // namespace orbanel
