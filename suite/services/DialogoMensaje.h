#pragma once

#include <QDialog>
#include <QString>

class QPushButton;

namespace orbanel {

// The suite's message box: the style picks icon, buttons and the default button
// (16 critical, 32 question, 48 exclamation, 64 information; 0 OK, 1 OK/Cancel,
// 3 Yes/No/Cancel, 4 Yes/No; 256 second button default). The module code and the
// error identifier go under the message in smaller text. exec() gives the button code.
class DialogoMensaje : public QDialog {
    Q_OBJECT
public:
    DialogoMensaje(const QString& texto, int estilo, const QString& titulo, const QString& modulo, const QString& errId,
                   QWidget* owner);

    static int Muestra(const QString& texto, int estilo, const QString& titulo, QWidget* owner,
                       const QString& modulo = {}, const QString& errId = {});
    // Unattended runs (a capture): no window waits for an answer; each message goes to the
    // console and gets the answer of its default button.
    static void EnConsola(bool activo);
    static int CodigoPorDefecto(int estilo);

protected:
    void reject() override;

private:
    void AgregaBotones(int estilo);
    QPushButton* AgregaBoton(const QString& texto, int codigo, const char* nombre);

    int m_codigoEscape = 1;
};

} // namespace orbanel
