#include "suite/catalogo/Catalogo.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Decimal.h"
#include "kt508/services/Sentencia.h"

#include <QDate>
#include <QDateTime>
#include <QHash>

#include <map>
#include <memory>

namespace orbanel::catalogo {

namespace {

const QString Raiz = QStringLiteral("0");

// Places in a Fila, as Columnas() lists them.
constexpr size_t INivel = 0;
constexpr size_t IRuta = 1;
constexpr size_t IClave = 2;
constexpr size_t IAcumula = 4;

// Numeric columns come as text: a driver would hand them over as a double.
QString Expresion(const Columna& c)
{
    if (c.clase == Clase::Decimal)
        return QStringLiteral("CAST(%1 AS VARCHAR(40)) AS %1").arg(c.campo);
    return c.campo;
}

// One form per set of columns read, kept for the life of the program.
const kt508::Forma& Consulta(const std::vector<size_t>& columnas)
{
    QStringList campos;
    for (const size_t i : columnas)
        campos << Expresion(Columnas()[i]);
    const QString texto = QStringLiteral("SELECT %1 FROM Centro_Costo ORDER BY CC_Cve_Centro_Costo")
                              .arg(campos.join(QStringLiteral(", ")));
    static std::map<QString, std::unique_ptr<kt508::Forma>> formas;
    std::unique_ptr<kt508::Forma>& forma = formas[texto];
    if (!forma)
        forma = std::make_unique<kt508::Forma>(texto);
    return *forma;
}

QVariant ComoEntero(const QVariant& valor)
{
    bool ok = false;
    const qlonglong numero = valor.toString().toLongLong(&ok);
    return ok ? QVariant(numero) : QVariant(valor.toString());
}

QVariant ComoDecimal(const QVariant& valor)
{
    const std::optional<kt508::Decimal> numero = kt508::Decimal::DeTexto(valor.toString());
    return numero ? QVariant::fromValue(*numero) : QVariant(valor.toString());
}

// SQLite keeps dates as the text the suite wrote; the servers give them typed.
QVariant ComoFecha(const QVariant& valor)
{
    if (valor.typeId() == QMetaType::QDate)
        return valor;
    if (valor.typeId() == QMetaType::QDateTime)
        return valor.toDateTime().toLocalTime().date();
    const QString texto = valor.toString().trimmed();
    for (const QString& formato : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyyMMdd")}) {
        const QDate fecha = QDate::fromString(texto, formato);
        if (fecha.isValid())
            return fecha;
    }
    return valor.toString();
}

QVariant ComoFechaHora(const QVariant& valor)
{
    if (valor.typeId() == QMetaType::QDateTime)
        return valor.toDateTime().toLocalTime();
    if (valor.typeId() == QMetaType::QDate)
        return valor.toDate().startOfDay();
    const QString texto = valor.toString().trimmed();
    for (const QString& formato : {QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyyMMdd HH:mm:ss")}) {
        const QDateTime momento = QDateTime::fromString(texto, formato);
        if (momento.isValid())
            return momento;
    }
    const QDateTime iso = QDateTime::fromString(texto, Qt::ISODateWithMs);
    return iso.isValid() ? QVariant(iso) : QVariant(valor.toString());
}

QVariant Normaliza(const QVariant& valor, Clase clase)
{
    if (valor.isNull())
        return {};
    switch (clase) {
    case Clase::Texto: return valor.toString();
    case Clase::Entero: return ComoEntero(valor);
    case Clase::Decimal: return ComoDecimal(valor);
    case Clase::Fecha: return ComoFecha(valor);
    case Clase::FechaHora: return ComoFechaHora(valor);
    }
    return valor.toString();
}

// The rows in key order, Nivel and Ruta still empty.
std::vector<Fila> Lee(kt508::Connection& db)
{
    std::vector<size_t> columnas;
    for (size_t i = IClave; i < Columnas().size(); ++i)
        columnas.push_back(i);
    return LeeColumnas(db, columnas);
}

// Each parent's children, in key order. A row keyed "0" is no centre of the tree: the root's
// children are the centres that accumulate into the root.
QHash<QString, std::vector<size_t>> Hijos(const std::vector<Fila>& filas)
{
    QHash<QString, std::vector<size_t>> hijos;
    for (size_t i = 0; i < filas.size(); ++i) {
        if (filas[i][IClave].toString() != Raiz && !filas[i][IAcumula].isNull())
            hijos[filas[i][IAcumula].toString()].push_back(i);
    }
    return hijos;
}

} // namespace

const std::vector<Columna>& Columnas()
{
    static const std::vector<Columna> columnas = {
        {QStringLiteral("Nivel"), QString(), Clase::Entero},
        {QStringLiteral("Ruta"), QString(), Clase::Texto},
        {QStringLiteral("Clave"), QStringLiteral("CC_Cve_Centro_Costo"), Clase::Texto},
        {QStringLiteral("Descripción"), QStringLiteral("CC_Descripcion"), Clase::Texto},
        {QStringLiteral("Acumula en"), QStringLiteral("CC_Acumula"), Clase::Texto},
        {QStringLiteral("Estado"), QStringLiteral("Es_Cve_Estado"), Clase::Texto},
        {QStringLiteral("Tipo"), QStringLiteral("CC_Tipo"), Clase::Entero},
        {QStringLiteral("Cuenta contable"), QStringLiteral("CC_Cuenta_Contable"), Clase::Texto},
        {QStringLiteral("Grupo"), QStringLiteral("Gcc_Cve_Grupo_Centro_Costo"), Clase::Texto},
        {QStringLiteral("Analizar"), QStringLiteral("Cc_Analizar"), Clase::Texto},
        {QStringLiteral("Dato 1"), QStringLiteral("Cc_UserDef_1"), Clase::Texto},
        {QStringLiteral("Dato 2"), QStringLiteral("Cc_UserDef_2"), Clase::Texto},
        {QStringLiteral("Dato 3"), QStringLiteral("Cc_UserDef_3"), Clase::Decimal},
        {QStringLiteral("Dato 4"), QStringLiteral("Cc_UserDef_4"), Clase::Decimal},
        {QStringLiteral("Dato 5"), QStringLiteral("Cc_UserDef_5"), Clase::Fecha},
        {QStringLiteral("Dato 6"), QStringLiteral("Cc_UserDef_6"), Clase::Fecha},
        {QStringLiteral("Alta por"), QStringLiteral("Oper_Alta"), Clase::Texto},
        {QStringLiteral("Fecha de alta"), QStringLiteral("Fecha_Alta"), Clase::FechaHora},
        {QStringLiteral("Modificado por"), QStringLiteral("Oper_Ult_Modif"), Clase::Texto},
        {QStringLiteral("Fecha de modificación"), QStringLiteral("Fecha_Ult_Modif"), Clase::FechaHora},
    };
    return columnas;
}

std::vector<Fila> LeeColumnas(kt508::Connection& db, const std::vector<size_t>& columnas)
{
    std::vector<Fila> filas;
    kt508::Recordset rs = db.Ejecuta(kt508::Sentencia(Consulta(columnas)));
    filas.reserve(static_cast<size_t>(rs.RecordCount()));
    for (; !rs.Eof(); rs.MoveNext()) {
        Fila fila(Columnas().size());
        for (size_t k = 0; k < columnas.size(); ++k)
            fila[columnas[k]] = Normaliza(rs.Value(static_cast<int>(k)), Columnas()[columnas[k]].clase);
        filas.push_back(std::move(fila));
    }
    rs.Close();
    return filas;
}

std::vector<Fila> LeeEnOrden(kt508::Connection& db)
{
    std::vector<Fila> filas = Lee(db);
    const QHash<QString, std::vector<size_t>> hijos = Hijos(filas);
    struct Pendiente {
        size_t fila;
        int nivel;
        QString rutaDelPadre;
    };
    std::vector<Pendiente> pila; // depth first without recursion: a chain may be thousands deep
    const auto apilaHijos = [&](const QString& padre, int nivel, const QString& ruta) {
        const auto it = hijos.constFind(padre);
        if (it != hijos.cend()) {
            for (auto hijo = it->crbegin(); hijo != it->crend(); ++hijo)
                pila.push_back({*hijo, nivel, ruta});
        }
    };
    std::vector<bool> alcanzada(filas.size(), false);
    std::vector<Fila> orden;
    orden.reserve(filas.size());
    apilaHijos(Raiz, 1, QString());
    while (!pila.empty()) {
        const Pendiente p = std::move(pila.back());
        pila.pop_back();
        if (alcanzada[p.fila])
            continue;
        alcanzada[p.fila] = true;
        Fila& fila = filas[p.fila];
        const QString clave = fila[IClave].toString();
        const QString ruta = p.nivel == 1 ? clave : p.rutaDelPadre + QStringLiteral(" / ") + clave;
        fila[INivel] = qlonglong(p.nivel);
        fila[IRuta] = ruta;
        orden.push_back(std::move(fila));
        apilaHijos(clave, p.nivel + 1, ruta);
    }
    for (size_t i = 0; i < filas.size(); ++i) {
        if (!alcanzada[i])
            orden.push_back(std::move(filas[i]));
    }
    return orden;
}

} // namespace orbanel::catalogo
