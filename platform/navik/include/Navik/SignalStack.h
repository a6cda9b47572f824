#pragma once

// Gives the calling thread an alternate signal stack of its own, so that a
// fatal signal caused by running out of stack can still be handled (the crash
// report is written on it). Call it at the start of every thread, or of
// every task of a pool: after the first call on a thread it only checks a
// thread-local flag. The stack is released when the thread ends, and the
// alternate stack the thread had before (a sanitizer's) is put back.

#include <csignal>
#include <cstddef>
#include <sys/mman.h>

namespace Navik {

inline constexpr std::size_t SignalStackSize = 256 * 1024;

namespace Detail {

struct ThreadSignalStack
{
    ThreadSignalStack()
    {
        void* memory = mmap(nullptr, SignalStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            return;
        stack_t ours{};
        ours.ss_sp = memory;
        ours.ss_size = SignalStackSize;
        if (sigaltstack(&ours, &previous) != 0) {
            munmap(memory, SignalStackSize);
            return;
        }
        base = memory;
    }
    ~ThreadSignalStack()
    {
        if (!base)
            return;
        stack_t current{};
        sigaltstack(nullptr, &current);
        // Only when ours is still the thread's stack and not in use.
        if (current.ss_sp != base || (current.ss_flags & SS_ONSTACK))
            return;
        if (previous.ss_flags & SS_DISABLE) {
            stack_t off{};
            off.ss_flags = SS_DISABLE;
            sigaltstack(&off, nullptr);
        } else {
            sigaltstack(&previous, nullptr);
        }
        munmap(base, SignalStackSize);
    }
    ThreadSignalStack(const ThreadSignalStack&) = delete;
    ThreadSignalStack& operator=(const ThreadSignalStack&) = delete;

    void* base = nullptr;
    stack_t previous{};
};

} // namespace Detail

inline void EnsureSignalStack()
{
    thread_local Detail::ThreadSignalStack stack;
    (void)stack;
}

} // namespace Navik
