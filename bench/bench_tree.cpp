// Tree-load benchmark: CargarCecos into the real tree widget against a bound measured in the
// same run (one SELECT of the whole table plus building the same tree), and a change another
// program writes to the table brought into the open tree in place. Prints figures only.
//
//   bench_tree [--max N] [--latencia MS] [postgresql://user@host:port/db]
//   (the server database is overwritten; --latencia adds MS to each round trip to it)
#include "bench/Comun.h"
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace bench;

namespace {

// The bound: the whole table in one SELECT, then the same tree, depth first in key order.
void cotaInferior(kt508::Connection& db, kt508::TreeView& arbol)
{
    kt508::Recordset rs = db.Execute(QStringLiteral("SELECT * FROM Centro_Costo"), -1);
    struct Fila {
        QString clave, texto;
        int imagen;
        bool acumula;
    };
    QHash<QString, std::vector<Fila>> hijos;
    const int iClave = rs.FieldIndex(QStringLiteral("Cc_Cve_Centro_Costo"));
    const int iPadre = rs.FieldIndex(QStringLiteral("CC_Acumula"));
    const int iDesc = rs.FieldIndex(QStringLiteral("CC_Descripcion"));
    const int iEstado = rs.FieldIndex(QStringLiteral("Es_Cve_Estado"));
    const int iTipo = rs.FieldIndex(QStringLiteral("CC_Tipo"));
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString clave = rs.Value(iClave).toString();
        hijos[rs.Value(iPadre).toString()].push_back({clave, clave + QStringLiteral(" - ") + rs.Value(iDesc).toString(),
                                                      rs.Value(iEstado).toString() == QLatin1String("AC") ? 1 : 3,
                                                      rs.Value(iTipo).toInt() == 1});
    }
    arbol.Clear();
    arbol.Add(QString(), 0, QStringLiteral("N0"), QStringLiteral("RAIZ"), 1);
    std::function<void(const QString&)> agrega = [&](const QString& padre) {
        auto it = hijos.find(padre);
        if (it == hijos.end())
            return;
        std::sort(it->begin(), it->end(), [](const Fila& a, const Fila& b) { return a.clave < b.clave; });
        for (const Fila& f : *it) {
            arbol.Add(QLatin1Char('N') + padre, kt508::tvwChild, QLatin1Char('N') + f.clave, f.texto, f.imagen);
            if (f.acumula)
                agrega(f.clave);
        }
    };
    agrega(QStringLiteral("0"));
}

// The cost of one statement through our layers alone: the deep shape's query for one
// centre, its value bound, its fields read as the tree load reads them, and the recordset closed.
// Up to 20,000 of them, or as many as 2 s allow (each one is a round trip of its own).
double microsPorSentencia(kt508::Connection& db, int n)
{
    const int maximo = std::min(n, 20000);
    QElapsedTimer reloj;
    reloj.start();
    int veces = 0;
    while (veces < maximo && reloj.elapsed() < 2000) {
        const int i = ++veces;
        kt508::Recordset rs = db.Ejecuta(Publico::Sentencias::HijosEnArbol(QString::number(i)));
        while (!rs.Eof()) {
            rs.Fields(QStringLiteral("Es_Cve_Estado"));
            rs.Fields(QStringLiteral("Cc_Cve_Centro_Costo"));
            rs.Fields(QStringLiteral("CC_Descripcion"));
            rs.Fields(QStringLiteral("CC_Tipo"));
            rs.MoveNext();
        }
        rs.Close();
    }
    return reloj.nsecsElapsed() / 1e3 / veces;
}

// Another program renames a centre, moves a leaf, adds a centre and deletes the one it added
// before, straight on the table; the open tree then catches up in place. Best of five.
double cambioRemoto(orbanel::ado::AdoConnection& db, frmKT508& frm, int n)
{
    frm.Sondea();
    double mejor = 1e18;
    for (int vez = 1; vez <= 5; ++vez) {
        db.BeginTrans();
        db.Execute(
            QStringLiteral("UPDATE Centro_Costo SET CC_Descripcion = 'REMOTO %1' WHERE CC_Cve_Centro_Costo = '%2'")
                .arg(vez)
                .arg(n / 2));
        db.Execute(QStringLiteral("UPDATE Centro_Costo SET CC_Acumula = '%1' WHERE CC_Cve_Centro_Costo = '%2'")
                       .arg(2 + vez % 2)
                       .arg(n));
        db.Execute(QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, "
                                  "Es_Cve_Estado) VALUES ('R%1', '1', 'REMOTO', 'AC')")
                       .arg(vez));
        db.Execute(QStringLiteral("DELETE FROM Centro_Costo WHERE CC_Cve_Centro_Costo = 'R%1'").arg(vez - 1));
        db.CommitTrans();
        QElapsedTimer reloj;
        reloj.start();
        frm.Sondea();
        mejor = std::min(mejor, reloj.nsecsElapsed() / 1e6);
    }
    if (!frm.tvCeCos->Nodes(QStringLiteral("NR5")) || frm.tvCeCos->Nodes(QStringLiteral("NR4")))
        std::fprintf(stderr, "el árbol no siguió el cambio remoto\n");
    return mejor;
}

// One size and shape, in a process of its own so that its peak memory is its own.
void unCaso(orbanel::ado::AdoConnection& db, int n, Forma forma)
{
    ConexionContada contada(db);
    DatosBench datos(contada);
    const std::unique_ptr<kt508::IUtilerias> utilerias = kt508::plataforma().NuevoUtilerias();
    const Publico::Servicios servicios{&datos, utilerias.get()};
    llenaCatalogo(db, n, forma);
    frmKT508& frm = frmKT508::Instancia(servicios);
    frm.show();

    const int veces = n >= 100000 ? 3 : 5;
    contada.Reinicia();
    const double carga = mejorDe(veces, [&] { frm.CargarCecos(); });
    const long sentencias = contada.Sentencias() / veces;
    const long viajes = contada.ViajesHechos() / veces;
    const long picoCarga = picoMemoriaMB();
    if (frm.tvCeCos->Count() != n + 1)
        std::fprintf(stderr, "el árbol tiene %d nodos, se esperaban %d\n", frm.tvCeCos->Count(), n + 1);
    const double capa = forma == Forma::Profunda ? microsPorSentencia(db, n) : 0.0;
    const double remoto = cambioRemoto(db, frm, n);
    const double cota = mejorDe(veces, [&] { cotaInferior(db, *frm.tvCeCos); });
    std::printf("%-9d %-9s %10ld %7ld %9.1f ms %9.1f ms %7.2f %12s %9ld %9ld %9.2f ms\n", n,
                forma == Forma::Ancha ? "ancha" : "profunda", sentencias, viajes, carga, cota, carga / cota,
                capa > 0 ? qPrintable(QString::number(capa, 'f', 1)) : "-", picoCarga, picoMemoriaMB(), remoto);
    std::fflush(stdout);
    delete &frm;
}

void tabla(const QString& nombre, const QString& url, int maximo)
{
    std::printf("\n%s\n%-9s %-9s %10s %7s %12s %12s %7s %12s %9s %9s %12s\n", qPrintable(nombre), "centros", "forma",
                "sentencias", "viajes", "CargarCecos", "cota", "razon", "us/sentencia", "pico MB", "con cota",
                "remoto");
    std::fflush(stdout);
    for (const int n : {1000, 10000, 100000}) {
        if (n > maximo)
            break;
        for (const char* forma : {"ancha", "profunda"})
            casoAparte({QStringLiteral("--caso"), QString::number(n), QString::fromLatin1(forma), url});
    }
}

} // namespace

// bench_tree [--max N] [--latencia MS] [postgresql://...]: the table for SQLite, and for the server
// when given.
// bench_tree --caso N ancha|profunda URL: one row (what the table runs for each row).
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    orbanel::InstalaPlataforma();

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 4 && args.first() == QLatin1String("--caso")) {
        try {
            auto db = abreLimpia(args.at(3));
            unCaso(*db, args.at(1).toInt(), args.at(2) == QLatin1String("ancha") ? Forma::Ancha : Forma::Profunda);
            return 0;
        } catch (const kt508::Error& e) {
            std::fprintf(stderr, "bench_tree: %s\n", qPrintable(e.Description()));
            return 1;
        }
    }
    return correTablas("bench_tree", args, tabla);
}
