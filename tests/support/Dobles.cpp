#include "tests/support/Dobles.h"

#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/ServicioDatos.h"
#include "suite/services/Sesion.h"

#include <utility>

namespace pruebas {

// --- Datos -------------------------------------------------------------------------

int GuionDatos::Responde(int estilo)
{
    if (!respuestas.isEmpty())
        return respuestas.takeFirst();
    const bool preguntaSiNo = (estilo & 0x7) == 4;
    return preguntaSiNo && (estilo & 0x100) ? kt508::vbNo : preguntaSiNo ? kt508::vbYes : kt508::vbOK;
}

QList<LlamadaMensaje> GuionDatos::Mensajes() const
{
    QList<LlamadaMensaje> mensajes;
    for (const LlamadaMensaje& llamada : llamadas) {
        if (!llamada.aviso)
            mensajes.append(llamada);
    }
    return mensajes;
}

QStringList GuionDatos::ErrIds() const
{
    QStringList ids;
    for (const LlamadaMensaje& llamada : llamadas)
        ids.append(llamada.errId);
    return ids;
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
    m_guion->llamadas.append({texto, estilo, titulo, modulo, errId, owner, false});
    return m_guion->Responde(estilo);
}

void DatosDePrueba::Aviso(const QString& texto, int estilo, const QString& titulo)
{
    m_guion->llamadas.append({texto, estilo, titulo, QString(), QString(), nullptr, true});
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

QString UtileriasDePrueba::AltaCuentaContable(const QString& cuentaPadre, const QString& descripcion, short tipo,
                                              bool afectable, short titulo, int naturaleza, bool resultado,
                                              const QString& vacio, const QString& grupo)
{
    m_rechazo.clear();
    LlamadaAltaCuenta llamada{cuentaPadre, descripcion, tipo, afectable, titulo, naturaleza, resultado, vacio, grupo, {}};
    if (m_guion->falloAltaCuenta)
        m_rechazo = *m_guion->falloAltaCuenta;
    else
        llamada.resultadoDevuelto = ServicioUtilerias::AltaCuentaContable(cuentaPadre, descripcion, tipo, afectable,
                                                                          titulo, naturaleza, resultado, vacio, grupo);
    m_guion->altasCuenta.append(llamada);
    return llamada.resultadoDevuelto;
}

bool UtileriasDePrueba::ValidaCambio(const QString& tabla, const QString& clave, const QString& extra)
{
    m_rechazo.clear();
    bool resultado = false;
    if (m_guion->rechazoValidaCambio)
        m_rechazo = *m_guion->rechazoValidaCambio;
    else
        resultado = ServicioUtilerias::ValidaCambio(tabla, clave, extra);
    m_guion->validaciones.append({tabla, clave, extra, resultado});
    return resultado;
}

QString UtileriasDePrueba::UltimoError()
{
    return m_rechazo.isEmpty() ? ServicioUtilerias::UltimoError() : m_rechazo;
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

// --- Printing and record consultation -------------------------------------------------

ImpresorDePrueba::ImpresorDePrueba(std::shared_ptr<GuionImpresor> guion)
    : m_guion(std::move(guion))
{
}

void ImpresorDePrueba::Imprime(const QString& texto, const QString& titulo, int a, int b, int c, int d, int e, int f)
{
    m_guion->llamadas.append({texto, titulo, {a, b, c, d, e, f}});
}

ConsultaDePrueba::ConsultaDePrueba(std::shared_ptr<GuionConsulta> guion)
    : m_guion(std::move(guion))
{
}

void ConsultaDePrueba::Muestra(const QString& tabla, const QString& campoClave, const QString& clave,
                               const QString& opcion1, const QString& opcion2, const QString& opcion3,
                               const QString& opcion4)
{
    m_guion->llamadas.append({tabla, campoClave, clave, {opcion1, opcion2, opcion3, opcion4}});
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
    p.NuevoImpresorTexto = [guion = d.impresor] { return std::make_unique<ImpresorDePrueba>(guion); };
    p.NuevoConsultaRegistro = [guion = d.consulta] { return std::make_unique<ConsultaDePrueba>(guion); };
    p.InputBox = [guion = d.entrada](const QString& prompt, const QString& titulo, const QString& textoInicial) {
        guion->preguntas.append({prompt, titulo, textoInicial});
        return guion->respuestas.isEmpty() ? QString() : guion->respuestas.takeFirst();
    };
    return d;
}

} // namespace pruebas
