// Measures a full send per protocol family over the in-memory port draining at the
// model's baud rate and compares it with the time the protocol itself demands: the bytes
// on the wire (10 bits a byte), the prescribed pauses, and the write's wait granularity.
#include "core/ModelCatalogue.h"
#include "core/Payload.h"
#include "link/MemorySerialPort.h"
#include "link/SerialSettings.h"
#include "link/SignLink.h"
#include "link/families/LinkFamilies.h"
#include "store/CMessageTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace vexa;

namespace {

constexpr int kPollMs = 100;  // granularity of the wait for the output to drain
constexpr int kSettleMs = 10; // pause after every wait
constexpr int kShortPauseMs = 20;

// Two small rows to send: 84 and 168 bytes (multiples of every slice count), both sets.
void FillRows(Payload& payload, CMessageTable& table) {
    table.ClearParams();
    for (int row : {0, 2}) {
        table.sendFlag[static_cast<size_t>(row)] = 1;
        table.effect[static_cast<size_t>(row)] = 1;
        const int length = row == 0 ? 84 : 168;
        QByteArray bytes(length, '\0');
        for (int i = 0; i < length; ++i)
            bytes[i] = static_cast<char>(i * 37);
        payload.At(0, row).Assign(bytes);
        payload.At(1, row).Assign(bytes);
    }
}

struct Demand {
    int frames = 0;
    qint64 bytes = 0;
    double ms = 0;
};

Demand Demanded(const FrameSequence& sequence, const SerialSettings& settings, int rows, LinkFamily family) {
    Demand d;
    for (const FrameStep& step : sequence) {
        if (!step.bytes.isEmpty()) {
            ++d.frames;
            d.bytes += step.bytes.size();
            const double wire = step.bytes.size() * 10.0 * 1000.0 / settings.baud;
            d.ms += std::ceil(wire / kPollMs) * kPollMs + kSettleMs + (rows != 16 ? kShortPauseMs : 0);
        }
        d.ms += step.pauseAfterMs;
    }
    d.ms += SignLink::CloseDelayFor(family);
    return d;
}

struct SendResult {
    Demand demand;
    double measured = 0;
    int result = -1;
};

SendResult SendOnce(const char* name) {
    const DisplayModel* model = ModelCatalogue::Find(QString::fromLatin1(name));
    MemorySerialPort port;
    SignLink link;
    link.SetPort(&port);
    link.SetDelivery(SignLink::Delivery::Direct);
    link.SetLogFolder(QDir::tempPath());
    link.ApplyModel(QString::fromLatin1(name));
    Payload payload;
    CMessageTable table;
    FillRows(payload, table);
    if (model->family == LinkFamily::SlotTrailer)
        payload.At(0, 2).Assign(QByteArray("VEXA BENCH"));
    link.messageData = &payload;
    link.rowParams = &table;

    const SerialSettings settings = *SerialSettings::Parse(link.PortSettings());
    int result = -1;
    QObject::connect(&link, &SignLink::linkMessage, [&](int message, qintptr, qintptr lParam) {
        if (message == SignLink::ProgressMessage && (lParam & 0xFFFF) == 1)
            result = static_cast<int>(lParam >> 16);
    });
    QElapsedTimer clock;
    clock.start();
    link.StartSend();
    link.WaitForWorker();
    const double measured = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    // Rebuild the sequence from what went on the wire to price it.
    FrameSequence sequence;
    for (const MemorySerialPort::WriteRecord& w : port.Writes())
        sequence.push_back({w.bytes, 0, -1, {}});
    Demand demand = Demanded(sequence, settings, model->rows, model->family);
    // Pauses of the family's own sequence.
    SendInputs sendInputs;
    sendInputs.family = model->family;
    sendInputs.rows = model->rows;
    sendInputs.slotCount = model->slotCount;
    sendInputs.pageWidth = model->hasPageGeometry ? model->pageWidth : 0;
    sendInputs.payload = &payload;
    for (int j = 0; j < Payload::RowCount; ++j) {
        SlotParams& s = SendInputsAccess::Slot(sendInputs, j);
        s.sendFlag = table.sendFlag[static_cast<size_t>(j)];
        s.effect = table.effect[static_cast<size_t>(j)];
    }
    for (const FrameStep& step : LinkFamilies::SendSequence(sendInputs))
        demand.ms += step.pauseAfterMs;
    return {demand, measured, result};
}

} // namespace

// Usage: bench_link [--runs N]: each model is sent N times, models alternating; the
// measured figure is the median.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int runs = 3;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[++i].toInt());
    }
    const std::array<const char*, 6> models = {"P01", "P13", "P30", "P04", "P06", "P27"};
    std::array<std::vector<double>, 6> measured;
    std::array<SendResult, 6> last;
    for (int run = 0; run < runs; ++run) {
        for (size_t m = 0; m < models.size(); ++m) {
            last[m] = SendOnce(models[m]);
            measured[m].push_back(last[m].measured);
        }
    }
    std::printf("%-8s %-6s %7s %7s %11s %11s %7s\n", "family", "model", "frames", "bytes", "demand ms",
                "measured ms", "ratio");
    for (size_t m = 0; m < models.size(); ++m) {
        std::vector<double> times = measured[m];
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        const Demand& demand = last[m].demand;
        std::printf("%-8d %-6s %7d %7lld %11.0f %11.0f %7.3f%s\n",
                    ModelCatalogue::Find(QString::fromLatin1(models[m]))->FamilyCode(), models[m],
                    demand.frames, static_cast<long long>(demand.bytes), demand.ms, median,
                    median / demand.ms, last[m].result == 0 ? "" : "  (send failed)");
    }
    return 0;
}
