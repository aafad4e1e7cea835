// Accepting the editor: the checks in their fixed order, then one transaction.
#include "kt508/editor/frmCATAddCeCo.h"

#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Publico.h"

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

    const QString fecha = FechaHoraServidor();
    const QString operador = Operador();
    const QString titulo = Controles->b1caption();
    std::optional<GuardaTransaccion> transaccion;
    try {
        transaccion.emplace();
        if (!EsNuevo()) {
            strSQL = SentenciaUpdate(operador, fecha);
        } else {
            strSQL = SentenciaPadre(operador, fecha);
            Ejecuta(strSQL);
            strSQL = SentenciaInsert(operador, fecha);
        }
        Ejecuta(strSQL);

        if (!Controles->SaveFields(txtClave->Text())) {
            transaccion->Deshace();
            Datos->Mensaje(QStringLiteral("Imposible actualizar campos adicionales"), kt508::vbCritical, titulo, this,
                           Modulo, QStringLiteral("ERR-ID:7500006"));
            return;
        }
        if (EsNuevo() && txtCuenta->Text().isEmpty() && !m_cuentaPadre.isEmpty()) {
            QString cuentaPadre = m_cuentaPadre;
            QString clave = txtClave->Text();
            QString descripcion = txt_Gcc_Descripcion->Text();
            if (!Genera_Cuenta_Contable(cuentaPadre, clave, descripcion)) {
                transaccion->Deshace();
                Datos->Mensaje(m_mensajeGeneracion, kt508::vbCritical, titulo, this, Modulo,
                               QStringLiteral("ERR-ID:7500006"));
                return;
            }
        }
        if (!Utilerias->ValidaCambio(QStringLiteral("CENTRO_COSTO"), txtClave->Text(), QString())) {
            transaccion->Deshace();
            Datos->Mensaje(Utilerias->UltimoError(), kt508::vbCritical, titulo, this, Modulo,
                           QStringLiteral("ERR-ID:7500007"));
            return;
        }
        transaccion->Confirma();
        Add = true;
        hide();
    } catch (const kt508::Error& e) {
        if (transaccion)
            transaccion->Deshace();
        Datos->Mensaje(e.Description(), kt508::vbExclamation, titulo, this, Modulo, QStringLiteral("ERR-ID:7500008"));
    }
}

// Stops at the first field at fault, with its message and the focus on it.
bool frmCATAddCeCo::Valida()
{
    if (EsNuevo()) {
        const QString existente =
            Utilerias->ValorCampo(QStringLiteral("Centro_Costo"), QStringLiteral("Cc_Cve_Centro_Costo"),
                                  txtClave->Text(), QStringLiteral("Cc_Descripcion"));
        if (!existente.isEmpty())
            return Rechaza(QStringLiteral("La clave ") + txtClave->Text()
                               + QStringLiteral(" ya existe, especifique otra"),
                           kt508::vbCritical, QStringLiteral("ERR-ID:7500001"), txtClave);
    }
    if (SinBlancos(txtClave->Text()).isEmpty())
        return Rechaza(QStringLiteral("Debe especificar una clave para el CECO!"), kt508::vbExclamation,
                       QStringLiteral("ERR-ID:7500002"), txtClave);
    if (txtTexto->Text().isEmpty())
        return Rechaza(QStringLiteral("Debe especificar una descripción!"), kt508::vbExclamation,
                       QStringLiteral("ERR-ID:7500003"), txtTexto);
    if (txt_Gcc_Descripcion->Text().isEmpty())
        return Rechaza(QStringLiteral("Debe especificar un grupo válido!"), kt508::vbExclamation,
                       QStringLiteral("ERR-ID:7500004"), txt_Gcc_Cve_Grupo_Centro_Costo);
    if (txtNCta->Text().isEmpty() && !txtCuenta->Text().isEmpty())
        return Rechaza(QStringLiteral("Debe especificar un cuenta contable válida!"), kt508::vbExclamation,
                       QStringLiteral("ERR-ID:7500005"), txtCuenta);
    if (!Controles->ValidateFields()) {
        const QString motivo = Controles->ValidationMessage();
        if (!motivo.isEmpty())
            Datos->Mensaje(motivo, kt508::vbCritical, QStringLiteral("Capturar campos adicionales"), this,
                           QStringLiteral("KT611"), QStringLiteral("ERR-ID:7500034"));
        return false;
    }
    return true;
}

bool frmCATAddCeCo::Rechaza(const QString& texto, int estilo, const QString& errId, kt508::txtVEX* campo)
{
    Datos->Mensaje(texto, estilo, Controles->b1caption(), this, Modulo, errId);
    EnfocaCampo(campo);
    return false;
}

// Every field at fault lies on the general page: show it first, so that the focus never
// lands in the disabled frame of a hidden page.
void frmCATAddCeCo::EnfocaCampo(kt508::txtVEX* campo)
{
    if (ssTabVex->Tab() != 0)
        ssTabVex->setTab(0);
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

QString frmCATAddCeCo::ValorNumerico(kt508::txtVEX* campo) const
{
    return campo->NumericValue().toString();
}

// A picker left empty stores no date.
QString frmCATAddCeCo::ValorFecha(kt508::dpFecha* fecha) const
{
    const QDate valor = fecha->Value();
    if (!valor.isValid())
        return QStringLiteral("NULL");
    return Literal(Utilerias->FormatoFecha(valor));
}

QString frmCATAddCeCo::SentenciaUpdate(const QString& operador, const QString& fecha) const
{
    QString sql;
    sql += QStringLiteral("UPDATE Centro_Costo SET ");
    sql += QStringLiteral("   Cc_Descripcion = ") + Literal(txtTexto->Text()) + QStringLiteral(", ");
    sql += QStringLiteral("   Cc_Cuenta_Contable = ") + Literal(txtCuenta->Text()) + QStringLiteral(", ");
    sql += QStringLiteral("   Gcc_Cve_Grupo_Centro_Costo = ") + Literal(txt_Gcc_Cve_Grupo_Centro_Costo->Text())
        + QStringLiteral(", ");
    sql += QStringLiteral("   Cc_Analizar = ") + Literal(Analizar()) + QStringLiteral(", ");
    sql += QStringLiteral("   Cc_UserDef_1 = ") + Literal(txtUser1->Text()) + QStringLiteral(", ");
    sql += QStringLiteral("   Cc_UserDef_2 = ") + Literal(txtUser2->Text()) + QStringLiteral(", ");
    sql += QStringLiteral("   Cc_UserDef_3 = ") + ValorNumerico(txtUser3) + QStringLiteral(", ");
    sql += QStringLiteral("   Cc_UserDef_4 = ") + ValorNumerico(txtUser4) + QStringLiteral(", ");
    sql += QStringLiteral("   Cc_UserDef_5 = ") + ValorFecha(dpUser5) + QStringLiteral(", ");
    sql += QStringLiteral("   Cc_UserDef_6 = ") + ValorFecha(dpUser6) + QStringLiteral(", ");
    sql += QStringLiteral("   Oper_Ult_Modif = ") + Literal(operador) + QStringLiteral(",");
    sql += QStringLiteral("   Fecha_Ult_Modif= ") + Literal(fecha);
    sql += QStringLiteral("WHERE Cc_Cve_Centro_Costo = ") + Literal(txtClave->Text()) + QStringLiteral(" ");
    return sql;
}

QString frmCATAddCeCo::SentenciaPadre(const QString& operador, const QString& fecha) const
{
    QString sql;
    sql += QStringLiteral("UPDATE Centro_Costo SET CC_Tipo = 1, ");
    sql += QStringLiteral("   Oper_Ult_Modif = ") + Literal(operador) + QStringLiteral(",");
    sql += QStringLiteral("   Fecha_Ult_Modif = ") + Literal(fecha);
    sql += QStringLiteral("WHERE CC_Cve_Centro_Costo = ") + Literal(txtPadre->Text());
    return sql;
}

QString frmCATAddCeCo::SentenciaInsert(const QString& operador, const QString& fecha) const
{
    QString sql;
    sql += QStringLiteral("INSERT INTO Centro_Costo (");
    sql += QStringLiteral("   CC_Acumula, ");
    sql += QStringLiteral("   CC_Cve_Centro_Costo, ");
    sql += QStringLiteral("   Gcc_Cve_Grupo_Centro_Costo, ");
    sql += QStringLiteral("   CC_Descripcion, ");
    sql += QStringLiteral("   CC_Cuenta_Contable,");
    sql += QStringLiteral("   Cc_Analizar, ");
    sql += QStringLiteral("   Cc_UserDef_1, ");
    sql += QStringLiteral("   Cc_UserDef_2, ");
    sql += QStringLiteral("   Cc_UserDef_3, ");
    sql += QStringLiteral("   Cc_UserDef_4, ");
    sql += QStringLiteral("   Cc_UserDef_5, ");
    sql += QStringLiteral("   Cc_UserDef_6, ");
    sql += QStringLiteral("   Oper_Alta,");
    sql += QStringLiteral("   Fecha_Alta,");
    sql += QStringLiteral("   Oper_Ult_Modif,");
    sql += QStringLiteral("   Fecha_Ult_Modif");
    sql += QStringLiteral(") VALUES(");
    sql += Literal(txtPadre->Text()) + QStringLiteral(", ");
    sql += Literal(SinBlancos(txtClave->Text())) + QStringLiteral(", ");
    sql += Literal(txt_Gcc_Cve_Grupo_Centro_Costo->Text()) + QStringLiteral(", ");
    sql += Literal(txtTexto->Text()) + QStringLiteral(", ");
    sql += Literal(txtCuenta->Text()) + QStringLiteral(", ");
    sql += Literal(Analizar()) + QStringLiteral(", ");
    sql += Literal(txtUser1->Text()) + QStringLiteral(", ");
    sql += Literal(txtUser2->Text()) + QStringLiteral(", ");
    sql += ValorNumerico(txtUser3) + QStringLiteral(", ");
    sql += ValorNumerico(txtUser4) + QStringLiteral(", ");
    sql += ValorFecha(dpUser5) + QStringLiteral(", ");
    sql += ValorFecha(dpUser6) + QStringLiteral(", ");
    sql += Literal(operador) + QStringLiteral(",");
    sql += Literal(fecha) + QStringLiteral(",");
    sql += Literal(operador) + QStringLiteral(",");
    sql += Literal(fecha) + QStringLiteral(")");
    return sql;
}
