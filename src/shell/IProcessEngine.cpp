#include "shell/IProcessEngine.h"

#include "shell/PictureFileTypes.h"
#include "utils/Logger.h"

#include <Navik/Image.h>

bool IProcessEngine::isFileSupported(const QString& path)
{
    LOG_TRACE();
    if (!hasPictureFileSuffix(path))
        return false;
    // The header is enough to tell what the pixels are.
    Navik::ImageStatus status;
    const auto image = Navik::RefPtr<Navik::Image>::Adopt(
        Navik::LoadInfoImage(path.toUtf8().toStdString(), Navik::kFileFormatUnknown, Navik::Dictionary(), &status));
    if (!image)
        return false;
    // The framework recognises CMYK and Lab files but does not decode them.
    const int pixelType = image->GetPixelFormat().GetPixelType();
    return pixelType != Navik::kPixelTypeCMYK && pixelType != Navik::kPixelTypeLab;
}
