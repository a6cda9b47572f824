#include "view/CBeforeAfterView.h"

#include "shell/IMainWindowInterface.h"
#include "utils/Logger.h"
#include "view/CViewCoordinatesConverter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace {

const QString kNoCorrection = QStringLiteral("Empty_Correction_ID");

CBeforeAfterView::CorrectionNameQuery& correctionNameQuery()
{
    static CBeforeAfterView::CorrectionNameQuery s_query;
    return s_query;
}

} // namespace

CBeforeAfterView::CBeforeAfterView(QWidget* parent)
    : CBaseGraphicsView(parent)
{
    setShowsInitialImage(false);
}

void CBeforeAfterView::setCorrectionNameQuery(CorrectionNameQuery query)
{
    correctionNameQuery() = std::move(query);
}

QString CBeforeAfterView::currentCorrectionName() const
{
    const CorrectionNameQuery& query = correctionNameQuery();
    return query && m_host ? query(m_host) : kNoCorrection;
}

void CBeforeAfterView::initialize(bool haloOn, ICorrectionModuleHost* host, IMainWindowInterface* mainWindow,
                                  IProcessEngine* engine)
{
    m_host = host;
    CBaseGraphicsView::initialize(haloOn, mainWindow, engine);
}

void CBeforeAfterView::setOtherScene(QGraphicsScene* scene)
{
    m_otherScene = scene;
}

void CBeforeAfterView::setSceneSwitchingDisabled(bool disabled)
{
    m_switchingDisabled = disabled;
}

void CBeforeAfterView::onVisibleRectChanged(bool delayed)
{
    if (m_otherSceneShown)
        return;
    CBaseGraphicsView::onVisibleRectChanged(delayed);
}

bool CBeforeAfterView::switchToOtherScene(const QPoint& pos)
{
    LOG_TRACE();
    if (currentCorrectionName() != kNoCorrection || m_switchingDisabled || !m_otherScene || m_ownScene
        || !scene() || scene()->mouseGrabberItem())
        return false;
    if (engine())
        CViewCoordinatesConverter::getPoints(engine(), this, QPointF(pos), m_conversionSize, m_firstCenter,
                                             m_secondCenter);
    setShowsInitialImage(true);
    m_savedVerticalValue = verticalScrollBar()->value();
    m_savedHorizontalValue = horizontalScrollBar()->value();
    LOG_MESSAGE('D', "mousePressEvent fadeView");
    m_ownScene = scene();
    m_otherSceneShown = true;
    m_zoomWasFit = currentViewZoom() == fitToViewZoom() && !otherVisibleView();
    setAndConnectScene(m_otherScene);
    if (m_zoomWasFit)
        setCurrentViewZoom(fitToViewZoom());
    emit updateCenters(this, m_conversionSize, m_firstCenter, m_secondCenter, true);
    // One sharp render of the scene now shown, then none while flipped.
    m_otherSceneShown = false;
    setVisibleRect(QRect());
    onVisibleRectChanged(false);
    m_otherSceneShown = true;
    LOG_MESSAGE('D', "mousePressEvent unfadeView");
    suppressProcessingIndication();
    emit switchedToOtherScene();
    return true;
}

bool CBeforeAfterView::switchToThisScene()
{
    LOG_TRACE();
    if (!m_ownScene)
        return false;
    setShowsInitialImage(false);
    setAndConnectScene(m_ownScene);
    if (m_zoomWasFit) {
        setCurrentViewZoom(fitToViewZoom());
        m_zoomWasFit = false;
    }
    verticalScrollBar()->setValue(m_savedVerticalValue);
    horizontalScrollBar()->setValue(m_savedHorizontalValue);
    emit updateCenters(this, m_conversionSize, m_firstCenter, m_secondCenter, false);
    m_otherSceneShown = false;
    setVisibleRect(QRect());
    onVisibleRectChanged(false);
    m_ownScene = nullptr;
    suppressProcessingIndication();
    emit switchedToThisScene();
    return true;
}

void CBeforeAfterView::processKeyPress(QKeyEvent* event)
{
    if (!event->modifiers().testFlag(Qt::ControlModifier) || event->key() != Qt::Key_D)
        return;
    if ((mainWindow() && mainWindow()->isHandToolActive()) || m_keyFlipActive)
        return;
    m_keyFlipActive = true;
    if (switchToOtherScene(QPoint(width() / 2, height() / 2)))
        event->accept();
}

void CBeforeAfterView::processKeyRelease(QKeyEvent* event)
{
    if (!m_keyFlipActive)
        return;
    m_keyFlipActive = false;
    if (switchToThisScene())
        event->accept();
}

void CBeforeAfterView::mousePressEvent(QMouseEvent* event)
{
    CBaseGraphicsView::mousePressEvent(event);
    if (!pressAcceptedByScene() && event->buttons() == Qt::LeftButton && switchToOtherScene(event->position().toPoint()))
        event->accept();
}

void CBeforeAfterView::mouseReleaseEvent(QMouseEvent* event)
{
    CBaseGraphicsView::mouseReleaseEvent(event);
    switchToThisScene();
}

void CBeforeAfterView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton) {
        switchToThisScene();
        if (switchToOtherScene(event->position().toPoint()))
            return;
    }
    CBaseGraphicsView::mouseDoubleClickEvent(event);
}
