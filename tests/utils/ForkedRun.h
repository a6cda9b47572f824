#pragma once

// Runs code that ends its own process (a failing test script kills itself
// with SIGKILL) in a child, so the test can look at how it ended.

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// The signal that ended the child, or 0 when it exited normally.
inline int signalEndingChildRunning(const std::function<void()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}
