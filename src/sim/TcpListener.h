#pragma once

#include <QString>

namespace vexa {

// The simulator's line served over raw TCP: one listening socket, one client at a time.
// A new client replaces the one before (the program connects for every operation).
class TcpListener {
public:
    TcpListener() = default;
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // Listens on host:port (port 0: a free port the system picks); false with error set.
    bool Listen(const QString& host, int port, QString& error);
    // Takes a waiting connection, closing the previous client; false when there was none.
    bool Accept();
    void DropClient();
    void Close();

    int ListenFd() const { return listener; }
    int ClientFd() const { return client; }
    // "tcp://HOST:PORT" with the port actually bound.
    QString Endpoint() const { return endpoint; }

private:
    int listener = -1;
    int client = -1;
    QString endpoint;
};

} // namespace vexa
