#include "kt508/store/Mueve.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Error.h"
#include "kt508/services/Historial.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

#include <QHash>

#include <vector>

namespace Publico {

namespace {

const QString Raiz = QStringLiteral("0");

// The rows of the centre and of its new parent as the move left them, by key.
QHash<QString, CentroVisto> Leidos(kt508::Recordset& rs)
{
    QHash<QString, CentroVisto> centros;
    for (; !rs.Eof(); rs.MoveNext())
        centros.insert(rs.Fields(QStringLiteral("CC_Cve_Centro_Costo")).Value.toString(),
                       {rs.Fields(QStringLiteral("CC_Acumula")).Value.toString(),
                        rs.Fields(QStringLiteral("CC_Descripcion")).Value.toString(),
                        rs.Fields(QStringLiteral("Es_Cve_Estado")).Value.toString()});
    rs.Close();
    return centros;
}

// The state as the tree shows it: active or not.
bool Igual(const CentroVisto& a, const CentroVisto& b)
{
    const QLatin1String activo("AC");
    return a.acumula == b.acumula && a.descripcion == b.descripcion && (a.estado == activo) == (b.estado == activo);
}

const QString CambiadoMientras = QStringLiteral(
    "Otro usuario modificó el centro de costos %1 mientras tanto; actualice el catálogo (F5) e intente de nuevo.");

// What the rows say once written: the refusal, or an empty text.
QString Rehuso(const Movimiento& m, const QHash<QString, CentroVisto>& centros)
{
    if (!centros.contains(m.clave))
        return QStringLiteral("El centro de costos %1 ya no existe.").arg(m.clave);
    const CentroVisto& centro = centros.value(m.clave);
    if (centro.acumula != m.nuevo)
        return CambiadoMientras.arg(m.clave);
    if (m.nuevo == Raiz)
        return {};
    if (!centros.contains(m.nuevo))
        return QStringLiteral("El centro de costos %1 no existe.").arg(m.nuevo);
    const CentroVisto& nuevo = centros.value(m.nuevo);
    if (m.nuevoVisto && !Igual(*m.nuevoVisto, nuevo))
        return CambiadoMientras.arg(m.nuevo);
    if (centro.estado == QLatin1String("AC") && nuevo.estado != QLatin1String("AC"))
        return QStringLiteral("El centro de costos %1 está dado de baja: un centro activo no puede depender de él.")
            .arg(m.nuevo);
    return {};
}

} // namespace

// The writes go first, locking the centre and both parents, and the rows are read back in the
// same batch: one wait for the database, then the checks on what the rows now hold.
void MueveCentro(const Servicios& servicios, const Movimiento& movimiento)
{
    GuardaTransaccion guarda(servicios.Conexion());
    const Sello sello{servicios.Operador(), servicios.FechaHoraServidor()};
    std::vector<kt508::Sentencia> lote{
        Sentencias::MueveCentro(movimiento.nuevo, sello, movimiento.clave, movimiento.padre)};
    if (movimiento.nuevo != Raiz)
        lote.push_back(Sentencias::PadreAcumula(movimiento.nuevo, sello));
    if (movimiento.padre != Raiz)
        lote.push_back(Sentencias::PadreQueCede(movimiento.padre, sello));
    // The history notes the three rows as the move leaves them (the root has none to note).
    for (const QString& clave : {movimiento.clave, movimiento.padre, movimiento.nuevo})
        if (clave != Raiz)
            lote.push_back(Sentencias::NotaCentro(kt508::historial::comando::Mover, sello, clave));
    lote.push_back(Sentencias::CentrosDelMovimiento(movimiento.clave, movimiento.nuevo));
    std::vector<kt508::Recordset> filas = kt508::FilasOFallo(servicios.Conexion().EjecutaLote(lote));
    const QString rehuso = Rehuso(movimiento, Leidos(filas.back()));
    if (!rehuso.isEmpty()) {
        guarda.Deshace();
        throw kt508::Error(rehuso);
    }
    // A new parent inside the branch leaves a cycle the hierarchy's check refuses.
    const QString nota = QStringLiteral("Movido de %1 a %2").arg(movimiento.padre, movimiento.nuevo);
    if (!servicios.Utilerias->ValidaCambio(QStringLiteral("CENTRO_COSTO"), movimiento.clave, nota)) {
        const QString motivo = servicios.Utilerias->UltimoError();
        guarda.Deshace();
        throw kt508::Error(motivo);
    }
    guarda.Confirma();
}

} // namespace Publico
