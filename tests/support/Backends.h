#pragma once

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"

#include <QTest>
#include <QVariant>

// The databases every data test runs on: "sqlite" always (a fresh file per test process),
// "postgresql" when KT508_TEST_PG holds a URL, "odbc" when KT508_TEST_ODBC holds one and the
// test asks for it.
namespace pruebas {

enum class ConOdbc { No, Si };
enum class Contenido { Vacio, Demo };

// Names of the configured backends, in the order above.
QStringList backends(ConOdbc odbc = ConOdbc::No);
// The URL that opens a backend (throws kt508::Error for one not configured).
QString urlDe(const QString& backend);

// For a QtTest _data() function: a QString column "backend" and one row per backend,
// the row's tag being the backend's name.
void agregaBackends(ConOdbc odbc = ConOdbc::No);

// A new connection whose schema was dropped and created again, optionally with the demo.
// Throws kt508::Error with the database's text.
std::unique_ptr<orbanel::ado::AdoConnection> abre(const QString& backend, Contenido contenido = Contenido::Vacio);

// The first column of the first row (a null QVariant when there is no row).
QVariant escalar(orbanel::ado::AdoConnection& db, const QString& sentencia);

// Every row of every table of the suite, one line a row in a fixed order: two dumps are
// equal exactly when the databases hold the same data (a failed command must leave it so).
QString volcado(orbanel::ado::AdoConnection& db);

// The description of the kt508::Error the action raised; empty when it raised none.
QString errorDe(const std::function<void()>& accion);

} // namespace pruebas

// Runs the expression; if it raises kt508::Error, the test fails with the database's text.
#define QVERIFY_SQL(expresion)                                                                                         \
    do {                                                                                                               \
        try {                                                                                                          \
            expresion;                                                                                                 \
        } catch (const kt508::Error& error_sql_) {                                                                     \
            const QByteArray texto_sql_ = #expresion " falló: " + error_sql_.Description().toUtf8();                   \
            QTest::qFail(texto_sql_.constData(), __FILE__, __LINE__);                                                  \
            return;                                                                                                    \
        }                                                                                                              \
    } while (false)

// Opens a fresh connection for the current backend row, failing the test when it cannot.
#define ABRE_BACKEND(variable, backend, contenido)                                                                     \
    std::unique_ptr<orbanel::ado::AdoConnection> variable;                                                             \
    QVERIFY_SQL(variable = pruebas::abre((backend), (contenido)))
