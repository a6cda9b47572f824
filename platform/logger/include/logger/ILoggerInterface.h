#pragma once

// The contract between the product and its logging library. The library is
// loaded at run time; the product only ever calls the three operations below,
// in this vtable order after the destructor, so the order must not change.

#include <memory>
#include <string>

namespace NAVIK_tarl1 {

// Handle kept for the length of a traced scope. The product never looks inside;
// letting the last copy go releases the library's trace object.
using LogTraceHandle = std::shared_ptr<void>;

class ILoggerInterface
{
public:
    virtual ~ILoggerInterface() = default;

    // Opens the log in `folder` under `name`; lines below `minimumLevel`
    // ('D' < 'I' < 'W' < 'E' < 'F') are dropped. Called once before anything else.
    virtual bool init(const std::string& folder, const std::string& name, char minimumLevel) = 0;

    // Writes one line. Safe to call from any thread at any time.
    virtual void log(char level, const char* text) = 0;

    // Marks entry into a scope; the returned handle marks its exit when released.
    virtual LogTraceHandle trace(const char* function, const char* file, int line) = 0;
};

} // namespace NAVIK_tarl1

// The factory the product resolves in the loaded library.
extern "C" {
typedef NAVIK_tarl1::ILoggerInterface* (*LoggerInstanceFunction)();
}
