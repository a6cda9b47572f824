#include "crash/NQCrashFrameWalker.h"

#include <cerrno>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// 0 until known; then whether process_vm_readv works here (seccomp may forbid it).
int g_vmReadWorks = 0;
// Fallback: a pipe that write(2) fills from the address in question; the
// kernel answers EFAULT for memory that is not readable.
int g_probePipe[2] = {-1, -1};

int pipeRead(const void* source, void* destination, size_t len)
{
    if (g_probePipe[0] < 0)
        return ENOSYS;
    const char* from = static_cast<const char*>(source);
    char* to = static_cast<char*>(destination);
    while (len > 0) {
        const size_t chunk = len < 4096 ? len : 4096;
        const ssize_t written = ::write(g_probePipe[1], from, chunk);
        if (written <= 0)
            return written < 0 ? errno : EIO;
        ssize_t got = 0;
        while (got < written) {
            const ssize_t n = ::read(g_probePipe[0], to + got, size_t(written - got));
            if (n <= 0)
                return n < 0 ? errno : EIO;
            got += n;
        }
        from += written;
        to += written;
        len -= size_t(written);
    }
    return 0;
}

const uint64_t kMainProgramUnset = 0;
uint64_t g_mainHeader = kMainProgramUnset;
char g_mainPath[1024];

int headerOf(struct dl_phdr_info* info, size_t, void* data)
{
    // The first object is the main program.
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        if (info->dlpi_phdr[i].p_type == PT_LOAD && info->dlpi_phdr[i].p_offset == 0) {
            *static_cast<uint64_t*>(data) = info->dlpi_addr + info->dlpi_phdr[i].p_vaddr;
            break;
        }
    }
    return 1;
}

// Copies a C string from process memory; false when unreadable.
bool readString(const char* source, char* destination, size_t capacity)
{
    if (!source)
        return false;
    size_t n = 0;
    while (n + 1 < capacity) {
        char c;
        if (nqcrash_frame_read_addr(source + n, &c, 1) != 0)
            return false;
        destination[n++] = c;
        if (c == '\0')
            return true;
    }
    destination[n] = '\0';
    return true;
}

bool readElfImage(uint64_t header, nqcrash_image_t* image)
{
    Elf64_Ehdr ehdr;
    if (nqcrash_frame_read_addr(reinterpret_cast<const void*>(header), &ehdr, sizeof ehdr) != 0)
        return false;
    if (std::memcmp(ehdr.e_ident, ELFMAG, SELFMAG) != 0 || ehdr.e_ident[EI_CLASS] != ELFCLASS64)
        return false;
    image->header = header;
    image->machine = ehdr.e_machine;
    image->size = 0;
    image->build_id_len = 0;

    // The load bias: the header lies at the segment that maps file offset 0.
    uint64_t bias = header;
    uint64_t lowest = ~uint64_t(0);
    uint64_t textEnd = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (unsigned i = 0; i < ehdr.e_phnum && i < 256; ++i) {
            Elf64_Phdr phdr;
            const uint64_t at = header + ehdr.e_phoff + uint64_t(i) * sizeof(Elf64_Phdr);
            if (nqcrash_frame_read_addr(reinterpret_cast<const void*>(at), &phdr, sizeof phdr) != 0)
                return false;
            if (pass == 0) {
                if (phdr.p_type == PT_LOAD) {
                    if (phdr.p_offset == 0)
                        bias = header - phdr.p_vaddr;
                    if (phdr.p_vaddr < lowest)
                        lowest = phdr.p_vaddr;
                    if ((phdr.p_flags & PF_X) && phdr.p_vaddr + phdr.p_memsz > textEnd)
                        textEnd = phdr.p_vaddr + phdr.p_memsz;
                }
                continue;
            }
            if (phdr.p_type != PT_NOTE || image->build_id_len != 0)
                continue;
            // Notes: name size, descriptor size, type, then name and
            // descriptor, each padded to four bytes.
            uint64_t note = bias + phdr.p_vaddr;
            const uint64_t end = note + phdr.p_memsz;
            while (note + sizeof(Elf64_Nhdr) <= end) {
                Elf64_Nhdr nhdr;
                if (nqcrash_frame_read_addr(reinterpret_cast<const void*>(note), &nhdr, sizeof nhdr) != 0)
                    break;
                const uint64_t nameAt = note + sizeof nhdr;
                const uint64_t descAt = nameAt + ((nhdr.n_namesz + 3) & ~3u);
                char name[4];
                if (nhdr.n_type == NT_GNU_BUILD_ID && nhdr.n_namesz == 4 && nhdr.n_descsz > 0
                    && nhdr.n_descsz <= sizeof image->build_id
                    && nqcrash_frame_read_addr(reinterpret_cast<const void*>(nameAt), name, 4) == 0
                    && std::memcmp(name, "GNU", 4) == 0
                    && nqcrash_frame_read_addr(reinterpret_cast<const void*>(descAt), image->build_id,
                                               nhdr.n_descsz) == 0) {
                    image->build_id_len = nhdr.n_descsz;
                    break;
                }
                note = descAt + ((nhdr.n_descsz + 3) & ~3u);
            }
        }
    }
    if (textEnd > lowest)
        image->size = (bias + textEnd) - header;
    return true;
}

} // namespace

void nqcrash_frame_read_init()
{
    if (g_probePipe[0] < 0)
        (void)::pipe2(g_probePipe, O_CLOEXEC);
}

int nqcrash_frame_read_addr(const void* source, void* destination, size_t len)
{
    if (g_vmReadWorks >= 0) {
        struct iovec local{destination, len};
        struct iovec remote{const_cast<void*>(source), len};
        const ssize_t n = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
        if (n == ssize_t(len)) {
            g_vmReadWorks = 1;
            return 0;
        }
        if (n < 0 && (errno == ENOSYS || errno == EPERM) && g_vmReadWorks == 0)
            g_vmReadWorks = -1;
        else
            return n < 0 ? errno : EFAULT;
    }
    return pipeRead(source, destination, len);
}

int nqcrash_frame_cursor_init(nqcrash_frame_cursor_t* cursor, const ucontext_t* uap)
{
    cursor->init_frame = true;
    cursor->uap = uap;
    cursor->fp[0] = 0;
    cursor->fp[1] = 0;
    return NQCRASH_FRAME_ESUCCESS;
}

int nqcrash_frame_cursor_next(nqcrash_frame_cursor_t* cursor)
{
    if (cursor->init_frame) {
        cursor->init_frame = false;
        return NQCRASH_FRAME_ESUCCESS;
    }
    uint64_t from;
    if (cursor->fp[0] == 0 && cursor->fp[1] == 0 && cursor->uap)
        from = uint64_t(cursor->uap->uc_mcontext.gregs[REG_RBP]);
    else
        from = cursor->fp[0];

    uint64_t next[2];
    if (nqcrash_frame_read_addr(reinterpret_cast<const void*>(from), next, sizeof next) != 0)
        return NQCRASH_FRAME_EBADFRAME;
    const uint64_t previous = cursor->fp[0];
    cursor->fp[0] = next[0];
    cursor->fp[1] = next[1];
    if (next[0] == 0)
        return NQCRASH_FRAME_ENOFRAME;
    // The chain must run towards higher addresses; a frame pointing at
    // itself would repeat forever.
    if (previous >= next[0])
        return NQCRASH_FRAME_EBADFRAME;
    return NQCRASH_FRAME_ESUCCESS;
}

int nqcrash_frame_get_reg(const nqcrash_frame_cursor_t* cursor, int regnum, uint64_t* value)
{
    if (cursor->fp[0] != 0 || cursor->fp[1] != 0 || !cursor->uap) {
        // A frame read through a saved frame pointer knows only its return address.
        if (regnum != NQCRASH_X86_64_RIP)
            return NQCRASH_FRAME_ENOTSUP;
        *value = cursor->fp[1];
        return NQCRASH_FRAME_ESUCCESS;
    }
    const greg_t* gregs = cursor->uap->uc_mcontext.gregs;
    const uint64_t csgsfs = uint64_t(gregs[REG_CSGSFS]);
    switch (regnum) {
    case NQCRASH_X86_64_RAX: *value = uint64_t(gregs[REG_RAX]); break;
    case NQCRASH_X86_64_RBX: *value = uint64_t(gregs[REG_RBX]); break;
    case NQCRASH_X86_64_RCX: *value = uint64_t(gregs[REG_RCX]); break;
    case NQCRASH_X86_64_RDX: *value = uint64_t(gregs[REG_RDX]); break;
    case NQCRASH_X86_64_RDI: *value = uint64_t(gregs[REG_RDI]); break;
    case NQCRASH_X86_64_RSI: *value = uint64_t(gregs[REG_RSI]); break;
    case NQCRASH_X86_64_RBP: *value = uint64_t(gregs[REG_RBP]); break;
    case NQCRASH_X86_64_RSP: *value = uint64_t(gregs[REG_RSP]); break;
    case NQCRASH_X86_64_R10: *value = uint64_t(gregs[REG_R10]); break;
    case NQCRASH_X86_64_R11: *value = uint64_t(gregs[REG_R11]); break;
    case NQCRASH_X86_64_R12: *value = uint64_t(gregs[REG_R12]); break;
    case NQCRASH_X86_64_R13: *value = uint64_t(gregs[REG_R13]); break;
    case NQCRASH_X86_64_R14: *value = uint64_t(gregs[REG_R14]); break;
    case NQCRASH_X86_64_R15: *value = uint64_t(gregs[REG_R15]); break;
    case NQCRASH_X86_64_RIP: *value = uint64_t(gregs[REG_RIP]); break;
    case NQCRASH_X86_64_RFLAGS: *value = uint64_t(gregs[REG_EFL]); break;
    // Linux packs cs, gs and fs into one word, 16 bits each.
    case NQCRASH_X86_64_CS: *value = csgsfs & 0xffff; break;
    case NQCRASH_X86_64_GS: *value = (csgsfs >> 16) & 0xffff; break;
    case NQCRASH_X86_64_FS: *value = (csgsfs >> 32) & 0xffff; break;
    default: return NQCRASH_FRAME_ENOTSUP;
    }
    return NQCRASH_FRAME_ESUCCESS;
}

const char* nqcrash_frame_get_regname(int regnum)
{
    static const char* const names[] = {"rax", "rbx", "rcx", "rdx", "rdi", "rsi", "rbp", "rsp", "r10", "r11",
                                        "r12", "r13", "r14", "r15", "rip", "rflags", "cs", "fs", "gs"};
    if (regnum < 0 || regnum > NQCRASH_X86_64_LAST_REG)
        return nullptr;
    return names[regnum];
}

int nqcrash_frame_set_reg(nqcrash_frame_cursor_t*, int, uint64_t)
{
    return NQCRASH_FRAME_ENOTSUP;
}

const char* nqcrash_frame_strerror(int error)
{
    switch (error) {
    case NQCRASH_FRAME_ESUCCESS: return "No error";
    case NQCRASH_FRAME_EUNKNOWN: return "Unknown error";
    case NQCRASH_FRAME_ENOFRAME: return "No frames are available";
    case NQCRASH_FRAME_EBADFRAME: return "Corrupted frame";
    case NQCRASH_FRAME_ENOTSUP: return "Operation not supported";
    case NQCRASH_FRAME_EINVAL: return "Invalid argument";
    case NQCRASH_FRAME_EINTERNAL: return "Internal error";
    case NQCRASH_FRAME_EBADREG: return "Invalid register";
    default: return "Unhandled error code";
    }
}

void nqcrash_image_list_init(const char* executablePath)
{
    nqcrash_frame_read_init();
    dl_iterate_phdr(headerOf, &g_mainHeader);
    std::strncpy(g_mainPath, executablePath ? executablePath : "", sizeof g_mainPath - 1);
}

void nqcrash_image_cursor_init(nqcrash_image_cursor_t* cursor, const struct link_map* head)
{
    cursor->head = head;
    cursor->next = 0;
    cursor->started = false;
    cursor->visited_count = 0;
}

bool nqcrash_image_next(nqcrash_image_cursor_t* cursor, nqcrash_image_t* image)
{
    for (;;) {
        const bool first = !cursor->started;
        if (first) {
            cursor->started = true;
            const struct link_map* head = cursor->head;
            // The loader's list of objects, in load order; its first entry
            // is the main program.
            if (!head && nqcrash_frame_read_addr(&_r_debug.r_map, &head, sizeof head) != 0)
                return false;
            cursor->next = reinterpret_cast<uintptr_t>(head);
        }
        const uintptr_t at = cursor->next;
        if (at == 0)
            return false;
        // A corrupt list may lead back to an entry already visited, or on
        // and on: either ends the walk. At most NQCRASH_MAX_IMAGES entries,
        // so the search below stays small.
        bool visited = cursor->visited_count >= NQCRASH_MAX_IMAGES;
        for (size_t i = 0; !visited && i < cursor->visited_count; ++i)
            visited = cursor->visited[i] == at;
        if (visited) {
            cursor->next = 0;
            return false;
        }
        cursor->visited[cursor->visited_count++] = at;
        struct link_map entry;
        if (nqcrash_frame_read_addr(reinterpret_cast<const void*>(at), &entry, sizeof entry) != 0) {
            cursor->next = 0;
            return false;
        }
        cursor->next = reinterpret_cast<uintptr_t>(entry.l_next);

        char name[sizeof image->name];
        if (!readString(entry.l_name, name, sizeof name))
            name[0] = '\0';
        uint64_t header = entry.l_addr;
        if (first && !cursor->head && g_mainHeader != kMainProgramUnset) {
            header = g_mainHeader;
            std::memcpy(name, g_mainPath, sizeof name);
        }
        if (name[0] == '\0' || !readElfImage(header, image))
            continue;
        std::memcpy(image->name, name, sizeof name);
        return true;
    }
}
