#include "suite/ado/SentenciasQt.h"

#include "kt508/services/Decimal.h"
#include "kt508/services/Error.h"
#include "suite/ado/Dialecto.h"
#include "suite/ado/Fallos.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include <utility>

namespace orbanel::ado {

namespace {

// Prepared forms kept per connection; the tree load needs one, the commands a handful.
constexpr size_t kMaxPreparadas = 64;

// SELECT, INSERT, UPDATE or DELETE: statements that leave the schema as it is.
bool EsManipulacion(const QString& sql)
{
    const QString inicio = sql.trimmed().section(QLatin1Char(' '), 0, 0);
    for (const char* verbo : {"SELECT", "INSERT", "UPDATE", "DELETE"}) {
        if (inicio.compare(QLatin1String(verbo), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Qt SQL binds what it knows; an exact decimal goes as its text, which the database reads exactly.
// Only a null QVariant is NULL: Qt SQL would bind a null string as NULL too, where the statement's
// text writes ''.
QVariant ParaQt(const QVariant& valor)
{
    if (valor.metaType() == QMetaType::fromType<kt508::Decimal>())
        return valor.value<kt508::Decimal>().Texto();
    if (!valor.isNull() && valor.typeId() == QMetaType::QString && valor.toString().isNull())
        return QString(QLatin1String(""));
    return valor;
}

void Liga(QSqlQuery& q, const QVariantList& valores)
{
    for (int i = 0; i < valores.size(); ++i)
        q.bindValue(i, ParaQt(valores.at(i)));
}

// ODBC reads numbers with their exact text (the connection asks for high precision): a numeric
// or decimal column becomes a Decimal, any other floating column a double as before.
enum class Lectura { Tal, Exacta, Doble };

// ODBC's codes of the exact types, SQL_NUMERIC and SQL_DECIMAL.
constexpr int kSqlNumeric = 2;
constexpr int kSqlDecimal = 3;

Lectura LecturaDe(const QSqlField& campo)
{
    if (campo.metaType().id() != QMetaType::Double)
        return Lectura::Tal;
    return campo.typeID() == kSqlNumeric || campo.typeID() == kSqlDecimal ? Lectura::Exacta : Lectura::Doble;
}

QVariant Lee(QVariant valor, Lectura lectura)
{
    if (valor.isNull() || lectura == Lectura::Tal)
        return valor;
    if (lectura == Lectura::Doble)
        return valor.toDouble();
    const std::optional<kt508::Decimal> exacto = kt508::Decimal::DeTexto(valor.toString());
    return exacto ? QVariant::fromValue(*exacto) : valor;
}

} // namespace

SentenciasQt::SentenciasQt(QSqlDatabase db, const Dialecto* lotes, QString base, QString clave)
    : m_db(std::move(db))
    , m_query(m_db)
    , m_lotes(lotes)
    , m_base(std::move(base))
    , m_clave(std::move(clave))
{
    m_query.setForwardOnly(true);
    // The query of plain texts was made before the policy changed: it takes it on its own.
    if (m_lotes) {
        m_db.setNumericalPrecisionPolicy(QSql::HighPrecision);
        m_query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    }
}

SentenciasQt::~SentenciasQt()
{
    m_preparadas.clear();
    m_query = QSqlQuery();
}

kt508::Recordset SentenciasQt::Texto(const QString& sql)
{
    AntesDeEnviar();
    if (m_lotes)
        ++m_viajes;
    // A change of the schema would leave the prepared forms planned for the old one.
    if (!EsManipulacion(sql))
        m_preparadas.clear();
    if (!m_query.exec(sql))
        Falla(m_query.lastError());
    return Recoge(m_query);
}

// The driver reads a batch's results whole: they are handed on once all have come.
void SentenciasQt::Lote(const std::vector<Orden>& lote, const Entrega& entrega)
{
    if (!m_lotes || lote.size() < 2)
        return UnoAUno(
            lote, [this](const Orden& orden) { return Una(orden); }, entrega);
    std::vector<kt508::Resultado> resultados = EnUnaEjecucion(lote, 0);
    for (size_t i = 0; i < resultados.size(); ++i)
        entrega(i, resultados[i]);
}

kt508::Recordset SentenciasQt::Una(const Orden& orden)
{
    AntesDeEnviar();
    if (!m_lotes) {
        QSqlQuery* q = Preparada(orden);
        if (!q->exec()) {
            const QSqlError error = q->lastError();
            m_preparadas.erase(orden.texto); // prepared again, against the schema of then
            Falla(error);
        }
        return Recoge(*q);
    }
    ++m_viajes;
    if (!m_query.prepare(orden.texto))
        Falla(m_query.lastError());
    Liga(m_query, orden.valores);
    if (!m_query.exec())
        Falla(m_query.lastError());
    return Recoge(m_query);
}

// The statements from `desde` on in one execution. SQL Server goes on after a failed statement:
// the dialect's batch stops there, and outside a transaction the rest is sent again. A failure of
// the execution itself (the first statement, or a batch that does not compile) left nothing run,
// and through PostgreSQL's driver any failure undoes the whole execution: then the statements go
// one by one, so that each gets its own result.
std::vector<kt508::Resultado> SentenciasQt::EnUnaEjecucion(const std::vector<Orden>& lote, size_t desde)
{
    std::vector<kt508::Resultado> resultados(lote.size() - desde);
    QStringList textos;
    QVariantList valores;
    for (size_t i = desde; i < lote.size(); ++i) {
        textos << lote[i].texto;
        valores << lote[i].valores;
    }
    AntesDeEnviar();
    ++m_viajes;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool corrio = q.prepare(m_lotes->UneLote(textos));
    if (corrio) {
        Liga(q, valores);
        corrio = q.exec();
    }
    size_t k = 0;
    QString fallo;
    while (corrio) {
        try {
            resultados[k].filas = Recoge(q, true);
        } catch (const kt508::Error& e) {
            fallo = e.Description();
            break;
        }
        if (++k == resultados.size())
            return resultados;
        corrio = q.nextResult();
    }
    if (fallo.isNull())
        fallo = q.lastError().isValid() ? TextoDeFallo(q.lastError())
                                        : QStringLiteral("La base de datos no devolvió el resultado de una sentencia.");
    if (k == 0 || m_lotes->LoteTodoONada())
        return UnoAUno(std::vector<Orden>(lote.begin() + static_cast<std::ptrdiff_t>(desde), lote.end()),
                       [this](const Orden& orden) { return Una(orden); });
    resultados[k].error = fallo;
    for (size_t resto = k + 1; resto < resultados.size(); ++resto)
        resultados[resto].error = NoSeEjecuto();
    if (!m_enTransaccion && k + 1 < resultados.size()) {
        try {
            std::vector<kt508::Resultado> siguen =
                Lote(std::vector<Orden>(lote.begin() + static_cast<std::ptrdiff_t>(desde + k + 1), lote.end()));
            std::move(siguen.begin(), siguen.end(), resultados.begin() + static_cast<std::ptrdiff_t>(k + 1));
        } catch (const kt508::Error& e) {
            for (size_t resto = k + 1; resto < resultados.size(); ++resto)
                resultados[resto].error = e.Description();
        }
    }
    return resultados;
}

// SQLite's prepared form with the values bound.
QSqlQuery* SentenciasQt::Preparada(const Orden& orden)
{
    DescartaFormasViejas();
    auto it = m_preparadas.find(orden.texto);
    if (it == m_preparadas.end()) {
        if (m_preparadas.size() >= kMaxPreparadas)
            m_preparadas.clear();
        auto q = std::make_unique<QSqlQuery>(m_db);
        q->setForwardOnly(true);
        if (!q->prepare(orden.texto))
            Falla(q->lastError());
        it = m_preparadas.emplace(orden.texto, std::move(q)).first;
    }
    Liga(*it->second, orden.valores);
    return it->second.get();
}

void SentenciasQt::DescartaFormasViejas()
{
    QSqlQuery version(m_db);
    if (!version.exec(QStringLiteral("PRAGMA schema_version")) || !version.next())
        return;
    const qint64 actual = version.value(0).toLongLong();
    if (actual != m_versionEsquema && m_versionEsquema != -1) {
        m_preparadas.clear();
        // A statement run against the catalogue makes the connection read the new schema before
        // the next form is prepared against it.
        version.exec(QStringLiteral("SELECT 1 FROM sqlite_master LIMIT 1"));
    }
    m_versionEsquema = actual;
}

kt508::Recordset SentenciasQt::Recoge(QSqlQuery& q, bool siguenResultados)
{
    if (!q.isSelect()) {
        if (!siguenResultados)
            q.finish();
        kt508::Recordset vacio;
        vacio.Close();
        return vacio;
    }
    const QSqlRecord record = q.record();
    const int columnas = record.count();
    QStringList names;
    std::vector<Lectura> lecturas;
    names.reserve(columnas);
    for (int i = 0; i < columnas; ++i) {
        names.append(record.fieldName(i));
        lecturas.push_back(m_lotes ? LecturaDe(record.field(i)) : Lectura::Tal);
    }
    std::vector<QVariant> cells;
    cells.reserve(static_cast<size_t>(columnas) * 4);
    while (q.next()) {
        for (int i = 0; i < columnas; ++i) {
            QVariant valor = q.value(i);
            if (valor.isNull())
                cells.emplace_back(); // SQL NULL, whatever type the driver gave it
            else
                cells.push_back(Lee(std::move(valor), lecturas[static_cast<size_t>(i)]));
        }
    }
    const QSqlError error = q.lastError();
    if (!siguenResultados)
        q.finish();
    if (error.isValid())
        Falla(error);
    return kt508::Recordset(std::move(names), std::move(cells));
}

void SentenciasQt::Comienza()
{
    AntesDeEnviar();
    if (m_lotes)
        ++m_viajes;
    if (!m_db.transaction())
        Falla(m_db.lastError());
    m_enTransaccion = true;
}

void SentenciasQt::Confirma()
{
    AntesDeEnviar();
    if (m_lotes)
        ++m_viajes;
    if (!m_db.commit())
        Falla(m_db.lastError());
    m_enTransaccion = false;
}

void SentenciasQt::Deshace()
{
    m_enTransaccion = false;
    if (m_perdida) // a lost connection took its transaction with it
        return;
    if (m_lotes)
        ++m_viajes;
    if (!m_db.rollback())
        Falla(m_db.lastError());
}

// A lost connection is opened again only outside a transaction: the one it held is gone with it.
void SentenciasQt::AntesDeEnviar()
{
    if (!m_lotes)
        return;
    if (m_enTransaccion) {
        if (m_perdida)
            throw kt508::Error(TextoDePerdida(true, QString(), m_base));
        return;
    }
    if (m_perdida || (m_dudosa && !Responde()))
        Reabre();
    m_dudosa = false;
}

bool SentenciasQt::Responde()
{
    ++m_viajes;
    QSqlQuery sonda(m_db);
    return sonda.exec(QStringLiteral("SELECT 1"));
}

void SentenciasQt::Reabre()
{
    m_query = QSqlQuery();
    m_db.close();
    if (!m_db.open()) {
        QString propio = TextoPropio(m_db.lastError());
        if (!m_clave.isEmpty())
            propio.replace(m_clave, QStringLiteral("****"));
        throw kt508::Error(TextoSinReconexion(propio, m_base));
    }
    m_query = QSqlQuery(m_db);
    m_query.setForwardOnly(true);
    m_perdida = false;
    m_dudosa = false;
}

// The driver's text behind the lead that says what happened; a lost connection is marked to be
// opened again. ODBC drivers say little through Qt, so a failure there is checked by asking the
// server for something trivial, except inside a transaction that a failure may have aborted.
QString SentenciasQt::TextoDeFallo(const QSqlError& error)
{
    Causa causa = CausaDe(error, m_db.driverName());
    if (m_lotes && causa == Causa::Otra) {
        if (!m_enTransaccion && !Responde())
            causa = Causa::ConexionPerdida;
        m_dudosa = m_dudosa || m_enTransaccion;
    }
    QString propio = TextoPropio(error);
    if (!m_clave.isEmpty())
        propio.replace(m_clave, QStringLiteral("****"));
    if (causa != Causa::ConexionPerdida)
        return ado::TextoDeFallo(causa, propio, m_base);
    m_perdida = true;
    return TextoDePerdida(m_enTransaccion, propio, m_base);
}

void SentenciasQt::Falla(const QSqlError& error)
{
    throw kt508::Error(TextoDeFallo(error));
}

} // namespace orbanel::ado
