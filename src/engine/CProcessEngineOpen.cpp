// Opening a photograph: from a file or from an image in memory.

#include "engine/CPETaskManager.h"
#include "engine/CProcessEngine.h"
#include "engine/ExifRotation.h"
#include "engine/NavikStrings.h"
#include "utils/Logger.h"

#include <Navik/Exif.h>
#include <Navik/Image.h>

#include <QMutexLocker>

namespace {

constexpr unsigned int minimumImageSide = 32;

unsigned int orientationTag(const Navik::Image& image)
{
    return image.GetExif()->GetValue(Navik::Exif::kMetaDataOrientationKey).AsUnsignedInt();
}

void logPixelFormat(const Navik::Image& image)
{
    const Navik::PixelFormat format = image.GetPixelFormat();
    LOG_MESSAGE('D', "Pixel size: 0x" << std::hex << format.GetPixelSize());
    LOG_MESSAGE('D', "Pixel type: " << format.GetPixelType());
}

// The engine renders grey and RGB images only.
void checkChannelCount(const Navik::Image& image)
{
    const unsigned int channels = image.GetPixelFormat().GetBufferChannelCount();
    ASSERT(channels == 1 || channels == 3);
}

} // namespace

void CProcessEngine::resetBeforeOpen()
{
    m_taskManager->clear();
    {
        QMutexLocker lock(&m_parameterLock);
        m_image.reset();
        // The host must never be handed pixels of another picture.
        m_hostRenderResult.reset();
        forgetTargets();
        m_initialParameters.RemoveAllValues();
        m_resultParameters.RemoveAllValues();
        m_savedParameters.RemoveAllValues();
        m_keptInitialParameters.RemoveAllValues();
        m_snapshots.clear();
        m_normalizedKeystoningPoints.clear();
        m_savedPoints.clear();
        m_cachedAfterSize = QSize(-1, -1);
        m_cachedBeforeSize = QSize(-1, -1);
    }
    m_currentRotation = RotationDirections::Rotation0;
    m_imageOrientation = 0;

    if (m_histogramTargetCreated) {
        m_agent->RemoveTarget(s_histogramTargetName);
        m_agent->SetProfile(nullptr);
        m_histogramTargetCreated = false;
    }

    // The agent holds the closed picture, its reduced copies and its
    // targets: they go now, not when the next picture opens.
    std::shared_ptr<Navik::Agent> closed;
    {
        QMutexLocker engineLock(&m_engineMutex);
        QMutexLocker lock(&m_parameterLock);
        m_agent.swap(closed);
    }
}

Navik::Image* CProcessEngine::loadImageFile(const QString& path, QString* error, bool inBackground,
                                            FileFailure* failure)
{
    const std::string nativePath = toNavikPath(path);
    const Navik::FileFormat format = Navik::GetFileFormat(nativePath);
    LOG_MESSAGE('D', "Trying to open image with format: " << int(format));

    Navik::ImageStatus status("", Navik::kImageStatusNoError);
    Navik::Dictionary options = metadataLoadOptions();
    options.SetValueForKey(Navik::kImageLoadOptionPixelsInBackground, inBackground);
    Navik::Image* image = Navik::LoadFullImage(nativePath, format, options, &status, nullptr);
    if (!image) {
        ASSERT(image);
        if (failure)
            *failure = status.IsOK() ? FileFailure::Unknown : fileFailureOf(status);
        if (status.GetCode() != 0) {
            const QString message = QString::fromUtf8(status.GetMessage());
            LOG_MESSAGE('D', QStringLiteral("Error: processing failed: %1").arg(message));
            if (error)
                *error = message;
        } else {
            LOG_MESSAGE('D', "Error not known to Navik Framework");
        }
        return nullptr;
    }
    if (!isImageSizeSupported(image)) {
        image->Release();
        LOG_MESSAGE('D', "Trying to open a file with the size less than 32 pixels");
        if (error)
            *error = QStringLiteral("The picture is smaller than %1 pixels on a side.").arg(minimumImageSide);
        if (failure)
            *failure = FileFailure::TooFewPixels;
        return nullptr;
    }
    return image;
}

bool CProcessEngine::openFile(const QString& path)
{
    LOG_TRACE();
    m_taskManager->clear();

    QString error;
    FileFailure failure = FileFailure::None;
    Navik::Image* image = loadImageFile(path, &error, false, &failure);
    {
        QMutexLocker lock(&m_parameterLock);
        m_lastOpenError = error;
        m_lastOpenFailure = failure;
    }
    if (image) {
        // The proxy takes over our reference to the image.
        adoptImage(std::make_shared<CNavikImageProxy>(image, true, false, QString()));
        checkChannelCount(*image);
        m_imageOrientation = int(orientationTag(*image));
        readImageOrientation(image);
        LOG_MESSAGE('D', "Image loaded. Size: " << image->GetWidth() << ", " << image->GetHeight());
        logPixelFormat(*image);
    }
    const bool opened = image != nullptr;
    emit fileOpenCompleated(opened);
    return opened;
}

bool CProcessEngine::openImage(NavikImagePtr image)
{
    LOG_TRACE();
    const Navik::Image* navikImage = image ? image->image() : nullptr;
    const bool opened = navikImage && isImageSizeSupported(navikImage);
    if (opened) {
        LOG_MESSAGE('D', "Image opened. Resolution: " << navikImage->GetWidth() << ", " << navikImage->GetHeight());
        logPixelFormat(*navikImage);
        adoptImage(image);
        checkChannelCount(*navikImage);
    }
    emit fileOpenCompleated(opened);
    return opened;
}

void CProcessEngine::readImageOrientation(const Navik::Image* image)
{
    if (!image)
        return;
    const unsigned int orientation = orientationTag(*image);
    LOG_MESSAGE('D', "Image orientation: " << int(orientation));
    const RotationDirections::RotationDirectionsEnum rotation = rotationFromExifOrientation(orientation);
    if (rotation != RotationDirections::Rotation0)
        rotateImageFromInitialState(rotation);
}

bool CProcessEngine::isImageSizeSupported(const Navik::Image* image)
{
    return image->GetWidth() >= minimumImageSide && image->GetHeight() >= minimumImageSide;
}

void CProcessEngine::adoptImage(NavikImagePtr image)
{
    std::shared_ptr<Navik::Agent> agent = std::make_shared<Navik::Agent>(*image->image());
    {
        // A render still running keeps its agent and targets until it ends.
        QMutexLocker engineLock(&m_engineMutex);
        QMutexLocker lock(&m_parameterLock);
        m_image.swap(image);
        m_agent.swap(agent);
        // Targets and the histogram target belong to the agent just replaced.
        forgetTargets();
    }
    m_histogramTargetCreated = false;
    // The previous image and agent go here, outside the locks.
}

void CProcessEngine::removeTargets()
{
    QList<Navik::Target*> targets;
    QMutexLocker engineLock(&m_engineMutex);
    {
        QMutexLocker lock(&m_parameterLock);
        targets = {m_beforeTarget, m_afterTarget, m_sizeTarget, m_keystoningTarget};
        forgetTargets();
    }
    for (Navik::Target* target : std::as_const(targets)) {
        if (target)
            m_agent->RemoveTarget(target);
    }
}

void CProcessEngine::forgetTargets()
{
    m_beforeTarget = nullptr;
    m_sizeTarget = nullptr;
    m_keystoningTarget = nullptr;
    m_afterTarget = nullptr;
}
