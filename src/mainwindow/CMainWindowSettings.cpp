// The main window's layout from one run to the next (palettes, their order,
// visibility and widths, the screen), the first show, the host-mode layout,
// and the application-wide event filter (space bar, compare keys, the size
// strips under the paired views).

#include "mainwindow/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CorrectionIds.h"
#include "mainwindow/CSettingsWidget.h"
#include "shell/CBaseApplication.h"
#include "ui_MainWindow.h"
#include "utils/CScripting.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"
#include "view/CHandTool.h"

#include <QDataStream>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMap>
#include <QScreen>
#include <QScrollBar>

using namespace NAVIK_tarl1;

namespace {

const QString kMainWindowStateKey = QStringLiteral("NavikMainWindowState");
const QString kSettingWidgetVisibleKey = QStringLiteral("app_settingWidgetVisible");
const QString kFloatingWidgetVisibleKey = QStringLiteral("app_floatingWidgetVisible");
const QString kScreenNumberKey = QStringLiteral("app_mwScreenNumber");

QString arrowStyle(const QStringList& images)
{
    const QString selector = QStringLiteral("QWidget#settingsExpandCollapseButton");
    const QString folder = QStringLiteral(":/icons/settingsPanel/");
    const QStringList states = {QString(), QStringLiteral(":hover"), QStringLiteral(":pressed"),
                                QStringLiteral(":disabled"), QStringLiteral(":focus")};
    QString style;
    for (int i = 0; i < states.size(); ++i) {
        style += selector + states.at(i) + QStringLiteral("{image: url(") + folder + images.at(i)
            + QStringLiteral(");");
        if (i == 0)
            style += QStringLiteral("\tpadding: 0px; border: none; background-color: transparent;");
        style += QLatin1Char('}');
    }
    return style;
}

int screenNumberOf(const QWidget* widget)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    const int index = screens.indexOf(widget->screen());
    return index < 0 ? 0 : index;
}

} // namespace

QList<CDockWidget*> CMainWindow::getAllDocks() const
{
    return {ui->dockWidgetSettings, ui->dockWidgetLoupe};
}

QList<QWidget*> CMainWindow::getNonFloatingDocks() const
{
    QList<QWidget*> docks;
    if (!ui->dockWidgetLoupe->isFloating())
        docks.append(ui->dockWidgetLoupe);
    if (!ui->dockWidgetSettings->isFloating())
        docks.append(ui->dockWidgetSettings);
    return docks;
}

QList<QWidget*> CMainWindow::getVisibleDocks() const
{
    QList<QWidget*> docks;
    if (ui->dockWidgetSettings->isVisible())
        docks.append(ui->dockWidgetSettings);
    if (ui->dockWidgetLoupe->isVisible())
        docks.append(ui->dockWidgetLoupe);
    return docks;
}

void CMainWindow::loadSettings()
{
    LOG_TRACE();
    for (CDockWidget* dock : getAllDocks())
        dock->loadState();

    CSettings settings;
    QMap<int, QString> order;
    {
        // Any key order reads: earlier builds wrote the smallest key first.
        QDataStream stream(settings.value(kMainWindowStateKey).toByteArray());
        stream.setVersion(g_dataStreamVersion);
        stream >> order;
        if (stream.status() != QDataStream::Ok)
            order.clear();
    }
    for (auto it = order.cbegin(); it != order.cend(); ++it) {
        for (QDockWidget* dock : findChildren<QDockWidget*>()) {
            if (dock->objectName() != it.value())
                continue;
            const Qt::DockWidgetArea area = dockWidgetArea(dock);
            removeDockWidget(dock);
            addDockWidget(area == Qt::NoDockWidgetArea ? Qt::RightDockWidgetArea : area, dock);
            dock->show();
            break;
        }
    }

    const bool dockedVisible = settings.value(kSettingWidgetVisibleKey, true).toBool();
    for (QWidget* dock : getNonFloatingDocks())
        dock->setVisible(dockedVisible);
    const bool floatingVisible = settings.value(kFloatingWidgetVisibleKey, true).toBool();
    for (CDockWidget* dock : getAllDocks())
        if (dock->isFloating())
            dock->setVisible(floatingVisible);
    adjustShowOrHideSettingsButtonAndActionsState();

    bool numeric = false;
    const int screenNumber = settings.value(kScreenNumberKey, 0).toInt(&numeric);
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (numeric && screenNumber != screenNumberOf(this) && screenNumber >= 0 && screenNumber < screens.size())
        move(screens.at(screenNumber)->availableGeometry().topLeft());

    setupAppModeUI();
    if (hasFullScreenButton())
        adjustFullScreenButtonPos();
}

void CMainWindow::saveSettings()
{
    LOG_TRACE();
    for (CDockWidget* dock : getAllDocks())
        dock->saveState();
    QMap<int, QString> order;
    bool anyDockedVisible = false;
    for (QWidget* dock : getNonFloatingDocks()) {
        order.insert(dock->y(), dock->objectName());
        anyDockedVisible = anyDockedVisible || dock->isVisible();
    }
    QByteArray bytes;
    {
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(g_dataStreamVersion);
        writeMapInQt4Order(stream, order);
    }
    CSettings settings;
    settings.setValue(kSettingWidgetVisibleKey, anyDockedVisible);
    settings.setValue(kMainWindowStateKey, bytes);
    bool anyFloating = false;
    for (QWidget* dock : getVisibleDocks()) {
        if (static_cast<QDockWidget*>(dock)->isFloating()) {
            anyFloating = true;
            break;
        }
    }
    settings.setValue(kFloatingWidgetVisibleKey, anyFloating);
    settings.setValue(kScreenNumberKey, screenNumberOf(this));
}

void CMainWindow::setupDockWidgetsWidth()
{
    ui->dockWidgetSettings->setMinimumWidth(320);
    ui->dockWidgetSettings->setMaximumWidth(320);
    ui->scrollArea->setMinimumWidth(314);
    ui->scrollArea->setMaximumWidth(314);
    ui->settingsWidget->setMinimumWidth(301);
    ui->settingsWidget->setMaximumWidth(314);
    ui->dockWidgetLoupe->setMinimumWidth(320);
    ui->dockWidgetLoupe->setMaximumWidth(320);
    ui->scrollArea_2->setMinimumWidth(320);
    ui->scrollArea_2->setMaximumWidth(320);
}

void CMainWindow::adjustShowOrHideSettingsButtonAndActionsState()
{
    bool dockedVisible = false;
    for (QWidget* dock : getNonFloatingDocks())
        dockedVisible = dockedVisible || dock->isVisibleTo(this);
    if (dockedVisible)
        ui->settingsExpandCollapseButton->setStyleSheet(
            arrowStyle({QStringLiteral("hide-arrow.png"), QStringLiteral("hide-arrow-hover.png"),
                        QStringLiteral("hide-arrow-active.png"), QStringLiteral("hide-arrow-disabled.png"),
                        QStringLiteral("hide-arrow-focus.png")}));
    else
        ui->settingsExpandCollapseButton->setStyleSheet(
            arrowStyle({QStringLiteral("show-arrow.png"), QStringLiteral("show-arrow-hover.png"),
                        QStringLiteral("show-arrow-active.png"), QStringLiteral("show-arrow-disabled.png"),
                        QStringLiteral("show-show-focus.png")}));

    bool anyHidden = false;
    for (CDockWidget* dock : getAllDocks())
        anyHidden = anyHidden || !dock->isVisibleTo(this);
    const QString text = anyHidden ? tr("&Show Controls") : tr("&Hide Controls");
    ui->actionHide_Controls->setText(text);
    ui->actionHide_Controls->setToolTip(QString(text).remove(QLatin1Char('&')));
}

void CMainWindow::onPinUnpinDockWidget()
{
    for (QWidget* dock : getNonFloatingDocks())
        dock->setVisible(!dock->isVisibleTo(this));
    adjustShowOrHideSettingsButtonAndActionsState();
}

void CMainWindow::setupAppModeUI()
{
    const bool plugin = m_application->isPluginMode();
    for (QAction* action : {ui->actionSave_As, ui->action_Close, ui->action_Open, ui->actionToolBarSaveAs,
                            ui->actionToolBarOpen, ui->actionRotate_Left, ui->actionRotate_Right})
        action->setVisible(!plugin);
    ui->menuBar->setVisible(!plugin);
    ui->bottomToolBar->setVisible(plugin);
}

bool CMainWindow::hasFullScreenButton() const
{
    return m_fullScreenButton != nullptr;
}

void CMainWindow::adjustFullScreenButtonPos()
{
    if (!m_fullScreenButton)
        return;
    m_fullScreenButton->move(ui->toolBar->width() - m_fullScreenButton->width() - 6,
                             ui->toolBar->height() - m_fullScreenButton->height() - 7);
}

void CMainWindow::fitToScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QSize available = screen->availableSize();
    const QSize fitted = size().boundedTo(available).expandedTo(minimumSize().boundedTo(available));
    if (fitted != size())
        resize(fitted);
}

void CMainWindow::showEvent(QShowEvent* event)
{
    CBaseMainWindow::showEvent(event);
    if (!m_firstShow)
        return;
    const std::shared_ptr<CScripting> scripting = CScripting::getInstance();
    if (scripting->isScriptingMode())
        scripting->startScript();
    m_shownTime = QTime::currentTime();
    m_firstShow = false;
    fitToScreen();
    loadSettings();
}

void CMainWindow::resizeEvent(QResizeEvent* event)
{
    CBaseMainWindow::resizeEvent(event);
    LOG_MESSAGE('D', "New main window size: " << event->size().width() << ", " << event->size().height());
    if (m_fullScreenButton)
        adjustFullScreenButtonPos();
    emit resizeSignal();
    emit updateCropSizeLabelUnits();
}

int CMainWindow::getDockAvailableHeight()
{
    int height = this->height() - ui->toolBar->height();
    if (!ui->dockWidgetLoupe->isFloating())
        height -= ui->dockWidgetLoupe->height();
    height -= m_application->isPluginMode() ? ui->bottomToolBar->height() : ui->menuBar->height();
    return height;
}

void CMainWindow::setExitEnabled(bool enabled)
{
    ui->action_Exit->setEnabled(enabled);
    enableWindowCloseButton(enabled);
}

bool CMainWindow::isCropToolInactive()
{
    return CCorrectionModuleHost::instance()->currentCorrectionName() != g_cropCorrectionId;
}

bool CMainWindow::isHandToolActive()
{
    return CHandTool::instance()->isHandToolActive();
}

void CMainWindow::deserialize(const QByteArray& data, bool flag)
{
    QScrollBar* bar = ui->scrollArea->verticalScrollBar();
    const bool barWasShown = bar->isVisible();
    SerializableUiImpl::deserialize(data, flag);
    if (!barWasShown && bar->isVisible()) {
        ui->scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ui->scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease && watched == ui->settingsExpandCollapseButton && isActiveWindow()) {
        onPinUnpinDockWidget();
        return CBaseMainWindow::eventFilter(watched, event);
    }
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && isActiveWindow()
        && (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() == this)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((!m_mousePressedInView || m_spaceHandToolActive) && key->key() == Qt::Key_Space) {
            CHandTool::instance()->onSpacebarEvent(key);
            m_spaceHandToolActive = CHandTool::instance()->isHandToolActive();
            return true;
        }
        if (m_currentView && !key->isAutoRepeat()) {
            if (type == QEvent::KeyPress)
                m_currentView->processKeyPress(key);
            else
                m_currentView->processKeyRelease(key);
        }
        return CBaseMainWindow::eventFilter(watched, event);
    }
    if (type == QEvent::Resize && (watched == ui->widgetGVBefore || watched == ui->widgetGVAfter)) {
        const bool show = CSettings().value(QStringLiteral("showImageSize"), true).toBool();
        if (watched == ui->widgetGVBefore)
            layOutSizeStrip(ui->widgetGVBefore, ui->graphicsViewDBefore, ui->widgetDBeforeSize, show);
        else
            layOutSizeStrip(ui->widgetGVAfter, ui->graphicsViewDAfter, ui->widgetDAfterSize, show);
    }
    return CBaseMainWindow::eventFilter(watched, event);
}
