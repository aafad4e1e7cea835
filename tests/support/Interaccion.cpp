#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace pruebas {

namespace {

QWidget* destino(QWidget* ventana)
{
    QWidget* foco = ventana->focusWidget();
    return foco ? foco : ventana;
}

// A window the action should have closed but did not would hold the test forever:
// close it, so that the test goes on and its checks fail.
void cierraSiSigueAbierta(QWidget* modal)
{
    // Only this showing: the same window may be shown again meanwhile.
    const int muestra = modal->property("pruebas_muestra").toInt() + 1;
    modal->setProperty("pruebas_muestra", muestra);
    QTimer::singleShot(3000, modal, [modal, muestra] {
        if (modal->isVisible() && modal->property("pruebas_muestra").toInt() == muestra) {
            qWarning("la ventana modal %s seguía abierta: se cierra", qPrintable(modal->objectName()));
            modal->hide();
        }
    });
}

void esperaModal(const std::function<void(QWidget*)>& accion, QDeadlineTimer limite)
{
    // A user types into a window once it is active and its focus is in place.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && modal->isActiveWindow()) {
        accion(modal);
        cierraSiSigueAbierta(modal);
        return;
    }
    // The offscreen platform activates a window only on its first showing; a window
    // manager would activate it every time.
    if (modal && modal->isVisible())
        QApplication::setActiveWindow(modal);
    if (limite.hasExpired()) {
        qWarning("la ventana modal %s no llegó a activarse", modal ? qPrintable(modal->objectName()) : "(ninguna)");
        accion(modal && modal->isVisible() ? modal : nullptr);
        return;
    }
    QTimer::singleShot(10, [accion, limite] { esperaModal(accion, limite); });
}

void esperaMenu(const std::function<void(QMenu*)>& accion, QDeadlineTimer limite)
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu && menu->isVisible()) {
        accion(menu);
        if (QPointer<QMenu> abierto = qobject_cast<QMenu*>(QApplication::activePopupWidget()); abierto == menu)
            QTimer::singleShot(3000, abierto, [abierto] {
                if (abierto && abierto->isVisible()) {
                    qWarning("el menú %s seguía abierto: se cierra", qPrintable(abierto->objectName()));
                    abierto->close();
                }
            });
        return;
    }
    if (limite.hasExpired()) {
        qWarning("no se abrió ningún menú");
        accion(nullptr);
        return;
    }
    QTimer::singleShot(10, [accion, limite] { esperaMenu(accion, limite); });
}

} // namespace

void EnMenu(const std::function<void(QMenu* menu)>& accion, int milisegundos)
{
    const QDeadlineTimer limite(milisegundos);
    QTimer::singleShot(0, [accion, limite] { esperaMenu(accion, limite); });
}

void EnModal(const std::function<void(QWidget* modal)>& accion, int milisegundos)
{
    const QDeadlineTimer limite(milisegundos);
    QTimer::singleShot(0, [accion, limite] { esperaModal(accion, limite); });
}

void EnOtraModal(QWidget* abierta, const std::function<void(QWidget* modal)>& accion)
{
    EnModal([abierta, accion](QWidget* modal) {
        if (modal && modal == abierta)
            EnOtraModal(abierta, accion);
        else
            accion(modal);
    });
}

void Tecla(QWidget* ventana, Qt::Key tecla, Qt::KeyboardModifiers modificadores)
{
    // Through the platform window, as the keyboard delivers it, when the window has one.
    if (QWindow* plataforma = ventana->window()->windowHandle(); plataforma && ventana->window()->isActiveWindow()) {
        QTest::keyClick(plataforma, tecla, modificadores);
        return;
    }
    QTest::keyClick(destino(ventana), tecla, modificadores);
}

void Escribe(QWidget* ventana, const QString& texto)
{
    QWidget* campo = destino(ventana);
    for (const uint caracter : QStringView(texto).toUcs4()) {
        if (caracter < 128) {
            QTest::keyClick(campo, char(caracter));
        } else {
            const char32_t letra = caracter;
            QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, QString::fromUcs4(&letra, 1), Qt::NoModifier);
        }
    }
}

} // namespace pruebas
