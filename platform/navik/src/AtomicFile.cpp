#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Navik {

namespace {

// Links followed before a target counts as a loop.
constexpr int kMaxLinkHops = 40;

std::atomic<bool> s_unnamedFilesAllowed{true};

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

std::string descriptorPath(int descriptor)
{
    return "/proc/self/fd/" + std::to_string(descriptor);
}

// The file a write to `path` should replace: `path` with its symbolic links
// followed (a link to a missing file gives that file). Empty with errno set
// when the links loop.
std::string followLinks(std::string path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::vector<char> link(PATH_MAX + 1);
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length <= 0 || std::size_t(length) >= link.size())
            return path;
        const std::string destination(link.data(), std::size_t(length));
        path = destination.front() == '/' ? destination : directoryOf(path) + "/" + destination;
    }
    errno = ELOOP;
    return {};
}

// Our temporary files of a target are ".<name>.<process>.<number>.tmp",
// with the target's name cut short where the whole would not fit in a name:
// a process number and a random number of up to ten digits each.
constexpr std::size_t kTemporaryNameOverhead = 1 + 1 + 10 + 1 + 10 + 4;

std::string temporaryPrefix(const std::string& name)
{
    std::size_t length = name.size();
    if (length > NAME_MAX - kTemporaryNameOverhead) {
        length = NAME_MAX - kTemporaryNameOverhead;
        // Not in the middle of a UTF-8 character.
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
            --length;
    }
    return "." + name.substr(0, length) + ".";
}

std::string temporaryStem(const std::string& target)
{
    return directoryOf(target) + "/" + temporaryPrefix(nameOf(target));
}

// The process that made `entry`, when it is one of our temporary files of the
// target named `name`; 0 otherwise.
pid_t temporaryOwner(const std::string& entry, const std::string& name)
{
    const std::string prefix = temporaryPrefix(name);
    const std::string suffix = ".tmp";
    if (entry.size() <= prefix.size() + suffix.size() || entry.compare(0, prefix.size(), prefix) != 0 ||
        entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string middle = entry.substr(prefix.size(), entry.size() - prefix.size() - suffix.size());
    const std::size_t dot = middle.find('.');
    if (dot == 0 || dot == std::string::npos || dot + 1 == middle.size() || dot > 9)
        return 0;
    for (std::size_t index = 0; index < middle.size(); ++index)
        if (index != dot && (middle[index] < '0' || middle[index] > '9'))
            return 0;
    return pid_t(std::stol(middle.substr(0, dot)));
}

// Removes the temporary files of `target` that processes of this user left
// when they were killed while writing. Files of running processes stay.
void removeStaleTemporaries(const std::string& target)
{
    const std::string directory = directoryOf(target);
    const std::string name = nameOf(target);
    DIR* const listing = opendir(directory.c_str());
    if (!listing)
        return;
    while (const dirent* entry = readdir(listing)) {
        const pid_t owner = temporaryOwner(entry->d_name, name);
        if (owner <= 0 || owner == getpid() || kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        struct stat info;
        if (fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == geteuid())
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}

} // namespace

void AtomicFile::SetUnnamedFilesAllowed(bool allowed)
{
    s_unnamedFilesAllowed = allowed;
}

AtomicFile::~AtomicFile()
{
    if (m_stream)
        std::fclose(m_stream);
    if (m_descriptor >= 0)
        close(m_descriptor);
    if (!m_unnamed && !m_temporary.empty() && !m_committed)
        unlink(m_temporary.c_str());
}

namespace {

bool failWith(ImageStatus* status, const std::string& what, const std::string& target, int error)
{
    if (status)
        status->Set(kImageStatusWriteError, what + " \"" + target + "\": " + std::strerror(error),
                    CauseOfSystemError(error));
    return false;
}

// What a save to `target` replaces, and whether it may: the target with its
// links followed, which must be a regular file that may be written, or
// nothing yet.
struct Replaced
{
    std::string resolved;
    bool exists = false;
    struct stat info = {};
};

bool inspectTarget(const std::string& target, Replaced& replaced, ImageStatus* status)
{
    replaced.resolved = followLinks(target);
    if (replaced.resolved.empty())
        return failWith(status, "Could not follow the links of", target, errno);
    if (stat(replaced.resolved.c_str(), &replaced.info) != 0) {
        // Not there yet is what a new file is; anything else (a name too
        // long, a folder that cannot be entered) the save would meet too.
        if (errno != ENOENT)
            return failWith(status, "Could not write", target, errno);
        return true;
    }
    replaced.exists = true;
    if (S_ISDIR(replaced.info.st_mode))
        return failWith(status, "Could not replace", target, EISDIR);
    // A pipe or a device would be replaced by a plain file, which is not
    // what its user wants, or it would take the picture and keep nothing.
    if (!S_ISREG(replaced.info.st_mode)) {
        if (status)
            status->Set(kImageStatusWriteError, "\"" + target + "\" is a pipe, a socket or a device, not a file.",
                        kImageCauseNotARegularFile);
        return false;
    }
    // The rename that replaces the file would go around the file's own
    // mode: a file that may not be written is not replaced. Its owner's
    // write permission is looked at too, as the system lets some (the
    // superuser) write any file.
    const bool writable = access(replaced.resolved.c_str(), W_OK) == 0 || errno == ETXTBSY;
    if (!writable && errno == EROFS)
        return failWith(status, "Could not write", target, EROFS);
    if (!writable || (replaced.info.st_mode & S_IWUSR) == 0) {
        if (status)
            status->Set(kImageStatusWriteError, "The file \"" + target + "\" is write-protected.",
                        kImageCauseWriteProtected);
        return false;
    }
    return true;
}

} // namespace

bool AtomicFile::fail(ImageStatus* status, const std::string& what, int error)
{
    return failWith(status, what, m_target, error);
}

bool AtomicFile::CheckTarget(const std::string& target, ImageStatus* status)
{
    Replaced replaced;
    if (!inspectTarget(target, replaced, status))
        return false;
    // The file is made in the folder of the file it replaces.
    const std::string directory = directoryOf(replaced.resolved);
    if (access(directory.c_str(), W_OK | X_OK) != 0)
        return failWith(status, "Could not create a file beside", target, errno);
    return true;
}

bool AtomicFile::Create(ImageStatus* status)
{
    Replaced replaced;
    if (!inspectTarget(m_target, replaced, status))
        return false;
    m_resolved = replaced.resolved;
    removeStaleTemporaries(m_resolved);

    if (!createUnnamed(directoryOf(m_resolved)) && !createNamed(temporaryStem(m_resolved), status))
        return false;
    if (replaced.exists) {
        // A replaced file keeps its owner and group where this process may
        // give them (the superuser may, a user only a group of theirs; else
        // the file is this process's, as any file it makes), and its
        // permissions, which a change of owner may have cut.
        if (fchown(m_descriptor, replaced.info.st_uid, replaced.info.st_gid) != 0)
            static_cast<void>(fchown(m_descriptor, static_cast<uid_t>(-1), replaced.info.st_gid));
        fchmod(m_descriptor, replaced.info.st_mode & 07777);
    }
    return openStream(status);
}

bool AtomicFile::createUnnamed(const std::string& directory)
{
    if (!s_unnamedFilesAllowed)
        return false;
    // Mode 0666 lets the umask decide, as for any new file. Any failure
    // (a file system without unnamed files, no /proc to link it through)
    // falls back to a named file, which reports the real error if there is one.
    const int descriptor = open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    const std::string path = descriptorPath(descriptor);
    if (access(path.c_str(), W_OK) != 0) {
        close(descriptor);
        return false;
    }
    m_descriptor = descriptor;
    m_temporary = path;
    m_unnamed = true;
    return true;
}

bool AtomicFile::createNamed(const std::string& stem, ImageStatus* status)
{
    std::random_device random;
    const std::string processStem = stem + std::to_string(getpid()) + ".";
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string candidate = processStem + std::to_string(random()) + ".tmp";
        const int descriptor = open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST)
                continue;
            return fail(status, "Could not create a file beside", errno);
        }
        m_descriptor = descriptor;
        m_temporary = candidate;
        return true;
    }
    return fail(status, "Could not create a file beside", EEXIST);
}

bool AtomicFile::openStream(ImageStatus* status)
{
    // The stream has its own descriptor: an unnamed file must stay open
    // until it is linked, whatever the writers do with the stream.
    const int streamDescriptor = fcntl(m_descriptor, F_DUPFD_CLOEXEC, 0);
    if (streamDescriptor >= 0)
        m_stream = fdopen(streamDescriptor, "wb");
    if (!m_stream) {
        const int error = errno;
        if (streamDescriptor >= 0)
            close(streamDescriptor);
        return fail(status, "Could not write", error);
    }
    static constexpr std::size_t kBufferSize = 1 << 16;
    std::setvbuf(m_stream, nullptr, _IOFBF, kBufferSize);
    return true;
}

bool AtomicFile::CloseStream(ImageStatus* status)
{
    if (!m_stream)
        return true;
    int error = 0;
    if (std::fflush(m_stream) != 0 || std::ferror(m_stream))
        error = errno ? errno : EIO;
    if (std::fclose(m_stream) != 0 && error == 0)
        error = errno;
    m_stream = nullptr;
    return error == 0 || fail(status, "Could not write", error);
}

bool AtomicFile::Commit(ImageStatus* status)
{
    if (m_descriptor < 0)
        return fail(status, "Could not write", EBADF);
    errno = 0;
    if (!CloseStream(status))
        return false;
    if (fsync(m_descriptor) != 0)
        return fail(status, "Could not write", errno);

    const std::string directory = directoryOf(m_resolved);
    if (m_unnamed) {
        // An unnamed file cannot replace another directly: it gets a
        // temporary name first, which the rename takes away at once.
        std::random_device random;
        const std::string stem = temporaryStem(m_resolved) + std::to_string(getpid()) + ".";
        std::string linked;
        for (int attempt = 0; attempt < 16 && linked.empty(); ++attempt) {
            const std::string candidate = stem + std::to_string(random()) + ".tmp";
            if (linkat(AT_FDCWD, m_temporary.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0)
                linked = candidate;
            else if (errno != EEXIST)
                return fail(status, "Could not write", errno);
        }
        if (linked.empty())
            return fail(status, "Could not write", EEXIST);
        if (std::rename(linked.c_str(), m_resolved.c_str()) != 0) {
            const int error = errno;
            unlink(linked.c_str());
            return fail(status, "Could not replace", error);
        }
    } else if (std::rename(m_temporary.c_str(), m_resolved.c_str()) != 0) {
        return fail(status, "Could not replace", errno);
    }
    m_committed = true;
    syncPath(directory, O_RDONLY | O_DIRECTORY);
    return true;
}

} // namespace Navik
