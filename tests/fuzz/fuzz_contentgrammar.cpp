// Content grammar: any content string parses without harm; an image list survives being
// written back.
#include "render/ContentGrammar.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString content =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ParsedContent parsed = ContentGrammar::Parse(content);
    if (parsed.kind == ContentKind::ImageList &&
        ContentGrammar::CutImageList(ContentGrammar::ImageListText(parsed.imagePaths)) != parsed.imagePaths)
        std::abort();
    ContentGrammar::ReadDateFlags(parsed.dateFlagChars);
    return 0;
}
