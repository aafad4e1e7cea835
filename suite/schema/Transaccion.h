#pragma once

#include <functional>

namespace orbanel::ado {
class AdoConnection;
}

namespace orbanel::schema {

// Runs the work in a transaction of its own unless the caller already holds one;
// on failure rolls back and lets the error through.
void EnTransaccion(ado::AdoConnection& db, const std::function<void()>& trabajo);

} // namespace orbanel::schema
