// INI store: any bytes, in any of the four encodings, load without harm; what is saved
// reads back with the same named values.
#include "store/CIniFile.h"
#include "store/EncodedTextReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;

namespace {

QString Decode(const QByteArray& bytes) {
    int offset = 0;
    const TextEncoding encoding = EncodedTextReader::Detect(bytes, &offset);
    return EncodedTextReader::DecodeBody(bytes.mid(offset), encoding, LegacyCodePage(936));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CIniFile first;
    first.LoadText(Decode(bytes));
    CIniFile second;
    second.LoadText(Decode(first.Serialize()));
    const QStringList keys = first.KeyNames();
    for (int k = 0; k < first.KeyCount(); ++k) {
        const QStringList names = first.ValueNames(k);
        const QStringList texts = first.ValueTexts(k);
        for (qsizetype v = 0; v < names.size(); ++v) {
            if (names[v].isEmpty())
                continue; // never written
            if (second.GetText(keys[k], names[v]) != texts[v])
                std::abort();
        }
    }
    return 0;
}
