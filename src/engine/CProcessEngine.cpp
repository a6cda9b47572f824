#include "engine/CProcessEngine.h"

#include "engine/CPETaskManager.h"
#include "engine/EngineParameterKeys.h"
#include "engine/NavikStrings.h"
#include "engine/PreviewProcessEngineTasks.h"
#include "shell/CPerformanceLogger.h"
#include "utils/Logger.h"

#include <QMutexLocker>
#include <QThreadPool>

#include <cmath>

namespace Keys = EngineParameterKeys;

const char* const CProcessEngine::s_histogramTargetName = "TestHisto";
const QString CProcessEngine::s_serializableId = QStringLiteral("ProcessEngine");

namespace {

// Results travel to the main thread in queued invocations that name their
// types as the signals spell them.
void registerMetaTypes()
{
    qRegisterMetaType<PixelDataPtr>("PixelDataPtr");
    qRegisterMetaType<NavikImagePtr>("NavikImagePtr");
    qRegisterMetaType<Navik::Dictionary>("Navik::Dictionary");
    qRegisterMetaType<Navik::Dictionary>("NavikNS::Dictionary");
    qRegisterMetaType<Navik::ValueArray>("Navik::ValueArray");
    qRegisterMetaType<Navik::FileFormat>("NavikNS::FileFormat");
    qRegisterMetaType<RotationDirections::RotationDirectionsEnum>("RotationDirections::RotationDirectionsEnum");
    qRegisterMetaType<QVector<QPointF>>("QVector<QPointF>");
}

QVector<QPointF> pointSet(std::initializer_list<QPointF> points)
{
    return QVector<QPointF>(points);
}

} // namespace

CProcessEngine::CProcessEngine() : m_filter(Navik::RefPtr<Navik::Filter>::Adopt(new Navik::Filter))
{
    LOG_TRACE();
    registerMetaTypes();
    m_taskManager = new CPETaskManager(*this, this);

    // A render hands its results to the main thread and waits there while
    // holding a thread of the global pool. Qt's raster engine splits large
    // fills into pieces on that same pool and the main thread waits for them:
    // with a single pool thread (one CPU) each side would wait for the other
    // for ever. Only one render runs at a time, so one more thread suffices.
    QThreadPool* const pool = QThreadPool::globalInstance();
    if (pool->maxThreadCount() < 2)
        pool->setMaxThreadCount(2);

    m_renderTimer.setSingleShot(true);
    m_renderTimer.setInterval(200);
    connect(&m_renderTimer, &QTimer::timeout, this, &CProcessEngine::doProcessImage);

    const std::shared_ptr<NAVIK_tarl1::CPerformanceLogger> performanceLogger =
        NAVIK_tarl1::CPerformanceLogger::instance();
    connect(this, &CProcessEngine::processingFinished, performanceLogger.get(),
            &NAVIK_tarl1::CPerformanceLogger::onProcessingFiniched);
    connect(this, &CProcessEngine::processingStarted, performanceLogger.get(),
            &NAVIK_tarl1::CPerformanceLogger::onProcessingStarted);
}

CProcessEngine::~CProcessEngine()
{
    LOG_TRACE();
    m_taskManager->clear();
    m_taskManager->deleteLater();
}

QString CProcessEngine::id() const
{
    return s_serializableId;
}

QObject* CProcessEngine::getQObject()
{
    LOG_TRACE();
    return this;
}

bool CProcessEngine::isPictureLoaded() const
{
    QMutexLocker lock(&m_parameterLock);
    return m_image != nullptr;
}

// ---------------------------------------------------------------- scheduling

bool CProcessEngine::processImage()
{
    LOG_TRACE();
    updateOutputRotation();
    if (!isPictureLoaded())
        return false;
    m_renderTimer.start();
    return true;
}

void CProcessEngine::queueTask(CBaseProcessEngineTask* task)
{
    m_taskManager->addProcessEngineTask(task);
    processImage();
}

void CProcessEngine::queueLoResTask(bool initial)
{
    queueTask(new CLoResProcessEngineTask(*this, initial, false));
}

void CProcessEngine::doProcessImage()
{
    LOG_TRACE();
    if (!isPictureLoaded())
        return;
    // One render at a time: poll until the pool is idle.
    if (QThreadPool::globalInstance()->activeThreadCount() != 0) {
        processImage();
        return;
    }

    // Keystoning points enter a render only through the task's own dictionary.
    ASSERT(!m_initialParameters.GetValueForKey(Keys::KeystoningPoints).IsValid());
    ASSERT(!m_resultParameters.GetValueForKey(Keys::KeystoningPoints).IsValid());
    {
        QMutexLocker lock(&m_parameterLock);
        m_resultParameters.SetValueForKey(Keys::KeystoningKeepOriginalSize, false);
    }

    bool hasMore = false;
    if (QRunnable* task = m_taskManager->getTaskToProcessAndRemoveIt(hasMore))
        QThreadPool::globalInstance()->start(task, 0);
    if (hasMore)
        processImage();
}

void CProcessEngine::forceProcessImage()
{
    LOG_TRACE();
    queueLoResTask(false);
    queueLoResTask(true);
    applyParameterDependencies();
    if (isPictureLoaded())
        processImage();
}

void CProcessEngine::processLoResInitialImage()
{
    LOG_TRACE();
    if (!isPictureLoaded())
        return;
    LOG_MESSAGE('D', "Processing LoResInitialImage");
    queueLoResTask(true);
}

void CProcessEngine::processLoResResultImage()
{
    LOG_TRACE();
    if (!isPictureLoaded())
        return;
    LOG_MESSAGE('D', "Processing LoResResultImage");
    queueLoResTask(false);
}

void CProcessEngine::lockImageProcessing()
{
    m_engineMutex.lock();
}

void CProcessEngine::unLockImageProcessing()
{
    m_engineMutex.unlock();
}

bool CProcessEngine::isProcessingActive() const
{
    return QThreadPool::globalInstance()->activeThreadCount() != 0;
}

bool CProcessEngine::isRenderPending() const
{
    return m_renderTimer.isActive();
}

bool CProcessEngine::hasTasksForProcessing()
{
    return isProcessingActive() || !m_taskManager->isEmpty();
}

// ---------------------------------------------------------------- keystoning point sets

const QList<QVector<QPointF>>& CProcessEngine::defaultKeystoningPointSets()
{
    static const QList<QVector<QPointF>> sets = {
        pointSet({{0.25, 0.25}, {0.25, 0.75}, {0.75, 0.75}, {0.75, 0.25}}),
        pointSet({{0.75, 0.25}, {0.25, 0.25}, {0.25, 0.75}, {0.75, 0.75}}),
        pointSet({{0.25, 0.75}, {0.75, 0.75}, {0.75, 0.25}, {0.25, 0.25}}),
        pointSet({{0.25, 0.75}, {0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}}),
        pointSet({{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}, {0.25, 0.75}}),
        pointSet({{0.375, 0.75}, {0.625, 0.75}, {0.625, 0.25}, {0.375, 0.25},
                  {0.75, 0.375}, {0.75, 0.625}, {0.25, 0.375}, {0.25, 0.625}}),
        pointSet({{0.25, 0.375}, {0.25, 0.625}, {0.75, 0.625}, {0.75, 0.375},
                  {0.625, 0.75}, {0.375, 0.75}, {0.625, 0.25}, {0.375, 0.25}}),
    };
    return sets;
}

bool CProcessEngine::isSamePointSet(const QVector<QPointF>& first, const QVector<QPointF>& second)
{
    if (first.size() != second.size())
        return false;
    if (first.constData() == second.constData())
        return true;
    // A NaN difference is not within the tolerance.
    const auto close = [](double a, double b) { return std::abs(a - b) <= 1e-12; };
    for (qsizetype i = first.size() - 1; i >= 0; --i) {
        if (!close(first[i].x(), second[i].x()) || !close(first[i].y(), second[i].y()))
            return false;
    }
    return true;
}

bool CProcessEngine::isDefaultKeystoningPointSet(const QVector<QPointF>& points)
{
    const QList<QVector<QPointF>>& sets = defaultKeystoningPointSets();
    return std::any_of(sets.begin(), sets.end(),
                       [&points](const QVector<QPointF>& set) { return isSamePointSet(set, points); });
}

// ---------------------------------------------------------------- shared with the rendering tasks

NavikImagePtr CProcessEngine::openedImage() const
{
    QMutexLocker lock(&m_parameterLock);
    return m_image;
}

std::shared_ptr<Navik::Agent> CProcessEngine::agent() const
{
    QMutexLocker lock(&m_parameterLock);
    return m_agent;
}

Navik::Dictionary CProcessEngine::parameters(bool initial) const
{
    QMutexLocker lock(&m_parameterLock);
    return initial ? m_initialParameters : m_resultParameters;
}

void CProcessEngine::setOutputICCProfile(const QString& profile)
{
    const Navik::Value value(toNavikString(profile));
    QMutexLocker lock(&m_parameterLock);
    m_resultParameters.SetValueForKey(Keys::OutputICCProfile, value);
    m_initialParameters.SetValueForKey(Keys::OutputICCProfile, value);
}

Navik::Target* CProcessEngine::previewTarget(bool initial) const
{
    QMutexLocker lock(&m_parameterLock);
    return initial ? m_beforeTarget : m_afterTarget;
}

void CProcessEngine::setPreviewTarget(bool initial, Navik::Target* target)
{
    QMutexLocker lock(&m_parameterLock);
    (initial ? m_beforeTarget : m_afterTarget) = target;
}

void CProcessEngine::setLastRenderScale(bool initial, unsigned int scaleLevel)
{
    QMutexLocker lock(&m_parameterLock);
    (initial ? m_lastBeforeScale : m_lastAfterScale) = scaleLevel;
}

QSize CProcessEngine::cachedSize(bool initial) const
{
    QMutexLocker lock(&m_parameterLock);
    return initial ? m_cachedBeforeSize : m_cachedAfterSize;
}

bool CProcessEngine::updateCachedSize(bool initial, const QSize& size)
{
    QMutexLocker lock(&m_parameterLock);
    QSize& cached = initial ? m_cachedBeforeSize : m_cachedAfterSize;
    if (cached == size)
        return false;
    cached = size;
    return true;
}

void CProcessEngine::setLastTransformOutParams(const Navik::Dictionary& parameters)
{
    QMutexLocker lock(&m_parameterLock);
    m_lastTransformOutParameters = parameters;
}
