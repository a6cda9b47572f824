// The crop items: handle proposals and hit areas, the main rectangle's drag,
// keys and outline, the mask, the size label, the grid line and the tool pane.

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "crop/CropGraphicsItems.h"
#include "crop/CropToolPane.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"
#include "TestModule.h"

#include <QCheckBox>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <cmath>

namespace {

using NAVIK_tarl1::CSettings;

// The crop items as the controller makes them, in a scene at the origin.
struct CropItems
{
    QGraphicsScene scene{0, 0, 1000, 800};
    QGraphicsItemGroup* group = new QGraphicsItemGroup;
    CCropRect* rect = nullptr;
    QMap<QString, CCropPoint*> points;

    CropItems()
    {
        group->setHandlesChildEvents(false);  // as the host makes its groups
        scene.addItem(group);
        rect = new CCropRect(group, QStringLiteral("CropMainRect"), nullptr);
        const struct
        {
            const char* name;
            CCropPoint::MoveDirection direction;
            CCropPoint::CornerType corner;
        } handles[] = {
            {"CropLeftTop", CCropPoint::Both, CCropPoint::LeftTop},
            {"CropMidleTop", CCropPoint::Vertical, CCropPoint::NoCorner},
            {"CropRightTop", CCropPoint::Both, CCropPoint::RightTop},
            {"CropLeftMidle", CCropPoint::Horizontal, CCropPoint::NoCorner},
            {"CropRightMidle", CCropPoint::Horizontal, CCropPoint::NoCorner},
            {"CropLeftBottom", CCropPoint::Both, CCropPoint::LeftBottom},
            {"CropMidleBottom", CCropPoint::Vertical, CCropPoint::NoCorner},
            {"CropRightBottom", CCropPoint::Both, CCropPoint::RightBottom},
        };
        for (const auto& handle : handles) {
            auto* point = new CCropPoint(group, *rect, QString::fromLatin1(handle.name), nullptr);
            point->setMoveDirection(handle.direction);
            if (handle.corner != CCropPoint::NoCorner)
                point->setCornerType(handle.corner);
            points.insert(point->objectName(), point);
        }
        place(QRectF(100, 100, 200, 100));
    }

    // What the controller does after a decision.
    void place(const QRectF& r)
    {
        rect->setPos(r.topLeft());
        rect->setRect(0, 0, r.width(), r.height());
        const qreal cx = r.center().x();
        const qreal cy = r.center().y();
        points["CropLeftTop"]->setPos(r.left(), r.top());
        points["CropMidleTop"]->setPos(cx, r.top());
        points["CropRightTop"]->setPos(r.right(), r.top());
        points["CropLeftMidle"]->setPos(r.left(), cy);
        points["CropRightMidle"]->setPos(r.right(), cy);
        points["CropLeftBottom"]->setPos(r.left(), r.bottom());
        points["CropMidleBottom"]->setPos(cx, r.bottom());
        points["CropRightBottom"]->setPos(r.right(), r.bottom());
    }
};

void sendMouse(QGraphicsScene& scene, QGraphicsItem* item, QEvent::Type type, const QPointF& scenePos,
               Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(scenePos);
    event.setPos(item->mapFromScene(scenePos));
    event.setButton(button);
    event.setButtons(buttons);
    event.setButtonDownScenePos(Qt::LeftButton, scenePos);
    event.setLastScenePos(scenePos);
    event.setAccepted(true);
    scene.sendEvent(item, &event);
}

void sendKey(QGraphicsScene& scene, QGraphicsItem* item, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, Qt::NoModifier);
    scene.sendEvent(item, &event);
}

bool isClose(const QPointF& a, const QPointF& b)
{
    return std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9;
}

QMap<QString, QVariant> stateMap(const QByteArray& bytes)
{
    return NAVIK_tarl1::variantMapFromBytes(bytes);
}

} // namespace

class TestCropItems : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    FakeProcessEngine m_engine;
    QUndoStack& m_stack = *CUndoController::instance()->undoStack();
    int m_edit = 0;

    // Makes the next undo step differ from the one below, so it is kept.
    void edit() { m_engine.state = QByteArray::number(++m_edit); }
    QString lastStep() const { return m_stack.count() ? m_stack.text(m_stack.count() - 1) : QString(); }

private Q_SLOTS:
    void initTestCase();
    void init();
    void handleProposals_data();
    void handleProposals();
    void handleDragAndUndo();
    void chordsMoveNothing();
    void clickOnHandleFocusesRectangle();
    void handleHitAreas_data();
    void handleHitAreas();
    void handleCursorsAndQuadrants();
    void rectangleDragIsClamped_data();
    void rectangleDragIsClamped();
    void rectangleKeys();
    void heldUntilTheStepIsMade();
    void rectangleViewScaleAndOutline();
    void maskAlpha_data();
    void maskAlpha();
    void maskHole();
    void maskHidesOnceOnSceneChange();
    void maskAndLabelState();
    void labelBoxAndPosition_data();
    void labelBoxAndPosition();
    void labelTimerAndSetting();
    void labelUnitsAndZeroScale();
    void gridLineInDevicePixels();
    void opacitySlider();
    void toolPaneSettingsAndReports();
};

void TestCropItems::initTestCase()
{
    application()->engine = &m_engine;
    CUndoController& controller = *CUndoController::instance();
    controller.setProcessEngine(&m_engine);
    controller.addSerializableObject(&m_engine);
}

void TestCropItems::init()
{
    CSettings settings(nullptr);
    settings.clear();
    CUndoController::instance()->resetUndoStack();
    CUndoController::instance()->createUndoCommand();  // the baseline
}

void TestCropItems::handleProposals_data()
{
    QTest::addColumn<QString>("handle");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QPointF>("handlePos");
    QTest::addColumn<QPointF>("requested");
    QTest::addColumn<QPointF>("proposed");

    QTest::newRow("middle top keeps x") << "CropMidleTop" << 0.0 << QPointF(200, 100) << QPointF(230, 60)
                                        << QPointF(200, 60);
    QTest::newRow("middle bottom keeps x") << "CropMidleBottom" << 2.0 << QPointF(200, 200) << QPointF(10, 250)
                                           << QPointF(200, 250);
    QTest::newRow("left middle keeps y") << "CropLeftMidle" << 0.0 << QPointF(100, 150) << QPointF(60, 190)
                                         << QPointF(60, 150);
    QTest::newRow("right middle keeps y") << "CropRightMidle" << 1.5 << QPointF(300, 150) << QPointF(320, 0)
                                          << QPointF(320, 150);
    QTest::newRow("free corner takes the pointer") << "CropLeftTop" << 0.0 << QPointF(100, 100)
                                                   << QPointF(37, 81) << QPointF(37, 81);
    QTest::newRow("left top, ratio 2") << "CropLeftTop" << 2.0 << QPointF(100, 100) << QPointF(50, 100)
                                       << QPointF(200.0 / 3, 250.0 / 3);
    QTest::newRow("right top, ratio 2") << "CropRightTop" << 2.0 << QPointF(300, 100) << QPointF(350, 100)
                                        << QPointF(1000.0 / 3, 250.0 / 3);
    QTest::newRow("right bottom, ratio 1 projects") << "CropRightBottom" << 1.0 << QPointF(300, 200)
                                                    << QPointF(320, 200) << QPointF(310, 210);
    QTest::newRow("left bottom, ratio 1 projects") << "CropLeftBottom" << 1.0 << QPointF(100, 200)
                                                   << QPointF(80, 200) << QPointF(90, 210);
}

void TestCropItems::handleProposals()
{
    QFETCH(QString, handle);
    QFETCH(qreal, ratio);
    QFETCH(QPointF, handlePos);
    QFETCH(QPointF, requested);
    QFETCH(QPointF, proposed);

    CropItems items;
    CCropPoint* point = items.points.value(handle);
    QVERIFY(point);
    QCOMPARE(point->pos(), handlePos);
    point->setCropRatioValue(ratio);
    QSignalSpy spy(point, &CCropPoint::itemPosWillChanged);

    // A script position is absolute; an offset goes through the same proposal.
    point->setPosByScript(requested);
    point->moveByDelta(requested - handlePos);
    QCOMPARE(spy.count(), 2);
    for (const auto& arguments : spy) {
        QCOMPARE(arguments.at(0).value<CCropPoint*>(), point);
        QVERIFY2(isClose(arguments.at(1).toPointF(), proposed), qPrintable(handle));
        QVERIFY(isClose(arguments.at(2).toPointF(), requested));
    }
    // The handle never moves itself, and a script move records no step.
    QCOMPARE(point->pos(), handlePos);
    QCOMPARE(m_stack.count(), 0);
}

void TestCropItems::handleDragAndUndo()
{
    CropItems items;
    CCropPoint* point = items.points["CropRightBottom"];
    QSignalSpy spy(point, &CCropPoint::itemPosWillChanged);
    edit();
    sendMouse(items.scene, point, QEvent::GraphicsSceneMousePress, QPointF(305, 205), Qt::LeftButton,
              Qt::LeftButton);
    QVERIFY(point->isPressed());
    // Grabbed 5 pixels off its centre: the first move puts the centre under the pointer.
    sendMouse(items.scene, point, QEvent::GraphicsSceneMouseMove, QPointF(350, 260), Qt::NoButton,
              Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).toPointF(), QPointF(350, 260));
    QCOMPARE(point->pos(), QPointF(300, 200));
    sendMouse(items.scene, point, QEvent::GraphicsSceneMouseRelease, QPointF(350, 260), Qt::LeftButton,
              Qt::NoButton);
    QVERIFY(!point->isPressed());
    QCOMPARE(lastStep(), QStringLiteral("Crop rect corner point moved"));
    QCOMPARE(m_stack.count(), 1);

    // A script move works while the handle is pressed and records nothing.
    edit();
    sendMouse(items.scene, point, QEvent::GraphicsSceneMousePress, QPointF(300, 200), Qt::LeftButton,
              Qt::LeftButton);
    point->setPosByScript(QPointF(320, 220));
    QCOMPARE(spy.count(), 2);
    QVERIFY(point->isPressed());
    QCOMPARE(m_stack.count(), 1);
}

void TestCropItems::chordsMoveNothing()
{
    CropItems items;
    CCropPoint* point = items.points["CropLeftTop"];
    QSignalSpy pointSpy(point, &CCropPoint::itemPosWillChanged);
    QSignalSpy rectSpy(items.rect, &CCropRect::itemPosChanged);
    edit();
    const struct
    {
        Qt::MouseButton button;
        Qt::MouseButtons buttons;
    } presses[] = {{Qt::RightButton, Qt::RightButton}, {Qt::RightButton, Qt::LeftButton | Qt::RightButton}};
    for (const auto& press : presses) {
        sendMouse(items.scene, point, QEvent::GraphicsSceneMousePress, QPointF(100, 100), press.button,
                  press.buttons);
        sendMouse(items.scene, point, QEvent::GraphicsSceneMouseMove, QPointF(-50, -70), Qt::NoButton,
                  press.buttons);
        sendMouse(items.scene, point, QEvent::GraphicsSceneMouseRelease, QPointF(-50, -70), press.button,
                  Qt::NoButton);
        QVERIFY(!point->isPressed());
        QCOMPARE(point->pos(), QPointF(100, 100));

        sendMouse(items.scene, items.rect, QEvent::GraphicsSceneMousePress, QPointF(150, 150), press.button,
                  press.buttons);
        sendMouse(items.scene, items.rect, QEvent::GraphicsSceneMouseMove, QPointF(-500, 900), Qt::NoButton,
                  press.buttons);
        sendMouse(items.scene, items.rect, QEvent::GraphicsSceneMouseRelease, QPointF(-500, 900), press.button,
                  Qt::NoButton);
        QVERIFY(!items.rect->isPressed());
        QCOMPARE(items.rect->pos(), QPointF(100, 100));
    }
    QCOMPARE(pointSpy.count(), 0);
    QCOMPARE(rectSpy.count(), 0);
    QCOMPARE(m_stack.count(), 0);
}

void TestCropItems::clickOnHandleFocusesRectangle()
{
    CropItems items;
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&items.scene, &activate);
    for (CCropPoint* point : std::as_const(items.points)) {
        items.scene.setFocusItem(nullptr);
        point->setFocus(Qt::MouseFocusReason);
        QVERIFY2(items.rect->hasFocus(), qPrintable(point->objectName()));
    }
}

void TestCropItems::handleHitAreas_data()
{
    QTest::addColumn<QString>("handle");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QRectF>("bounds");
    // The rectangle is 200 x 100 scene units.
    QTest::newRow("corner, any zoom") << "CropRightTop" << 0.5 << QRectF(-12, -12, 24, 24);
    QTest::newRow("left middle at 2") << "CropLeftMidle" << 2.0 << QRectF(-12, -88, 24, 176);
    QTest::newRow("left middle at 0.5") << "CropLeftMidle" << 0.5 << QRectF(-12, -13, 24, 26);
    QTest::newRow("top middle at 2") << "CropMidleTop" << 2.0 << QRectF(-188, -12, 376, 24);
    QTest::newRow("top middle at 0.1, shorter than the corners") << "CropMidleTop" << 0.1
                                                                 << QRectF(2, -12, -4, 24);
}

void TestCropItems::handleHitAreas()
{
    QFETCH(QString, handle);
    QFETCH(qreal, scale);
    QFETCH(QRectF, bounds);

    CropItems items;
    QWidget view;
    QWidget viewport(&view);
    QImage image(10, 10, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.scale(scale, scale);
    items.rect->paint(&painter, nullptr, &viewport);
    QCOMPARE(items.rect->viewScale(), scale);
    const QRectF actual = items.points[handle]->boundingRect();
    QVERIFY2(isClose(actual.topLeft(), bounds.topLeft()) && isClose(actual.bottomRight(), bounds.bottomRight()),
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(actual.x()).arg(actual.y()).arg(actual.width()).arg(
                 actual.height())));
    QCOMPARE(items.points[handle]->shape().boundingRect(), actual.normalized());
}

void TestCropItems::handleCursorsAndQuadrants()
{
    CropItems items;
    CCropPoint* corner = items.points["CropRightBottom"];
    QVERIFY(corner->cursor().shape() == Qt::BitmapCursor);
    corner->setMoveDirection(CCropPoint::Both);
    QCOMPARE(corner->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(items.points["CropMidleTop"]->cursor().shape() == Qt::BitmapCursor);

    QPointF opposite;
    QVERIFY(corner->isInOwnQuadrant(QPointF(100, 100), &opposite));
    QCOMPARE(opposite, QPointF(100, 100));
    QVERIFY(!corner->isInOwnQuadrant(QPointF(99, 150), &opposite));
    QVERIFY(items.points["CropLeftTop"]->isInOwnQuadrant(QPointF(300, 200), &opposite));
    QCOMPARE(opposite, QPointF(300, 200));
    QVERIFY(!items.points["CropRightTop"]->isInOwnQuadrant(QPointF(150, 201), &opposite));
    QCOMPARE(opposite, QPointF(100, 200));
    QVERIFY(items.points["CropLeftBottom"]->isInOwnQuadrant(QPointF(0, 500), &opposite));
    QCOMPARE(opposite, QPointF(300, 100));
    opposite = QPointF(-1, -1);
    QVERIFY(!items.points["CropMidleTop"]->isInOwnQuadrant(QPointF(0, 0), &opposite));
    QCOMPARE(opposite, QPointF(-1, -1));
}

void TestCropItems::rectangleDragIsClamped_data()
{
    QTest::addColumn<QRectF>("crop");
    QTest::addColumn<QPointF>("press");
    QTest::addColumn<QPointF>("move");
    QTest::addColumn<QPointF>("proposed");
    QTest::newRow("inside") << QRectF(100, 100, 200, 100) << QPointF(150, 150) << QPointF(170, 120)
                            << QPointF(120, 70);
    QTest::newRow("beyond right and top") << QRectF(100, 100, 200, 100) << QPointF(150, 150) << QPointF(950, 0)
                                          << QPointF(800, 0);
    QTest::newRow("beyond left and bottom") << QRectF(100, 100, 200, 100) << QPointF(150, 150)
                                            << QPointF(-20, 2000) << QPointF(0, 700);
    QTest::newRow("whole scene") << QRectF(0, 0, 1000, 800) << QPointF(500, 400) << QPointF(530, 390)
                                 << QPointF(0, 0);
}

void TestCropItems::rectangleDragIsClamped()
{
    QFETCH(QRectF, crop);
    QFETCH(QPointF, press);
    QFETCH(QPointF, move);
    QFETCH(QPointF, proposed);

    CropItems items;
    items.place(crop);
    QSignalSpy spy(items.rect, &CCropRect::itemPosChanged);
    edit();
    sendMouse(items.scene, items.rect, QEvent::GraphicsSceneMousePress, press, Qt::LeftButton, Qt::LeftButton);
    sendMouse(items.scene, items.rect, QEvent::GraphicsSceneMouseMove, move, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toPointF(), proposed);
    QCOMPARE(items.rect->pos(), crop.topLeft());
    sendMouse(items.scene, items.rect, QEvent::GraphicsSceneMouseRelease, move, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(lastStep(), QStringLiteral("Crop rect moved"));
}

void TestCropItems::rectangleKeys()
{
    CropItems items;
    QSignalSpy spy(items.rect, &CCropRect::itemPosChanged);
    const auto lastProposal = [&spy] { return spy.isEmpty() ? QPointF(-1, -1) : spy.last().at(0).toPointF(); };

    sendKey(items.scene, items.rect, QEvent::KeyPress, Qt::Key_Left);
    QCOMPARE(lastProposal(), QPointF(99, 100));
    sendKey(items.scene, items.rect, QEvent::KeyPress, Qt::Key_Up);
    QCOMPARE(lastProposal(), QPointF(99, 99));
    QCOMPARE(spy.count(), 2);

    // Keys other than the arrows propose nothing, so they cannot turn an
    // automatic crop manual.
    for (int key : {int(Qt::Key_Shift), int(Qt::Key_Control), int(Qt::Key_Z), int(Qt::Key_A)})
        sendKey(items.scene, items.rect, QEvent::KeyPress, key);
    QCOMPARE(spy.count(), 2);

    edit();
    sendKey(items.scene, items.rect, QEvent::KeyRelease, Qt::Key_Left);
    QCOMPARE(items.rect->keyDelta(), QPointF(0, -1));
    QCOMPARE(lastStep(), QStringLiteral("Crop rect moved be keyboard"));
    const int steps = m_stack.count();
    edit();
    sendKey(items.scene, items.rect, QEvent::KeyRelease, Qt::Key_A);
    QCOMPARE(m_stack.count(), steps);
    sendKey(items.scene, items.rect, QEvent::KeyPress, Qt::Key_Down);
    QCOMPARE(lastProposal(), QPointF(100, 101));
}

// A drag of a handle or of the frame, an arrow key held down: the undo
// controller waits for the step its release makes, and no longer once that
// release can no longer come.
void TestCropItems::heldUntilTheStepIsMade()
{
    const auto held = [] { return CUndoController::instance()->isChangeHeld(); };
    CropItems items;
    CCropPoint* point = items.points["CropRightBottom"];

    sendMouse(items.scene, point, QEvent::GraphicsSceneMousePress, QPointF(300, 200), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(held());
    sendMouse(items.scene, point, QEvent::GraphicsSceneMouseRelease, QPointF(320, 220), Qt::LeftButton, Qt::NoButton);
    QVERIFY(!held());
    sendMouse(items.scene, items.rect, QEvent::GraphicsSceneMousePress, QPointF(150, 150), Qt::LeftButton,
              Qt::LeftButton);
    QVERIFY(held());
    sendMouse(items.scene, items.rect, QEvent::GraphicsSceneMouseRelease, QPointF(160, 150), Qt::LeftButton,
              Qt::NoButton);
    QVERIFY(!held());

    sendKey(items.scene, items.rect, QEvent::KeyPress, Qt::Key_Right);
    QVERIFY(held());
    sendKey(items.scene, items.rect, QEvent::KeyRelease, Qt::Key_Right);
    QVERIFY(!held());
    sendKey(items.scene, items.rect, QEvent::KeyPress, Qt::Key_Down);
    QFocusEvent focusOut(QEvent::FocusOut);
    items.scene.sendEvent(items.rect, &focusOut);
    QVERIFY(!held());

    // The scene takes the mouse away without a release.
    sendMouse(items.scene, point, QEvent::GraphicsSceneMousePress, QPointF(300, 200), Qt::LeftButton, Qt::LeftButton);
    point->grabMouse();
    point->ungrabMouse();
    QVERIFY(!held());
}

void TestCropItems::rectangleViewScaleAndOutline()
{
    CropItems items;
    items.place(QRectF(2, 3, 20, 10));
    QImage image(120, 80, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QWidget loupe;
    loupe.setObjectName(QStringLiteral("graphicsViewLoupe"));
    QWidget loupeViewport(&loupe);
    QWidget view;
    QWidget viewport(&view);
    {
        QPainter painter(&image);
        painter.scale(4, 4);
        painter.translate(items.rect->pos());
        items.rect->paint(&painter, nullptr, &loupeViewport);
        QCOMPARE(items.rect->viewScale(), 1.0);
        items.rect->setHighlighted(true);
        items.rect->paint(&painter, nullptr, &viewport);
        QCOMPARE(items.rect->viewScale(), 4.0);
    }
    // One device pixel wide at zoom 4: the outline at x = 8, nothing at x = 9.
    QCOMPARE(image.pixelColor(8, 30), QColor(Qt::white));
    QCOMPARE(image.pixelColor(9, 30), QColor(Qt::black));
    QCOMPARE(image.pixelColor(88, 30), QColor(Qt::white));
    QCOMPARE(image.pixelColor(50, 12), QColor(Qt::white));
    QCOMPARE(image.pixelColor(50, 52), QColor(Qt::white));

    // With the keyboard focus the outline is blue.
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&items.scene, &activate);
    items.rect->setFocus();
    QVERIFY(items.rect->hasFocus());
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.scale(4, 4);
        painter.translate(items.rect->pos());
        items.rect->paint(&painter, nullptr, &viewport);
    }
    QCOMPARE(image.pixelColor(8, 30), QColor(61, 166, 231));
    QCOMPARE(items.rect->itemName(), QStringLiteral("CropMainRect"));
}

void TestCropItems::maskAlpha_data()
{
    QTest::addColumn<int>("opacity");
    QTest::addColumn<int>("alpha");
    QTest::newRow("-5") << -5 << 255;
    QTest::newRow("0") << 0 << 255;
    QTest::newRow("100") << 100 << 155;
    QTest::newRow("254") << 254 << 1;
    QTest::newRow("255") << 255 << 0;
    QTest::newRow("300") << 300 << 0;
}

void TestCropItems::maskAlpha()
{
    QFETCH(int, opacity);
    QFETCH(int, alpha);
    CCropOverlayRect mask(QStringLiteral("overlayRect"), nullptr);
    QCOMPARE(mask.backgroundAlpha(), 100);
    mask.setBackgroundOpacity(opacity);
    QCOMPARE(mask.backgroundAlpha(), alpha);
}

void TestCropItems::maskHole()
{
    QGraphicsScene scene(0, 0, 200, 100);
    auto* mask = new CCropOverlayRect(QStringLiteral("overlayRect"), nullptr);
    scene.addItem(mask);
    mask->setBackgroundOpacity(0);
    QImage image(200, 100, QImage::Format_ARGB32);
    const auto paint = [&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        mask->paint(&painter, nullptr, nullptr);
    };
    // No crop rectangle, or one without width: no mask at all.
    mask->onCropRectChanged(QRectF(10, 10, 0, 50));
    paint();
    QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));

    mask->onCropRectChanged(QRectF(10.4, 20.6, 99.5, 50.2));
    QCOMPARE(mask->rect(), QRectF(0, 0, 200, 100));
    paint();
    // The clear hole is (9, 20, 102, 52).
    const QColor dark(Qt::black);
    const QColor clear(Qt::white);
    const struct
    {
        int x, y;
        QColor colour;
    } probes[] = {{8, 30, dark},  {9, 30, clear},  {110, 30, clear}, {111, 30, dark}, {50, 19, dark},
                  {50, 20, clear}, {50, 71, clear}, {50, 72, dark},   {0, 0, dark},     {199, 99, dark}};
    for (const auto& probe : probes)
        QVERIFY2(image.pixelColor(probe.x, probe.y) == probe.colour,
                 qPrintable(QStringLiteral("%1,%2").arg(probe.x).arg(probe.y)));
    QCOMPARE(mask->isTransparentForView(), true);
}

void TestCropItems::maskHidesOnceOnSceneChange()
{
    QGraphicsScene scene(0, 0, 200, 100);
    auto* mask = new CCropOverlayRect(QStringLiteral("overlayRect"), nullptr);
    scene.addItem(mask);
    connect(&scene, &QGraphicsScene::sceneRectChanged, mask, &CCropOverlayRect::sceneRectChanged);
    scene.setSceneRect(0, 0, 300, 100);
    QVERIFY(mask->isVisible());
    mask->setHideOnSceneRectChange(true);
    scene.setSceneRect(0, 0, 400, 100);
    QVERIFY(!mask->isVisible());
    QVERIFY(!mask->hideOnSceneRectChange());
    mask->show();
    scene.setSceneRect(0, 0, 500, 100);
    QVERIFY(mask->isVisible());
}

void TestCropItems::maskAndLabelState()
{
    QGraphicsScene big(0, 0, 2000, 1000);
    QGraphicsScene small(0, 0, 1000, 500);
    auto* mask = new CCropOverlayRect(QStringLiteral("overlayRect"), nullptr);
    auto* smallMask = new CCropOverlayRect(QStringLiteral("overlayRect"), nullptr);
    big.addItem(mask);
    small.addItem(smallMask);
    auto* group = new QGraphicsItemGroup;
    big.addItem(group);
    auto* smallGroup = new QGraphicsItemGroup;
    small.addItem(smallGroup);
    auto* label = new CCropSizeLabel(group, QStringLiteral("CropSizeLabel"));
    auto* smallLabel = new CCropSizeLabel(smallGroup, QStringLiteral("CropSizeLabel"));

    mask->setPos(40, 20);
    mask->onCropRectChanged(QRectF(200, 100, 800, 400));
    label->onCropRectChanged(QRectF(200, 100, 800, 400));
    smallMask->restoreState(mask->toByteArray());
    smallLabel->restoreState(label->toByteArray());
    QCOMPARE(smallMask->cropRectInScene(), QRectF(100, 50, 400, 200));
    QCOMPARE(smallMask->pos(), QPointF(20, 10));
    QCOMPARE(smallMask->rect(), QRectF(0, 0, 1000, 500));
    QVERIFY(smallMask->isVisible());
    QCOMPARE(smallLabel->cropRectInScene(), QRectF(100, 50, 400, 200));
    QCOMPARE(smallLabel->pos(), label->pos() / 2);

    // A blob without "visible" hides; one without "rect" paints nothing.
    QMap<QString, QVariant> partial;
    partial.insert(QStringLiteral("pos"), QPointF(0.5, 0.5));
    smallMask->restoreState(NAVIK_tarl1::variantMapToBytes(partial));
    QVERIFY(!smallMask->isVisible());
    QCOMPARE(smallMask->cropRectInScene(), QRectF());
    QCOMPARE(smallMask->pos(), QPointF(500, 250));

    // A scene without size writes zeros, never NaN or infinity ...
    const int assertions = m_logger.linesAt('E').size();
    small.setSceneRect(0, 0, 0, 500);
    for (const QByteArray& blob : {smallMask->toByteArray(), smallLabel->toByteArray()}) {
        const auto state = stateMap(blob);
        const QRectF rect = state.value(QStringLiteral("rect")).toRectF();
        const QPointF pos = state.value(QStringLiteral("pos")).toPointF();
        QCOMPARE(rect.x(), 0.0);
        QCOMPARE(rect.width(), 0.0);
        QCOMPARE(pos.x(), 0.0);
        QVERIFY(std::isfinite(rect.y()) && std::isfinite(rect.height()) && std::isfinite(pos.y()));
    }
    QVERIFY(m_logger.linesAt('E').size() > assertions);

    // ... and non-finite values read back are skipped.
    small.setSceneRect(0, 0, 1000, 500);
    smallLabel->restoreState(label->toByteArray());
    QMap<QString, QVariant> broken;
    broken.insert(QStringLiteral("rect"), QRectF(qQNaN(), 0, 1, 1));
    broken.insert(QStringLiteral("pos"), QPointF(qInf(), 0));
    broken.insert(QStringLiteral("visible"), true);
    smallLabel->restoreState(NAVIK_tarl1::variantMapToBytes(broken));
    QCOMPARE(smallLabel->cropRectInScene(), QRectF(100, 50, 400, 200));
    QCOMPARE(smallLabel->pos(), label->pos() / 2);
    QVERIFY(smallLabel->isVisible());
}

void TestCropItems::labelBoxAndPosition_data()
{
    QTest::addColumn<qreal>("zoom");
    QTest::addColumn<QRectF>("crop");
    QTest::addColumn<bool>("insideX");
    QTest::addColumn<bool>("insideY");
    QTest::newRow("zoom 1") << 1.0 << QRectF(100, 100, 400, 300) << false << false;
    QTest::newRow("zoom 0.5") << 0.5 << QRectF(100, 100, 400, 300) << false << false;
    QTest::newRow("zoom 4") << 4.0 << QRectF(100, 100, 400, 300) << false << false;
    QTest::newRow("right side") << 1.0 << QRectF(1600, 100, 400, 300) << true << false;
    QTest::newRow("bottom side") << 1.0 << QRectF(100, 700, 400, 300) << false << true;
    QTest::newRow("both at 0.5") << 0.5 << QRectF(1000, 500, 1000, 500) << true << true;
}

void TestCropItems::labelBoxAndPosition()
{
    QFETCH(qreal, zoom);
    QFETCH(QRectF, crop);
    QFETCH(bool, insideX);
    QFETCH(bool, insideY);

    QGraphicsScene scene(0, 0, 2000, 1000);
    QGraphicsView view(&scene);
    view.setTransform(QTransform::fromScale(zoom, zoom));
    auto* group = new QGraphicsItemGroup;
    scene.addItem(group);
    auto* label = new CCropSizeLabel(group, QStringLiteral("CropSizeLabel"));
    label->onCropRectChanged(crop);

    const QString text = label->labelText();
    QCOMPARE(text, QStringLiteral("%1 x %2 px").arg(qRound(crop.width())).arg(qRound(crop.height())));
    const int textWidth = QFontMetrics(label->labelFont()).horizontalAdvance(text);
    QCOMPARE(label->rect(), QRectF(0, 0, std::max(70, textWidth + 10), 20));

    const qreal boxWidth = label->rect().width();
    const qreal x = insideX ? crop.right() - (10 + boxWidth) / zoom : crop.right() + 10 / zoom;
    const qreal y = insideY ? crop.bottom() - (10 + 20) / zoom : crop.bottom() + 10 / zoom;
    QVERIFY2(isClose(label->pos(), QPointF(x, y)),
             qPrintable(QStringLiteral("%1,%2").arg(label->pos().x()).arg(label->pos().y())));
    if (zoom == 1.0 && !insideX && !insideY)
        QCOMPARE(label->pos(), QPointF(510, 410));
}

void TestCropItems::labelTimerAndSetting()
{
    QGraphicsScene scene(0, 0, 2000, 1000);
    auto* group = new QGraphicsItemGroup;
    scene.addItem(group);
    auto* label = new CCropSizeLabel(group, QStringLiteral("CropSizeLabel"));
    QVERIFY(label->isVisible());
    QVERIFY(!label->isHideTimerActive());

    label->onCropRectChanged(QRectF(100, 100, 400, 300));
    QVERIFY(label->isHideTimerActive());
    QVERIFY(QMetaObject::invokeMethod(label, "onHideTimer"));
    QVERIFY(!label->isVisible());
    label->showLabel();
    QVERIFY(label->isVisible());
    QVERIFY(label->isHideTimerActive());

    // Painting a label without a crop rectangle draws nothing.
    QImage image(200, 40, QImage::Format_ARGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        label->onCropRectChanged(QRectF(100, 100, 0, 300));
        label->paint(&painter, nullptr, nullptr);
    }
    QCOMPARE(image.pixelColor(35, 10), QColor(Qt::black));
    {
        QPainter painter(&image);
        label->onCropRectChanged(QRectF(100, 100, 400, 300));
        label->paint(&painter, nullptr, nullptr);
    }
    QCOMPARE(image.pixelColor(2, 10), QColor(242, 242, 242));

    // With "showImageSize" off nothing shows the label again.
    CSettings(nullptr).setValue(QStringLiteral("showImageSize"), false);
    QVERIFY(QMetaObject::invokeMethod(label, "onHideTimer"));
    label->onCropRectChanged(QRectF(100, 100, 200, 300));
    label->showLabel();
    QVERIFY(!label->isVisible());
    CCropSizeLabel hidden(group, QStringLiteral("CropSizeLabel"));
    QVERIFY(!hidden.isVisible());
    group->removeFromGroup(&hidden);
}

void TestCropItems::labelUnitsAndZeroScale()
{
    QGraphicsScene scene(0, 0, 6000, 4000);
    QGraphicsView view(&scene);
    auto* group = new QGraphicsItemGroup;
    scene.addItem(group);
    auto* label = new CCropSizeLabel(group, QStringLiteral("CropSizeLabel"));
    label->onCropRectChanged(QRectF(0, 0, 4000, 3000));
    QVERIFY(QMetaObject::invokeMethod(label, "onHideTimer"));

    CSettings(nullptr).setValue(QStringLiteral("imageSizeUnits"), 3);
    label->updateUnits();
    QVERIFY(label->labelText().endsWith(QLatin1String("mm")));
    const int textWidth = QFontMetrics(label->labelFont()).horizontalAdvance(label->labelText());
    QCOMPARE(label->rect().width(), qreal(std::max(70, textWidth + 10)));
    QVERIFY(!label->isVisible());

    // A view without scale counts as scale 1: no infinite position.
    view.setTransform(QTransform::fromScale(0, 0));
    label->updateLabelPosition();
    QCOMPARE(label->pos(), QPointF(4010, 3010));
}

void TestCropItems::gridLineInDevicePixels()
{
    QGraphicsScene scene(0, 0, 100, 100);
    auto* line = new CLine;
    scene.addItem(line);
    QPen pen(Qt::white, 0, Qt::DashLine);
    line->setPen(pen);
    line->setLine(2, 5, 40, 5);
    QImage image(200, 40, QImage::Format_ARGB32);
    image.fill(Qt::red);
    {
        QPainter painter(&image);
        painter.scale(4, 4);
        line->paint(&painter, nullptr, nullptr);
    }
    // One device pixel thick; the black back line fills the dashes' gaps.
    int white = 0;
    int black = 0;
    for (int x = 8; x < 160; ++x) {
        const QColor colour = image.pixelColor(x, 20);
        white += colour == QColor(Qt::white);
        black += colour == QColor(Qt::black);
        QCOMPARE(image.pixelColor(x, 21), QColor(Qt::red));
    }
    QCOMPARE(white + black, 152);
    QVERIFY(white > 0 && black > 0);
    // Dashes stay short at zoom 4: no white run longer than a dash of a
    // one-pixel pen.
    int run = 0;
    int longest = 0;
    for (int x = 8; x < 160; ++x) {
        run = image.pixelColor(x, 20) == QColor(Qt::white) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    QVERIFY(longest <= 5);
}

void TestCropItems::opacitySlider()
{
    QWidget parent;
    {
        CropOverlayOpacitySlider slider(&parent);
        QSignalSpy spy(&slider, &CropOverlayOpacitySlider::valueChanged);
        QCOMPARE(slider.value(), 100);
        QCOMPARE(slider.toolTipText(), QStringLiteral(" 39% "));
        QVERIFY(!CSettings(nullptr).contains(QStringLiteral("CropOverlayOpacity")));

        // A double-click at 100 changes nothing.
        QTest::mouseDClick(slider.slider(), Qt::LeftButton);
        QCOMPARE(spy.count(), 0);
        slider.setValue(255);
        QCOMPARE(slider.toolTipText(), QStringLiteral(" 100% "));
        QTest::mouseDClick(slider.slider(), Qt::LeftButton);
        QCOMPARE(slider.value(), 100);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.last().at(0).toInt(), 100);
        QCOMPARE(CSettings(nullptr).value(QStringLiteral("CropOverlayOpacity")).toInt(), 100);
        slider.setValue(0);
        QCOMPARE(slider.toolTipText(), QStringLiteral(" 0% "));

        delete slider.slider();
        QCOMPARE(slider.value(), 100);
        QCOMPARE(slider.toolTipText(), QString());
        slider.setValue(5);
    }
    // The stored value is handed on unclamped; a non-number counts as missing.
    CSettings(nullptr).setValue(QStringLiteral("CropOverlayOpacity"), 400);
    QCOMPARE(CropOverlayOpacitySlider::savedValue(), 400);
    CSettings(nullptr).setValue(QStringLiteral("CropOverlayOpacity"), QStringLiteral("dark"));
    QCOMPARE(CropOverlayOpacitySlider::savedValue(), 100);
}

void TestCropItems::toolPaneSettingsAndReports()
{
    QStringList journal;
    CCorrectionModuleHost host;
    auto module = std::make_shared<TestModule>(QStringLiteral("Crop"), 5, &journal);
    host.addCorrectionModule(module);
    m_engine.pictureLoaded = true;

    // A stored "false" unchecks the box once and is stored again.
    CSettings(nullptr).setValue(QStringLiteral("cropPanelShowGrid"), false);
    CCropToolPane pane(nullptr, &host, QStringLiteral("Crop"));
    QCOMPARE(pane.objectName(), QStringLiteral("CCropToolPane"));
    QSignalSpy grid(&pane, &CCropToolPane::showGrid);
    QSignalSpy opacity(&pane, &CCropToolPane::backgroundOpacityChanged);
    pane.restoreShowGrid();
    QCOMPARE(grid.count(), 1);
    QCOMPARE(grid.at(0).at(0).toBool(), false);
    pane.restoreShowGrid();
    QCOMPARE(grid.count(), 1);

    // The listeners see the toggle before it is stored.
    bool storedAtSignal = true;
    connect(&pane, &CCropToolPane::showGrid, this, [&storedAtSignal] {
        storedAtSignal = CSettings(nullptr).value(QStringLiteral("cropPanelShowGrid")).toBool();
    });
    pane.ui().checkBoxShowGrid->click();
    QCOMPARE(grid.count(), 2);
    QCOMPARE(storedAtSignal, false);
    QCOMPARE(CSettings(nullptr).value(QStringLiteral("cropPanelShowGrid")).toBool(), true);

    pane.ui().slBackgroundOpacity->setValue(180);
    QCOMPARE(opacity.count(), 1);
    QCOMPARE(opacity.at(0).at(0).toInt(), 180);
    // Neither control is an undo step.
    QCOMPARE(m_stack.count(), 0);

    host.processModuleAction(QStringLiteral("Crop"), QStringLiteral("SpecificCorrectionActivated"), QString());
    journal.clear();
    edit();
    pane.ui().applyButton->click();
    QVERIFY(journal.contains(QStringLiteral("Crop apply")));
    QCOMPARE(lastStep(), QStringLiteral("Apply and close tool"));
    edit();
    pane.ui().resetButton->click();
    QVERIFY(journal.contains(QStringLiteral("Crop resetCurrent")));
    QCOMPARE(lastStep(), QStringLiteral("Reset tool"));
    QCOMPARE(pane.ui().resetButton->focusPolicy(), Qt::NoFocus);
    QCOMPARE(pane.height(), 39);
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestCropItems test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cropitems.moc"
