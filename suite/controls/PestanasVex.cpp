#include "suite/controls/PestanasVex.h"

#include "kt508/services/Teclas.h"
#include "suite/controls/Protege.h"

#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orbanel {

PestanasVex::PestanasVex(QWidget* parent)
    : kt508::ssTbVex(parent)
    , m_pestanas(new QTabWidget(this))
{
    m_pestanas->setObjectName(QStringLiteral("pestanas"));
    m_pestanas->tabBar()->installEventFilter(this);
    auto* disposicion = new QVBoxLayout(this);
    disposicion->setContentsMargins(0, 0, 0, 0);
    disposicion->addWidget(m_pestanas);
    setFocusProxy(m_pestanas->tabBar());
    connect(m_pestanas, &QTabWidget::currentChanged, this, &PestanasVex::AlCambiar);
}

void PestanasVex::setTabcount(int count)
{
    while (m_pestanas->count() > count && count >= 0) {
        QWidget* pagina = m_pestanas->widget(m_pestanas->count() - 1);
        m_pestanas->removeTab(m_pestanas->count() - 1);
        delete pagina;
    }
    while (m_pestanas->count() < count) {
        auto* pagina = new QWidget;
        pagina->setObjectName(QStringLiteral("pagina%1").arg(m_pestanas->count()));
        m_pestanas->addTab(pagina, QStringLiteral("Pestaña %1").arg(m_pestanas->count() + 1));
    }
}

void PestanasVex::setTabCaption(int tab, const QString& caption)
{
    if (tab >= m_pestanas->count())
        setTabcount(tab + 1);
    m_pestanas->setTabText(tab, caption);
}

QWidget* PestanasVex::Page(int tab)
{
    return m_pestanas->widget(tab);
}

int PestanasVex::Tab() const
{
    return m_pestanas->currentIndex();
}

void PestanasVex::setTab(int tab)
{
    if (tab >= 0 && tab < m_pestanas->count())
        m_pestanas->setCurrentIndex(tab);
}

void PestanasVex::AlCambiar(int actual)
{
    const int anterior = m_anterior;
    m_anterior = actual;
    if (anterior < 0)
        return; // the first page appearing is no change of page
    EmiteProtegido(QStringLiteral("Click"), [&] { emit Click(anterior); });
}

bool PestanasVex::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pestanas->tabBar() && event->type() == QEvent::KeyPress) {
        int caracter = kt508::CodigoCaracter(*static_cast<QKeyEvent*>(event));
        if (caracter != 0) {
            EmiteProtegido(QStringLiteral("KeyPress"), [&] { emit KeyPress(caracter); });
            if (caracter == 0)
                return true;
        }
    }
    return kt508::ssTbVex::eventFilter(watched, event);
}

} // namespace orbanel
