#pragma once

#include "kt508/services/Recordset.h"

#include <QString>

namespace kt508 {

// The open connection to the suite's database, always the same object.
class Connection {
public:
    virtual ~Connection();

    // options -1: the provider decides the command type. A statement without a
    // result gives an empty, closed recordset.
    virtual Recordset Execute(const QString& commandText, int options = -1) = 0;
    virtual int BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
};

} // namespace kt508
