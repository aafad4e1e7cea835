#include "kt508/dialogs/frmMover.h"

#include "kt508/dialogs/BarraDialogo.h"
#include "kt508/dialogs/KeyPreview.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"
#include "kt508/services/Teclas.h"

#include <QEvent>

using kt508::Px;

frmMover::frmMover(const QString& centro, const QStringList& rama, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMover"));
    setWindowTitle(QStringLiteral("Mover centro de costos"));
    setModal(true);
    CreaControles();
    txtCentro->setText(centro);
    txtNuevoPadre->setExcluidos(rama);
    m_teclas = new KeyPreview(
        this, [this](int& KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); },
        [this](int& KeyCode, int Shift) { Form_KeyUp(KeyCode, Shift); });
    colorVEX->ApplyScheme();
}

frmMover::~frmMover() = default;

QString frmMover::NuevoPadre() const
{
    return txtNuevoPadre->Text().trimmed();
}

void frmMover::CreaControles()
{
    const kt508::Plataforma& p = kt508::plataforma();
    setFixedSize(Px(6600), Px(2220));
    colorVEX = p.NuevoColorVEX(this);

    Controles = BarraDialogo(this, 6600, QStringLiteral("Mover centro de costos"));

    Etiqueta1 = p.NuevaEtiqueta(this);
    Etiqueta1->setObjectName(QStringLiteral("Etiqueta1"));
    Etiqueta1->setGeometry(Px(120), Px(1110), Px(1335), Px(255));
    Etiqueta1->setCaption(QStringLiteral("Centro:"));
    Etiqueta1->setIdetiqueta(QStringLiteral("Centro"));
    Etiqueta1->setAlignment(1);

    txtCentro = p.NuevoTexto(this);
    txtCentro->setObjectName(QStringLiteral("txtCentro"));
    txtCentro->setGeometry(Px(1560), Px(1080), Px(4875), Px(315));
    txtCentro->setLocked(true);
    txtCentro->setTabStop(false);

    Etiqueta2 = p.NuevaEtiqueta(this);
    Etiqueta2->setObjectName(QStringLiteral("Etiqueta2"));
    Etiqueta2->setGeometry(Px(120), Px(1560), Px(1335), Px(255));
    Etiqueta2->setCaption(QStringLiteral("Mover a:"));
    Etiqueta2->setIdetiqueta(QStringLiteral("Mover a"));
    Etiqueta2->setAlignment(1);

    txtNuevoPadre = p.NuevoTexto(this);
    txtNuevoPadre->setObjectName(QStringLiteral("txtNuevoPadre"));
    txtNuevoPadre->setGeometry(Px(1560), Px(1530), Px(1200), Px(315));
    txtNuevoPadre->setMaxlength(6);
    txtNuevoPadre->setIdconsulta(QStringLiteral("CENTRO_COSTO"));
    txtNuevoPadre->setEsclave(true);
    txtNuevoPadre->setSql(QStringLiteral("SELECT CC_Descripcion FROM Centro_Costo WHERE CC_Cve_Centro_Costo = ?"));
    txtNuevoPadre->setSqlControlResultado(QStringLiteral("txtNNuevoPadre"));

    txtNNuevoPadre = p.NuevoTexto(this);
    txtNNuevoPadre->setObjectName(QStringLiteral("txtNNuevoPadre"));
    txtNNuevoPadre->setGeometry(Px(2880), Px(1530), Px(3555), Px(315));
    txtNNuevoPadre->setLocked(true);
    txtNNuevoPadre->setTabStop(false);

    connect(Controles, &kt508::Controles::B1Click, this, &frmMover::Aceptar);
    connect(Controles, &kt508::Controles::B2Click, this, &frmMover::Cancelar);
    connect(txtNuevoPadre, &kt508::txtVEX::KeyPress, this, [this](int& KeyAscii) {
        if (KeyAscii == kt508::vbKeyReturn)
            Aceptar();
    });
}

void frmMover::Aceptar()
{
    if (NuevoPadre().isEmpty())
        return;
    OK = true;
    hide();
}

void frmMover::Cancelar()
{
    OK = false;
    hide();
}

// As the value dialog: Escape and F4 act on their release.
void frmMover::Form_KeyDown(int& KeyCode, int /*Shift*/)
{
    if (KeyCode == kt508::vbKeyEscape)
        KeyCode = 0;
}

void frmMover::Form_KeyUp(int& KeyCode, int /*Shift*/)
{
    if (KeyCode == kt508::vbKeyF4) {
        KeyCode = 0;
        Aceptar();
    } else if (KeyCode == kt508::vbKeyEscape) {
        KeyCode = 0;
        Cancelar();
    }
}

bool frmMover::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        Controles->ActivateWindow(false);
    return QDialog::event(e);
}
