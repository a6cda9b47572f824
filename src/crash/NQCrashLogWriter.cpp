#include "crash/NQCrashLogWriter.h"

#include "crash/NQCrashFrameWalker.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <elf.h>
#include <fcntl.h>
#include <fstream>
#include <linux/futex.h>
#include <set>
#include <string>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace {

// The x86-64 processor in the report format's encoding.
const uint64_t kProcessorX86_64 = 0x1000007;
const uint64_t kSubtypeX86_64All = 3;
const uint32_t kEncodingMach = 1;
const uint32_t kOperatingSystemUnknown = 3;
const uint32_t kArchitectureX86_64 = 1;
const size_t kMaxThreads = 1024;

char* copyString(const std::string& value)
{
    return value.empty() ? nullptr : strdup(value.c_str());
}

std::string firstLine(const char* path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// Physical cores: distinct (physical id, core id) pairs of /proc/cpuinfo.
uint32_t physicalCores()
{
    std::ifstream in("/proc/cpuinfo");
    std::set<std::pair<std::string, std::string>> cores;
    std::string line, physical;
    while (std::getline(in, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : std::string();
        if (line.rfind("physical id", 0) == 0)
            physical = value;
        else if (line.rfind("core id", 0) == 0)
            cores.emplace(physical, value);
    }
    return uint32_t(cores.size());
}

// --- Async-signal-safe helpers ----------------------------------------------

// "#<n>" into buffer (at least 16 bytes).
const char* numberName(int n, char* buffer)
{
    char digits[12];
    size_t count = 0;
    unsigned value = n < 0 ? 0u - unsigned(n) : unsigned(n);
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    size_t at = 0;
    buffer[at++] = '#';
    if (n < 0)
        buffer[at++] = '-';
    while (count)
        buffer[at++] = digits[--count];
    buffer[at] = '\0';
    return buffer;
}

pid_t currentThreadId()
{
    return pid_t(syscall(SYS_gettid));
}

void futexWait(std::atomic<int>* word, int expected, long nanoseconds)
{
    struct timespec timeout{0, nanoseconds};
    syscall(SYS_futex, reinterpret_cast<int*>(word), FUTEX_WAIT, expected, &timeout, nullptr, 0);
}

void futexWake(std::atomic<int>* word)
{
    syscall(SYS_futex, reinterpret_cast<int*>(word), FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

// Waits up to about milliseconds for the word to hold want.
bool waitFor(std::atomic<int>* word, int want, int milliseconds)
{
    for (int i = 0; i < milliseconds; ++i) {
        const int seen = word->load(std::memory_order_acquire);
        if (seen == want)
            return true;
        futexWait(word, seen, 1000000);
    }
    return word->load(std::memory_order_acquire) == want;
}

// --- Parking the other threads ------------------------------------------------

// One thread at a time is parked: the crashed thread names it, signals it,
// reads its stack from the context its handler received and releases it.
enum ParkState { ParkAsked = 0, Parked = 1, Released = 2, Left = 3 };

struct ParkSlot
{
    std::atomic<int> tid{0};
    std::atomic<int> state{Left};
    std::atomic<const ucontext_t*> context{nullptr};
};

ParkSlot g_park;
int g_parkSignal = 0;

// Threads that took a fatal signal while another thread writes the report,
// with the contexts of their faults. Each slot is claimed once; a thread
// finding none free is shown where it waits.
struct FaultedThread
{
    std::atomic<int> tid{0};
    std::atomic<const ucontext_t*> context{nullptr};
};
FaultedThread g_faulted[16];

const ucontext_t* faultContextOf(pid_t tid)
{
    for (const FaultedThread& faulted : g_faulted) {
        if (faulted.tid.load(std::memory_order_acquire) == tid)
            return faulted.context.load(std::memory_order_acquire);
    }
    return nullptr;
}

void parkHandler(int, siginfo_t*, void* uap)
{
    const int savedErrno = errno;
    const pid_t self = currentThreadId();
    if (g_park.tid.load(std::memory_order_acquire) == self) {
        const ucontext_t* fault = faultContextOf(self);
        g_park.context.store(fault ? fault : static_cast<const ucontext_t*>(uap), std::memory_order_release);
        g_park.state.store(Parked, std::memory_order_release);
        futexWake(&g_park.state);
        // Bounded, so a thread the writer gave up on does not hang forever.
        waitFor(&g_park.state, Released, 5000);
        g_park.state.store(Left, std::memory_order_release);
        futexWake(&g_park.state);
    }
    errno = savedErrno;
}

// Thread ids of the process, from /proc/self/task, in directory order.
size_t listThreads(pid_t* tids, size_t capacity)
{
    const int fd = ::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    size_t count = 0;
    alignas(8) char buffer[4096];
    for (;;) {
        const long n = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (long at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
            at += entry->d_reclen;
            pid_t tid = 0;
            const char* c = entry->d_name;
            if (*c < '0' || *c > '9')
                continue;
            for (; *c >= '0' && *c <= '9'; ++c)
                tid = tid * 10 + (*c - '0');
            if (count < capacity)
                tids[count++] = tid;
        }
    }
    ::close(fd);
    return count;
}

nqcrash_thread_list_source_t g_threadListSource = listThreads;

// --- Sections ------------------------------------------------------------------

// A section writer adds its fields to file (or only counts them when file is
// null) and returns their size.
using SectionWriter = size_t (*)(nqcrash_async_file_t* file, const void* context);

// One embedded message: the size pass, key and length, the body. Returns the
// whole field's size.
size_t writeMessage(nqcrash_async_file_t* file, uint32_t field, SectionWriter writer, const void* context)
{
    const uint32_t length = uint32_t(writer(nullptr, context));
    const size_t head = nqcrash_writer_pack(file, field, NQCRASH_TYPE_MESSAGE, &length);
    if (file)
        writer(file, context);
    return head + length;
}

// The bytes file can still take beyond what is reserved; unlimited files
// take everything.
bool fits(const nqcrash_async_file_t* file, size_t size, size_t reserved)
{
    const off_t room = nqcrash_async_file_room(file);
    return room < 0 || off_t(size + reserved) <= room;
}

struct WriteContext
{
    const nqcrash_log_writer_t* writer;
    int64_t timestamp;
};

size_t writeProcessor(nqcrash_async_file_t* file, const void* context)
{
    const auto* type = static_cast<const uint64_t*>(context);  // {type, subtype, encoding}
    const uint32_t encoding = uint32_t(type[2]);
    size_t n = nqcrash_writer_pack(file, 1, NQCRASH_TYPE_ENUM, &encoding);
    n += nqcrash_writer_pack(file, 2, NQCRASH_TYPE_UINT64, &type[0]);
    n += nqcrash_writer_pack(file, 3, NQCRASH_TYPE_UINT64, &type[1]);
    return n;
}

size_t writeSystemInfo(nqcrash_async_file_t* file, const void* context)
{
    const auto* write = static_cast<const WriteContext*>(context);
    const nqcrash_log_writer_t* writer = write->writer;
    size_t n = nqcrash_writer_pack(file, 1, NQCRASH_TYPE_ENUM, &kOperatingSystemUnknown);
    // The field is required: an unreadable version is written as "".
    n += nqcrash_writer_pack(file, 2, NQCRASH_TYPE_STRING, writer->system_info.version ? writer->system_info.version : "");
    if (writer->system_info.build)
        n += nqcrash_writer_pack(file, 5, NQCRASH_TYPE_STRING, writer->system_info.build);
    n += nqcrash_writer_pack(file, 3, NQCRASH_TYPE_ENUM, &kArchitectureX86_64);
    n += nqcrash_writer_pack(file, 4, NQCRASH_TYPE_INT64, &write->timestamp);
    return n;
}

size_t writeMachineInfo(nqcrash_async_file_t* file, const void* context)
{
    const nqcrash_log_writer_t* writer = static_cast<const WriteContext*>(context)->writer;
    size_t n = 0;
    if (writer->machine_info.model)
        n += nqcrash_writer_pack(file, 1, NQCRASH_TYPE_STRING, writer->machine_info.model);
    const uint64_t processor[3] = {writer->machine_info.cpu_type, writer->machine_info.cpu_subtype, kEncodingMach};
    n += writeMessage(file, 2, writeProcessor, processor);
    n += nqcrash_writer_pack(file, 3, NQCRASH_TYPE_UINT32, &writer->machine_info.processor_count);
    n += nqcrash_writer_pack(file, 4, NQCRASH_TYPE_UINT32, &writer->machine_info.logical_processor_count);
    return n;
}

size_t writeApplicationInfo(nqcrash_async_file_t* file, const void* context)
{
    const nqcrash_log_writer_t* writer = static_cast<const WriteContext*>(context)->writer;
    const char* identifier = writer->application_info.app_identifier;
    const char* version = writer->application_info.app_version;
    size_t n = nqcrash_writer_pack(file, 1, NQCRASH_TYPE_STRING, identifier ? identifier : "");
    n += nqcrash_writer_pack(file, 2, NQCRASH_TYPE_STRING, version ? version : "");
    return n;
}

size_t writeProcessInfo(nqcrash_async_file_t* file, const void* context)
{
    const nqcrash_log_writer_t* writer = static_cast<const WriteContext*>(context)->writer;
    const auto& process = writer->process_info;
    size_t n = 0;
    if (process.process_name)
        n += nqcrash_writer_pack(file, 1, NQCRASH_TYPE_STRING, process.process_name);
    // Ids as plain 64-bit varints: the same bytes as uint32 for these values.
    const uint64_t pid = process.process_id, ppid = process.parent_process_id;
    n += nqcrash_writer_pack(file, 2, NQCRASH_TYPE_UINT64, &pid);
    if (process.process_path)
        n += nqcrash_writer_pack(file, 3, NQCRASH_TYPE_STRING, process.process_path);
    if (process.parent_process_name)
        n += nqcrash_writer_pack(file, 4, NQCRASH_TYPE_STRING, process.parent_process_name);
    n += nqcrash_writer_pack(file, 5, NQCRASH_TYPE_UINT64, &ppid);
    n += nqcrash_writer_pack(file, 6, NQCRASH_TYPE_BOOL, &process.native);
    return n;
}

size_t writeStackFrame(nqcrash_async_file_t* file, const void* context)
{
    return nqcrash_writer_pack(file, 3, NQCRASH_TYPE_UINT64, context);
}

struct ThreadContext
{
    uint32_t number;
    bool crashed;
    const ucontext_t* uap;
};

struct RegisterContext
{
    const char* name;
    uint64_t value;
};

size_t writeRegister(nqcrash_async_file_t* file, const void* context)
{
    const auto* value = static_cast<const RegisterContext*>(context);
    size_t n = nqcrash_writer_pack(file, 1, NQCRASH_TYPE_STRING, value->name);
    n += nqcrash_writer_pack(file, 2, NQCRASH_TYPE_UINT64, &value->value);
    return n;
}

size_t writeThread(nqcrash_async_file_t* file, const void* context)
{
    const auto* thread = static_cast<const ThreadContext*>(context);
    size_t n = nqcrash_writer_pack(file, 1, NQCRASH_TYPE_UINT32, &thread->number);
    n += nqcrash_writer_pack(file, 3, NQCRASH_TYPE_BOOL, &thread->crashed);

    nqcrash_frame_cursor_t cursor;
    nqcrash_frame_cursor_init(&cursor, thread->uap);
    for (size_t frames = 0; frames < NQCRASH_MAX_FRAMES; ++frames) {
        if (nqcrash_frame_cursor_next(&cursor) != NQCRASH_FRAME_ESUCCESS)
            break;
        uint64_t pc;
        if (nqcrash_frame_get_reg(&cursor, NQCRASH_X86_64_RIP, &pc) != NQCRASH_FRAME_ESUCCESS)
            break;
        n += writeMessage(file, 2, writeStackFrame, &pc);
    }

    if (thread->crashed) {
        nqcrash_frame_cursor_init(&cursor, thread->uap);
        nqcrash_frame_cursor_next(&cursor);
        for (int r = 0; r <= NQCRASH_X86_64_LAST_REG; ++r) {
            RegisterContext value{nqcrash_frame_get_regname(r), 0};
            if (nqcrash_frame_get_reg(&cursor, r, &value.value) != NQCRASH_FRAME_ESUCCESS)
                value.value = 0;
            n += writeMessage(file, 4, writeRegister, &value);
        }
    }
    return n;
}

size_t writeImage(nqcrash_async_file_t* file, const void* context)
{
    const auto* image = static_cast<const nqcrash_image_t*>(context);
    size_t n = nqcrash_writer_pack(file, 2, NQCRASH_TYPE_UINT64, &image->size);
    n += nqcrash_writer_pack(file, 1, NQCRASH_TYPE_UINT64, &image->header);
    n += nqcrash_writer_pack(file, 3, NQCRASH_TYPE_STRING, image->name);
    if (image->build_id_len > 0) {
        const nqcrash_pack_bytes_t uuid{image->build_id_len, image->build_id};
        n += nqcrash_writer_pack(file, 4, NQCRASH_TYPE_BYTES, &uuid);
    }
    // Other machines keep their ELF machine number, with no encoding.
    const bool x86_64 = image->machine == EM_X86_64;
    const uint64_t processor[3] = {x86_64 ? kProcessorX86_64 : image->machine, x86_64 ? kSubtypeX86_64All : 0,
                                   x86_64 ? kEncodingMach : 0};
    n += writeMessage(file, 5, writeProcessor, processor);
    return n;
}

size_t writeException(nqcrash_async_file_t* file, const void* context)
{
    const auto& exception = static_cast<const WriteContext*>(context)->writer->uncaught_exception;
    size_t n = nqcrash_writer_pack(file, 1, NQCRASH_TYPE_STRING, exception.name ? exception.name : "");
    n += nqcrash_writer_pack(file, 2, NQCRASH_TYPE_STRING, exception.reason ? exception.reason : "");
    for (size_t i = 0; i < exception.callstack_count && i < NQCRASH_MAX_FRAMES; ++i)
        n += writeMessage(file, 3, writeStackFrame, &exception.callstack[i]);
    return n;
}

size_t writeSignal(nqcrash_async_file_t* file, const void* context)
{
    const auto* siginfo = static_cast<const siginfo_t*>(context);
    char nameBuffer[16], codeBuffer[16];
    const char* name = nqcrash_signal_name(siginfo->si_signo);
    if (!name)
        name = numberName(siginfo->si_signo, nameBuffer);
    const char* code = nqcrash_signal_code_name(siginfo->si_signo, siginfo->si_code);
    if (!code)
        code = numberName(siginfo->si_code, codeBuffer);
    const uint64_t address = reinterpret_cast<uintptr_t>(siginfo->si_addr);
    size_t n = nqcrash_writer_pack(file, 1, NQCRASH_TYPE_STRING, name);
    n += nqcrash_writer_pack(file, 2, NQCRASH_TYPE_STRING, code);
    n += nqcrash_writer_pack(file, 3, NQCRASH_TYPE_UINT64, &address);
    return n;
}

} // namespace

int nqcrash_park_signal()
{
    return SIGRTMIN + 7;
}

void nqcrash_log_writer_wait_for_end(const ucontext_t* uap)
{
    const pid_t self = currentThreadId();
    for (FaultedThread& faulted : g_faulted) {
        int expected = 0;
        if (faulted.tid.compare_exchange_strong(expected, self, std::memory_order_acq_rel)) {
            faulted.context.store(uap, std::memory_order_release);
            break;
        }
    }
    // The park signal still reaches this thread (it interrupts pause and
    // is answered by parkHandler); everything else waits for the process
    // to end.
    for (;;)
        pause();
}

void nqcrash_log_writer_set_thread_list_source(nqcrash_thread_list_source_t source)
{
    g_threadListSource = source ? source : listThreads;
}

int nqcrash_log_writer_init(nqcrash_log_writer_t* writer, const char* app_identifier, const char* app_version)
{
    std::memset(writer, 0, sizeof *writer);
    writer->application_info.app_identifier = strdup(app_identifier ? app_identifier : "");
    writer->application_info.app_version = strdup(app_version ? app_version : "");

    writer->process_info.process_id = uint32_t(getpid());
    writer->process_info.process_name = copyString(firstLine("/proc/self/comm"));
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        path[length] = '\0';
        writer->process_info.process_path = strdup(path);
    }
    writer->process_info.parent_process_id = uint32_t(getppid());
    const std::string parentComm = "/proc/" + std::to_string(getppid()) + "/comm";
    writer->process_info.parent_process_name = copyString(firstLine(parentComm.c_str()));
    writer->process_info.native = true;

    writer->machine_info.model = copyString(firstLine("/sys/devices/virtual/dmi/id/product_name"));
    writer->machine_info.cpu_type = kProcessorX86_64;
    writer->machine_info.cpu_subtype = kSubtypeX86_64All;
    writer->machine_info.processor_count = physicalCores();
    const long logical = sysconf(_SC_NPROCESSORS_CONF);
    writer->machine_info.logical_processor_count = logical > 0 ? uint32_t(logical) : 0;

    // Prepared here so that nothing is set up at crash time.
    nqcrash_image_list_init(writer->process_info.process_path);
    g_parkSignal = nqcrash_park_signal();
    struct sigaction action{};
    action.sa_sigaction = parkHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_RESTART | SA_ONSTACK;
    sigaction(g_parkSignal, &action, nullptr);

    struct utsname name;
    if (uname(&name) != 0)
        return NQCRASH_EINTERNAL;
    writer->system_info.version = strdup(name.release);
    writer->system_info.build = strdup(name.version);
    std::atomic_thread_fence(std::memory_order_seq_cst);
    return NQCRASH_ESUCCESS;
}

void nqcrash_log_writer_set_exception(nqcrash_log_writer_t* writer, const char* name, const char* reason,
                                      const uint64_t* frames, size_t frameCount)
{
    if (writer->uncaught_exception.has_exception)
        abort();
    writer->uncaught_exception.name = strdup(name ? name : "");
    writer->uncaught_exception.reason = strdup(reason ? reason : "");
    if (frameCount > NQCRASH_MAX_FRAMES)
        frameCount = NQCRASH_MAX_FRAMES;
    writer->uncaught_exception.callstack = static_cast<uint64_t*>(calloc(frameCount ? frameCount : 1, sizeof(uint64_t)));
    if (writer->uncaught_exception.callstack) {
        if (frameCount)
            std::memcpy(writer->uncaught_exception.callstack, frames, frameCount * sizeof(uint64_t));
        writer->uncaught_exception.callstack_count = frameCount;
    }
    writer->uncaught_exception.has_exception = true;
    std::atomic_thread_fence(std::memory_order_seq_cst);
}

int nqcrash_log_writer_write(nqcrash_log_writer_t* writer, nqcrash_async_file_t* file, const siginfo_t* siginfo,
                             const ucontext_t* uap)
{
    nqcrash_async_file_write(file, "nqcrash\x01", 8);
    time_t now = time(nullptr);
    if (now == time_t(-1))
        now = 0;
    const WriteContext context{writer, int64_t(now)};

    pid_t tids[kMaxThreads];
    const size_t threadCount = g_threadListSource(tids, kMaxThreads);
    const pid_t self = currentThreadId();
    // The crashed thread keeps its place in the list. When the list lacks
    // it (the folder could not be read, or the thread was not in it), it is
    // numbered after the listed threads and written after them: it is
    // written in every case, from the context in hand, since a reader
    // refuses a report without it.
    uint32_t crashedNumber = uint32_t(threadCount);
    for (size_t i = 0; i < threadCount; ++i) {
        if (tids[i] == self)
            crashedNumber = uint32_t(i);
    }

    // Room kept for what a reader needs, so that a report at the size limit
    // stays readable: the signal (written last), the crashed thread and the
    // first image (the program). Other threads and images that would eat
    // into it are left out whole.
    const ThreadContext crashed{crashedNumber, true, uap};
    const size_t signalSize = writeMessage(nullptr, 6, writeSignal, siginfo);
    size_t crashedSize = writeMessage(nullptr, 3, writeThread, &crashed);
    nqcrash_image_t image;
    nqcrash_image_cursor_t imageCursor;
    nqcrash_image_cursor_init(&imageCursor, nullptr);
    const bool haveImage = nqcrash_image_next(&imageCursor, &image);
    size_t firstImageSize = haveImage ? writeMessage(nullptr, 4, writeImage, &image) : 0;

    writeMessage(file, 1, writeSystemInfo, &context);
    writeMessage(file, 8, writeMachineInfo, &context);
    writeMessage(file, 2, writeApplicationInfo, &context);
    writeMessage(file, 7, writeProcessInfo, &context);

    const int pid = getpid();
    for (size_t i = 0; i < threadCount; ++i) {
        if (tids[i] == self) {
            writeMessage(file, 3, writeThread, &crashed);
            crashedSize = 0;
            continue;
        }
        // Park the thread; one that does not answer is left out.
        g_park.state.store(ParkAsked, std::memory_order_release);
        g_park.context.store(nullptr, std::memory_order_release);
        g_park.tid.store(tids[i], std::memory_order_release);
        if (syscall(SYS_tgkill, pid, tids[i], g_parkSignal) != 0 || !waitFor(&g_park.state, Parked, 1000)) {
            g_park.tid.store(0, std::memory_order_release);
            continue;
        }
        const ThreadContext other{uint32_t(i), false, g_park.context.load(std::memory_order_acquire)};
        const size_t size = writeMessage(nullptr, 3, writeThread, &other);
        if (fits(file, size, signalSize + crashedSize + firstImageSize))
            writeMessage(file, 3, writeThread, &other);
        g_park.tid.store(0, std::memory_order_release);
        g_park.state.store(Released, std::memory_order_release);
        futexWake(&g_park.state);
        waitFor(&g_park.state, Left, 100);
    }
    // Still reserved: the list did not hold the crashed thread.
    if (crashedSize != 0)
        writeMessage(file, 3, writeThread, &crashed);

    if (haveImage) {
        writeMessage(file, 4, writeImage, &image);
        firstImageSize = 0;
        while (nqcrash_image_next(&imageCursor, &image)) {
            if (fits(file, writeMessage(nullptr, 4, writeImage, &image), signalSize))
                writeMessage(file, 4, writeImage, &image);
        }
    }

    if (writer->uncaught_exception.has_exception) {
        if (fits(file, writeMessage(nullptr, 5, writeException, &context), signalSize))
            writeMessage(file, 5, writeException, &context);
    }
    writeMessage(file, 6, writeSignal, siginfo);
    return NQCRASH_ESUCCESS;
}

int nqcrash_log_writer_close(nqcrash_log_writer_t*)
{
    return NQCRASH_ESUCCESS;
}

void nqcrash_log_writer_free(nqcrash_log_writer_t* writer)
{
    free(writer->system_info.version);
    free(writer->system_info.build);
    free(writer->machine_info.model);
    free(writer->application_info.app_identifier);
    free(writer->application_info.app_version);
    free(writer->process_info.process_name);
    free(writer->process_info.process_path);
    free(writer->process_info.parent_process_name);
    free(writer->uncaught_exception.name);
    free(writer->uncaught_exception.reason);
    free(writer->uncaught_exception.callstack);
    std::memset(writer, 0, sizeof *writer);
}

const char* nqcrash_signal_name(int signo)
{
    // By name, with this system's numbers; names this system lacks are left out.
    static const struct { int number; const char* name; } names[] = {
        {SIGHUP, "SIGHUP"}, {SIGINT, "SIGINT"}, {SIGQUIT, "SIGQUIT"}, {SIGILL, "SIGILL"},
        {SIGTRAP, "SIGTRAP"}, {SIGABRT, "SIGABRT"}, {SIGIOT, "SIGIOT"}, {SIGFPE, "SIGFPE"},
        {SIGKILL, "SIGKILL"}, {SIGBUS, "SIGBUS"}, {SIGSEGV, "SIGSEGV"}, {SIGSYS, "SIGSYS"},
        {SIGPIPE, "SIGPIPE"}, {SIGALRM, "SIGALRM"}, {SIGTERM, "SIGTERM"}, {SIGURG, "SIGURG"},
        {SIGSTOP, "SIGSTOP"}, {SIGTSTP, "SIGTSTP"}, {SIGCONT, "SIGCONT"}, {SIGCHLD, "SIGCHLD"},
        {SIGTTIN, "SIGTTIN"}, {SIGTTOU, "SIGTTOU"}, {SIGIO, "SIGIO"}, {SIGXCPU, "SIGXCPU"},
        {SIGXFSZ, "SIGXFSZ"}, {SIGVTALRM, "SIGVTALRM"}, {SIGPROF, "SIGPROF"}, {SIGWINCH, "SIGWINCH"},
        {SIGUSR1, "SIGUSR1"}, {SIGUSR2, "SIGUSR2"},
    };
    for (const auto& entry : names) {
        if (entry.number == signo)
            return entry.name;
    }
    return nullptr;
}

const char* nqcrash_signal_code_name(int signo, int code)
{
    static const struct { int signo; int code; const char* name; } codes[] = {
        {SIGILL, ILL_ILLOPC, "ILL_ILLOPC"}, {SIGILL, ILL_ILLTRP, "ILL_ILLTRP"}, {SIGILL, ILL_PRVOPC, "ILL_PRVOPC"},
        {SIGILL, ILL_ILLOPN, "ILL_ILLOPN"}, {SIGILL, ILL_ILLADR, "ILL_ILLADR"}, {SIGILL, ILL_PRVREG, "ILL_PRVREG"},
        {SIGILL, ILL_COPROC, "ILL_COPROC"}, {SIGILL, ILL_BADSTK, "ILL_BADSTK"},
        {SIGFPE, FPE_FLTDIV, "FPE_FLTDIV"}, {SIGFPE, FPE_FLTOVF, "FPE_FLTOVF"}, {SIGFPE, FPE_FLTUND, "FPE_FLTUND"},
        {SIGFPE, FPE_FLTRES, "FPE_FLTRES"}, {SIGFPE, FPE_FLTINV, "FPE_FLTINV"}, {SIGFPE, FPE_FLTSUB, "FPE_FLTSUB"},
        {SIGFPE, FPE_INTDIV, "FPE_INTDIV"}, {SIGFPE, FPE_INTOVF, "FPE_INTOVF"},
        {SIGSEGV, SEGV_MAPERR, "SEGV_MAPERR"}, {SIGSEGV, SEGV_ACCERR, "SEGV_ACCERR"},
        {SIGBUS, BUS_ADRALN, "BUS_ADRALN"}, {SIGBUS, BUS_ADRERR, "BUS_ADRERR"}, {SIGBUS, BUS_OBJERR, "BUS_OBJERR"},
        {SIGTRAP, TRAP_BRKPT, "TRAP_BRKPT"}, {SIGTRAP, TRAP_TRACE, "TRAP_TRACE"},
    };
    for (const auto& entry : codes) {
        if (entry.signo == signo && entry.code == code)
            return entry.name;
    }
    return nullptr;
}

const char* nqcrash_async_strerror(int error)
{
    switch (error) {
    case NQCRASH_ESUCCESS: return "No error";
    case NQCRASH_EUNKNOWN: return "Unknown error";
    case NQCRASH_OUTPUT_ERR: return "Output file can not be opened (or written to)";
    case NQCRASH_ENOMEM: return "No memory available";
    case NQCRASH_ENOTSUP: return "Operation not supported";
    case NQCRASH_EINVAL: return "Invalid argument";
    case NQCRASH_EINTERNAL: return "Internal error";
    default: return "Unhandled error code";
    }
}
