#include "suite/controls/DialogoCamposAdicionales.h"

#include "suite/controls/CamposAdicionales.h"
#include "suite/controls/LargoEnCaracteres.h"

#include "kt508/services/Error.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbanel {

namespace {

constexpr int LargoValor = 255; // characters Ca_Valor takes

} // namespace

DialogoCamposAdicionales::DialogoCamposAdicionales(CamposAdicionales& campos, QWidget* parent)
    : QDialog(parent)
    , m_campos(campos)
{
    setObjectName(QStringLiteral("DialogoCamposAdicionales"));
    setWindowTitle(QStringLiteral("Campos adicionales"));
    auto* disposicion = new QVBoxLayout(this);
    auto* formulario = new QFormLayout;
    disposicion->addLayout(formulario);
    try {
        for (const DefinicionCampo& definicion : campos.Definiciones()) {
            auto* editor = new QLineEdit(campos.Valor(definicion.campo), this);
            editor->setObjectName(definicion.campo);
            editor->setValidator(new LargoEnCaracteres(LargoValor, editor));
            const QString etiqueta =
                definicion.obligatorio ? definicion.etiqueta + QStringLiteral(" *") : definicion.etiqueta;
            if (definicion.obligatorio)
                editor->setToolTip(QStringLiteral("Campo obligatorio"));
            formulario->addRow(etiqueta + QLatin1Char(':'), editor);
            m_editores.emplace_back(definicion.campo, editor);
        }
        if (m_editores.empty())
            disposicion->addWidget(new QLabel(QStringLiteral("No hay campos adicionales definidos."), this));
    } catch (const kt508::Error& error) {
        disposicion->addWidget(new QLabel(
            QStringLiteral("No se pudieron leer los campos adicionales: %1").arg(error.Description()), this));
    }
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    disposicion->addWidget(botones);
    connect(botones, &QDialogButtonBox::accepted, this, &DialogoCamposAdicionales::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &DialogoCamposAdicionales::reject);
}

void DialogoCamposAdicionales::accept()
{
    for (const auto& [campo, editor] : m_editores)
        m_campos.setValor(campo, editor->text());
    QDialog::accept();
}

} // namespace orbanel
