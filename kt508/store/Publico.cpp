#include "kt508/store/Publico.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Utilerias.h"

namespace Publico {

kt508::IDatos* Datos = nullptr;
kt508::IUtilerias* Utilerias = nullptr;
QString strSQL;
QObject* (*Catalogo)() = nullptr;

QString Literal(const QString& valor)
{
    QString literal;
    literal.reserve(valor.size() + 2);
    literal += QLatin1Char('\'');
    for (const QChar c : valor) {
        literal += c;
        if (c == QLatin1Char('\''))
            literal += c;
    }
    literal += QLatin1Char('\'');
    return literal;
}

QString SinBlancos(const QString& texto)
{
    int inicio = 0;
    int fin = texto.size();
    while (inicio < fin && texto.at(inicio) == QLatin1Char(' '))
        ++inicio;
    while (fin > inicio && texto.at(fin - 1) == QLatin1Char(' '))
        --fin;
    return texto.mid(inicio, fin - inicio);
}

kt508::Recordset Ejecuta(const QString& sql)
{
    return Datos->Conexion().Execute(sql, -1);
}

QString FechaHoraServidor()
{
    return Utilerias->FormatoFechaHora(Utilerias->FechaServidor());
}

QString Operador()
{
    return Datos->Usuario();
}

void IgnoraError(const std::function<void()>& paso)
{
    try {
        paso();
    } catch (const kt508::Error&) {
        // the step is skipped, as the caller intends
    }
}

} // namespace Publico
