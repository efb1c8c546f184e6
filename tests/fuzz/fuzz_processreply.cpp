// Reply parser of the link engine: any bytes from the line, in any chunks, are taken
// without harm and leave the sign list's IDs in range.
#include "link/MemorySerialPort.h"
#include "link/SignLink.h"
#include "store/CIdList.h"

#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

using namespace vexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir logFolder;
    MemorySerialPort port;
    CIdList signList;
    SignLink link;
    link.SetPort(&port);
    link.SetLogFolder(logFolder.path());
    link.signList = &signList;
    // The first byte chooses the chunk length, the rest is the line.
    const int chunk = size > 0 ? 1 + data[0] % 64 : 1;
    const char* bytes = reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0);
    int left = size > 0 ? static_cast<int>(size - 1) : 0;
    while (left > 0) {
        const int n = left < chunk ? left : chunk;
        link.ProcessReply(bytes, n);
        bytes += n;
        left -= n;
    }
    return 0;
}
