#include "kt508/services/Error.h"

#include <utility>

namespace kt508 {

Error::Error(QString description)
    : m_description(std::move(description))
    , m_what(m_description.toUtf8())
{
}

const QString& Error::Description() const noexcept
{
    return m_description;
}

const char* Error::what() const noexcept
{
    return m_what.constData();
}

} // namespace kt508
