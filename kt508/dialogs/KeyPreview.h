#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// The window sees each key before its controls: key presses as KeyDown, releases as
// KeyUp, with the key code by reference (0 consumes the key) and the shift state.
class KeyPreview : public QObject {
    Q_OBJECT
public:
    using Manejador = std::function<void(int& KeyCode, int Shift)>;

    KeyPreview(QWidget* ventana, Manejador keyDown, Manejador keyUp);
    ~KeyPreview() override;

protected:
    bool eventFilter(QObject* receptor, QEvent* evento) override;

private:
    QPointer<QWidget> m_ventana;
    // The key event last seen. The platform builds consecutive events at one address, so its
    // type, key and time tell a new event from the same one passed up to a parent.
    const QEvent* m_visto = nullptr;
    int m_tipoVisto = 0;
    int m_teclaVista = 0;
    quint64 m_momentoVisto = 0;
    Manejador m_keyDown;
    Manejador m_keyUp;
};
