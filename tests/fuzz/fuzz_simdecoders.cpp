// Frame decoders of the simulator: any bytes on the line, for any model, in any chunks,
// decode without harm.
#include "core/ModelCatalogue.h"
#include "sim/SignDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace vexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const QString name = QStringLiteral("P%1").arg(1 + data[0] % 36, 2, 10, QLatin1Char('0'));
    const DisplayModel* model = ModelCatalogue::Find(name);
    if (!model)
        return 0;
    const std::unique_ptr<SignDecoder> decoder = SignDecoder::ForModel(*model);
    const qsizetype chunk = 1 + data[1] % 128;
    const QByteArrayView line(reinterpret_cast<const char*>(data) + 2, static_cast<qsizetype>(size - 2));
    for (qsizetype at = 0; at < line.size(); at += chunk)
        decoder->Feed(line.sliced(at, std::min(chunk, line.size() - at)));
    decoder->Flush();
    return 0;
}
