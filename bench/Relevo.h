#pragma once

#include <QString>

#include <memory>

namespace bench {

// A TCP relay on loopback that makes a server look far away: every chunk read from either side
// is delivered half the latency after it arrived, chunks in the order they came. A round trip
// costs the latency once, however many chunks a burst of pipelined statements takes. Runs on
// threads of its own; each connection it accepts goes to the server given.
class Relevo {
public:
    // Throws kt508::Error when it cannot listen.
    Relevo(const QString& servidor, quint16 puerto, int latenciaMs);
    ~Relevo();
    Relevo(const Relevo&) = delete;
    Relevo& operator=(const Relevo&) = delete;

    quint16 Puerto() const; // where it listens, on 127.0.0.1

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

// The same PostgreSQL URL, pointing at the relay.
QString UrlPorRelevo(const QString& url, const Relevo& relevo);

} // namespace bench
