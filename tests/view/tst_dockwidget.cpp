// The floating palette: where it comes up from the stored state, the pin
// button, the heights, the shared size adjusting, the title buttons and the
// move refusal near the screens' edges. Runs on any platform that places
// windows (offscreen, xcb).

#include "view/CDockWidget.h"

#include "shell/IMainWindowInterface.h"
#include "utils/CSettings.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class FakeMainWindow : public IMainWindowInterface
{
public:
    int available = 300;
    int getDockAvailableHeight() override { return available; }
    void setExitEnabled(bool) override {}
    bool isCropToolInactive() override { return true; }
    QList<IViewInterface*> getViews() override { return {}; }
    bool isHandToolActive() override { return false; }
    QByteArray serializeWidgetState() override { return {}; }
    void deserializeWidgetState(const QByteArray&) override {}
    QWidget* asWidget() override { return this; }
    void setupControlsState(bool) override {}
    void doSetControlsEnabled(bool, bool) override {}
    void doResetBeforeOpen() override {}
    bool doOpenFilesInBatchMode(const QStringList&) override { return false; }
    bool doOpenFile(const QString&) override { return false; }
    bool doOpenImage(NavikImagePtr, const CWindowState&) override { return false; }
    void showRecentFilesPage() override {}
    PhotoshopSaveResult doSaveImageToPS() override { return PhotoshopSaveResult::NotHandedBack; }
    bool doSaveFile(const QString&, const QString&) override { return false; }
    void setPictureChanged(bool) override {}
    bool isPictureChanged() const override { return false; }
    void changeCaption(const QString&) override {}
    CWindowState doGetWindowState() const override { return {}; }
    void doSetWindowState(const CWindowState&) override {}
    void saveSettings() override {}
};

namespace {

// Gives the correction palette (the first) the central area's height less
// the other docked palettes, as the program's window does.
class ColumnWindow : public FakeMainWindow
{
public:
    QList<CDockWidget*> docks;
    int getDockAvailableHeight() override
    {
        int height = centralWidget()->height();
        for (const CDockWidget* dock : docks)
            if (dock != docks.first() && !dock->isFloating())
                height -= dock->height();
        return height;
    }
};

struct Window
{
    FakeMainWindow window;
    CDockWidget* dock = nullptr;
    Window()
    {
        window.setCentralWidget(new QWidget);
        dock = new CDockWidget(&window);
        dock->setObjectName(QStringLiteral("dockWidgetSettings"));
        dock->setWidget(new QWidget);
        window.addDockWidget(Qt::RightDockWidgetArea, dock);
        dock->setAdjustSizeWidget(&window);
        window.resize(700, 500);
        window.show();
    }
};

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class TestDockWidget : public QObject
{
    Q_OBJECT
private slots:
    void init() { NAVIK_tarl1::CSettings().clear(); }

    void loadState_data()
    {
        QTest::addColumn<bool>("floating");
        QTest::addColumn<int>("belowBottom");  // how far the stored point lies above the bottom
        QTest::addColumn<bool>("floats");
        QTest::newRow("never floated") << false << 100 << false;
        QTest::newRow("24 above the bottom") << true << 24 << true;
        QTest::newRow("23 above the bottom") << true << 23 << false;
        QTest::newRow("off every screen") << true << -5000 << false;
    }
    void loadState()
    {
        QFETCH(bool, floating);
        QFETCH(int, belowBottom);
        QFETCH(bool, floats);
        const QPoint stored(available().left() + 100, available().bottom() - belowBottom);
        {
            NAVIK_tarl1::CSettings settings;
            settings.setValue(QStringLiteral("app_floatingdockWidgetSettings"), floating);
            settings.setValue(QStringLiteral("app_posdockWidgetSettings"), stored);
        }
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.dock->loadState();
        QCOMPARE(w.dock->isFloating(), floats);
        if (floats)
            QCOMPARE(w.dock->pos(), stored);
    }

    void saveState()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.dock->setFloating(true);
        const QPoint at = available().topLeft() + QPoint(120, 80);
        w.dock->move(at);
        w.dock->saveState();
        NAVIK_tarl1::CSettings settings;
        QCOMPARE(settings.value(QStringLiteral("app_floatingdockWidgetSettings")).toBool(), true);
        QCOMPARE(settings.value(QStringLiteral("app_posdockWidgetSettings")).toPoint(), w.dock->pos());
    }

    void pinButtonFloatsAndDocks()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QToolButton* pin = w.dock->dockTitle()->floatButton();
        QCOMPARE(pin->objectName(), QStringLiteral("float_button"));
        QVERIFY(pin->styleSheet().contains(QStringLiteral("pin/pin.png")));
        QCOMPARE(pin->toolTip(), QStringLiteral("Unpin palette  "));
        pin->click();
        QVERIFY(w.dock->isFloating());
        QVERIFY(w.dock->isFloatingPalette());
        QVERIFY(pin->styleSheet().contains(QStringLiteral("pin/unpined.png")));
        QCOMPARE(pin->toolTip(), QStringLiteral("Pin palette  "));
        pin->click();
        QVERIFY(!w.dock->isFloating());
        QCOMPARE(pin->toolTip(), QStringLiteral("Unpin palette  "));
    }

    // Floating one of two stacked palettes with its pin leaves the other in
    // sight, whichever it was: the correction palette, which then takes the
    // column's height, or the one below it.
    void pinnedOffPaletteCoversNoOther_data()
    {
        QTest::addColumn<int>("floated");
        QTest::newRow("upper palette") << 0;
        QTest::newRow("lower palette") << 1;
    }
    void pinnedOffPaletteCoversNoOther()
    {
        QFETCH(int, floated);
        ColumnWindow window;
        window.setCentralWidget(new QWidget);
        for (const char* name : {"dockWidgetSettings", "dockWidgetLoupe"}) {
            auto* dock = new CDockWidget(&window);
            dock->setObjectName(QLatin1String(name));
            dock->setWidget(new QWidget);
            dock->setAdjustSizeWidget(&window);
            window.addDockWidget(Qt::RightDockWidgetArea, dock);
            window.docks.append(dock);
        }
        CDockWidget* settings = window.docks.at(0);
        CDockWidget* loupe = window.docks.at(1);
        settings->enableSizeAdjusting(true);
        connect(loupe, &QDockWidget::topLevelChanged, settings, &CDockWidget::adjustDockHeight);
        loupe->onWidgetHeightChanged(150);
        settings->onWidgetHeightChanged(400);
        window.resize(760, 560);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        settings->adjustDockHeight();
        QCoreApplication::sendPostedEvents();

        CDockWidget* dock = window.docks.at(floated);
        CDockWidget* other = window.docks.at(1 - floated);
        dock->dockTitle()->floatButton()->click();
        QVERIFY(dock->isFloating());
        // The window lays the column out again.
        QCoreApplication::sendPostedEvents();
        const QRect placed(dock->pos(), dock->size());
        const QRect docked(other->mapToGlobal(QPoint(0, 0)), other->size());
        QVERIFY(!placed.isEmpty());
        QVERIFY2(!placed.intersects(docked),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 over %5,%6 %7x%8")
                                .arg(placed.x())
                                .arg(placed.y())
                                .arg(placed.width())
                                .arg(placed.height())
                                .arg(docked.x())
                                .arg(docked.y())
                                .arg(docked.width())
                                .arg(docked.height())));
        // Pinned again, it is back in the column.
        dock->dockTitle()->floatButton()->click();
        QVERIFY(!dock->isFloating());
        settings->enableSizeAdjusting(false);
    }

    void heights()
    {
        Window w;
        w.dock->enableSizeAdjusting(true);
        w.dock->onWidgetHeightChanged(400);
        QCOMPARE(w.dock->minimumHeight(), 295);
        QCOMPARE(w.dock->maximumHeight(), 295);
        w.dock->setFloating(true);
        QCOMPARE(w.dock->minimumHeight(), 423);
        QCOMPARE(w.dock->maximumHeight(), 423);
        w.dock->setFloating(false);
        w.dock->setAdjustSizeWidget(nullptr);
        w.dock->adjustDockHeight();
        QCOMPARE(w.dock->maximumHeight(), 20);
        w.dock->enableSizeAdjusting(false);
    }

    void sizeAdjustingIsShared()
    {
        Window first;
        Window second;
        first.dock->enableSizeAdjusting(true);
        second.dock->enableSizeAdjusting(true);
        first.dock->onWidgetHeightChanged(400);
        second.dock->onWidgetHeightChanged(400);
        QCOMPARE(first.dock->maximumHeight(), 295);
        QCOMPARE(second.dock->maximumHeight(), 423);
        first.dock->enableSizeAdjusting(false);
        second.dock->enableSizeAdjusting(true);
        second.dock->adjustDockHeight();
        QCOMPARE(second.dock->maximumHeight(), 295);
        second.dock->enableSizeAdjusting(false);
    }

    void titleButtonsGoLeft()
    {
        Window w;
        QToolButton* reset = w.dock->addTitleButton(QSize(16, 16), QStringLiteral("Reset"),
                                                    QStringLiteral("resetAllCorrections"));
        QVERIFY(reset);
        QCOMPARE(reset->focusPolicy(), Qt::NoFocus);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QVERIFY(reset->geometry().right() < w.dock->dockTitle()->floatButton()->geometry().left());
    }

    void moveRefusedNearTheEdges()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.dock->setFloating(true);
        const QRect screens = available();
        const QPoint inside = screens.topLeft() + QPoint(100, 100);
        w.dock->move(inside);
        QCOMPARE(w.dock->pos(), inside);
        // Less than 69 pixels left on the right, or the top within 69 of the bottom.
        w.dock->move(QPoint(screens.right() - 68, inside.y()));
        QCOMPARE(w.dock->pos(), inside);
        w.dock->move(QPoint(inside.x(), screens.bottom() - 68));
        QCOMPARE(w.dock->pos(), inside);
        const QPoint nearRight(screens.right() - 69, inside.y());
        w.dock->move(nearRight);
        QCOMPARE(w.dock->pos(), nearRight);
    }
};

QTEST_MAIN(TestDockWidget)
#include "tst_dockwidget.moc"
