#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace orbanel {

// The platform's input box: a prompt, one line of text, Aceptar and Cancelar.
class CuadroEntrada : public QDialog {
    Q_OBJECT
public:
    CuadroEntrada(const QString& prompt, const QString& titulo, const QString& textoInicial, QWidget* padre);

    QString Texto() const;

    // The entered text, or "" when the user cancels.
    static QString Pide(const QString& prompt, const QString& titulo, const QString& textoInicial);

private:
    QLineEdit* m_texto;
};

} // namespace orbanel
