#include "suite/schema/Tablas.h"

#include "kt508/services/Recordset.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"

namespace orbanel::schema {

QStringList TablasPresentes(ado::AdoConnection& db)
{
    QStringList nombres;
    for (kt508::Recordset rs = db.Execute(ado::Dialecto::De(db.dialect()).ConsultaTablas()); !rs.Eof(); rs.MoveNext())
        nombres << rs.Value(0).toString();
    return nombres;
}

} // namespace orbanel::schema
