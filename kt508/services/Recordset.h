#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>
#include <vector>

namespace kt508 {

struct Field {
    QVariant Value; // SQL NULL is a null QVariant, distinct from ""
};

// A forward-only result that already holds all its rows, so a recursive routine can
// keep one open per level on any backend. Field names are matched without regard to case.
class Recordset {
public:
    Recordset() = default;
    Recordset(QStringList names, std::vector<QVariant> cells);

    bool Eof() const;
    bool Bof() const;
    void MoveNext();
    void Close();

    Field Fields(const QString& name) const;
    int FieldIndex(const QString& name) const; // -1 when there is no such field
    QVariant Value(int column) const;          // current row, by position

    int FieldCount() const;
    QString FieldName(int column) const;
    int RecordCount() const;

private:
    void ensureCurrentRow() const;

    QStringList m_names;
    std::vector<QVariant> m_cells; // row-major
    // Names already looked up, as the caller spelled them: a loop asks for the same few.
    mutable std::vector<std::pair<QString, int>> m_lookups;
    int m_row = 0;
    bool m_closed = false;
};

} // namespace kt508
