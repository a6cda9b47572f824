#pragma once

// The outcome of a framework operation: a code (0 when nothing went wrong)
// and a message for the user or the log.

#include <string>

namespace Navik {

enum ImageStatusCode
{
    kImageStatusNoError = 0,
    kImageStatusFileNotFound = 1,
    kImageStatusReadError = 2,
    kImageStatusWriteError = 3,
    kImageStatusUnsupportedFormat = 4,
    kImageStatusCorruptData = 5,
    kImageStatusImageTooLarge = 6,
    kImageStatusOutOfMemory = 7,
    kImageStatusCancelled = 8,
    kImageStatusInvalidArgument = 9,
};

template <typename Code>
class StatusTemplate
{
public:
    explicit StatusTemplate(const char* message = "", Code code = Code(0))
        : m_message(message ? message : ""), m_code(code)
    {
    }

    const char* GetMessage() const { return m_message.c_str(); }
    Code GetCode() const { return m_code; }
    bool IsOK() const { return m_code == Code(0); }

    void Set(Code code, std::string message)
    {
        m_code = code;
        m_message = std::move(message);
    }

private:
    std::string m_message;
    Code m_code;
};

using ImageStatus = StatusTemplate<ImageStatusCode>;

} // namespace Navik
