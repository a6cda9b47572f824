#include "utils/FaultCourierStart.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <iterator>
#include <sched.h>
#include <unistd.h>

namespace NAVIK_tarl1 {

namespace {

const char kAnnouncementPrefix[] = "FaultCourierPath ";

// Everything the crash-time hand-over reads, built ahead in fixed storage so
// that nothing is allocated, formatted or freed at crash time.
struct PreparedStart
{
    char path[PATH_MAX];
    char announcement[sizeof kAnnouncementPrefix + PATH_MAX];
    size_t announcementLength;
    char* arguments[2];
    std::atomic<bool> ready;
    // The child runs on a stack of its own until it execs (see below).
    alignas(16) char childStack[16 * 1024];
};

PreparedStart g_start{};

// write(2) until done: the only output allowed in a crashed process.
void writeAll(int fd, const char* data, size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        length -= static_cast<size_t>(written);
    }
}

// Ready as soon as the library is loaded, so a crash at any later moment can
// hand over. The link names the executable's real path, however it was started.
[[maybe_unused]] const bool g_preparedAtLoad =
    prepareFaultCourierStart(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());

// The child's whole life before the sender replaces it.
int execSender(void*)
{
    execv(g_start.path, g_start.arguments);
    _exit(127);
}

} // namespace

bool prepareFaultCourierStart(const QString& executablePath)
{
    g_start.ready.store(false, std::memory_order_release);
    if (executablePath.isEmpty())
        return false;

    const qsizetype cut = executablePath.lastIndexOf(QLatin1Char('/'));
    const QString folder = cut < 0 ? executablePath : executablePath.left(cut);
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/FaultCourier"));
    if (path.size() >= PATH_MAX)
        return false;
    const QByteArray announcement = kAnnouncementPrefix + path + '\n';

    std::memcpy(g_start.path, path.constData(), size_t(path.size()) + 1);
    std::memcpy(g_start.announcement, announcement.constData(), size_t(announcement.size()));
    g_start.announcementLength = size_t(announcement.size());
    // The sender gets no arguments of its own: it finds the report where the
    // crash capture saved it.
    g_start.arguments[0] = g_start.path;
    g_start.arguments[1] = nullptr;
    g_start.ready.store(true, std::memory_order_release);
    return true;
}

QString faultCourierPath()
{
    if (!g_start.ready.load(std::memory_order_acquire))
        return {};
    return QFile::decodeName(g_start.path);
}

void startFaultCourierAndTerminate()
{
    if (g_start.ready.load(std::memory_order_acquire)) {
        writeAll(STDERR_FILENO, g_start.announcement, g_start.announcementLength);
        // As vfork: the child shares this process's memory and this process
        // waits until the child has exec'd. Unlike vfork, the child gets a stack
        // of its own, so it cannot write over the frames of the crashed thread,
        // which may be running on the crash handler's alternate stack (where
        // the sanitizers' vfork hook, which assumes the thread's own stack,
        // would hang).
        clone(execSender, std::end(g_start.childStack), CLONE_VM | CLONE_VFORK | SIGCHLD, nullptr);
    }
    kill(getpid(), SIGKILL);
}

} // namespace NAVIK_tarl1
