#include "host/DialogoInforme.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

DialogoInforme::DialogoInforme(const QString& titulo, const QString& texto, QWidget* padre)
    : QDialog(padre)
{
    setObjectName(QStringLiteral("DialogoInforme"));
    setWindowTitle(titulo);
    auto* informe = new QPlainTextEdit(texto, this);
    informe->setObjectName(QStringLiteral("informe"));
    informe->setReadOnly(true);
    auto* botones = new QDialogButtonBox(this);
    QPushButton* cerrar = botones->addButton(QStringLiteral("C&errar"), QDialogButtonBox::RejectRole);
    cerrar->setObjectName(QStringLiteral("botonCerrar"));
    cerrar->setDefault(true);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(informe);
    todo->addWidget(botones);
    resize(720, 360);
}
