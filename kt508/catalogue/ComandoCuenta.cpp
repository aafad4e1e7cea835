#include "kt508/catalogue/frmKT508.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Historial.h"
#include "kt508/services/Plataforma.h"
#include "kt508/services/ReglasCentro.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"
#include "kt508/store/Vigencia.h"

#include <vector>

using namespace Publico;

namespace {

// The account is written only while the centre holds the one the box showed.
void CambiaCuenta(const Servicios& servicios, const QString& cuenta, const QString& clave, const QVariant& mostrada)
{
    // The width of CC_Cuenta_Contable, in characters as the databases count them: the servers
    // refuse a longer text, the embedded file would keep it.
    const qsizetype largo = kt508::reglas::Caracteres(cuenta);
    if (largo > kt508::reglas::LargoCuenta)
        throw kt508::Error(QStringLiteral("La cuenta contable admite hasta %1 caracteres; la indicada tiene %2.")
                               .arg(kt508::reglas::LargoCuenta)
                               .arg(largo));
    // The operator is read before the server's time, as the statement names them.
    const Sello sello{servicios.Operador(), servicios.FechaHoraServidor()};
    const std::vector<kt508::Recordset> filas = kt508::FilasOFallo(servicios.Conexion().EjecutaLote(
        {Sentencias::CentroBloqueado(clave), Sentencias::CambiaCuenta(cuenta, sello, clave),
         Sentencias::NotaCentro(kt508::historial::comando::CambiarCuenta, sello, clave)}));
    CompruebaVigente(clave, filas.front(), [&mostrada](const kt508::Recordset& ahora) {
        return MismaFila({{QStringLiteral("CC_Cuenta_Contable"), mostrada}}, ahora);
    });
}

} // namespace

void frmKT508::Controles_B3Click()
{
    if (txtClave->Text().isEmpty() || txtClave->Text() == QLatin1String("0")) {
        servicios.Datos->Mensaje(QStringLiteral("El centro de costos no es valido para esta operación"),
                                 kt508::vbCritical, QStringLiteral("Orbanel"), this, QStringLiteral("KT508"),
                                 QStringLiteral("ERR-ID:7500016"));
        return;
    }
    try {
        kt508::Recordset rs = servicios.Conexion().Ejecuta(Sentencias::CuentaDeCentro(txtClave->Text()));
        if (rs.Eof()) {
            rs.Close();
            return;
        }
        // Held while the box is shown; it takes no lock until the update (see README).
        GuardaTransaccion transaccion(servicios.Conexion());
        const QString cuenta = kt508::plataforma().InputBox(
            QStringLiteral("Indique la nueva cuenta contable:"), QStringLiteral("Cambiar cuenta contable"),
            rs.Fields(QStringLiteral("CC_Cuenta_Contable")).Value.toString());
        if (!cuenta.isEmpty())
            CambiaCuenta(servicios, cuenta, txtClave->Text(), rs.Fields(QStringLiteral("CC_Cuenta_Contable")).Value);
        transaccion.Confirma();
        rs.Close();
    } catch (const kt508::Error& e) {
        // The transaction, left with the block, is rolled back before the message.
        servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("Controles_B3Click()"), this,
                                 QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500017"));
    }
}
