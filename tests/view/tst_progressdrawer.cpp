// The processing badge: its place over the view, its frames, its delays and
// the application-wide flag that it is on screen.

#include "view/CProgressDrawer.h"

#include <QTest>

class TestProgressDrawer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sitsCentredThreeQuartersDown();
    void framesCycle();
    void noFramesNoCrash();
    void quickRenderShowsNothing();
    void immediateShowAndHideSetTheFlag();
};

void TestProgressDrawer::sitsCentredThreeQuartersDown()
{
    QWidget view;
    view.resize(800, 600);
    CProgressDrawer drawer(&view, &view);
    QVERIFY(drawer.minimumWidth() >= 140 || drawer.sizeHint().width() >= 140);
    QCOMPARE(drawer.minimumHeight(), 65);
    drawer.resize(140, 65);
    drawer.moveToCenter();
    QCOMPARE(drawer.pos(), QPoint(330, 399));
    QCOMPARE(drawer.objectName(), QStringLiteral("processingWidget"));
}

void TestProgressDrawer::framesCycle()
{
    AnimatedLabel label({QStringLiteral(":/icons/processing/processing1.png"),
                         QStringLiteral(":/icons/processing/processing2.png"),
                         QStringLiteral(":/icons/processing/processing3.png")},
                        nullptr);
    QCOMPARE(label.nextFrame(), 1);
    QCOMPARE(label.pixmap().size(), QSize(24, 8));
    QList<int> shown;
    for (int step = 0; step < 4; ++step) {
        shown.append(label.nextFrame() % 3);
        label.changeImage();
    }
    QCOMPARE(shown, QList<int>({1, 2, 0, 1}));
}

void TestProgressDrawer::noFramesNoCrash()
{
    AnimatedLabel label({}, nullptr);
    label.changeImage();
    label.show();
    QVERIFY(label.pixmap().isNull());
}

void TestProgressDrawer::quickRenderShowsNothing()
{
    QWidget view;
    view.resize(400, 300);
    view.show();
    CProgressDrawer drawer(&view, &view);
    drawer.onStartProgress(true, true);
    drawer.onStopProgress(true);
    // The hide runs after the show would have: nothing was shown in between.
    bool everShown = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { everShown = everShown || drawer.isVisible(); });
    probe.start(10);
    QTest::qWait(400);
    QVERIFY(!everShown);
}

void TestProgressDrawer::immediateShowAndHideSetTheFlag()
{
    QWidget view;
    view.resize(400, 300);
    view.show();
    CProgressDrawer first(&view, &view);
    CProgressDrawer second(&view, &view);
    first.onStartProgress(false, false);
    second.onStartProgress(false, false);
    QVERIFY(CProgressDrawer::isProgressVisible());
    // The flag follows the last badge shown or hidden.
    first.onStopProgress(false);
    QVERIFY(!CProgressDrawer::isProgressVisible());
    QVERIFY(second.isVisible());
    second.onStopProgress(false);
    QVERIFY(!CProgressDrawer::isProgressVisible());
}

QTEST_MAIN(TestProgressDrawer)
#include "tst_progressdrawer.moc"
