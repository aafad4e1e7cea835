#pragma once

#include "kt508/services/Datos.h"
#include "kt508/services/Impresion.h"
#include "suite/services/ServicioUtilerias.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

// Scripted stand-ins for the services that talk to the user: answers are queued,
// every call is recorded. The connection stays the real one of orbanel::Sesion.
namespace pruebas {

// --- Datos -------------------------------------------------------------------------

struct LlamadaMensaje {
    QString texto;
    int estilo = 0;
    QString titulo;
    QString modulo;
    QString errId;
    QPointer<QWidget> owner;
    bool aviso = false;          // true for Datos.Aviso
    bool conTransaccion = false; // shown while a transaction was open
};

struct GuionDatos {
    QString operador = QStringLiteral("PRUEBAS");
    QList<int> respuestas;                    // answers of Mensaje/Aviso, in order
    QList<LlamadaMensaje> llamadas;           // every Mensaje and Aviso
    std::function<void()> alMostrar;          // runs while each Mensaje is up, before it is answered
    std::function<bool()> transaccionAbierta; // asked at every message, when set

    // With no queued answer, Mensaje answers as Enter would: No (7) for a question
    // whose second button is the default, else the first button.
    int Responde(int estilo);
    QList<LlamadaMensaje> Mensajes() const; // only Mensaje calls
    bool EnTransaccion() const;
};

class DatosDePrueba : public kt508::IDatos {
public:
    explicit DatosDePrueba(std::shared_ptr<GuionDatos> guion);

    kt508::Connection& Conexion() override;
    QString Usuario() override;
    QVariant Parametro(const QString& nombre, int valor, const QString& tipo, const QString& porDefecto) override;
    int Mensaje(const QString& texto, int estilo, const QString& titulo, QWidget* owner, const QString& modulo,
                const QString& errId) override;
    void Aviso(const QString& texto, int estilo, const QString& titulo) override;

private:
    std::shared_ptr<GuionDatos> m_guion;
};

// --- Utilerias ---------------------------------------------------------------------

struct LlamadaValidaCambio {
    QString tabla;
    QString clave;
    QString extra;
};

struct LlamadaBusqueda {
    QPointer<QWidget> arbol;
    QString texto;
};

struct GuionUtilerias {
    QString operador = QStringLiteral("PRUEBAS");
    std::optional<QDateTime> reloj;     // FechaServidor; the server's clock when empty
    bool soloRegistraBusquedas = false; // BuscaEnArbol records without searching

    QList<LlamadaBusqueda> busquedas;
    QList<LlamadaValidaCambio> validaciones;
};

// The real utility service with a settable clock and recorded calls.
class UtileriasDePrueba : public orbanel::ServicioUtilerias {
public:
    explicit UtileriasDePrueba(std::shared_ptr<GuionUtilerias> guion);

    QDateTime FechaServidor() override;
    bool ValidaCambio(const QString& tabla, const QString& clave, const QString& extra) override;
    void BuscaEnArbol(kt508::TreeView& arbol, const QString& texto) override;

protected:
    QString Operador() override;

private:
    std::shared_ptr<GuionUtilerias> m_guion;
};

// --- Input box, printing, record consultation ---------------------------------------

struct GuionEntrada {
    QList<QString> respuestas; // "" is a cancel; an empty queue cancels too
};

struct LlamadaImprime {
    QString texto;
    QString titulo;
    QList<int> numeros; // the six whole numbers, in order
};

struct GuionImpresor {
    QList<LlamadaImprime> llamadas;
    QString fallo; // when set, Imprime fails with it once the call is recorded
};

struct LlamadaConsulta {
    QString tabla;
    QString campoClave;
    QString clave;
};

struct GuionConsulta {
    QList<LlamadaConsulta> llamadas;
};

// --- Installing them ----------------------------------------------------------------

// Handles to the scripts of the installed doubles: every object the platform creates
// from now on shares them.
struct Dobles {
    std::shared_ptr<GuionDatos> datos;
    std::shared_ptr<GuionUtilerias> utilerias;
    std::shared_ptr<GuionEntrada> entrada;
    std::shared_ptr<GuionImpresor> impresor;
    std::shared_ptr<GuionConsulta> consulta;
};

// Installs the real platform on kt508::plataforma(), then the doubles over the service
// entries. The operator is the one both Datos and Utilerias report.
Dobles InstalaDobles(const QString& operador = QStringLiteral("PRUEBAS"));

} // namespace pruebas
