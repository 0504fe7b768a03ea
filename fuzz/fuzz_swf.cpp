// The SWF header reader on arbitrary bytes: no read outside the input, and answers that agree.
#include "Platform/Shim/Flash/SwfHeader.h"

#include <cstdlib>

using namespace Kestrin::Shim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SwfHeader header;
    SwfStatus status = ParseSwfHeader(data, size, header);
    // A background is only ever reported with a complete header and a clean walk.
    if (header.hasBackground && (status != SwfStatus::Ok || !header.hasFrameInfo))
        std::abort();
    if (status == SwfStatus::Ok && !header.hasFrameInfo)
        std::abort();
    if (status == SwfStatus::HeaderOnly &&
        (header.compression != SwfCompression::Lzma || header.hasFrameInfo))
        std::abort();
    if (status == SwfStatus::NotSwf && header.hasFrameInfo)
        std::abort();
    return 0;
}
