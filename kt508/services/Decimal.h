#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>

#include <optional>

namespace kt508 {

// An exact decimal number kept as its digits, so that a numeric column's value never passes
// through binary floating point between the field and the database.
class Decimal {
public:
    Decimal(); // zero

    // "[+-]digits[.digits]" (a leading or trailing point allowed, blanks around ignored);
    // nothing for any other text.
    static std::optional<Decimal> DeTexto(QStringView texto);

    // The shortest text of the value: no sign for zero, no leading zeros, no trailing zeros
    // after the point, and no point when nothing follows it ("12.5000" is "12.5").
    QString Texto() const;

    bool operator==(const Decimal& otro) const;
    bool operator!=(const Decimal& otro) const;

private:
    explicit Decimal(QString texto);
    QString m_texto;
};

} // namespace kt508

Q_DECLARE_METATYPE(kt508::Decimal)
