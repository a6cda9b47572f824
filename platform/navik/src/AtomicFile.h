#pragma once

#include "Navik/Status.h"

#include <cstdio>
#include <string>

namespace Navik {

// A file written under a temporary name beside its target and moved over the
// target only when complete, so that a failed or interrupted write never
// leaves a damaged file where the previous one was.
//
// Where the file system allows it the temporary file has no name at all
// (O_TMPFILE) until Commit links it into place, so a process killed while
// writing leaves nothing behind. Elsewhere it is a hidden file named after
// the target and this process; Create removes those left by processes of
// this user that no longer run.
//
// A target that is a symbolic link is written through: the link stays and
// the file it points to is replaced, just as atomically.
class AtomicFile
{
public:
    explicit AtomicFile(std::string target) : m_target(std::move(target)) {}
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Whether a file could be written to `target` now: its links do not
    // loop, it is a regular file that may be written or not there yet, and
    // its folder takes a new file. Creates nothing.
    static bool CheckTarget(const std::string& target, ImageStatus* status);

    // Creates the temporary file; a stream is opened on it for writers that
    // write through one. A replaced file's owner, group and permissions go
    // to it, as far as this process may give them.
    bool Create(ImageStatus* status);
    // A path that opens the temporary file, for writers that open it
    // themselves (a /proc/self/fd path for an unnamed file).
    const std::string& GetTemporaryPath() const { return m_temporary; }
    std::FILE* GetStream() const { return m_stream; }
    // Closes the stream, for writers that open the temporary path themselves.
    bool CloseStream(ImageStatus* status);

    // Flushes the data to the disk and puts the file in place of the target.
    bool Commit(ImageStatus* status);

    // The file that is replaced: the target with its links followed.
    const std::string& GetResolvedTarget() const { return m_resolved; }
    // Whether the temporary file is an unnamed one.
    bool IsUnnamed() const { return m_unnamed; }

    // For tests: false makes every AtomicFile use a named temporary file, as
    // on a file system without unnamed ones.
    static void SetUnnamedFilesAllowed(bool allowed);

private:
    bool fail(ImageStatus* status, const std::string& what, int error);
    bool createNamed(const std::string& stem, ImageStatus* status);
    bool createUnnamed(const std::string& directory);
    bool openStream(ImageStatus* status);

    std::string m_target;
    std::string m_resolved;
    std::string m_temporary;
    std::FILE* m_stream = nullptr;
    int m_descriptor = -1;
    bool m_unnamed = false;
    bool m_committed = false;
};

} // namespace Navik
