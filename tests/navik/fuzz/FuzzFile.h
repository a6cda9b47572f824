#pragma once

// The decoders read files by path, so each input is written to a scratch file
// of this process first.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Removed when the fuzzer exits.
struct FuzzScratchFile
{
    std::string path;
    ~FuzzScratchFile() { unlink(path.c_str()); }
};

inline const std::string& fuzzInputPath(const char* suffix)
{
    static const FuzzScratchFile file{[suffix] {
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder ? folder : "/tmp") + "/navik-fuzz-" + std::to_string(getpid()) + suffix;
    }()};
    return file.path;
}

inline const std::string& writeFuzzInput(const std::uint8_t* data, std::size_t size, const char* suffix)
{
    const std::string& path = fuzzInputPath(suffix);
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}
