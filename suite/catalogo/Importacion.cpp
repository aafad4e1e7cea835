#include "suite/catalogo/Importacion.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Historial.h"
#include "kt508/services/ReglasCentro.h"
#include "kt508/services/Sentencia.h"
#include "kt508/services/Utilerias.h"
#include "suite/catalogo/LectorCsv.h"
#include "suite/catalogo/RevisionImportacion.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

namespace orbanel::catalogo {

namespace {

// The centres whose statements travel in one batch; the progress moves a batch at a time.
constexpr int CentrosPorLote = 250;
constexpr int LargoOperador = 30;
constexpr int LargoDetalle = 255;

const size_t ITipo = Indice(QStringLiteral("CC_Tipo"));
const size_t ICuenta = Indice(QStringLiteral("CC_Cuenta_Contable"));
const size_t IGrupo = Indice(QStringLiteral("Gcc_Cve_Grupo_Centro_Costo"));

QByteArray Contenido(const QString& archivo)
{
    QFile entrada(archivo);
    if (!entrada.open(QIODevice::ReadOnly))
        throw kt508::Error(QStringLiteral("No se pudo abrir el archivo %1: %2")
                               .arg(QDir::toNativeSeparators(archivo), entrada.errorString()));
    return entrada.readAll();
}

// Begun on construction; rolled back on every way out but Confirma.
class Transaccion {
public:
    explicit Transaccion(kt508::Connection& db);
    ~Transaccion();
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;
    void Confirma();

private:
    kt508::Connection& m_db;
    bool m_abierta = true;
};

Transaccion::Transaccion(kt508::Connection& db)
    : m_db(db)
{
    m_db.BeginTrans();
}

Transaccion::~Transaccion()
{
    if (!m_abierta)
        return;
    try {
        m_db.RollbackTrans();
    } catch (const kt508::Error&) {
        // A connection that failed took its transaction with it.
    }
}

void Transaccion::Confirma()
{
    m_db.CommitTrans();
    m_abierta = false;
}

// --- What the database holds ------------------------------------------------------------

const kt508::Forma& ConsultaGrupos()
{
    static const kt508::Forma forma(
        QStringLiteral("SELECT Gcc_Cve_Grupo_Centro_Costo, Gcc_Descripcion FROM Grupo_Centro_Costo"));
    return forma;
}

const kt508::Forma& ConsultaCuentas()
{
    static const kt508::Forma forma(QStringLiteral("SELECT Cc_Cve_Cuenta_Contable, CC_Tipo, Cc_Titulo, Cc_Naturaleza, "
                                                   "Cc_Resultado, Cc_Grupo_Cuenta_Contable FROM Cuenta_Contable"));
    return forma;
}

QHash<QString, QString> LeeGrupos(kt508::Connection& db)
{
    QHash<QString, QString> grupos;
    kt508::Recordset rs = db.Ejecuta(kt508::Sentencia(ConsultaGrupos()));
    for (; !rs.Eof(); rs.MoveNext())
        grupos.insert(rs.Value(0).toString(), rs.Value(1).toString());
    rs.Close();
    return grupos;
}

// A whole number of 16 bits, as the editor's generation converts it; nothing for any other value.
std::optional<short> Entero16(const QVariant& valor)
{
    bool numero = false;
    const double n = valor.toDouble(&numero);
    if (valor.isNull() || !numero || n < std::numeric_limits<short>::min() || n > std::numeric_limits<short>::max())
        return std::nullopt;
    return static_cast<short>(qRound(n));
}

// The current row of the accounts read: the parent account's classification, or why it has none.
std::optional<CuentaPadre> LeeCuentaPadre(const kt508::Recordset& rs, QString& motivo)
{
    const std::optional<short> tipo = Entero16(rs.Value(1));
    const std::optional<short> titulo = Entero16(rs.Value(2));
    if (!tipo || !titulo) {
        motivo = QStringLiteral("la cuenta padre %1 no tiene un número entero en %2.")
                     .arg(rs.Value(0).toString(), tipo ? QStringLiteral("Cc_Titulo") : QStringLiteral("CC_Tipo"));
        return std::nullopt;
    }
    const bool acreedora = !rs.Value(3).isNull() && rs.Value(3).toString() == QLatin1String("AC");
    const bool resultado = !rs.Value(4).isNull() && rs.Value(4).toString() == QLatin1String("SI");
    return CuentaPadre{rs.Value(0).toString(), *tipo, *titulo, acreedora ? 0 : 1, resultado, rs.Value(5).toString()};
}

void LeeCuentas(kt508::Connection& db, Base& base)
{
    kt508::Recordset rs = db.Ejecuta(kt508::Sentencia(ConsultaCuentas()));
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString codigo = rs.Value(0).toString();
        base.cuentas.insert(codigo);
        if (!base.cuentaPadre.isEmpty() && codigo == base.cuentaPadre)
            base.padre = LeeCuentaPadre(rs, base.motivoCuentaPadre);
    }
    rs.Close();
    if (!base.cuentaPadre.isEmpty() && !base.cuentas.contains(base.cuentaPadre))
        base.motivoCuentaPadre =
            QStringLiteral("la cuenta padre %1 (CON_CUENTA_PADRE_CENTRO_COSTO) no existe.").arg(base.cuentaPadre);
}

// Read inside the import's transaction, each table with one statement.
Base LeeBase(kt508::Connection& db, kt508::IDatos& datos)
{
    Base base;
    base.centros = LeeColumnas(db, ColumnasDeLaBase());
    base.grupos = LeeGrupos(db);
    base.grupoPorOmision = datos
                               .Parametro(QStringLiteral("CAT_GRUPO_CENTRO_COSTO_DEFAULT"), 0, QStringLiteral("T"),
                                          QStringLiteral("000000"))
                               .toString();
    base.cuentaPadre =
        datos.Parametro(QStringLiteral("CON_CUENTA_PADRE_CENTRO_COSTO"), 0, QStringLiteral("T"), QString()).toString();
    LeeCuentas(db, base);
    return base;
}

// --- The statements ---------------------------------------------------------------------

// The columns a new centre's row is written with.
std::vector<size_t> ColumnasInsert()
{
    std::vector<size_t> columnas;
    for (size_t i = 0; i < Columnas().size(); ++i) {
        const QString& campo = Columnas()[i].campo;
        if (!campo.isEmpty() && !campo.startsWith(QLatin1String("Oper_")) && !campo.startsWith(QLatin1String("Fecha_")))
            columnas.push_back(i);
    }
    return columnas;
}

const kt508::Forma& FormaInsert()
{
    static const kt508::Forma forma([] {
        QStringList campos, valores;
        for (const size_t i : ColumnasInsert()) {
            campos << Columnas()[i].campo;
            valores << QLatin1Char(':') + Columnas()[i].campo;
        }
        return QStringLiteral("INSERT INTO Centro_Costo (%1, Oper_Alta, Fecha_Alta, Oper_Ult_Modif, Fecha_Ult_Modif) "
                              "VALUES (%2, :operador, :fecha, :operador, :fecha)")
            .arg(campos.join(QStringLiteral(", ")), valores.join(QStringLiteral(", ")));
    }());
    return forma;
}

// An update writes the columns the file has; each such set of columns is one form, kept.
const kt508::Forma& FormaUpdate(const std::vector<size_t>& columnas, bool cambiaEstado)
{
    QStringList asignaciones;
    for (const size_t i : columnas)
        asignaciones << QStringLiteral("%1 = :%1").arg(Columnas()[i].campo);
    asignaciones << QStringLiteral("CC_Tipo = :CC_Tipo") << QStringLiteral("Oper_Ult_Modif = :operador")
                 << QStringLiteral("Fecha_Ult_Modif = :fecha");
    if (cambiaEstado)
        asignaciones << QStringLiteral("Oper_Baja = :operador") << QStringLiteral("Fecha_Baja = :fecha");
    const QString texto = QStringLiteral("UPDATE Centro_Costo SET %1 WHERE CC_Cve_Centro_Costo = :clave")
                              .arg(asignaciones.join(QStringLiteral(", ")));
    static std::map<QString, std::unique_ptr<kt508::Forma>> formas;
    std::unique_ptr<kt508::Forma>& forma = formas[texto];
    if (!forma)
        forma = std::make_unique<kt508::Forma>(texto);
    return *forma;
}

const kt508::Forma& FormaTipo()
{
    static const kt508::Forma forma(QStringLiteral("UPDATE Centro_Costo SET CC_Tipo = :tipo, Oper_Ult_Modif = "
                                                   ":operador, Fecha_Ult_Modif = :fecha WHERE CC_Cve_Centro_Costo = "
                                                   ":clave"));
    return forma;
}

const kt508::Forma& FormaBitacora()
{
    static const kt508::Forma forma(
        QStringLiteral("INSERT INTO Bitacora_Cambios (Bc_Tabla, Bc_Clave, Bc_Operador, Bc_Fecha, Bc_Detalle) "
                       "VALUES ('CENTRO_COSTO', :clave, :operador, :fecha, :detalle)"));
    return forma;
}

// --- Writing ------------------------------------------------------------------------------

class Escritor {
public:
    Escritor(kt508::Connection& db, kt508::IUtilerias& utilerias, const Base& base, QString operador, QString archivo);

    // False when the user cancelled: what was sent is left for the rollback.
    bool Escribe(Plan& plan, const Avance& avance);

private:
    void Centro(Escritura& escritura);
    void GeneraCuenta(Escritura& escritura);
    kt508::Sentencia Insert(const Escritura& escritura) const;
    kt508::Sentencia Update(const Escritura& escritura) const;
    kt508::Sentencia Bitacora(const Escritura& escritura) const;
    kt508::Sentencia Tipo(const QString& clave, int tipo) const;
    kt508::Sentencia Nota(const QString& clave) const;
    QVariant Valor(size_t columna, const QVariant& valor) const;
    void Envia();

    kt508::Connection& m_db;
    kt508::IUtilerias& m_utilerias;
    const Base& m_base;
    const QString m_operador;
    const QString m_archivo;
    const QString m_fecha; // the audit time of every statement
    std::vector<kt508::Sentencia> m_lote;
};

Escritor::Escritor(kt508::Connection& db, kt508::IUtilerias& utilerias, const Base& base, QString operador,
                   QString archivo)
    : m_db(db)
    , m_utilerias(utilerias)
    , m_base(base)
    , m_operador(std::move(operador))
    , m_archivo(std::move(archivo))
    , m_fecha(utilerias.FormatoFechaHora(utilerias.FechaServidor()))
{
}

bool Escritor::Escribe(Plan& plan, const Avance& avance)
{
    const int total = static_cast<int>(plan.centros.size());
    const auto sigue = [&avance, total](int hechos) { return !avance || avance(hechos, total); };
    if (!sigue(0))
        return false;
    int hechos = 0;
    for (Escritura& escritura : plan.centros) {
        Centro(escritura);
        if (++hechos % CentrosPorLote == 0) {
            Envia();
            if (!sigue(hechos))
                return false;
        }
    }
    for (const auto& [clave, tipo] : plan.padres) {
        m_lote.push_back(Tipo(clave, tipo));
        m_lote.push_back(Nota(clave));
    }
    Envia();
    return sigue(total);
}

void Escritor::Centro(Escritura& escritura)
{
    if (escritura.generaCuenta)
        GeneraCuenta(escritura);
    m_lote.push_back(escritura.nuevo ? Insert(escritura) : Update(escritura));
    m_lote.push_back(Bitacora(escritura));
    m_lote.push_back(Nota(escritura.clave));
}

// As the editor's save: under the parent account the settings name, described by the centre's
// group, through the utility service on this connection and inside this transaction.
void Escritor::GeneraCuenta(Escritura& escritura)
{
    const CuentaPadre& padre = *m_base.padre;
    const QString descripcion = kt508::reglas::PrimerosCaracteres(
        m_base.grupos.value(escritura.valores[IGrupo].toString()), kt508::reglas::LargoDescripcion);
    const QString cuenta = m_utilerias.AltaCuentaContable(padre.codigo, descripcion, padre.tipo, true, padre.titulo,
                                                          padre.naturaleza, padre.resultado, QString(), padre.grupo);
    if (cuenta.isEmpty())
        throw kt508::Error(QStringLiteral("Línea %1, clave %2: no se pudo generar su cuenta contable: %3")
                               .arg(escritura.linea)
                               .arg(escritura.clave, m_utilerias.UltimoError()));
    escritura.valores[ICuenta] = cuenta;
}

kt508::Sentencia Escritor::Insert(const Escritura& escritura) const
{
    kt508::Sentencia sentencia(FormaInsert());
    for (const size_t i : ColumnasInsert())
        sentencia.Con(Columnas()[i].campo, Valor(i, escritura.valores[i]));
    sentencia.Con(QStringLiteral("operador"), m_operador).Con(QStringLiteral("fecha"), m_fecha);
    return sentencia;
}

kt508::Sentencia Escritor::Update(const Escritura& escritura) const
{
    kt508::Sentencia sentencia(FormaUpdate(escritura.columnas, escritura.cambiaEstado));
    for (const size_t i : escritura.columnas)
        sentencia.Con(Columnas()[i].campo, Valor(i, escritura.valores[i]));
    sentencia.Con(QStringLiteral("CC_Tipo"), escritura.valores[ITipo])
        .Con(QStringLiteral("operador"), m_operador)
        .Con(QStringLiteral("fecha"), m_fecha)
        .Con(QStringLiteral("clave"), escritura.clave);
    return sentencia;
}

kt508::Sentencia Escritor::Bitacora(const Escritura& escritura) const
{
    const QString detalle = escritura.nuevo ? QStringLiteral("Alta por importación de %1").arg(m_archivo)
                                            : QStringLiteral("Cambio por importación de %1").arg(m_archivo);
    kt508::Sentencia sentencia(FormaBitacora());
    sentencia.Con(QStringLiteral("clave"), escritura.clave)
        .Con(QStringLiteral("operador"), kt508::reglas::PrimerosCaracteres(m_operador, LargoOperador))
        .Con(QStringLiteral("fecha"), m_fecha)
        .Con(QStringLiteral("detalle"), kt508::reglas::PrimerosCaracteres(detalle, LargoDetalle));
    return sentencia;
}

kt508::Sentencia Escritor::Tipo(const QString& clave, int tipo) const
{
    kt508::Sentencia sentencia(FormaTipo());
    sentencia.Con(QStringLiteral("tipo"), tipo)
        .Con(QStringLiteral("operador"), m_operador)
        .Con(QStringLiteral("fecha"), m_fecha)
        .Con(QStringLiteral("clave"), clave);
    return sentencia;
}

// The centre's row as the import left it, for its history.
kt508::Sentencia Escritor::Nota(const QString& clave) const
{
    return kt508::historial::Nota(kt508::historial::comando::Importar, m_operador, m_fecha, clave);
}

// A date travels as the text the database reads; the rest as the catalogue types it.
QVariant Escritor::Valor(size_t columna, const QVariant& valor) const
{
    if (Columnas()[columna].clase == Clase::Fecha && valor.typeId() == QMetaType::QDate)
        return m_utilerias.FormatoFecha(valor.toDate());
    return valor;
}

void Escritor::Envia()
{
    if (m_lote.empty())
        return;
    kt508::FilasOFallo(m_db.EjecutaLote(m_lote));
    m_lote.clear();
}

Importacion Resumen(const QString& archivo, const Plan& plan, Modo modo)
{
    Importacion resultado;
    resultado.archivo = archivo;
    resultado.simulada = modo == Modo::Simular;
    resultado.renglones = plan.renglones;
    resultado.sinCambios = plan.sinCambios;
    resultado.ignoradas = plan.ignoradas;
    resultado.rechazos = plan.rechazos;
    resultado.padres = static_cast<int>(plan.padres.size());
    for (const Escritura& escritura : plan.centros) {
        ++(escritura.nuevo ? resultado.nuevos : resultado.modificados);
        resultado.cuentas += escritura.generaCuenta ? 1 : 0;
    }
    return resultado;
}

} // namespace

bool Importacion::Escrita() const
{
    return !simulada && !cancelada && rechazos.empty();
}

QString Importacion::Texto() const
{
    const QString nombre = QDir::toNativeSeparators(archivo);
    if (cancelada)
        return QStringLiteral("Se canceló la importación de %1: no se cambió nada.").arg(nombre);
    QStringList lineas;
    if (!rechazos.empty()) {
        lineas << (rechazos.size() == 1
                       ? QStringLiteral("No se importó nada: un renglón de %1 tiene problemas.").arg(nombre)
                       : QStringLiteral("No se importó nada: %1 renglones de %2 tienen problemas.")
                             .arg(rechazos.size())
                             .arg(nombre));
        for (const Rechazo& rechazo : rechazos)
            lineas << (rechazo.clave.isEmpty() ? QStringLiteral("Línea %1: %2").arg(rechazo.linea).arg(rechazo.motivo)
                                               : QStringLiteral("Línea %1, clave %2: %3")
                                                     .arg(rechazo.linea)
                                                     .arg(rechazo.clave, rechazo.motivo));
    } else {
        lineas << (simulada ? QStringLiteral("Simulación: no se escribió nada. Al importar %1:").arg(nombre)
                            : QStringLiteral("Se importó el catálogo de %1:").arg(nombre));
        lineas << QStringLiteral("Centros nuevos: %1. Modificados: %2. Sin cambios: %3.")
                      .arg(nuevos)
                      .arg(modificados)
                      .arg(sinCambios);
        if (padres > 0)
            lineas << QStringLiteral("Además, CC_Tipo al día en %1 centros que ganan o pierden hijos.").arg(padres);
        if (cuentas > 0)
            lineas << QStringLiteral("Cuentas contables generadas: %1.").arg(cuentas);
    }
    if (!ignoradas.isEmpty())
        lineas << QStringLiteral("Se ignoraron las columnas que el catálogo no tiene: «%1».")
                      .arg(ignoradas.join(QStringLiteral("», «")));
    return lineas.join(QLatin1Char('\n'));
}

Importacion Importa(const QString& archivo, kt508::IDatos& datos, kt508::IUtilerias& utilerias, Modo modo,
                    const Avance& avance)
{
    const Csv csv = LeeCsv(Contenido(archivo));
    kt508::Connection& db = datos.Conexion();
    Transaccion transaccion(db);
    const Base base = LeeBase(db, datos);
    Plan plan = Revisa(csv, base);
    Importacion resultado = Resumen(archivo, plan, modo);
    if (!plan.rechazos.empty() || resultado.simulada)
        return resultado;
    Escritor escritor(db, utilerias, base, datos.Usuario(), QFileInfo(archivo).fileName());
    resultado.cancelada = !escritor.Escribe(plan, avance);
    if (!resultado.cancelada)
        transaccion.Confirma();
    return resultado;
}

} // namespace orbanel::catalogo
