#include "suite/schema/Versiones.h"

#include "kt508/services/Error.h"
#include "kt508/services/Historial.h"
#include "kt508/services/Recordset.h"
#include "kt508/services/ReglasCentro.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"
#include "suite/schema/Guiones.h"
#include "suite/schema/Schema.h"
#include "suite/schema/Transaccion.h"

namespace orbanel::schema {

namespace {

constexpr qsizetype LargoOperador = 30; // Hc_Operador

// Rows a version's rules refuse: the transaction goes back.
struct Rehusada { };

// One version's script, up to the first query that lists rows; returns those rows.
QStringList EjecutaVersion(ado::AdoConnection& db, int version)
{
    for (const QString& sentencia : SentenciasDe(Guion(db.dialect(), QString::number(version)))) {
        QStringList rehusados;
        for (kt508::Recordset rs = db.Execute(sentencia); !rs.Eof(); rs.MoveNext())
            rehusados << QStringLiteral("%1 %2: %3")
                             .arg(rs.Fields(QStringLiteral("Tabla")).Value.toString(),
                                  rs.Fields(QStringLiteral("Clave")).Value.toString(),
                                  rs.Fields(QStringLiteral("Motivo")).Value.toString());
        if (!rehusados.isEmpty())
            return rehusados;
    }
    return {};
}

// SQLite rebuilds a table only with the connection's foreign keys off, which it can change
// only outside a transaction; the connection is as the suite opens it again whatever happens.
class SinReferencias {
public:
    explicit SinReferencias(ado::AdoConnection& db)
        : m_db(db)
    {
        EjecutaSiHay(m_db, QStringLiteral("antes-de-cambiar"));
    }
    ~SinReferencias()
    {
        try {
            PreparaConexion(m_db);
        } catch (const kt508::Error&) {
            // the connection is gone; its next statement says so
        }
    }
    SinReferencias(const SinReferencias&) = delete;
    SinReferencias& operator=(const SinReferencias&) = delete;

private:
    ado::AdoConnection& m_db;
};

} // namespace

int Version(ado::AdoConnection& db)
{
    for (const Catalogo& catalogo : Catalogos(db)) {
        if (!catalogo.Usable())
            continue;
        if (!catalogo.conVersion)
            return 1;
        kt508::Recordset rs = db.Execute(QStringLiteral("SELECT MAX(Ve_Version) AS Version FROM Version_Esquema"));
        return rs.Eof() || rs.Value(0).isNull() ? 1 : rs.Value(0).toInt();
    }
    return 0;
}

void AnotaVersion(ado::AdoConnection& db, int version)
{
    db.ExecuteParams(QStringLiteral("INSERT INTO Version_Esquema (Ve_Version) VALUES (?)"), {version});
}

QString Ahora(ado::AdoConnection& db)
{
    const ado::Dialecto& dialecto = ado::Dialecto::De(db.dialect());
    const QVariant ahora = db.Execute(QStringLiteral("SELECT ") + dialecto.ExpresionAhora()).Value(0);
    return ahora.typeId() == QMetaType::QDateTime ? dialecto.FechaHora(ahora.toDateTime()) : ahora.toString();
}

void AnotaEstadoInicial(ado::AdoConnection& db, const QString& operador)
{
    db.Ejecuta(kt508::historial::NotasIniciales(kt508::reglas::PrimerosCaracteres(operador, LargoOperador), Ahora(db)));
}

Actualizacion Actualiza(ado::AdoConnection& db, const QString& operador)
{
    Actualizacion a;
    a.desde = a.hasta = Version(db);
    if (a.desde == 0 || a.desde >= VersionActual)
        return a;
    const SinReferencias sinReferencias(db);
    try {
        EnTransaccion(db, [&db, &a, &operador] {
            for (int version = a.desde + 1; version <= VersionActual; ++version) {
                a.rehusados = EjecutaVersion(db, version);
                if (!a.rehusados.isEmpty())
                    throw Rehusada{};
                AnotaVersion(db, version);
            }
            if (a.desde < VersionHistorial)
                AnotaEstadoInicial(db, operador);
        });
        a.hasta = VersionActual;
    } catch (const Rehusada&) {
        // rolled back: the database is as it was
    }
    return a;
}

} // namespace orbanel::schema
