// Saving the corrected picture, the host render and thumbnails.

#include "engine/CPETaskManager.h"
#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/SaveProcessEngineTasks.h"
#include "utils/COperationCompletionWaiter.h"
#include "utils/Logger.h"

#include <Navik/Exif.h>
#include <Navik/Image.h>

#include <QMutexLocker>

#include <algorithm>
#include <utility>

namespace Keys = EngineParameterKeys;

namespace {

// Suffixes and the formats they name; the first that ends the path wins.
const std::pair<QLatin1String, Navik::FileFormat> formatsBySuffix[] = {
    {QLatin1String(".tif"), Navik::kFileFormatTIFF}, {QLatin1String(".tiff"), Navik::kFileFormatTIFF},
    {QLatin1String(".dng"), Navik::kFileFormatDNG},  {QLatin1String(".cr2"), Navik::kFileFormatCR2},
    {QLatin1String(".crw"), Navik::kFileFormatCRW},  {QLatin1String(".nef"), Navik::kFileFormatNEF},
    {QLatin1String(".mrw"), Navik::kFileFormatMRW},  {QLatin1String(".arw"), Navik::kFileFormatARW},
    {QLatin1String(".raf"), Navik::kFileFormatRAF},  {QLatin1String(".pef"), Navik::kFileFormatPEF},
    {QLatin1String(".orf"), Navik::kFileFormatORF},  {QLatin1String(".rw2"), Navik::kFileFormatRW2},
};

} // namespace

void CProcessEngine::saveOpenedFile(const QString& path, int quality, bool tiffCompression, bool eightBits,
                                    const NavikNS::FileFormat format)
{
    LOG_TRACE();
    // Nothing would ever start a save without a picture: say so at once.
    if (!isPictureLoaded()) {
        setLastSaveError(QStringLiteral("No picture is open."), FileFailure::Unknown);
        emit fileSaveCompleated(false);
        return;
    }
    setLastSaveError(QString(), FileFailure::None);
    queueTask(new CSaveProcessEngineTask(*this, path, quality, tiffCompression, eightBits, format));
}

bool CProcessEngine::saveOpenedFileSync(const QString& path, int quality, bool tiffCompression, bool eightBits,
                                        const NavikNS::FileFormat format)
{
    if (!isPictureLoaded()) {
        setLastSaveError(QStringLiteral("No picture is open."), FileFailure::Unknown);
        return false;
    }
    if (!canWaitForARender()) {
        setLastSaveError(QStringLiteral("The save cannot wait for a render while a render is being delivered."),
                         FileFailure::Unknown);
        return false;
    }
    // A save dropped from the queue before it ran (another picture opened,
    // a turn) ends the wait with false.
    NAVIK_tarl1::COperationCompletionWaiterWithResult waiter(getQObject(), SIGNAL(fileSaveCompleated(bool)), nullptr);
    saveOpenedFile(path, quality, tiffCompression, eightBits, format);
    waitForCompletion(waiter);
    return waiter.isOperationSuccess();
}

PixelDataPtr CProcessEngine::processOpenedImageForPS()
{
    LOG_TRACE();
    const NavikImagePtr image = openedImage();
    if (!image || !image->image() || !canWaitForARender())
        return {};
    const bool eightBits = image->image()->GetPixelFormat().GetSampleSize() == 8;
    // A failed render must not hand over the pixels of an earlier one.
    setHostRenderResult({});
    m_taskManager->addProcessEngineTask(new CSaveProcessEngineTask(*this, eightBits));

    NAVIK_tarl1::COperationCompletionWaiterWithResult waiter(getQObject(), SIGNAL(fileSaveCompleated(bool)), nullptr);
    if (processImage())
        waitForCompletion(waiter);
    // While waiting, another picture may have been opened; a render of the
    // one asked for may even have finished just before: the host gets nothing
    // rather than pixels of a picture it did not send.
    if (openedImage() != image)
        return {};
    // The host form always reports false; the pixels tell the outcome.
    QMutexLocker lock(&m_parameterLock);
    return m_hostRenderResult;
}

bool CProcessEngine::canWaitForARender() const
{
    // In a slot that receives a render's delivery, that render waits for the
    // slot: another render could not start before the slot returns.
    if (!m_deliveringTask)
        return true;
    LOG_MESSAGE('W', "A synchronous render was asked for while a render delivers its results: refused");
    return false;
}

void CProcessEngine::waitForCompletion(const NAVIK_tarl1::COperationCompletionWaiter& waiter)
{
    // Not the waiter's own event loop: the render waits for its calls to the
    // engine, which a loop entered from a queued call may leave undelivered.
    m_taskManager->waitDeliveringEngineCalls([&waiter] { return waiter.isCompleted(); });
}

Navik::FileFormat CProcessEngine::generateFileFormat(const QString& path)
{
    LOG_TRACE();
    const auto* const match = std::find_if(std::begin(formatsBySuffix), std::end(formatsBySuffix),
                                           [&path](const auto& entry) {
                                               return path.endsWith(entry.first, Qt::CaseInsensitive);
                                           });
    return match != std::end(formatsBySuffix) ? match->second : Navik::kFileFormatJPEG;
}

PixelDataPtr CProcessEngine::processThumbnailImage(const NavikNS::Dictionary& dictionary, const PixelDataPtr& pixels)
{
    LOG_TRACE();
    if (!pixels)
        return {};
    Navik::Dictionary parameters = dictionary;
    parameters.SetValueForKey(Keys::KeystoningKeepOriginalSize, false);

    // The blur radius is in pixels of the opened image: scale it down to a
    // smaller buffer.
    const Navik::Value radius = parameters.GetValueForKey(Keys::VignettedBlurRadius);
    if (radius.IsValid() && radius.AsInt() > 0) {
        const QSize original = getOriginalImageSize();
        const double ratio = double(std::max(original.width(), original.height())) /
                             double(std::max(pixels->GetWidth(), pixels->GetHeight()));
        if (ratio > 1.0)
            parameters.SetValueForKey(Keys::VignettedBlurRadius, int(radius.AsInt() / ratio));
    }
    LOG_MESSAGE('D', "Processing thumbnail using dictionary: " << parameters.StringRepr());
    return renderThumbnail(parameters, pixels);
}

PixelDataPtr CProcessEngine::renderThumbnail(const Navik::Dictionary& parameters, const PixelDataPtr& pixels)
{
    const auto exif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif);
    const auto agent = std::make_shared<Navik::Agent>(*pixels, *exif);
    Navik::Target* target = agent->AddTarget(Navik::kCorrectionModePreview, parameters, m_filter.get());
    if (!target)
        return {};
    int width = 0;
    int height = 0;
    if (!target->ComputeScaledOutputSize(0, &width, &height))
        return {};
    const PixelDataPtr result(
        Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved, width, height));
    if (!isUsable(result) || !target->ComputeScaledOutputImage(result.get(), 0, nullptr))
        return {};
    return result;
}

// ---------------------------------------------------------------- shared with the save tasks

void CProcessEngine::copyResultState(Navik::Dictionary* parameters, QVector<QPointF>* points) const
{
    QMutexLocker lock(&m_parameterLock);
    *parameters = m_resultParameters;
    *points = m_normalizedKeystoningPoints;
}

void CProcessEngine::markAsSaved(const Navik::Dictionary& parameters, const QVector<QPointF>& points)
{
    QMutexLocker lock(&m_parameterLock);
    m_savedParameters = parameters;
    m_savedPoints = points;
}

void CProcessEngine::setLastSaveError(const QString& error, FileFailure failure)
{
    QMutexLocker lock(&m_parameterLock);
    m_lastSaveError = error;
    m_lastSaveFailure = failure;
}

FileFailure CProcessEngine::getLastSaveFailure() const
{
    QMutexLocker lock(&m_parameterLock);
    return m_lastSaveFailure;
}

FileFailure CProcessEngine::getLastOpenFailure() const
{
    QMutexLocker lock(&m_parameterLock);
    return m_lastOpenFailure;
}

QString CProcessEngine::getLastSaveError() const
{
    QMutexLocker lock(&m_parameterLock);
    return m_lastSaveError;
}

QString CProcessEngine::getLastOpenError() const
{
    QMutexLocker lock(&m_parameterLock);
    return m_lastOpenError;
}

void CProcessEngine::setHostRenderResult(const PixelDataPtr& pixels)
{
    QMutexLocker lock(&m_parameterLock);
    m_hostRenderResult = pixels;
}
