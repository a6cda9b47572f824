// The main window's construction and wiring, the view switches, the size
// strips under the views and the window's own undo state.

#include "mainwindow/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "crop/CCropCorrection.h"
#include "mainwindow/CRecentFiles.h"
#include "mainwindow/CRecentFilesWidget.h"
#include "mainwindow/CSettingsWidget.h"
#include "perspective/CHorizonCorrection.h"
#include "perspective/CKeystoningCorrection.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "ui_MainWindow.h"
#include "utils/CMessageBox.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"
#include "utils/SharedConstants.h"
#include "utils/SizeText.h"
#include "utils/StyleSheets.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CHandTool.h"
#include "view/CSlider.h"
#include "view/CZoomComboBox.h"
#include "view/CZoomController.h"
#include "view/ICorrectionPanelModule.h"

#include <QApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMouseEvent>
#include <QToolButton>

using namespace NAVIK_tarl1;

namespace {

const QString kViewBackgroundStyle = QStringLiteral(
    "QMainWindow#MainWindow QStackedWidget, QWidget#page_3, QWidget#page_4,QWidget#correctionToolPane, "
    "CHorizonToolPane, CKeystoningToolPane, CCropToolPane{background-color: rgb(%1, %1, %1); background-image: "
    "url(:/icons/background_grain.png);}QGraphicsView{background-color: rgb(%1, %1, %1); border: none; "
    "background-image: url(:/icons/background_grain.png);}");

constexpr int kDefaultBackgroundGrey = 68;

} // namespace

CMainWindow::CMainWindow(CBaseApplication* app, QWidget* parent)
    : CBaseMainWindow(app, parent)
    , ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    initResetAllButton();
    m_recentFiles = new CRecentFiles(this, this);
    ui->recentFilesWidget->setRecentFilesProvider(m_recentFiles);
    connect(ui->recentFilesWidget, &CRecentFilesWidget::openOtherFile, this,
            qOverload<>(&CMainWindow::saveOldAndOpenNewFile));
    ui->bottomToolBar->hide();
    // Native full screen is the window manager's; the window is told when it
    // changes.
    const long windowId = long(winId());
    MacOSSetBehaviorForExpose(windowId);
    ui->horizontalLayout->insertSpacing(1, 10);
    ui->horizontalLayout->insertSpacing(5, 10);
    ui->correctionToolPane->setProperty("isPluginMode", m_application->isPluginMode());
    setupActions();
    setAcceptDrops(true);
    setWindowTitle(g_appTitle);
    ui->correctionToolPane->hide();
    initFullScreenButton();
    qApp->installEventFilter(this);

    // Every panel frame sends its undo requests to the undo controller.
    setUndoControllerProvider([] { return static_cast<QObject*>(CUndoController::instance().get()); });
    // The views ask the module host which correction is current.
    CBeforeAfterView::setCorrectionNameQuery(
        [](ICorrectionModuleHost* host) { return host->currentCorrectionName(); });

    m_afterScene = new CBaseGraphicsScene(false, this);
    connect(m_afterScene, &QGraphicsScene::sceneRectChanged, this, &CMainWindow::onAfterSceneRectChanged);
    m_beforeScene = new CBaseGraphicsScene(true, this);
    loadViewBackground();
    initGraphicsViews();

    IProcessEngine* processEngine = engine();
    QObject* engineObject = processEngine->getQObject();
    CZoomController* zoom = CZoomController::instance();
    zoom->setProcessEngine(processEngine);
    zoom->addView(ui->graphicsViewSingle, CZoomController::PrimaryView);
    zoom->addView(ui->graphicsViewDBefore, CZoomController::PrimaryView);
    zoom->addView(ui->graphicsViewDAfter, CZoomController::SecondaryView);

    CHandTool* hand = CHandTool::instance();
    hand->setProcessEngine(processEngine);
    hand->setActions(ui->actionHandTool, ui->actionFastPreview);
    hand->addView(ui->graphicsViewSingle);
    hand->addView(ui->graphicsViewDBefore);
    hand->addView(ui->graphicsViewDAfter);

    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    connect(engineObject, SIGNAL(processingStarted()), this, SLOT(onStartImageProcessing()));
    connect(engineObject, SIGNAL(processingError(int)), this, SLOT(onImageProcessingError(int)));
    connect(engineObject, SIGNAL(processingFinished()), this, SLOT(onFinishImageProcessing()));
    connect(engineObject, SIGNAL(initialImageSizeChanged(QSize)), this, SLOT(onInitialImageSizeChanged(QSize)));
    connect(engineObject, SIGNAL(ceParamsChanged()), this, SLOT(onCEParamsChanged()));
    connect(host, &CCorrectionModuleHost::correctionOrModuleStateIsChanged, this,
            &CMainWindow::onCorrectionOrModuleStateIsChanged);

    initLoupe();

    host->initialize(ui->graphicsViewDBefore->scene(), ui->graphicsViewDAfter->scene());
    const std::shared_ptr<CUndoController> undo = CUndoController::instance();
    undo->setProcessEngine(processEngine);
    undo->addSerializableObject(this);
    undo->addSerializableObject(processEngine);
    undo->addSerializableObject(host);

    auto* globalData = const_cast<CBaseCorrectionGlobalData*>(m_application->correctionGlobalData());
    host->addCorrectionModule(std::make_shared<CHorizonCorrection>(globalData, 4));
    host->addCorrectionModule(std::make_shared<CKeystoningCorrection>(globalData, 3));
    m_cropModule = std::make_shared<CCropCorrection>(5);
    connect(this, &CMainWindow::updateCropSizeLabelUnits, m_cropModule.get(),
            &CCropCorrection::onUpdateCropSizeLabelUnits);
    host->addCorrectionModule(m_cropModule);

    ui->graphicsViewDBefore->initialize(false, this, processEngine);
    ui->graphicsViewDAfter->initialize(false, host, this, processEngine);
    ui->graphicsViewSingle->initialize(false, host, this, processEngine);
    for (CBaseGraphicsView* view : {static_cast<CBaseGraphicsView*>(ui->graphicsViewDBefore),
                                    static_cast<CBaseGraphicsView*>(ui->graphicsViewDAfter),
                                    static_cast<CBaseGraphicsView*>(ui->graphicsViewSingle)})
        connect(view, &CBaseGraphicsView::moveCentersToPointOfScene, hand, &CHandTool::onMoveCentersToPointOfScene);

    initRecentFiles();
    initViewToolBar();
    ui->settingsWidget->addCorrectionModules(host->correctionModules(), host);
    // The wheel over a slider that was not clicked scrolls the palette.
    for (CSlider* slider : ui->settingsWidget->findChildren<CSlider*>())
        slider->setScrollArea(ui->scrollArea);
    initDocks();
    setCustomStyleSheet(this, false, QString());
    onShowImageSizePropertyIsChanged();
    connect(engineObject, SIGNAL(trasformOutParamsSignalWasSent()), undo.get(), SLOT(onUpdateLastCommand()));
    initScripting();

    if (m_application->isPluginMode()) {
        onViewSingle();
    } else {
        ui->actionViewSingle->setEnabled(false);
        ui->actionViewDouble->setEnabled(false);
        ui->stackedWidget->setCurrentWidget(ui->recentFilesPage);
    }
}

CMainWindow::~CMainWindow()
{
    qApp->removeEventFilter(this);
}

IProcessEngine* CMainWindow::engine() const
{
    return CBaseApplication::processEngine();
}

void CMainWindow::initResetAllButton()
{
    if (!ui->dockWidgetSettings)
        return;
    QToolButton* button = ui->dockWidgetSettings->addTitleButton(
        QSize(14, 14), tr("Reset all corrections") + QLatin1Char(' '), QStringLiteral("resetAllCorrections"));
    connect(button, &QToolButton::clicked, this, &CMainWindow::onResetAll);
}

void CMainWindow::initFullScreenButton()
{
    const QString folder = QStringLiteral(":/icons/fullScreen/");
    for (const auto& [icon, name] : {std::pair<QIcon*, QString>(&m_fullScreenIcon, QStringLiteral("fullscreen")),
                                     std::pair<QIcon*, QString>(&m_minimizeIcon, QStringLiteral("minimize"))}) {
        icon->addFile(folder + name + QStringLiteral(".png"), QSize(), QIcon::Normal, QIcon::Off);
        icon->addFile(folder + name + QStringLiteral("-disabled.png"), QSize(), QIcon::Disabled, QIcon::Off);
        icon->addFile(folder + name + QStringLiteral("-active.png"), QSize(), QIcon::Active, QIcon::Off);
        icon->addFile(folder + name + QStringLiteral("-hover.png"), QSize(), QIcon::Selected, QIcon::Off);
    }
    m_fullScreenButton = new QToolButton(ui->toolBar);
    m_fullScreenButton->setObjectName(QStringLiteral("fullScreenButton"));
    m_fullScreenButton->setFocusPolicy(Qt::NoFocus);
    m_fullScreenButton->setIcon(m_fullScreenIcon);
    const QList<QSize> sizes = m_fullScreenIcon.availableSizes(QIcon::Normal, QIcon::Off);
    if (!sizes.isEmpty()) {
        m_fullScreenButton->setIconSize(sizes.first());
        m_fullScreenButton->setFixedSize(sizes.first());
    }
    connect(m_fullScreenButton, &QToolButton::clicked, this, &CMainWindow::onChangeScreenMode);
    m_fullScreenButton->setToolTip(ui->actionFull_Screen->toolTip() + QStringLiteral(" (")
                                   + ui->actionFull_Screen->shortcut().toString(QKeySequence::PortableText)
                                   + QLatin1Char(')'));
}

void CMainWindow::loadViewBackground()
{
    const int grey = CSettings().value(QStringLiteral("sceneBackgroundColor"), kDefaultBackgroundGrey).toInt();
    ui->stackedWidget->setStyleSheet(kViewBackgroundStyle.arg(grey));
}

void CMainWindow::setBackgroundColor(int)
{
    loadViewBackground();
}

void CMainWindow::initGraphicsViews()
{
    ui->graphicsViewDAfter->setAndConnectScene(m_afterScene);
    ui->graphicsViewDAfter->setHaloMode(1);
    ui->graphicsViewSingle->setAndConnectScene(m_afterScene);
    ui->graphicsViewSingle->setHaloMode(2);
    ui->graphicsViewDBefore->setAndConnectScene(m_beforeScene);
    ui->graphicsViewDBefore->setHaloMode(0);
    ui->graphicsViewDAfter->setOtherScene(m_beforeScene);
    ui->graphicsViewSingle->setOtherScene(m_beforeScene);
    ui->graphicsViewDBefore->setShowsInitialImage(true);
    ui->graphicsViewDBefore->setShowBeforeAfterCaption(true);
    ui->graphicsViewDAfter->setShowBeforeAfterCaption(true);
    m_views = {ui->graphicsViewSingle, ui->graphicsViewDAfter, ui->graphicsViewDBefore};

    const std::pair<CShadowPage*, CBaseGraphicsView*> pages[] = {{ui->page_3, ui->graphicsViewSingle},
                                                                 {ui->widgetGVAfter, ui->graphicsViewDAfter},
                                                                 {ui->widgetGVBefore, ui->graphicsViewDBefore}};
    for (const auto& [page, view] : pages) {
        page->setView(view);
        connect(view, &CBaseGraphicsView::visibleRectChanged, page, qOverload<>(&QWidget::update));
    }

    QObject* engineObject = engine()->getQObject();
    for (CBaseGraphicsView* view : {static_cast<CBaseGraphicsView*>(ui->graphicsViewDBefore),
                                    static_cast<CBaseGraphicsView*>(ui->graphicsViewDAfter),
                                    static_cast<CBaseGraphicsView*>(ui->graphicsViewSingle)}) {
        connect(view, &CBaseGraphicsView::mousePressSignal, this, &CMainWindow::onMousePressInView);
        connect(view, &CBaseGraphicsView::mouseReleaseSignal, this, &CMainWindow::onMouseReleaseInView);
    }
    for (CBeforeAfterView* view : {ui->graphicsViewSingle, ui->graphicsViewDAfter}) {
        connect(view, &CBeforeAfterView::switchedToThisScene, this, &CMainWindow::onAfterViewIsSwithedToThisScene);
        connect(view, &CBeforeAfterView::switchedToOtherScene, this, &CMainWindow::onAfterViewIsSwithedToOtherScene);
    }
    for (CBaseGraphicsView* view : {static_cast<CBaseGraphicsView*>(ui->graphicsViewSingle),
                                    static_cast<CBaseGraphicsView*>(ui->graphicsViewDBefore),
                                    static_cast<CBaseGraphicsView*>(ui->graphicsViewDAfter)}) {
        connect(engineObject, SIGNAL(processingStarted()), view, SLOT(onProcessingStarted()));
        connect(engineObject, SIGNAL(processingFinished()), view, SLOT(onProcessingFinished()));
    }
}

void CMainWindow::initLoupe()
{
    CLoupeWidget* loupe = ui->loupeWidget;
    loupe->setBeforeScene(m_beforeScene);
    loupe->setAfterScene(m_afterScene);
    loupe->connectToView(ui->graphicsViewDAfter);
    loupe->connectToView(ui->graphicsViewSingle);
    loupe->connectToView(ui->graphicsViewDBefore);
    QObject* engineObject = engine()->getQObject();
    connect(engineObject, SIGNAL(loupeResultImageProcessed(PixelDataPtr,QRect)), loupe,
            SLOT(onLoupeImageProcessed(PixelDataPtr,QRect)));
    connect(engineObject, SIGNAL(loupeInitialImageProcessed(PixelDataPtr,QRect)), loupe,
            SLOT(onLoupeImageProcessed(PixelDataPtr,QRect)));
    connect(loupe, SIGNAL(processLoupeRect(bool,QRect)), engineObject, SLOT(processLoupeRect(bool,QRect)));
    connect(engineObject, SIGNAL(trasformOutParamsSignalWasSent()), loupe, SLOT(onResultRendered()));
    connect(this, SIGNAL(toolStateIsChanged(bool)), loupe, SLOT(onToolStateIsChanged(bool)));
    connect(CHandTool::instance(), SIGNAL(handToolActivated()), loupe, SLOT(onEnterHandTool()));
    connect(CHandTool::instance(), SIGNAL(handToolDeactivated()), loupe, SLOT(onLeaveHandTool()));
}

void CMainWindow::initRecentFiles()
{
    if (m_application->isPluginMode()) {
        ui->actionRecent_images->setEnabled(false);
        ui->actionRecent_images->setVisible(false);
        return;
    }
    connect(m_recentFiles, &CRecentFiles::openFile, this, &CMainWindow::onRecentFileClick);
    m_recentFiles->setMenuAction(ui->actionRecent_images);
    ui->actionRecent_images->setMenu(m_recentFiles);
}

void CMainWindow::initViewToolBar()
{
    QToolBar* bar = ui->toolBar;
    bar->setIconSize(QSize(34, 34));
    bar->setFixedHeight(41);
    CZoomController* zoom = CZoomController::instance();
    bar->addWidget(zoom->zoomComboWidget());
    connect(zoom, &CZoomController::zoomChanged, this, &CMainWindow::updateCropSizeLabelUnits);

    CZoomComboBox* combo = zoom->zoomComboBox();
    connect(combo, &CZoomComboBox::fullScreenAction, ui->actionFull_Screen, &QAction::trigger);
    connect(combo, &CZoomComboBox::fastPreviewAction, ui->actionFastPreview, &QAction::trigger);
    connect(combo, &CZoomComboBox::handToolAction, ui->actionHandTool, &QAction::trigger);
    connect(combo, &CZoomComboBox::toggleGridOverlayAction, ui->actionToggleGridOverlay, &QAction::trigger);
    connect(ui->actionGridOverlay, &QAction::triggered, ui->actionToggleGridOverlay, &QAction::trigger);
    connect(combo, &CZoomComboBox::cropAction, ui->actionCrop, &QAction::trigger);
    connect(combo, &CZoomComboBox::undoAction, ui->actionUndo, &QAction::trigger);
    connect(combo, &CZoomComboBox::redoAction, ui->actionRedo, &QAction::trigger);

    bar->addSeparator();
    bar->addAction(ui->actionToggleGridOverlay);
    bar->addAction(ui->actionFastPreview);
    ui->actionFastPreview->setChecked(true);
    bar->addAction(ui->actionHandTool);
    bar->addSeparator();
    auto* gap = new QWidget(bar);
    gap->setObjectName(QStringLiteral("widget"));
    gap->setFixedWidth(5);
    bar->addWidget(gap);
    bar->addWidget(zoom->zoomSliderWidget());
    connect(ui->actionZoom_Default, &QAction::triggered, zoom, &CZoomController::onZoomDefault);
    connect(ui->actionFit, &QAction::triggered, zoom, &CZoomController::onFit);

    if (!m_application->isPluginMode()) {
        bar->addSeparator();
        bar->addAction(ui->actionRotate_Left);
        bar->addAction(ui->actionRotate_Right);
        connect(ui->actionRotate_Left, &QAction::triggered, this, &CMainWindow::onRotateLeft);
        connect(ui->actionRotate_Right, &QAction::triggered, this, &CMainWindow::onRotateRight);
    }

    ui->bottomToolBar->addWidget(ui->bottomWidget);
    ui->horizontalLayout->removeWidget(ui->saveButton);
    ui->horizontalLayout->addWidget(ui->saveButton);

    connect(ui->actionToggleGridOverlay, &QAction::toggled, ui->graphicsViewDAfter, &CBaseGraphicsView::showGridOverlay);
    connect(ui->actionToggleGridOverlay, &QAction::toggled, ui->graphicsViewSingle, &CBaseGraphicsView::showGridOverlay);
}

void CMainWindow::initDocks()
{
    CDockWidget* settings = ui->dockWidgetSettings;
    CDockWidget* loupeDock = ui->dockWidgetLoupe;
    connect(ui->loupeWidget, &CLoupeWidget::heightIsChanged, loupeDock, &CDockWidget::onWidgetHeightChanged);
    connect(ui->settingsWidget, &CSettingsWidget::heightIsChanged, settings, &CDockWidget::onWidgetHeightChanged);
    settings->setAdjustSizeWidget(this);
    loupeDock->setAdjustSizeWidget(this);
    settings->enableSizeAdjusting(true);
    connect(ui->loupeWidget, &CLoupeWidget::heightIsChanged, settings, &CDockWidget::adjustDockHeight);
    connect(this, &CMainWindow::resizeSignal, settings, &CDockWidget::adjustDockHeight);
    connect(loupeDock, &QDockWidget::topLevelChanged, settings, &CDockWidget::adjustDockHeight);
    connect(settings, &QDockWidget::topLevelChanged, this, &CMainWindow::onDockTopLevelChanged);
    connect(loupeDock, &QDockWidget::topLevelChanged, this, &CMainWindow::onDockTopLevelChanged);
    setupDockWidgetsWidth();
}

void CMainWindow::showRecentFilesPageInternal()
{
    ui->actionViewSingle->setEnabled(false);
    ui->actionViewDouble->setEnabled(false);
    ui->stackedWidget->setCurrentWidget(ui->recentFilesPage);
}

void CMainWindow::onViewSingle()
{
    ui->actionViewDouble->setEnabled(true);
    ui->actionViewSingle->setEnabled(true);
    ui->stackedWidget->setCurrentIndex(0);
    m_currentView = ui->graphicsViewSingle;
    CCorrectionModuleHost::instance()->setSingleMode();
    {
        const QSignalBlocker single(ui->actionViewSingle);
        const QSignalBlocker pair(ui->actionViewDouble);
        ui->actionViewSingle->setChecked(true);
        ui->actionViewDouble->setChecked(false);
    }
    if (ui->actionViewSingle->isChecked())
        ui->graphicsViewSingle->requestVisibleRectProcessing(true);
    emit updateCropSizeLabelUnits();
}

void CMainWindow::onViewDouble()
{
    ui->actionViewDouble->setEnabled(true);
    ui->actionViewSingle->setEnabled(true);
    ui->stackedWidget->setCurrentIndex(1);
    m_currentView = ui->graphicsViewDAfter;
    CCorrectionModuleHost::instance()->setSplitedMode();
    {
        const QSignalBlocker single(ui->actionViewSingle);
        const QSignalBlocker pair(ui->actionViewDouble);
        ui->actionViewSingle->setChecked(false);
        ui->actionViewDouble->setChecked(true);
    }
    if (ui->actionViewDouble->isChecked()) {
        ui->graphicsViewDBefore->requestVisibleRectProcessing(true);
        ui->graphicsViewDAfter->requestVisibleRectProcessing(true);
    }
    emit updateCropSizeLabelUnits();
}

bool CMainWindow::isSingleMode() const
{
    return ui->stackedWidget->currentIndex() == 0;
}

void CMainWindow::layOutSizeStrip(QWidget* container, QWidget* view, QWidget* strip, bool showStrip)
{
    const int stripHeight = showStrip ? strip->height() : 0;
    view->resize(container->width(), container->height() - stripHeight);
    view->move(0, 0);
    strip->resize(container->width(), strip->height());
    strip->move(0, view->height());
}

void CMainWindow::onShowImageSizePropertyIsChanged()
{
    const bool show = CSettings().value(QStringLiteral("showImageSize"), true).toBool();
    ui->widgetDAfterSize->setVisible(show);
    ui->widgetDBeforeSize->setVisible(show);
    ui->widgetSingleSize->setVisible(show);
    layOutSizeStrip(ui->widgetGVBefore, ui->graphicsViewDBefore, ui->widgetDBeforeSize, show);
    layOutSizeStrip(ui->widgetGVAfter, ui->graphicsViewDAfter, ui->widgetDAfterSize, show);
    updateImageSizeLabels();
    emit updateCropSizeLabelUnits();
}

void CMainWindow::updateImageSizeLabels()
{
    // A size with a side not above 0 is not known yet; until both are, the
    // labels stay empty.
    const auto known = [](const QSize& size) { return size.width() > 0 && size.height() > 0; };
    if (!known(m_initialImageSize) || !known(m_resultImageSize)) {
        for (QLabel* label : {ui->labelDBeforeSize, ui->labelDAfterSize, ui->labelSingleSize})
            label->clear();
        return;
    }
    ui->labelDBeforeSize->setText(sizeToString(m_initialImageSize));
    const QString shown = sizeToString(m_afterViewShowsOtherScene ? m_initialImageSize : m_resultImageSize);
    ui->labelDAfterSize->setText(shown);
    ui->labelSingleSize->setText(shown);
}

QByteArray CMainWindow::serializeWidgetState()
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(g_dataStreamVersion);
    stream << qint32(ui->stackedWidget->currentIndex());
    QVariantMap focus;
    if (QWidget* focused = QApplication::focusWidget()) {
        focus.insert(QStringLiteral("focusWidget"), quint64(quintptr(focused)));
        focus.insert(QStringLiteral("focusWidgetObjectName"), focused->objectName());
    }
    writeVariantMap(stream, focus);
    return bytes;
}

void CMainWindow::deserializeWidgetState(const QByteArray& state)
{
    QDataStream stream(state);
    stream.setVersion(g_dataStreamVersion);
    qint32 page = 0;
    stream >> page;
    if (page == 1) {
        if (!ui->actionViewDouble->isChecked())
            onViewDouble();
    } else if (!ui->actionViewSingle->isChecked()) {
        onViewSingle();
    }
    const QVariantMap focus = readVariantMap(stream);
    if (!focus.contains(QStringLiteral("focusWidget")) || !focus.contains(QStringLiteral("focusWidgetObjectName")))
        return;
    const quintptr address = quintptr(focus.value(QStringLiteral("focusWidget")).toULongLong());
    if (address == 0)
        return;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (quintptr(widget) == address) {
            if (widget->objectName() == focus.value(QStringLiteral("focusWidgetObjectName")).toString())
                widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

QWidget* CMainWindow::asWidget()
{
    return this;
}

QString CMainWindow::id() const
{
    return QStringLiteral("MainWindow");
}

QList<IViewInterface*> CMainWindow::getViews()
{
    return m_views;
}
