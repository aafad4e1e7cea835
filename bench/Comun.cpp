#include "bench/Comun.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

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
    ++enviadas;
    return m_real.Execute(text, options);
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
    if (args.size() >= 2 && args.first() == QLatin1String("--max")) {
        bool numero = false;
        opciones.maximo = args.at(1).toInt(&numero);
        if (!numero || opciones.maximo <= 0)
            motivo = QStringLiteral("--max espera un número de centros mayor que cero, no «%1»").arg(args.at(1));
        args = args.mid(2);
    }
    if (motivo.isEmpty()
        && (args.size() > 1 || (args.size() == 1 && !args.first().startsWith(QLatin1String("postgresql://")))))
        motivo = QStringLiteral("argumento no reconocido: %1").arg(args.first());
    if (!motivo.isEmpty()) {
        std::fprintf(stderr, "%s: %s\nuso: %s [--max N] [postgresql://usuario@servidor:puerto/base]\n", programa,
                     qPrintable(motivo), programa);
        return false;
    }
    opciones.servidor = args.value(0);
    return true;
}

void casoAparte(const QStringList& argumentos)
{
    QProcess caso;
    caso.setProcessChannelMode(QProcess::ForwardedChannels);
    caso.start(QCoreApplication::applicationFilePath(), argumentos);
    caso.waitForFinished(-1);
}

int correTablas(const char* programa, const QStringList& args, const Tabla& tabla)
{
    Opciones opciones;
    if (!leeOpciones(programa, args, opciones))
        return 2;
    try {
        QTemporaryDir carpeta;
        tabla(QStringLiteral("SQLite"), QStringLiteral("sqlite:") + carpeta.filePath(QStringLiteral("bench.db")),
              opciones.maximo);
        if (!opciones.servidor.isEmpty())
            tabla(QStringLiteral("PostgreSQL"), opciones.servidor, opciones.maximo);
    } catch (const kt508::Error& e) {
        std::fprintf(stderr, "%s: %s\n", programa, qPrintable(e.Description()));
        return 1;
    }
    return 0;
}

} // namespace bench
