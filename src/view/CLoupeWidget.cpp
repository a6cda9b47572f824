#include "view/CLoupeWidget.h"

#include "engine/ImageConversion.h"
#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "view/CLoupeGraphicsView.h"
#include "view/ISceneInterface.h"
#include "view/IViewInterface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char kShadowOn[] = "#loupeWidget #graphicsViewLoupeWidget { border: solid red;border-width: 1px 3px 5px 3px; "
                         "border-image: url(:/icons/loupeShadow/shadow.png) 1px 3px 5px 3px; } ";
const char kShadowOff[] = "#loupeWidget #graphicsViewLoupeWidget { border: none; } ";

// The start of a w-long span of a scroll bar's scene extent at its position.
int spanStart(const QScrollBar* bar, int extent, int w, double rounding)
{
    const int range = bar->maximum() - bar->minimum();
    if (range == 0)
        return 0;
    return int((extent - w) * double(bar->value() - bar->minimum()) / range + rounding);
}

// Each of x, y, width and height rounded half away from zero.
QRect roundedRect(const QRectF& r)
{
    return QRect(int(std::lround(r.x())), int(std::lround(r.y())), int(std::lround(r.width())),
                 int(std::lround(r.height())));
}

} // namespace

CLoupeWidget::CLoupeWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    setObjectName(QStringLiteral("loupeWidget"));
    resize(311, 202);
    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(0, 0, 6, 0);
    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("contentWidget"));
    verticalLayout->addWidget(content);
    // Room a palette gives beyond the panel's height stays below it.
    verticalLayout->addStretch();
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setSpacing(0);
    contentLayout->setContentsMargins(6, 0, 6, 2);

    auto* header = new QWidget(content);
    header->setObjectName(QStringLiteral("header"));
    header->setMinimumSize(0, 30);
    header->setMaximumSize(QWIDGETSIZE_MAX, 30);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setSpacing(0);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    m_checkBoxExpanded = new QCheckBox(header);
    m_checkBoxExpanded->setObjectName(QStringLiteral("checkBoxExpanded"));
    m_checkBoxExpanded->setMinimumSize(10, 8);
    m_checkBoxExpanded->setFocusPolicy(Qt::NoFocus);
    m_checkBoxExpanded->setChecked(true);
    auto* label = new QLabel(tr("Loupe"), header);
    label->setObjectName(QStringLiteral("label"));
    m_comboBox = new QComboBox(header);
    m_comboBox->setObjectName(QStringLiteral("comboBox"));
    m_comboBox->addItems({QStringLiteral("100%"), QStringLiteral("200%")});
    m_comboBox->setMinimumWidth(55);
    m_comboBox->setFocusPolicy(Qt::NoFocus);
    headerLayout->addWidget(m_checkBoxExpanded);
    headerLayout->addWidget(label);
    headerLayout->addStretch();
    headerLayout->addWidget(m_comboBox);
    contentLayout->addWidget(header);

    m_expandedWidget = new QWidget(content);
    m_expandedWidget->setObjectName(QStringLiteral("expandedWidget"));
    auto* expandedLayout = new QVBoxLayout(m_expandedWidget);
    expandedLayout->setContentsMargins(0, 0, 0, 6);
    auto* frame = new QWidget(m_expandedWidget);
    frame->setObjectName(QStringLiteral("graphicsViewLoupeWidget"));
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(3, 1, 3, 5);
    m_view = new CLoupeGraphicsView(frame);
    m_view->setObjectName(QStringLiteral("graphicsViewLoupe"));
    m_view->setMinimumHeight(135);
    m_view->setMaximumHeight(135);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setFrameShape(QFrame::NoFrame);
    grid->addWidget(m_view, 0, 0);
    expandedLayout->addWidget(frame);
    m_checkBoxAdvancedMode = new QCheckBox(tr("Display only tools actions"), m_expandedWidget);
    m_checkBoxAdvancedMode->setObjectName(QStringLiteral("checkBoxAdvancedMode"));
    m_checkBoxAdvancedMode->setFocusPolicy(Qt::NoFocus);
    expandedLayout->addWidget(m_checkBoxAdvancedMode);
    contentLayout->addWidget(m_expandedWidget);

    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, this, &CLoupeWidget::onScrollBarsChanged);
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, &CLoupeWidget::onScrollBarsChanged);
    m_scrollBarsTimer.setSingleShot(true);
    m_scrollBarsTimer.setInterval(100);
    connect(&m_scrollBarsTimer, &QTimer::timeout, this, &CLoupeWidget::onscrollBarsTimer);
    m_view->setInteractive(false);

    m_expandedWidget->setVisible(m_checkBoxExpanded->isChecked());
    connect(m_checkBoxExpanded, &QCheckBox::toggled, this, &CLoupeWidget::onSetExpanded);
    connect(m_comboBox, qOverload<int>(&QComboBox::currentIndexChanged), this, &CLoupeWidget::onZoomLevelChanged);
    connect(m_checkBoxAdvancedMode, &QCheckBox::toggled, this, &CLoupeWidget::onAdvansedMode);
    loadSettings();
    ASSERT(m_view->objectName() == QLatin1String("graphicsViewLoupe"));
}

CLoupeWidget::~CLoupeWidget()
{
    saveSettings();
}

void CLoupeWidget::loadSettings()
{
    NAVIK_tarl1::CSettings settings;
    m_checkBoxExpanded->setChecked(settings.value(QStringLiteral("app_loupeExpanded"), true).toBool());
    m_checkBoxAdvancedMode->setChecked(settings.value(QStringLiteral("app_loupeAdvanceMode"), true).toBool());
    m_comboBox->setCurrentIndex(
        NAVIK_tarl1::getSettingsInt(QStringLiteral("app_loupeZoom"), 0, 0, m_comboBox->count() - 1));
}

void CLoupeWidget::saveSettings()
{
    NAVIK_tarl1::CSettings settings;
    settings.setValue(QStringLiteral("app_loupeExpanded"), m_checkBoxExpanded->isChecked());
    settings.setValue(QStringLiteral("app_loupeAdvanceMode"), m_checkBoxAdvancedMode->isChecked());
    settings.setValue(QStringLiteral("app_loupeZoom"), m_comboBox->currentIndex());
}

void CLoupeWidget::setBeforeScene(ISceneInterface* scene)
{
    watchPictureSize(m_beforeScene, scene, true);
    m_beforeScene = scene;
}

void CLoupeWidget::setAfterScene(ISceneInterface* scene)
{
    watchPictureSize(m_afterScene, scene, false);
    m_afterScene = scene;
}

void CLoupeWidget::watchPictureSize(ISceneInterface* old, ISceneInterface* scene, bool initial)
{
    if (auto* oldScene = dynamic_cast<QGraphicsScene*>(old))
        disconnect(oldScene, &QGraphicsScene::sceneRectChanged, this, nullptr);
    // Queued: the tools over the picture (a crop's mask) follow its new size
    // first.
    if (auto* graphicsScene = dynamic_cast<QGraphicsScene*>(scene))
        connect(
            graphicsScene, &QGraphicsScene::sceneRectChanged, this, [this, initial] { onPictureResized(initial); },
            Qt::QueuedConnection);
}

void CLoupeWidget::onPictureResized(bool initial)
{
    // The loupe rests on a part of the picture as it was, with the tools
    // drawn as they were over it (a crop's mask before the crop was
    // applied). It shows the same part of the picture as it is now, its
    // centre where it was in proportion to the whole, and asks for it at
    // full resolution.
    auto* scene = dynamic_cast<QGraphicsScene*>(initial ? m_beforeScene : m_afterScene);
    if (!scene || !m_view->isFrozen() || m_isLastRectInitial != initial || m_lastLoupeRect.isEmpty()
        || m_lastSceneRect.isEmpty())
        return;
    const QRectF now = scene->sceneRect();
    if (now.isEmpty() || now == m_lastSceneRect)
        return;
    const QPointF centre = m_lastLoupeRect.center() - m_lastSceneRect.topLeft();
    const QPointF point(now.x() + centre.x() / m_lastSceneRect.width() * now.width(),
                        now.y() + centre.y() / m_lastSceneRect.height() * now.height());
    QGraphicsScene* const shown = m_view->scene();
    showScenePoint(point, initial);
    requestHiResLoupeRect();
    // The pointer stays where it was: out of the views, the scene is kept
    // for the tools of the result only.
    if (m_view->scene() != shown) {
        if (!shown)
            m_lastScene = m_view->scene();
        m_view->setScene(shown);
    }
}

void CLoupeWidget::connectToView(IViewInterface* view)
{
    QObject* source = view->viewWidget();
    connect(source, SIGNAL(mouseEnteredOnView(bool)), this, SLOT(onMouseEnteredOnView(bool)));
    connect(source, SIGNAL(mouseLeavedFromView()), this, SLOT(onMouseLeavedFromView()));
    connect(source, SIGNAL(mouseOnScenePoint(QPointF,bool,bool)), this, SLOT(onMouseOnScenePoint(QPointF,bool,bool)));
    connect(source, SIGNAL(mouseLeaveScene()), this, SLOT(onMouseLeaveScene()));
    connect(source, SIGNAL(mousePressSignal(QMouseEvent*,IViewInterface*)), this, SLOT(onMousePressed(QMouseEvent*)));
    connect(source, SIGNAL(mouseReleaseSignal(QMouseEvent*,IViewInterface*)), this, SLOT(onMouseReleased()));
}

bool CLoupeWidget::isAdvancedMode() const
{
    return m_checkBoxAdvancedMode->isChecked();
}

bool CLoupeWidget::sceneIsBefore() const
{
    return m_beforeScene && m_view->scene() == static_cast<QGraphicsScene*>(m_beforeScene);
}

void CLoupeWidget::resetBeforeOpen()
{
    m_isMousePressed = false;
    m_scrollBarsTimer.stop();
    m_view->reset();
    m_isToolActive = false;
    m_lastSceneRect = QRectF();
    m_lastLoupeRect = QRectF();
    m_lastScene = nullptr;
    m_plainPicture = QPixmap();
    m_refreshAfterRender = false;
    showShadow(false);
}

void CLoupeWidget::showImageCenter()
{
    showShadow(true);
    onMouseEnteredOnView(true);
    if (m_beforeScene)
        showScenePoint(m_beforeScene->sceneRect().center(), true);
}

void CLoupeWidget::onMouseEnteredOnView(bool initial)
{
    QGraphicsScene* scene = initial ? static_cast<QGraphicsScene*>(m_beforeScene) : m_afterScene;
    if (m_view->scene() != scene)
        m_view->setScene(scene);
}

void CLoupeWidget::showScenePoint(const QPointF& point, bool initial)
{
    onMouseEnteredOnView(initial);
    m_view->setLoupePixmap(QPixmap());
    m_plainPicture = QPixmap();
    m_view->unfreeze();
    m_isLoupeRectRequested = false;
    m_refreshAfterRender = false;
    if (QGraphicsScene* scene = m_view->scene()) {
        m_view->centerOn(point);
        const QRectF rect = scene->sceneRect();
        showShadow(rect.width() >= m_view->width() && rect.height() >= m_view->height());
    }
}

void CLoupeWidget::onMouseOnScenePoint(QPointF point, bool initial, bool active)
{
    if (isAdvancedMode() && !(active && (m_isToolActive || m_isHandToolActive)))
        return;
    showScenePoint(point, initial);
}

QRect CLoupeWidget::getHiResLoupeRect(const QRectF& sceneRect) const
{
    const int w = int(m_view->viewport()->width() / m_zoomFactor + 0.5);
    const int h = int(m_view->viewport()->height() / m_zoomFactor + 0.5);
    const int x = spanStart(m_view->horizontalScrollBar(), int(sceneRect.width()), w, 0.0);
    const int y = spanStart(m_view->verticalScrollBar(), int(sceneRect.height()), h, 0.5);
    return QRect(x, y, w, h);
}

void CLoupeWidget::requestHiResLoupeRect()
{
    m_view->freeze();
    if (m_isLoupeRectRequested || !m_view->scene())
        return;
    const QRect rect = getHiResLoupeRect(m_view->sceneRect());
    emit processLoupeRect(sceneIsBefore(), rect);
    m_isLoupeRectRequested = true;
    m_lastLoupeRect = QRectF(rect);
    m_isLastRectInitial = sceneIsBefore();
    m_lastSceneRect = m_view->sceneRect();
}

void CLoupeWidget::clearHiResPicture()
{
    m_view->setLoupePixmap(QPixmap());
    m_plainPicture = QPixmap();
    m_view->unfreeze();
    m_isLoupeRectRequested = false;
}

void CLoupeWidget::onScrollBarsChanged()
{
    if (!m_view->scene())
        return;
    if (!m_scrollBarsTimer.isActive())
        m_scrollBarsTimer.start();
    m_lastScrollBarsChange.start();
}

void CLoupeWidget::onscrollBarsTimer()
{
    if (m_lastScrollBarsChange.isValid() && m_lastScrollBarsChange.elapsed() < 200) {
        m_scrollBarsTimer.start();
        return;
    }
    if (m_view->scene())
        emit processLoupeRect(sceneIsBefore(), getHiResLoupeRect(m_view->sceneRect()));
}

void CLoupeWidget::onMouseLeavedFromView()
{
    requestHiResLoupeRect();
    m_lastScene = m_view->scene();
    m_view->setScene(nullptr);
}

void CLoupeWidget::onMouseLeaveScene()
{
    requestHiResLoupeRect();
}

void CLoupeWidget::onToolStateIsChanged(bool active)
{
    m_isToolActive = active;
    // The handles and lines drawn over the picture follow the tool: gone
    // once it closed, where a reset put them while it stays open.
    showPlainPictureWithTools();
    if (!active && isAdvancedMode() && !m_isHandToolActive)
        requestHiResLoupeRect();
}

void CLoupeWidget::onEnterHandTool()
{
    m_isHandToolActive = true;
}

void CLoupeWidget::onLeaveHandTool()
{
    if (!m_isHandToolActive)
        return;
    m_isHandToolActive = false;
    if (isAdvancedMode() && !m_isToolActive)
        requestHiResLoupeRect();
}

void CLoupeWidget::onMousePressed(QMouseEvent* event)
{
    if (event->buttons().testFlag(Qt::LeftButton))
        m_isMousePressed = true;
}

void CLoupeWidget::onMouseReleased()
{
    m_isMousePressed = false;
    if (isAdvancedMode())
        requestHiResLoupeRect();
}

void CLoupeWidget::onAdvansedMode(bool checked)
{
    if (checked && !(m_isMousePressed && (m_isToolActive || m_isHandToolActive)))
        requestHiResLoupeRect();
}

void CLoupeWidget::onZoomLevelChanged(int index)
{
    m_view->scale(1.0 / m_zoomFactor, 1.0 / m_zoomFactor);
    m_zoomFactor = index == 1 ? 2.0 : 1.0;
    m_view->scale(m_zoomFactor, m_zoomFactor);
    if (m_lastLoupeRect.width() == 0 && m_lastLoupeRect.height() == 0)
        return;
    QRectF& r = m_lastLoupeRect;
    if (index == 1) {
        r = QRectF(r.x() + r.width() / 4, r.y() + r.height() / 4, r.width() / 2, r.height() / 2);
    } else {
        r = QRectF(r.x() - r.width() / 2, r.y() - r.height() / 2, 2 * r.width(), 2 * r.height());
        if (r.right() > m_lastSceneRect.right())
            r.moveLeft(r.x() - (r.right() - m_lastSceneRect.right()));
        if (r.x() < 0)
            r.moveLeft(0);
        if (r.bottom() > m_lastSceneRect.bottom())
            r.moveTop(r.y() - (r.bottom() - m_lastSceneRect.bottom()));
        if (r.y() < 0)
            r.moveTop(0);
    }
    emit processLoupeRect(m_isLastRectInitial, roundedRect(r));
}

void CLoupeWidget::onLoupeImageProcessed(const PixelDataPtr& data, QRect rect)
{
    if (!data || int(data->GetWidth()) != rect.width() || int(data->GetHeight()) != rect.height()) {
        ASSERT(false);
        return;
    }
    LOG_MESSAGE('D', "Try to convert Navik image to Qt image");
    const QImage image = pixelDataToQImage(data);
    LOG_MESSAGE('D', "Try to convert Qt image to Qt pixmap");
    m_plainPicture = QPixmap::fromImage(image);
    m_plainRect = rect;
    m_plainFactor = int(m_zoomFactor);
    showPlainPictureWithTools();
}

void CLoupeWidget::refreshShownPicture()
{
    m_refreshAfterRender = requestShownPictureAgain();
}

void CLoupeWidget::onResultRendered()
{
    if (!m_refreshAfterRender)
        return;
    m_refreshAfterRender = false;
    requestShownPictureAgain();
}

bool CLoupeWidget::requestShownPictureAgain()
{
    if (m_view->isFrozen()) {
        // At rest: the picture asked for when the loupe stopped, with the
        // tools drawn over it as they were then.
        if (m_lastLoupeRect.isEmpty())
            return false;
        if (m_plainPicture.isNull() && m_view->scene()) {
            // No full-resolution picture came: the frozen one is the scene
            // as it was, taken again as it is.
            m_view->unfreeze();
            m_view->freeze();
        }
        showPlainPictureWithTools();
        emit processLoupeRect(m_isLastRectInitial, roundedRect(m_lastLoupeRect));
        return true;
    }
    // Following the pointer, the loupe shows the scene itself, which is up to
    // date; only a full-resolution picture laid over it is not.
    if (!m_view->scene() || m_plainPicture.isNull())
        return false;
    showPlainPictureWithTools();
    emit processLoupeRect(sceneIsBefore(), getHiResLoupeRect(m_view->sceneRect()));
    return true;
}

void CLoupeWidget::showPlainPictureWithTools()
{
    if (m_plainPicture.isNull())
        return;
    QPixmap picture = m_plainPicture;
    QPixmap tools;
    if (auto* scene = dynamic_cast<ISceneInterface*>(m_view->scene()))
        tools = scene->getToolsPixmap(m_plainRect);
    else if (auto* last = dynamic_cast<ISceneInterface*>(m_lastScene))
        tools = last->getToolsPixmap(m_plainRect);
    if (!tools.isNull()) {
        ASSERT(tools.width() == picture.width() && tools.height() == picture.height());
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, tools);
    }
    picture = picture.scaled(picture.width() * m_plainFactor, picture.height() * m_plainFactor, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    m_view->setLoupePixmap(picture);
}

void CLoupeWidget::onSetExpanded(bool expanded)
{
    m_expandedWidget->setVisible(expanded);
}

void CLoupeWidget::showShadow(bool show)
{
    const QString sheet = QString::fromLatin1(show ? kShadowOn : kShadowOff);
    if (styleSheet() != sheet)
        setStyleSheet(sheet);
}

void CLoupeWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit heightIsChanged(height() + 2);
}

void CLoupeWidget::showEvent(QShowEvent* event)
{
    if (m_isFirstShow) {
        m_isFirstShow = false;
        const bool visible = m_expandedWidget->isVisibleTo(this);
        m_expandedWidget->show();
        m_expandedWidget->setVisible(visible);
    }
    QWidget::showEvent(event);
}
