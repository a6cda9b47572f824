#include "shell/IProcessEngine.h"

#include "shell/PictureFileTypes.h"
#include "utils/Logger.h"

#include <Navik/Image.h>

#include <QFile>

bool IProcessEngine::isFileSupported(const QString& path)
{
    return isFileSupported(path, nullptr);
}

bool IProcessEngine::isFileSupported(const QString& path, FileFailure* failure, QString* reason)
{
    LOG_TRACE();
    if (reason)
        reason->clear();
    if (failure)
        *failure = FileFailure::None;
    if (!hasPictureFileSuffix(path)) {
        if (failure)
            *failure = FileFailure::UnknownFormat;
        return false;
    }
    // The header is enough to tell what the pixels are.
    Navik::ImageStatus status;
    const auto image = Navik::RefPtr<Navik::Image>::Adopt(
        Navik::LoadInfoImage(path.toUtf8().toStdString(), Navik::kFileFormatUnknown, Navik::Dictionary(), &status));
    if (!image) {
        if (reason)
            *reason = QString::fromUtf8(status.GetMessage());
        if (failure)
            *failure = fileFailureOf(status);
        return false;
    }
    // The framework recognises CMYK and Lab files but does not decode them.
    const int pixelType = image->GetPixelFormat().GetPixelType();
    if (pixelType != Navik::kPixelTypeCMYK && pixelType != Navik::kPixelTypeLab)
        return true;
    if (reason)
        *reason = QStringLiteral("CMYK and Lab pictures cannot be opened.");
    if (failure)
        *failure = FileFailure::ColourModel;
    return false;
}

bool IProcessEngine::canSaveTo(const QString& path, FileFailure* failure, QString* reason)
{
    Navik::ImageStatus status;
    const bool possible = Navik::CanSaveTo(QFile::encodeName(path).toStdString(), &status);
    if (failure)
        *failure = fileFailureOf(status);
    if (reason)
        *reason = QString::fromUtf8(status.GetMessage());
    return possible;
}
