// Accepting the editor: the checks in their fixed order, then one transaction.
#include "kt508/editor/frmCATAddCeCo.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Decimal.h"
#include "kt508/services/Error.h"
#include "kt508/services/Historial.h"
#include "kt508/services/ReglasCentro.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/Centro.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

#include <QCheckBox>
#include <QFrame>

#include <optional>

using namespace Publico;

namespace {

const QString Modulo = QStringLiteral("KT508");

} // namespace

void frmCATAddCeCo::Controles_B1Click()
{
    if (!Valida())
        return;

    const QString fecha = servicios.FechaHoraServidor(); // the time first, then the operator
    const Sello sello{servicios.Operador(), fecha};
    const QString titulo = Controles->b1caption();
    // A new centre's key is stored without its surrounding blanks; an existing one as it is.
    const QString clave = EsNuevo() ? SinBlancos(txtClave->Text()) : txtClave->Text();
    std::optional<GuardaTransaccion> transaccion;
    try {
        kt508::Connection& conexion = servicios.Conexion();
        transaccion.emplace(conexion);
        Escribe(conexion, clave, sello);
        m_sello = sello;

        if (!Controles->SaveFields(clave)) {
            transaccion->Deshace();
            servicios.Datos->Mensaje(QStringLiteral("Imposible actualizar campos adicionales"), kt508::vbCritical,
                                     titulo, this, Modulo, QStringLiteral("ERR-ID:7500006"));
            return;
        }
        if (EsNuevo() && txtCuenta->Text().isEmpty() && !m_cuentaPadre.isEmpty()) {
            QString cuentaPadre = m_cuentaPadre;
            QString generada = clave;
            QString descripcion = txt_Gcc_Descripcion->Text();
            if (!Genera_Cuenta_Contable(cuentaPadre, generada, descripcion)) {
                transaccion->Deshace();
                servicios.Datos->Mensaje(m_mensajeGeneracion, kt508::vbCritical, titulo, this, Modulo,
                                         QStringLiteral("ERR-ID:7500006"));
                return;
            }
        }
        if (!servicios.Utilerias->ValidaCambio(QStringLiteral("CENTRO_COSTO"), clave, QString())) {
            transaccion->Deshace();
            servicios.Datos->Mensaje(servicios.Utilerias->UltimoError(), kt508::vbCritical, titulo, this, Modulo,
                                     QStringLiteral("ERR-ID:7500007"));
            return;
        }
        transaccion->Confirma();
        Add = true;
        hide();
    } catch (const kt508::Error& e) {
        if (transaccion)
            transaccion->Deshace();
        servicios.Datos->Mensaje(e.Description(), kt508::vbExclamation, titulo, this, Modulo,
                                 QStringLiteral("ERR-ID:7500008"));
    }
}

// Another user's change since the centre was read, or the parent's deletion, is refused by the
// rollback of what was written with it.
void frmCATAddCeCo::Escribe(kt508::Connection& conexion, const QString& clave, const Sello& sello)
{
    if (EsNuevo())
        AltaCentro(conexion, Centro(clave), sello);
    else
        CambiaCentro(conexion, Centro(clave), Leida, sello);
}

// Stops at the first field at fault, with its message and the focus on it.
bool frmCATAddCeCo::Valida()
{
    if (EsNuevo()) {
        const QString existente =
            servicios.Utilerias->ValorCampo(QStringLiteral("Centro_Costo"), QStringLiteral("Cc_Cve_Centro_Costo"),
                                            txtClave->Text(), QStringLiteral("Cc_Descripcion"));
        if (!existente.isEmpty())
            return Rechaza(QStringLiteral("La clave ") + txtClave->Text()
                               + QStringLiteral(" ya existe, especifique otra"),
                           kt508::vbCritical, QStringLiteral("ERR-ID:7500001"), txtClave);
    }
    if (SinBlancos(txtClave->Text()).isEmpty())
        return Rechaza(QStringLiteral("Debe especificar una clave para el CECO!"), kt508::vbExclamation,
                       QStringLiteral("ERR-ID:7500002"), txtClave);
    // The root's key has no row: a centre under it would hide the whole catalogue.
    if (EsNuevo() && SinBlancos(txtClave->Text()) == QLatin1String("0"))
        return Rechaza(QStringLiteral("La clave 0 es la de la raíz del catálogo, especifique otra"), kt508::vbCritical,
                       QStringLiteral("ERR-ID:7500001"), txtClave);
    const QString motivoDescripcion = kt508::reglas::MotivoDescripcion(txtTexto->Text());
    if (!motivoDescripcion.isEmpty())
        return Rechaza(motivoDescripcion, kt508::vbExclamation, QStringLiteral("ERR-ID:7500003"), txtTexto);
    if (txt_Gcc_Descripcion->Text().isEmpty())
        return Rechaza(QStringLiteral("Debe especificar un grupo válido!"), kt508::vbExclamation,
                       QStringLiteral("ERR-ID:7500004"), txt_Gcc_Cve_Grupo_Centro_Costo);
    if (txtNCta->Text().isEmpty() && !txtCuenta->Text().isEmpty())
        return Rechaza(QStringLiteral("Debe especificar un cuenta contable válida!"), kt508::vbExclamation,
                       QStringLiteral("ERR-ID:7500005"), txtCuenta);
    if (!ValidaNumero(QStringLiteral("Dato 3"), txtUser3) || !ValidaNumero(QStringLiteral("Dato 4"), txtUser4))
        return false;
    if (!Controles->ValidateFields()) {
        const QString motivo = Controles->ValidationMessage();
        if (!motivo.isEmpty())
            servicios.Datos->Mensaje(motivo, kt508::vbCritical, QStringLiteral("Capturar campos adicionales"), this,
                                     QStringLiteral("KT611"), QStringLiteral("ERR-ID:7500034"));
        return false;
    }
    return true;
}

// A number the column cannot hold is told here, before the database is asked.
bool frmCATAddCeCo::ValidaNumero(const QString& nombre, kt508::txtVEX* campo)
{
    QString motivo;
    if (kt508::reglas::DecimalDato(TextoNumerico(campo), motivo))
        return true;
    return Rechaza(nombre + QStringLiteral(": ") + motivo, kt508::vbExclamation, QStringLiteral("ERR-ID:7500008"),
                   campo);
}

bool frmCATAddCeCo::Rechaza(const QString& texto, int estilo, const QString& errId, kt508::txtVEX* campo)
{
    servicios.Datos->Mensaje(texto, estilo, Controles->b1caption(), this, Modulo, errId);
    EnfocaCampo(campo);
    return false;
}

// The page of the field at fault is shown first, so that the focus never lands in the disabled
// frame of a hidden page.
void frmCATAddCeCo::EnfocaCampo(kt508::txtVEX* campo)
{
    const int pagina = fr2->isAncestorOf(campo) ? 1 : 0;
    if (ssTabVex->Tab() != pagina)
        ssTabVex->setTab(pagina);
    campo->setFocus();
}

bool frmCATAddCeCo::EsNuevo() const
{
    return txtClave->isEnabledTo(fr1);
}

QString frmCATAddCeCo::Analizar() const
{
    return chkAnalizar->isChecked() ? QStringLiteral("SI") : QStringLiteral("NO");
}

// The number the field holds, written out as its digits; its text when it holds none.
QString frmCATAddCeCo::TextoNumerico(kt508::txtVEX* campo) const
{
    const QVariant valor = campo->NumericValue();
    return valor.isNull() ? campo->Text() : valor.value<kt508::Decimal>().Texto();
}

// The number the field holds, exact; the save checked it before.
kt508::Decimal frmCATAddCeCo::ValorNumerico(kt508::txtVEX* campo) const
{
    QString motivo;
    const std::optional<kt508::Decimal> numero = kt508::reglas::DecimalDato(TextoNumerico(campo), motivo);
    if (!numero)
        throw kt508::Error(motivo);
    return *numero;
}

// A picker left empty stores no date.
QVariant frmCATAddCeCo::ValorFecha(kt508::dpFecha* fecha) const
{
    const QDate valor = fecha->Value();
    if (!valor.isValid())
        return {};
    return servicios.Utilerias->FormatoFecha(valor);
}

// The centre as the fields hold it, under the key the statement names.
CentroCosto frmCATAddCeCo::Centro(const QString& clave) const
{
    return {txtPadre->Text(),
            clave,
            txt_Gcc_Cve_Grupo_Centro_Costo->Text(),
            txtTexto->Text(),
            txtCuenta->Text(),
            Analizar(),
            txtUser1->Text(),
            txtUser2->Text(),
            ValorNumerico(txtUser3),
            ValorNumerico(txtUser4),
            ValorFecha(dpUser5),
            ValorFecha(dpUser6)};
}
