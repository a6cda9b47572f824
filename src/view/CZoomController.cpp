#include "view/CZoomController.h"

#include "utils/Logger.h"
#include "view/CHandTool.h"
#include "view/CPositionController.h"
#include "view/CViewCoordinatesConverter.h"
#include "view/CZoomComboBox.h"
#include "view/CZoomSlider.h"
#include "view/IViewInterface.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPixmap>
#include <QShortcut>
#include <QToolButton>

#include <memory>

namespace {

std::shared_ptr<CZoomController>& holder()
{
    static std::shared_ptr<CZoomController> s_instance;
    return s_instance;
}

QShortcut* zoomShortcut(const char* keys, QWidget* parent)
{
    auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), parent);
    shortcut->setContext(Qt::WindowShortcut);
    return shortcut;
}

} // namespace

CZoomController* CZoomController::instance()
{
    auto& instance = holder();
    if (!instance)
        instance = std::make_shared<CZoomController>();
    return instance.get();
}

bool CZoomController::hasInstance()
{
    return holder() != nullptr;
}

CZoomController::CZoomController(QWidget* parent)
{
    m_zoomSlider = new CZoomSlider(parent);
    m_zoomSlider->setFocusPolicy(Qt::NoFocus);
    m_zoomSliderWidget = new QWidget(parent);
    m_zoomSliderWidget->setObjectName(QStringLiteral("widget"));

    auto* zoomOut = new QToolButton(parent);
    zoomOut->setMinimumSize(11, 10);
    zoomOut->setMaximumSize(11, 10);
    zoomOut->setObjectName(QStringLiteral("smallLoupe"));
    zoomOut->setFocusPolicy(Qt::NoFocus);
    QShortcut* minus = zoomShortcut("Ctrl+-", m_zoomSliderWidget);
    zoomOut->setToolTip(tr("Zoom Out") + QStringLiteral(" (") + minus->key().toString(QKeySequence::NativeText)
                        + QStringLiteral(")"));
    connect(minus, &QShortcut::activated, this, &CZoomController::onZoomMinus);
    connect(zoomOut, &QToolButton::clicked, this, &CZoomController::onZoomMinus);

    auto* zoomIn = new QToolButton(parent);
    zoomIn->setMinimumSize(17, 16);
    zoomIn->setMaximumSize(17, 16);
    zoomIn->setObjectName(QStringLiteral("bigLoupe"));
    zoomIn->setFocusPolicy(Qt::NoFocus);
    QShortcut* plus = zoomShortcut("Ctrl++", m_zoomSliderWidget);
    // On most layouts + needs Shift while = does not: both zoom in.
    QShortcut* equals = zoomShortcut("Ctrl+=", m_zoomSliderWidget);
    zoomIn->setToolTip(tr("Zoom In") + QStringLiteral(" (") + plus->key().toString(QKeySequence::NativeText)
                       + QStringLiteral(")"));
    connect(plus, &QShortcut::activated, this, &CZoomController::onZoomPlus);
    connect(equals, &QShortcut::activated, this, &CZoomController::onZoomPlus);
    connect(zoomIn, &QToolButton::clicked, this, &CZoomController::onZoomPlus);

    auto* sliderLayout = new QHBoxLayout(m_zoomSliderWidget);
    sliderLayout->addWidget(zoomOut);
    sliderLayout->addSpacing(5);
    sliderLayout->addWidget(m_zoomSlider);
    sliderLayout->addSpacing(5);
    sliderLayout->addWidget(zoomIn);
    sliderLayout->setContentsMargins(0, 0, 0, 0);
    sliderLayout->setSpacing(0);

    m_zoomComboBox = new CZoomComboBox(m_zoomSlider, parent);
    m_zoomComboBox->setFocusPolicy(Qt::ClickFocus);
    m_zoomComboWidget = new QWidget(parent);
    m_zoomComboWidget->setObjectName(QStringLiteral("widget"));
    auto* comboLayout = new QHBoxLayout(m_zoomComboWidget);
    comboLayout->addWidget(m_zoomComboBox);
    comboLayout->setContentsMargins(0, 0, 0, 0);
    comboLayout->setSpacing(0);
    comboLayout->addSpacing(10);

    connect(this, &CZoomController::zoomChanged, m_zoomSlider, &CZoomSlider::onZoomChanged);
    connect(this, &CZoomController::zoomChanged, m_zoomComboBox, &CZoomComboBox::onZoomChanged);
    connect(m_zoomSlider, &QSlider::valueChanged, this, &CZoomController::onZoomChanged);
    connect(m_zoomComboBox, &CZoomComboBox::zoomChanged, this, &CZoomController::onZoomChanged);

    m_doubleClickDelayTimer.setSingleShot(true);
    m_doubleClickDelayTimer.setInterval(300);
    connect(&m_doubleClickDelayTimer, &QTimer::timeout, this, &CZoomController::onDoubleClickDelayTimer);

    registerZoomLevelSource(this);
}

CZoomController::~CZoomController()
{
    unregisterZoomLevelSource(this);
}

void CZoomController::setProcessEngine(IProcessEngine* engine)
{
    m_processEngine = engine;
}

void CZoomController::addView(IViewInterface* view, FitToZoomPriority priority)
{
    m_views.insert(view, priority);
    QObject* source = view->viewWidget();
    connect(source, SIGNAL(fitToViewZoomIsChanged(IViewInterface*)), this,
            SLOT(onFitToViewZoomIsChanged(IViewInterface*)), Qt::UniqueConnection);
    connect(source, SIGNAL(viewActivityChanged(IViewInterface*)), this,
            SLOT(onViewActivityChanged(IViewInterface*)), Qt::UniqueConnection);
    connect(source, SIGNAL(zoomIn(IViewInterface*,QPoint)), this, SLOT(onZoomIn(IViewInterface*,QPoint)),
            Qt::UniqueConnection);
    connect(source, SIGNAL(zoomOut(IViewInterface*,QPoint)), this, SLOT(onZoomOut(IViewInterface*,QPoint)),
            Qt::UniqueConnection);
    connect(source, SIGNAL(zoomChanged(int)), this, SLOT(onZoomChanged(int)), Qt::UniqueConnection);
    connect(source, SIGNAL(updateCenters(IViewInterface*,QSizeF&,QPointF&,QPointF&,bool)), this,
            SLOT(onUpdateCenters(IViewInterface*,QSizeF&,QPointF&,QPointF&,bool)), Qt::UniqueConnection);
    connect(source, SIGNAL(mouseDoubleClickSignal(QMouseEvent*,IViewInterface*)), this,
            SLOT(onMouseDoubleClickEvent(QMouseEvent*,IViewInterface*)), Qt::UniqueConnection);
    // A view that goes is forgotten.
    connect(source, &QObject::destroyed, this, [this, view] { m_views.remove(view); });
}

void CZoomController::resetDoubleClickZoom()
{
    m_doubleClickZoomInitialised = false;
}

std::set<int> CZoomController::zoomSteps() const
{
    std::set<int> steps;
    if (m_minZoom < m_fitZoom)
        steps.insert(m_minZoom);
    steps.insert(m_fitZoom);
    for (int preset : {25, 37, 50, 75}) {
        if (m_fitZoom < preset)
            steps.insert(preset);
    }
    steps.insert({100, 150, 200});
    steps.insert(m_currentZoom);
    return steps;
}

void CZoomController::setViewZoom(bool applyPositions)
{
    for (auto it = m_views.cbegin(); it != m_views.cend(); ++it) {
        if (it.key()->currentViewZoom() != m_currentZoom)
            it.key()->setCurrentViewZoom(m_currentZoom);
    }
    if (applyPositions)
        CPositionController::instance()->onUpdateViewPosition();
}

void CZoomController::onUpdateCenters(IViewInterface* view, QSizeF& offset, QPointF& initialPoint,
                                      QPointF& resultPoint, bool apply)
{
    if (!view)
        return;
    CPositionController* positions = CPositionController::instance();
    for (auto it = m_views.cbegin(); it != m_views.cend(); ++it) {
        IViewInterface* v = it.key();
        const QSizeF scaled(offset.width() / view->width() * v->width(), offset.height() / view->height() * v->height());
        const QPointF& point = v->showsInitialImage() ? initialPoint : resultPoint;
        QPointF position;
        CViewCoordinatesConverter::getXYCenter(v, v->sceneRect(), scaled, point, m_currentZoom, position);
        positions->setViewPosition(v, position.x(), position.y());
    }
    if (apply)
        positions->onUpdateViewPosition();
}

void CZoomController::onUpdateCenters(IViewInterface* view, QSizeF& offset, QPointF& initialPoint,
                                      QPointF& resultPoint)
{
    onUpdateCenters(view, offset, initialPoint, resultPoint, false);
}

void CZoomController::pointsAt(IViewInterface* view, const QPointF& pos, QSizeF* offset, QPointF* initialPoint,
                               QPointF* resultPoint)
{
    *offset = QSizeF(-1, -1);
    *initialPoint = QPointF(0, 0);
    *resultPoint = QPointF(0, 0);
    CViewCoordinatesConverter::getPoints(m_processEngine, view, pos, *offset, *initialPoint, *resultPoint);
}

bool CZoomController::findAnchor(IViewInterface** view, QSizeF* offset, QPointF* initialPoint, QPointF* resultPoint)
{
    for (auto it = m_views.cbegin(); it != m_views.cend(); ++it) {
        if (it.value() == PrimaryView && it.key()->isViewVisible()) {
            *view = it.key();
            pointsAt(*view, QPointF((*view)->width() * 0.5, (*view)->height() * 0.5), offset, initialPoint,
                     resultPoint);
            return true;
        }
    }
    return false;
}

void CZoomController::onFitToViewZoomIsChanged(IViewInterface* view)
{
    ASSERT(view && m_views.contains(view));
    if (!view || !view->isViewVisible())
        return;
    m_minZoom = view->fitToViewZoom();
    for (auto it = m_views.cbegin(); it != m_views.cend(); ++it) {
        IViewInterface* v = it.key();
        if (!v->isViewVisible())
            continue;
        const int fit = v->fitToViewZoom();
        if (it.value() == PrimaryView) {
            if (m_currentZoom == m_fitZoom)
                m_currentZoom = fit;
            m_fitZoom = fit;
        }
        if (fit < m_minZoom)
            m_minZoom = fit;
    }
    m_zoomSlider->onMinZoomChanged();
    m_zoomComboBox->onMinZoomChanged();
    if (m_minZoom > m_currentZoom)
        m_currentZoom = m_minZoom;
    if (m_doubleClickZoom < m_minZoom)
        m_doubleClickZoom = m_minZoom;
    setViewZoom(true);
    emit zoomChanged(m_currentZoom);
}

void CZoomController::onViewActivityChanged(IViewInterface* view)
{
    onFitToViewZoomIsChanged(view);
}

void CZoomController::onZoomIn(IViewInterface* view, QPoint pos)
{
    ASSERT(view && m_views.contains(view));
    const std::set<int> steps = zoomSteps();
    const auto next = steps.upper_bound(m_currentZoom);
    if (next == steps.end() || !view)
        return;
    m_currentZoom = *next;
    QSizeF offset;
    QPointF initialPoint;
    QPointF resultPoint;
    pointsAt(view, QPointF(pos), &offset, &initialPoint, &resultPoint);
    onUpdateCenters(view, offset, initialPoint, resultPoint, false);
    setViewZoom(true);
    emit zoomChanged(m_currentZoom);
}

void CZoomController::onZoomOut(IViewInterface* view, QPoint pos)
{
    ASSERT(view && m_views.contains(view));
    const std::set<int> steps = zoomSteps();
    const auto current = steps.find(m_currentZoom);
    if (current == steps.begin() || !view)
        return;
    m_currentZoom = *std::prev(current);
    QSizeF offset;
    QPointF initialPoint;
    QPointF resultPoint;
    pointsAt(view, QPointF(pos), &offset, &initialPoint, &resultPoint);
    onUpdateCenters(view, offset, initialPoint, resultPoint, false);
    setViewZoom(false);
    emit zoomChanged(m_currentZoom);
    onUpdateCenters(view, offset, initialPoint, resultPoint, false);
    CPositionController::instance()->onUpdateViewPosition();
}

void CZoomController::onZoomChanged(int zoom)
{
    IViewInterface* anchor = nullptr;
    QSizeF offset;
    QPointF initialPoint;
    QPointF resultPoint;
    if (findAnchor(&anchor, &offset, &initialPoint, &resultPoint))
        onUpdateCenters(anchor, offset, initialPoint, resultPoint, false);
    m_currentZoom = zoom;
    setViewZoom(true);
    emit zoomChanged(m_currentZoom);
}

void CZoomController::onZoomDefault()
{
    IViewInterface* anchor = nullptr;
    QSizeF offset;
    QPointF initialPoint;
    QPointF resultPoint;
    if (!findAnchor(&anchor, &offset, &initialPoint, &resultPoint))
        return;
    m_currentZoom = 100;
    setViewZoom(false);
    emit zoomChanged(m_currentZoom);
    onUpdateCenters(anchor, offset, initialPoint, resultPoint, false);
    CPositionController::instance()->onUpdateViewPosition();
}

void CZoomController::onFit()
{
    m_currentZoom = m_fitZoom;
    setViewZoom(false);
    emit zoomChanged(m_currentZoom);
    IViewInterface* anchor = nullptr;
    QSizeF offset;
    QPointF initialPoint;
    QPointF resultPoint;
    if (findAnchor(&anchor, &offset, &initialPoint, &resultPoint))
        onUpdateCenters(anchor, offset, initialPoint, resultPoint, false);
    CPositionController::instance()->onUpdateViewPosition();
}

void CZoomController::onMin()
{
    m_currentZoom = m_minZoom;
    setViewZoom(false);
    emit zoomChanged(m_currentZoom);
}

void CZoomController::onMouseDoubleClickEvent(QMouseEvent* event, IViewInterface* view)
{
    if (!CHandTool::instance()->isHandToolActive() || !view)
        return;
    if (!m_doubleClickZoomInitialised) {
        if (m_fitZoom == 100 && m_doubleClickZoom == 100)
            m_doubleClickZoom = 200;
        m_doubleClickZoomInitialised = true;
    }
    QString cursor;
    if (m_currentZoom == m_fitZoom) {
        m_currentZoom = m_doubleClickZoom;
        QSizeF offset;
        QPointF initialPoint;
        QPointF resultPoint;
        pointsAt(view, event->position(), &offset, &initialPoint, &resultPoint);
        onUpdateCenters(view, offset, initialPoint, resultPoint, false);
        m_applyPositionsAfterDelay = true;
        cursor = QStringLiteral(":/icons/cursors/zoom-in.png");
    } else {
        m_doubleClickZoom = m_currentZoom;
        m_currentZoom = m_fitZoom;
        m_applyPositionsAfterDelay = false;
        cursor = QStringLiteral(":/icons/cursors/zoom-out.png");
    }
    view->setViewCursor(QCursor(QPixmap(cursor), -1, -1), m_doubleClickDelayTimer.interval());
    m_doubleClickDelayTimer.stop();
    m_doubleClickDelayTimer.start();
}

void CZoomController::onDoubleClickDelayTimer()
{
    setViewZoom(m_applyPositionsAfterDelay);
    emit zoomChanged(m_currentZoom);
}

void CZoomController::onZoomMinus()
{
    m_zoomSlider->setValue(m_zoomSlider->value() - 10);
}

void CZoomController::onZoomPlus()
{
    m_zoomSlider->setValue(m_zoomSlider->value() + 10);
}
