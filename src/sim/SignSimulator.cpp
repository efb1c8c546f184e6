#include "sim/SignSimulator.h"

#include "playback/AnimatedPicture.h"
#include "playback/PlaybackProgramme.h"
#include "store/AppPaths.h"
#include "store/AtomicFile.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace vexa {

namespace {

constexpr int ReadChunk = 4096;

SignResponder::Fault FaultOf(const SimOptions& options) {
    if (options.silent)
        return SignResponder::Fault::Silent;
    if (options.garbage)
        return SignResponder::Fault::Garbage;
    return SignResponder::Fault::None;
}

QJsonObject Named(const char* kind) {
    return QJsonObject{{QStringLiteral("event"), QString::fromLatin1(kind)}};
}

// A signal descriptor for SIGTERM and SIGINT, so the poll loop sees them like input.
int SignalDescriptor() {
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGTERM);
    sigaddset(&mask, SIGINT);
    sigprocmask(SIG_BLOCK, &mask, nullptr);
    return signalfd(-1, &mask, SFD_NONBLOCK | SFD_CLOEXEC);
}

} // namespace

SignSimulator::SignSimulator(SimOptions simOptions, std::FILE* output)
    : options(std::move(simOptions)), out(output), model(ModelCatalogue::Find(options.model)),
      decoder(model ? SignDecoder::ForModel(*model) : nullptr),
      responder(model ? model->family : LinkFamily::RowDirectory, options.ids, FaultOf(options)) {}

SignSimulator::~SignSimulator() = default;

void SignSimulator::Print(const QJsonObject& event) {
    QByteArray line;
    if (options.json) {
        // The kind leads the line so that readers can tell events apart at a glance.
        QJsonObject rest = event;
        rest.remove(QStringLiteral("event"));
        const QByteArray fields = QJsonDocument(rest).toJson(QJsonDocument::Compact);
        line = QJsonDocument(QJsonObject{{QStringLiteral("event"), event.value(QStringLiteral("event"))}})
                   .toJson(QJsonDocument::Compact);
        if (fields.size() > 2)
            line = line.chopped(1) + ',' + fields.mid(1);
    } else {
        line = event.value(QStringLiteral("event")).toString().toUtf8();
        for (auto it = event.begin(); it != event.end(); ++it) {
            if (it.key() == QLatin1String("event"))
                continue;
            const QJsonValue value = it.value();
            QByteArray text;
            if (value.isString())
                text = value.toString().toUtf8();
            else if (value.isBool())
                text = value.toBool() ? "true" : "false";
            else if (value.isDouble())
                text = QByteArray::number(value.toInteger());
            else
                text = QJsonDocument(value.isArray() ? QJsonDocument(value.toArray())
                                                     : QJsonDocument(value.toObject()))
                           .toJson(QJsonDocument::Compact);
            line += ' ' + it.key().toUtf8() + '=' + text;
        }
    }
    line += '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), out);
    std::fflush(out);
}

void SignSimulator::Reply(const SignResponder::Outcome& outcome) {
    for (const QJsonObject& event : outcome.events)
        Print(event);
    for (const QByteArray& reply : outcome.replies) {
        const int line = LineFd();
        const ssize_t written =
            line < 0 ? -1 : ::write(line, reply.constData(), static_cast<size_t>(reply.size()));
        if (written != reply.size()) {
            QJsonObject event = Named("reply-lost");
            event.insert(QStringLiteral("data"), QString::fromLatin1(reply.toHex()));
            Print(event);
        }
    }
}

void SignSimulator::Handle(const SimEvents& events, qint64 nowMs) {
    for (const QJsonObject& event : events) {
        Print(event);
        if (!options.renderDir.isEmpty() &&
            event.value(QStringLiteral("event")).toString() == QLatin1String("message"))
            Render(event);
        Reply(responder.OnEvent(event, nowMs));
    }
}

void SignSimulator::Render(const QJsonObject& message) {
    const QByteArray data = QByteArray::fromHex(message.value(QStringLiteral("data")).toString().toLatin1());
    const int slot = message.value(QStringLiteral("slot")).toInt();
    const int set = message.value(QStringLiteral("set")).toInt();
    QImage image = model->packKind == PackKind::CharacterCodes
                       ? DotRenderer::RenderCharacters(*model, data, DataDir(), options.led)
                       : DotRenderer::Render(*model, data, set, options.led);
    if (image.isNull())
        return;
    // The paged family's header tells how many pages the message has; the 256-byte frames
    // that carry them may hold the start of one more, which the sign does not show.
    const int units = message.value(QStringLiteral("units")).toInt();
    if (model->family == LinkFamily::PagedBlocks && model->packKind == PackKind::TwoBitPages && units > 0 &&
        image.width() > units * model->pageColumns)
        image = image.copy(0, 0, units * model->pageColumns, image.height());
    auto save = [&](const QImage& picture, const QString& name) {
        const QString path = QDir(options.renderDir).filePath(name);
        QByteArray png;
        QBuffer buffer(&png);
        QJsonObject event = Named("rendered");
        event.insert(QStringLiteral("slot"), slot);
        event.insert(QStringLiteral("path"), path);
        const bool saved = QDir().mkpath(options.renderDir) && buffer.open(QIODevice::WriteOnly) &&
                           picture.save(&buffer, "PNG") &&
                           AtomicFile::Write(path, png) == AtomicFile::Result::Ok;
        event.insert(QStringLiteral("ok"), saved);
        event.insert(QStringLiteral("width"), picture.width());
        event.insert(QStringLiteral("height"), picture.height());
        Print(event);
    };
    const int id = message.value(QStringLiteral("id")).toInt();
    const QString stem = model->family == LinkFamily::AddressedBlocks
                             ? QStringLiteral("id%1-slot%2").arg(id).arg(slot)
                             : QStringLiteral("slot%1").arg(slot);
    QString name = stem + QStringLiteral(".png");
    if (model->family != LinkFamily::AddressedBlocks && message.contains(QStringLiteral("set")))
        name = QStringLiteral("slot%1-set%2.png").arg(slot).arg(set);
    save(image, name);
    if (model->packKind == PackKind::ColourPlanes) {
        if (set == 0) {
            redPlanes[slot] = image;
        } else if (redPlanes.count(slot) != 0) {
            const QImage both = DotRenderer::Combine(redPlanes[slot], image);
            if (!both.isNull()) {
                save(both, QStringLiteral("slot%1.png").arg(slot));
                if (options.animate)
                    Animate(message, stem, {both, QImage()});
            }
            redPlanes.erase(slot);
        }
        return;
    }
    if (!options.animate)
        return;
    // Set 1 of the two-pass families is frame 1 of the message whose frame 0 came in set 0.
    std::array<QImage, 2>& frames = receivedFrames[id << 16 | slot];
    if (set == 1) {
        frames[1] = image;
    } else {
        frames = {image, QImage()};
    }
    Animate(message, stem, frames);
}

// The Data folder of this program, whose glyph files a character-code sign's font is drawn from.
const QString& SignSimulator::DataDir() {
    if (dataDir.isEmpty())
        dataDir = AppPaths::ForApplication().DataDir();
    return dataDir;
}

// The animated picture of what the sign shows of a message, played with the parameters it
// received: the same engine and file as `vexa render --animate`.
void SignSimulator::Animate(const QJsonObject& message, const QString& stem,
                            const std::array<QImage, 2>& frames) {
    RowSettings settings;
    settings.effectListSet = model->effectListSet;
    settings.effect = message.value(QStringLiteral("effect")).toInt();
    settings.speed = message.value(QStringLiteral("speed")).toInt();
    settings.time = message.value(QStringLiteral("time")).toInt();
    settings.marquee = message.value(QStringLiteral("marquee")).toInt() != 0;
    settings.blink = message.value(QStringLiteral("blink")).toInt() != 0;
    PlaybackInput input;
    input.row = message.value(QStringLiteral("slot")).toInt();
    input.frames = frames;
    input.settings = settings.AsReceivedBy(*model);
    const PlaybackProgramme programme({input}, SignGeometry::For(*model, options.signWidth, options.led));
    QString error;
    const QByteArray bytes = AnimatedPicture::Encode(
        AnimatedPicture::Format::Apng,
        AnimatedPicture::FromProgramme(programme, AnimatedPicture::DefaultZoom, 0), &error);
    const QString path = QDir(options.renderDir).filePath(stem + QStringLiteral("-play.png"));
    QJsonObject event = Named("animated");
    event.insert(QStringLiteral("slot"), input.row);
    event.insert(QStringLiteral("path"), path);
    event.insert(QStringLiteral("ok"), !bytes.isEmpty() && QDir().mkpath(options.renderDir) &&
                                           AtomicFile::Write(path, bytes, &error) == AtomicFile::Result::Ok);
    event.insert(QStringLiteral("frames"), programme.StepCount());
    event.insert(QStringLiteral("durationMs"), programme.DurationMs());
    if (!error.isEmpty())
        event.insert(QStringLiteral("error"), error);
    Print(event);
}

int SignSimulator::LineFd() const {
    return options.listenPort ? listener.ClientFd() : terminal.MasterFd();
}

QString SignSimulator::PortName() const {
    return options.listenPort ? listener.Endpoint() : terminal.DevicePath();
}

bool SignSimulator::OpenLine(QString& error) {
    if (options.listenPort)
        return listener.Listen(options.listenHost, *options.listenPort, error);
    return terminal.Open(error) && (options.linkPath.isEmpty() || terminal.Link(options.linkPath, error));
}

void SignSimulator::Trace(QByteArrayView chunk, qint64 nowMs) {
    if (!options.listenPort) {
        const int baud = terminal.Baud();
        if (baud != tracedBaud) {
            tracedBaud = baud;
            QJsonObject line = Named("line");
            line.insert(QStringLiteral("baud"), baud);
            Print(line);
        }
    }
    QJsonObject event = Named("rx");
    event.insert(QStringLiteral("t"), nowMs);
    event.insert(QStringLiteral("data"), QString::fromLatin1(chunk.toByteArray().toHex()));
    Print(event);
}

bool SignSimulator::ReadLine(qint64 nowMs, bool& hungUp) {
    qint64 wanted = ReadChunk;
    if (options.stallAfter)
        wanted = std::min(wanted, *options.stallAfter - bytesRead);
    if (options.hangupAfter)
        wanted = std::min(wanted, *options.hangupAfter - bytesRead);
    char buffer[ReadChunk];
    const ssize_t got = wanted > 0 ? ::read(LineFd(), buffer, static_cast<size_t>(wanted)) : 0;
    if (got < 0)
        return errno == EAGAIN || errno == EINTR || (options.listenPort && errno == ECONNRESET);
    if (got == 0 && wanted > 0 && options.listenPort) {
        listener.DropClient(); // the program closed its port; the next operation connects again
        Print(Named("disconnected"));
        return true;
    }
    bytesRead += got;
    if (got > 0) {
        if (options.trace)
            Trace(QByteArrayView(buffer, got), nowMs);
        lastInputMs = nowMs;
        quietReported = false;
        Handle(decoder->Feed(QByteArrayView(buffer, got)), nowMs);
    }
    if (options.hangupAfter && bytesRead >= *options.hangupAfter) {
        QJsonObject event = Named("hangup");
        event.insert(QStringLiteral("after"), bytesRead);
        Print(event);
        hungUp = true;
    } else if (options.stallAfter && bytesRead >= *options.stallAfter && !stalled) {
        stalled = true;
        QJsonObject event = Named("stalled");
        event.insert(QStringLiteral("after"), bytesRead);
        Print(event);
    }
    return true;
}

int SignSimulator::Run() {
    QString error;
    if (!model || !decoder) {
        std::fprintf(stderr, "vexa-sim: unknown model: %s\n", qPrintable(options.model));
        return 2;
    }
    if (!OpenLine(error)) {
        std::fprintf(stderr, "vexa-sim: %s\n", qPrintable(error));
        return 1;
    }
    const int signalFd = SignalDescriptor();
    if (options.json) {
        QJsonObject ready = Named("ready");
        ready.insert(QStringLiteral("device"), PortName());
        if (!options.linkPath.isEmpty())
            ready.insert(QStringLiteral("link"), options.linkPath);
        ready.insert(QStringLiteral("model"), options.model);
        ready.insert(QStringLiteral("family"), model->FamilyCode());
        QJsonArray ids;
        for (int id : options.ids)
            ids.append(id);
        ready.insert(QStringLiteral("ids"), ids);
        Print(ready);
    } else {
        std::fprintf(out, "%s\n", qPrintable(PortName()));
        std::fflush(out);
    }

    QElapsedTimer timer;
    timer.start();
    bool hungUp = false;
    while (!hungUp) {
        const qint64 now = timer.elapsed();
        qint64 wait = quietReported ? 1000 : std::max<qint64>(0, lastInputMs + options.quietMs - now);
        if (const auto deadline = responder.Deadline())
            wait = std::min(wait, std::max<qint64>(0, *deadline - now));
        // A negative descriptor (no client connected yet) is skipped by poll.
        pollfd watched[3] = {{LineFd(), static_cast<short>(stalled ? 0 : POLLIN), 0},
                             {signalFd, POLLIN, 0},
                             {listener.ListenFd(), POLLIN, 0}};
        const int ready = ::poll(watched, 3, static_cast<int>(wait));
        if (ready < 0 && errno != EINTR)
            break;
        if (signalFd >= 0 && (watched[1].revents & POLLIN))
            break;
        const qint64 after = timer.elapsed();
        // A TCP client that went away is seen as end of input; a pseudo-terminal reports only input.
        const short readable = options.listenPort ? (POLLIN | POLLHUP | POLLERR) : POLLIN;
        if (watched[0].fd >= 0 && (watched[0].revents & readable)) {
            if (!ReadLine(after, hungUp))
                break;
        }
        if (watched[2].fd >= 0 && (watched[2].revents & POLLIN) && listener.Accept())
            Print(Named("connected"));
        Reply(responder.OnTick(after));
        if (!quietReported && after - lastInputMs >= options.quietMs) {
            quietReported = true;
            Handle(decoder->Flush(), after);
        }
    }
    Print(Named("end"));
    terminal.Close();
    listener.Close();
    if (signalFd >= 0)
        ::close(signalFd);
    return 0;
}

} // namespace vexa
