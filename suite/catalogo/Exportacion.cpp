#include "suite/catalogo/Exportacion.h"

#include "kt508/services/Decimal.h"
#include "kt508/services/Error.h"
#include "suite/catalogo/Catalogo.h"
#include "suite/catalogo/Xlsx.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace orbanel::catalogo {

namespace {

QString Nombre(const QString& archivo)
{
    return QDir::toNativeSeparators(archivo);
}

QString Texto(const QVariant& valor)
{
    switch (valor.typeId()) {
    case QMetaType::QDate: return valor.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime: {
        const QDateTime momento = valor.toDateTime();
        return momento.toString(momento.time().msec() == 0 ? QStringLiteral("yyyy-MM-dd HH:mm:ss")
                                                           : QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    }
    default: break;
    }
    if (valor.metaType() == QMetaType::fromType<kt508::Decimal>())
        return valor.value<kt508::Decimal>().Texto();
    return valor.toString();
}

// RFC 4180: a value with a comma, a quote or a line break goes between quotes, its quotes
// doubled. NULL is an empty field and an empty text a pair of quotes, so both come back.
QString CampoCsv(const QVariant& valor)
{
    if (valor.isNull())
        return {};
    QString texto = Texto(valor);
    if (texto.isEmpty())
        return QStringLiteral("\"\"");
    const bool entreComillas = texto.contains(QLatin1Char(',')) || texto.contains(QLatin1Char('"'))
        || texto.contains(QLatin1Char('\r')) || texto.contains(QLatin1Char('\n'));
    if (!entreComillas)
        return texto;
    return QLatin1Char('"') + texto.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString RenglonCsv(const QStringList& campos)
{
    return campos.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QByteArray Csv(const std::vector<Fila>& filas)
{
    QStringList encabezados;
    for (const Columna& c : Columnas())
        encabezados << CampoCsv(c.encabezado);
    QString texto = RenglonCsv(encabezados);
    for (const Fila& fila : filas) {
        QStringList campos;
        for (const QVariant& valor : fila)
            campos << CampoCsv(valor);
        texto += RenglonCsv(campos);
    }
    // The mark tells spreadsheet programs that the text is UTF-8.
    return QByteArray("\xEF\xBB\xBF") + texto.toUtf8();
}

// QSaveFile writes under a temporary name in the same folder and renames on commit; dropped
// without a commit, it leaves the folder as it was.
void Guarda(const QString& archivo, const QByteArray& contenido)
{
    QSaveFile destino(archivo);
    if (!destino.open(QIODevice::WriteOnly))
        throw kt508::Error(
            QStringLiteral("No se pudo crear el archivo %1: %2").arg(Nombre(archivo), destino.errorString()));
    if (destino.write(contenido) != contenido.size() || !destino.commit())
        throw kt508::Error(
            QStringLiteral("No se pudo escribir el archivo %1: %2").arg(Nombre(archivo), destino.errorString()));
}

} // namespace

Formato FormatoDe(const QString& archivo)
{
    const QString extension = QFileInfo(archivo).suffix().toLower();
    if (extension == QLatin1String("csv"))
        return Formato::Csv;
    if (extension == QLatin1String("xlsx"))
        return Formato::Xlsx;
    throw kt508::Error(QStringLiteral("El catálogo se exporta a un archivo .csv (valores separados por comas) o "
                                      ".xlsx (libro de Excel); «%1» no termina en ninguna de las dos.")
                           .arg(Nombre(archivo)));
}

int Exporta(kt508::Connection& db, const QString& archivo)
{
    const Formato formato = FormatoDe(archivo);
    const std::vector<Fila> filas = LeeEnOrden(db);
    Guarda(archivo, formato == Formato::Csv ? Csv(filas) : LibroXlsx(filas));
    return static_cast<int>(filas.size());
}

} // namespace orbanel::catalogo
