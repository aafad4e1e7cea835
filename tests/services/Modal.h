#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace pruebas {

// Hands the modal window that the code about to run opens to the action, as soon as it
// shows (a zero-interval timer that keeps looking for up to five seconds). Stops looking
// when it goes out of scope, so a window that never came cannot touch a later test.
class EsperaModal {
public:
    explicit EsperaModal(std::function<void(QWidget* modal)> accion);
    ~EsperaModal();

    bool Atendida() const; // the action ran
    QString Titulo() const; // title of the window it ran on

private:
    void Busca();

    std::function<void(QWidget*)> m_accion;
    QTimer m_reloj;
    QElapsedTimer m_transcurrido;
    bool m_atendida = false;
    QString m_titulo;
};

// Presses a key on the modal window's focus widget, as a user would.
void PulsaEnModal(QWidget* modal, Qt::Key tecla);

// Clicks the push button with that object name; when there is none, closes the window
// and answers false.
bool PulsaBoton(QWidget* modal, const QString& nombre);

} // namespace pruebas
