#pragma once

#include "kt508/store/Servicios.h"

namespace Publico {

// Creates the data and utility services; runs once per process, before any object serves. The
// services live until the process ends: the component never releases them, and hands them to
// each object that uses them.
Servicios Main();

} // namespace Publico
