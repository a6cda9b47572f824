// The shared zoom: its stops from several fit zooms, the wheel, fit and
// 100 %, invisible views, the double-click toggle, the zoom bar's combo box
// and slider, and the keyboard shortcuts.

#include "ViewTestSupport.h"

#include "view/CBaseGraphicsView.h"
#include "view/CHandTool.h"
#include "view/CZoomComboBox.h"
#include "view/CZoomController.h"
#include "view/CZoomSlider.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// Views of one picture registered with the controller; the first is primary.
struct Views
{
    Views(const QSize& image, const QList<QSize>& sizes)
        : scene(true, &engine, nullptr)
    {
        showImage(engine, true, image);
        CZoomController* zoom = CZoomController::instance();
        zoom->setProcessEngine(&engine);
        for (const QSize& size : sizes) {
            auto view = std::make_unique<CBaseGraphicsView>();
            view->initialize(false, nullptr, &engine);
            view->setAndConnectScene(&scene);
            view->resize(size);
            zoom->addView(view.get(), views.empty() ? CZoomController::PrimaryView : CZoomController::SecondaryView);
            views.push_back(std::move(view));
        }
        for (auto& view : views) {
            view->show();
            if (!QTest::qWaitForWindowExposed(view.get()))
                qFatal("the view was never shown");
        }
        zoom->onFit();
    }
    CBaseGraphicsView* operator[](int i) { return views.at(size_t(i)).get(); }

    FakeProjectionEngine engine;
    CBaseGraphicsScene scene;
    std::vector<std::unique_ptr<CBaseGraphicsView>> views;
};

QList<int> zoomInsFrom(Views& v)
{
    CZoomController* zoom = CZoomController::instance();
    QList<int> seen;
    for (int i = 0; i < 12; ++i) {
        const int before = zoom->currentZoom();
        zoom->onZoomIn(v[0], QPoint(10, 10));
        if (zoom->currentZoom() == before)
            break;
        seen.append(zoom->currentZoom());
    }
    return seen;
}

} // namespace

class TestZoomController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<QMouseEvent*>(); }
    void zoomStops_data();
    void zoomStops();
    void endsChangeNothing();
    void nonPresetZoomIsAStop();
    void wheelKeepsThePointUnderTheMouse();
    void secondaryViewSetsTheMinimum();
    void invisibleViewChangesNothing();
    void fitFollowsOnlyAtFit();
    void defaultZoomNeedsAVisiblePrimaryView();
    void doubleClickToggle();
    void comboTextsAndClamping();
    void comboPresets_data();
    void comboPresets();
    void comboLetterKeys();
    void sliderSteps();
    void shortcutsZoomByTen();
    void engineReadsTheZoom();
};

void TestZoomController::zoomStops_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QList<int>>("steps");
    // The view is 800 x 600.
    QTest::newRow("fit 30") << QSize(2667, 2000) << QList<int>{37, 50, 75, 100, 150, 200};
    QTest::newRow("fit 13") << QSize(6000, 4000) << QList<int>{25, 37, 50, 75, 100, 150, 200};
    QTest::newRow("fit 40") << QSize(2000, 1500) << QList<int>{50, 75, 100, 150, 200};
    QTest::newRow("fit 100") << QSize(400, 300) << QList<int>{150, 200};
}

void TestZoomController::zoomStops()
{
    QFETCH(QSize, image);
    QFETCH(QList<int>, steps);
    Views v(image, {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    QCOMPARE(zoom->currentZoom(), zoom->fitZoom());
    QCOMPARE(zoomInsFrom(v), steps);
    QCOMPARE(v[0]->currentViewZoom(), 200);
}

void TestZoomController::endsChangeNothing()
{
    Views v(QSize(6000, 4000), {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    QSignalSpy changes(zoom, &CZoomController::zoomChanged);
    zoom->onZoomOut(v[0], QPoint(5, 5));
    QCOMPARE(zoom->currentZoom(), 13);
    zoom->onZoomChanged(200);
    changes.clear();
    zoom->onZoomIn(v[0], QPoint(5, 5));
    QCOMPARE(zoom->currentZoom(), 200);
    QCOMPARE(changes.count(), 0);
}

void TestZoomController::nonPresetZoomIsAStop()
{
    Views v(QSize(6000, 4000), {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    zoom->onZoomChanged(120);
    zoom->onZoomIn(v[0], QPoint(5, 5));
    QCOMPARE(zoom->currentZoom(), 150);
    zoom->onZoomChanged(120);
    zoom->onZoomOut(v[0], QPoint(5, 5));
    QCOMPARE(zoom->currentZoom(), 100);
}

void TestZoomController::wheelKeepsThePointUnderTheMouse()
{
    Views v(QSize(6000, 4000), {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    zoom->onZoomChanged(50);
    const QPoint mouse(600, 150);
    for (bool in : {true, true, false, true, false, false}) {
        const QPointF before = v[0]->mapToScene(mouse);
        if (in)
            zoom->onZoomIn(v[0], mouse);
        else
            zoom->onZoomOut(v[0], mouse);
        const QPointF after = v[0]->mapToScene(mouse);
        const double tolerance = 2.0 * 100.0 / zoom->currentZoom() + 1.0;
        QVERIFY2(qAbs(after.x() - before.x()) <= tolerance && qAbs(after.y() - before.y()) <= tolerance,
                 qPrintable(QStringLiteral("at %1 %: %2,%3 moved to %4,%5").arg(zoom->currentZoom())
                                .arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
    }
}

void TestZoomController::secondaryViewSetsTheMinimum()
{
    // The primary view fits at 20 %, the secondary (smaller) at 10 %.
    Views v(QSize(4000, 3000), {QSize(800, 600), QSize(400, 300)});
    CZoomController* zoom = CZoomController::instance();
    QCOMPARE(zoom->fitZoom(), 20);
    QCOMPARE(zoom->minZoom(), 10);
    QCOMPARE(zoom->currentZoom(), 20);
    QCOMPARE(*zoom->zoomSteps().begin(), 10);
    QCOMPARE(zoom->zoomSlider()->minimum(), 10);
    zoom->onZoomOut(v[0], QPoint(5, 5));
    QCOMPARE(zoom->currentZoom(), 10);
    QCOMPARE(v[1]->currentViewZoom(), 10);
}

void TestZoomController::invisibleViewChangesNothing()
{
    Views v(QSize(4000, 3000), {QSize(800, 600), QSize(400, 300)});
    CZoomController* zoom = CZoomController::instance();
    v[1]->hide();
    v[1]->resize(100, 100);
    QSignalSpy changes(zoom, &CZoomController::zoomChanged);
    zoom->onFitToViewZoomIsChanged(v[1]);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(zoom->minZoom(), 10);
}

void TestZoomController::fitFollowsOnlyAtFit()
{
    Views v(QSize(4000, 3000), {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    QCOMPARE(zoom->currentZoom(), 20);
    v[0]->resize(400, 300);
    QTRY_COMPARE(zoom->fitZoom(), 10);
    QCOMPARE(zoom->currentZoom(), 10);
    zoom->onZoomChanged(50);
    v[0]->resize(800, 600);
    QTRY_COMPARE(zoom->fitZoom(), 20);
    QCOMPARE(zoom->currentZoom(), 50);
}

void TestZoomController::defaultZoomNeedsAVisiblePrimaryView()
{
    Views v(QSize(4000, 3000), {QSize(800, 600), QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    v[0]->hide();
    QSignalSpy changes(zoom, &CZoomController::zoomChanged);
    zoom->onZoomDefault();
    QCOMPARE(changes.count(), 0);
    v[0]->show();
    zoom->onZoomDefault();
    QCOMPARE(zoom->currentZoom(), 100);
    QCOMPARE(v[1]->currentViewZoom(), 100);
}

void TestZoomController::doubleClickToggle()
{
    Views v(QSize(4000, 3000), {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    zoom->resetDoubleClickZoom();
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(200, 100), QPointF(200, 100), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    // Without the hand tool a double click does nothing.
    CHandTool::instance()->onFastPreview();
    zoom->onMouseDoubleClickEvent(&click, v[0]);
    QSignalSpy changes(zoom, &CZoomController::zoomChanged);
    QVERIFY(!changes.wait(500));

    CHandTool::instance()->onHandTool();
    zoom->onMouseDoubleClickEvent(&click, v[0]);
    QCOMPARE(v[0]->currentViewZoom(), 20);
    QVERIFY(changes.wait());
    QCOMPARE(changes.last().at(0).toInt(), 150);
    QCOMPARE(v[0]->currentViewZoom(), 150);

    // Back to fit, remembering 150; two double clicks in a row stay at fit.
    zoom->onMouseDoubleClickEvent(&click, v[0]);
    QVERIFY(changes.wait());
    QCOMPARE(zoom->currentZoom(), 20);
    zoom->onMouseDoubleClickEvent(&click, v[0]);
    zoom->onMouseDoubleClickEvent(&click, v[0]);
    QVERIFY(changes.wait());
    QCOMPARE(changes.last().at(0).toInt(), 20);
    QCOMPARE(v[0]->currentViewZoom(), 20);
    CHandTool::instance()->onFastPreview();
}

void TestZoomController::comboTextsAndClamping()
{
    Views v(QSize(4000, 3000), {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    CZoomComboBox* combo = zoom->zoomComboBox();
    QSignalSpy chosen(combo, &CZoomComboBox::zoomChanged);
    QCOMPARE(combo->currentText(), QStringLiteral("Fit to view"));

    zoom->onZoomChanged(75);
    QCOMPARE(combo->currentText(), QStringLiteral("75 %"));
    QCOMPARE(chosen.count(), 0);

    combo->onZoomComboChanged(0);
    QCOMPARE(chosen.last().at(0).toInt(), 20);
    QCOMPARE(combo->currentText(), QStringLiteral("Fit to view"));

    for (const auto& [typed, zoomTo, shown] : std::vector<std::tuple<QString, int, QString>>{
             {QStringLiteral("50"), 50, QStringLiteral("50 %")},
             {QStringLiteral("20 %"), 20, QStringLiteral("Fit to view")},
             {QStringLiteral("5"), 20, QStringLiteral("Fit to view")},
             {QStringLiteral(" 133% "), 133, QStringLiteral("133 %")}}) {
        combo->setEditText(typed);
        combo->onZoomComboTextChanged();
        QCOMPARE(chosen.last().at(0).toInt(), zoomTo);
        QCOMPARE(combo->currentText(), shown);
        QCOMPARE(zoom->currentZoom(), zoomTo);
    }

    QString input = QStringLiteral("150 %");
    int pos = 0;
    CIntValidator validator(1, 200);
    QCOMPARE(validator.validate(input, pos), QValidator::Acceptable);
    input = QStringLiteral("250");
    QCOMPARE(validator.validate(input, pos), QValidator::Invalid);
    input = QStringLiteral("0");
    QCOMPARE(validator.validate(input, pos), QValidator::Intermediate);
    input = QStringLiteral("abc");
    QCOMPARE(validator.validate(input, pos), QValidator::Invalid);
}

void TestZoomController::comboPresets_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("fit 60") << QSize(1333, 1000)
                            << QStringList{"Fit to view", "75 %", "100 %", "200 %"};
    QTest::newRow("fit 80") << QSize(1000, 750) << QStringList{"Fit to view", "100 %", "200 %"};
    QTest::newRow("fit 20") << QSize(4000, 3000)
                            << QStringList{"Fit to view", "25 %", "50 %", "75 %", "100 %", "200 %"};
}

void TestZoomController::comboPresets()
{
    QFETCH(QSize, image);
    QFETCH(QStringList, rows);
    Views v(image, {QSize(800, 600)});
    CZoomComboBox* combo = CZoomController::instance()->zoomComboBox();
    QStringList shown;
    for (int row = 0; row < combo->count(); ++row)
        shown.append(combo->itemText(row));
    QCOMPARE(shown, rows);
}

void TestZoomController::comboLetterKeys()
{
    CZoomComboBox combo(nullptr);
    QSignalSpy hand(&combo, &CZoomComboBox::handToolAction);
    QSignalSpy undo(&combo, &CZoomComboBox::undoAction);
    QSignalSpy preview(&combo, &CZoomComboBox::fastPreviewAction);
    combo.lineEdit()->setText(QString());
    QTest::keyClick(&combo, Qt::Key_H);
    QTest::keyClick(&combo, Qt::Key_Z);
    QTest::keyClick(&combo, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&combo, Qt::Key_P);
    QTest::keyClick(&combo, Qt::Key_B);
    QTest::keyClick(&combo, Qt::Key_4);
    QCOMPARE(hand.count(), 1);
    QCOMPARE(undo.count(), 1);
    QCOMPARE(preview.count(), 1);
    QCOMPARE(combo.lineEdit()->text(), QStringLiteral("4"));
}

void TestZoomController::sliderSteps()
{
    Views v(QSize(4000, 3000), {QSize(800, 600)});
    CZoomSlider* slider = CZoomController::instance()->zoomSlider();
    QCOMPARE(slider->minimum(), 20);
    QCOMPARE(slider->singleStep(), 9);
    QCOMPARE(slider->pageStep(), 9);
    QSignalSpy values(slider, &QSlider::valueChanged);
    slider->onZoomChanged(500);
    QCOMPARE(slider->value(), 200);
    QCOMPARE(values.count(), 0);
    // A user move reaches the controller and the views.
    slider->setValue(64);
    QCOMPARE(CZoomController::instance()->currentZoom(), 64);
    QCOMPARE(v[0]->currentViewZoom(), 64);
}

void TestZoomController::shortcutsZoomByTen()
{
    Views v(QSize(4000, 3000), {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    QWidget window;
    auto* bar = zoom->zoomSliderWidget();
    bar->setParent(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    zoom->onZoomChanged(50);
    QTest::keyClick(&window, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(zoom->currentZoom(), 60);
    QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(zoom->currentZoom(), 70);
    QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(zoom->currentZoom(), 60);
    zoom->onZoomChanged(200);
    QTest::keyClick(&window, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(zoom->currentZoom(), 200);
    bar->setParent(nullptr);
}

void TestZoomController::engineReadsTheZoom()
{
    Views v(QSize(4000, 3000), {QSize(800, 600)});
    CZoomController* zoom = CZoomController::instance();
    zoom->onZoomChanged(75);
    QCOMPARE(zoomLevelSource(), static_cast<IZoomLevelSource*>(zoom));
    QCOMPARE(zoomLevelSource()->currentZoom(), 75);
}

QTEST_MAIN(TestZoomController)
#include "tst_zoomcontroller.moc"
