#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

namespace kt508 {

// A statement written once, with a name for each value it takes (":clave", or ":{clave}" where
// the text goes on without a blank, as in ":{fecha}WHERE") and for each identifier the database's
// own catalogue supplies ("{tabla}"). A read that locks the rows it reads until the transaction
// ends marks where each database says so: "{bloqueo:tabla}" right after the table's name,
// "{bloqueo:fin}" at the end; the connection fills them, the statement's text leaves them out.
// Text between single quotes is part of the statement, never a mark. Forms are built once and
// live as long as the program.
class Forma {
public:
    enum class Bloqueo { TrasTabla, AlFinal };

    explicit Forma(QString texto);

    const QString& Texto() const; // as written, with the names

    int Marcas() const; // value marks, in the order they appear (a name may appear twice)
    const QString& NombreDeMarca(int marca) const;
    QStringList Identificadores() const; // names of the identifier slots, in order

    // The statement with marca(i) in place of value mark i (counted from 0), each identifier
    // slot filled from `identificadores`, in order, and each lock mark with what `bloqueo` gives
    // (nothing without it).
    QString Compone(const std::function<QString(int marca)>& marca, const QStringList& identificadores,
                    const std::function<QString(Bloqueo)>& bloqueo = {}) const;

private:
    enum class Tipo { Texto, Valor, Identificador, TrasTabla, AlFinal };
    struct Pieza {
        Tipo tipo;
        QString texto; // the fixed text, or the name of the value or identifier
    };

    QString m_texto;
    std::vector<Pieza> m_piezas;
    QStringList m_marcas;
    QStringList m_identificadores;
};

// One statement to send: its form and its values. The database gets the values bound: a text
// as text, unchanged; a number (kt508::Decimal, a whole number) as a number; a null QVariant as
// NULL. Texto() is the statement as the suite writes it: a text between single quotes (each
// quote doubled), a number bare, a null as NULL.
class Sentencia {
public:
    explicit Sentencia(const Forma& forma);

    // Gives the value to every mark with that name.
    Sentencia& Con(const QString& nombre, const QVariant& valor);
    // An identifier read from the database's catalogue; refused unless it is a plain name.
    Sentencia& ConIdentificador(const QString& nombre, const QString& identificador);

    const Forma& forma() const;
    const QVariantList& Valores() const; // one a mark, in the order of the marks
    const QStringList& Identificadores() const;

    // Throws kt508::Error when a mark or an identifier has no value yet.
    void CompruebaCompleta() const;
    QString Texto() const;

    // How a value is written in a statement's text.
    static QString Literal(const QVariant& valor);

private:
    const Forma* m_forma;
    QVariantList m_valores;
    std::vector<bool> m_dados;
    QStringList m_identificadores;
};

} // namespace kt508
