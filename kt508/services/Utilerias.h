#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace kt508 {

class TreeView;

// The suite's utility service.
class IUtilerias {
public:
    virtual ~IUtilerias();

    virtual QDateTime FechaServidor() = 0;
    virtual QString FormatoFechaHora(const QDateTime& fecha) = 0;
    virtual QString FormatoFecha(const QDate& fecha) = 0;
    // "" when no row has the key.
    virtual QString ValorCampo(const QString& tabla, const QString& campoClave, const QString& clave,
                               const QString& campo) = 0;
    virtual int SiguienteClave(const QString& tabla, const QString& campoClave) = 0;
    // The code of the new account, or "" (see UltimoError).
    virtual QString AltaCuentaContable(const QString& cuentaPadre, const QString& descripcion, short tipo,
                                       bool afectable, short titulo, int naturaleza, bool resultado,
                                       const QString& vacio, const QString& grupo) = 0;
    // Inside the caller's transaction, after the change and before the commit.
    virtual bool ValidaCambio(const QString& tabla, const QString& clave, const QString& extra) = 0;
    virtual QString UltimoError() = 0;
    virtual void EnviaTeclas(const QString& teclas, int espera) = 0;
    virtual QString TextoTransaccion(const QString& codigo, const QString& aplicacion) = 0;
    // Selects and shows the next node after the selection whose text holds the value.
    virtual void BuscaEnArbol(TreeView& arbol, const QString& texto) = 0;
};

} // namespace kt508
