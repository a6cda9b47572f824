#pragma once

#include "Navik/Status.h"

#include <cstdio>
#include <string>

namespace Navik {

// A file written under a temporary name beside its target and moved over the
// target only when complete, so that a failed or interrupted write never
// leaves a damaged file where the previous one was.
class AtomicFile
{
public:
    explicit AtomicFile(std::string target) : m_target(std::move(target)) {}
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; a stream is opened on it for writers that
    // write through one.
    bool Create(ImageStatus* status);
    const std::string& GetTemporaryPath() const { return m_temporary; }
    std::FILE* GetStream() const { return m_stream; }
    // Closes the stream, for writers that open the temporary path themselves.
    bool CloseStream(ImageStatus* status);

    // Flushes the data to the disk and renames the file over the target.
    bool Commit(ImageStatus* status);

private:
    bool fail(ImageStatus* status, const std::string& what);

    std::string m_target;
    std::string m_temporary;
    std::FILE* m_stream = nullptr;
    bool m_committed = false;
};

} // namespace Navik
