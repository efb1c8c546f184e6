#pragma once

#include "link/PortSystemView.h"

#include <QString>
#include <QStringList>

namespace vexa {

class CSerialPort;
class LanguageTexts;

// Why a port cannot be used, and what to do about it. Every case is found by trying: the
// port is opened (or was just opened by the engine), the device is looked at (stat, the
// group lists of the user), other programs are looked for in /proc and in the lock files;
// nothing is guessed. Texts are worded in the language of texts (English without).
class PortCheck {
public:
    enum class Case {
        Opens,            // the port opens and no other program has it
        Missing,          // no such device
        PermissionDenied, // the user may not open the device
        Busy,             // another program has it open, locks it or opened it exclusively
        ModemManager,     // ModemManager runs and may probe the adapter
        NotSerial,        // the path is no serial device
        NoHardware,       // the device node exists, nothing answers behind it
        NameNotResolved,  // network: the host name does not resolve
        Refused,          // network: the server refuses the connection
        NoAnswer,         // network: nothing answers within the connect time
        BaudRefused,      // network: the RFC 2217 server does not take the baud rate
        NoComPortControl, // network: the server declines or ignores RFC 2217
        BadName,          // network: the name is not tcp://HOST:PORT or rfc2217://HOST:PORT
        Failed,           // any other failure, with the system's reason
    };

    struct Finding {
        Case kind = Case::Opens;
        QString port;      // as given
        QString reason;    // the port's own error text ("/dev/ttyUSB0: Permission denied")
        QStringList lines; // what it is and what to do, one sentence a line
        QStringList fixes; // commands or rules to use as they stand

        bool Ok() const { return kind == Case::Opens; }
        // "missing", "permission", "busy", ...: the case's name on the command line.
        QString CaseName() const;
        // The lines and fixes for the operator (fixes indented).
        QString Text() const;
    };

    // Opens the port with the settings string, closes it again and says what it found.
    static Finding Check(const QString& portName, const QString& settings,
                         const LanguageTexts* texts = nullptr,
                         const PortSystemView& system = PortSystemView());
    // Explains why the engine's port did not open; failedPort is the port after its Open()
    // failed. The device is looked at again (stat, group lists, other programs).
    static Finding Explain(const CSerialPort& failedPort, const LanguageTexts* texts = nullptr,
                           const PortSystemView& system = PortSystemView());

    // The detail text of the window's box for a port that did not open: the port, the
    // system's reason, then what it is and what to do.
    static QString FailureDetail(const CSerialPort& failedPort, const LanguageTexts* texts = nullptr,
                                 const PortSystemView& system = PortSystemView());

private:
    static Finding ExplainDevice(const QString& device, int error, const QString& reason,
                                 const LanguageTexts* texts, const PortSystemView& system);
    static Finding ExplainNetwork(const CSerialPort& port, const LanguageTexts* texts);
    static Finding Neighbours(const QString& device, const LanguageTexts* texts,
                              const PortSystemView& system);
};

} // namespace vexa
