#pragma once

// The stack frame walker and the image list that the crash log writer uses
// inside a signal handler. The walker steps along the saved frame pointers
// (rbp chains) of x86-64 code; every read of process memory goes through the
// kernel, so a bad pointer yields an error instead of a second fault. Code
// built without frame pointers (some system libraries) ends a walk early.

#include <cstddef>
#include <cstdint>
#include <ucontext.h>

enum nqcrash_frame_error_t {
    NQCRASH_FRAME_ESUCCESS = 0,
    NQCRASH_FRAME_EUNKNOWN = 1,
    NQCRASH_FRAME_ENOFRAME = 2,
    NQCRASH_FRAME_EBADFRAME = 3,
    NQCRASH_FRAME_ENOTSUP = 4,
    NQCRASH_FRAME_EINVAL = 5,
    NQCRASH_FRAME_EINTERNAL = 6,
    NQCRASH_FRAME_EBADREG = 7,
};

// Register numbers 0 to 18 (r8 and r9 are not among them).
enum nqcrash_register_t {
    NQCRASH_X86_64_RAX = 0, NQCRASH_X86_64_RBX, NQCRASH_X86_64_RCX, NQCRASH_X86_64_RDX,
    NQCRASH_X86_64_RDI, NQCRASH_X86_64_RSI, NQCRASH_X86_64_RBP, NQCRASH_X86_64_RSP,
    NQCRASH_X86_64_R10, NQCRASH_X86_64_R11, NQCRASH_X86_64_R12, NQCRASH_X86_64_R13,
    NQCRASH_X86_64_R14, NQCRASH_X86_64_R15, NQCRASH_X86_64_RIP, NQCRASH_X86_64_RFLAGS,
    NQCRASH_X86_64_CS, NQCRASH_X86_64_FS, NQCRASH_X86_64_GS,
    NQCRASH_X86_64_LAST_REG = NQCRASH_X86_64_GS,
};

struct nqcrash_frame_cursor_t
{
    bool init_frame;
    // The context whose machine state holds the registers of the first frame.
    const ucontext_t* uap;
    // The last frame read: saved frame pointer and return address.
    uint64_t fp[2];
};

// A cursor on the context a signal handler received (or on one captured
// from a parked thread).
int nqcrash_frame_cursor_init(nqcrash_frame_cursor_t* cursor, const ucontext_t* uap);
// 0 when a frame is current; 2 at the end of the chain, 3 on a corrupt one.
int nqcrash_frame_cursor_next(nqcrash_frame_cursor_t* cursor);
int nqcrash_frame_get_reg(const nqcrash_frame_cursor_t* cursor, int regnum, uint64_t* value);
const char* nqcrash_frame_get_regname(int regnum);
// Registers cannot be written: always 4.
int nqcrash_frame_set_reg(nqcrash_frame_cursor_t* cursor, int regnum, uint64_t value);
const char* nqcrash_frame_strerror(int error);

// Prepares the safe reads (call once, outside a signal handler).
void nqcrash_frame_read_init();
// Copies len bytes of this process's memory at source; 0 on success, an
// errno value when the memory cannot be read.
int nqcrash_frame_read_addr(const void* source, void* destination, size_t len);

// One loaded ELF image, as found by nqcrash_image_next.
struct nqcrash_image_t
{
    uint64_t header;      // address of the ELF header
    uint64_t size;        // from the header to the end of the last executable segment
    uint16_t machine;     // e_machine
    uint8_t build_id[32];
    size_t build_id_len;
    char name[1024];
};

// Most entries of a list of loaded objects that one walk visits.
inline constexpr size_t NQCRASH_MAX_IMAGES = 1024;

struct link_map;

// One walk over a list of loaded objects (the dynamic loader's, or one a
// test hands in). It remembers the entries it has visited: a list that heap
// corruption turned into a circle, or into an endless chain, ends the walk
// instead of keeping the dying process busy forever. About 8 KiB; lives on
// the stack of the walker.
struct nqcrash_image_cursor_t
{
    // The first entry; null for the loader's list, which is read at the first step.
    const struct link_map* head;
    // The entry to read next, once started; 0 when the walk has ended.
    uintptr_t next;
    bool started;
    size_t visited_count;
    uintptr_t visited[NQCRASH_MAX_IMAGES];
};

// Records what the image walk cannot find at crash time: the main program's
// header and path. Call once, outside a signal handler.
void nqcrash_image_list_init(const char* executablePath);
// Starts a walk over the list whose first entry is head, or, for null, over
// the dynamic loader's list, whose first entry (the main program) then takes
// the header and path recorded by nqcrash_image_list_init.
void nqcrash_image_cursor_init(nqcrash_image_cursor_t* cursor, const struct link_map* head);
// The next image of the walk, read with safe reads; false at the end of the
// list, at an unreadable entry, at an entry already visited, or after
// NQCRASH_MAX_IMAGES entries. Images whose header cannot be read are
// skipped. Async-signal-safe.
bool nqcrash_image_next(nqcrash_image_cursor_t* cursor, nqcrash_image_t* image);
