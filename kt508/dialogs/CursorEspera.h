#pragma once

// The hourglass while a command works: set on construction, restored when the command's
// scope ends, on every path out of it. A command that never reaches it restores nothing.
class CursorEspera {
public:
    CursorEspera();
    ~CursorEspera();
    CursorEspera(const CursorEspera&) = delete;
    CursorEspera& operator=(const CursorEspera&) = delete;
};
