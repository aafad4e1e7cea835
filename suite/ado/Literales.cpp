#include "suite/ado/Literales.h"

#include <QLatin1String>

#include <algorithm>
#include <iterator>

namespace orbanel::ado {

namespace {

constexpr int kMaxLiterales = 64;

// After these words a literal is a value; after any other word it is typed (DATE '...').
constexpr const char* kAntesDeValor[] = {"WHERE",   "AND", "OR",   "NOT",  "LIKE", "ILIKE", "GLOB",
                                         "BETWEEN", "IS",  "CASE", "WHEN", "THEN", "ELSE",  "ESCAPE"};
// Clauses that end the top level's WHERE: their literals may have to match the select list.
constexpr const char* kFinDeWhere[] = {"GROUP", "HAVING", "ORDER", "UNION",  "INTERSECT", "EXCEPT",
                                       "LIMIT", "OFFSET", "FETCH", "WINDOW", "FOR"};

template <size_t N> bool esUna(QStringView palabra, const char* const (&lista)[N])
{
    return std::any_of(std::begin(lista), std::end(lista),
                       [&](const char* p) { return palabra.compare(QLatin1String(p), Qt::CaseInsensitive) == 0; });
}

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

bool rechaza(QChar c, QChar sig)
{
    return c == QLatin1Char(';') || c == QLatin1Char('?') || c == QLatin1Char(':') || c == QLatin1Char('@')
        || c == QLatin1Char('$') || (c == QLatin1Char('-') && sig == QLatin1Char('-'))
        || (c == QLatin1Char('/') && sig == QLatin1Char('*'));
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
    int nivel = 0; // parentheses open: a subquery's WHERE is not the statement's
    bool enWhere = false;
    QStringView ultima; // the last token when it was a word: it may make a literal typed
    int palabra = -1;   // start of the word being read
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
            if (c == QLatin1Char('\''))
                return false; // X'..', E'..': not a plain text literal
            ultima = QStringView(sql).mid(palabra, i - palabra);
            if (nivel == 0 && ultima.size() >= 3 && ultima.size() <= 9) {
                if (ultima.compare(QLatin1String("WHERE"), Qt::CaseInsensitive) == 0)
                    enWhere = true;
                else if (esUna(ultima, kFinDeWhere))
                    enWhere = false;
            }
            palabra = -1;
        }
        if (c.isSpace()) {
            forma += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('\'')) {
            const int inicio = i;
            QString valor = QLatin1String(""); // '' is an empty text, never a NULL
            if (!leeLiteral(sql, i, valor))
                return false;
            if (!enWhere || nivel > 0 || (!ultima.isNull() && !esUna(ultima, kAntesDeValor))) {
                forma += QStringView(sql).mid(inicio, i - inicio);
            } else if (valores.size() < kMaxLiterales) {
                forma += QLatin1Char('?');
                valores.append(valor);
            } else {
                return false;
            }
            ultima = QStringView();
            continue;
        }
        ultima = QStringView();
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            if (!copiaIdentificador(sql, i, forma))
                return false;
            continue;
        }
        if (rechaza(c, i + 1 < n ? sql.at(i + 1) : QChar()))
            return false;
        if (c == QLatin1Char('('))
            ++nivel;
        else if (c == QLatin1Char(')') && --nivel < 0)
            return false;
        forma += c;
        ++i;
    }
    return nivel == 0;
}

} // namespace orbanel::ado
