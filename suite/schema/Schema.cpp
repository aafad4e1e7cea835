#include "suite/schema/Schema.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"
#include "suite/schema/Transaccion.h"

#include <QFile>
#include <QStringList>

// Outside any namespace, as Qt's resource macro requires.
static void iniciaRecursosEsquema()
{
    Q_INIT_RESOURCE(schema);
}

namespace orbanel::schema {

namespace {

// The statements of a script: each ends with ';' at the end of a line; "--" lines are comments.
QStringList sentencias(const QString& recurso)
{
    iniciaRecursosEsquema();
    QFile archivo(recurso);
    if (!archivo.open(QIODevice::ReadOnly | QIODevice::Text))
        throw kt508::Error(QStringLiteral("No se encontró el guion del esquema %1.").arg(recurso));
    const QStringList lineas = QString::fromUtf8(archivo.readAll()).split(QLatin1Char('\n'));
    QStringList resultado;
    QString actual;
    for (const QString& linea : lineas) {
        const QString limpia = linea.trimmed();
        if (limpia.isEmpty() || limpia.startsWith(QLatin1String("--")))
            continue;
        if (!actual.isEmpty())
            actual += QLatin1Char('\n');
        actual += linea;
        if (limpia.endsWith(QLatin1Char(';'))) {
            actual.chop(actual.size() - actual.lastIndexOf(QLatin1Char(';')));
            resultado.append(actual);
            actual.clear();
        }
    }
    if (!actual.trimmed().isEmpty())
        resultado.append(actual);
    return resultado;
}

// One script of the connection's dialect, in one transaction.
void ejecutaGuion(ado::AdoConnection& db, const QString& recurso)
{
    const QStringList lista = sentencias(recurso);
    EnTransaccion(db, [&db, &lista] {
        for (const QString& sentencia : lista)
            db.Execute(sentencia);
    });
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

bool Vacia(ado::AdoConnection& db)
{
    kt508::Recordset rs = db.Execute(ado::Dialecto::De(db.dialect()).ConsultaCatalogoExiste());
    return rs.Eof() || rs.Fields(QStringLiteral("Total")).Value.toInt() == 0;
}

void Crea(ado::AdoConnection& db)
{
    ejecutaGuion(db, ado::Dialecto::De(db.dialect()).GuionCrea());
}

void Borra(ado::AdoConnection& db)
{
    ejecutaGuion(db, ado::Dialecto::De(db.dialect()).GuionBorra());
}

} // namespace orbanel::schema
