#pragma once

// The crash log writer: writes the crash report file from inside the signal
// handler. Everything that needs allocation or slow queries (system version,
// machine, process names and paths) is gathered once, when the reporter is
// enabled, into the writer record; at crash time the writer only captures the
// threads, walks the stacks and the loaded images and streams protobuf
// fields (NQCrashAsyncFile.h) with async-signal-safe calls.

#include "crash/NQCrashAsyncFile.h"

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <sys/types.h>
#include <ucontext.h>

enum nqcrash_error_t {
    NQCRASH_ESUCCESS = 0,
    NQCRASH_EUNKNOWN = 1,
    NQCRASH_OUTPUT_ERR = 2,
    NQCRASH_ENOMEM = 3,
    NQCRASH_ENOTSUP = 4,
    NQCRASH_EINVAL = 5,
    NQCRASH_EINTERNAL = 6,
};

// Most return addresses kept of an uncaught exception, and most frames
// written of a thread.
inline constexpr size_t NQCRASH_MAX_FRAMES = 512;

struct nqcrash_log_writer_t
{
    struct {
        char* version;  // kernel release
        char* build;    // kernel version string
    } system_info;
    struct {
        char* model;
        uint64_t cpu_type;
        uint64_t cpu_subtype;
        uint32_t processor_count;
        uint32_t logical_processor_count;
    } machine_info;
    struct {
        char* app_identifier;
        char* app_version;
    } application_info;
    struct {
        char* process_name;
        uint32_t process_id;
        char* process_path;
        char* parent_process_name;
        uint32_t parent_process_id;
        bool native;
    } process_info;
    struct {
        bool has_exception;
        char* name;
        char* reason;
        uint64_t* callstack;
        size_t callstack_count;
    } uncaught_exception;
};

// Fills the record (zeroed first); returns 0, or 6 when the system version
// cannot be read. Also prepares the image walk and the capture of the other
// threads. Call once, outside a signal handler.
int nqcrash_log_writer_init(nqcrash_log_writer_t* writer, const char* app_identifier, const char* app_version);
// Records an uncaught exception; a second call is a programming error that
// stops the program. The frames are return addresses, innermost first.
void nqcrash_log_writer_set_exception(nqcrash_log_writer_t* writer, const char* name, const char* reason,
                                      const uint64_t* frames, size_t frameCount);
// Writes the whole report; always 0. Async-signal-safe.
int nqcrash_log_writer_write(nqcrash_log_writer_t* writer, nqcrash_async_file_t* file, const siginfo_t* siginfo,
                             const ucontext_t* uap);
int nqcrash_log_writer_close(nqcrash_log_writer_t* writer);
void nqcrash_log_writer_free(nqcrash_log_writer_t* writer);

// Table texts, or null.
const char* nqcrash_signal_name(int signo);
const char* nqcrash_signal_code_name(int signo, int code);
const char* nqcrash_async_strerror(int error);

// The signal that parks the other threads while the report is written.
int nqcrash_park_signal();

// For a thread that takes a fatal signal while another thread writes the
// report: keeps the context of its fault, so that the report shows the
// thread where it faulted rather than where it waits, and waits until the
// writing thread ends the process. Async-signal-safe.
[[noreturn]] void nqcrash_log_writer_wait_for_end(const ucontext_t* uap);

// Where the writer finds the threads of the process: fills tids with at
// most capacity thread ids and returns how many (0 when it cannot tell).
// The writer reads /proc/self/task; a test hands in a source of its own
// (null restores the folder). Called at crash time: async-signal-safe.
using nqcrash_thread_list_source_t = size_t (*)(pid_t* tids, size_t capacity);
void nqcrash_log_writer_set_thread_list_source(nqcrash_thread_list_source_t source);
