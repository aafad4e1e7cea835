#include "kt508/dialogs/frmInput.h"

#include "kt508/dialogs/BarraDialogo.h"
#include "kt508/dialogs/KeyPreview.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"
#include "kt508/services/Teclas.h"

#include <QCloseEvent>
#include <QEvent>

using kt508::Px;

frmInput::frmInput()
{
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(QStringLiteral("Buscar"));
    setModal(true);
    CreaControles();
    m_teclas = new KeyPreview(
        this, [this](int& KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); },
        [this](int& KeyCode, int Shift) { Form_KeyUp(KeyCode, Shift); });
    Form_Load();
}

frmInput::~frmInput() = default;

void frmInput::CreaControles()
{
    const kt508::Plataforma& p = kt508::plataforma();
    setFixedSize(Px(5400), Px(1800));

    colorVEX = p.NuevoColorVEX(this);

    Controles = BarraDialogo(this, 5400, QStringLiteral("Buscar"));

    Etiqueta1 = p.NuevaEtiqueta(this);
    Etiqueta1->setObjectName(QStringLiteral("Etiqueta1"));
    Etiqueta1->setGeometry(Px(120), Px(1170), Px(1335), Px(255));
    Etiqueta1->setCaption(QStringLiteral("Valor a buscar:"));
    Etiqueta1->setIdetiqueta(QStringLiteral("Buscar"));
    Etiqueta1->setAlignment(1);
    Etiqueta1->setFontbold(false);

    txtValor = p.NuevoTexto(this);
    txtValor->setObjectName(QStringLiteral("txtValor"));
    txtValor->setGeometry(Px(1560), Px(1140), Px(3675), Px(315));

    connect(Controles, &kt508::Controles::B1Click, this, &frmInput::Aceptar);
    connect(Controles, &kt508::Controles::B2Click, this, &frmInput::Cancelar);
    connect(txtValor, &kt508::txtVEX::KeyPress, this, [this](int& KeyAscii) {
        if (KeyAscii == kt508::vbKeyReturn)
            Aceptar();
    });
}

void frmInput::Form_Load()
{
    colorVEX->ApplyScheme();
    OK = false;
}

void frmInput::Form_Activate()
{
    Controles->ActivateWindow(false);
}

void frmInput::Mostrar()
{
    txtValor->setText(sVar);
    exec();
}

void frmInput::Aceptar()
{
    if (txtValor->Text().isEmpty())
        return;
    OK = true;
    hide();
}

void frmInput::Cancelar()
{
    OK = false;
    hide();
}

void frmInput::Form_KeyDown(int& KeyCode, int /*Shift*/)
{
    // The dialog's own Escape handling would close it as a rejection: the release decides.
    if (KeyCode == kt508::vbKeyEscape)
        KeyCode = 0;
}

void frmInput::Form_KeyUp(int& KeyCode, int /*Shift*/)
{
    switch (KeyCode) {
    case kt508::vbKeyF4:
        KeyCode = 0;
        Aceptar();
        break;
    case kt508::vbKeyEscape:
        KeyCode = 0;
        Cancelar();
        break;
    default: break;
    }
}

bool frmInput::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(e);
}

void frmInput::closeEvent(QCloseEvent* e)
{
    // Closed from its frame: the caller sees what a freshly loaded dialog holds.
    OK = false;
    QDialog::closeEvent(e);
}
