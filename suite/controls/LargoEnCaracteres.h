#pragma once

#include <QValidator>

namespace orbanel {

// Holds a line edit to a number of characters as the databases count them, an emoji one: what is
// typed or pasted beyond it is dropped, a whole character at a time, just before the cursor.
class LargoEnCaracteres : public QValidator {
public:
    explicit LargoEnCaracteres(int maximo, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
    void setMaximo(int maximo); // 0 for no limit
    // A text put in by code is never cut: it is let through whole, and only grows no more.
    void Admite(const QString& texto) const;

private:
    int m_maximo;
    mutable qsizetype m_admitidos = 0;
};

} // namespace orbanel
