#include "suite/schema/Guiones.h"

#include "kt508/services/Error.h"
#include "suite/ado/Dialecto.h"

#include <QFile>

// Outside any namespace, as Qt's resource macro requires.
static void iniciaRecursosEsquema()
{
    Q_INIT_RESOURCE(schema);
}

namespace orbanel::schema {

QString Guion(ado::Dialect dialect, const QString& proposito)
{
    return QStringLiteral(":/orbanel/schema/%1-%2.sql").arg(ado::Dialecto::De(dialect).Nombre(), proposito);
}

QStringList Sentencias(const QString& texto)
{
    QStringList resultado;
    QString actual;
    bool entreDolares = false;
    int cuerpos = 0;
    for (const QString& linea : texto.split(QLatin1Char('\n'))) {
        const QString limpia = linea.trimmed();
        if (limpia.isEmpty() || limpia.startsWith(QLatin1String("--")))
            continue;
        if (!actual.isEmpty())
            actual += QLatin1Char('\n');
        actual += linea;
        if (linea.count(QLatin1String("$$")) % 2 == 1)
            entreDolares = !entreDolares;
        if (limpia.endsWith(QLatin1String("BEGIN"), Qt::CaseInsensitive))
            ++cuerpos;
        else if (cuerpos > 0 && limpia.compare(QLatin1String("END;"), Qt::CaseInsensitive) == 0)
            --cuerpos;
        if (!entreDolares && cuerpos == 0 && limpia.endsWith(QLatin1Char(';'))) {
            actual.chop(actual.size() - actual.lastIndexOf(QLatin1Char(';')));
            resultado.append(actual);
            actual.clear();
        }
    }
    if (!actual.trimmed().isEmpty())
        resultado.append(actual);
    return resultado;
}

QStringList SentenciasDe(const QString& recurso)
{
    iniciaRecursosEsquema();
    QFile archivo(recurso);
    if (!archivo.open(QIODevice::ReadOnly | QIODevice::Text))
        throw kt508::Error(QStringLiteral("No se encontró el guion del esquema %1.").arg(recurso));
    return Sentencias(QString::fromUtf8(archivo.readAll()));
}

void EjecutaSiHay(ado::AdoConnection& db, const QString& proposito)
{
    for (const QString& sentencia : SentenciasSiHay(db.dialect(), proposito))
        db.Execute(sentencia);
}

QStringList SentenciasSiHay(ado::Dialect dialect, const QString& proposito)
{
    iniciaRecursosEsquema();
    const QString recurso = Guion(dialect, proposito);
    return QFile::exists(recurso) ? SentenciasDe(recurso) : QStringList();
}

} // namespace orbanel::schema
