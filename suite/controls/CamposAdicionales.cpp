#include "suite/controls/CamposAdicionales.h"

#include "suite/ado/AdoConnection.h"
#include "suite/services/Sesion.h"

#include "kt508/services/Error.h"

namespace orbanel {

void CamposAdicionales::setTabla(const QString& tabla)
{
    m_tabla = tabla;
    m_definiciones.clear();
    m_definidas = false;
    m_valores.clear();
    m_mensaje.clear();
}

QString CamposAdicionales::Tabla() const
{
    return m_tabla;
}

void CamposAdicionales::CargaDefiniciones()
{
    m_definiciones.clear();
    m_definidas = false;
    if (m_tabla.isEmpty()) {
        m_definidas = true;
        return;
    }
    kt508::Recordset rs = Sesion::Conexion().ExecuteParams(
        QStringLiteral("SELECT Cad_Campo, Cad_Etiqueta, Cad_Obligatorio FROM Campos_Adicionales_Def "
                       "WHERE Cad_Tabla = ? ORDER BY Cad_Orden, Cad_Campo"),
        {m_tabla});
    for (; !rs.Eof(); rs.MoveNext()) {
        DefinicionCampo definicion;
        definicion.campo = rs.Value(0).toString();
        definicion.etiqueta = rs.Value(1).toString();
        if (definicion.etiqueta.isEmpty())
            definicion.etiqueta = definicion.campo;
        definicion.obligatorio = rs.Value(2).toInt() != 0;
        m_definiciones.push_back(definicion);
    }
    m_definidas = true;
}

void CamposAdicionales::Carga(const QString& clave)
{
    m_valores.clear();
    CargaDefiniciones();
    if (m_tabla.isEmpty())
        return;
    kt508::Recordset rs = Sesion::Conexion().ExecuteParams(
        QStringLiteral("SELECT Ca_Campo, Ca_Valor FROM Campos_Adicionales WHERE Ca_Tabla = ? AND Ca_Clave = ?"),
        {m_tabla, clave});
    for (; !rs.Eof(); rs.MoveNext())
        m_valores.insert(rs.Value(0).toString(), rs.Value(1).toString());
}

const std::vector<DefinicionCampo>& CamposAdicionales::Definiciones()
{
    if (!m_definidas)
        CargaDefiniciones();
    return m_definiciones;
}

QString CamposAdicionales::Valor(const QString& campo) const
{
    return m_valores.value(campo);
}

void CamposAdicionales::setValor(const QString& campo, const QString& valor)
{
    m_valores.insert(campo, valor);
}

bool CamposAdicionales::Valida()
{
    m_mensaje.clear();
    try {
        for (const DefinicionCampo& definicion : Definiciones()) {
            if (definicion.obligatorio && Valor(definicion.campo).trimmed().isEmpty()) {
                m_mensaje =
                    QStringLiteral("Falta capturar el campo adicional obligatorio \"%1\".").arg(definicion.etiqueta);
                return false;
            }
        }
    } catch (const kt508::Error& error) {
        m_mensaje = QStringLiteral("No se pudieron leer los campos adicionales: %1").arg(error.Description());
        return false;
    }
    return true;
}

QString CamposAdicionales::Mensaje() const
{
    return m_mensaje;
}

void CamposAdicionales::Guarda(const QString& clave)
{
    if (m_tabla.isEmpty())
        return;
    ado::AdoConnection& conexion = Sesion::Conexion();
    for (const DefinicionCampo& definicion : Definiciones()) {
        conexion.ExecuteParams(QStringLiteral("DELETE FROM Campos_Adicionales WHERE Ca_Tabla = ? AND Ca_Clave = ? "
                                              "AND Ca_Campo = ?"),
                               {m_tabla, clave, definicion.campo});
        const QString valor = Valor(definicion.campo);
        if (valor.isEmpty())
            continue;
        conexion.ExecuteParams(QStringLiteral("INSERT INTO Campos_Adicionales (Ca_Tabla, Ca_Clave, Ca_Campo, Ca_Valor) "
                                              "VALUES (?, ?, ?, ?)"),
                               {m_tabla, clave, definicion.campo, valor});
    }
}

} // namespace orbanel
