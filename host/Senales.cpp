#include "host/Senales.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

int tuberia[2] = {-1, -1};

// A signal handler may do almost nothing: it hands the signal's number to the event loop.
void AlRecibir(int senal)
{
    const char numero = static_cast<char>(senal);
    [[maybe_unused]] const ssize_t escrito = ::write(tuberia[1], &numero, 1);
}

void Senal_Recibida()
{
    char numero = 0;
    if (::read(tuberia[0], &numero, 1) == 1)
        QCoreApplication::exit(128 + numero);
}

} // namespace

void AtiendeSenales(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, tuberia) != 0)
        return;
    auto* aviso = new QSocketNotifier(tuberia[0], QSocketNotifier::Read, &app);
    QObject::connect(aviso, &QSocketNotifier::activated, &app, &Senal_Recibida);
    struct sigaction accion { };
    accion.sa_handler = &AlRecibir;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    for (const int senal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(senal, &accion, nullptr);
}
