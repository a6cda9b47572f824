#pragma once

// The framework's threads are started here, so that a test can make the
// system refuse one.

#include <functional>
#include <thread>

namespace Navik::Internal {

using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

// A thread running `body`. Throws what std::thread's constructor throws when
// the system refuses a thread (std::system_error: the process limit reached,
// no memory left for its stack).
std::thread StartThread(std::function<void()> body);

// For tests: every later StartThread goes through `starter`; null restores
// the system's threads. Set it while no thread is being started.
void SetThreadStarter(ThreadStarter starter);

} // namespace Navik::Internal
