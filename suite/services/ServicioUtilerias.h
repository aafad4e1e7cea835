#pragma once

#include "kt508/services/Utilerias.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QVariant>

namespace orbanel {

namespace ado {
class AdoConnection;
}

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
    QString SiguienteCuentaHija(const QString& cuentaPadre);
    QString RevisaJerarquia(const QString& clave);
    void RegistraCambio(const QString& tabla, const QString& clave, const QString& extra);

    QString m_ultimoError;
    // The server's clock as last read, the database it was read from, and the time since then.
    QDateTime m_servidor;
    QString m_servidorDe;
    QElapsedTimer m_desdeLectura;
};

// Throws unless the text is a plain SQL identifier (letters, digits, underscore).
QString IdentificadorValido(const QString& nombre);

} // namespace orbanel
