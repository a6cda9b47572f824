// Feeds arbitrary bytes to one decoder (chosen at build time by
// NAVIK_FUZZ_FORMAT and NAVIK_FUZZ_SUFFIX): loading may fail, but must never
// crash, hang or run out of memory.

#include "FuzzFile.h"

#include <Navik/Image.h>
#include <Navik/Logging.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Navik::SetDefaultLoggerMinimumLevel(Navik::kLogLevelError);
    const std::string& path = writeFuzzInput(data, size, NAVIK_FUZZ_SUFFIX);
    const Navik::Dictionary noMetadata;
    for (const bool headerOnly : {true, false}) {
        Navik::ImageStatus status;
        Navik::Image* image =
            headerOnly ? Navik::LoadInfoImage(path, Navik::FileFormat(NAVIK_FUZZ_FORMAT), noMetadata, &status)
                       : Navik::LoadFullImage(path, Navik::FileFormat(NAVIK_FUZZ_FORMAT), noMetadata, &status, nullptr);
        if (!image && status.IsOK())
            __builtin_trap(); // a failure must say so
        if (image)
            image->Release();
    }
    return 0;
}
