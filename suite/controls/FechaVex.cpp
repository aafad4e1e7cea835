#include "suite/controls/FechaVex.h"

#include "suite/controls/Esquema.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLocale>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace orbanel {

namespace {

// The earliest date stands for "no date".
QDate SinFecha()
{
    return QDate(1753, 1, 1);
}

} // namespace

FechaVex::FechaVex(QWidget* parent)
    : kt508::dpFecha(parent)
    , m_fecha(new QDateEdit(this))
{
    m_fecha->setObjectName(QStringLiteral("fecha"));
    m_fecha->setCalendarPopup(true);
    m_fecha->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    m_fecha->setMinimumDate(SinFecha());
    m_fecha->setSpecialValueText(QStringLiteral(" "));
    m_fecha->setDate(QDate::currentDate());
    // The calendar names its months and days in the suite's language, whatever the machine's.
    m_fecha->setLocale(QLocale(QLocale::Spanish, QLocale::Mexico));
    m_fecha->setToolTip(QStringLiteral("Fecha (Alt+flecha abajo abre el calendario; Supr la deja vacía)"));
    m_fecha->installEventFilter(this);
    auto* disposicion = new QVBoxLayout(this);
    disposicion->setContentsMargins(0, 0, 0, 0);
    disposicion->addWidget(m_fecha);
    setFocusProxy(m_fecha);
    setFocusPolicy(Qt::StrongFocus);
}

QDate FechaVex::Value() const
{
    const QDate fecha = m_fecha->date();
    return fecha == SinFecha() ? QDate() : fecha;
}

void FechaVex::setValue(const QDate& value)
{
    m_fecha->setDate(value.isValid() && value > SinFecha() ? value : SinFecha());
}

// Delete leaves the date empty: a date the record does not have is not today's.
bool FechaVex::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_fecha && event->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(event);
        if (tecla->key() == Qt::Key_Delete && tecla->modifiers() == Qt::NoModifier) {
            setValue(QDate());
            return true;
        }
    }
    return kt508::dpFecha::eventFilter(watched, event);
}

void FechaVex::AplicaEsquema()
{
    QCalendarWidget* calendario = m_fecha->calendarWidget();
    if (!calendario)
        return;
    QPalette paleta = calendario->palette();
    paleta.setColor(QPalette::Base, esquema::CalendarioFondo());
    paleta.setColor(QPalette::Text, esquema::CalendarioTexto());
    paleta.setColor(QPalette::AlternateBase, esquema::CalendarioTituloFondo());
    calendario->setPalette(paleta);

    QTextCharFormat titulo;
    titulo.setBackground(esquema::CalendarioTituloFondo());
    titulo.setForeground(esquema::CalendarioTituloTexto());
    calendario->setHeaderTextFormat(titulo);

    QTextCharFormat dia;
    dia.setForeground(esquema::CalendarioTexto());
    for (int d = Qt::Monday; d <= Qt::Sunday; ++d)
        calendario->setWeekdayTextFormat(static_cast<Qt::DayOfWeek>(d), dia);
}

} // namespace orbanel
