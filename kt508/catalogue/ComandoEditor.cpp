// New and Edit: the editor prepared from the catalogue side, shown modally, and the tree
// brought up to date with what it stored.
#include "kt508/catalogue/frmKT508.h"

#include "kt508/editor/frmCATAddCeCo.h"
#include "kt508/services/Connection.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"
#include "kt508/store/Vigencia.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>

using namespace Publico;

namespace {

// Loads the editor as a window of the catalogue, handing it the services and the host object.
// The command unloads it after reading its result; a failure leaves it loaded and hidden, and
// the catalogue disposes of it in the end.
QPointer<frmCATAddCeCo> CargaEditor(frmKT508& catalogo)
{
    auto* editor = new frmCATAddCeCo(catalogo.servicios, catalogo.sPadre);
    editor->setParent(&catalogo, editor->windowFlags());
    return editor;
}

// Gone when the host closed the catalogue while the editor was up.
void SigueCargado(const QPointer<frmCATAddCeCo>& editor)
{
    if (!editor)
        throw kt508::Error(QStringLiteral("La ventana del editor ya no existe."));
}

} // namespace

void frmKT508::Controles_Nuevo()
{
    kt508::Node* seleccionado = tvCeCos->SelectedItem();
    if (!seleccionado)
        return;
    try {
        const QString padre = seleccionado->Key().mid(1);
        QPointer<frmCATAddCeCo> editor = CargaEditor(*this);
        editor->txtPadre->setText(padre);
        editor->txtNPadre->setText(seleccionado->Text());
        editor->txt_Gcc_Cve_Grupo_Centro_Costo->setText(DefaultGroup);
        editor->chkAnalizar->setChecked(true);
        editor->exec();
        SigueCargado(editor);
        if (editor->Add) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            CargarCecos();
            kt508::Node* nuevo = nullptr;
            IgnoraError([&] { nuevo = tvCeCos->Nodes(QLatin1Char('N') + SinBlancos(editor->txtClave->Text())); });
            IgnoraError([&] {
                if (!nuevo)
                    throw kt508::Error(QStringLiteral("El elemento no se encontró en la colección"));
                nuevo->EnsureVisible();
            });
            IgnoraError([&] {
                if (!nuevo)
                    throw kt508::Error(QStringLiteral("El elemento no se encontró en la colección"));
                tvCeCos->setSelectedItem(nuevo->Parent());
            });
            IgnoraError([&] { tvCeCos->setFocus(); });
            QApplication::restoreOverrideCursor();
        }
        delete editor;
        Controles->EndCommand();
    } catch (const kt508::Error& e) {
        servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("Controles_Nuevo()"), this,
                                 QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500026"));
    }
}

void frmKT508::Controles_Editar()
{
    try {
        if (txtClave->Text().isEmpty() || txtClave->Text() == QLatin1String("0")) {
            servicios.Datos->Mensaje(QStringLiteral("El cento de costos no es valido para esta operación"),
                                     kt508::vbCritical, QStringLiteral("Orbanel"), this, QStringLiteral("KT508"),
                                     QStringLiteral("ERR-ID:7500018"));
            Controles->EndCommand();
            return;
        }
        kt508::Node* seleccionado = tvCeCos->SelectedItem();
        if (!seleccionado)
            return;
        const int indice = seleccionado->Index();
        const QString clave = seleccionado->Key().mid(1);
        kt508::Recordset rs = servicios.Conexion().Ejecuta(Sentencias::CentroAEditar(clave));

        QPointer<frmCATAddCeCo> editor = CargaEditor(*this);
        QCoreApplication::processEvents();
        SigueCargado(editor);
        editor->Controles->LoadFields(clave);
        editor->Controles->setText(QString());
        editor->txtPadre->setText(rs.Fields(QStringLiteral("CC_Acumula")).Value.toString());
        editor->txtNPadre->setText(servicios.Utilerias->ValorCampo(
            QStringLiteral("CENTRO_COSTO"), QStringLiteral("Cc_Cve_Centro_Costo"),
            rs.Fields(QStringLiteral("CC_Acumula")).Value.toString(), QStringLiteral("Cc_Descripcion")));
        editor->txtClave->setText(clave);
        editor->txt_Gcc_Cve_Grupo_Centro_Costo->setText(
            rs.Fields(QStringLiteral("Gcc_Cve_Grupo_Centro_Costo")).Value.toString());
        editor->txtCuenta->setText(rs.Fields(QStringLiteral("CC_Cuenta_Contable")).Value.toString());
        editor->txtTexto->setText(rs.Fields(QStringLiteral("CC_Descripcion")).Value.toString());
        editor->chkAnalizar->setChecked(rs.Fields(QStringLiteral("Cc_Analizar")).Value.toString()
                                        == QLatin1String("SI"));
        editor->txtUser1->setText(rs.Fields(QStringLiteral("Cc_UserDef_1")).Value.toString());
        editor->txtUser2->setText(rs.Fields(QStringLiteral("Cc_UserDef_2")).Value.toString());
        editor->txtUser3->setText(rs.Fields(QStringLiteral("Cc_UserDef_3")).Value.toString());
        editor->txtUser4->setText(rs.Fields(QStringLiteral("Cc_UserDef_4")).Value.toString());
        editor->dpUser5->setValue(rs.Fields(QStringLiteral("Cc_UserDef_5")).Value.toDate());
        editor->dpUser6->setValue(rs.Fields(QStringLiteral("Cc_UserDef_6")).Value.toDate());
        editor->Leida = Fila(rs);
        rs.Close();
        editor->txtClave->setEnabled(false);
        editor->exec();
        SigueCargado(editor);
        if (editor->Add)
            tvCeCos->NodeAt(indice)->setText(clave + QStringLiteral(" - ") + editor->txtTexto->Text());
        delete editor;
        Controles->EndCommand();
    } catch (const kt508::Error& e) {
        servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("Controles_Editar()"), this,
                                 QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500019"));
    }
}
