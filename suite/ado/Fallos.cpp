#include "suite/ado/Fallos.h"

#include <QSqlError>

#include <sqlite3.h>

namespace orbanel::ado {

namespace {

bool contieneAlguna(const QString& texto, std::initializer_list<const char*> fragmentos)
{
    for (const char* f : fragmentos) {
        if (texto.contains(QLatin1String(f), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// ODBC drivers give no SQLSTATE through Qt: their (English) words are what there is.
Causa causaOdbc(const QString& texto)
{
    if (contieneAlguna(texto, {"value too long", "would be truncated", "right truncation"}))
        return Causa::Larga;
    if (contieneAlguna(texto, {"read-only", "read only", "readonly"}))
        return Causa::SoloLectura;
    if (contieneAlguna(texto, {"lock request time out", "could not obtain lock", "lock timeout"}))
        return Causa::Bloqueada;
    if (contieneAlguna(texto, {"database is locked"}))
        return Causa::Ocupada;
    if (contieneAlguna(texto,
                       {"communication link", "connection dead", "server closed the connection",
                        "no connection to the server", "could not send", "terminating connection",
                        "connection has been lost", "connection is closed", "not connected"}))
        return Causa::ConexionPerdida;
    return Causa::Otra;
}

} // namespace

Causa CausaPostgres(const QString& estado)
{
    if (estado == QLatin1String("22001"))
        return Causa::Larga;
    if (estado == QLatin1String("25006"))
        return Causa::SoloLectura;
    if (estado == QLatin1String("55P03"))
        return Causa::Bloqueada;
    if (estado.startsWith(QLatin1String("08")) || estado.startsWith(QLatin1String("57P0")))
        return Causa::ConexionPerdida;
    return Causa::Otra;
}

Causa CausaSqlite(int codigo, const QString& mensaje)
{
    switch (codigo & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return Causa::Ocupada;
    case SQLITE_READONLY: return Causa::SoloLectura;
    case SQLITE_NOTADB: return Causa::NoEsBase;
    case SQLITE_CORRUPT: return Causa::Danada;
    case SQLITE_TOOBIG: return Causa::Larga;
    case SQLITE_CONSTRAINT:
        // The schema checks the columns' lengths as the server databases do, in constraints
        // named "<column> admite hasta N caracteres".
        return mensaje.contains(QLatin1String("length("), Qt::CaseInsensitive)
                || mensaje.contains(QLatin1String(" admite hasta "))
            ? Causa::Larga
            : Causa::Otra;
    default: return Causa::Otra;
    }
}

Causa CausaDe(const QSqlError& error, const QString& driver)
{
    if (driver == QLatin1String("QPSQL"))
        return CausaPostgres(error.nativeErrorCode());
    if (driver == QLatin1String("QSQLITE")) {
        bool numero = false;
        const int codigo = error.nativeErrorCode().toInt(&numero);
        return numero ? CausaSqlite(codigo, TextoPropio(error)) : Causa::Otra;
    }
    return causaOdbc(TextoPropio(error));
}

QString TextoPropio(const QSqlError& error)
{
    const QString propio = error.databaseText().trimmed();
    return propio.isEmpty() ? error.text().trimmed() : propio;
}

QString TextoDeFallo(Causa causa, const QString& propio, const QString& base)
{
    QString guia;
    switch (causa) {
    case Causa::Ocupada:
        guia = QStringLiteral("Otro programa tiene ocupada la base de datos %1; se esperó a que la liberara. "
                              "Inténtelo de nuevo en unos momentos.");
        break;
    case Causa::Bloqueada: {
        const QString otro = QStringLiteral("Otro usuario está modificando estos datos; intente de nuevo.");
        return propio.isEmpty() ? otro : otro + QLatin1Char('\n') + propio;
    }
    case Causa::SoloLectura:
        guia = QStringLiteral("La base de datos %1 es de solo lectura: no se pueden guardar cambios.");
        break;
    case Causa::NoEsBase: guia = QStringLiteral("El archivo %1 no es una base de datos."); break;
    case Causa::Danada:
        guia = QStringLiteral("El archivo de la base de datos %1 está dañado; restáurelo de una copia de respaldo.");
        break;
    case Causa::Larga:
        guia = QStringLiteral("Un texto es más largo de lo que admite su columna en la base de datos %1.");
        break;
    case Causa::ConexionPerdida: guia = QStringLiteral("Se perdió la conexión con el servidor %1."); break;
    case Causa::Otra:
        if (!propio.isEmpty())
            return propio;
        guia = QStringLiteral("La base de datos %1 falló sin decir por qué.");
        break;
    }
    guia = guia.arg(base);
    return propio.isEmpty() ? guia : guia + QLatin1Char('\n') + propio;
}

QString TextoDePerdida(bool enTransaccion, const QString& propio, const QString& base)
{
    const QString guia = TextoDeFallo(Causa::ConexionPerdida, QString(), base)
        + (enTransaccion
               ? QStringLiteral(" La operación en curso se perdió con ella y ninguno de sus cambios se guardó.")
               : QStringLiteral(" Se volverá a conectar en la siguiente operación."));
    return propio.isEmpty() ? guia : guia + QLatin1Char('\n') + propio;
}

QString TextoSinReconexion(const QString& propio, const QString& base)
{
    return TextoDeFallo(Causa::ConexionPerdida, QString(), base)
        + QStringLiteral(" No se pudo volver a conectar; se intentará de nuevo en la siguiente operación.\n") + propio;
}

} // namespace orbanel::ado
