#include "bench/Comun.h"

#include "bench/Relevo.h"
#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

ConexionContada::ConexionContada(kt508::Connection& real)
    : m_real(real)
{
}

kt508::Recordset ConexionContada::Execute(const QString& text, int options)
{
    ++m_sentencias;
    return m_real.Execute(text, options);
}

kt508::Recordset ConexionContada::Ejecuta(const kt508::Sentencia& sentencia)
{
    ++m_sentencias;
    return m_real.Ejecuta(sentencia);
}

std::vector<kt508::Resultado> ConexionContada::EjecutaLote(const std::vector<kt508::Sentencia>& lote)
{
    m_sentencias += static_cast<long>(lote.size());
    return m_real.EjecutaLote(lote);
}

void ConexionContada::EjecutaLote(const std::vector<kt508::Sentencia>& lote, const Recibe& recibe)
{
    m_sentencias += static_cast<long>(lote.size());
    m_real.EjecutaLote(lote, recibe);
}

long ConexionContada::Viajes() const
{
    return m_real.Viajes();
}

void ConexionContada::Reinicia()
{
    m_sentencias = 0;
    m_viajesAntes = m_real.Viajes();
}

long ConexionContada::Sentencias() const
{
    return m_sentencias;
}

long ConexionContada::ViajesHechos() const
{
    return m_real.Viajes() - m_viajesAntes;
}

int ConexionContada::BeginTrans()
{
    return m_real.BeginTrans();
}

void ConexionContada::CommitTrans()
{
    m_real.CommitTrans();
}

void ConexionContada::RollbackTrans()
{
    m_real.RollbackTrans();
}

bool ConexionContada::EnTransaccion() const
{
    return m_real.EnTransaccion();
}

DatosBench::DatosBench(ConexionContada& c)
    : m_conexion(c)
{
}

kt508::Connection& DatosBench::Conexion()
{
    return m_conexion;
}

QString DatosBench::Usuario()
{
    return QStringLiteral("BENCH");
}

QVariant DatosBench::Parametro(const QString&, int, const QString&, const QString& porDefecto)
{
    return porDefecto;
}

int DatosBench::Mensaje(const QString& texto, int estilo, const QString& titulo, QWidget*, const QString&,
                        const QString& id)
{
    if (estilo == kt508::vbPregunta)
        return kt508::vbYes;
    std::fprintf(stderr, "%s %s: %s\n", qPrintable(titulo), qPrintable(id), qPrintable(texto));
    return kt508::vbOK;
}

void DatosBench::Aviso(const QString& texto, int, const QString&)
{
    std::fprintf(stderr, "%s\n", qPrintable(texto));
}

int padreDe(int i, Forma forma)
{
    if (forma == Forma::Ancha)
        return (i - 1) / 8;
    return (i - 1) % 50 == 0 ? 0 : i - 1;
}

void llenaCentros(orbanel::ado::AdoConnection& db, int n, const std::function<int(int)>& padre,
                  const std::function<QString(int)>& estado)
{
    std::vector<bool> tieneHijos(static_cast<size_t>(n) + 1, false);
    for (int i = 1; i <= n; ++i)
        tieneHijos[static_cast<size_t>(padre(i))] = true;
    db.Execute(QStringLiteral("DELETE FROM Centro_Costo"));
    db.BeginTrans();
    QString lote;
    for (int i = 1; i <= n; ++i) {
        lote += lote.isEmpty()
            ? QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, "
                             "CC_Descripcion, Gcc_Cve_Grupo_Centro_Costo, CC_Tipo, Es_Cve_Estado) VALUES ")
            : QStringLiteral(", ");
        lote += QStringLiteral("('%1', '%2', 'CENTRO DE COSTOS %1', '000000', %3, '%4')")
                    .arg(i)
                    .arg(padre(i))
                    .arg(tieneHijos[static_cast<size_t>(i)] ? 1 : 0)
                    .arg(estado(i));
        if (i % 500 == 0 || i == n) {
            db.Execute(lote);
            lote.clear();
        }
    }
    db.CommitTrans();
}

void llenaCatalogo(orbanel::ado::AdoConnection& db, int n, Forma forma)
{
    llenaCentros(
        db, n, [forma](int i) { return padreDe(i, forma); },
        [](int i) { return i % 97 == 0 ? QStringLiteral("BA") : QStringLiteral("AC"); });
}

double mejorDe(int veces, const std::function<void()>& paso)
{
    double mejor = 1e18;
    for (int i = 0; i < veces; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        paso();
        mejor = std::min(mejor, reloj.nsecsElapsed() / 1e6);
    }
    return mejor;
}

long picoMemoriaMB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss / 1024;
}

std::unique_ptr<orbanel::ado::AdoConnection> abreLimpia(const QString& url)
{
    auto db = orbanel::schema::Abre(url);
    orbanel::schema::Borra(*db);
    orbanel::schema::Crea(*db);
    return db;
}

bool leeOpciones(const char* programa, QStringList args, Opciones& opciones)
{
    QString motivo;
    const auto numero = [&](const QString& opcion, int& valor) {
        bool bien = args.size() >= 2;
        valor = bien ? args.at(1).toInt(&bien) : 0;
        if (!bien || valor <= 0)
            motivo = QStringLiteral("%1 espera un número mayor que cero, no «%2»").arg(opcion, args.value(1));
        args = args.mid(2);
    };
    while (motivo.isEmpty() && !args.isEmpty()) {
        if (args.first() == QLatin1String("--max")) {
            numero(args.first(), opciones.maximo);
        } else if (args.first() == QLatin1String("--latencia")) {
            numero(args.first(), opciones.latencia);
        } else if (args.first().startsWith(QLatin1String("postgresql://")) && opciones.servidor.isEmpty()) {
            opciones.servidor = args.takeFirst();
        } else {
            motivo = QStringLiteral("argumento no reconocido: %1").arg(args.first());
        }
    }
    if (motivo.isEmpty() && opciones.latencia > 0 && opciones.servidor.isEmpty())
        motivo = QStringLiteral("--latencia necesita el servidor PostgreSQL al que se la añade");
    if (!motivo.isEmpty()) {
        std::fprintf(stderr, "%s: %s\nuso: %s [--max N] [--latencia MS] [postgresql://usuario@servidor:puerto/base]\n",
                     programa, qPrintable(motivo), programa);
        return false;
    }
    return true;
}

void casoAparte(const QStringList& argumentos)
{
    QProcess caso;
    caso.setProcessChannelMode(QProcess::ForwardedChannels);
    caso.start(QCoreApplication::applicationFilePath(), argumentos);
    caso.waitForFinished(-1);
}

namespace {

double msDeUnViaje(const QString& url)
{
    auto db = orbanel::ado::AdoConnection::Open(url);
    return mejorDe(5, [&] { db->Execute(QStringLiteral("SELECT 1")); });
}

} // namespace

int correTablas(const char* programa, const QStringList& args, const Tabla& tabla)
{
    Opciones opciones;
    if (!leeOpciones(programa, args, opciones))
        return 2;
    try {
        QTemporaryDir carpeta;
        tabla(QStringLiteral("SQLite"), QStringLiteral("sqlite:") + carpeta.filePath(QStringLiteral("bench.db")),
              opciones.maximo);
        if (opciones.servidor.isEmpty())
            return 0;
        if (opciones.latencia == 0) {
            tabla(QStringLiteral("PostgreSQL"), opciones.servidor, opciones.maximo);
            return 0;
        }
        // The cases run in processes of their own; they reach the server through this one's relay.
        const QUrl servidor(opciones.servidor);
        Relevo relevo(servidor.host(), static_cast<quint16>(servidor.port(5432)), opciones.latencia);
        const QString lejos = UrlPorRelevo(opciones.servidor, relevo);
        std::printf("\nRelevo: %d ms más por viaje; un SELECT 1 tarda %.2f ms directo y %.2f ms por el relevo\n",
                    opciones.latencia, msDeUnViaje(opciones.servidor), msDeUnViaje(lejos));
        tabla(QStringLiteral("PostgreSQL a %1 ms").arg(opciones.latencia), lejos, opciones.maximo);
    } catch (const kt508::Error& e) {
        std::fprintf(stderr, "%s: %s\n", programa, qPrintable(e.Description()));
        return 1;
    }
    return 0;
}

} // namespace bench
