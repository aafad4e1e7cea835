#include "bench/Relevo.h"

#include "kt508/services/Error.h"

#include <QUrl>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace bench {

namespace {

using Reloj = std::chrono::steady_clock;

// What was read from one side, and when it may be delivered to the other. An empty chunk is the
// end: the side that sent it closed.
struct Trozo {
    Reloj::time_point entrega;
    QByteArray datos;
};

void SinDemora(int socket)
{
    const int si = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &si, sizeof si);
}

bool EnviaTodo(int socket, const QByteArray& datos)
{
    qsizetype enviados = 0;
    while (enviados < datos.size()) {
        const ssize_t n =
            send(socket, datos.constData() + enviados, static_cast<size_t>(datos.size() - enviados), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        enviados += n;
    }
    return true;
}

int Conecta(const QString& servidor, quint16 puerto)
{
    addrinfo pista{};
    pista.ai_family = AF_UNSPEC;
    pista.ai_socktype = SOCK_STREAM;
    addrinfo* direcciones = nullptr;
    if (getaddrinfo(servidor.toUtf8().constData(), QByteArray::number(puerto).constData(), &pista, &direcciones) != 0)
        return -1;
    int socket = -1;
    for (addrinfo* a = direcciones; a && socket < 0; a = a->ai_next) {
        socket = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (socket >= 0 && ::connect(socket, a->ai_addr, a->ai_addrlen) != 0) {
            ::close(socket);
            socket = -1;
        }
    }
    freeaddrinfo(direcciones);
    if (socket >= 0)
        SinDemora(socket);
    return socket;
}

// One direction of one connection: a thread reads and stamps, another waits and delivers.
class Sentido {
public:
    Sentido(int desde, int hacia, Reloj::duration demora)
        : m_desde(desde)
        , m_hacia(hacia)
        , m_demora(demora)
        , m_lector([this] { Lee(); })
        , m_escritor([this] { Entrega(); })
    {
    }
    ~Sentido()
    {
        m_lector.join();
        m_escritor.join();
    }
    Sentido(const Sentido&) = delete;
    Sentido& operator=(const Sentido&) = delete;

private:
    void Lee()
    {
        QByteArray bufer(64 * 1024, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = recv(m_desde, bufer.data(), static_cast<size_t>(bufer.size()), 0);
            Pon({Reloj::now() + m_demora, n > 0 ? QByteArray(bufer.constData(), n) : QByteArray()});
            if (n <= 0)
                return;
        }
    }

    void Entrega()
    {
        for (;;) {
            Trozo trozo;
            {
                std::unique_lock<std::mutex> cerrojo(m_mutex);
                m_hay.wait(cerrojo, [this] { return !m_cola.empty(); });
                trozo = std::move(m_cola.front());
                m_cola.pop_front();
            }
            std::this_thread::sleep_until(trozo.entrega);
            if (trozo.datos.isEmpty() || !EnviaTodo(m_hacia, trozo.datos)) {
                shutdown(m_hacia, SHUT_WR);
                shutdown(m_desde, SHUT_RD);
                return;
            }
        }
    }

    void Pon(Trozo trozo)
    {
        {
            const std::lock_guard<std::mutex> cerrojo(m_mutex);
            m_cola.push_back(std::move(trozo));
        }
        m_hay.notify_one();
    }

    int m_desde;
    int m_hacia;
    Reloj::duration m_demora;
    std::mutex m_mutex;
    std::condition_variable m_hay;
    std::deque<Trozo> m_cola;
    std::thread m_lector;
    std::thread m_escritor;
};

struct Tunel {
    int cliente;
    int servidor;
    std::unique_ptr<Sentido> ida;
    std::unique_ptr<Sentido> vuelta;
};

} // namespace

class Relevo::Impl {
public:
    Impl(QString servidor, quint16 puerto, int latenciaMs)
        : m_servidor(std::move(servidor))
        , m_puerto(puerto)
        , m_demora(std::chrono::microseconds(latenciaMs * 1000 / 2))
    {
        m_escucha = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in direccion{};
        direccion.sin_family = AF_INET;
        direccion.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t largo = sizeof direccion;
        if (m_escucha < 0 || bind(m_escucha, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion) != 0
            || listen(m_escucha, 16) != 0
            || getsockname(m_escucha, reinterpret_cast<sockaddr*>(&direccion), &largo) != 0) {
            if (m_escucha >= 0)
                ::close(m_escucha);
            throw kt508::Error(QStringLiteral("El relevo no pudo escuchar en 127.0.0.1."));
        }
        m_propio = ntohs(direccion.sin_port);
        m_aceptador = std::thread([this] { Acepta(); });
    }

    // Every socket shut down wakes every thread, which then ends.
    ~Impl()
    {
        shutdown(m_escucha, SHUT_RDWR);
        m_aceptador.join();
        ::close(m_escucha);
        for (Tunel& tunel : m_tuneles) {
            shutdown(tunel.cliente, SHUT_RDWR);
            shutdown(tunel.servidor, SHUT_RDWR);
            tunel.ida.reset();
            tunel.vuelta.reset();
            ::close(tunel.cliente);
            ::close(tunel.servidor);
        }
    }

    quint16 m_propio = 0;

private:
    void Acepta()
    {
        for (;;) {
            const int cliente = accept(m_escucha, nullptr, nullptr);
            if (cliente < 0)
                return;
            SinDemora(cliente);
            const int servidor = Conecta(m_servidor, m_puerto);
            if (servidor < 0) {
                ::close(cliente);
                continue;
            }
            m_tuneles.push_back({cliente, servidor, std::make_unique<Sentido>(cliente, servidor, m_demora),
                                 std::make_unique<Sentido>(servidor, cliente, m_demora)});
        }
    }

    QString m_servidor;
    quint16 m_puerto;
    Reloj::duration m_demora;
    int m_escucha = -1;
    std::vector<Tunel> m_tuneles; // touched by the accepting thread only, until it has ended
    std::thread m_aceptador;
};

Relevo::Relevo(const QString& servidor, quint16 puerto, int latenciaMs)
    : d(std::make_unique<Impl>(servidor, puerto, latenciaMs))
{
}

Relevo::~Relevo() = default;

quint16 Relevo::Puerto() const
{
    return d->m_propio;
}

QString UrlPorRelevo(const QString& url, const Relevo& relevo)
{
    QUrl u(url);
    u.setHost(QStringLiteral("127.0.0.1"));
    u.setPort(relevo.Puerto());
    return u.toString();
}

} // namespace bench
