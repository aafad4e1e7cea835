#pragma once

namespace Publico {

// Creates the data and utility services; runs once per process, before any object serves.
void Main();

} // namespace Publico
