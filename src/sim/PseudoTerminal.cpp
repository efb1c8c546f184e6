#include "sim/PseudoTerminal.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace vexa {

namespace {

QString SystemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PseudoTerminal::~PseudoTerminal() {
    Close();
}

bool PseudoTerminal::Open(QString& error) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        error = SystemError("posix_openpt");
        return false;
    }
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        error = SystemError("unlockpt");
        Close();
        return false;
    }
    char name[128] = {};
    if (ptsname_r(master, name, sizeof name) != 0) {
        error = SystemError("ptsname");
        Close();
        return false;
    }
    device = QString::fromLocal8Bit(name);
    slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0) {
        error = SystemError("open slave");
        Close();
        return false;
    }
    termios settings{};
    if (tcgetattr(slave, &settings) != 0) {
        error = SystemError("tcgetattr");
        Close();
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CSIZE);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    if (tcsetattr(slave, TCSANOW, &settings) != 0) {
        error = SystemError("tcsetattr");
        Close();
        return false;
    }
    const int flags = fcntl(master, F_GETFL);
    fcntl(master, F_SETFL, flags | O_NONBLOCK);
    return true;
}

bool PseudoTerminal::Link(const QString& linkPath, QString& error) {
    const QFileInfo existing(linkPath);
    if (existing.isSymLink()) {
        QFile::remove(linkPath);
    } else if (existing.exists()) {
        error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    if (!QFile::link(device, linkPath)) {
        error = QStringLiteral("cannot create the link %1").arg(linkPath);
        return false;
    }
    link = linkPath;
    return true;
}

int PseudoTerminal::Baud() const {
    termios settings{};
    if (slave < 0 || tcgetattr(slave, &settings) != 0)
        return 0;
    switch (cfgetospeed(&settings)) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

void PseudoTerminal::Close() {
    if (!link.isEmpty() && QFileInfo(link).isSymLink())
        QFile::remove(link);
    link.clear();
    if (slave >= 0)
        ::close(slave);
    if (master >= 0)
        ::close(master);
    slave = master = -1;
}

} // namespace vexa
