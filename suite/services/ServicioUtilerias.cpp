#include "suite/services/ServicioUtilerias.h"

#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/ReglasCentro.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"
#include "suite/services/BusquedaArbol.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/Sesion.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <set>

namespace orbanel {

namespace {

// How long the server's clock is followed locally before it is read again.
constexpr qint64 kRelecturaMs = 60 * 1000;

// Characters the columns written here take, as the databases count them.
constexpr int LargoDescripcionCuenta = 100;
constexpr int LargoGrupoCuenta = 10;
constexpr int LargoOperador = 30;
constexpr int LargoDetalle = 255;

bool SoloDigitos(const QString& texto)
{
    if (texto.isEmpty())
        return false;
    for (const QChar c : texto) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QDateTime ComoFechaHora(const QVariant& valor)
{
    QDateTime fecha;
    if (valor.typeId() == QMetaType::QDateTime) {
        fecha = valor.toDateTime().toLocalTime();
    } else {
        const QString texto = valor.toString().trimmed();
        for (const QString& formato : {QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"), QStringLiteral("yyyy-MM-dd HH:mm:ss"),
                                       QStringLiteral("yyyyMMdd HH:mm:ss")}) {
            fecha = QDateTime::fromString(texto.left(formato.size()), formato);
            if (fecha.isValid())
                break;
        }
    }
    if (!fecha.isValid())
        throw kt508::Error(QStringLiteral("El servidor devolvió una fecha no válida: %1").arg(valor.toString()));
    return fecha;
}

QVariant PrimerValor(kt508::Recordset rs)
{
    const QVariant valor = rs.Eof() ? QVariant() : rs.Value(0);
    rs.Close();
    return valor;
}

// "{TAB}" style names of the keys the suite sends; anything else is typed as text.
int TeclaDeNombre(const QString& nombre)
{
    const QString n = nombre.toUpper();
    if (n == QLatin1String("TAB"))
        return Qt::Key_Tab;
    if (n == QLatin1String("ENTER"))
        return Qt::Key_Return;
    if (n == QLatin1String("ESC"))
        return Qt::Key_Escape;
    return 0;
}

void PulsaTecla(int tecla, const QString& texto, bool esperar)
{
    QWidget* destino = QApplication::focusWidget();
    if (!destino)
        return;
    for (QEvent::Type tipo : {QEvent::KeyPress, QEvent::KeyRelease}) {
        auto* evento = new QKeyEvent(tipo, tecla, Qt::NoModifier, texto);
        if (esperar) {
            QApplication::sendEvent(destino, evento);
            delete evento;
        } else {
            QApplication::postEvent(destino, evento);
        }
    }
}

} // namespace

QString IdentificadorValido(const QString& nombre)
{
    static const QRegularExpression valido(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,127}$"));
    if (!valido.match(nombre).hasMatch())
        throw kt508::Error(QStringLiteral("El nombre «%1» no es un nombre válido de tabla o columna.").arg(nombre));
    return nombre;
}

ado::AdoConnection& ServicioUtilerias::Conexion()
{
    return Sesion::Conexion();
}

QString ServicioUtilerias::Operador()
{
    return Sesion::Operador();
}

// Read once a minute, not at every audit stamp: a branch's thousand stamps cost no round trip.
QDateTime ServicioUtilerias::FechaServidor()
{
    ado::AdoConnection& db = Conexion();
    if (!RelojVigente(db))
        LeeReloj(db);
    return HoraSeguida();
}

bool ServicioUtilerias::RelojVigente(const ado::AdoConnection& db) const
{
    return &db == m_reloj.conexion && db.url() == m_reloj.url && m_reloj.desde.isValid()
        && m_reloj.desde.elapsed() < kRelecturaMs;
}

QDateTime ServicioUtilerias::HoraSeguida() const
{
    const QDateTime ahora = m_reloj.leida.addMSecs(m_reloj.desde.elapsed());
    return QDateTime(ahora.date(), QTime(ahora.time().hour(), ahora.time().minute(), ahora.time().second()));
}

// The server reads its clock about halfway through the round trip.
void ServicioUtilerias::LeeReloj(ado::AdoConnection& db)
{
    QElapsedTimer ida;
    ida.start();
    const QDateTime leida =
        ComoFechaHora(PrimerValor(db.Execute(ado::Dialecto::De(db.dialect()).ConsultaFechaServidor())));
    m_reloj = {&db, db.url(), leida.addMSecs(-ida.elapsed() / 2), ida};
}

QString ServicioUtilerias::FormatoFechaHora(const QDateTime& fecha)
{
    return ado::Dialecto::De(Conexion().dialect()).FechaHora(fecha);
}

QString ServicioUtilerias::FormatoFecha(const QDate& fecha)
{
    return ado::Dialecto::De(Conexion().dialect()).Fecha(fecha);
}

QString ServicioUtilerias::ValorCampo(const QString& tabla, const QString& campoClave, const QString& clave,
                                      const QString& campo)
{
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
            .arg(IdentificadorValido(campo), IdentificadorValido(tabla), IdentificadorValido(campoClave));
    return PrimerValor(Conexion().ExecuteParams(sql, {clave})).toString();
}

// Keys are text: only the all-digit ones count, so "A1" or "1-2" never block numbering.
int ServicioUtilerias::SiguienteClave(const QString& tabla, const QString& campoClave)
{
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2").arg(IdentificadorValido(campoClave), IdentificadorValido(tabla));
    kt508::Recordset rs = Conexion().ExecuteParams(sql, {});
    qlonglong mayor = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString clave = rs.Value(0).toString().trimmed();
        if (SoloDigitos(clave))
            mayor = std::max(mayor, clave.toLongLong());
    }
    rs.Close();
    if (mayor >= std::numeric_limits<int>::max())
        throw kt508::Error(QStringLiteral("No quedan claves numéricas libres en la tabla %1.").arg(tabla));
    return static_cast<int>(mayor) + 1;
}

QString ServicioUtilerias::SiguienteCuentaHija(const QString& cuentaPadre)
{
    const QString prefijo = cuentaPadre + QLatin1Char('-');
    kt508::Recordset rs = Conexion().ExecuteParams(
        QStringLiteral("SELECT Cc_Cve_Cuenta_Contable FROM Cuenta_Contable WHERE Cc_Cuenta_Padre = ? "
                       "OR Cc_Cve_Cuenta_Contable LIKE ?"),
        {cuentaPadre, prefijo + QLatin1Char('%')});
    int mayor = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString codigo = rs.Value(0).toString().trimmed();
        if (codigo.startsWith(prefijo) && SoloDigitos(codigo.mid(prefijo.size())))
            mayor = std::max(mayor, codigo.mid(prefijo.size()).toInt());
    }
    rs.Close();
    return prefijo + QStringLiteral("%1").arg(mayor + 1, 3, 10, QLatin1Char('0'));
}

QString ServicioUtilerias::AltaCuentaContable(const QString& cuentaPadre, const QString& descripcion, short tipo,
                                              bool afectable, short titulo, int naturaleza, bool resultado,
                                              const QString& /*vacio*/, const QString& grupo)
{
    m_ultimoError.clear();
    try {
        ado::AdoConnection& db = Conexion();
        const QVariant padre = PrimerValor(db.ExecuteParams(
            QStringLiteral("SELECT Cc_Cve_Cuenta_Contable FROM Cuenta_Contable WHERE Cc_Cve_Cuenta_Contable = ?"),
            {cuentaPadre}));
        if (padre.isNull()) {
            m_ultimoError = QStringLiteral("La cuenta padre %1 no existe en el catálogo de cuentas.").arg(cuentaPadre);
            return QString();
        }
        const QString codigo = SiguienteCuentaHija(cuentaPadre);
        if (kt508::reglas::Caracteres(codigo) > kt508::reglas::LargoCuenta) {
            m_ultimoError = QStringLiteral("La cuenta %1 excede los 30 caracteres de una cuenta contable.").arg(codigo);
            return QString();
        }
        db.ExecuteParams(
            QStringLiteral("INSERT INTO Cuenta_Contable (Cc_Cve_Cuenta_Contable, Cc_Descripcion, CC_Tipo, Cc_Titulo, "
                           "Cc_Naturaleza, Cc_Resultado, Cc_Grupo_Cuenta_Contable, Cc_Cuenta_Padre, Cc_Afectable) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {codigo, kt508::reglas::PrimerosCaracteres(descripcion, LargoDescripcionCuenta), int(tipo), int(titulo),
             naturaleza == 0 ? QStringLiteral("AC") : QStringLiteral("DE"),
             resultado ? QStringLiteral("SI") : QStringLiteral("NO"),
             kt508::reglas::PrimerosCaracteres(grupo, LargoGrupoCuenta), cuentaPadre, afectable ? 1 : 0});
        return codigo;
    } catch (const kt508::Error& e) {
        m_ultimoError = QStringLiteral("No se pudo dar de alta la cuenta contable: %1").arg(e.Description());
        return QString();
    }
}

// "" when the centre climbs to the root through existing centres; else why not. The whole chain
// of ancestors comes in one statement.
QString ServicioUtilerias::RevisaJerarquia(const QString& clave)
{
    ado::AdoConnection& db = Conexion();
    return JuzgaCadena(db.ExecuteParams(ado::Dialecto::De(db.dialect()).ConsultaCadena(), {clave}), clave);
}

QString ServicioUtilerias::JuzgaCadena(kt508::Recordset cadena, const QString& clave)
{
    QVariant acumula = cadena.Eof() ? QVariant() : cadena.Fields(QStringLiteral("Acumula")).Value;
    if (acumula.isNull())
        return QStringLiteral("El centro de costos %1 no existe o no tiene centro acumulador.").arg(clave);
    std::set<QString> vistos{clave};
    QString actual = clave;
    while (acumula.toString() != QLatin1String("0")) {
        const QString padre = acumula.toString();
        if (!vistos.insert(padre).second)
            return QStringLiteral("El centro de costos %1 no puede acumular en %2: se formaría un ciclo en la "
                                  "jerarquía.")
                .arg(actual, padre);
        cadena.MoveNext();
        const bool existe = !cadena.Eof() && cadena.Fields(QStringLiteral("Clave")).Value.toString() == padre;
        acumula = existe ? cadena.Fields(QStringLiteral("Acumula")).Value : QVariant();
        if (acumula.isNull())
            return QStringLiteral("El centro de costos %1 acumula en %2, que no existe.").arg(actual, padre);
        actual = padre;
    }
    return QString();
}

ado::AdoConnection::ConValores ServicioUtilerias::Registro(const QString& tabla, const QString& clave,
                                                           const QString& extra, const QDateTime& fecha)
{
    return {QStringLiteral("INSERT INTO Bitacora_Cambios (Bc_Tabla, Bc_Clave, Bc_Operador, Bc_Fecha, Bc_Detalle) "
                           "VALUES (?, ?, ?, ?, ?)"),
            {tabla, clave, kt508::reglas::PrimerosCaracteres(Operador(), LargoOperador), FormatoFechaHora(fecha),
             extra.isEmpty() ? QStringLiteral("Cambio confirmado")
                             : kt508::reglas::PrimerosCaracteres(extra, LargoDetalle)}};
}

void ServicioUtilerias::RegistraCambio(const QString& tabla, const QString& clave, const QString& extra)
{
    const ado::AdoConnection::ConValores registro = Registro(tabla, clave, extra, FechaServidor());
    Conexion().ExecuteParams(registro.texto, registro.valores);
}

// The chain and the record in one round trip: on a refusal the caller's rollback takes the record
// back. The clock is not read in between, so the statements go in the order they always did.
QString ServicioUtilerias::RevisaYRegistra(const QString& tabla, const QString& clave, const QString& extra)
{
    ado::AdoConnection& db = Conexion();
    std::vector<kt508::Resultado> hechos = db.ExecuteParamsBatch(
        {{ado::Dialecto::De(db.dialect()).ConsultaCadena(), {clave}}, Registro(tabla, clave, extra, HoraSeguida())});
    if (!hechos[0].Corrio())
        throw kt508::Error(hechos[0].error);
    const QString motivo = JuzgaCadena(hechos[0].filas, clave);
    if (motivo.isEmpty() && !hechos[1].Corrio())
        throw kt508::Error(hechos[1].error);
    return motivo;
}

// Outside a transaction nothing would take the record back, and a clock due to be read goes
// between the two statements: then the chain is judged before the record is sent.
bool ServicioUtilerias::ValidaCambio(const QString& tabla, const QString& clave, const QString& extra)
{
    m_ultimoError.clear();
    try {
        // The key as stored, blanks and all: trimmed, it may name another centre.
        const bool centro = tabla.compare(QStringLiteral("CENTRO_COSTO"), Qt::CaseInsensitive) == 0;
        ado::AdoConnection& db = Conexion();
        if (centro && db.EnTransaccion() && RelojVigente(db)) {
            m_ultimoError = RevisaYRegistra(tabla, clave, extra);
            return m_ultimoError.isEmpty();
        }
        if (centro)
            m_ultimoError = RevisaJerarquia(clave);
        if (!m_ultimoError.isEmpty())
            return false;
        RegistraCambio(tabla, clave, extra);
        return true;
    } catch (const kt508::Error& e) {
        m_ultimoError = QStringLiteral("No se pudo confirmar el cambio: %1").arg(e.Description());
        return false;
    }
}

QString ServicioUtilerias::UltimoError()
{
    return m_ultimoError;
}

void ServicioUtilerias::EnviaTeclas(const QString& teclas, int espera)
{
    static const QRegularExpression partes(QStringLiteral("\\{([A-Za-z]+)\\}|(.)"),
                                           QRegularExpression::DotMatchesEverythingOption);
    for (auto it = partes.globalMatch(teclas); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString caracter = m.captured(2);
        if (caracter == QLatin1String("\t"))
            PulsaTecla(Qt::Key_Tab, QStringLiteral("\t"), espera != 0);
        else if (caracter == QLatin1String("\r") || caracter == QLatin1String("\n"))
            PulsaTecla(Qt::Key_Return, QStringLiteral("\r"), espera != 0);
        else if (!caracter.isEmpty())
            PulsaTecla(caracter.toUpper().at(0).unicode(), caracter, espera != 0);
        else if (const int tecla = TeclaDeNombre(m.captured(1)))
            PulsaTecla(tecla, QString(), espera != 0);
    }
}

QString ServicioUtilerias::TextoTransaccion(const QString& codigo, const QString& aplicacion)
{
    const QString transaccion = codigo.trimmed();
    if (transaccion.isEmpty())
        return aplicacion;
    return QStringLiteral("%1 - Transacción %2").arg(aplicacion, transaccion);
}

void ServicioUtilerias::BuscaEnArbol(kt508::TreeView& arbol, const QString& texto)
{
    if (texto.isEmpty())
        return;
    kt508::Node* encontrado = SiguienteCoincidencia(arbol, texto);
    if (!encontrado) {
        DialogoMensaje::Muestra(QStringLiteral("No se encontró «%1» en el árbol.").arg(texto), 64,
                                QStringLiteral("Buscar"), &arbol);
        return;
    }
    arbol.setSelectedItem(encontrado);
    encontrado->EnsureVisible();
    arbol.setFocus(Qt::OtherFocusReason);
}

} // namespace orbanel
