#include "host/Vnc.h"

#include <QDir>

#include <sys/socket.h>

bool SoloEstaMaquina()
{
    static const char Loopback[] = "lo";
    int restringidos = 0;
    const QStringList descriptores =
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& nombre : descriptores) {
        bool esNumero = false;
        const int fd = nombre.toInt(&esNumero);
        int escucha = 0;
        socklen_t largo = sizeof escucha;
        if (!esNumero || getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &escucha, &largo) != 0 || !escucha)
            continue;
        if (setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, Loopback, sizeof Loopback) != 0)
            return false;
        ++restringidos;
    }
    return restringidos > 0;
}
