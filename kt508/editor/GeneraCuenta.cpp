// The ledger account of a new centre, under the account the settings name, inside the
// save's transaction: the save rolls everything back when this fails.
#include "kt508/editor/frmCATAddCeCo.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Error.h"
#include "kt508/services/Historial.h"
#include "kt508/services/ReglasCentro.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

#include <limits>

using namespace Publico;

namespace {

const QString Prefijo = QStringLiteral("Genera_Cuenta_Contable() - \r\n");

// A whole number of 16 bits; a null or a value out of range is a failure.
short Entero16(const QVariant& valor)
{
    if (valor.isNull())
        throw kt508::Error(QStringLiteral("Uso no válido de Null"));
    bool valido = false;
    const double numero = valor.toDouble(&valido);
    if (!valido)
        throw kt508::Error(QStringLiteral("No coinciden los tipos"));
    if (numero < std::numeric_limits<short>::min() || numero > std::numeric_limits<short>::max())
        throw kt508::Error(QStringLiteral("Desbordamiento"));
    return static_cast<short>(qRound(numero));
}

} // namespace

bool frmCATAddCeCo::Genera_Cuenta_Contable(QString& CuentaPadre, QString& Clave, QString& Descripcion)
{
    try {
        kt508::Recordset rs = servicios.Conexion().Ejecuta(Sentencias::CuentaPadre(CuentaPadre));
        if (rs.Eof()) {
            m_mensajeGeneracion =
                Prefijo + QStringLiteral("La cuenta padre ") + CuentaPadre + QStringLiteral(" no existe");
            return false;
        }
        short tipo = Entero16(rs.Fields(QStringLiteral("CC_Tipo")).Value);
        short titulo = Entero16(rs.Fields(QStringLiteral("Cc_Titulo")).Value);
        int naturaleza = rs.Fields(QStringLiteral("Cc_Naturaleza")).Value.toString() == QLatin1String("AC") ? 0 : 1;
        bool resultado = rs.Fields(QStringLiteral("Cc_Resultado")).Value.toString() == QLatin1String("SI");
        QString grupo = rs.Fields(QStringLiteral("Cc_Grupo_Cuenta_Contable")).Value.toString();
        rs.Close();

        Descripcion = kt508::reglas::PrimerosCaracteres(Descripcion, kt508::reglas::LargoDescripcion);
        const QString cuenta = servicios.Utilerias->AltaCuentaContable(CuentaPadre, Descripcion, tipo, true, titulo,
                                                                       naturaleza, resultado, QString(), grupo);
        if (cuenta.isEmpty()) {
            m_mensajeGeneracion = Prefijo + servicios.Utilerias->UltimoError();
            return false;
        }
        kt508::FilasOFallo(servicios.Conexion().EjecutaLote(
            {Sentencias::CuentaGenerada(cuenta, Clave),
             Sentencias::NotaCentro(kt508::historial::comando::Nuevo, m_sello, Clave)}));
        return true;
    } catch (const kt508::Error& e) {
        m_mensajeGeneracion = Prefijo + e.Description();
        return false;
    }
}
