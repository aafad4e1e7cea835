#include "suite/ado/Literales.h"

namespace orbanel::ado {

namespace {

constexpr int kMaxLiterales = 64;

bool esDeIdentificador(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool empiezaConSelect(const QString& sql, int& i)
{
    const int n = sql.size();
    while (i < n && sql.at(i).isSpace())
        ++i;
    if (sql.mid(i, 6).compare(QLatin1String("SELECT"), Qt::CaseInsensitive) != 0)
        return false;
    i += 6;
    return i < n && !esDeIdentificador(sql.at(i));
}

// Reads the literal that opens at i; i ends after its closing quote. False if unterminated.
bool leeLiteral(const QString& sql, int& i, QString& valor)
{
    const int n = sql.size();
    for (++i; i < n; ++i) {
        if (sql.at(i) != QLatin1Char('\'')) {
            valor += sql.at(i);
        } else if (i + 1 < n && sql.at(i + 1) == QLatin1Char('\'')) {
            valor += QLatin1Char('\'');
            ++i;
        } else {
            ++i;
            return true;
        }
    }
    return false;
}

// Copies a quoted identifier ("x", `x`, [x]) unchanged. False if unterminated.
bool copiaIdentificador(const QString& sql, int& i, QString& forma)
{
    const QChar cierre = sql.at(i) == QLatin1Char('[') ? QLatin1Char(']') : sql.at(i);
    const int fin = sql.indexOf(cierre, i + 1);
    if (fin < 0)
        return false;
    forma += QStringView(sql).mid(i, fin + 1 - i);
    i = fin + 1;
    return true;
}

} // namespace

bool SeparaLiterales(const QString& sql, QString& forma, QVariantList& valores)
{
    forma.clear();
    valores.clear();
    int i = 0;
    if (!empiezaConSelect(sql, i))
        return false;
    forma.reserve(sql.size());
    forma += QStringView(sql).left(i);
    const int n = sql.size();
    bool trasWhere = false;
    int palabra = -1; // start of the word being read
    while (i < n) {
        const QChar c = sql.at(i);
        if (esDeIdentificador(c)) {
            if (palabra < 0)
                palabra = i;
            forma += c;
            ++i;
            continue;
        }
        if (palabra >= 0) {
            trasWhere = trasWhere || QStringView(sql).mid(palabra, i - palabra).compare(QLatin1String("WHERE"), Qt::CaseInsensitive) == 0;
            palabra = -1;
            if (c == QLatin1Char('\''))
                return false; // X'..', N'..': not a plain text literal
        }
        if (c == QLatin1Char('\'')) {
            const int inicio = i;
            QString valor = QLatin1String(""); // '' is an empty text, never a NULL
            if (!leeLiteral(sql, i, valor))
                return false;
            if (!trasWhere) {
                forma += QStringView(sql).mid(inicio, i - inicio);
            } else if (valores.size() < kMaxLiterales) {
                forma += QLatin1Char('?');
                valores.append(valor);
            } else {
                return false;
            }
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            if (!copiaIdentificador(sql, i, forma))
                return false;
            continue;
        }
        const QChar sig = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char(';') || c == QLatin1Char('?') || c == QLatin1Char(':') || c == QLatin1Char('@')
            || c == QLatin1Char('$') || (c == QLatin1Char('-') && sig == QLatin1Char('-'))
            || (c == QLatin1Char('/') && sig == QLatin1Char('*')))
            return false;
        forma += c;
        ++i;
    }
    return true;
}

} // namespace orbanel::ado
