#include "suite/controls/EtiquetaVex.h"

#include <QLabel>
#include <QVBoxLayout>

namespace orbanel {

EtiquetaVex::EtiquetaVex(QWidget* parent)
    : kt508::Etiqueta(parent)
    , m_texto(new QLabel(this))
{
    m_texto->setObjectName(QStringLiteral("texto"));
    m_texto->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* disposicion = new QVBoxLayout(this);
    disposicion->setContentsMargins(0, 0, 0, 0);
    disposicion->addWidget(m_texto);
}

void EtiquetaVex::setCaption(const QString& caption)
{
    m_texto->setText(caption);
}

QString EtiquetaVex::caption() const
{
    return m_texto->text();
}

void EtiquetaVex::setIdetiqueta(const QString& id)
{
    m_id = id;
}

QString EtiquetaVex::idetiqueta() const
{
    return m_id;
}

void EtiquetaVex::setAlignment(int alignment)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == 1)
        horizontal = Qt::AlignRight;
    else if (alignment == 2)
        horizontal = Qt::AlignHCenter;
    m_texto->setAlignment(horizontal | Qt::AlignVCenter);
}

void EtiquetaVex::setBackcolor(const QColor& color)
{
    m_fondoPropio = true;
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, color);
    setPalette(paleta);
    setAutoFillBackground(true);
}

bool EtiquetaVex::TieneFondoPropio() const
{
    return m_fondoPropio;
}

void EtiquetaVex::setForecolor(const QColor& color)
{
    QPalette paleta = m_texto->palette();
    paleta.setColor(QPalette::WindowText, color);
    m_texto->setPalette(paleta);
}

void EtiquetaVex::setFontbold(bool bold)
{
    QFont letra = font();
    letra.setBold(bold);
    setFont(letra);
}

} // namespace orbanel
