#include "kt508/catalogue/Iconos.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A folder, open or closed; deactivated centres are grey and struck through in red,
// so they stand apart from active ones at a glance.
QPixmap carpeta(bool abierta, bool activa)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    const QColor cuerpo = activa ? QColor(0xF2, 0xB7, 0x33) : QColor(0xB8, 0xB8, 0xB8);
    const QColor borde = activa ? QColor(0xA8, 0x6E, 0x0A) : QColor(0x6E, 0x6E, 0x6E);
    p.setPen(QPen(borde, 1));

    p.setBrush(cuerpo.darker(110));
    p.drawRoundedRect(QRectF(1.5, 3.5, 5, 3), 1, 1); // tab
    p.drawRect(QRectF(1.5, 4.5, 13, 9.5));           // back
    if (abierta) {
        QPainterPath frente;
        frente.moveTo(3.5, 7.5);
        frente.lineTo(15.5, 7.5);
        frente.lineTo(13.5, 14);
        frente.lineTo(1.5, 14);
        frente.closeSubpath();
        p.setBrush(cuerpo.lighter(115));
        p.drawPath(frente);
    } else {
        p.setBrush(cuerpo);
        p.drawRect(QRectF(1.5, 6.5, 13, 7.5));
    }
    if (!activa) {
        p.setPen(QPen(QColor(0xC6, 0x28, 0x28), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 5), QPointF(13, 14));
        p.drawLine(QPointF(13, 5), QPointF(4, 14));
    }
    return pixmap;
}

} // namespace

QIcon IconoCentro(int imagen)
{
    const bool abierta = imagen == Imagen::ActivoAbierto || imagen == Imagen::BajaAbierto;
    const bool activa = imagen == Imagen::Activo || imagen == Imagen::ActivoAbierto;
    return QIcon(carpeta(abierta, activa));
}
