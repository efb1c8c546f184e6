#pragma once

#include <QString>

namespace vexa {

// The master side of a pseudo-terminal in raw 8N1 mode, non-blocking. The simulator also
// holds the slave side open so that the line stays up while the program opens and closes its
// port between operations.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens the pair; false with error set on failure.
    bool Open(QString& error);
    // Makes linkPath a symbolic link to the device (replacing an older link, never a file).
    bool Link(const QString& linkPath, QString& error);
    void Close();

    int MasterFd() const { return master; }
    // The baud rate currently set on the line (by whoever opened the device), 0 if unknown.
    int Baud() const;
    QString DevicePath() const { return device; }

private:
    int master = -1;
    int slave = -1;
    QString device;
    QString link;
};

} // namespace vexa
