#include "shell/FileFailure.h"

FileFailure fileFailureOf(const Navik::ImageStatus& status)
{
    if (status.IsOK())
        return FileFailure::None;
    switch (status.GetCause()) {
    case Navik::kImageCauseUnknown:
        return FileFailure::Unknown;
    case Navik::kImageCauseNotFound:
        return FileFailure::NotFound;
    case Navik::kImageCauseNotAFile:
        return FileFailure::NotAFile;
    case Navik::kImageCauseEmptyFile:
        return FileFailure::EmptyFile;
    case Navik::kImageCauseDamaged:
        return FileFailure::Damaged;
    case Navik::kImageCauseUnknownFormat:
        return FileFailure::UnknownFormat;
    case Navik::kImageCauseCameraRaw:
        return FileFailure::CameraRaw;
    case Navik::kImageCauseColourModel:
        return FileFailure::ColourModel;
    case Navik::kImageCauseTooManyPixels:
        return FileFailure::TooManyPixels;
    case Navik::kImageCauseOutOfMemory:
        return FileFailure::OutOfMemory;
    case Navik::kImageCauseNoPermission:
        return FileFailure::NoPermission;
    case Navik::kImageCauseReadOnlyDisk:
        return FileFailure::ReadOnlyDisk;
    case Navik::kImageCauseWriteProtected:
        return FileFailure::WriteProtected;
    case Navik::kImageCauseDiskFull:
        return FileFailure::DiskFull;
    case Navik::kImageCauseFileTooLarge:
        return FileFailure::FileTooLarge;
    case Navik::kImageCauseNameTooLong:
        return FileFailure::NameTooLong;
    case Navik::kImageCauseCancelled:
        return FileFailure::Cancelled;
    case Navik::kImageCauseNotARegularFile:
        return FileFailure::NotARegularFile;
    case Navik::kImageCauseLinkLoop:
        return FileFailure::LinkLoop;
    }
    return FileFailure::Unknown;
}

bool isPermissionFailure(FileFailure failure)
{
    return failure == FileFailure::NoPermission || failure == FileFailure::ReadOnlyDisk
        || failure == FileFailure::WriteProtected;
}

bool isUnsupportedTypeFailure(FileFailure failure)
{
    return failure == FileFailure::UnknownFormat || failure == FileFailure::CameraRaw
        || failure == FileFailure::ColourModel;
}

QString CFileFailureTexts::whyNotOpened(FileFailure failure)
{
    switch (failure) {
    case FileFailure::None:
    case FileFailure::Unknown:
        return {};
    case FileFailure::NotFound:
        return tr("The file does not exist.");
    case FileFailure::NotAFile:
    case FileFailure::NotARegularFile:
        return tr("This is a folder, a pipe or a device, not a picture file.");
    case FileFailure::EmptyFile:
        return tr("The file is empty.");
    case FileFailure::Damaged:
        return tr("The picture in the file is damaged or incomplete.");
    case FileFailure::UnknownFormat:
        return tr("The file is neither a JPEG nor a TIFF picture.");
    case FileFailure::CameraRaw:
        return tr("Camera raw files cannot be opened; please convert the file to TIFF or JPEG first.");
    case FileFailure::ColourModel:
        return tr("Only grey and RGB pictures can be opened, not CMYK or Lab ones.");
    case FileFailure::TooManyPixels:
        return tr("The picture is too large: at most 250 million pixels can be opened.");
    case FileFailure::TooFewPixels:
        return tr("The picture is smaller than 32 pixels on a side.");
    case FileFailure::OutOfMemory:
        return tr("There is not enough memory to open the picture.");
    case FileFailure::NoPermission:
    case FileFailure::WriteProtected:
    case FileFailure::ReadOnlyDisk:
        return tr("You have no permission to read this file.");
    case FileFailure::DiskFull:
    case FileFailure::FileTooLarge:
        return tr("The file is too large to be read.");
    case FileFailure::NameTooLong:
        return tr("The file name is too long.");
    case FileFailure::Cancelled:
        return tr("Opening was cancelled.");
    case FileFailure::LinkLoop:
        return tr("The path leads round a loop of symbolic links.");
    }
    return {};
}

QString CFileFailureTexts::whyNotSaved(FileFailure failure)
{
    switch (failure) {
    case FileFailure::None:
    case FileFailure::Unknown:
        return {};
    case FileFailure::NotFound:
        return tr("The folder does not exist.");
    case FileFailure::NotAFile:
        return tr("A folder of this name already exists.");
    case FileFailure::EmptyFile:
    case FileFailure::Damaged:
        return {};
    case FileFailure::UnknownFormat:
    case FileFailure::CameraRaw:
        return tr("Pictures can be saved only as JPEG or TIFF files.");
    case FileFailure::ColourModel:
        return {};
    case FileFailure::TooManyPixels:
    case FileFailure::FileTooLarge:
        return tr("The file would be larger than the disk or the file format allows.");
    case FileFailure::TooFewPixels:
        return {};
    case FileFailure::OutOfMemory:
        return tr("There is not enough memory to save the picture.");
    case FileFailure::NoPermission:
        return tr("You have no permission to write in this folder.");
    case FileFailure::ReadOnlyDisk:
        return tr("The disk is read-only.");
    case FileFailure::WriteProtected:
        return tr("The file is write-protected.");
    case FileFailure::DiskFull:
        return tr("The disk is full.");
    case FileFailure::NameTooLong:
        return tr("The file name is too long.");
    case FileFailure::Cancelled:
        return tr("The save was cancelled.");
    case FileFailure::NotARegularFile:
        return tr("This is a folder, a pipe or a device, not a picture file.");
    case FileFailure::LinkLoop:
        return tr("The path leads round a loop of symbolic links.");
    }
    return {};
}
