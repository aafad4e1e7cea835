#pragma once

class QCoreApplication;

// SIGTERM, SIGINT and SIGHUP (a dropped remote session) end the event loop, as Salir does, so
// the host ends in order; the exit code is 128 plus the signal's number, as a shell reports it.
void AtiendeSenales(QCoreApplication& app);
