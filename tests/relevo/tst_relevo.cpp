// The benchmarks' relay: what goes in on one side comes out on the other, every byte, in order,
// on each connection apart; a side that closes is closed on the other. Its delay is shown by the
// benchmarks, not measured here.
#include "bench/Relevo.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Sends back whatever it reads, on every connection; counts those open.
struct Eco {
    Eco()
    {
        servidor.listen(QHostAddress::LocalHost);
        QObject::connect(&servidor, &QTcpServer::newConnection, &servidor, [this] {
            while (QTcpSocket* socket = servidor.nextPendingConnection()) {
                ++abiertas;
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [socket] { socket->write(socket->readAll()); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
                    --abiertas;
                    socket->deleteLater();
                });
            }
        });
    }

    QTcpServer servidor;
    int abiertas = 0;
};

// Chunks of every size up to a few packets, of bytes of every value.
QList<QByteArray> Trozos(int cuantos, quint32 semilla)
{
    QRandomGenerator azar(semilla);
    QList<QByteArray> trozos;
    for (int i = 0; i < cuantos; ++i) {
        QByteArray trozo(1 + azar.bounded(9000), Qt::Uninitialized);
        for (char& c : trozo)
            c = static_cast<char>(azar.bounded(256));
        trozos << trozo;
    }
    return trozos;
}

} // namespace

class TstRelevo : public QObject {
    Q_OBJECT

private slots:
    void llevaCadaByteEnOrden();
};

// Two connections at once, each a burst of chunks written without waiting: each gets back
// exactly what it sent. Closing one closes its side at the server too.
void TstRelevo::llevaCadaByteEnOrden()
{
    Eco eco;
    bench::Relevo relevo(u"127.0.0.1"_s, eco.servidor.serverPort(), 2);
    std::vector<std::unique_ptr<QTcpSocket>> clientes;
    QList<QByteArray> enviado;
    for (quint32 semilla : {1u, 2u}) {
        auto cliente = std::make_unique<QTcpSocket>();
        cliente->connectToHost(QHostAddress::LocalHost, relevo.Puerto());
        QVERIFY(cliente->waitForConnected(5000));
        QByteArray todo;
        for (const QByteArray& trozo : Trozos(300, semilla)) {
            cliente->write(trozo);
            todo += trozo;
        }
        enviado << todo;
        clientes.push_back(std::move(cliente));
    }
    for (size_t i = 0; i < clientes.size(); ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(clientes[i]->bytesAvailable() >= enviado[static_cast<qsizetype>(i)].size(), 30000);
        QVERIFY(clientes[i]->readAll() == enviado[static_cast<qsizetype>(i)]);
    }
    QCOMPARE(eco.abiertas, 2);
    clientes.front()->disconnectFromHost();
    QTRY_COMPARE(eco.abiertas, 1);
}

QTEST_GUILESS_MAIN(TstRelevo)
#include "tst_relevo.moc"
