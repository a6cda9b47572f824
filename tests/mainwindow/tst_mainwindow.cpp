// The main window as the standalone program builds it: its actions with
// their texts, tool tips, shortcuts and first states, the menus, the views
// and pages, the palettes and their Show/Hide command, the panel stack, full
// screen and Escape; Tab with a picture open, in a panel's text field and in
// a dialog.

#include "correction/CCorrectionModuleHost.h"
#include "correction/CRectangleNode.h"
#include "engine/CProcessEngine.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/CRecentFiles.h"
#include "mainwindow/CRecentFilesWidget.h"
#include "mainwindow/CSettingsWidget.h"
#include "utils/CSettings.h"
#include "view/CBaseGraphicsView.h"
#include "view/CDockWidget.h"
#include "view/COutsidePanelWidget.h"
#include "view/CSlider.h"

#include "TestWindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGraphicsView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

using NAVIK_tarl1::CSettings;

namespace {

QString native(const char* sequence)
{
    return QKeySequence(QString::fromLatin1(sequence)).toString(QKeySequence::NativeText);
}

// A 32-bit big-endian number, as a data stream writes it.
QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes;
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xff));
    return bytes;
}

// A text as a data stream writes it: its length in bytes, then UTF-16 big-endian.
QByteArray streamedText(const QString& text)
{
    QByteArray bytes = bigEndian32(quint32(text.size() * 2));
    for (const QChar c : text)
        bytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
    return bytes;
}

} // namespace

void auxDeleteAllNestedWidgets(QWidget* widget);

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void actions_data();
    void actions();
    void menus();
    void startPageAndViews();
    void panelStack();
    void showAndHideControls();
    void fullScreenInAndOut();
    void clearedPaneKeepsNoWidget();
    void dockOrderStoredGreatestKeyFirst();
    // Open a picture: run last.
    void tabStaysInPanelsAndDialogs();
    void wheelOverSliderScrollsPalette();

private:
    QAction* action(const QString& name) const { return m_window->findChild<QAction*>(name); }

    CProcessEngine* m_engine = nullptr;
    CMainWindow* m_window = nullptr;
};

void TestMainWindow::initTestCase()
{
    m_window = makeTestWindow(CBaseApplication::StandaloneMode, &m_engine);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestMainWindow::cleanupTestCase()
{
    destroyTestWindow(m_window, m_engine);
}

void TestMainWindow::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");

    const auto row = [](const char* name, const char* text, const QString& toolTip, const QKeySequence& shortcut,
                        bool enabled, bool visible) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text) << toolTip << shortcut << enabled
                            << visible;
    };
    row("action_Open", "&Open...", QStringLiteral("Open"), QKeySequence(QStringLiteral("Ctrl+O")), true, true);
    row("action_Save", "&Save", QStringLiteral("Save"), QKeySequence(), false, true);
    row("actionSave_As", "Save &As...", QStringLiteral("Save As"), QKeySequence(QStringLiteral("Ctrl+S")), false, true);
    row("action_Close", "&Close", QStringLiteral("Close"), QKeySequence(QStringLiteral("Ctrl+W")), false, true);
    row("action_Exit", "&Exit", QStringLiteral("Exit"), QKeySequence(QStringLiteral("Ctrl+Q")), true, true);
    row("action_Preferences", "&Preferences", QStringLiteral("Preferences"), QKeySequence(QStringLiteral("Ctrl+,")),
        true, true);
    row("actionUndo", "Undo", QStringLiteral("Undo"), QKeySequence(QStringLiteral("Ctrl+Z")), false, true);
    row("actionRedo", "Redo", QStringLiteral("Redo"), QKeySequence(QStringLiteral("Ctrl+Shift+Y")), false, true);
    row("actionFull_Screen", "&Full Screen", QStringLiteral("Full Screen"), QKeySequence(Qt::META | Qt::CTRL | Qt::Key_F),
        true, true);
    row("actionHide_Controls", "&Hide Controls", QStringLiteral("Hide Controls"), QKeySequence(QStringLiteral("P")),
        true, true);
    row("actionOnline_User_Guide", "&Online user guide", QStringLiteral("Online user guide"),
        QKeySequence(QStringLiteral("Ctrl+/")), true, true);
    row("actionGetting_started", "&Getting started...", QStringLiteral("Getting started"), QKeySequence(), false,
        false);
    row("actionZoom_Default", "Zoom Default", QStringLiteral("Zoom to 100% (") + native("Ctrl+1") + ")",
        QKeySequence(QStringLiteral("Ctrl+1")), true, true);
    row("actionFit", "Fit", QStringLiteral("Fit to screen (") + native("Ctrl+0") + ")",
        QKeySequence(QStringLiteral("Ctrl+0")), true, true);
    row("actionFastPreview", "Fast Preview", QStringLiteral("Pointer tool (B)"), QKeySequence(QStringLiteral("B")), true,
        true);
    row("actionHandTool", "Hand Tool", QStringLiteral("Hand tool (H)"), QKeySequence(QStringLiteral("H")), true, true);
    row("actionGridOverlay", "Show Grid overlay", QStringLiteral("Toggle Grid overlay (G)"),
        QKeySequence(QStringLiteral("G")), true, true);
    // The tool bar's toggle shows the menu entry's shortcut without having one.
    row("actionToggleGridOverlay", "Show Grid overlay", QStringLiteral("Toggle Grid overlay (G)"), QKeySequence(),
        true, true);
    row("actionCrop", "Crop", QStringLiteral("Crop (C)"), QKeySequence(QStringLiteral("C")), false, true);
    row("actionRotate_Left", "Rotate Left", QStringLiteral("Rotate Left (") + native("Ctrl+L") + ")",
        QKeySequence(QStringLiteral("Ctrl+L")), false, true);
    row("actionRotate_Right", "Rotate Right", QStringLiteral("Rotate Right (") + native("Ctrl+R") + ")",
        QKeySequence(QStringLiteral("Ctrl+R")), false, true);
    row("actionToolBarOpen", "Open", QStringLiteral("Open (") + native("Ctrl+O") + ")", QKeySequence(), true, true);
    row("actionToolBarSaveAs", "Save As", QStringLiteral("Save As (") + native("Ctrl+S") + ")", QKeySequence(), false,
        true);
    row("actionViewSingle", "Single",
        QStringLiteral("Display corrected and initial image one behind the other (Press \"") + native("Ctrl+D")
            + "\" to toggle)",
        QKeySequence(), false, false);
    row("actionViewDouble", "Double", QStringLiteral("Display corrected and initial image side by side"),
        QKeySequence(), false, false);
    row("actionTake_Snapshot", "Take Snapshot", QStringLiteral("Take Snapshot"), QKeySequence(), false, false);
    row("actionRestore_Snapshot", "Restore Snapshot", QStringLiteral("Restore Snapshot"), QKeySequence(), false, false);
}

void TestMainWindow::actions()
{
    QFETCH(QString, name);
    QAction* subject = action(name);
    QVERIFY2(subject, qPrintable(name));
    QTEST(subject->text(), "text");
    QTEST(subject->toolTip(), "toolTip");
    QTEST(subject->shortcut(), "shortcut");
    QTEST(subject->isEnabled(), "enabled");
    QTEST(subject->isVisible(), "visible");
    // Shortcuts work without the menu bar: the window carries them too.
    if (!subject->shortcut().isEmpty() && name != QLatin1String("actionMake_Crash")) {
        bool reachable = m_window->actions().contains(subject);
        for (QAction* menu : m_window->menuBar()->actions())
            reachable = reachable || (m_window->actions().contains(menu) && menu->menu()->actions().contains(subject));
        reachable = reachable || m_window->findChild<QToolBar*>(QStringLiteral("toolBar"))->actions().contains(subject);
        QVERIFY(reachable);
    }
}

void TestMainWindow::menus()
{
    const auto names = [](const QList<QAction*>& actions) {
        QStringList list;
        for (QAction* action : actions)
            list.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
        return list;
    };
    QStringList titles;
    for (QAction* menu : m_window->menuBar()->actions())
        titles.append(menu->text());
    QCOMPARE(titles, QStringList({"F&ile", "&Edit", "&Display", "He&lp"}));
    const QList<std::pair<const char*, QStringList>> expected = {
        {"menu_File",
         {"action_Open", "actionRecent_images", "-", "action_Save", "actionSave_As", "-", "action_Close", "-",
          "action_Exit"}},
        {"menu_Edit",
         {"actionUndo", "actionRedo", "-", "actionTake_Snapshot", "actionRestore_Snapshot", "-", "actionRotate_Left",
          "actionRotate_Right", "-", "action_Preferences"}},
        {"menu_Display", {"actionFull_Screen", "actionHide_Controls", "-", "actionGridOverlay"}},
        {"menu_Help", {"actionOnline_User_Guide", "actionGetting_started", "actionVisit_web_site", "-", "actionAbout"}},
    };
    for (const auto& [menu, entries] : expected)
        QCOMPARE(names(m_window->findChild<QMenu*>(QLatin1String(menu))->actions()), entries);
    // Ctrl+? reaches the user guide as Ctrl+/ does.
    bool guideShortcut = false;
    for (QShortcut* shortcut : m_window->findChildren<QShortcut*>())
        guideShortcut = guideShortcut || shortcut->key() == QKeySequence(QStringLiteral("Ctrl+?"));
    QVERIFY(guideShortcut);
}

void TestMainWindow::startPageAndViews()
{
    auto* pages = m_window->findChild<QStackedWidget*>(QStringLiteral("stackedWidget"));
    QCOMPARE(pages->currentIndex(), 2);
    QVERIFY(!m_window->findChild<QWidget*>(QStringLiteral("correctionToolPane"))->isVisible());
    QVERIFY(!m_window->findChild<QToolBar*>(QStringLiteral("bottomToolBar"))->isVisible());
    QVERIFY(action(QStringLiteral("actionFastPreview"))->isChecked());
    QVERIFY(!m_window->isSingleMode());
    // The start page's grid reads the recent files; with none the menu is off.
    auto* grid = m_window->findChild<CRecentFilesWidget*>(QStringLiteral("recentFilesWidget"));
    QVERIFY(grid && grid->recentFilesModel());
    QVERIFY(qobject_cast<CRecentFiles*>(action(QStringLiteral("actionRecent_images"))->menu()));
    QVERIFY(!action(QStringLiteral("actionRecent_images"))->isEnabled());

    QStringList views;
    for (IViewInterface* view : m_window->getViews())
        views.append(dynamic_cast<QObject*>(view)->objectName());
    QCOMPARE(views, QStringList({"graphicsViewSingle", "graphicsViewDAfter", "graphicsViewDBefore"}));

    // Switching pages by script emits no toggles and leaves one view action checked.
    QSignalSpy single(action(QStringLiteral("actionViewSingle")), &QAction::toggled);
    QSignalSpy pair(action(QStringLiteral("actionViewDouble")), &QAction::toggled);
    m_window->onViewDouble();
    QCOMPARE(pages->currentIndex(), 1);
    QVERIFY(action(QStringLiteral("actionViewDouble"))->isChecked());
    QVERIFY(!action(QStringLiteral("actionViewSingle"))->isChecked());
    // The page travels with the window's undo state; a start page restores as the single view.
    const QByteArray pairState = m_window->serializeWidgetState();
    m_window->onViewSingle();
    QCOMPARE(pages->currentIndex(), 0);
    m_window->deserializeWidgetState(pairState);
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(single.count() + pair.count(), 0);

    // Each paired view fills its container above its size strip.
    auto* container = m_window->findChild<QWidget*>(QStringLiteral("widgetGVAfter"));
    auto* view = m_window->findChild<QWidget*>(QStringLiteral("graphicsViewDAfter"));
    auto* strip = m_window->findChild<QWidget*>(QStringLiteral("widgetDAfterSize"));
    QTRY_COMPARE(view->height(), container->height() - strip->height());
    QCOMPARE(strip->y(), view->height());
    QCOMPARE(view->width(), container->width());
    m_window->onViewSingle();
}

// Clearing the tool pane's container leaves nothing to be drawn over the
// next pane: the widgets of its layout and any child that left the layout.
void TestMainWindow::clearedPaneKeepsNoWidget()
{
    QWidget container;
    auto* layout = new QVBoxLayout(&container);
    QPointer<QWidget> inLayout = new QWidget;
    layout->addWidget(inLayout);
    QPointer<QWidget> stray = new QWidget(&container);
    container.show();
    auxDeleteAllNestedWidgets(&container);
    QVERIFY(!inLayout->isVisible());
    QVERIFY(!stray->isVisible());
    QTRY_VERIFY(!inLayout && !stray);
    QCOMPARE(layout->count(), 0);
}

// The palettes' order is kept in the product's one stream format: the entry
// count, then each palette's y and name, the greatest y first.
void TestMainWindow::dockOrderStoredGreatestKeyFirst()
{
    QWidget* upper = m_window->findChild<CDockWidget*>(QStringLiteral("dockWidgetSettings"));
    QWidget* lower = m_window->findChild<CDockWidget*>(QStringLiteral("dockWidgetLoupe"));
    QVERIFY(!upper->isWindow() && !lower->isWindow());
    if (upper->y() > lower->y())
        std::swap(upper, lower);
    QVERIFY(upper->y() < lower->y());

    m_window->saveSettings();
    const QByteArray expected = bigEndian32(2) + bigEndian32(quint32(lower->y())) + streamedText(lower->objectName())
        + bigEndian32(quint32(upper->y())) + streamedText(upper->objectName());
    QCOMPARE(CSettings().value(QStringLiteral("NavikMainWindowState")).toByteArray().toHex(' '), expected.toHex(' '));
}

void TestMainWindow::panelStack()
{
    auto* stack = m_window->findChild<CSettingsWidget*>(QStringLiteral("settingsWidget"));
    QStringList order;
    for (COutsidePanelWidget* panel : stack->findChildren<COutsidePanelWidget*>())
        order.append(panel->objectName());
    QCOMPARE(order, QStringList({"KeystoningPane", "HorizonPane", "CropPane"}));

    QSignalSpy heights(stack, &CSettingsWidget::heightIsChanged);
    auto* horizon = stack->findChild<COutsidePanelWidget*>(QStringLiteral("HorizonPane"));
    horizon->onSetExpanded(!horizon->isExpanded());
    QTRY_VERIFY(!heights.isEmpty());
    QTRY_VERIFY([&] {
        int sum = 2;
        for (COutsidePanelWidget* panel : stack->findChildren<COutsidePanelWidget*>())
            sum += panel->height();
        stack->onChildWidgetHeightIsChanged();
        return heights.last().at(0).toInt() == sum;
    }());
    // Every panel is as wide as the stack.
    for (COutsidePanelWidget* panel : stack->findChildren<COutsidePanelWidget*>())
        QVERIFY(panel->minimumWidth() == stack->width());
    // The window keeps its size whatever the panels do.
    const QSize size = m_window->size();
    horizon->onSetExpanded(!horizon->isExpanded());
    QTest::qWait(50);
    QCOMPARE(m_window->size(), size);
}

void TestMainWindow::showAndHideControls()
{
    auto* settings = m_window->findChild<CDockWidget*>(QStringLiteral("dockWidgetSettings"));
    auto* loupe = m_window->findChild<CDockWidget*>(QStringLiteral("dockWidgetLoupe"));
    QAction* toggle = action(QStringLiteral("actionHide_Controls"));
    QVERIFY(settings->isVisible() && loupe->isVisible());
    toggle->trigger();
    QVERIFY(!settings->isVisible() && !loupe->isVisible());
    QCOMPARE(toggle->text(), QStringLiteral("&Show Controls"));
    QCOMPARE(toggle->toolTip(), QStringLiteral("Show Controls"));
    // One hidden palette: the command shows both.
    toggle->trigger();
    QVERIFY(settings->isVisible() && loupe->isVisible());
    loupe->hide();
    m_window->onShowOrHideDockWidget();
    QVERIFY(settings->isVisible() && loupe->isVisible());
    QCOMPARE(toggle->text(), QStringLiteral("&Hide Controls"));
}

void TestMainWindow::fullScreenInAndOut()
{
    QAction* fullScreen = action(QStringLiteral("actionFull_Screen"));
    auto* escape = m_window->findChild<QShortcut*>(QStringLiteral("exitFullScreenShortcut"));
    QVERIFY(!escape->isEnabled());
    const QRect normal = m_window->geometry();

    fullScreen->trigger();
    QVERIFY(m_window->isFullScreen());
    QVERIFY(!m_window->menuBar()->isVisible());
    QTRY_COMPARE(fullScreen->text(), QStringLiteral("&Standard Display     "));
    QVERIFY(escape->isEnabled());

    // Escape leaves full screen, back to the window it was.
    emit escape->activated();
    QVERIFY(!m_window->isFullScreen());
    QVERIFY(m_window->menuBar()->isVisible());
    QTRY_COMPARE(fullScreen->text(), QStringLiteral("&Full Screen     "));
    QVERIFY(!escape->isEnabled());
    QTRY_COMPARE(m_window->geometry().size(), normal.size());
}

void TestMainWindow::tabStaysInPanelsAndDialogs()
{
    QTemporaryDir folder;
    const QString photo = folder.filePath(QStringLiteral("photo.jpg"));
    QImage picture(640, 480, QImage::Format_RGB888);
    picture.fill(QColor(90, 140, 60));
    QVERIFY(picture.save(photo));
    QVERIFY(m_window->openFile(photo, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->hasViewImage() && m_window->isIdle(), 60000);
    // An opened picture heads the recent files.
    QMenu* recent = action(QStringLiteral("actionRecent_images"))->menu();
    QVERIFY(action(QStringLiteral("actionRecent_images"))->isEnabled());
    QCOMPARE(recent->actions().value(0)->text(), QStringLiteral("1.  photo.jpg"));

    // The keystoning rectangle shows its corner handles on the result.
    m_window->findChild<QToolButton*>(QStringLiteral("rectTool"))->click();
    auto* view = m_window->findChild<QGraphicsView*>(QStringLiteral("graphicsViewSingle"));
    QTRY_VERIFY(view->isVisible());
    const auto handle = [view](const char* name) -> CRectangleNode* {
        for (QGraphicsItem* item : view->scene()->items())
            if (auto* node = dynamic_cast<CRectangleNode*>(item); node && node->objectName() == QLatin1String(name))
                return node;
        return nullptr;
    };
    CRectangleNode* leftTop = handle("AfterKeystoningLeftTop");
    QVERIFY(leftTop);
    QTRY_VERIFY(leftTop->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isIdle() && view->isEnabled(), 60000);
    const auto pressHandle = [&] {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(leftTop->scenePos()));
    };
    // A press on a handle makes its group take Tab.
    pressHandle();
    QTest::keyClick(view->viewport(), Qt::Key_Tab);
    QCOMPARE(view->scene()->focusItem(), handle("AfterKeystoningRightTop"));

    // A dialog opened meanwhile keeps Tab to itself.
    {
        QDialog dialog(m_window);
        auto* layout = new QVBoxLayout(&dialog);
        auto* first = new QLineEdit(&dialog);
        auto* second = new QLineEdit(&dialog);
        layout->addWidget(first);
        layout->addWidget(second);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &dialog);
        first->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), first);
        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), second);
    }
    m_window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), m_window);

    // After a press on a handle, a click into a panel's text field: Tab goes
    // on among the panels' controls.
    pressHandle();
    auto* stack = m_window->findChild<CSettingsWidget*>(QStringLiteral("settingsWidget"));
    QLineEdit* field = nullptr;
    for (QLineEdit* edit : stack->findChildren<QLineEdit*>())
        if (!field && edit->property("settingsFocusNumber").isValid() && !edit->visibleRegion().isEmpty())
            field = edit;
    QVERIFY(field);
    QTest::mouseClick(field, Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), field);
    QTest::keyClick(field, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != field);
    QVERIFY(stack->isAncestorOf(QApplication::focusWidget()));
}

void TestMainWindow::wheelOverSliderScrollsPalette()
{
    auto* palette = m_window->findChild<QScrollArea*>(QStringLiteral("scrollArea"));
    auto* stack = m_window->findChild<CSettingsWidget*>(QStringLiteral("settingsWidget"));
    // Panels taller than the window.
    stack->setMinimumHeight(3000);
    QScrollBar* bar = palette->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 1000);
    bar->setValue(0);

    // A slider nobody clicked lets the wheel scroll the palette; every
    // slider of every panel does.
    int tried = 0;
    for (CSlider* row : stack->findChildren<CSlider*>()) {
        auto* slider = row->findChild<QSlider*>();
        if (!slider->isEnabled())
            continue;
        ++tried;
        const int value = slider->value();
        const int before = bar->value();
        const QPointF centre(slider->width() / 2.0, slider->height() / 2.0);
        QWheelEvent wheel(centre, slider->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &wheel);
        QVERIFY2(bar->value() > before, qPrintable(row->objectName()));
        QCOMPARE(slider->value(), value);
    }
    QVERIFY(tried >= 2);
    stack->setMinimumHeight(0);
    bar->setValue(0);
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
