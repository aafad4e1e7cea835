#include "suite/schema/Schema.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"
#include "suite/schema/Guiones.h"
#include "suite/schema/Transaccion.h"
#include "suite/schema/Versiones.h"

#include <QStringList>

namespace orbanel::schema {

namespace {

void ejecuta(ado::AdoConnection& db, const QStringList& sentencias)
{
    for (const QString& sentencia : sentencias)
        db.Execute(sentencia);
}

} // namespace

void EnTransaccion(ado::AdoConnection& db, const std::function<void()>& trabajo)
{
    const bool propia = !db.inTransaction();
    if (propia)
        db.BeginTrans();
    try {
        trabajo();
        if (propia)
            db.CommitTrans();
    } catch (...) {
        if (propia && db.inTransaction()) {
            try {
                db.RollbackTrans();
            } catch (const kt508::Error&) {
                // the first failure is the one worth reporting
            }
        }
        throw;
    }
}

std::unique_ptr<ado::AdoConnection> Abre(const QString& url)
{
    std::unique_ptr<ado::AdoConnection> db = ado::AdoConnection::Open(url);
    PreparaConexion(*db);
    return db;
}

void PreparaConexion(ado::AdoConnection& db)
{
    db.Ajusta(SentenciasSiHay(db.dialect(), QStringLiteral("conexion")));
}

bool Catalogo::Usable() const
{
    return legible && visible;
}

QList<Catalogo> Catalogos(ado::AdoConnection& db)
{
    QList<Catalogo> catalogos;
    const QStringList consulta = SentenciasDe(Guion(db.dialect(), QStringLiteral("catalogos")));
    for (kt508::Recordset rs = db.Execute(consulta.value(0)); !rs.Eof(); rs.MoveNext())
        catalogos.append({rs.Fields(QStringLiteral("Esquema")).Value.toString(),
                          rs.Fields(QStringLiteral("Legible")).Value.toInt() == 1,
                          rs.Fields(QStringLiteral("Visible")).Value.toInt() == 1,
                          rs.Fields(QStringLiteral("ConVersion")).Value.toInt() == 1});
    return catalogos;
}

bool Vacia(ado::AdoConnection& db)
{
    kt508::Recordset rs = db.Execute(ado::Dialecto::De(db.dialect()).ConsultaCatalogoExiste());
    return rs.Eof() || rs.Fields(QStringLiteral("Total")).Value.toInt() == 0;
}

void Crea(ado::AdoConnection& db)
{
    const QStringList sentencias = SentenciasDe(ado::Dialecto::De(db.dialect()).GuionCrea());
    EnTransaccion(db, [&db, &sentencias] {
        ejecuta(db, sentencias);
        AnotaVersion(db, VersionActual);
    });
}

void Borra(ado::AdoConnection& db)
{
    const QStringList sentencias = SentenciasDe(ado::Dialecto::De(db.dialect()).GuionBorra());
    EnTransaccion(db, [&db, &sentencias] { ejecuta(db, sentencias); });
}

} // namespace orbanel::schema
