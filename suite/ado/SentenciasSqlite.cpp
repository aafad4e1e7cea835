#include "suite/ado/SentenciasSqlite.h"

#include "kt508/services/Error.h"
#include "suite/ado/Fallos.h"

#include <QDate>
#include <QDateTime>
#include <QStringView>
#include <QTime>

#include <sqlite3.h>

#include <utility>
#include <vector>

namespace orbanel::ado {

namespace {

// Prepared forms kept per connection; the tree load needs one, the commands a handful.
constexpr size_t kMaxPreparadas = 64;

// Leaves the statement ready for its next use whatever happens while it runs.
class Reinicio {
public:
    explicit Reinicio(sqlite3_stmt* stmt)
        : m_stmt(stmt)
    {
    }
    ~Reinicio()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    Reinicio(const Reinicio&) = delete;
    Reinicio& operator=(const Reinicio&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

int ligaTexto(sqlite3_stmt* stmt, int posicion, const QString& texto)
{
    const QByteArray utf8 = texto.toUtf8();
    return sqlite3_bind_text(stmt, posicion, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

// The same conversions Qt's SQLite driver applies, so stored values do not change.
int ligaValor(sqlite3_stmt* stmt, int posicion, const QVariant& valor)
{
    if (valor.isNull())
        return sqlite3_bind_null(stmt, posicion);
    switch (valor.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray* bytes = static_cast<const QByteArray*>(valor.constData());
        return sqlite3_bind_blob(stmt, posicion, bytes->constData(), static_cast<int>(bytes->size()), SQLITE_TRANSIENT);
    }
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Bool:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return sqlite3_bind_int64(stmt, posicion, valor.toLongLong());
    case QMetaType::Double: return sqlite3_bind_double(stmt, posicion, valor.toDouble());
    case QMetaType::QDateTime: return ligaTexto(stmt, posicion, valor.toDateTime().toString(Qt::ISODateWithMs));
    case QMetaType::QTime: return ligaTexto(stmt, posicion, valor.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
    default: return ligaTexto(stmt, posicion, valor.toString());
    }
}

QVariant valorDe(sqlite3_stmt* stmt, int columna)
{
    switch (sqlite3_column_type(stmt, columna)) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, columna)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt, columna));
    case SQLITE_BLOB: {
        const char* datos = static_cast<const char*>(sqlite3_column_blob(stmt, columna));
        return QVariant(QByteArray(datos, sqlite3_column_bytes(stmt, columna)));
    }
    default: {
        // The file keeps UTF-8: converting it here is cheaper than asking SQLite for UTF-16.
        const char* texto = reinterpret_cast<const char*>(sqlite3_column_text(stmt, columna));
        const int bytes = sqlite3_column_bytes(stmt, columna);
        return QVariant(bytes == 0 ? QString(QLatin1String("")) : QString::fromUtf8(texto, bytes));
    }
    }
}

} // namespace

SentenciasSqlite::SentenciasSqlite(sqlite3* conexion, QString base)
    : m_conexion(conexion)
    , m_base(std::move(base))
{
}

SentenciasSqlite::~SentenciasSqlite()
{
    Finaliza();
}

void SentenciasSqlite::Finaliza()
{
    for (auto& [texto, p] : m_preparadas)
        sqlite3_finalize(p.stmt);
    m_preparadas.clear();
}

kt508::Recordset SentenciasSqlite::Texto(const QString& sql)
{
    return EjecutaConValores(sql, {});
}

// Outside a transaction a batch that only reads runs in one read transaction: the file is locked
// and checked once, not once a statement, and a read that fails spoils none of the others.
void SentenciasSqlite::Lote(const std::vector<Orden>& lote, const Entrega& entrega)
{
    const auto corre = [this](const Orden& orden) { return EjecutaConValores(orden.texto, orden.valores); };
    if (m_enTransaccion || lote.size() < 2 || !SoloLeen(lote))
        return UnoAUno(lote, corre, entrega);
    EjecutaConValores(QStringLiteral("BEGIN"), {});
    UnoAUno(lote, corre, entrega);
    EjecutaConValores(QStringLiteral("COMMIT"), {});
}

bool SentenciasSqlite::SoloLeen(const std::vector<Orden>& lote)
{
    for (const Orden& orden : lote) {
        QString error;
        const Preparada* p = intentaPreparar(orden.texto, error);
        if (!p || !sqlite3_stmt_readonly(p->stmt))
            return false;
    }
    return true;
}

// BEGIN, COMMIT and ROLLBACK on the same handle as the statements. A transaction takes the
// file's write lock with its first statement, waiting for it as any statement waits: a read
// first and a write later could not wait (the writer ahead might wait for that reader), and
// nothing is held while a command waits for its user before it writes.
void SentenciasSqlite::Comienza()
{
    m_comienzoPendiente = true;
    m_enTransaccion = true;
}

void SentenciasSqlite::Confirma()
{
    if (!m_comienzoPendiente)
        EjecutaConValores(QStringLiteral("COMMIT"), {});
    m_comienzoPendiente = false;
    m_enTransaccion = false;
}

void SentenciasSqlite::Deshace()
{
    m_enTransaccion = false;
    if (!std::exchange(m_comienzoPendiente, false))
        EjecutaConValores(QStringLiteral("ROLLBACK"), {});
}

kt508::Recordset SentenciasSqlite::EjecutaConValores(const QString& sentencia, const QVariantList& valores)
{
    if (m_comienzoPendiente) {
        corre(preparada(QStringLiteral("BEGIN IMMEDIATE"))); // still pending when it fails
        m_comienzoPendiente = false;
    }
    Preparada& p = preparada(sentencia);
    liga(p, valores);
    return corre(p);
}

SentenciasSqlite::Preparada& SentenciasSqlite::preparada(const QString& texto)
{
    QString error;
    Preparada* p = intentaPreparar(texto, error);
    if (!p)
        falla(sqlite3_extended_errcode(m_conexion), error);
    return *p;
}

// The statement prepared once and kept; null, with SQLite's text in `error`, when it does not prepare.
SentenciasSqlite::Preparada* SentenciasSqlite::intentaPreparar(const QString& texto, QString& error)
{
    auto it = m_preparadas.find(texto);
    if (it == m_preparadas.end()) {
        sqlite3_stmt* stmt = nullptr;
        const void* resto = nullptr;
        const int rc = sqlite3_prepare16_v3(m_conexion, texto.utf16(), static_cast<int>(texto.size() * sizeof(QChar)),
                                            SQLITE_PREPARE_PERSISTENT, &stmt, &resto);
        if (rc != SQLITE_OK) {
            error = QString::fromUtf8(sqlite3_errmsg(m_conexion)).trimmed();
            return nullptr;
        }
        const QChar* fin = texto.constData() + texto.size();
        const QChar* sobra = resto ? static_cast<const QChar*>(resto) : fin;
        if (!QStringView(sobra, fin).trimmed().isEmpty()) {
            sqlite3_finalize(stmt);
            error = QStringLiteral("No se pueden ejecutar varias sentencias a la vez.");
            return nullptr;
        }
        if (!stmt) {
            error = QStringLiteral("La sentencia está vacía.");
            return nullptr;
        }
        if (m_preparadas.size() >= kMaxPreparadas)
            descartaAntigua();
        it = m_preparadas.emplace(texto, Preparada{stmt, {}, -1, 0, 0}).first;
    }
    it->second.uso = ++m_usos;
    return &it->second;
}

// Drops the form unused for longest, so one-off statements do not push out the loops' forms.
void SentenciasSqlite::descartaAntigua()
{
    auto antigua = m_preparadas.begin();
    for (auto it = m_preparadas.begin(); it != m_preparadas.end(); ++it) {
        if (it->second.uso < antigua->second.uso)
            antigua = it;
    }
    sqlite3_finalize(antigua->second.stmt);
    m_preparadas.erase(antigua);
}

void SentenciasSqlite::liga(Preparada& p, const QVariantList& valores)
{
    if (sqlite3_bind_parameter_count(p.stmt) != valores.size())
        throw kt508::Error(QStringLiteral("La sentencia espera %1 valores y recibió %2.")
                               .arg(sqlite3_bind_parameter_count(p.stmt))
                               .arg(valores.size()));
    for (int i = 0; i < valores.size(); ++i) {
        const int rc = ligaValor(p.stmt, i + 1, valores.at(i));
        if (rc != SQLITE_OK) {
            sqlite3_clear_bindings(p.stmt);
            falla();
        }
    }
}

void SentenciasSqlite::leeNombres(Preparada& p)
{
    const int columnas = sqlite3_column_count(p.stmt);
    p.nombres.clear();
    p.nombres.reserve(columnas);
    for (int i = 0; i < columnas; ++i) {
        const auto* nombre = static_cast<const char16_t*>(sqlite3_column_name16(p.stmt, i));
        p.nombres.append(QString::fromUtf16(nombre).remove(QLatin1Char('"')));
    }
    p.repreparaciones = sqlite3_stmt_status(p.stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
}

kt508::Recordset SentenciasSqlite::corre(Preparada& p)
{
    std::vector<QVariant> celdas;
    celdas.reserve(p.celdas);
    {
        Reinicio reinicio(p.stmt);
        int rc = sqlite3_step(p.stmt);
        if (p.repreparaciones != sqlite3_stmt_status(p.stmt, SQLITE_STMTSTATUS_REPREPARE, 0))
            leeNombres(p);
        const int columnas = p.nombres.size();
        while (rc == SQLITE_ROW) {
            for (int i = 0; i < columnas; ++i)
                celdas.push_back(valorDe(p.stmt, i));
            rc = sqlite3_step(p.stmt);
        }
        // Kept prepared even so: after a schema change SQLite prepares it again on its next use.
        if (rc != SQLITE_DONE)
            falla();
    }
    // Room as the last result needed; a smaller result does not keep what it did not use.
    p.celdas = celdas.size();
    if (celdas.capacity() > 2 * celdas.size())
        celdas.shrink_to_fit();
    if (p.nombres.isEmpty()) {
        kt508::Recordset vacio;
        vacio.Close();
        return vacio;
    }
    return kt508::Recordset(p.nombres, std::move(celdas));
}

void SentenciasSqlite::falla()
{
    falla(sqlite3_extended_errcode(m_conexion), QString::fromUtf8(sqlite3_errmsg(m_conexion)).trimmed());
}

void SentenciasSqlite::falla(int codigo, const QString& mensaje)
{
    throw kt508::Error(TextoDeFallo(CausaSqlite(codigo, mensaje), mensaje, m_base));
}

} // namespace orbanel::ado
