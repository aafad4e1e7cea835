// Benchmark of the catalogue's branch commands and of the printed listing, each against the tree
// load of the same catalogue measured in the same run. Prints figures only.
//
//   bench_comandos [--max N] [--latencia MS] [postgresql://user@host:port/db]
//   (the server database is overwritten; --latencia adds MS to each round trip to it)
//
// Branches: deactivate, reactivate, delete and move of a branch of N centres (8 children a
// centre, the whole catalogue under one first-level centre); the move goes back and forth between
// two other first-level centres, dropped on them in the tree (the whole command, the tree's
// update included) and by the store's routine alone. Listing: the wide catalogue of bench_tree; its
// memory is the peak resident size while the listing is built and printed, above the resident
// size with the tree loaded, against the size of the listing's text (2 bytes a character).
#include "bench/Comun.h"
#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Impresion.h"
#include "kt508/services/Plataforma.h"
#include "kt508/store/Mueve.h"
#include "kt508/store/Servicios.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/Sesion.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace bench;

namespace {

// Resident and peak resident size of the process, in KB (Linux).
long kbDe(const char* campo)
{
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linea : estado.readAll().split('\n')) {
        if (linea.startsWith(campo))
            return linea.mid(qstrlen(campo)).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// From here on the peak resident size counts afresh.
void reiniciaPico()
{
    QFile borra(QStringLiteral("/proc/self/clear_refs"));
    if (borra.open(QIODevice::WriteOnly))
        borra.write("5");
}

// The printer keeps the size of what it was given and prints nothing.
long caracteresImpresos = 0;

class ImpresorBench : public kt508::IImpresorTexto {
public:
    void Imprime(const QString& texto, const QString&, int, int, int, int, int, int) override
    {
        caracteresImpresos = texto.size();
    }
};

// The branch: centre 1 under the root and every other centre below it, 8 children a centre.
void llenaRama(orbanel::ado::AdoConnection& db, int n)
{
    llenaCentros(
        db, n, [](int i) { return i == 1 ? 0 : (i - 2) / 8 + 1; }, [](int) { return QStringLiteral("AC"); });
}

// A click on the branch's top centre, then the toolbar's event.
void ordena(frmKT508& frm, void (kt508::Controles::*evento)())
{
    kt508::Node* nodo = frm.tvCeCos->Nodes(QStringLiteral("N1"));
    frm.tvCeCos->setSelectedItem(nodo);
    emit frm.tvCeCos->NodeClick(nodo);
    emit(frm.Controles->*evento)();
}

struct Medida {
    double ms = 1e18;
    long sentencias = 0;
    long viajes = 0;
};

// The best of the times; the statements and round trips of the last.
void Mide(Medida& medida, ConexionContada& contada, const std::function<void()>& paso)
{
    contada.Reinicia();
    medida.ms = std::min(medida.ms, mejorDe(1, paso));
    medida.sentencias = contada.Sentencias();
    medida.viajes = contada.ViajesHechos();
}

void fila(const char* operacion, int n, const Medida& m, double carga)
{
    std::printf("%-13s %8d %11ld %7ld %10.1f ms %10.1f ms %7.2f\n", operacion, n, m.sentencias, m.viajes, m.ms, carga,
                m.ms / carga);
    std::fflush(stdout);
}

void casoRama(orbanel::ado::AdoConnection& db, ConexionContada& contada, const Publico::Servicios& servicios, int n)
{
    llenaRama(db, n);
    frmKT508& frm = frmKT508::Instancia(servicios);
    frm.show();
    const double carga = mejorDe(3, [&] { frm.CargarCecos(); });
    const int veces = 3;
    Medida baja, alta;
    for (int i = 0; i < veces; ++i) {
        Mide(baja, contada, [&] { ordena(frm, &kt508::Controles::Eliminar); });
        Mide(alta, contada, [&] { ordena(frm, &kt508::Controles::Reactivar); });
    }
    const long bajas = db.Execute(QStringLiteral("SELECT COUNT(*) AS n FROM Centro_Costo WHERE Es_Cve_Estado = 'BA'"))
                           .Fields(QStringLiteral("n"))
                           .Value.toLongLong();
    if (bajas != 0)
        std::fprintf(stderr, "quedaron %ld centros de baja\n", bajas);
    fila("baja", n, baja, carga);
    fila("reactivación", n, alta, carga);

    Medida borra;
    for (int i = 0; i < veces; ++i) {
        if (i > 0) {
            llenaRama(db, n);
            frm.CargarCecos();
        }
        Mide(borra, contada, [&] { ordena(frm, &kt508::Controles::B1Click); });
        const long quedan = db.Execute(QStringLiteral("SELECT COUNT(*) AS n FROM Centro_Costo"))
                                .Fields(QStringLiteral("n"))
                                .Value.toLongLong();
        if (quedan != 0)
            std::fprintf(stderr, "quedaron %ld centros sin eliminar\n", quedan);
    }
    fila("eliminación", n, borra, carga);
}

// The branch dropped on one first-level centre, then moved by the store to another and the tree
// brought up to date, three times.
void casoMover(orbanel::ado::AdoConnection& db, ConexionContada& contada, const Publico::Servicios& servicios, int n)
{
    llenaRama(db, n);
    db.Execute(QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, "
                              "CC_Tipo, Es_Cve_Estado) VALUES ('A0', '0', 'DESTINO A', 0, 'AC'), "
                              "('B0', '0', 'DESTINO B', 0, 'AC')"));
    frmKT508& frm = frmKT508::Instancia(servicios);
    frm.show();
    const double carga = mejorDe(3, [&] { frm.CargarCecos(); });
    const auto nodo = [&](const char* clave) { return frm.tvCeCos->Nodes(QLatin1Char('N') + QLatin1String(clave)); };
    Medida arbol, almacen;
    for (int i = 0; i < 3; ++i) {
        Mide(arbol, contada, [&] { emit frm.tvCeCos->NodeDrop(nodo("1"), nodo("A0")); });
        Mide(almacen, contada, [&] {
            Publico::MueveCentro(servicios,
                                 {QStringLiteral("1"), QStringLiteral("A0"), QStringLiteral("B0"), std::nullopt});
        });
        frm.Sondea();
    }
    if (!nodo("1") || nodo("1")->Parent() != nodo("B0"))
        std::fprintf(stderr, "la rama no quedó donde se movió\n");
    fila("mover", n, arbol, carga);
    fila("mover almacén", n, almacen, carga);
}

void casoListado(orbanel::ado::AdoConnection& db, ConexionContada& contada, const Publico::Servicios& servicios, int n)
{
    llenaCatalogo(db, n, Forma::Ancha);
    frmKT508& frm = frmKT508::Instancia(servicios);
    frm.show();
    const int veces = n >= 100000 ? 3 : 5;
    const double carga = mejorDe(veces, [&] { frm.CargarCecos(); });

    // Memory first, from a listing never built before in this process.
    const long base = kbDe("VmRSS:");
    reiniciaPico();
    Medida listado;
    Mide(listado, contada, [&] { emit frm.Controles->Imprimir(); });
    const long pico = kbDe("VmHWM:") - base;
    listado.ms = std::min(listado.ms, mejorDe(veces - 1, [&] { emit frm.Controles->Imprimir(); }));
    const long textoKB = caracteresImpresos * 2 / 1024;
    std::printf("%-13s %8d %11ld %7ld %10.1f ms %10.1f ms %7.2f %10ld %10ld %7.2f\n", "listado", n, listado.sentencias,
                listado.viajes, listado.ms, carga, listado.ms / carga, textoKB, pico,
                textoKB > 0 ? double(pico) / textoKB : 0.0);
    std::fflush(stdout);
}

void tabla(const QString& nombre, const QString& url, int maximo)
{
    std::printf("\n%s\n%-13s %8s %11s %7s %13s %13s %7s %10s %10s %7s\n", qPrintable(nombre), "operación", "centros",
                "sentencias", "viajes", "tiempo", "carga árbol", "razón", "texto KB", "pico KB", "razón");
    std::fflush(stdout);
    auto corre = [&](const char* caso, int n) {
        if (n > maximo)
            return;
        casoAparte({QStringLiteral("--caso"), QString::fromLatin1(caso), QString::number(n), url});
    };
    for (const int n : {1000, 10000})
        corre("rama", n);
    for (const int n : {1000, 10000})
        corre("mover", n);
    for (const int n : {10000, 100000})
        corre("listado", n);
}

} // namespace

// bench_comandos --caso rama|mover|listado N URL: one case in a process of its own.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    orbanel::InstalaPlataforma();
    kt508::plataforma().NuevoImpresorTexto = [] { return std::make_unique<ImpresorBench>(); };

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 4 && args.first() == QLatin1String("--caso")) {
        try {
            orbanel::Sesion::Establece(abreLimpia(args.at(3)), QStringLiteral("BENCH"));
            orbanel::ado::AdoConnection& db = orbanel::Sesion::Conexion();
            ConexionContada contada(db);
            DatosBench datos(contada);
            const std::unique_ptr<kt508::IUtilerias> utilerias = kt508::plataforma().NuevoUtilerias();
            const Publico::Servicios servicios{&datos, utilerias.get()};
            if (args.at(1) == QLatin1String("rama"))
                casoRama(db, contada, servicios, args.at(2).toInt());
            else if (args.at(1) == QLatin1String("mover"))
                casoMover(db, contada, servicios, args.at(2).toInt());
            else
                casoListado(db, contada, servicios, args.at(2).toInt());
            delete &frmKT508::Instancia(servicios);
            return 0;
        } catch (const kt508::Error& e) {
            std::fprintf(stderr, "bench_comandos: %s\n", qPrintable(e.Description()));
            return 1;
        }
    }
    return correTablas("bench_comandos", args, tabla);
}
