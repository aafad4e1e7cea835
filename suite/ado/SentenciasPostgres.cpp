#include "suite/ado/SentenciasPostgres.h"

#include "kt508/services/Decimal.h"
#include "kt508/services/Error.h"
#include "suite/ado/Fallos.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>

#include <libpq-fe.h>

#include <poll.h>

#include <cerrno>
#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>

namespace orbanel::ado {

namespace {

// The server's type codes of the columns read (pg_type).
enum Tipo : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kNumeric = 1700,
};

using ResultadoPg = std::unique_ptr<PGresult, decltype(&PQclear)>;

// Forms kept prepared on the server per connection; the tree load needs one, the commands a
// handful, texts with names from the catalogue a few more. Past this, statements go unnamed.
constexpr size_t kMaxPreparadas = 256;

// The server's answer when a prepared statement's result columns changed under it.
constexpr char kPlanCambiado[] = "0A000";
// The server's answer to an execution of a name it does not know.
constexpr char kSinPreparar[] = "26000";

// A value as the server reads it in text format: what the statement's text writes between quotes,
// or bare for a number. Null is handled by the caller.
QByteArray ParaServidor(const QVariant& valor)
{
    if (valor.metaType() == QMetaType::fromType<kt508::Decimal>())
        return valor.value<kt508::Decimal>().Texto().toLatin1();
    if (valor.typeId() == QMetaType::QByteArray)
        return QByteArrayLiteral("\\x") + valor.toByteArray().toHex();
    return valor.toString().toUtf8();
}

QVariant Texto(const char* datos, int largo)
{
    return largo == 0 ? QString(QLatin1String("")) : QString::fromUtf8(datos, largo);
}

// A cell by its column's type; a value this cannot read exactly (an infinite date, a NaN)
// comes as its text.
QVariant DelServidor(const char* datos, int largo, Oid tipo)
{
    const QLatin1String texto(datos, largo);
    switch (tipo) {
    case kBool: return QVariant(largo > 0 && datos[0] == 't');
    case kInt2:
    case kInt4: return QVariant(QByteArray::fromRawData(datos, largo).toInt());
    case kInt8:
    case kOid: return QVariant(QByteArray::fromRawData(datos, largo).toLongLong());
    case kFloat4:
    case kFloat8: return QVariant(QByteArray::fromRawData(datos, largo).toDouble());
    case kNumeric: {
        const std::optional<kt508::Decimal> exacto = kt508::Decimal::DeTexto(QString(texto));
        return exacto ? QVariant::fromValue(*exacto) : Texto(datos, largo);
    }
    case kDate: {
        const QDate dia = QDate::fromString(texto, Qt::ISODate);
        return dia.isValid() ? QVariant(dia) : Texto(datos, largo);
    }
    case kTime: {
        const QTime hora = QTime::fromString(texto, Qt::ISODateWithMs);
        return hora.isValid() ? QVariant(hora) : Texto(datos, largo);
    }
    case kTimestamp: {
        // The server's wall clock, no zone: a local date and time.
        const QDateTime momento(QDate::fromString(QString(texto).left(10), Qt::ISODate),
                                QTime::fromString(QString(texto).mid(11), Qt::ISODateWithMs));
        return momento.isValid() ? QVariant(momento) : Texto(datos, largo);
    }
    case kTimestampTz: {
        const QDateTime momento = QDateTime::fromString(texto, Qt::ISODateWithMs);
        return momento.isValid() ? QVariant(momento.toLocalTime()) : Texto(datos, largo);
    }
    case kBytea: {
        size_t bytes = 0;
        unsigned char* crudos = PQunescapeBytea(reinterpret_cast<const unsigned char*>(datos), &bytes);
        const QByteArray valor(reinterpret_cast<const char*>(crudos), static_cast<qsizetype>(bytes));
        PQfreemem(crudos);
        return valor;
    }
    default: return Texto(datos, largo);
    }
}

// The rows of a statement that gave some; a closed, empty recordset for one that gave none.
kt508::Recordset Filas(const PGresult* r)
{
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        kt508::Recordset vacio;
        vacio.Close();
        return vacio;
    }
    const int columnas = PQnfields(r);
    const int filas = PQntuples(r);
    QStringList nombres;
    std::vector<Oid> tipos;
    for (int j = 0; j < columnas; ++j) {
        nombres.append(QString::fromUtf8(PQfname(r, j)));
        tipos.push_back(PQftype(r, j));
    }
    std::vector<QVariant> celdas;
    celdas.reserve(static_cast<size_t>(columnas) * static_cast<size_t>(filas));
    for (int i = 0; i < filas; ++i) {
        for (int j = 0; j < columnas; ++j) {
            if (PQgetisnull(r, i, j))
                celdas.emplace_back();
            else
                celdas.push_back(DelServidor(PQgetvalue(r, i, j), PQgetlength(r, i, j), tipos[static_cast<size_t>(j)]));
        }
    }
    return kt508::Recordset(std::move(nombres), std::move(celdas));
}

bool Corrio(const PGresult* r)
{
    const ExecStatusType estado = PQresultStatus(r);
    return estado == PGRES_TUPLES_OK || estado == PGRES_COMMAND_OK || estado == PGRES_EMPTY_QUERY;
}

// The libpq connection behind Qt's.
PGconn* Manija(const QSqlDatabase& db)
{
    const QVariant manija = db.driver()->handle();
    if (qstrcmp(manija.typeName(), "pg_conn*") != 0 && qstrcmp(manija.typeName(), "PGconn*") != 0)
        throw kt508::Error(QStringLiteral("El controlador de PostgreSQL de Qt no dio su conexión de libpq."));
    return *static_cast<PGconn* const*>(manija.constData());
}

// How long the server may take before the user is shown that a statement waits.
constexpr int kTardaMs = 300;

// Waits for the socket, telling `alTardar` once when it takes long; false when it fails.
bool Espera(PGconn* pg, short eventos, short& ocurridos, const std::function<void()>& alTardar)
{
    pollfd p{PQsocket(pg), eventos, 0};
    int listo = 0;
    bool avisado = !alTardar;
    for (;;) {
        listo = poll(&p, 1, avisado ? -1 : kTardaMs);
        if (listo == 0 && !avisado) {
            avisado = true;
            alTardar();
            continue;
        }
        if (!(listo < 0 && errno == EINTR))
            break;
    }
    ocurridos = p.revents;
    return listo > 0;
}

} // namespace

// One pipeline: the statements queued without waiting, results read in order as they come.
// Outside a transaction each statement has its own sync, so that each stands alone (a pipeline
// without one is a single implicit transaction); inside one, one sync at the end: the first
// failure aborts the rest, which the transaction's rollback covers.
//
// Outside a transaction each form is prepared once, ahead of the statements in a segment of its
// own, so that the server parses and plans it once per connection. Inside one statements go
// unnamed: a prepared form whose columns changed under it fails, and that would end the
// transaction. Outside, such a statement is sent again on its own, unnamed; so is one whose form
// the server no longer knows (a pool between us and the server), and then no form is prepared
// again on this connection.
class SentenciasPostgres::Tuberia {
public:
    // `final`, when given, is told the position of each result as soon as it is final.
    Tuberia(SentenciasPostgres& motor, const std::vector<Orden>& lote, bool conNombres,
            std::vector<kt508::Resultado>& resultados, std::function<void(size_t)> final = {})
        : m_motor(motor)
        , m_pg(motor.m_pg)
        , m_lote(lote)
        , m_resultados(resultados)
        , m_final(std::move(final))
        , m_conNombres(conNombres && !motor.m_enTransaccion && !motor.m_sinNombres)
    {
    }

    void Corre()
    {
        bool bien = PQsetnonblocking(m_pg, 1) == 0 && PQenterPipelineMode(m_pg) == 1;
        if (bien && m_motor.m_beginPendiente)
            bien = Envia(QByteArrayLiteral("BEGIN"), {}, {}, Paso::Begin, 0);
        std::vector<QByteArray> textos(m_lote.size());
        for (size_t i = 0; bien && i < m_lote.size(); ++i) {
            textos[i] = m_lote[i].texto.toUtf8();
            if (m_conNombres)
                bien = Prepara(textos[i]);
        }
        for (size_t i = 0; bien && i < m_lote.size(); ++i)
            bien =
                Envia(textos[i], m_lote[i].valores, m_conNombres ? Nombre(textos[i]) : QByteArray(), Paso::Sentencia, i)
                && (m_motor.m_enTransaccion || Sincroniza()) && Empuja();
        if (bien && m_motor.m_enTransaccion)
            bien = Sincroniza();
        bien = bien && Empuja() && LeeTodo();
        if (!bien)
            Pierde();
        if (PQstatus(m_pg) == CONNECTION_OK) {
            PQexitPipelineMode(m_pg);
            PQsetnonblocking(m_pg, 0);
        }
        if (m_beginHecho)
            m_motor.m_beginPendiente = false;
        else if (!m_falloBegin.isNull() && !m_resultados.empty())
            m_resultados.front().error = m_falloBegin;
    }

    // The statements whose prepared form failed them: to be sent again, unnamed.
    const std::vector<size_t>& Repetir() const { return m_repetir; }

private:
    enum class Paso { Begin, Prepara, Sentencia, Sync };
    struct Esperado {
        Paso paso;
        size_t indice;
        QByteArray nombre; // the prepared form it uses or prepares; empty when unnamed
        bool recibido;
    };

    QByteArray Nombre(const QByteArray& texto) const
    {
        const auto it = m_motor.m_preparadas.find(texto);
        return it == m_motor.m_preparadas.end() ? QByteArray() : it->second;
    }

    // Prepares the form unless it is, or there are enough already.
    bool Prepara(const QByteArray& texto)
    {
        if (m_motor.m_preparadas.count(texto) || m_motor.m_preparadas.size() >= kMaxPreparadas)
            return true;
        const QByteArray nombre = QByteArrayLiteral("orbanel_") + QByteArray::number(++m_motor.m_nombres);
        if (!PQsendPrepare(m_pg, nombre.constData(), texto.constData(), 0, nullptr))
            return false;
        m_motor.m_preparadas.emplace(texto, nombre);
        m_esperados.push_back({Paso::Prepara, 0, nombre, false});
        return Sincroniza();
    }

    bool Envia(const QByteArray& texto, const QVariantList& valores, const QByteArray& nombre, Paso paso, size_t indice)
    {
        std::vector<QByteArray> datos(static_cast<size_t>(valores.size()));
        std::vector<const char*> punteros(datos.size(), nullptr);
        for (size_t j = 0; j < datos.size(); ++j) {
            const QVariant& valor = valores.at(static_cast<qsizetype>(j));
            if (!valor.isNull()) {
                datos[j] = ParaServidor(valor);
                punteros[j] = datos[j].constData();
            }
        }
        const int n = static_cast<int>(datos.size());
        const int enviada = nombre.isEmpty()
            ? PQsendQueryParams(m_pg, texto.constData(), n, nullptr, punteros.data(), nullptr, nullptr, 0)
            : PQsendQueryPrepared(m_pg, nombre.constData(), n, punteros.data(), nullptr, nullptr, 0);
        if (!enviada)
            return false;
        m_esperados.push_back({paso, indice, nombre, false});
        return true;
    }

    bool Sincroniza()
    {
        if (!PQpipelineSync(m_pg))
            return false;
        m_esperados.push_back({Paso::Sync, 0, {}, false});
        return true;
    }

    // Sends what is queued; while the server cannot take more, reads what it has answered, so
    // that neither side waits on the other however long the pipeline.
    bool Empuja()
    {
        for (;;) {
            const int pendiente = PQflush(m_pg);
            if (pendiente <= 0)
                return pendiente == 0;
            short ocurridos = 0;
            if (!Espera(m_pg, POLLIN | POLLOUT, ocurridos, m_motor.m_alTardar))
                return false;
            if ((ocurridos & POLLIN) && !(PQconsumeInput(m_pg) && LeeLlegados()))
                return false;
        }
    }

    bool LeeTodo()
    {
        while (LeeLlegados() && !m_esperados.empty()) {
            short ocurridos = 0;
            if (!Espera(m_pg, POLLIN, ocurridos, m_motor.m_alTardar) || !PQconsumeInput(m_pg))
                return false;
        }
        return m_esperados.empty();
    }

    // The results that have arrived; false once the connection is gone.
    bool LeeLlegados()
    {
        while (!m_esperados.empty() && !PQisBusy(m_pg)) {
            ResultadoPg r(PQgetResult(m_pg), &PQclear);
            Esperado& esperado = m_esperados.front();
            if (!r) {
                // A statement's results end with a null; none comes after a sync.
                if (!esperado.recibido)
                    break;
                m_esperados.pop_front();
                continue;
            }
            if (PQstatus(m_pg) != CONNECTION_OK)
                return false;
            Anota(esperado, r.get());
            if (esperado.paso == Paso::Sync)
                m_esperados.pop_front();
        }
        return PQstatus(m_pg) == CONNECTION_OK;
    }

    void Anota(Esperado& esperado, const PGresult* r)
    {
        esperado.recibido = true;
        const bool abortada = PQresultStatus(r) == PGRES_PIPELINE_ABORTED;
        switch (esperado.paso) {
        case Paso::Sync: break;
        case Paso::Begin:
            m_beginHecho = Corrio(r);
            if (!m_beginHecho && !abortada)
                m_falloBegin = m_motor.TextoDeFallo(r);
            break;
        case Paso::Prepara:
            // Its statements fail with the reason, and the next batch prepares the form again.
            if (!Corrio(r)) {
                m_falloPrepara.emplace(esperado.nombre, m_motor.TextoDeFallo(r));
                OlvidaForma(esperado.nombre);
            }
            break;
        case Paso::Sentencia: {
            kt508::Resultado& resultado = m_resultados[esperado.indice];
            if (Corrio(r)) {
                resultado.filas = Filas(r);
                Final(esperado.indice);
                break;
            }
            const QByteArray estado = PQresultErrorField(r, PG_DIAG_SQLSTATE);
            const auto preparada = m_falloPrepara.find(esperado.nombre);
            if (preparada != m_falloPrepara.end() && estado == kSinPreparar) {
                resultado.error = preparada->second;
            } else if (!esperado.nombre.isEmpty() && (estado == kPlanCambiado || estado == kSinPreparar)) {
                OlvidaForma(esperado.nombre);
                m_motor.m_sinNombres = m_motor.m_sinNombres || estado == kSinPreparar;
                m_repetir.push_back(esperado.indice);
            } else {
                resultado.error = abortada ? Motor::NoSeEjecuto() : m_motor.TextoDeFallo(r);
            }
            if (!resultado.error.isNull())
                Final(esperado.indice);
            break;
        }
        }
    }

    void Final(size_t indice)
    {
        if (m_final)
            m_final(indice);
    }

    void OlvidaForma(const QByteArray& nombre)
    {
        for (auto it = m_motor.m_preparadas.begin(); it != m_motor.m_preparadas.end(); ++it) {
            if (it->second == nombre) {
                m_motor.m_preparadas.erase(it);
                return;
            }
        }
    }

    // The connection went away, or libpq refused to queue: every result still awaited fails with
    // it, and the connection, its pipeline left unread, is opened again before it is used again.
    void Pierde()
    {
        const QString texto = m_motor.TextoDeFallo(nullptr);
        for (const Esperado& esperado : m_esperados) {
            if (esperado.paso == Paso::Sentencia && !esperado.recibido)
                m_resultados[esperado.indice].error = texto;
        }
        m_esperados.clear();
        m_motor.m_perdida = true;
    }

    SentenciasPostgres& m_motor;
    PGconn* m_pg;
    const std::vector<Orden>& m_lote;
    std::vector<kt508::Resultado>& m_resultados;
    std::function<void(size_t)> m_final;
    bool m_conNombres;
    std::deque<Esperado> m_esperados;
    bool m_beginHecho = false;
    QString m_falloBegin;
    std::unordered_map<QByteArray, QString> m_falloPrepara; // by name: why the form did not prepare
    std::vector<size_t> m_repetir;
};

SentenciasPostgres::SentenciasPostgres(QSqlDatabase db, QString base, QString clave)
    : m_db(std::move(db))
    , m_pg(Manija(m_db))
    , m_base(std::move(base))
    , m_clave(std::move(clave))
{
}

kt508::Recordset SentenciasPostgres::Texto(const QString& sql)
{
    AntesDeEnviar();
    if (m_beginPendiente) {
        // A text may hold several statements, which a pipeline does not take: BEGIN goes alone.
        const ResultadoPg begin(Simple(QByteArrayLiteral("BEGIN")), &PQclear);
        if (!Corrio(begin.get()))
            throw kt508::Error(TextoDeFallo(begin.get()));
        m_beginPendiente = false;
    }
    const ResultadoPg r(Simple(sql.toUtf8()), &PQclear);
    if (!Corrio(r.get()))
        throw kt508::Error(TextoDeFallo(r.get()));
    return Filas(r.get());
}

// Outside a transaction each result is handed on as soon as it and those before it are final,
// so that a long batch holds only what arrived ahead of its turn. Inside one, a failed BEGIN is
// known only at the end: the results are handed on then.
void SentenciasPostgres::Lote(const std::vector<Orden>& lote, const Entrega& entrega)
{
    if (lote.empty())
        return;
    AntesDeEnviar();
    ++m_viajes;
    std::vector<kt508::Resultado> resultados(lote.size());
    std::vector<bool> finales(lote.size(), false);
    size_t siguiente = 0;
    const auto final = [&](size_t i) {
        finales[i] = true;
        for (; siguiente < lote.size() && finales[siguiente]; ++siguiente) {
            entrega(siguiente, resultados[siguiente]);
            resultados[siguiente] = {};
        }
    };
    Tuberia tuberia(*this, lote, true, resultados, m_enTransaccion ? std::function<void(size_t)>() : final);
    tuberia.Corre();
    for (const size_t i : tuberia.Repetir()) { // in the batch's order, as the results came
        ++m_viajes;
        std::vector<kt508::Resultado> solo(1);
        Tuberia(*this, {lote[i]}, false, solo).Corre();
        resultados[i] = std::move(solo.front());
        final(i);
    }
    for (size_t i = siguiente; i < lote.size(); ++i)
        final(i);
}

// BEGIN waits for the first statement, so a transaction costs no round trip of its own.
void SentenciasPostgres::Comienza()
{
    AntesDeEnviar();
    m_beginPendiente = true;
    m_enTransaccion = true;
}

void SentenciasPostgres::Confirma()
{
    AntesDeEnviar();
    if (m_beginPendiente) { // nothing was sent: nothing to confirm
        m_beginPendiente = false;
        m_enTransaccion = false;
        return;
    }
    const ResultadoPg r(Simple(QByteArrayLiteral("COMMIT")), &PQclear);
    if (!Corrio(r.get()))
        throw kt508::Error(TextoDeFallo(r.get()));
    // The server answers a COMMIT of a transaction a failure aborted with a ROLLBACK.
    if (qstrcmp(PQcmdStatus(r.get()), "ROLLBACK") == 0)
        throw kt508::Error(QStringLiteral("No se pudo confirmar la transacción: la base de datos %1 ya la había "
                                          "deshecho por un fallo anterior.")
                               .arg(m_base));
    m_enTransaccion = false;
}

void SentenciasPostgres::Deshace()
{
    m_enTransaccion = false;
    if (m_beginPendiente) {
        m_beginPendiente = false;
        return;
    }
    // A lost connection took its transaction with it; a refused commit already ended it.
    if (m_perdida || PQtransactionStatus(m_pg) == PQTRANS_IDLE)
        return;
    const ResultadoPg r(Simple(QByteArrayLiteral("ROLLBACK")), &PQclear);
    if (!Corrio(r.get()))
        throw kt508::Error(TextoDeFallo(r.get()));
}

QString SentenciasPostgres::Marca(int i) const
{
    return QLatin1Char('$') + QString::number(i + 1);
}

// '?' outside quotes and quoted names becomes $1, $2...
QString SentenciasPostgres::DesdeInterrogaciones(const QString& texto) const
{
    QString resultado;
    resultado.reserve(texto.size() + 8);
    QChar comilla;
    int marca = 0;
    for (const QChar c : texto) {
        if (!comilla.isNull()) {
            if (c == comilla)
                comilla = QChar();
        } else if (c == u'\'' || c == u'"') {
            comilla = c;
        } else if (c == u'?') {
            resultado += Marca(marca++);
            continue;
        }
        resultado += c;
    }
    return resultado;
}

// A lost connection is opened again only outside a transaction: the one it held is gone with it.
void SentenciasPostgres::AntesDeEnviar()
{
    if (m_enTransaccion) {
        if (m_perdida)
            throw kt508::Error(TextoDePerdida(true, QString(), m_base));
        return;
    }
    if (m_perdida || PQstatus(m_pg) != CONNECTION_OK)
        Reabre();
}

void SentenciasPostgres::Reabre()
{
    m_preparadas.clear(); // gone with the old session
    m_db.close();
    if (!m_db.open())
        throw kt508::Error(TextoSinReconexion(Oculta(TextoPropio(m_db.lastError())), m_base));
    m_pg = Manija(m_db);
    m_perdida = false;
    for (const QString& ajuste : m_ajustes)
        PQclear(Simple(ajuste.toUtf8()));
}

PGresult* SentenciasPostgres::Simple(const QByteArray& sql)
{
    ++m_viajes;
    return PQexec(m_pg, sql.constData());
}

// The server's text behind the lead that says what happened (by its SQLSTATE); a connection
// found gone is marked to be opened again. Without a result, the connection's own message.
QString SentenciasPostgres::TextoDeFallo(const PGresult* resultado)
{
    const char* estado = resultado ? PQresultErrorField(resultado, PG_DIAG_SQLSTATE) : nullptr;
    QString propio = QString::fromUtf8(resultado ? PQresultErrorMessage(resultado) : "").trimmed();
    if (propio.isEmpty())
        propio = QString::fromUtf8(PQerrorMessage(m_pg)).trimmed();
    propio = Oculta(propio);
    Causa causa = CausaPostgres(QString::fromLatin1(estado ? estado : ""));
    if (PQstatus(m_pg) != CONNECTION_OK)
        causa = Causa::ConexionPerdida;
    if (causa != Causa::ConexionPerdida)
        return ado::TextoDeFallo(causa, propio, m_base);
    m_perdida = true;
    return TextoDePerdida(m_enTransaccion, propio, m_base);
}

// The server's text without the password, should it ever repeat it.
QString SentenciasPostgres::Oculta(QString texto) const
{
    return m_clave.isEmpty() ? texto : texto.replace(m_clave, QStringLiteral("****"));
}

} // namespace orbanel::ado
