#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace kt508 {

// The one error of the component and its suite: carries the text the user sees.
class Error : public std::exception {
public:
    explicit Error(QString description);

    const QString& Description() const noexcept;
    const char* what() const noexcept override;

private:
    QString m_description;
    QByteArray m_what;
};

} // namespace kt508
