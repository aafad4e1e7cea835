#include "suite/catalogo/Xlsx.h"

#include "kt508/services/Decimal.h"
#include "kt508/services/Error.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace orbanel::catalogo {

namespace {

// Above 2^53 a double skips whole numbers.
constexpr quint64 LimiteExacto = quint64(1) << 53;
// Spreadsheet programs indent a cell at most fifteen levels.
constexpr int SangriaMaxima = 15;
constexpr size_t IDescripcion = 3;

struct Libera {
    void operator()(lxw_workbook* libro) const { lxw_workbook_free(libro); }
};
using Libro = std::unique_ptr<lxw_workbook, Libera>;

struct Formatos {
    lxw_format* encabezado;
    lxw_format* decimal;
    lxw_format* fecha;
    lxw_format* fechaHora;
    std::vector<lxw_format*> sangrias; // the description at each level
};

lxw_format* ConNumero(lxw_workbook* libro, const char* formato)
{
    lxw_format* f = workbook_add_format(libro);
    format_set_num_format(f, formato);
    return f;
}

Formatos CreaFormatos(lxw_workbook* libro)
{
    Formatos f{workbook_add_format(libro),
               ConNumero(libro, "0.0000"),
               ConNumero(libro, "yyyy-mm-dd"),
               ConNumero(libro, "yyyy-mm-dd hh:mm:ss"),
               {}};
    format_set_bold(f.encabezado);
    format_set_bottom(f.encabezado, LXW_BORDER_THIN);
    for (int nivel = 0; nivel <= SangriaMaxima; ++nivel) {
        f.sangrias.push_back(workbook_add_format(libro));
        format_set_indent(f.sangrias.back(), static_cast<uint8_t>(nivel));
    }
    return f;
}

lxw_datetime Momento(const QDateTime& momento)
{
    const QDate d = momento.date();
    const QTime t = momento.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
}

// Excel's dates start in 1900 and end in 9999.
bool EsFechaDeHoja(const QDate& fecha)
{
    return fecha.year() >= 1900 && fecha.year() <= 9999;
}

class Hoja {
public:
    Hoja(lxw_worksheet* hoja, const Formatos& formatos)
        : m_hoja(hoja)
        , m_formatos(formatos)
    {
    }

    void Encabezados();
    void Centro(lxw_row_t renglon, const Fila& fila);

private:
    lxw_error Celda(lxw_row_t renglon, lxw_col_t columna, const QVariant& valor, lxw_format* formato);
    lxw_error Texto(lxw_row_t renglon, lxw_col_t columna, const QString& texto, lxw_format* formato);
    lxw_format* Sangria(const QVariant& nivel) const;

    lxw_worksheet* m_hoja;
    const Formatos& m_formatos;
};

[[noreturn]] void Falla(const QVariant& clave, lxw_error error)
{
    const QString motivo = error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED
        ? QStringLiteral("uno de sus textos pasa de 32 767 caracteres, lo más que admite una celda")
        : QString::fromUtf8(lxw_strerror(error));
    throw kt508::Error(
        QStringLiteral("No se pudo escribir el centro %1 en el libro: %2.").arg(clave.toString(), motivo));
}

void Hoja::Encabezados()
{
    const std::vector<Columna>& columnas = Columnas();
    for (size_t i = 0; i < columnas.size(); ++i) {
        const lxw_col_t columna = static_cast<lxw_col_t>(i);
        if (Texto(0, columna, columnas[i].encabezado, m_formatos.encabezado) != LXW_NO_ERROR)
            throw kt508::Error(QStringLiteral("No se pudieron escribir los encabezados del libro."));
        const bool ancha = i == IDescripcion || columnas[i].encabezado == QLatin1String("Ruta");
        worksheet_set_column(m_hoja, columna, columna, ancha ? 40 : 16, nullptr);
    }
    worksheet_freeze_panes(m_hoja, 1, 0);
}

void Hoja::Centro(lxw_row_t renglon, const Fila& fila)
{
    for (size_t i = 0; i < fila.size(); ++i) {
        lxw_format* formato = i == IDescripcion ? Sangria(fila[0]) : nullptr;
        const lxw_error error = Celda(renglon, static_cast<lxw_col_t>(i), fila[i], formato);
        if (error != LXW_NO_ERROR)
            Falla(fila[2], error);
    }
}

lxw_format* Hoja::Sangria(const QVariant& nivel) const
{
    const int sangria = nivel.isNull() ? 0 : std::min<int>(nivel.toInt() - 1, SangriaMaxima);
    return m_formatos.sangrias[static_cast<size_t>(std::max(sangria, 0))];
}

lxw_error Hoja::Texto(lxw_row_t renglon, lxw_col_t columna, const QString& texto, lxw_format* formato)
{
    return worksheet_write_string(m_hoja, renglon, columna, texto.toUtf8().constData(), formato);
}

// Numbers and dates as typed cells; what a cell of its kind cannot hold exactly, as text.
lxw_error Hoja::Celda(lxw_row_t renglon, lxw_col_t columna, const QVariant& valor, lxw_format* formato)
{
    if (valor.isNull())
        return LXW_NO_ERROR;
    if (valor.typeId() == QMetaType::LongLong && quint64(std::llabs(valor.toLongLong())) < LimiteExacto)
        return worksheet_write_number(m_hoja, renglon, columna, double(valor.toLongLong()), formato);
    if (valor.metaType() == QMetaType::fromType<kt508::Decimal>()) {
        const kt508::Decimal numero = valor.value<kt508::Decimal>();
        if (const std::optional<double> doble = DobleExacto(numero))
            return worksheet_write_number(m_hoja, renglon, columna, *doble, m_formatos.decimal);
        return Texto(renglon, columna, numero.Texto(), formato);
    }
    if (valor.typeId() == QMetaType::QDate && EsFechaDeHoja(valor.toDate())) {
        lxw_datetime fecha = Momento(valor.toDate().startOfDay());
        return worksheet_write_datetime(m_hoja, renglon, columna, &fecha, m_formatos.fecha);
    }
    if (valor.typeId() == QMetaType::QDateTime && EsFechaDeHoja(valor.toDateTime().date())) {
        lxw_datetime momento = Momento(valor.toDateTime());
        return worksheet_write_datetime(m_hoja, renglon, columna, &momento, m_formatos.fechaHora);
    }
    if (valor.typeId() == QMetaType::QDate)
        return Texto(renglon, columna, valor.toDate().toString(QStringLiteral("yyyy-MM-dd")), formato);
    return Texto(renglon, columna, valor.toString(), formato);
}

// libxlsxwriter writes to a file it names; the bytes are read back from there.
QByteArray Contenido(const std::vector<Fila>& filas, const QString& ruta)
{
    Libro libro(workbook_new(QFile::encodeName(ruta).constData()));
    if (!libro)
        throw kt508::Error(QStringLiteral("No se pudo preparar el libro de Excel."));
    lxw_worksheet* hoja = workbook_add_worksheet(libro.get(), "Centros de costos");
    const Formatos formatos = CreaFormatos(libro.get());
    Hoja escritura(hoja, formatos);
    escritura.Encabezados();
    lxw_row_t renglon = 1;
    for (const Fila& fila : filas)
        escritura.Centro(renglon++, fila);
    const lxw_error error = workbook_close(libro.release());
    if (error != LXW_NO_ERROR)
        throw kt508::Error(
            QStringLiteral("No se pudo escribir el libro de Excel: %1.").arg(QString::fromUtf8(lxw_strerror(error))));
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        throw kt508::Error(
            QStringLiteral("No se pudo leer el libro de Excel recién escrito: %1.").arg(archivo.errorString()));
    return archivo.readAll();
}

} // namespace

std::optional<double> DobleExacto(const kt508::Decimal& numero)
{
    QString digitos = numero.Texto();
    const bool negativo = digitos.startsWith(QLatin1Char('-'));
    const qsizetype punto = digitos.indexOf(QLatin1Char('.'));
    int exponente = punto < 0 ? 0 : -static_cast<int>(digitos.size() - punto - 1);
    digitos.remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    bool cabe = false;
    quint64 entero = digitos.toULongLong(&cabe);
    if (!cabe)
        return std::nullopt;
    // entero * 10^exponente = entero / 5^-exponente * 2^exponente: exact only when the fives divide it.
    for (int i = exponente; i < 0; ++i) {
        if (entero % 5 != 0)
            return std::nullopt;
        entero /= 5;
    }
    while (entero >= LimiteExacto && entero % 2 == 0) {
        entero /= 2;
        ++exponente;
    }
    if (entero >= LimiteExacto)
        return std::nullopt;
    return std::ldexp(negativo ? -double(entero) : double(entero), exponente);
}

QByteArray LibroXlsx(const std::vector<Fila>& filas)
{
    QTemporaryFile temporal(QDir::temp().filePath(QStringLiteral("orbanel-XXXXXX.xlsx")));
    if (!temporal.open())
        throw kt508::Error(QStringLiteral("No se pudo crear un archivo temporal para el libro de Excel: %1.")
                               .arg(temporal.errorString()));
    temporal.close();
    return Contenido(filas, temporal.fileName());
}

} // namespace orbanel::catalogo
