#pragma once

// What every benchmark shares: the counted connection, a data service that prints its
// messages, the two catalogue shapes, the best-of timer and the peak memory.
#include "kt508/services/Connection.h"
#include "kt508/services/Datos.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace orbanel::ado {
class AdoConnection;
}

namespace bench {

// Counts the statements the catalogue sends, alone or in batches, and the round trips they cost.
class ConexionContada : public kt508::Connection {
public:
    explicit ConexionContada(kt508::Connection& real);
    kt508::Recordset Execute(const QString& text, int options) override;
    int BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;
    bool EnTransaccion() const override;
    kt508::Recordset Ejecuta(const kt508::Sentencia& sentencia) override;
    std::vector<kt508::Resultado> EjecutaLote(const std::vector<kt508::Sentencia>& lote) override;
    void EjecutaLote(const std::vector<kt508::Sentencia>& lote, const Recibe& recibe) override;
    long Viajes() const override;

    // Counts afresh from here.
    void Reinicia();
    long Sentencias() const;
    long ViajesHechos() const;

private:
    kt508::Connection& m_real;
    long m_sentencias = 0;
    long m_viajesAntes = 0;
};

// Settings at their defaults, messages printed, every question answered Yes.
class DatosBench : public kt508::IDatos {
public:
    explicit DatosBench(ConexionContada& c);
    kt508::Connection& Conexion() override;
    QString Usuario() override;
    QVariant Parametro(const QString&, int, const QString&, const QString& porDefecto) override;
    int Mensaje(const QString& texto, int estilo, const QString& titulo, QWidget*, const QString&,
                const QString& id) override;
    void Aviso(const QString& texto, int, const QString&) override;

private:
    ConexionContada& m_conexion;
};

enum class Forma { Ancha, Profunda };

// Parent of centre i (keys 1..n): wide is a complete 8-ary tree, deep is chains 50 long.
int padreDe(int i, Forma forma);
// Replaces the catalogue with centres 1..n, each under padre(i) (0 is the root) and in the
// state estado(i), with CC_Tipo set from the children they get.
void llenaCentros(orbanel::ado::AdoConnection& db, int n, const std::function<int(int)>& padre,
                  const std::function<QString(int)>& estado);
// Replaces the catalogue with n centres of that shape (every 97th deactivated).
void llenaCatalogo(orbanel::ado::AdoConnection& db, int n, Forma forma);

double mejorDe(int veces, const std::function<void()>& paso); // best time in ms
long picoMemoriaMB();

// The options every benchmark takes: [--max N] [--latencia MS] [postgresql://...]; anything
// else is refused. The latency goes to every round trip to the server, through a relay.
struct Opciones {
    int maximo = 100000;
    int latencia = 0; // ms
    QString servidor; // "" when only SQLite is measured
};
// False (after printing why and the usage to stderr) when the arguments are not understood.
bool leeOpciones(const char* programa, QStringList args, Opciones& opciones);

// One case of the table in a process of its own (this program, with these arguments), so that
// its peak memory is its own; its output goes where this program's goes.
void casoAparte(const QStringList& argumentos);

// What every benchmark's main does after its own "--caso": reads the options, then prints the
// table on a fresh SQLite file and on the server when one is given. Returns the exit code.
using Tabla = std::function<void(const QString& nombre, const QString& url, int maximo)>;
int correTablas(const char* programa, const QStringList& args, const Tabla& tabla);

// Opens the database and recreates the schema, empty.
std::unique_ptr<orbanel::ado::AdoConnection> abreLimpia(const QString& url);

} // namespace bench
