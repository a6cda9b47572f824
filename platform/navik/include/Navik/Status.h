#pragma once

// The outcome of a framework operation: a code (0 when nothing went wrong),
// a message for the log, and where it is known the cause of a failure, which
// callers word for the user in the user's language.

#include <cerrno>
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

// Why a file could not be read or written, as far as the framework can tell.
enum ImageStatusCause
{
    kImageCauseUnknown = 0,
    kImageCauseNotFound = 1, // reading: the file is not there; writing: its folder is not
    kImageCauseNotAFile = 2, // a folder or a device where a file was expected
    kImageCauseEmptyFile = 3,
    kImageCauseDamaged = 4,       // not a valid picture of its format
    kImageCauseUnknownFormat = 5, // neither a JPEG nor a TIFF picture
    kImageCauseCameraRaw = 6,     // a camera raw file, recognised and not decoded
    kImageCauseColourModel = 7,   // CMYK, Lab or another colour model that is not decoded
    kImageCauseTooManyPixels = 8,
    kImageCauseOutOfMemory = 9,
    kImageCauseNoPermission = 10,   // the system refused the access to the file or its folder
    kImageCauseReadOnlyDisk = 11,   // the file system is mounted read-only
    kImageCauseWriteProtected = 12, // the file to replace is write-protected
    kImageCauseDiskFull = 13,       // no space left, or the disk quota is used up
    kImageCauseFileTooLarge = 14,   // larger than the file system or the format holds
    kImageCauseNameTooLong = 15,
    kImageCauseCancelled = 16,
    kImageCauseNotARegularFile = 17, // a pipe, a socket or a device where a file is to be written
    kImageCauseLinkLoop = 18,        // symbolic links that lead round in a circle
};

// The cause that a failed system call's errno names; kImageCauseUnknown for
// the others.
inline ImageStatusCause CauseOfSystemError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kImageCauseNotFound;
    case EISDIR:
        return kImageCauseNotAFile;
    case EACCES:
    case EPERM:
        return kImageCauseNoPermission;
    case EROFS:
        return kImageCauseReadOnlyDisk;
    case ENOSPC:
    case EDQUOT:
        return kImageCauseDiskFull;
    case EFBIG:
        return kImageCauseFileTooLarge;
    case ENAMETOOLONG:
        return kImageCauseNameTooLong;
    case ENOMEM:
        return kImageCauseOutOfMemory;
    case ELOOP:
        return kImageCauseLinkLoop;
    default:
        return kImageCauseUnknown;
    }
}

// The cause a failure of this code has when none more precise was given.
inline ImageStatusCause DefaultCause(int code)
{
    switch (code) {
    case kImageStatusFileNotFound:
        return kImageCauseNotFound;
    case kImageStatusCorruptData:
        return kImageCauseDamaged;
    case kImageStatusUnsupportedFormat:
        return kImageCauseUnknownFormat;
    case kImageStatusImageTooLarge:
        return kImageCauseTooManyPixels;
    case kImageStatusOutOfMemory:
        return kImageCauseOutOfMemory;
    case kImageStatusCancelled:
        return kImageCauseCancelled;
    default:
        return kImageCauseUnknown;
    }
}

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
    // The cause given with the failure, else the one its code implies
    // (kImageCauseUnknown for a read or write error of no known cause).
    ImageStatusCause GetCause() const
    {
        return m_cause != kImageCauseUnknown ? m_cause : DefaultCause(static_cast<int>(m_code));
    }

    void Set(Code code, std::string message, ImageStatusCause cause = kImageCauseUnknown)
    {
        m_code = code;
        m_message = std::move(message);
        m_cause = cause;
    }

private:
    std::string m_message;
    Code m_code;
    ImageStatusCause m_cause = kImageCauseUnknown;
};

using ImageStatus = StatusTemplate<ImageStatusCode>;

} // namespace Navik
