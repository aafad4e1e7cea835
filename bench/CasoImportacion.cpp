#include "bench/CasoImportacion.h"

#include "bench/Comun.h"
#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/catalogo/Importacion.h"
#include "suite/services/Sesion.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace bench {

namespace {

// As a spreadsheet user would list them: only the required columns and the group.
void EscribeCsv(const QString& archivo, int n, const QString& descripcion)
{
    QByteArray texto = "Clave,Descripción,Acumula en,Grupo\r\n";
    for (int i = 1; i <= n; ++i)
        texto +=
            QStringLiteral("%1,%2 %1,%3,000000\r\n").arg(i).arg(descripcion).arg(padreDe(i, Forma::Ancha)).toUtf8();
    QFile salida(archivo);
    if (!salida.open(QIODevice::WriteOnly) || salida.write(texto) != texto.size())
        throw kt508::Error(QStringLiteral("No se pudo escribir %1").arg(archivo));
}

} // namespace

void casoImportacion(const QString& url, int n, kt508::IUtilerias& utilerias)
{
    {
        auto db = abreLimpia(url);
        db->Execute(QStringLiteral("INSERT INTO Grupo_Centro_Costo (Gcc_Cve_Grupo_Centro_Costo, Gcc_Descripcion) "
                                   "VALUES ('000000', 'GENERAL')"));
        orbanel::Sesion::Establece(std::move(db), QStringLiteral("BENCH"));
    }
    ConexionContada contada(orbanel::Sesion::Conexion());
    DatosBench datos(contada);
    QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath(QStringLiteral("catalogo.csv"));
    for (const QString& caso : {QStringLiteral("alta"), QStringLiteral("cambio")}) {
        EscribeCsv(archivo, n, caso == QLatin1String("alta") ? QStringLiteral("CENTRO") : QStringLiteral("CAMBIADO"));
        contada.Reinicia();
        QElapsedTimer reloj;
        reloj.start();
        const orbanel::catalogo::Importacion hecho =
            orbanel::catalogo::Importa(archivo, datos, utilerias, orbanel::catalogo::Modo::Importar);
        const double ms = reloj.nsecsElapsed() / 1e6;
        if (!hecho.Escrita() || hecho.nuevos + hecho.modificados != n)
            std::fprintf(stderr, "la importación no escribió todo: %s\n", qPrintable(hecho.Texto()));
        std::printf("importar %-7s %9d %9.1f ms %9ld sentencias %7ld viajes %9ld MB\n", qPrintable(caso), n, ms,
                    contada.Sentencias(), contada.ViajesHechos(), picoMemoriaMB());
        std::fflush(stdout);
    }
    orbanel::Sesion::Cierra();
}

} // namespace bench
