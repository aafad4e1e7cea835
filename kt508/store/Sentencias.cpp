#include "kt508/store/Sentencias.h"

#include "kt508/services/Historial.h"
#include "kt508/store/Servicios.h"

#include <initializer_list>
#include <utility>

namespace Publico::Sentencias {

namespace {

// Each text as the suite sends it, blank for blank, in the pieces it is made of; ":name" stands
// for a value, "{name}" for a table's name.
namespace formas {

using kt508::Forma;

// A centre's row, locked until the transaction ends: the one a command changes, or the parent
// whose children it changes.
const Forma CentroBloqueado(QStringLiteral("SELECT * FROM Centro_Costo{bloqueo:tabla}"
                                           " WHERE Cc_Cve_Centro_Costo = :clave{bloqueo:fin}"));

const Forma HijosEnArbol(QStringLiteral("SELECT * FROM Centro_Costo WHERE CC_Acumula = :padre"
                                        " ORDER BY CC_Acumula, Cc_Cve_Centro_Costo "));
const Forma HijosEnListado(QStringLiteral("SELECT * FROM Centro_Costo WHERE CC_Acumula = :padre"
                                          " ORDER BY CC_Acumula"));

const Forma VersionCatalogo(QStringLiteral("SELECT Vc_Version FROM Version_Catalogo"));
const Forma CambiosDesde(QStringLiteral("SELECT m.Cm_Clave, c.CC_Acumula, c.CC_Descripcion, c.Es_Cve_Estado"
                                        " FROM Cambio_Centro m"
                                        " LEFT JOIN Centro_Costo c ON c.CC_Cve_Centro_Costo = m.Cm_Clave"
                                        " WHERE m.Vc_Version > :version"));

const Forma HijosDeCentro(QStringLiteral("SELECT Cc_Cve_Centro_Costo FROM Centro_Costo WHERE Cc_Acumula = :clave"
                                         " ORDER BY Cc_Cve_Centro_Costo "));
const Forma BorraFila(QStringLiteral("DELETE FROM Centro_Costo WHERE Cc_Cve_Centro_Costo = :clave"));
const Forma CambioDeEstado(QStringLiteral("UPDATE Centro_Costo SET"
                                          "   Oper_Ult_Modif = :operador, "
                                          "   Fecha_Ult_Modif = :fecha, "
                                          "   Oper_Baja = :operador, "
                                          "   Fecha_Baja = :fecha, "
                                          "   Es_Cve_Estado = :estado "
                                          "WHERE Cc_Cve_Centro_Costo = :clave"));
const Forma
    CuentaDeCentro(QStringLiteral("SELECT CC_Cuenta_Contable FROM Centro_Costo WHERE CC_Cve_Centro_Costo = :clave"));
const Forma PadreDeCentro(QStringLiteral("SELECT CC_Acumula FROM Centro_Costo WHERE CC_Cve_Centro_Costo = :clave"));

const Forma CentroAEditar(QStringLiteral("select * from centro_costo where Cc_Cve_Centro_Costo = :clave "));

const Forma HijosAEliminar(QStringLiteral("SELECT CC_Cve_Centro_Costo FROM Centro_Costo WHERE CC_Acumula = :clave"));
const Forma TablasConCentros(QStringLiteral("SELECT sysobjects.NAME AS TABLA "
                                            "FROM sysobjects "
                                            "   INNER JOIN syscolumns ON sysobjects.id = syscolumns.id "
                                            "WHERE  syscolumns.Name = 'Cc_Cve_Centro_costo' AND "
                                            " sysobjects.type = 'U' AND "
                                            "sysobjects.Name <> 'Centro_Costo' "
                                            " ORDER BY TABLA ASC"));
const Forma UsosEnTabla(QStringLiteral("SELECT COUNT(Cc_Cve_Centro_Costo) AS Total FROM {tabla}"
                                       " WHERE Cc_Cve_Centro_Costo = :clave "));
const Forma HijosDelPadre(QStringLiteral("SELECT * FROM Centro_Costo WHERE Cc_Acumula = :padre"));
const Forma PadreSinHijos(QStringLiteral("UPDATE Centro_Costo SET Cc_Tipo = 0,"
                                         "   Oper_Ult_Modif = :operador,"
                                         "   Fecha_Ult_Modif = :{fecha}"
                                         "WHERE CC_Cve_Centro_Costo = :padre"));

const Forma MueveCentro(QStringLiteral("UPDATE Centro_Costo SET CC_Acumula = :nuevo, "
                                       "   Oper_Ult_Modif = :operador, "
                                       "   Fecha_Ult_Modif = :fecha"
                                       " WHERE CC_Cve_Centro_Costo = :clave AND CC_Acumula = :padre"));
const Forma PadreQueCede(QStringLiteral("UPDATE Centro_Costo SET"
                                        " CC_Tipo = CASE WHEN EXISTS (SELECT 1 FROM Centro_Costo h"
                                        " WHERE h.CC_Acumula = :padre) THEN 1 ELSE 0 END,"
                                        " Oper_Ult_Modif = CASE WHEN EXISTS (SELECT 1 FROM Centro_Costo h"
                                        " WHERE h.CC_Acumula = :padre) THEN Oper_Ult_Modif ELSE :operador END,"
                                        " Fecha_Ult_Modif = CASE WHEN EXISTS (SELECT 1 FROM Centro_Costo h"
                                        " WHERE h.CC_Acumula = :padre) THEN Fecha_Ult_Modif ELSE :fecha END"
                                        " WHERE CC_Cve_Centro_Costo = :padre"));
const Forma CentrosDelMovimiento(
    QStringLiteral("SELECT CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, Es_Cve_Estado FROM Centro_Costo"
                   " WHERE CC_Cve_Centro_Costo = :clave OR CC_Cve_Centro_Costo = :nuevo"));

const Forma CambiaCuenta(QStringLiteral("UPDATE Centro_Costo SET "
                                        "   CC_Cuenta_Contable = :cuenta, "
                                        "   Oper_Ult_Modif = :operador, "
                                        "   Fecha_Ult_Modif = :fecha "
                                        "WHERE CC_Cve_Centro_Costo = :clave"));
const Forma Renombra(QStringLiteral("UPDATE Centro_Costo SET CC_Descripcion = :descripcion, "
                                    "   Oper_Ult_Modif = :operador, "
                                    "   Fecha_Ult_Modif = :fecha"
                                    " WHERE CC_Cve_Centro_Costo = :clave"));

const Forma ActualizaCentro(QStringLiteral("UPDATE Centro_Costo SET "
                                           "   Cc_Descripcion = :descripcion, "
                                           "   Cc_Cuenta_Contable = :cuenta, "
                                           "   Gcc_Cve_Grupo_Centro_Costo = :grupo, "
                                           "   Cc_Analizar = :analizar, "
                                           "   Cc_UserDef_1 = :dato1, "
                                           "   Cc_UserDef_2 = :dato2, "
                                           "   Cc_UserDef_3 = :dato3, "
                                           "   Cc_UserDef_4 = :dato4, "
                                           "   Cc_UserDef_5 = :dato5, "
                                           "   Cc_UserDef_6 = :dato6, "
                                           "   Oper_Ult_Modif = :operador,"
                                           "   Fecha_Ult_Modif= :{fecha}"
                                           "WHERE Cc_Cve_Centro_Costo = :clave "));
const Forma PadreAcumula(QStringLiteral("UPDATE Centro_Costo SET CC_Tipo = 1, "
                                        "   Oper_Ult_Modif = :operador,"
                                        "   Fecha_Ult_Modif = :{fecha}"
                                        "WHERE CC_Cve_Centro_Costo = :padre"));
const Forma InsertaCentro(QStringLiteral("INSERT INTO Centro_Costo ("
                                         "   CC_Acumula, "
                                         "   CC_Cve_Centro_Costo, "
                                         "   Gcc_Cve_Grupo_Centro_Costo, "
                                         "   CC_Descripcion, "
                                         "   CC_Cuenta_Contable,"
                                         "   Cc_Analizar, "
                                         "   Cc_UserDef_1, "
                                         "   Cc_UserDef_2, "
                                         "   Cc_UserDef_3, "
                                         "   Cc_UserDef_4, "
                                         "   Cc_UserDef_5, "
                                         "   Cc_UserDef_6, "
                                         "   Oper_Alta,"
                                         "   Fecha_Alta,"
                                         "   Oper_Ult_Modif,"
                                         "   Fecha_Ult_Modif"
                                         ") VALUES("
                                         ":acumula, :clave, :grupo, :descripcion, :cuenta, :analizar, :dato1, :dato2, "
                                         ":dato3, :dato4, :dato5, :dato6, "
                                         ":operador,:fecha,:operador,:fecha)"));
const Forma CuentaPadre(QStringLiteral("SELECT * FROM Cuenta_Contable WHERE Cc_Cve_Cuenta_Contable = :cuenta"));
const Forma CuentaGenerada(QStringLiteral("UPDATE Centro_Costo SET "
                                          "   Cc_Cuenta_Contable = :cuenta "
                                          "WHERE Cc_Cve_Centro_Costo = :clave "));

} // namespace formas

using kt508::Sentencia;
using Valores = std::initializer_list<std::pair<QString, QVariant>>;

const QString Clave = QStringLiteral("clave");
const QString Padre = QStringLiteral("padre");
const QString Cuenta = QStringLiteral("cuenta");

// The form with its values, by name.
Sentencia Con(const kt508::Forma& forma, Valores valores)
{
    Sentencia sentencia(forma);
    for (const auto& [nombre, valor] : valores)
        sentencia.Con(nombre, valor);
    return sentencia;
}

Sentencia ConSello(const kt508::Forma& forma, const Sello& sello, Valores valores)
{
    Sentencia sentencia = Con(forma, valores);
    sentencia.Con(QStringLiteral("operador"), sello.operador).Con(QStringLiteral("fecha"), sello.fecha);
    return sentencia;
}

// The columns the editor writes, on insert and on update alike.
Sentencia ConCentro(const kt508::Forma& forma, const CentroCosto& centro, const Sello& sello)
{
    return ConSello(forma, sello,
                    {{Clave, centro.clave},
                     {QStringLiteral("grupo"), centro.grupo},
                     {QStringLiteral("descripcion"), centro.descripcion},
                     {Cuenta, centro.cuenta},
                     {QStringLiteral("analizar"), centro.analizar},
                     {QStringLiteral("dato1"), centro.dato1},
                     {QStringLiteral("dato2"), centro.dato2},
                     {QStringLiteral("dato3"), QVariant::fromValue(centro.dato3)},
                     {QStringLiteral("dato4"), QVariant::fromValue(centro.dato4)},
                     {QStringLiteral("dato5"), centro.dato5},
                     {QStringLiteral("dato6"), centro.dato6}});
}

} // namespace

Sentencia CentroBloqueado(const QString& clave)
{
    return Con(formas::CentroBloqueado, {{Clave, clave}});
}

Sentencia HijosEnArbol(const QString& padre)
{
    return Con(formas::HijosEnArbol, {{Padre, padre}});
}

Sentencia HijosEnListado(const QString& padre)
{
    return Con(formas::HijosEnListado, {{Padre, padre}});
}

Sentencia VersionCatalogo()
{
    return Sentencia(formas::VersionCatalogo);
}

Sentencia CambiosDesde(qint64 version)
{
    return Con(formas::CambiosDesde, {{QStringLiteral("version"), version}});
}

Sentencia HijosDeCentro(const QString& clave)
{
    return Con(formas::HijosDeCentro, {{Clave, clave}});
}

Sentencia BorraFila(const QString& clave)
{
    return Con(formas::BorraFila, {{Clave, clave}});
}

Sentencia CambioDeEstado(const Sello& sello, const QString& estado, const QString& clave)
{
    return ConSello(formas::CambioDeEstado, sello, {{QStringLiteral("estado"), estado}, {Clave, clave}});
}

Sentencia CuentaDeCentro(const QString& clave)
{
    return Con(formas::CuentaDeCentro, {{Clave, clave}});
}

Sentencia PadreDeCentro(const QString& clave)
{
    return Con(formas::PadreDeCentro, {{Clave, clave}});
}

Sentencia CentroAEditar(const QString& clave)
{
    return Con(formas::CentroAEditar, {{Clave, clave}});
}

Sentencia HijosAEliminar(const QString& clave)
{
    return Con(formas::HijosAEliminar, {{Clave, clave}});
}

Sentencia TablasConCentros()
{
    return Sentencia(formas::TablasConCentros);
}

// The table's name comes from the database's own catalogue.
Sentencia UsosEnTabla(const QString& tabla, const QString& clave)
{
    Sentencia sentencia = Con(formas::UsosEnTabla, {{Clave, clave}});
    sentencia.ConIdentificador(QStringLiteral("tabla"), tabla);
    return sentencia;
}

Sentencia HijosDelPadre(const QString& padre)
{
    return Con(formas::HijosDelPadre, {{Padre, padre}});
}

Sentencia PadreSinHijos(const Sello& sello, const QString& padre)
{
    return ConSello(formas::PadreSinHijos, sello, {{Padre, padre}});
}

Sentencia MueveCentro(const QString& nuevo, const Sello& sello, const QString& clave, const QString& padre)
{
    return ConSello(formas::MueveCentro, sello, {{QStringLiteral("nuevo"), nuevo}, {Clave, clave}, {Padre, padre}});
}

Sentencia PadreQueCede(const QString& padre, const Sello& sello)
{
    return ConSello(formas::PadreQueCede, sello, {{Padre, padre}});
}

Sentencia CentrosDelMovimiento(const QString& clave, const QString& nuevo)
{
    return Con(formas::CentrosDelMovimiento, {{Clave, clave}, {QStringLiteral("nuevo"), nuevo}});
}

Sentencia CambiaCuenta(const QString& cuenta, const Sello& sello, const QString& clave)
{
    return ConSello(formas::CambiaCuenta, sello, {{Cuenta, cuenta}, {Clave, clave}});
}

Sentencia Renombra(const QString& descripcion, const Sello& sello, const QString& clave)
{
    return ConSello(formas::Renombra, sello, {{QStringLiteral("descripcion"), descripcion}, {Clave, clave}});
}

Sentencia ActualizaCentro(const CentroCosto& centro, const Sello& sello)
{
    return ConCentro(formas::ActualizaCentro, centro, sello);
}

Sentencia PadreAcumula(const QString& padre, const Sello& sello)
{
    return ConSello(formas::PadreAcumula, sello, {{Padre, padre}});
}

Sentencia InsertaCentro(const CentroCosto& centro, const Sello& sello)
{
    Sentencia sentencia = ConCentro(formas::InsertaCentro, centro, sello);
    sentencia.Con(QStringLiteral("acumula"), centro.acumula);
    return sentencia;
}

Sentencia CuentaPadre(const QString& cuenta)
{
    return Con(formas::CuentaPadre, {{Cuenta, cuenta}});
}

Sentencia CuentaGenerada(const QString& cuenta, const QString& clave)
{
    return Con(formas::CuentaGenerada, {{Cuenta, cuenta}, {Clave, clave}});
}

// The history's forms are shared with the suite's import and repair, which note the same rows.
Sentencia NotaCentro(const QString& comando, const Sello& sello, const QString& clave)
{
    return kt508::historial::Nota(comando, sello.operador, sello.fecha, clave);
}

Sentencia NotaEliminado(const Sello& sello, const QString& clave)
{
    return kt508::historial::NotaDeEliminacion(sello.operador, sello.fecha, clave);
}

} // namespace Publico::Sentencias
