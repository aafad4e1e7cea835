#include "suite/services/CuadroEntrada.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbanel {

CuadroEntrada::CuadroEntrada(const QString& prompt, const QString& titulo, const QString& textoInicial, QWidget* padre)
    : QDialog(padre)
    , m_texto(new QLineEdit(textoInicial, this))
{
    setObjectName(QStringLiteral("CuadroEntrada"));
    setWindowTitle(titulo.isEmpty() ? QStringLiteral("Orbanel") : titulo);
    setModal(true);

    auto* etiqueta = new QLabel(prompt, this);
    etiqueta->setObjectName(QStringLiteral("textoPrompt"));
    etiqueta->setTextFormat(Qt::PlainText);
    etiqueta->setWordWrap(true);
    etiqueta->setBuddy(m_texto);
    m_texto->setObjectName(QStringLiteral("textoEntrada"));
    m_texto->selectAll();
    m_texto->setMinimumWidth(320);

    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    botones->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("botonAceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    botones->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("botonCancelar"));
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* todo = new QVBoxLayout(this);
    todo->addWidget(etiqueta);
    todo->addWidget(m_texto);
    todo->addWidget(botones);
    m_texto->setFocus();
}

QString CuadroEntrada::Texto() const
{
    return m_texto->text();
}

QString CuadroEntrada::Pide(const QString& prompt, const QString& titulo, const QString& textoInicial)
{
    CuadroEntrada cuadro(prompt, titulo, textoInicial, QApplication::activeWindow());
    if (cuadro.exec() != QDialog::Accepted)
        return QString();
    return cuadro.Texto();
}

} // namespace orbanel
