#include "kt508/dialogs/KeyPreview.h"

#include "kt508/services/Teclas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

KeyPreview::KeyPreview(QWidget* ventana, Manejador keyDown, Manejador keyUp)
    : QObject(ventana)
    , m_ventana(ventana)
    , m_keyDown(std::move(keyDown))
    , m_keyUp(std::move(keyUp))
{
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview()
{
    qApp->removeEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* receptor, QEvent* evento)
{
    const bool presion = evento->type() == QEvent::KeyPress;
    if (!(presion || evento->type() == QEvent::KeyRelease) || !m_ventana)
        return false;
    // A key travels up to the parents when the focus widget ignores it: see it once.
    QWidget* foco = QApplication::focusWidget();
    if (receptor != (foco ? static_cast<QObject*>(foco) : m_ventana.data()))
        return false;
    auto* widget = static_cast<QWidget*>(receptor);
    if (widget->window() != m_ventana)
        return false;
    auto* tecla = static_cast<QKeyEvent*>(evento);
    if (tecla->isAutoRepeat() && !presion)
        return false;
    int codigo = kt508::CodigoDeTecla(*tecla);
    const Manejador& manejador = presion ? m_keyDown : m_keyUp;
    if (codigo == 0 || !manejador)
        return false;
    manejador(codigo, kt508::EstadoDeShift(tecla->modifiers()));
    return codigo == 0;
}
