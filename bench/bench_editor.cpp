// New and Edit through the real editor, against the plain tree load measured in the same run.
// The editor is filled and accepted from inside its modal loop; the time the "user" spends
// filling it is left out. Prints figures only.
//
//   bench_editor [--max N] [--latencia MS] [postgresql://user@host:port/db]
//   (the server database is overwritten; --latencia adds MS to each round trip to it)
//
// Columns: carga = CargarCecos; nuevo = from accepting to the end of New (save, tree rebuilt,
// new centre shown); guardar = the save alone; abrir = from the button to the editor ready;
// editar = the whole Edit command without the user's part; sentencias and viajes = the
// statements and round trips of the whole New and Edit commands. Then the import of 10,000 rows.
#include "bench/CasoImportacion.h"
#include "bench/Comun.h"
#include "kt508/catalogue/frmKT508.h"
#include "kt508/editor/frmCATAddCeCo.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "kt508/store/Servicios.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/Sesion.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace bench;

namespace {

// The settings at their defaults, except the parent ledger account: a new centre gets its account.
class DatosEditor : public DatosBench {
public:
    using DatosBench::DatosBench;
    QVariant Parametro(const QString& nombre, int valor, const QString& tipo, const QString& porDefecto) override
    {
        if (nombre == QLatin1String("CON_CUENTA_PADRE_CENTRO_COSTO"))
            return QStringLiteral("5100");
        return DatosBench::Parametro(nombre, valor, tipo, porDefecto);
    }
};

struct Tiempos {
    double abrir = 0;   // button to editor ready
    double guardar = 0; // the save alone
    double cerrar = 0;  // accepting to the end of the command
    long sentencias = 0;
    long viajes = 0;
};

// Presses a command and, once the editor is up, lets `llena` fill it and accepts it.
Tiempos Comando(void (kt508::Controles::*evento)(), kt508::Controles& barra, ConexionContada& contada,
                const std::function<void(frmCATAddCeCo&)>& llena)
{
    Tiempos t;
    contada.Reinicia();
    QElapsedTimer reloj;
    QElapsedTimer aceptar;
    // Polled: the editor is up once it is the modal window on screen.
    QTimer espera;
    espera.setInterval(0);
    QObject::connect(&espera, &QTimer::timeout, [&] {
        auto* ed = qobject_cast<frmCATAddCeCo*>(QApplication::activeModalWidget());
        if (!ed || !ed->isVisible())
            return;
        espera.stop();
        t.abrir = reloj.nsecsElapsed() / 1e6;
        llena(*ed);
        aceptar.start();
        emit ed->Controles->B1Click();
        t.guardar = aceptar.nsecsElapsed() / 1e6;
        if (!ed->Add)
            std::fprintf(stderr, "el editor no guardó\n");
    });
    espera.start();
    reloj.start();
    emit(barra.*evento)();
    if (espera.isActive())
        std::fprintf(stderr, "no se abrió el editor\n");
    t.cerrar = aceptar.nsecsElapsed() / 1e6;
    t.sentencias = contada.Sentencias();
    t.viajes = contada.ViajesHechos();
    return t;
}

void Selecciona(frmKT508& frm, const QString& clave)
{
    kt508::Node* nodo = frm.tvCeCos->Nodes(QLatin1Char('N') + clave);
    frm.tvCeCos->setSelectedItem(nodo);
    emit frm.tvCeCos->NodeClick(nodo);
}

// The best times; the statements and round trips of the latest.
Tiempos Mejor(const Tiempos& a, const Tiempos& b)
{
    return {std::min(a.abrir, b.abrir), std::min(a.guardar, b.guardar), std::min(a.cerrar, b.cerrar), b.sentencias,
            b.viajes};
}

void unCaso(const QString& url, int n)
{
    {
        auto db = abreLimpia(url);
        llenaCatalogo(*db, n, Forma::Ancha);
        db->Execute(QStringLiteral("INSERT INTO Grupo_Centro_Costo (Gcc_Cve_Grupo_Centro_Costo, Gcc_Descripcion) "
                                   "VALUES ('000000', 'GENERAL')"));
        db->Execute(QStringLiteral("INSERT INTO Cuenta_Contable (Cc_Cve_Cuenta_Contable, Cc_Descripcion, CC_Tipo, "
                                   "Cc_Titulo, Cc_Naturaleza, Cc_Resultado, Cc_Grupo_Cuenta_Contable) "
                                   "VALUES ('5100', 'GASTOS POR CENTRO DE COSTO', 1, 1, 'DE', 'SI', 'GAS')"));
        orbanel::Sesion::Establece(std::move(db), QStringLiteral("BENCH"));
    }
    ConexionContada contada(orbanel::Sesion::Conexion());
    DatosEditor datos(contada);
    const std::unique_ptr<kt508::IUtilerias> utilerias = kt508::plataforma().NuevoUtilerias();
    const Publico::Servicios servicios{&datos, utilerias.get()};
    frmKT508& frm = frmKT508::Instancia(servicios);
    frm.show();

    const int veces = n >= 100000 ? 3 : 5;
    const double carga = mejorDe(veces, [&] { frm.CargarCecos(); });

    Tiempos nuevo{1e18, 1e18, 1e18};
    for (int i = 1; i <= veces; ++i) {
        Selecciona(frm, QStringLiteral("1"));
        nuevo = Mejor(nuevo, Comando(&kt508::Controles::Nuevo, *frm.Controles, contada, [i](frmCATAddCeCo& ed) {
                          ed.txtClave->setText(QStringLiteral("X%1").arg(i));
                          ed.txtTexto->setText(QStringLiteral("CENTRO NUEVO %1").arg(i));
                      }));
        if (!frm.tvCeCos->Nodes(QStringLiteral("NX%1").arg(i)) || frm.tvCeCos->Count() != n + 1 + i)
            std::fprintf(stderr, "el árbol no tiene el centro nuevo o le faltan centros\n");
    }

    Tiempos editar{1e18, 1e18, 1e18};
    const QString editado = QString::number(n / 2);
    for (int i = 1; i <= 5; ++i) {
        Selecciona(frm, editado);
        editar = Mejor(editar, Comando(&kt508::Controles::Editar, *frm.Controles, contada, [i](frmCATAddCeCo& ed) {
                           ed.txtTexto->setText(QStringLiteral("EDITADO %1").arg(i));
                       }));
    }

    std::printf("%-9d %9.1f ms %9.1f ms %7.2f %9.2f ms %9.1f ms %9.1f ms %9.2f ms %6ld/%-6ld %6ld/%-6ld %9ld\n", n,
                carga, nuevo.cerrar, nuevo.cerrar / carga, nuevo.guardar, nuevo.abrir, editar.abrir + editar.cerrar,
                editar.guardar, nuevo.sentencias, nuevo.viajes, editar.sentencias, editar.viajes, picoMemoriaMB());
    std::fflush(stdout);
    delete &frm;
    orbanel::Sesion::Cierra();
}

void tabla(const QString& nombre, const QString& url, int maximo)
{
    std::printf("\n%s (forma ancha)\n%-9s %12s %12s %7s %12s %12s %12s %12s %13s %13s %9s\n", qPrintable(nombre),
                "centros", "carga", "nuevo", "razon", "guardar", "abrir", "editar", "guardar ed.", "nuevo s/v",
                "editar s/v", "pico MB");
    std::fflush(stdout);
    for (const int n : {10000, 100000}) {
        if (n > maximo)
            break;
        casoAparte({QStringLiteral("--caso"), QString::number(n), url});
    }
    if (maximo >= 10000)
        casoAparte({QStringLiteral("--importa"), QStringLiteral("10000"), url});
}

} // namespace

// bench_editor [--max N] [--latencia MS] [postgresql://...]: the table for SQLite, and for the
// server when given.
// bench_editor --caso N URL: one row (what the table runs for each size); --importa N URL: the import.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    orbanel::InstalaPlataforma();

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 3 && (args.first() == QLatin1String("--caso") || args.first() == QLatin1String("--importa"))) {
        try {
            if (args.first() == QLatin1String("--importa"))
                casoImportacion(args.at(2), args.at(1).toInt(), *kt508::plataforma().NuevoUtilerias());
            else
                unCaso(args.at(2), args.at(1).toInt());
            return 0;
        } catch (const kt508::Error& e) {
            std::fprintf(stderr, "bench_editor: %s\n", qPrintable(e.Description()));
            return 1;
        }
    }
    return correTablas("bench_editor", args, tabla);
}
