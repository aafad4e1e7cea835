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
    if (!presion && evento->type() != QEvent::KeyRelease) {
        m_visto = nullptr;
        return false;
    }
    // The platform's window hands the key to the focus widget, and a key the focus widget
    // ignores travels up to its parents: see it once, at the first widget that receives it.
    auto* widget = qobject_cast<QWidget*>(receptor);
    if (!widget)
        return false;
    auto* tecla = static_cast<QKeyEvent*>(evento);
    if (evento == m_visto && evento->type() == m_tipoVisto && tecla->key() == m_teclaVista
        && tecla->timestamp() == m_momentoVisto)
        return false;
    m_visto = evento;
    m_tipoVisto = evento->type();
    m_teclaVista = tecla->key();
    m_momentoVisto = tecla->timestamp();
    if (!m_ventana || widget->window() != m_ventana)
        return false;
    if (tecla->isAutoRepeat() && !presion)
        return false;
    int codigo = kt508::CodigoDeTecla(*tecla);
    const Manejador& manejador = presion ? m_keyDown : m_keyUp;
    if (codigo == 0 || !manejador)
        return false;
    manejador(codigo, kt508::EstadoDeShift(tecla->modifiers()));
    return codigo == 0;
}
