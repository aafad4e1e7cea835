#include "tests/support/Backends.h"

#include "suite/schema/Schema.h"

#include <QTemporaryDir>

namespace pruebas {

QStringList backends(ConOdbc odbc)
{
    QStringList nombres{QStringLiteral("sqlite")};
    if (!qEnvironmentVariable("KT508_TEST_PG").isEmpty())
        nombres.append(QStringLiteral("postgresql"));
    if (odbc == ConOdbc::Si && !qEnvironmentVariable("KT508_TEST_ODBC").isEmpty())
        nombres.append(QStringLiteral("odbc"));
    return nombres;
}

QString urlDe(const QString& backend)
{
    if (backend == QLatin1String("sqlite")) {
        static QTemporaryDir carpeta;
        if (!carpeta.isValid())
            throw kt508::Error(QStringLiteral("No se pudo crear la carpeta temporal de la prueba."));
        return QStringLiteral("sqlite:") + carpeta.filePath(QStringLiteral("kt508-prueba.db"));
    }
    const char* variable = backend == QLatin1String("postgresql") ? "KT508_TEST_PG"
        : backend == QLatin1String("odbc")                        ? "KT508_TEST_ODBC"
                                                                  : nullptr;
    const QString url = variable ? qEnvironmentVariable(variable) : QString();
    if (url.isEmpty())
        throw kt508::Error(QStringLiteral("El backend de pruebas '%1' no está configurado.").arg(backend));
    return url;
}

void agregaBackends(ConOdbc odbc)
{
    QTest::addColumn<QString>("backend");
    for (const QString& nombre : backends(odbc))
        QTest::newRow(qPrintable(nombre)) << nombre;
}

std::unique_ptr<orbanel::ado::AdoConnection> abre(const QString& backend, Contenido contenido)
{
    auto db = orbanel::schema::Abre(urlDe(backend));
    orbanel::schema::Borra(*db);
    orbanel::schema::Crea(*db);
    if (contenido == Contenido::Demo)
        orbanel::schema::CargaDemo(*db);
    return db;
}

QVariant escalar(orbanel::ado::AdoConnection& db, const QString& sentencia)
{
    kt508::Recordset rs = db.Execute(sentencia);
    return rs.Eof() ? QVariant() : rs.Value(0);
}

QString errorDe(const std::function<void()>& accion)
{
    try {
        accion();
    } catch (const kt508::Error& error) {
        return error.Description();
    }
    return QString();
}

QString volcado(orbanel::ado::AdoConnection& db)
{
    static const QStringList tablas = QStringLiteral("Centro_Costo Grupo_Centro_Costo Cuenta_Contable Parametros "
                                                     "Bitacora_Cambios Campos_Adicionales_Def Campos_Adicionales "
                                                     "Poliza_Detalle Presupuesto_Centro Historial_Centro")
                                          .split(QLatin1Char(' '));
    QString texto;
    for (const QString& tabla : tablas) {
        QStringList filas;
        // A table an older version lacks reads as an empty one, as its upgrade leaves it.
        kt508::Recordset rs;
        const QString error = errorDe([&] { rs = db.Execute(QStringLiteral("SELECT * FROM ") + tabla, -1); });
        if (!error.isEmpty() && tabla == QLatin1String("Historial_Centro"))
            continue;
        if (!error.isEmpty())
            throw kt508::Error(error);
        while (!rs.Eof()) {
            QStringList valores;
            for (int i = 0; i < rs.FieldCount(); ++i)
                valores << (rs.Value(i).isNull() ? QStringLiteral("<null>") : rs.Value(i).toString());
            filas << valores.join(QLatin1Char('|'));
            rs.MoveNext();
        }
        rs.Close();
        filas.sort();
        if (filas.isEmpty() && tabla == QLatin1String("Historial_Centro"))
            continue;
        texto += QStringLiteral("== %1 (%2)\n%3\n").arg(tabla).arg(filas.size()).arg(filas.join(QLatin1Char('\n')));
    }
    return texto;
}

} // namespace pruebas
