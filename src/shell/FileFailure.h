#pragma once

// Why a picture file could not be opened or saved, and the sentence that
// says so to the user in the interface language.

#include <Navik/Status.h>

#include <QCoreApplication>
#include <QString>

enum class FileFailure
{
    None,     // nothing failed
    Unknown,  // failed for a reason that is not known
    NotFound, // opening: the file is not there; saving: its folder is not
    NotAFile, // a folder or a device where a file was expected
    EmptyFile,
    Damaged,       // not a valid picture of its format, or cut short
    UnknownFormat, // neither a JPEG nor a TIFF picture
    CameraRaw,     // a camera raw file
    ColourModel,   // CMYK, Lab or another colour model that is not decoded
    TooManyPixels, // more pixels than a picture may have
    TooFewPixels,  // a side shorter than a picture must have
    OutOfMemory,
    NoPermission,   // the system refused the access to the file or its folder
    ReadOnlyDisk,   // the file system is mounted read-only
    WriteProtected, // the file to replace is write-protected
    DiskFull,
    FileTooLarge, // larger than the disk or the file format holds
    NameTooLong,
    Cancelled,
    NotARegularFile, // a pipe, a socket or a device where a file is to be written
    LinkLoop,        // symbolic links that lead round in a circle
};

// The failure that a failed image framework operation reports.
FileFailure fileFailureOf(const Navik::ImageStatus& status);

// Whether the user's permissions (of the file, its folder or its disk) stand
// in the way.
bool isPermissionFailure(FileFailure failure);

// Whether the file is not a picture of a type that is opened, as opposed to
// one that could not be read.
bool isUnsupportedTypeFailure(FileFailure failure);

class CFileFailureTexts
{
    Q_DECLARE_TR_FUNCTIONS(CFileFailureTexts)

public:
    // One sentence naming the cause, translated; empty for None and Unknown.
    static QString whyNotOpened(FileFailure failure);
    static QString whyNotSaved(FileFailure failure);
};
