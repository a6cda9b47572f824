#include "engine/PictureProcessEngineTasks.h"

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/ImageConversion.h"
#include "engine/NavikStrings.h"
#include "utils/Logger.h"

#include <algorithm>

namespace Keys = EngineParameterKeys;

// ---------------------------------------------------------------- snapshot

CSnapshotProcessEngineTask::CSnapshotProcessEngineTask(CProcessEngine& engine, const QString& name)
    : CBaseProcessEngineTask(engine, 0, QRect()), m_name(name)
{
    m_taskId = QStringLiteral("SnapshotTaskId");
    m_notifyEngine = false;

    // The engine asks for snapshot pictures only while a picture is open.
    const NavikImagePtr image = m_engine.openedImage();
    ASSERT(image);
    const unsigned int longSide = image ? std::max(image->width(), image->height()) : 0;
    ASSERT(longSide != 0);
    m_scaleLevel = scaleLevelForLongSide(longSide);

    if (!m_name.isEmpty()) {
        bool found = false;
        m_snapshot = m_engine.namedSnapshot(m_name, &found);
        // An unknown name renders with no parameters at all.
        ASSERT(found);
    }
}

unsigned int CSnapshotProcessEngineTask::scaleLevelForLongSide(unsigned int longSide)
{
    const unsigned int side = pictureSide;
    unsigned int level = 0;
    while ((longSide >> level) > side)
        ++level;
    if (level > 0 && (longSide >> level) <= side - 2)
        --level;
    return level;
}

int CSnapshotProcessEngineTask::priority() const
{
    return 600;
}

Navik::Dictionary CSnapshotProcessEngineTask::buildDictionary()
{
    return m_name.isEmpty() ? m_engine.parameters(true) : m_snapshot;
}

Navik::Target* CSnapshotProcessEngineTask::createOrUpdateTarget(const Navik::Dictionary& dictionary)
{
    return addSingleRenderTarget(Navik::kCorrectionModePreview, dictionary);
}

void CSnapshotProcessEngineTask::releaseTarget(Navik::Target* target)
{
    removeSingleRenderTarget(target);
}

void CSnapshotProcessEngineTask::sendResult(PixelDataPtr pixels, const QSize&)
{
    // Small pictures are scaled up to the box too.
    const QImage picture = pixelDataToQImage(pixels).copy().scaled(pictureSide, pictureSide, Qt::KeepAspectRatio,
                                                                   Qt::SmoothTransformation);
    pixels.reset();
    ASSERT(picture.width() <= pictureSide && picture.height() <= pictureSide);
    invokeOnEngine("imageForSnapshotCreated", Q_ARG(QString, m_name), Q_ARG(QImage, picture));
}

// ---------------------------------------------------------------- print

CPrintProcessEngineTask::CPrintProcessEngineTask(CProcessEngine& engine, const QString& unit, int resolution,
                                                 double width, double height)
    : CBaseProcessEngineTask(engine, 0, QRect())
{
    m_taskId = QStringLiteral("PrintTaskId");
    m_printParameters.SetValueForKey(Keys::CropActive, true);
    m_printParameters.SetValueForKey(Keys::OutputWidth, width);
    m_printParameters.SetValueForKey(Keys::OutputHeight, height);
    m_printParameters.SetValueForKey(Keys::OutputSizeUnit, toNavikString(unit));
    m_printParameters.SetValueForKey(Keys::OutputResolution, resolution);
    m_printParameters.SetValueForKey(Keys::OutputResolutionUnit, "dpi");
    m_printParameters.SetValueForKey(Keys::OutputInterpolation, "Bicubic");
}

int CPrintProcessEngineTask::priority() const
{
    return 350;
}

Navik::Dictionary CPrintProcessEngineTask::buildDictionary()
{
    Navik::Dictionary parameters = m_engine.parameters(false);
    parameters.AddEntriesFromDictionary(m_printParameters);
    return parameters;
}

Navik::Target* CPrintProcessEngineTask::createOrUpdateTarget(const Navik::Dictionary& dictionary)
{
    return addSingleRenderTarget(Navik::kCorrectionModeFinal, dictionary);
}

void CPrintProcessEngineTask::releaseTarget(Navik::Target* target)
{
    removeSingleRenderTarget(target);
}

void CPrintProcessEngineTask::sendResult(PixelDataPtr pixels, const QSize&)
{
    const QImage picture = pixelDataToQImage(pixels).copy();
    pixels.reset();
    invokeOnEngine("printImageCreated", Q_ARG(QImage, picture));
}
