#include "suite/extras/Historial.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Historial.h"
#include "kt508/services/Recordset.h"

#include <QDate>
#include <QDateTime>

#include <algorithm>
#include <utility>

namespace orbanel::historial {

namespace {

struct Campo {
    QString columna;
    QString nombre;
};

// The columns a change shows; the last modification's operator and date are the note's own.
const QList<Campo>& Campos()
{
    static const QList<Campo> campos{
        {QStringLiteral("CC_Descripcion"), QStringLiteral("Descripción")},
        {QStringLiteral("CC_Acumula"), QStringLiteral("Acumula en")},
        {QStringLiteral("Es_Cve_Estado"), QStringLiteral("Estado")},
        {QStringLiteral("CC_Tipo"), QStringLiteral("Tipo")},
        {QStringLiteral("CC_Cuenta_Contable"), QStringLiteral("Cuenta contable")},
        {QStringLiteral("Gcc_Cve_Grupo_Centro_Costo"), QStringLiteral("Grupo")},
        {QStringLiteral("Cc_Analizar"), QStringLiteral("Analizar")},
        {QStringLiteral("Cc_UserDef_1"), QStringLiteral("Dato 1")},
        {QStringLiteral("Cc_UserDef_2"), QStringLiteral("Dato 2")},
        {QStringLiteral("Cc_UserDef_3"), QStringLiteral("Dato 3")},
        {QStringLiteral("Cc_UserDef_4"), QStringLiteral("Dato 4")},
        {QStringLiteral("Cc_UserDef_5"), QStringLiteral("Dato 5")},
        {QStringLiteral("Cc_UserDef_6"), QStringLiteral("Dato 6")},
        {QStringLiteral("Oper_Alta"), QStringLiteral("Alta (operador)")},
        {QStringLiteral("Fecha_Alta"), QStringLiteral("Alta (fecha)")},
        {QStringLiteral("Oper_Baja"), QStringLiteral("Baja (operador)")},
        {QStringLiteral("Fecha_Baja"), QStringLiteral("Baja (fecha)")},
    };
    return campos;
}

// A value as the history shows it, the same whichever database typed it.
QString Texto(const QVariant& valor)
{
    if (valor.isNull())
        return {};
    if (valor.typeId() == QMetaType::QDateTime)
        return valor.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (valor.typeId() == QMetaType::QDate)
        return valor.toDate().toString(Qt::ISODate);
    return valor.toString();
}

QString Valor(kt508::Recordset& rs, const QString& columna)
{
    return Texto(rs.Fields(columna).Value);
}

} // namespace

QList<Cambio> Cambios(kt508::Connection& db, const QString& clave)
{
    QList<Cambio> cambios;
    QStringList anteriores(Campos().size());
    for (kt508::Recordset rs = db.Ejecuta(kt508::historial::Notas(clave)); !rs.Eof(); rs.MoveNext()) {
        Cambio cambio{Valor(rs, QStringLiteral("Hc_Fecha")),
                      Valor(rs, QStringLiteral("Hc_Operador")),
                      Valor(rs, QStringLiteral("Hc_Comando")),
                      {}};
        for (qsizetype i = 0; i < Campos().size(); ++i) {
            QString valor = Valor(rs, Campos()[i].columna);
            if (valor != anteriores[i])
                cambio.campos.append({Campos()[i].nombre, anteriores[i], valor});
            anteriores[i] = std::move(valor);
        }
        cambios.append(std::move(cambio));
    }
    std::reverse(cambios.begin(), cambios.end());
    return cambios;
}

QString Texto(const QString& clave, const QList<Cambio>& cambios)
{
    if (cambios.isEmpty())
        return QStringLiteral("El centro de costos %1 no tiene cambios anotados.\n").arg(clave);
    QString texto =
        QStringLiteral("Historial del centro de costos %1, del cambio más reciente al primero:\n").arg(clave);
    for (const Cambio& cambio : cambios) {
        texto += QStringLiteral("\n%1  %2  %3\n").arg(cambio.fecha, cambio.operador, cambio.comando);
        for (const Diferencia& d : cambio.campos)
            texto += QStringLiteral("    %1: «%2» → «%3»\n").arg(d.campo, d.antes, d.despues);
    }
    return texto;
}

} // namespace orbanel::historial
