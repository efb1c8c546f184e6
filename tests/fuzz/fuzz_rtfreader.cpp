// RTF reader: any document reads without harm and within its limits.
#include "render/RtfReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString rtf =
        QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const RichText text = RtfReader::Read(rtf, LegacyCodePage(936));
    if (text.formats.size() != text.text.size() || text.text.size() > RtfReader::MaxTextLength)
        std::abort();
    return 0;
}
