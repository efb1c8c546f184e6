#include "sim/TcpListener.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vexa {

TcpListener::~TcpListener() {
    Close();
}

bool TcpListener::Listen(const QString& host, int port, QString& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const QByteArray service = QByteArray::number(port);
    const int status = getaddrinfo(host.toUtf8().constData(), service.constData(), &hints, &found);
    if (status != 0 || !found) {
        error =
            QStringLiteral("cannot resolve %1: %2").arg(host, QString::fromLocal8Bit(gai_strerror(status)));
        return false;
    }
    error = QStringLiteral("nothing to listen on for %1").arg(host);
    for (const addrinfo* candidate = found; candidate && listener < 0; candidate = candidate->ai_next) {
        const int fd = ::socket(candidate->ai_family, candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                candidate->ai_protocol);
        if (fd < 0)
            continue;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, candidate->ai_addr, candidate->ai_addrlen) != 0 || ::listen(fd, 4) != 0) {
            error = QStringLiteral("cannot listen on %1 port %2: %3")
                        .arg(host)
                        .arg(port)
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
            ::close(fd);
            continue;
        }
        sockaddr_storage bound{};
        socklen_t length = sizeof bound;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
        char numericHost[NI_MAXHOST] = {};
        char numericPort[NI_MAXSERV] = {};
        ::getnameinfo(reinterpret_cast<sockaddr*>(&bound), length, numericHost, sizeof numericHost,
                      numericPort, sizeof numericPort, NI_NUMERICHOST | NI_NUMERICSERV);
        const QString shownHost = QString::fromLatin1(numericHost);
        endpoint = QStringLiteral("tcp://%1:%2")
                       .arg(shownHost.contains(u':') ? u'[' + shownHost + u']' : shownHost,
                            QString::fromLatin1(numericPort));
        listener = fd;
    }
    freeaddrinfo(found);
    return listener >= 0;
}

bool TcpListener::Accept() {
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return false;
    DropClient();
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    client = fd;
    return true;
}

void TcpListener::DropClient() {
    if (client >= 0)
        ::close(client);
    client = -1;
}

void TcpListener::Close() {
    DropClient();
    if (listener >= 0)
        ::close(listener);
    listener = -1;
}

} // namespace vexa
