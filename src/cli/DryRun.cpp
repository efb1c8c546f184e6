#include "cli/DryRun.h"

#include "cli/CliContext.h"
#include "cli/RowWarnings.h"
#include "cli/VerbParser.h"
#include "store/AtomicFile.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace vexa {

namespace {

const QString kDryRun = QStringLiteral("dry-run");
const QString kRaw = QStringLiteral("raw");
constexpr int kDumpWidth = 16;

QString Milliseconds(double ms) {
    return ms < 10 ? QString::number(ms, 'f', 1) : QString::number(qRound64(ms));
}

QString Seconds(double ms) {
    return QString::number(ms / 1000.0, 'f', 2);
}

QString Header(const QString& verb, const QString& port, const TransferPlan& plan) {
    return QStringLiteral("dry run of %1: %2 (%3), line %4, port %5; nothing is sent")
        .arg(verb, plan.model, plan.family, plan.line.ToString(),
             port.isEmpty() ? QStringLiteral("none given") : port);
}

QString TotalLine(const TransferPlan& plan) {
    const TransferPlan::Totals t = plan.Sum();
    return QStringLiteral("total: %1 bytes in %2; %3 s on the line at %4 baud (awaited %5 s), "
                          "%6 s of pauses; predicted %7 s (%8)")
        .arg(t.bytes)
        .arg(t.frames == 1 ? QStringLiteral("1 frame") : QStringLiteral("%1 frames").arg(t.frames))
        .arg(Seconds(t.lineMs))
        .arg(plan.line.baud)
        .arg(Seconds(static_cast<double>(t.waitMs)))
        .arg(Seconds(static_cast<double>(t.pauseMs)))
        .arg(Seconds(t.predictedMs), TransferPlan::AboutText(t.predictedMs));
}

} // namespace

void DryRun::AddOptions(VerbParser& parser) {
    parser.addOption(QCommandLineOption(
        kDryRun, QStringLiteral("Open no port: print every frame the command would write (with what it is, "
                                "its bytes and the pause after it) and the predicted duration.")));
    parser.addOption(QCommandLineOption(
        kRaw, QStringLiteral("With --dry-run: also write the exact byte stream into FILE."),
        QStringLiteral("FILE")));
}

bool DryRun::Requested(const VerbParser& parser) {
    return parser.isSet(kDryRun);
}

std::optional<int> DryRun::CheckOptions(const VerbParser& parser, const QString& verb) {
    if (!parser.isSet(kRaw) || parser.isSet(kDryRun))
        return std::nullopt;
    CliContext::PrintError(verb + QStringLiteral(": --raw needs --dry-run"));
    return CliContext::UsageError;
}

QStringList DryRun::HexDump(const QByteArray& bytes) {
    QStringList lines;
    for (qsizetype at = 0; at < bytes.size(); at += kDumpWidth) {
        const QByteArray chunk = bytes.mid(at, kDumpWidth);
        QString hex;
        QString text;
        for (qsizetype i = 0; i < kDumpWidth; ++i) {
            if (i == kDumpWidth / 2)
                hex += u' ';
            if (i < chunk.size()) {
                const auto byte = static_cast<unsigned char>(chunk.at(i));
                hex += QStringLiteral("%1 ").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
                text += byte >= 0x20 && byte < 0x7F ? QChar(byte) : QChar(u'.');
            } else {
                hex += QStringLiteral("   ");
            }
        }
        lines << QStringLiteral("%1  %2 |%3|")
                     .arg(QStringLiteral("%1").arg(at, 4, 16, QLatin1Char('0')).toUpper(), hex, text);
    }
    return lines;
}

QString DryRun::Text(const QString& verb, const QString& port, const TransferPlan& plan) {
    QStringList out{Header(verb, port, plan)};
    const std::vector<TransferPlan::StepTime> times = plan.Times();
    size_t index = 0;
    for (const TransferPlan::Part& part : plan.parts) {
        if (plan.parts.size() > 1 && part.id > 0)
            out << QStringLiteral("sign %1:").arg(part.id);
        for (const FrameStep& step : part.steps) {
            const TransferPlan::StepTime& t = times[index];
            out << QStringLiteral("#%1  +%2  %3  %4")
                       .arg(index)
                       .arg(t.offset)
                       .arg(step.bytes.size())
                       .arg(step.label);
            for (const QString& line : HexDump(step.bytes))
                out << QStringLiteral("    ") + line;
            if (step.bytes.isEmpty())
                out << QStringLiteral("    pause %1 ms").arg(t.pauseMs);
            else
                out << QStringLiteral("    %1 ms on the line (awaited %2 ms), pause %3 ms")
                           .arg(Milliseconds(t.lineMs))
                           .arg(t.waitMs)
                           .arg(t.pauseMs);
            ++index;
        }
        if (part.afterMs > 0)
            out << QStringLiteral("then %1 ms: %2").arg(part.afterMs).arg(part.afterLabel);
    }
    out << TotalLine(plan);
    return out.join(u'\n');
}

QJsonObject DryRun::Json(const QString& verb, const QString& port, const TransferPlan& plan) {
    const std::vector<TransferPlan::StepTime> times = plan.Times();
    QJsonArray parts;
    size_t index = 0;
    for (const TransferPlan::Part& part : plan.parts) {
        QJsonArray frames;
        for (const FrameStep& step : part.steps) {
            const TransferPlan::StepTime& t = times[index];
            frames.append(QJsonObject{{QStringLiteral("index"), static_cast<qint64>(index)},
                                      {QStringLiteral("offset"), t.offset},
                                      {QStringLiteral("length"), step.bytes.size()},
                                      {QStringLiteral("label"), step.label},
                                      {QStringLiteral("hex"), QString::fromLatin1(step.bytes.toHex())},
                                      {QStringLiteral("startMs"), t.startMs},
                                      {QStringLiteral("lineMs"), t.lineMs},
                                      {QStringLiteral("waitMs"), t.waitMs},
                                      {QStringLiteral("pauseMs"), t.pauseMs}});
            ++index;
        }
        parts.append(QJsonObject{{QStringLiteral("id"), part.id},
                                 {QStringLiteral("frames"), frames},
                                 {QStringLiteral("afterMs"), part.afterMs},
                                 {QStringLiteral("after"), part.afterLabel}});
    }
    const TransferPlan::Totals t = plan.Sum();
    return QJsonObject{
        {QStringLiteral("verb"), verb},
        {QStringLiteral("dryRun"), true},
        {QStringLiteral("model"), plan.model},
        {QStringLiteral("family"), plan.family},
        {QStringLiteral("port"), port},
        {QStringLiteral("settings"), plan.line.ToString()},
        {QStringLiteral("baud"), plan.line.baud},
        {QStringLiteral("bitsPerByte"), plan.line.BitsPerByte()},
        {QStringLiteral("pollMs"), plan.pollMs},
        {QStringLiteral("parts"), parts},
        {QStringLiteral("total"),
         QJsonObject{{QStringLiteral("bytes"), t.bytes},
                     {QStringLiteral("frames"), t.frames},
                     {QStringLiteral("lineMs"), t.lineMs},
                     {QStringLiteral("waitMs"), t.waitMs},
                     {QStringLiteral("pauseMs"), t.pauseMs},
                     {QStringLiteral("predictedMs"), t.predictedMs},
                     {QStringLiteral("about"), TransferPlan::AboutText(t.predictedMs)}}},
    };
}

int DryRun::ReportWarnings(const QString& verb, const QStringList& lines, bool strict) {
    RowWarnings::Print(lines);
    if (!strict || lines.isEmpty())
        return 0;
    CliContext::PrintError(verb + QStringLiteral(": --strict: nothing sent"));
    return RowWarnings::RowsWarned;
}

int DryRun::Report(const VerbParser& parser, const QString& verb, const QString& port,
                   const TransferPlan& plan, bool json) {
    if (parser.isSet(kRaw)) {
        QString reason;
        if (AtomicFile::Write(parser.value(kRaw), plan.Bytes(), &reason) != AtomicFile::Result::Ok) {
            CliContext::PrintError(
                QStringLiteral("%1: cannot write %2: %3").arg(verb, parser.value(kRaw), reason));
            return CliContext::Failure;
        }
    }
    if (json)
        CliContext::PrintJson(QJsonDocument(Json(verb, port, plan)));
    else
        CliContext::PrintLine(Text(verb, port, plan));
    return 0;
}

} // namespace vexa
