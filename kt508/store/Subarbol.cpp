#include "kt508/store/Subarbol.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Historial.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace Publico {

namespace {

// The keys a children query found, in its order.
QStringList Claves(kt508::Recordset& hijos)
{
    QStringList claves;
    for (; !hijos.Eof(); hijos.MoveNext())
        claves << hijos.Fields(QStringLiteral("Cc_Cve_Centro_Costo")).Value.toString();
    hijos.Close();
    return claves;
}

// One level's statements in one batch; the first failure is raised.
std::vector<kt508::Recordset> EnviaNivel(const Servicios& servicios, const std::vector<kt508::Sentencia>& lote)
{
    return kt508::FilasOFallo(servicios.Conexion().EjecutaLote(lote));
}

QVariant ColumnaDeCentro(const Servicios& servicios, const kt508::Sentencia& lectura, const QString& columna)
{
    kt508::Recordset rs = servicios.Conexion().Ejecuta(lectura);
    QVariant valor = QStringLiteral("");
    if (!rs.Eof())
        valor = rs.Fields(columna).Value;
    rs.Close();
    return valor;
}

// CambiaEstado for one centre of a level, and the stamp its parent's call read (none for the top).
struct Llamada {
    QString clave;
    std::optional<Sello> delPadre;
};

} // namespace

bool BorraCentro(const Servicios& servicios, const QString& clave, const QString& padre)
{
    const QString fecha = servicios.FechaHoraServidor(); // the time first, then the operator
    const Sello sello{servicios.Operador(), fecha};
    std::vector<kt508::Sentencia> lote;
    if (!padre.isEmpty())
        lote.push_back(Sentencias::CentroBloqueado(padre));
    // A centre's row goes before its children's, while they still name it as parent.
    for (QStringList nivel{clave}; !nivel.isEmpty();) {
        const size_t primera = lote.size();
        for (const QString& centro : nivel) {
            lote.push_back(Sentencias::BorraFila(centro));
            lote.push_back(Sentencias::NotaEliminado(sello, centro));
            lote.push_back(Sentencias::HijosDeCentro(centro));
        }
        std::vector<kt508::Recordset> filas = EnviaNivel(servicios, std::exchange(lote, {}));
        nivel.clear();
        for (size_t hijos = primera + 2; hijos < filas.size(); hijos += 3)
            nivel += Claves(filas[hijos]);
    }
    return true;
}

// Each call reads its own stamp and writes its centre with it; the parent's call then writes the
// centre once more with its own, so the top centre keeps its call's stamp and every other centre
// ends with its parent's. Within a level, a centre's second write follows its first, and its
// history's note follows both, with the stamp the row keeps.
bool CambiaEstado(const Servicios& servicios, const QString& clave, const QString& estado)
{
    const QString comando =
        estado == QLatin1String("BA") ? kt508::historial::comando::Baja : kt508::historial::comando::Reactivar;
    for (std::vector<Llamada> nivel{{clave, std::nullopt}}; !nivel.empty();) {
        std::vector<kt508::Sentencia> lote;
        std::vector<size_t> hijosEn; // each call's children query, in the batch
        std::vector<Sello> sellos;
        for (const Llamada& llamada : nivel) {
            const QString fecha = servicios.FechaHoraServidor(); // the time first, then the operator
            sellos.push_back({servicios.Operador(), fecha});
            lote.push_back(Sentencias::CambioDeEstado(sellos.back(), estado, llamada.clave));
            hijosEn.push_back(lote.size());
            lote.push_back(Sentencias::HijosDeCentro(llamada.clave));
            if (llamada.delPadre)
                lote.push_back(Sentencias::CambioDeEstado(*llamada.delPadre, estado, llamada.clave));
            lote.push_back(Sentencias::NotaCentro(comando, llamada.delPadre.value_or(sellos.back()), llamada.clave));
        }
        std::vector<kt508::Recordset> filas = EnviaNivel(servicios, lote);
        std::vector<Llamada> siguiente;
        for (size_t i = 0; i < nivel.size(); ++i) {
            for (const QString& hijo : Claves(filas[hijosEn[i]]))
                siguiente.push_back({hijo, sellos[i]});
        }
        nivel = std::move(siguiente);
    }
    return true;
}

QVariant CuentaDeCentro(const Servicios& servicios, const QString& clave)
{
    return ColumnaDeCentro(servicios, Sentencias::CuentaDeCentro(clave), QStringLiteral("CC_Cuenta_Contable"));
}

QVariant PadreDeCentro(const Servicios& servicios, const QString& clave)
{
    return ColumnaDeCentro(servicios, Sentencias::PadreDeCentro(clave), QStringLiteral("CC_Acumula"));
}

} // namespace Publico
