#pragma once

// Hands a crash over to the crash-report sender FaultCourier, a program that
// lies beside the application's executable.
//
// The hand-over runs in a crashed process, on the faulting thread, while other
// threads may hold the allocator's or the logger's locks. So everything it
// needs (the sender's path, its argument vector and the line announcing it) is
// prepared ahead, and at crash time the process only writes that line, forks,
// and kills itself; the child only execs.

#include "utils/UtilsGlobal.h"

#include <QString>

namespace NAVIK_tarl1 {

// Prepares the start of "<folder of executablePath>/FaultCourier"; an
// executable path without any '/' is taken as the folder itself. The library
// prepares itself when it is loaded, from the running executable, so callers
// need this only to point the hand-over elsewhere. Returns false, leaving
// nothing prepared, when the path is too long to start.
NAVIK_UTILS_EXPORT bool prepareFaultCourierStart(const QString& executablePath);

// The sender's path as last prepared; empty when nothing is prepared.
NAVIK_UTILS_EXPORT QString faultCourierPath();

// Writes "FaultCourierPath <path>" to standard error, starts the sender in a
// child process and kills the calling process with signal 9. When nothing is
// prepared or no child can be made, the process only kills itself.
// Async-signal-safe; does not return.
NAVIK_UTILS_EXPORT void startFaultCourierAndTerminate();

} // namespace NAVIK_tarl1
