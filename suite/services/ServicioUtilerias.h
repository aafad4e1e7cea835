#pragma once

#include "kt508/services/Utilerias.h"
#include "suite/ado/AdoConnection.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QVariant>

namespace orbanel {

// Utilerias over the session's connection: statements with bound values, names of
// tables and columns checked before they reach a statement.
class ServicioUtilerias : public kt508::IUtilerias {
public:
    QDateTime FechaServidor() override;
    QString FormatoFechaHora(const QDateTime& fecha) override;
    QString FormatoFecha(const QDate& fecha) override;
    QString ValorCampo(const QString& tabla, const QString& campoClave, const QString& clave,
                       const QString& campo) override;
    int SiguienteClave(const QString& tabla, const QString& campoClave) override;
    QString AltaCuentaContable(const QString& cuentaPadre, const QString& descripcion, short tipo, bool afectable,
                               short titulo, int naturaleza, bool resultado, const QString& vacio,
                               const QString& grupo) override;
    bool ValidaCambio(const QString& tabla, const QString& clave, const QString& extra) override;
    QString UltimoError() override;
    void EnviaTeclas(const QString& teclas, int espera) override;
    QString TextoTransaccion(const QString& codigo, const QString& aplicacion) override;
    void BuscaEnArbol(kt508::TreeView& arbol, const QString& texto) override;

protected:
    virtual QString Operador();
    ado::AdoConnection& Conexion();

private:
    // The server's clock as last read, followed since on this machine's monotonic clock.
    struct Reloj {
        const ado::AdoConnection* conexion = nullptr;
        QString url;
        QDateTime leida; // the server's time when `desde` started
        QElapsedTimer desde;
    };

    void LeeReloj(ado::AdoConnection& db);
    bool RelojVigente(const ado::AdoConnection& db) const;
    QDateTime HoraSeguida() const;
    QString SiguienteCuentaHija(const QString& cuentaPadre);
    QString RevisaJerarquia(const QString& clave);
    static QString JuzgaCadena(kt508::Recordset cadena, const QString& clave);
    ado::AdoConnection::ConValores Registro(const QString& tabla, const QString& clave, const QString& extra,
                                            const QDateTime& fecha);
    void RegistraCambio(const QString& tabla, const QString& clave, const QString& extra);
    QString RevisaYRegistra(const QString& tabla, const QString& clave, const QString& extra);

    QString m_ultimoError;
    Reloj m_reloj;
};

// Throws unless the text is a plain SQL identifier (letters, digits, underscore).
QString IdentificadorValido(const QString& nombre);

} // namespace orbanel
