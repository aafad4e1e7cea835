#include "tests/support/Dobles.h"

#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/ServicioDatos.h"
#include "suite/services/Sesion.h"

#include <utility>

namespace pruebas {

namespace {

// Printing and record consultation only record: no window, no printer.
struct ImpresorDePrueba : kt508::IImpresorTexto {
    std::shared_ptr<GuionImpresor> guion;
    void Imprime(const QString& texto, const QString& titulo, int a, int b, int c, int d, int e, int f) override
    {
        guion->llamadas.append({texto, titulo, {a, b, c, d, e, f}});
        if (!guion->fallo.isEmpty())
            throw kt508::Error(guion->fallo);
    }
};

struct ConsultaDePrueba : kt508::IConsultaRegistro {
    std::shared_ptr<GuionConsulta> guion;
    void Muestra(const QString& tabla, const QString& campoClave, const QString& clave, const QString&, const QString&,
                 const QString&, const QString&) override
    {
        guion->llamadas.append({tabla, campoClave, clave});
    }
};

// Every double the platform makes shares the script the test holds.
template <class Doble, class Guion> auto Fabrica(std::shared_ptr<Guion> guion)
{
    return [guion] {
        auto doble = std::make_unique<Doble>();
        doble->guion = guion;
        return doble;
    };
}

} // namespace

// --- Datos -------------------------------------------------------------------------

int GuionDatos::Responde(int estilo)
{
    if (!respuestas.isEmpty())
        return respuestas.takeFirst();
    const bool preguntaSiNo = (estilo & 0x7) == 4;
    return preguntaSiNo && (estilo & 0x100) ? kt508::vbNo : preguntaSiNo ? kt508::vbYes : kt508::vbOK;
}

bool GuionDatos::EnTransaccion() const
{
    return transaccionAbierta && transaccionAbierta();
}

QList<LlamadaMensaje> GuionDatos::Mensajes() const
{
    QList<LlamadaMensaje> mensajes = llamadas;
    mensajes.removeIf([](const LlamadaMensaje& llamada) { return llamada.aviso; });
    return mensajes;
}

DatosDePrueba::DatosDePrueba(std::shared_ptr<GuionDatos> guion)
    : m_guion(std::move(guion))
{
}

kt508::Connection& DatosDePrueba::Conexion()
{
    return orbanel::Sesion::Conexion();
}

QString DatosDePrueba::Usuario()
{
    return m_guion->operador;
}

QVariant DatosDePrueba::Parametro(const QString& nombre, int valor, const QString& tipo, const QString& porDefecto)
{
    return orbanel::ServicioDatos().Parametro(nombre, valor, tipo, porDefecto);
}

int DatosDePrueba::Mensaje(const QString& texto, int estilo, const QString& titulo, QWidget* owner,
                           const QString& modulo, const QString& errId)
{
    m_guion->llamadas.append({texto, estilo, titulo, modulo, errId, owner, false, m_guion->EnTransaccion()});
    if (m_guion->alMostrar)
        m_guion->alMostrar();
    return m_guion->Responde(estilo);
}

void DatosDePrueba::Aviso(const QString& texto, int estilo, const QString& titulo)
{
    m_guion->llamadas.append({texto, estilo, titulo, QString(), QString(), nullptr, true, m_guion->EnTransaccion()});
    m_guion->Responde(estilo);
}

// --- Utilerias ---------------------------------------------------------------------

UtileriasDePrueba::UtileriasDePrueba(std::shared_ptr<GuionUtilerias> guion)
    : m_guion(std::move(guion))
{
}

QDateTime UtileriasDePrueba::FechaServidor()
{
    return m_guion->reloj ? *m_guion->reloj : ServicioUtilerias::FechaServidor();
}

bool UtileriasDePrueba::ValidaCambio(const QString& tabla, const QString& clave, const QString& extra)
{
    const bool resultado = ServicioUtilerias::ValidaCambio(tabla, clave, extra);
    m_guion->validaciones.append({tabla, clave, extra});
    return resultado;
}

void UtileriasDePrueba::BuscaEnArbol(kt508::TreeView& arbol, const QString& texto)
{
    m_guion->busquedas.append({&arbol, texto});
    if (!m_guion->soloRegistraBusquedas)
        ServicioUtilerias::BuscaEnArbol(arbol, texto);
}

QString UtileriasDePrueba::Operador()
{
    return m_guion->operador;
}

// --- Installing them ----------------------------------------------------------------

Dobles InstalaDobles(const QString& operador)
{
    orbanel::InstalaPlataforma();
    Dobles d{std::make_shared<GuionDatos>(), std::make_shared<GuionUtilerias>(), std::make_shared<GuionEntrada>(),
             std::make_shared<GuionImpresor>(), std::make_shared<GuionConsulta>()};
    d.datos->operador = operador;
    d.utilerias->operador = operador;

    kt508::Plataforma& p = kt508::plataforma();
    p.NuevoDatos = [guion = d.datos] { return std::make_unique<DatosDePrueba>(guion); };
    p.NuevoUtilerias = [guion = d.utilerias] { return std::make_unique<UtileriasDePrueba>(guion); };
    p.NuevoImpresorTexto = Fabrica<ImpresorDePrueba>(d.impresor);
    p.NuevoConsultaRegistro = Fabrica<ConsultaDePrueba>(d.consulta);
    p.InputBox = [guion = d.entrada](const QString&, const QString&, const QString&) {
        return guion->respuestas.isEmpty() ? QString() : guion->respuestas.takeFirst();
    };
    return d;
}

} // namespace pruebas
