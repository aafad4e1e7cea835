#include "kt508/services/Recordset.h"

#include "kt508/services/Error.h"

#include <utility>

namespace kt508 {

Recordset::Recordset(QStringList names, std::vector<QVariant> cells)
    : m_names(std::move(names))
    , m_cells(std::move(cells))
{
}

bool Recordset::Eof() const
{
    return m_closed || m_row >= RecordCount();
}

bool Recordset::Bof() const
{
    return m_closed || RecordCount() == 0;
}

void Recordset::MoveNext()
{
    if (Eof())
        throw Error(QStringLiteral("No hay un registro actual: el conjunto de registros está al final."));
    ++m_row;
}

void Recordset::Close()
{
    m_closed = true;
    m_cells.clear();
    m_cells.shrink_to_fit();
}

int Recordset::FieldIndex(const QString& name) const
{
    for (const auto& [spelled, column] : m_lookups) {
        if (spelled == name)
            return column;
    }
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0) {
            m_lookups.emplace_back(name, i);
            return i;
        }
    }
    return -1;
}

Field Recordset::Fields(const QString& name) const
{
    const int column = FieldIndex(name);
    if (column < 0)
        throw Error(QStringLiteral("No se encontró el campo '%1' en el conjunto de registros.").arg(name));
    return Field{Value(column)};
}

QVariant Recordset::Value(int column) const
{
    ensureCurrentRow();
    return m_cells[static_cast<size_t>(m_row) * m_names.size() + column];
}

int Recordset::FieldCount() const
{
    return m_names.size();
}

QString Recordset::FieldName(int column) const
{
    return m_names.value(column);
}

int Recordset::RecordCount() const
{
    return m_names.isEmpty() ? 0 : static_cast<int>(m_cells.size() / m_names.size());
}

void Recordset::ensureCurrentRow() const
{
    if (Eof())
        throw Error(QStringLiteral("No hay un registro actual: el conjunto de registros está al final o cerrado."));
}

} // namespace kt508
