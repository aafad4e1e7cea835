#include "kt508/store/Centro.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Historial.h"
#include "kt508/services/Recordset.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

#include <vector>

namespace Publico {

namespace {

// The batch, the locked row first; its rows.
std::vector<kt508::Recordset> Envia(kt508::Connection& conexion, const std::vector<kt508::Sentencia>& lote)
{
    return kt508::FilasOFallo(conexion.EjecutaLote(lote));
}

} // namespace

void AltaCentro(kt508::Connection& conexion, const CentroCosto& centro, const Sello& sello, bool anota)
{
    std::vector<kt508::Sentencia> lote{Sentencias::CentroBloqueado(centro.acumula),
                                       Sentencias::PadreAcumula(centro.acumula, sello),
                                       Sentencias::NotaCentro(kt508::historial::comando::Nuevo, sello, centro.acumula),
                                       Sentencias::InsertaCentro(centro, sello)};
    if (anota)
        lote.push_back(Sentencias::NotaCentro(kt508::historial::comando::Nuevo, sello, centro.clave));
    const std::vector<kt508::Recordset> filas = Envia(conexion, lote);
    // A deactivated centre is offered no New: one deactivated by another user since the editor
    // opened would keep an active child under it.
    if (centro.acumula != QLatin1String("0")) // the root has no row
        CompruebaVigente(centro.acumula, filas.front(), [](const kt508::Recordset& padre) {
            return padre.Fields(QStringLiteral("Es_Cve_Estado")).Value.toString() != QLatin1String("BA");
        });
}

void CambiaCentro(kt508::Connection& conexion, const CentroCosto& centro, const FilaLeida& leida, const Sello& sello)
{
    const std::vector<kt508::Recordset> filas =
        Envia(conexion,
              {Sentencias::CentroBloqueado(centro.clave), Sentencias::ActualizaCentro(centro, sello),
               Sentencias::NotaCentro(kt508::historial::comando::Editar, sello, centro.clave)});
    CompruebaVigente(centro.clave, filas.front(),
                     [&leida](const kt508::Recordset& ahora) { return MismaFila(leida, ahora); });
}

void RenombraCentro(const Servicios& servicios, const QString& clave, const QString& mostrada,
                    const QString& descripcion)
{
    // The operator is read before the server's time, as the statement names them.
    const Sello sello{servicios.Operador(), servicios.FechaHoraServidor()};
    const std::vector<kt508::Recordset> filas =
        Envia(servicios.Conexion(),
              {Sentencias::CentroBloqueado(clave), Sentencias::Renombra(descripcion, sello, clave),
               Sentencias::NotaCentro(kt508::historial::comando::Renombrar, sello, clave)});
    CompruebaVigente(clave, filas.front(), [&mostrada](const kt508::Recordset& ahora) {
        return ahora.Fields(QStringLiteral("CC_Descripcion")).Value.toString() == mostrada;
    });
}

void ActualizaPadre(const Servicios& servicios, const QString& padre)
{
    kt508::Recordset hermanos = servicios.Conexion().Ejecuta(Sentencias::HijosDelPadre(padre));
    if (hermanos.Eof()) {
        // The operator is read before the server's time, as the statement names them.
        const Sello sello{servicios.Operador(), servicios.FechaHoraServidor()};
        kt508::FilasOFallo(servicios.Conexion().EjecutaLote(
            {Sentencias::PadreSinHijos(sello, padre),
             Sentencias::NotaCentro(kt508::historial::comando::Eliminar, sello, padre)}));
    }
    hermanos.Close();
}

} // namespace Publico
