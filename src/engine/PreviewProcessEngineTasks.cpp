#include "engine/PreviewProcessEngineTasks.h"

#include "engine/CProcessEngine.h"

#include <Navik/Image.h>

namespace {

QString sideDigit(bool initial)
{
    return QString::number(initial ? 1 : 0);
}

// The preview target of one side, made on first use and given the dictionary
// when it holds other parameters. Called under the engine mutex.
Navik::Target* updatePreviewTarget(CProcessEngine& engine, bool initial, unsigned int scaleLevel,
                                   const Navik::Dictionary& dictionary)
{
    engine.setLastRenderScale(initial, scaleLevel);
    const std::shared_ptr<Navik::Agent> agent = engine.agent();
    if (!agent)
        return nullptr;
    Navik::Target* target = engine.previewTarget(initial);
    if (!target) {
        target = agent->AddTarget(Navik::kCorrectionModePreview, dictionary, engine.filter());
        engine.setPreviewTarget(initial, target);
    } else if (target->GetParameters() != dictionary) {
        target->SetParameters(dictionary);
    }
    return target;
}

} // namespace

// ---------------------------------------------------------------- lo-res

CLoResProcessEngineTask::CLoResProcessEngineTask(CProcessEngine& engine, bool initial, bool urgent)
    : CBaseProcessEngineTask(engine, 0, QRect()), m_isInitial(initial), m_urgent(urgent)
{
    m_taskId = QStringLiteral("LoResTaskId") + sideDigit(initial);
    m_reportErrors = true;
}

int CLoResProcessEngineTask::priority() const
{
    return (m_urgent ? 400 : 600) + (m_isInitial ? 1 : 0);
}

Navik::Dictionary CLoResProcessEngineTask::buildDictionary()
{
    const NavikImagePtr image = m_engine.openedImage();
    if (image && image->image())
        m_scaleLevel = Navik::LowScaleForImage(*image->image());
    return m_engine.parameters(m_isInitial);
}

Navik::Target* CLoResProcessEngineTask::createOrUpdateTarget(const Navik::Dictionary& dictionary)
{
    return updatePreviewTarget(m_engine, m_isInitial, m_scaleLevel, dictionary);
}

void CLoResProcessEngineTask::sendResult(PixelDataPtr pixels, const QSize& fullSize)
{
    announceSizeIfChanged(m_isInitial, fullSize);
    invokeOnEngine(m_isInitial ? "loResInitialImageProcessed" : "loResResultImageProcessed",
                   Q_ARG(PixelDataPtr, pixels), Q_ARG(QSize, fullSize));
    // A slot that cleared the queue took the engine's targets from us.
    if (isCancelled())
        return;
    if (!m_isInitial)
        collectTransformOutParams();
    if (!isCancelled())
        emit processed(true);
}

void CLoResProcessEngineTask::onProcessingFailed()
{
    emit processed(false);
}

// ---------------------------------------------------------------- hi-res

CHiResProcessEngineTask::CHiResProcessEngineTask(CProcessEngine& engine, bool initial, const QRect& rect,
                                                 const QString& tag, bool enabled)
    : CBaseProcessEngineTask(engine, scaleLevelFromZoom(), rect), m_isInitial(initial), m_tag(tag), m_enabled(enabled)
{
    updateTaskId();
}

CHiResProcessEngineTask::CHiResProcessEngineTask(const CHiResProcessEngineTask& other)
    : CHiResProcessEngineTask(other.m_engine, other.m_isInitial, other.m_rect, other.m_tag, other.m_enabled)
{
}

void CHiResProcessEngineTask::setInitial(bool initial)
{
    m_isInitial = initial;
    updateTaskId();
}

void CHiResProcessEngineTask::setRect(const QRect& rect)
{
    m_rect = rect;
}

void CHiResProcessEngineTask::updateTaskId()
{
    m_taskId = QStringLiteral("HiResTaskId") + m_tag + sideDigit(m_isInitial);
}

int CHiResProcessEngineTask::priority() const
{
    return 500;
}

bool CHiResProcessEngineTask::isOutdated(const QSize& fullSize)
{
    return fullSize != m_engine.cachedSize(m_isInitial);
}

Navik::Dictionary CHiResProcessEngineTask::buildDictionary()
{
    return m_engine.parameters(m_isInitial);
}

Navik::Target* CHiResProcessEngineTask::createOrUpdateTarget(const Navik::Dictionary& dictionary)
{
    return updatePreviewTarget(m_engine, m_isInitial, m_scaleLevel, dictionary);
}

void CHiResProcessEngineTask::sendResult(PixelDataPtr pixels, const QSize& fullSize)
{
    announceSizeIfChanged(m_isInitial, fullSize);
    const QRect output(QPoint(0, 0), fullSize);
    const QSize regionSize = m_rect.isNull() ? fullSize : m_rect.intersected(output).size();
    invokeOnEngine(m_isInitial ? "hiResInitialImageProcessed" : "hiResResultImageProcessed",
                   Q_ARG(PixelDataPtr, pixels), Q_ARG(QRect, m_rect), Q_ARG(QSize, regionSize));
}

// ---------------------------------------------------------------- loupe

CLoupeProcessEngineTask::CLoupeProcessEngineTask(CProcessEngine& engine, bool initial, const QRect& rect)
    : CBaseProcessEngineTask(engine, 0, rect), m_isInitial(initial)
{
    m_taskId = QStringLiteral("LoupeTaskId");
    m_notifyEngine = false;
}

int CLoupeProcessEngineTask::priority() const
{
    return 600;
}

Navik::Dictionary CLoupeProcessEngineTask::buildDictionary()
{
    return m_engine.parameters(m_isInitial);
}

Navik::Target* CLoupeProcessEngineTask::createOrUpdateTarget(const Navik::Dictionary& dictionary)
{
    return addSingleRenderTarget(Navik::kCorrectionModePreview, dictionary);
}

void CLoupeProcessEngineTask::releaseTarget(Navik::Target* target)
{
    removeSingleRenderTarget(target);
}

void CLoupeProcessEngineTask::sendResult(PixelDataPtr pixels, const QSize&)
{
    invokeOnEngine(m_isInitial ? "loupeInitialImageProcessed" : "loupeResultImageProcessed",
                   Q_ARG(PixelDataPtr, pixels), Q_ARG(QRect, m_rect));
}

// ---------------------------------------------------------------- rotation

CRotationProcessEngineTask::CRotationProcessEngineTask(CProcessEngine& engine,
                                                       RotationDirections::RotationDirectionsEnum step,
                                                       RotationDirections::RotationDirectionsEnum direction)
    : CBaseProcessEngineTask(engine, 0, QRect()),
      m_step(step),
      m_direction(direction),
      m_beforeTask(engine, true, false),
      m_afterTask(engine, false, false)
{
    m_taskId = QStringLiteral("RotationTaskId");
    m_beforeTask.setAutoDelete(false);
    m_afterTask.setAutoDelete(false);
    m_beforeTask.shareCancellation(*this);
    m_afterTask.shareCancellation(*this);
    // The completion goes through the engine, which outlives this task: the
    // pool may delete the task before the queued call arrives.
    QObject* receiver = &engine;
    connect(&m_afterTask, &CBaseProcessEngineTask::processed, receiver, [receiver](bool) {
        QMetaObject::invokeMethod(receiver, "rotationCompleated", Qt::DirectConnection, Q_ARG(bool, true));
    });
}

void CRotationProcessEngineTask::run()
{
    m_beforeTask.run();
    m_afterTask.run();
}

int CRotationProcessEngineTask::priority() const
{
    return 200;
}

bool CRotationProcessEngineTask::answersFor(const CBaseProcessEngineTask* queued) const
{
    return m_beforeTask.isSameTask(queued) || m_afterTask.isSameTask(queued);
}

void CRotationProcessEngineTask::sendResult(PixelDataPtr, const QSize&)
{
}

Navik::Dictionary CRotationProcessEngineTask::buildDictionary()
{
    return {};
}

Navik::Target* CRotationProcessEngineTask::createOrUpdateTarget(const Navik::Dictionary&)
{
    return nullptr;
}
