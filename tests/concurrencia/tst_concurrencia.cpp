// Several users at once on one PostgreSQL database, each with its own connection in its own
// thread, through the store's routines: a seeded mix of New, delete, deactivate, reactivate and
// rename on a small catalogue. Afterwards the catalogue check finds nothing, and what each
// committed operation did is in the data.
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/Centro.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"
#include "kt508/store/Subarbol.h"
#include "suite/ado/AdoConnection.h"
#include "suite/schema/Schema.h"
#include "suite/verifica/Verificacion.h"
#include "tests/support/Backends.h"

#include <QHash>
#include <QMutex>
#include <QTest>

#include <condition_variable>
#include <iterator>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Usuarios = 4;
constexpr int Rondas = 30;  // the check runs between rounds, while nobody writes
constexpr int PorRonda = 5; // each user's operations in a round
constexpr unsigned Semilla = 508;

// One user's services: its own connection, its name as the operator, the local clock.
class DatosDeUsuario : public kt508::IDatos {
public:
    DatosDeUsuario(kt508::Connection& conexion, QString usuario)
        : m_conexion(conexion)
        , m_usuario(std::move(usuario))
    {
    }
    kt508::Connection& Conexion() override { return m_conexion; }
    QString Usuario() override { return m_usuario; }
    QVariant Parametro(const QString&, int, const QString&, const QString& porDefecto) override { return porDefecto; }
    int Mensaje(const QString&, int, const QString&, QWidget*, const QString&, const QString&) override { return 0; }
    void Aviso(const QString&, int, const QString&) override { }

private:
    kt508::Connection& m_conexion;
    QString m_usuario;
};

class RelojLocal : public kt508::IUtilerias {
public:
    QDateTime FechaServidor() override { return QDateTime::currentDateTime(); }
    QString FormatoFechaHora(const QDateTime& fecha) override { return fecha.toString(u"yyyy-MM-dd HH:mm:ss"_s); }
    QString FormatoFecha(const QDate& fecha) override { return fecha.toString(u"yyyy-MM-dd"_s); }
    QString ValorCampo(const QString&, const QString&, const QString&, const QString&) override { return {}; }
    int SiguienteClave(const QString&, const QString&) override { return 0; }
    QString AltaCuentaContable(const QString&, const QString&, short, bool, short, int, bool, const QString&,
                               const QString&) override
    {
        return {};
    }
    bool ValidaCambio(const QString&, const QString&, const QString&) override { return true; }
    QString UltimoError() override { return {}; }
    void EnviaTeclas(const QString&, int) override { }
    QString TextoTransaccion(const QString&, const QString& aplicacion) override { return aplicacion; }
    void BuscaEnArbol(kt508::TreeView&, const QString&) override { }
};

enum class Tipo { Nuevo, Elimina, Baja, Reactiva, Renombra };

// A committed operation: what it did to which centre.
struct Hecho {
    Tipo tipo;
    QString clave;
    QString valor; // the state or the description it stored
};

// What all users committed, and what was refused for another user's sake.
struct Registro {
    QMutex candado;
    std::vector<Hecho> hechos;
    int rehusadas = 0;
    QStringList fallos; // failures no other user explains
};

// Where the users and the checker wait for one another: at the start and at the end of each round.
class Encuentro {
public:
    explicit Encuentro(int partes)
        : m_partes(partes)
    {
    }
    void Espera()
    {
        std::unique_lock<std::mutex> bloqueo(m_candado);
        const long vuelta = m_vuelta;
        if (++m_llegados == m_partes) {
            m_llegados = 0;
            ++m_vuelta;
            m_aviso.notify_all();
        } else {
            m_aviso.wait(bloqueo, [&] { return m_vuelta != vuelta; });
        }
    }

private:
    std::mutex m_candado;
    std::condition_variable m_aviso;
    const int m_partes;
    int m_llegados = 0;
    long m_vuelta = 0;
};

// The keys and descriptions of the parent's children, as they are now.
QHash<QString, QString> Hijos(orbanel::ado::AdoConnection& db, const QString& padre)
{
    QHash<QString, QString> hijos;
    kt508::Recordset rs = db.ExecuteParams(
        u"SELECT CC_Cve_Centro_Costo, CC_Descripcion FROM Centro_Costo WHERE CC_Acumula = ?"_s, {padre});
    for (; !rs.Eof(); rs.MoveNext())
        hijos.insert(rs.Value(0).toString(), rs.Value(1).toString());
    return hijos;
}

// Another user's lock or change explains a refusal; nothing else does.
bool PorOtroUsuario(const QString& texto)
{
    for (const char* causa : {"después de abrirlo", "Otro usuario", "deadlock", "55P03", "40P01"}) {
        if (texto.contains(QString::fromUtf8(causa)))
            return true;
    }
    return false;
}

// One user: each operation in its own transaction, on a parent and a child picked at random.
void Usuario(const QString& url, int numero, Registro& registro, Encuentro& encuentro)
{
    std::unique_ptr<orbanel::ado::AdoConnection> db;
    try {
        db = orbanel::schema::Abre(url);
    } catch (const kt508::Error& e) {
        QMutexLocker bloqueo(&registro.candado);
        registro.fallos << e.Description();
    }
    DatosDeUsuario datos(*db, u"U%1"_s.arg(numero));
    RelojLocal reloj;
    const Publico::Servicios servicios{&datos, &reloj};
    std::mt19937 azar(Semilla + static_cast<unsigned>(numero));
    for (int i = 0; i < Rondas * PorRonda; ++i) {
        if (i % PorRonda == 0) {
            encuentro.Espera(); // the round starts
            if (!db)
                return encuentro.Espera();
        }
        const QString padre = azar() % 4 ? u"P1"_s : u"P2"_s;
        Hecho hecho{Tipo::Nuevo, u"U%1-%2"_s.arg(numero).arg(i), QString()};
        try {
            const QHash<QString, QString> hijos = Hijos(*db, padre);
            // New and delete most, so that a parent often loses its last child while another user adds one.
            constexpr Tipo tiradas[] = {Tipo::Nuevo,   Tipo::Nuevo,    Tipo::Nuevo,   Tipo::Elimina,
                                        Tipo::Elimina, Tipo::Elimina,  Tipo::Elimina, Tipo::Elimina,
                                        Tipo::Baja,    Tipo::Reactiva, Tipo::Renombra};
            hecho.tipo = hijos.isEmpty() ? Tipo::Nuevo : tiradas[azar() % std::size(tiradas)];
            if (hecho.tipo != Tipo::Nuevo)
                hecho.clave = hijos.keys().value(static_cast<qsizetype>(azar() % hijos.size()));
            Publico::GuardaTransaccion transaccion(servicios.Conexion());
            const Publico::Sello sello{servicios.Operador(), servicios.FechaHoraServidor()};
            switch (hecho.tipo) {
            case Tipo::Nuevo: {
                Publico::CentroCosto centro;
                centro.acumula = padre;
                centro.clave = hecho.clave;
                centro.descripcion = hecho.clave;
                Publico::AltaCentro(servicios.Conexion(), centro, sello);
                break;
            }
            case Tipo::Elimina:
                Publico::BorraCentro(servicios, hecho.clave, padre);
                Publico::ActualizaPadre(servicios, padre);
                break;
            case Tipo::Baja:
            case Tipo::Reactiva:
                hecho.valor = hecho.tipo == Tipo::Baja ? u"BA"_s : u"AC"_s;
                Publico::CambiaEstado(servicios, hecho.clave, hecho.valor);
                break;
            case Tipo::Renombra:
                hecho.valor = u"R%1-%2"_s.arg(numero).arg(i);
                Publico::RenombraCentro(servicios, hecho.clave, hijos.value(hecho.clave), hecho.valor);
                break;
            }
            transaccion.Confirma();
            QMutexLocker bloqueo(&registro.candado);
            registro.hechos.push_back(hecho);
        } catch (const kt508::Error& e) {
            QMutexLocker bloqueo(&registro.candado);
            if (PorOtroUsuario(e.Description()))
                ++registro.rehusadas;
            else
                registro.fallos << e.Description();
        }
        if (i % PorRonda == PorRonda - 1)
            encuentro.Espera(); // the round ends
    }
}

} // namespace

class TstConcurrencia : public QObject {
    Q_OBJECT

private slots:
    void variosUsuarios();
};

void TstConcurrencia::variosUsuarios()
{
    if (!pruebas::backends().contains(u"postgresql"_s))
        QSKIP("Sin servidor PostgreSQL de pruebas (KT508_TEST_PG).");
    ABRE_BACKEND(db, u"postgresql"_s, pruebas::Contenido::Vacio);
    for (const char* fila : {"'P1', '0', 1", "'P2', '0', 1", "'A', 'P1', 0", "'B', 'P2', 0", "'C', 'P2', 0"})
        db->Execute(u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Tipo, CC_Descripcion, "
                    "Es_Cve_Estado) VALUES (%1, 'Inicial', 'AC')"_s.arg(QLatin1String(fila)));

    Registro registro;
    Encuentro encuentro(Usuarios + 1);
    std::vector<std::thread> usuarios;
    for (int n = 1; n <= Usuarios; ++n)
        usuarios.emplace_back(Usuario, pruebas::urlDe(u"postgresql"_s), n, std::ref(registro), std::ref(encuentro));
    QStringList informes; // what the check found after each round
    for (int ronda = 1; ronda <= Rondas; ++ronda) {
        encuentro.Espera();
        encuentro.Espera();
        const orbanel::verifica::Informe informe = orbanel::verifica::Verifica(*db);
        if (!informe.problemas.isEmpty())
            informes << u"ronda %1: %2"_s.arg(ronda).arg(informe.Texto());
    }
    for (std::thread& usuario : usuarios)
        usuario.join();

    QVERIFY2(registro.fallos.isEmpty(), qPrintable(registro.fallos.join(u'\n')));
    QVERIFY2(informes.isEmpty(), qPrintable(informes.join(u'\n')));
    QVERIFY2(registro.hechos.size() > Usuarios * Rondas * PorRonda / 2,
             qPrintable(QString::number(registro.rehusadas)));

    // Each key's row as it ended, and what the committed operations say of it.
    QHash<QString, QStringList> filas; // key -> description, state
    for (kt508::Recordset rs = db->Execute(u"SELECT CC_Cve_Centro_Costo, CC_Descripcion, Es_Cve_Estado FROM "
                                           "Centro_Costo"_s);
         !rs.Eof(); rs.MoveNext())
        filas.insert(rs.Value(0).toString(), {rs.Value(1).toString(), rs.Value(2).toString()});
    QHash<QString, QStringList> nombres, estados;
    QSet<QString> nuevos, eliminados;
    for (const Hecho& h : registro.hechos) {
        if (h.tipo == Tipo::Nuevo)
            nuevos << h.clave;
        else if (h.tipo == Tipo::Elimina)
            eliminados << h.clave;
        else
            (h.tipo == Tipo::Renombra ? nombres : estados)[h.clave] << h.valor;
    }
    for (const QString& clave : nuevos)
        QVERIFY2(filas.contains(clave) != eliminados.contains(clave), qPrintable(clave));
    for (const QString& clave : eliminados)
        QVERIFY2(!filas.contains(clave), qPrintable(clave));
    for (auto fila = filas.cbegin(); fila != filas.cend(); ++fila) {
        const QString& clave = fila.key();
        if (!clave.startsWith(u'P'))
            QVERIFY2(nombres.value(clave, {nuevos.contains(clave) ? clave : u"Inicial"_s}).contains(fila->value(0)),
                     qPrintable(clave + u' ' + fila->value(0)));
        QVERIFY2(estados.value(clave, {u"AC"_s}).contains(fila->value(1)), qPrintable(clave + u' ' + fila->value(1)));
    }
    QVERIFY(!nuevos.isEmpty() && !eliminados.isEmpty());
}

QTEST_MAIN(TstConcurrencia)
#include "tst_concurrencia.moc"
