#pragma once

#include <QString>

#include <functional>

namespace orbanel {

// Raises an event of a control to the window's handler. A handler that lets an error
// escape must not end the host: the error is written to the diagnostic output.
// Returns false when the handler failed.
bool EmiteProtegido(const QString& evento, const std::function<void()>& emision);

} // namespace orbanel
