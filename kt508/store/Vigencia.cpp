#include "kt508/store/Vigencia.h"

#include "kt508/services/Error.h"
#include "kt508/services/Recordset.h"
#include "kt508/services/Sentencia.h"

#include <QDateTime>

namespace Publico {

namespace {

// The stamp as the user reads it; a text the database gave that is no date goes as it is.
QString Momento(const QVariant& valor)
{
    QDateTime momento = valor.typeId() == QMetaType::QDateTime ? valor.toDateTime() : QDateTime();
    for (const QString& formato : {QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
                                   QStringLiteral("yyyyMMdd HH:mm:ss")}) {
        if (!momento.isValid())
            momento = QDateTime::fromString(valor.toString().left(formato.size()), formato);
    }
    return momento.isValid() ? momento.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : valor.toString();
}

} // namespace

FilaLeida Fila(const kt508::Recordset& filas)
{
    FilaLeida fila;
    fila.reserve(static_cast<size_t>(filas.FieldCount()));
    for (int i = 0; i < filas.FieldCount(); ++i)
        fila.emplace_back(filas.FieldName(i), filas.Value(i));
    return fila;
}

// Compared as the statements would write them: a number, a date or a text alike on every database.
bool MismaFila(const FilaLeida& leida, const kt508::Recordset& ahora)
{
    for (const auto& [columna, valor] : leida) {
        if (kt508::Sentencia::Literal(ahora.Fields(columna).Value) != kt508::Sentencia::Literal(valor))
            return false;
    }
    return true;
}

void CompruebaVigente(const QString& clave, const kt508::Recordset& ahora,
                      const std::function<bool(const kt508::Recordset&)>& igual)
{
    if (ahora.Eof())
        throw kt508::Error(QStringLiteral("El centro %1 fue eliminado por otro usuario después de abrirlo. Cierre y "
                                          "vuelva a abrir para ver el catálogo como está.")
                               .arg(clave));
    if (!igual(ahora))
        throw kt508::Error(QStringLiteral("El centro %1 fue modificado por %2 el %3 después de abrirlo. Cierre y "
                                          "vuelva a abrir para ver sus cambios.")
                               .arg(clave, ahora.Fields(QStringLiteral("Oper_Ult_Modif")).Value.toString(),
                                    Momento(ahora.Fields(QStringLiteral("Fecha_Ult_Modif")).Value)));
}

} // namespace Publico
