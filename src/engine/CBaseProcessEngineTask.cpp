#include "engine/CBaseProcessEngineTask.h"

#include "engine/CProcessEngine.h"
#include "engine/DisplayProfile.h"
#include "engine/ParameterGroups.h"
#include "engine/IZoomLevelSource.h"
#include "utils/Logger.h"

#include "Navik/SignalStack.h"

#include <QMetaObject>
#include <QMutexLocker>

#include <mutex>
#include <utility>

CBaseProcessEngineTask::CBaseProcessEngineTask(CProcessEngine& engine, unsigned int scaleLevel, const QRect& rect)
    : m_engine(engine), m_scaleLevel(scaleLevel), m_rect(rect)
{
    LOG_TRACE();
    // Every request carries the profile of the display current when it was made.
    m_engine.setOutputICCProfile(displayProfileForOutput());
}

void CBaseProcessEngineTask::run()
{
    // Renders run on Qt's global pool: its threads get their alternate
    // signal stack with their first task.
    Navik::EnsureSignalStack();
    // A part of a turn whose other part was cancelled does not start.
    if (isCancelled())
        return;
    if (m_notifyEngine)
        invokeOnEngine("processingStarted");
    if (isCancelled()) {
        if (m_notifyEngine)
            invokeOnEngine("processingFinished");
        return;
    }

    // Renders need an image; the scheduler starts none without one.
    if (!hasImageToRender()) {
        ASSERT(hasImageToRender());
        failRun();
        return;
    }

    // Asked once: the points may move on the main thread meanwhile, and the
    // render must use the ones that passed the check.
    QSize keystoningSize;
    const Navik::Dictionary keystoning = keystoningDictionary(buildDictionary(), &keystoningSize);
    if (!isKeystoningPointsConfigurationValid(keystoning, keystoningSize)) {
        failRun();
        return;
    }

    if (!renderAndDeliver(keystoning)) {
        failRun();
        return;
    }
    if (m_notifyEngine)
        invokeOnEngine("processingFinished");
}

bool CBaseProcessEngineTask::renderAndDeliver(const Navik::Dictionary& keystoning)
{
    int width = 0;
    int height = 0;
    const PixelDataPtr pixels = process(keystoning, &width, &height);
    if (!isUsable(pixels))
        return false;
    // A cancelled task delivers nothing.
    if (!isCancelled())
        sendResult(pixels, QSize(width, height));
    return true;
}

void CBaseProcessEngineTask::failRun()
{
    if (m_notifyEngine) {
        if (m_reportErrors && !isCancelled())
            QMetaObject::invokeMethod(&m_engine, "processingError", Qt::QueuedConnection, Q_ARG(int, 0));
        invokeOnEngine("processingFinished");
    }
    if (!isCancelled())
        onProcessingFailed();
}

void CBaseProcessEngineTask::cancel()
{
    m_cancelled->store(true);
}

bool CBaseProcessEngineTask::isCancelled() const
{
    return m_cancelled->load();
}

void CBaseProcessEngineTask::shareCancellation(const CBaseProcessEngineTask& owner)
{
    m_cancelled = owner.m_cancelled;
}

bool CBaseProcessEngineTask::hasImageToRender() const
{
    return m_engine.isPictureLoaded();
}

Navik::Dictionary CBaseProcessEngineTask::keystoningDictionary(const Navik::Dictionary& dictionary, QSize* outputSize)
{
    return m_engine.getKeystoningDictionary(dictionary, outputSize);
}

bool CBaseProcessEngineTask::isSameTask(const CBaseProcessEngineTask* other) const
{
    return other && m_taskId == other->taskId();
}

QString CBaseProcessEngineTask::taskId() const
{
    return m_taskId;
}

bool CBaseProcessEngineTask::answersFor(const CBaseProcessEngineTask*) const
{
    return false;
}

PixelDataPtr CBaseProcessEngineTask::process(const Navik::Dictionary& keystoning, int* width, int* height)
{
    PixelDataPtr result;
    withTarget(keystoning, [&](Navik::Target* target) {
        if (!target->ComputeScaledOutputSize(0, width, height))
            return;
        LOG_MESSAGE('D', "Processing image using dictionary: " << keystoning.StringRepr());
        LOG_MESSAGE('D', "Processing image with scale: " << m_scaleLevel);

        // The render may change its copies; the caller keeps the full size.
        int renderWidth = *width;
        int renderHeight = *height;
        if (m_rect.isEmpty()) {
            result = renderWholeImage(target, &renderWidth, &renderHeight);
        } else if (isOutdated(QSize(*width, *height))) {
            // The views have moved on: fail quietly.
            m_reportErrors = false;
        } else {
            result = renderSubImage(target, &renderWidth, &renderHeight);
        }
    });
    return result;
}

bool CBaseProcessEngineTask::withTarget(const Navik::Dictionary& keystoning,
                                        const std::function<void(Navik::Target*)>& action)
{
    QMutexLocker lock(&m_engine.engineMutex());
    Navik::Target* target = createOrUpdateTarget(keystoning);
    if (!target) {
        ASSERT(target);
        return false;
    }
    action(target);
    releaseTarget(target);
    return true;
}

void CBaseProcessEngineTask::onProcessingFailed()
{
}

void CBaseProcessEngineTask::onDroppedFromQueue()
{
}

bool CBaseProcessEngineTask::isOutdated(const QSize&)
{
    return false;
}

void CBaseProcessEngineTask::releaseTarget(Navik::Target*)
{
}

Navik::Target* CBaseProcessEngineTask::addSingleRenderTarget(Navik::CorrectionMode mode,
                                                             const Navik::Dictionary& dictionary)
{
    const std::shared_ptr<Navik::Agent> agent = m_engine.agent();
    return agent ? agent->AddTarget(mode, dictionary, m_engine.filter()) : nullptr;
}

void CBaseProcessEngineTask::removeSingleRenderTarget(Navik::Target* target)
{
    // The agent cannot change under the engine mutex, which is held here.
    if (const std::shared_ptr<Navik::Agent> agent = m_engine.agent())
        agent->RemoveTarget(target);
}

PixelDataPtr CBaseProcessEngineTask::renderWholeImage(Navik::Target* target, int* width, int* height)
{
    if (m_scaleLevel != 0 && !target->ComputeScaledOutputSize(m_scaleLevel, width, height))
        ASSERT(false);

    const PixelDataPtr pixels(Navik::PixelData::Create(sampleType(), sampleLayout(), *width, *height));
    if (isUsable(pixels) && target->ComputeScaledOutputImage(pixels.get(), m_scaleLevel, nullptr))
        return pixels;
    return {};
}

PixelDataPtr CBaseProcessEngineTask::renderSubImage(Navik::Target* target, int* width, int* height)
{
    const int fullWidth = *width;
    const int fullHeight = *height;
    const QRect region = m_rect.intersected(QRect(0, 0, fullWidth, fullHeight));
    if (region.width() == 0 || region.height() == 0)
        return {};

    // The level-`level` pixels that cover the region, and the level-0
    // rectangle they stand for.
    const unsigned int level = m_scaleLevel;
    QRect scaled(0, 0, region.width(), region.height());
    if (level > 0) {
        int scaledWidth = 0;
        int scaledHeight = 0;
        target->ComputeScaledOutputSize(level, &scaledWidth, &scaledHeight);
        const double xScale = double(scaledWidth) / fullWidth;
        const double yScale = double(scaledHeight) / fullHeight;
        scaled = QRect(int(region.left() * xScale), int(region.top() * yScale), int(region.width() * xScale),
                       int(region.height() * yScale));
    }
    const QRect framework = level > 0 ? QRect(scaled.left() << level, scaled.top() << level,
                                              scaled.width() << level, scaled.height() << level)
                                      : region;

    const PixelDataPtr pixels(Navik::PixelData::Create(sampleType(), sampleLayout(), scaled.width(), scaled.height()));
    if (isUsable(pixels) &&
        target->ComputeScaledOutputSubImageBitShiftApprox(pixels.get(), level, framework.left(), framework.top(),
                                                          framework.width(), framework.height(), nullptr))
        return pixels;
    return {};
}

void CBaseProcessEngineTask::collectTransformOutParams()
{
    const Navik::Dictionary keystoning = keystoningDictionary(buildDictionary(), nullptr);
    Navik::Dictionary parameters;
    {
        // The modules read values of the target a render may be switching.
        QMutexLocker lock(&m_engine.engineMutex());
        if (Navik::Target* target = createOrUpdateTarget(keystoning)) {
            target->CollectPreparedParameters(parameters, 0);
        } else {
            // The values of the last after render, if there was one.
            Navik::Target* after = m_engine.previewTarget(false);
            ASSERT(after);
            if (after)
                parameters = after->GetOutputParams(m_scaleLevel, true);
        }
    }
    m_engine.setLastTransformOutParams(parameters);
    invokeOnEngine("transformOutParamsChanged");
    invokeOnEngine("trasformOutParamsSignalWasSent");
}

void CBaseProcessEngineTask::announceSizeIfChanged(bool initial, const QSize& fullSize)
{
    if (m_engine.updateCachedSize(initial, fullSize))
        invokeOnEngine(initial ? "initialImageSizeChanged" : "resultImageSizeChanged", Q_ARG(QSize, fullSize));
}

void CBaseProcessEngineTask::invokeOnEngine(const char* name, QGenericArgument first, QGenericArgument second,
                                            QGenericArgument third)
{
    // A cancelled task still ends the "processingStarted" it sent.
    if (isCancelled() && qstrcmp(name, "processingFinished") != 0)
        return;
    bool emitted = false;
    deliverOnEngineThread([&] {
        emitted = QMetaObject::invokeMethod(&m_engine, name, Qt::DirectConnection, first, second, third);
    });
    ASSERT(emitted);
}

void CBaseProcessEngineTask::runOnEngineThread(const std::function<void()>& action)
{
    if (!isCancelled())
        deliverOnEngineThread(action);
}

void CBaseProcessEngineTask::deliverOnEngineThread(const std::function<void()>& action)
{
    // The action runs on the main thread while this thread waits. Qt orders
    // the two threads with primitives of its own, which ThreadSanitizer
    // cannot see in a Qt built without it; these locks make the same order
    // visible to it. The call Qt carries captures nothing: whatever this
    // thread wrote, the action included, reaches the main thread through the
    // slot below, filled and emptied under a lock. One hand-off at a time
    // uses the slot.
    struct SHandOff
    {
        const std::function<void()>* action = nullptr;
        CBaseProcessEngineTask* task = nullptr;
    };
    static std::mutex oneAtATime;
    static std::mutex slotLock;
    static SHandOff slot;

    std::lock_guard exclusive(oneAtATime);
    {
        std::lock_guard lock(slotLock);
        slot = {&action, this};
    }
    QMetaObject::invokeMethod(
        &m_engine,
        [] {
            SHandOff pending;
            {
                std::lock_guard lock(slotLock);
                pending = std::exchange(slot, SHandOff());
            }
            // While the action runs, a slot that clears the queue must not
            // wait for this task, which waits for the slot.
            CProcessEngine& engine = pending.task->m_engine;
            CBaseProcessEngineTask* const outer = engine.deliveringTask();
            engine.setDeliveringTask(pending.task);
            (*pending.action)();
            engine.setDeliveringTask(outer);
            // Hands what the action wrote back to the waiting thread.
            std::lock_guard lock(slotLock);
        },
        Qt::BlockingQueuedConnection);
    std::lock_guard lock(slotLock);
}

unsigned int CBaseProcessEngineTask::scaleLevelFromZoom()
{
    const IZoomLevelSource* source = zoomLevelSource();
    const double zoom = source ? source->currentZoom() / 100.0 : 1.0;
    if (zoom < 0.25)
        return 2;
    if (zoom < 0.75)
        return 1;
    return 0;
}

bool lessThanByPriority(const CBaseProcessEngineTask* first, const CBaseProcessEngineTask* second)
{
    return first->priority() < second->priority();
}

bool isUsable(const PixelDataPtr& pixels)
{
    return pixels && pixels->GetStatus() == Navik::PixelData::kStatusOK;
}
