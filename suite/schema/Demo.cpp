#include "suite/schema/Schema.h"

#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"
#include "suite/schema/Transaccion.h"

#include <QDateTime>
#include <QSet>
#include <QVariant>

#include <vector>

namespace orbanel::schema {

namespace {

struct Centro {
    const char* clave;
    const char* acumula;
    const char* descripcion;
    const char* grupo;
    const char* cuenta; // nullptr: no ledger account yet
    bool baja;
};

// The demo catalogue: four levels under the root, one retired branch (900) and one retired leaf (1062).
const std::vector<Centro>& centros()
{
    static const std::vector<Centro> lista = {
        {"100", "0", "Dirección comercial", "000100", "5100-100", false},
        {"101", "100", "Mercadotecnia", "000100", nullptr, false},
        {"1011", "101", "Publicidad", "000100", nullptr, false},
        {"1012", "101", "Investigación de mercados", "000100", nullptr, false},
        {"105", "100", "Ventas norte", "000100", "5100-105", false},
        {"1051", "105", "Sucursal Monterrey", "000100", "5100-1051", false},
        {"10511", "1051", "Mostrador Monterrey", "000100", nullptr, false},
        {"10512", "1051", "Ruta foránea Saltillo", "000100", nullptr, false},
        {"1052", "105", "Sucursal Chihuahua", "000100", nullptr, false},
        {"1053", "105", "Sucursal Hermosillo", "000100", nullptr, false},
        {"106", "100", "Ventas sur", "000100", nullptr, false},
        {"1061", "106", "Sucursal Mérida", "000100", nullptr, false},
        {"1062", "106", "Sucursal Oaxaca", "000100", nullptr, true},
        {"107", "100", "Ventas centro", "000100", nullptr, false},
        {"1071", "107", "Sucursal Querétaro", "000100", nullptr, false},
        {"1072", "107", "Sucursal Puebla", "000100", nullptr, false},
        {"200", "0", "Operaciones", "000200", "5100-200", false},
        {"201", "200", "Producción", "000200", nullptr, false},
        {"2011", "201", "Planta Toluca", "000200", "5100-2011", false},
        {"20111", "2011", "Línea de ensamble", "000200", nullptr, false},
        {"20112", "2011", "Control de calidad", "000200", nullptr, false},
        {"2012", "201", "Planta León", "000200", nullptr, false},
        {"202", "200", "Almacén y logística", "000200", nullptr, false},
        {"2021", "202", "Almacén central", "000200", nullptr, false},
        {"2022", "202", "Distribución", "000200", nullptr, false},
        {"203", "200", "Mantenimiento", "000200", nullptr, false},
        {"204", "200", "Compras", "000200", nullptr, false},
        {"300", "0", "Administración y finanzas", "000300", "5100-300", false},
        {"301", "300", "Contabilidad", "000300", nullptr, false},
        {"3011", "301", "Contabilidad general", "000300", nullptr, false},
        {"3012", "301", "Cuentas por pagar", "000300", nullptr, false},
        {"3013", "301", "Cuentas por cobrar", "000300", nullptr, false},
        {"302", "300", "Tesorería", "000300", nullptr, false},
        {"303", "300", "Recursos humanos", "000300", nullptr, false},
        {"3031", "303", "Nómina", "000300", nullptr, false},
        {"3032", "303", "Capacitación", "000300", nullptr, false},
        {"304", "300", "Sistemas", "000300", nullptr, false},
        {"3041", "304", "Infraestructura", "000300", nullptr, false},
        {"3042", "304", "Desarrollo", "000300", nullptr, false},
        {"400", "0", "Dirección general", "000400", nullptr, false},
        {"401", "400", "Jurídico", "000400", nullptr, false},
        {"402", "400", "Auditoría interna", "000400", nullptr, false},
        {"500", "0", "Servicio al cliente", "000500", nullptr, false},
        {"501", "500", "Centro de llamadas", "000500", nullptr, false},
        {"502", "500", "Garantías", "000500", nullptr, false},
        {"900", "0", "Proyectos descontinuados", "000000", nullptr, true},
        {"901", "900", "Tienda en línea", "000000", nullptr, true},
        {"9011", "901", "Plataforma web", "000000", nullptr, true},
        {"9012", "901", "Logística de última milla", "000000", nullptr, true},
        {"902", "900", "Exportaciones", "000000", nullptr, true},
    };
    return lista;
}

struct Fila {
    const char* sentencia;
    QVariantList valores;
};

QVariant texto(const char* valor)
{
    return valor ? QVariant(QString::fromUtf8(valor)) : QVariant();
}

void cargaGrupos(ado::AdoConnection& db)
{
    const char* const grupos[][2] = {
        {"000000", "GENERAL"},        {"000100", "COMERCIAL"}, {"000200", "OPERACIONES"},
        {"000300", "ADMINISTRACIÓN"}, {"000400", "DIRECCIÓN"}, {"000500", "SERVICIO AL CLIENTE"},
    };
    for (const auto& g : grupos)
        db.ExecuteParams(QStringLiteral("INSERT INTO Grupo_Centro_Costo (Gcc_Cve_Grupo_Centro_Costo, Gcc_Descripcion) "
                                        "VALUES (?, ?)"),
                         {texto(g[0]), texto(g[1])});
}

void cargaCuentas(ado::AdoConnection& db)
{
    struct Cuenta {
        const char* clave;
        const char* descripcion;
        int tipo;
        int titulo;
        const char* naturaleza;
        const char* resultado;
        const char* grupo;
        const char* padre;
        int afectable;
    };
    const Cuenta cuentas[] = {
        {"1000", "ACTIVO", 1, 1, "DE", "NO", "ACT", nullptr, 0},
        {"1100", "CAJA Y BANCOS", 0, 0, "DE", "NO", "ACT", "1000", 1},
        {"4000", "INGRESOS", 1, 1, "AC", "SI", "ING", nullptr, 0},
        {"4100", "VENTAS NACIONALES", 0, 0, "AC", "SI", "ING", "4000", 1},
        {"5000", "GASTOS", 1, 1, "DE", "SI", "GAS", nullptr, 0},
        {"5100", "GASTOS POR CENTRO DE COSTO", 1, 1, "DE", "SI", "GAS", "5000", 0},
        {"5100-100", "DIRECCIÓN COMERCIAL", 0, 0, "DE", "SI", "GAS", "5100", 1},
        {"5100-105", "VENTAS NORTE", 0, 0, "DE", "SI", "GAS", "5100", 1},
        {"5100-1051", "SUCURSAL MONTERREY", 0, 0, "DE", "SI", "GAS", "5100", 1},
        {"5100-200", "OPERACIONES", 0, 0, "DE", "SI", "GAS", "5100", 1},
        {"5100-2011", "PLANTA TOLUCA", 0, 0, "DE", "SI", "GAS", "5100", 1},
        {"5100-300", "ADMINISTRACIÓN Y FINANZAS", 0, 0, "DE", "SI", "GAS", "5100", 1},
        {"5200", "GASTOS GENERALES", 0, 0, "DE", "SI", "GAS", "5000", 1},
        {"6000", "COSTO DE VENTAS", 0, 0, "DE", "SI", "COS", nullptr, 1},
    };
    for (const Cuenta& c : cuentas)
        db.ExecuteParams(QStringLiteral("INSERT INTO Cuenta_Contable (Cc_Cve_Cuenta_Contable, Cc_Descripcion, CC_Tipo, "
                                        "Cc_Titulo, Cc_Naturaleza, Cc_Resultado, Cc_Grupo_Cuenta_Contable, "
                                        "Cc_Cuenta_Padre, Cc_Afectable) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                         {texto(c.clave), texto(c.descripcion), c.tipo, c.titulo, texto(c.naturaleza),
                          texto(c.resultado), texto(c.grupo), texto(c.padre), c.afectable});
}

QSet<QString> acumuladores()
{
    QSet<QString> conHijos;
    for (const Centro& c : centros())
        conHijos.insert(QString::fromUtf8(c.acumula));
    return conHijos;
}

// A few centres carry their user-defined fields, so the editor has something to show.
QVariantList definidosPorUsuario(ado::AdoConnection& db, const QString& clave)
{
    if (clave == QLatin1String("105"))
        return {QStringLiteral("Zona Monterrey-Saltillo"),
                QStringLiteral("Laura Garza"),
                QStringLiteral("1250000"),
                QStringLiteral("0.15"),
                ado::Dialecto::De(db.dialect()).Fecha(QDate(2019, 3, 1)),
                QVariant()};
    if (clave == QLatin1String("2011"))
        return {QStringLiteral("Turno mixto"),
                QVariant(),
                QStringLiteral("480"),
                QVariant(),
                ado::Dialecto::De(db.dialect()).Fecha(QDate(2015, 7, 15)),
                ado::Dialecto::De(db.dialect()).Fecha(QDate(2030, 12, 31))};
    return {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()};
}

void cargaCentros(ado::AdoConnection& db)
{
    const QSet<QString> conHijos = acumuladores();
    const QDateTime alta(QDate(2023, 1, 9), QTime(9, 15));
    int n = 0;
    for (const Centro& c : centros()) {
        const QString clave = QString::fromUtf8(c.clave);
        const QString fechaAlta = ado::Dialecto::De(db.dialect()).FechaHora(alta.addSecs(n * 3600L * 7));
        const QString fechaModif = ado::Dialecto::De(db.dialect()).FechaHora(alta.addDays(90 + n));
        const QVariant baja =
            c.baja ? QVariant(ado::Dialecto::De(db.dialect()).FechaHora(alta.addDays(400))) : QVariant();
        QVariantList valores = {
            clave,          texto(c.acumula), texto(c.descripcion),
            texto(c.grupo), texto(c.cuenta),  n % 3 == 0 ? QStringLiteral("SI") : QStringLiteral("NO")};
        valores += definidosPorUsuario(db, clave);
        valores += QVariantList{conHijos.contains(clave) ? 1 : 0,
                                c.baja ? QStringLiteral("BA") : QStringLiteral("AC"),
                                QStringLiteral("ADMIN"),
                                fechaAlta,
                                QStringLiteral("MGARCIA"),
                                fechaModif,
                                c.baja ? QVariant(QStringLiteral("MGARCIA")) : QVariant(),
                                baja};
        db.ExecuteParams(
            QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, "
                           "Gcc_Cve_Grupo_Centro_Costo, CC_Cuenta_Contable, Cc_Analizar, Cc_UserDef_1, "
                           "Cc_UserDef_2, Cc_UserDef_3, Cc_UserDef_4, Cc_UserDef_5, Cc_UserDef_6, CC_Tipo, "
                           "Es_Cve_Estado, Oper_Alta, Fecha_Alta, Oper_Ult_Modif, Fecha_Ult_Modif, "
                           "Oper_Baja, Fecha_Baja) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            valores);
        ++n;
    }
}

// Journal lines and budgets: the two tables that keep some centres from being deleted.
void cargaMovimientos(ado::AdoConnection& db)
{
    struct Renglon {
        const char* poliza;
        int renglon;
        const char* cuenta;
        const char* centro;
        const char* cargo; // amounts travel as exact decimal text
        const char* abono;
        const char* concepto;
    };
    const Renglon renglones[] = {
        {"D-000117", 1, "5100-105", "105", "18450.00", "0.00", "Viáticos del equipo de ventas"},
        {"D-000117", 2, "1100", nullptr, "0.00", "18450.00", "Viáticos del equipo de ventas"},
        {"D-000118", 1, "5100-1051", "1051", "9200.50", "0.00", "Renta de la sucursal, marzo"},
        {"D-000118", 2, "5100-1051", "10511", "1310.00", "0.00", "Papelería de mostrador"},
        {"D-000118", 3, "1100", nullptr, "0.00", "10510.50", "Pago a proveedores"},
        {"D-000121", 1, "5100-2011", "2011", "56200.00", "0.00", "Mantenimiento de la línea 2"},
        {"D-000121", 2, "5200", "3011", "4100.00", "0.00", "Honorarios del cierre anual"},
        {"D-000121", 3, "5200", "501", "2750.00", "0.00", "Licencias del conmutador"},
        {"D-000121", 4, "1100", nullptr, "0.00", "63050.00", "Pago a proveedores"},
    };
    int id = 1;
    for (const Renglon& r : renglones)
        db.ExecuteParams(QStringLiteral("INSERT INTO Poliza_Detalle (Pd_Id, Pd_Poliza, Pd_Renglon, "
                                        "Cc_Cve_Cuenta_Contable, Cc_Cve_Centro_costo, Pd_Cargo, Pd_Abono, Pd_Concepto) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                         {id++, texto(r.poliza), r.renglon, texto(r.cuenta), texto(r.centro), texto(r.cargo),
                          texto(r.abono), texto(r.concepto)});

    const std::pair<const char*, const char*> presupuestos[] = {
        {"105", "420000.00"}, {"106", "310000.00"}, {"201", "1850000.00"}, {"301", "275000.00"}, {"3041", "198000.00"},
    };
    for (const auto& [centro, importe] : presupuestos)
        db.ExecuteParams(QStringLiteral("INSERT INTO Presupuesto_Centro (Pc_Anio, Cc_Cve_Centro_costo, Pc_Importe) "
                                        "VALUES (?, ?, ?)"),
                         {2024, texto(centro), texto(importe)});
}

void cargaCamposAdicionales(ado::AdoConnection& db)
{
    const char* const definiciones[][3] = {
        {"RESPONSABLE", "Responsable", "1"},
        {"EXTENSION", "Extensión telefónica", "2"},
    };
    for (const auto& d : definiciones)
        db.ExecuteParams(
            QStringLiteral("INSERT INTO Campos_Adicionales_Def (Cad_Tabla, Cad_Campo, Cad_Etiqueta, "
                           "Cad_Obligatorio, Cad_Orden) VALUES (?, ?, ?, ?, ?)"),
            {QStringLiteral("Centro_Costo"), texto(d[0]), texto(d[1]), 0, QString::fromUtf8(d[2]).toInt()});
    const char* const valores[][3] = {
        {"105", "RESPONSABLE", "Laura Garza"},
        {"105", "EXTENSION", "2105"},
        {"2011", "RESPONSABLE", "Héctor Ramírez"},
    };
    for (const auto& v : valores)
        db.ExecuteParams(QStringLiteral("INSERT INTO Campos_Adicionales (Ca_Tabla, Ca_Clave, Ca_Campo, Ca_Valor) "
                                        "VALUES (?, ?, ?, ?)"),
                         {QStringLiteral("Centro_Costo"), texto(v[0]), texto(v[1]), texto(v[2])});
}

void cargaParametros(ado::AdoConnection& db)
{
    const char* const parametros[][3] = {
        {"CAT_GRUPO_CENTRO_COSTO_DEFAULT", "000100", "Grupo propuesto para los centros de costo nuevos"},
        {"FTO_CENTRO_COSTO", "999999", "Formato de captura de la clave del centro de costo"},
        {"FTO_GRUPO_CENTRO_COSTO", "999999", "Formato de captura de la clave del grupo de centros de costo"},
        {"CON_CUENTA_PADRE_CENTRO_COSTO", "5100", "Cuenta padre de las cuentas contables de los centros de costo"},
        {"CAT_AUTOCLAVE", "0", "Proponer la siguiente clave libre al dar de alta (1 sí, 0 no)"},
    };
    for (const auto& p : parametros)
        db.ExecuteParams(QStringLiteral("INSERT INTO Parametros (Parametro, Valor, Descripcion) VALUES (?, ?, ?)"),
                         {texto(p[0]), texto(p[1]), texto(p[2])});
}

void cargaTodo(ado::AdoConnection& db)
{
    cargaGrupos(db);
    cargaCuentas(db);
    cargaCentros(db);
    cargaMovimientos(db);
    cargaCamposAdicionales(db);
    cargaParametros(db);
}

} // namespace

void CargaDemo(ado::AdoConnection& db)
{
    EnTransaccion(db, [&db] { cargaTodo(db); });
}

} // namespace orbanel::schema
