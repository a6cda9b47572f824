// Render requests beyond the previews, rotation, sizes and the histogram.

#include "engine/CPETaskManager.h"
#include "engine/CProcessEngine.h"
#include "engine/PictureProcessEngineTasks.h"
#include "engine/PreviewProcessEngineTasks.h"
#include "utils/Logger.h"

#include <Navik/Progress.h>
#include <Navik/Region.h>
#include <Navik/ThreadGraph.h>

#include <QMutexLocker>

#include <algorithm>

namespace {

// The histogram is computed on a reduction whose shorter side is at most this.
constexpr unsigned int histogramShortSide = 900;
// A region larger than any output: the whole picture.
constexpr int wholePictureExtent = 32704;

unsigned int histogramScaleLevel(unsigned int shortSide)
{
    unsigned int level = 0;
    while (shortSide > histogramShortSide) {
        shortSide /= 2;
        ++level;
    }
    return level;
}

bool hasHistogram(const Navik::Dictionary& outputParameters)
{
    return outputParameters.GetValueForKey("HistogramData").AsDictionary().Count() > 0;
}

} // namespace

// ---------------------------------------------------------------- render requests

void CProcessEngine::processHiResImage(bool initial, const QString& viewId, const QRect& rect)
{
    LOG_TRACE();
    ASSERT(!rect.isEmpty());
    if (!isPictureLoaded())
        return;
    queueTask(new CHiResProcessEngineTask(*this, initial, rect, viewId, true));
}

void CProcessEngine::enableProcessingHiResRect(bool, const QString&, bool)
{
}

void CProcessEngine::processLoupeRect(bool initial, const QRect& rect)
{
    LOG_TRACE();
    // The loupe shows a part of the picture; a rectangle as large as the
    // picture is no loupe.
    const QSize size = getOriginalImageSize();
    if (!isPictureLoaded() || size.width() <= rect.width() || size.height() <= rect.height())
        return;
    LOG_MESSAGE('D', "Processing processLoupeRect");
    queueTask(new CLoupeProcessEngineTask(*this, initial, rect));
}

void CProcessEngine::processResultImageForPrinting(qreal width, qreal height, const QString& unit, int resolution)
{
    LOG_TRACE();
    if (!isPictureLoaded())
        return;
    LOG_MESSAGE('D', "Processing result image for printing");
    queueTask(new CPrintProcessEngineTask(*this, unit, resolution, width, height));
}

void CProcessEngine::createImageForSnapshot(const QString& name)
{
    LOG_TRACE();
    if (!isPictureLoaded() || (!name.isEmpty() && !m_snapshots.contains(name)))
        return;
    LOG_MESSAGE('D', "Create image for snapshot");
    queueTask(new CSnapshotProcessEngineTask(*this, name));
}

Navik::Dictionary CProcessEngine::namedSnapshot(const QString& name, bool* found) const
{
    const auto snapshot = m_snapshots.constFind(name);
    *found = snapshot != m_snapshots.cend();
    return *found ? *snapshot : Navik::Dictionary();
}

// ---------------------------------------------------------------- sizes

void CProcessEngine::calculateImageSize()
{
    LOG_TRACE();
    const QSize before = getSizeOfProcessedInitialImage();
    const QSize after = getSizeOfProcessedResultImage();
    {
        QMutexLocker lock(&m_parameterLock);
        m_cachedBeforeSize = before;
        m_cachedAfterSize = after;
    }
    emit initialImageSizeChanged(before);
    emit resultImageSizeChanged(after);
}

QSize CProcessEngine::getSizeOfProcessedInitialImage()
{
    LOG_TRACE();
    return computeOutputSize(true);
}

QSize CProcessEngine::getSizeOfProcessedResultImage()
{
    LOG_TRACE();
    return computeOutputSize(false);
}

QSize CProcessEngine::computeOutputSize(bool initial)
{
    const QSize invalid(-1, -1);
    // Without a picture there is no size to compute.
    const std::shared_ptr<Navik::Agent> agent = this->agent();
    if (!agent)
        return invalid;

    // The dictionary as a render of that side uses it, keystoning points
    // included. Made before the engine mutex is taken: with the lens stage
    // active the points are projected under it.
    const Navik::Dictionary parameters = getKeystoningDictionary(this->parameters(initial));
    // One target serves both sides: a render must not use targets while its
    // parameters switch.
    QMutexLocker engineLock(&m_engineMutex);
    Navik::Target* target = nullptr;
    {
        QMutexLocker lock(&m_parameterLock);
        target = m_sizeTarget;
    }
    if (!target) {
        target = agent->AddTarget(Navik::kCorrectionModeFinal, parameters, m_filter.get());
        QMutexLocker lock(&m_parameterLock);
        m_sizeTarget = target;
    } else if (target->GetParameters() != parameters) {
        target->SetParameters(parameters);
    }
    ASSERT(target);

    int width = 0;
    int height = 0;
    if (!target || !target->ComputeScaledOutputSize(0, &width, &height)) {
        ASSERT(false);
        return invalid;
    }
    return QSize(width, height);
}

QSize CProcessEngine::getCashedSizeOfProcessedInitialImage()
{
    return cachedSize(true);
}

QSize CProcessEngine::getCashedSizeOfProcessedResultImage()
{
    return cachedSize(false);
}

// ---------------------------------------------------------------- rotation

void CProcessEngine::rotateImageFromInitialState(RotationDirections::RotationDirectionsEnum direction)
{
    LOG_TRACE();
    direction = RotationDirections::normalized(direction);
    if (direction == m_currentRotation || !isPictureLoaded())
        return;

    // No render may run on the geometry being replaced.
    m_taskManager->clear();
    {
        QMutexLocker lock(&m_parameterLock);
        m_normalizedKeystoningPoints.clear();
    }
    // Each is made again on its next use.
    removeTargets();
    if (m_histogramTargetCreated) {
        m_agent->RemoveTarget(s_histogramTargetName);
        m_histogramTargetCreated = false;
    }

    const RotationDirections::RotationDirectionsEnum step =
        RotationDirections::normalized(direction + 4 - m_currentRotation);
    m_currentRotation = direction;
    updateOutputRotation();
    m_taskManager->addProcessEngineTask(new CRotationProcessEngineTask(*this, step, direction));

    calculateImageSize();
    emit rotationProcessed(step);
    queueLoResTask(false);
    queueLoResTask(true);
}

void CProcessEngine::rotateImageFromCurrentState(RotationDirections::RotationDirectionsEnum step)
{
    LOG_TRACE();
    rotateImageFromInitialState(RotationDirections::normalized(step + m_currentRotation));
}

RotationDirections::RotationDirectionsEnum CProcessEngine::getCurrentRotation() const
{
    LOG_TRACE();
    return m_currentRotation;
}

QString CProcessEngine::getOpenedFilePath() const
{
    LOG_TRACE();
    const NavikImagePtr image = openedImage();
    return image ? image->filePath() : QString();
}

// ---------------------------------------------------------------- histogram

NavikNS::Dictionary CProcessEngine::getHistogramData(bool initial)
{
    LOG_TRACE();
    // The last preview of that side may have collected it already; the after
    // preview stands in for a before preview not made yet.
    Navik::Target* preview = nullptr;
    unsigned int previewScale = 0;
    {
        QMutexLocker lock(&m_parameterLock);
        const bool before = initial && m_beforeTarget;
        preview = before ? m_beforeTarget : m_afterTarget;
        previewScale = before ? m_lastBeforeScale : m_lastAfterScale;
    }
    Navik::Dictionary result;
    if (preview)
        result = preview->GetOutputParams(previewScale, false);
    const NavikImagePtr image = openedImage();
    if (hasHistogram(result) || !image)
        return result;

    const unsigned int level = histogramScaleLevel(std::min(image->width(), image->height()));
    const Navik::Dictionary parameters = this->parameters(initial);
    if (!m_histogramTargetCreated) {
        m_agent->AddTarget(s_histogramTargetName, Navik::kCorrectionModePreview, parameters, m_filter.get());
        m_histogramTargetCreated = true;
    } else {
        m_agent->UpdateParameters(s_histogramTargetName, parameters);
    }

    Navik::ThreadGraph graph;
    Navik::Progress progress;
    const Navik::Region region(0, 0, wholePictureExtent, wholePictureExtent);
    m_agent->ScheduleProcess(s_histogramTargetName, level, &region, std::string(), graph, &progress);
    graph.Run(&progress, std::string());
    return m_agent->GetOutputParameters(s_histogramTargetName, level);
}
