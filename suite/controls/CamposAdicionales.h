#pragma once

#include <QHash>
#include <QString>

#include <vector>

namespace orbanel {

struct DefinicionCampo {
    QString campo;
    QString etiqueta;
    bool obligatorio = false;
};

// The additional fields a table keeps per record: their definitions in
// Campos_Adicionales_Def, their values in Campos_Adicionales, on the session's
// connection. Errors of the database raise kt508::Error.
class CamposAdicionales {
public:
    void setTabla(const QString& tabla);
    QString Tabla() const;

    // Definitions of the table and the values stored for that key.
    void Carga(const QString& clave);
    const std::vector<DefinicionCampo>& Definiciones();

    QString Valor(const QString& campo) const;
    void setValor(const QString& campo, const QString& valor);

    // False when an obligatory field is empty or the definitions cannot be read;
    // Mensaje says why.
    bool Valida();
    QString Mensaje() const;

    // Stores the values for that key, inside whatever transaction the caller holds.
    void Guarda(const QString& clave);

private:
    void CargaDefiniciones();

    QString m_tabla;
    std::vector<DefinicionCampo> m_definiciones;
    bool m_definidas = false;
    QHash<QString, QString> m_valores;
    QString m_mensaje;
};

} // namespace orbanel
