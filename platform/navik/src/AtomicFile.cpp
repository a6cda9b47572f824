#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace Navik {

namespace {

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool syncPath(const std::string& path, int flags)
{
    const int descriptor = open(path.c_str(), flags | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = fsync(descriptor) == 0;
    close(descriptor);
    return synced;
}

} // namespace

AtomicFile::~AtomicFile()
{
    if (m_stream)
        std::fclose(m_stream);
    if (!m_temporary.empty() && !m_committed)
        unlink(m_temporary.c_str());
}

bool AtomicFile::fail(ImageStatus* status, const std::string& what)
{
    if (status)
        status->Set(kImageStatusWriteError, what + " \"" + m_target + "\": " + std::strerror(errno));
    return false;
}

bool AtomicFile::Create(ImageStatus* status)
{
    std::random_device random;
    const std::string stem = directoryOf(m_target) + "/." + nameOf(m_target) + ".";
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string candidate = stem + std::to_string(random()) + ".tmp";
        // Mode 0666 lets the umask decide, as for any new file.
        const int descriptor = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST)
                continue;
            return fail(status, "Could not create a file beside");
        }
        m_temporary = candidate;
        // A replaced file keeps its permissions.
        struct stat existing;
        if (stat(m_target.c_str(), &existing) == 0)
            fchmod(descriptor, existing.st_mode & 07777);
        m_stream = fdopen(descriptor, "wb");
        if (!m_stream) {
            close(descriptor);
            return fail(status, "Could not write");
        }
        static constexpr std::size_t kBufferSize = 1 << 16;
        std::setvbuf(m_stream, nullptr, _IOFBF, kBufferSize);
        return true;
    }
    errno = EEXIST;
    return fail(status, "Could not create a file beside");
}

bool AtomicFile::CloseStream(ImageStatus* status)
{
    if (!m_stream)
        return true;
    const bool written = std::fflush(m_stream) == 0 && !std::ferror(m_stream);
    const bool closed = std::fclose(m_stream) == 0;
    m_stream = nullptr;
    return (written && closed) || fail(status, "Could not write");
}

bool AtomicFile::Commit(ImageStatus* status)
{
    if (m_stream) {
        const bool written = std::fflush(m_stream) == 0 && !std::ferror(m_stream) && fsync(fileno(m_stream)) == 0;
        const bool closed = std::fclose(m_stream) == 0;
        m_stream = nullptr;
        if (!written || !closed)
            return fail(status, "Could not write");
    } else if (!syncPath(m_temporary, O_RDONLY)) {
        return fail(status, "Could not write");
    }
    if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return fail(status, "Could not replace");
    m_committed = true;
    syncPath(directoryOf(m_target), O_RDONLY | O_DIRECTORY);
    return true;
}

} // namespace Navik
