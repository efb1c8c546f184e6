#include "sim/SimOptions.h"

#include "core/ModelCatalogue.h"

namespace vexa {

namespace {

std::optional<qint64> Count(const QString& text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

std::optional<std::vector<int>> IdList(const QString& text) {
    std::vector<int> ids;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (!ok || id < 0 || id > 255)
            return std::nullopt;
        ids.push_back(id);
    }
    if (ids.empty())
        return std::nullopt;
    return ids;
}

// "tcp://HOST:PORT", "tcp://:PORT" or "PORT"; the host defaults to the loopback address and
// port 0 lets the system choose.
bool ListenAddress(const QString& text, QString& host, int& port) {
    QString rest = text.trimmed();
    if (rest.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive))
        rest = rest.mid(6);
    else if (rest.contains(u':'))
        return false;
    const qsizetype colon = rest.lastIndexOf(u':');
    host = colon < 0 ? QString() : rest.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    if (host.isEmpty())
        host = QStringLiteral("127.0.0.1");
    const QString portText = rest.mid(colon + 1);
    bool ok = false;
    port = portText.toInt(&ok);
    return ok && portText.size() <= 5 && !portText.startsWith(u'+') && port >= 0 && port <= 65535;
}

} // namespace

QString SimOptions::Usage() {
    return QStringLiteral(
        "Usage: vexa-sim --model M [--ids 1,3,7] [--link PATH | --listen ADDR] [--json] [--trace]\n"
        "                [--render DIR [--animate] [--sign-width COLS] [--sign-colour C]]\n"
        "                [--silent | --garbage]\n"
        "                [--stall-after N] [--hangup-after N]\n"
        "                [--quiet-ms MS]\n"
        "A virtual sign line on a pseudo-terminal (or a TCP port). Prints the port to open (first\n"
        "line), then one line per event. Ends on SIGTERM or SIGINT.\n"
        "  --model M         display model P01..P36 (decides the protocol family)\n"
        "  --ids LIST        IDs of the signs on the line (0..255, default 1)\n"
        "  --link PATH       also make PATH a symbolic link to the device\n"
        "  --listen ADDR     serve the line over raw TCP at tcp://HOST:PORT (HOST defaults to\n"
        "                    127.0.0.1; port 0 picks a free one); the program opens it by that name\n"
        "  --trace           also report every chunk received (ms since start, bytes) and, on the\n"
        "                    pseudo-terminal, every change of the baud rate set on it\n"
        "  --json            events as JSON lines\n"
        "  --render DIR      write every received message as a PNG of its dots into DIR\n"
        "  --animate         with --render: also an animated PNG of what the sign shows of it\n"
        "                    (slot<N>-play.png), played from the dots and parameters received\n"
        "  --sign-width COLS columns of the sign played, for models without a page width\n"
        "  --sign-colour C   the LED colour of a single-colour sign: red (default), amber,\n"
        "                    green or white\n"
        "  --silent          never answer\n"
        "  --garbage         answer with noise\n"
        "  --stall-after N   stop reading after N bytes\n"
        "  --hangup-after N  close the line after N bytes\n"
        "  --quiet-ms MS     report unfinished frames after MS quiet milliseconds (default 1500)\n");
}

std::optional<SimOptions> SimOptions::Parse(const QStringList& arguments, QString& error) {
    SimOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments.at(++i);
        };
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
            return options;
        }
        if (argument == QLatin1String("--json")) {
            options.json = true;
        } else if (argument == QLatin1String("--silent")) {
            options.silent = true;
        } else if (argument == QLatin1String("--garbage")) {
            options.garbage = true;
        } else if (argument == QLatin1String("--trace")) {
            options.trace = true;
        } else if (argument == QLatin1String("--animate")) {
            options.animate = true;
        } else if (argument == QLatin1String("--listen")) {
            const std::optional<QString> text = value();
            int port = 0;
            if (!text || !ListenAddress(*text, options.listenHost, port)) {
                error = QStringLiteral("--listen wants tcp://HOST:PORT");
                return std::nullopt;
            }
            options.listenPort = port;
        } else if (argument == QLatin1String("--model") || argument == QLatin1String("--ids") ||
                   argument == QLatin1String("--link") || argument == QLatin1String("--render") ||
                   argument == QLatin1String("--stall-after") || argument == QLatin1String("--sign-width") ||
                   argument == QLatin1String("--hangup-after") || argument == QLatin1String("--quiet-ms") ||
                   argument == QLatin1String("--sign-colour")) {
            const std::optional<QString> text = value();
            if (!text) {
                error = QStringLiteral("%1 needs a value").arg(argument);
                return std::nullopt;
            }
            if (argument == QLatin1String("--model")) {
                options.model = *text;
            } else if (argument == QLatin1String("--ids")) {
                const auto ids = IdList(*text);
                if (!ids) {
                    error = QStringLiteral("--ids wants IDs 0..255 separated by commas: %1").arg(*text);
                    return std::nullopt;
                }
                options.ids = *ids;
            } else if (argument == QLatin1String("--link")) {
                options.linkPath = *text;
            } else if (argument == QLatin1String("--render")) {
                options.renderDir = *text;
            } else if (argument == QLatin1String("--sign-colour")) {
                const std::optional<LedColour> led = SignColours::LedColourFromName(*text);
                if (!led) {
                    error = QStringLiteral("--sign-colour wants red, amber, green or white: %1").arg(*text);
                    return std::nullopt;
                }
                options.led = *led;
            } else {
                const std::optional<qint64> count = Count(*text);
                if (!count) {
                    error = QStringLiteral("%1 wants a count: %2").arg(argument, *text);
                    return std::nullopt;
                }
                if (argument == QLatin1String("--sign-width"))
                    options.signWidth = static_cast<int>(std::min<qint64>(*count, 65536));
                else if (argument == QLatin1String("--stall-after"))
                    options.stallAfter = count;
                else if (argument == QLatin1String("--hangup-after"))
                    options.hangupAfter = count;
                else
                    options.quietMs = static_cast<int>(std::min<qint64>(*count, 600000));
            }
        } else {
            error = QStringLiteral("unknown argument: %1").arg(argument);
            return std::nullopt;
        }
    }
    if (options.model.isEmpty()) {
        error = QStringLiteral("--model is required");
        return std::nullopt;
    }
    if (ModelCatalogue::Find(options.model) == nullptr) {
        error = QStringLiteral("unknown model: %1").arg(options.model);
        return std::nullopt;
    }
    if (options.listenPort && !options.linkPath.isEmpty()) {
        error = QStringLiteral("--listen and --link exclude each other");
        return std::nullopt;
    }
    if (options.animate && options.renderDir.isEmpty()) {
        error = QStringLiteral("--animate needs --render DIR");
        return std::nullopt;
    }
    if (options.silent && options.garbage) {
        error = QStringLiteral("--silent and --garbage exclude each other");
        return std::nullopt;
    }
    return options;
}

} // namespace vexa
