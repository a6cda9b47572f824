// The horizon module against a recording engine: a drag's angle and where it
// goes, a degenerate line, the residual loop and its threshold, the clamped
// angle; and its settings panel: the angle field's accepted and refused
// texts, the slider and the module without echo, and the bytes of its state.

#include "correction/CCorrectionModuleHost.h"
#include "correction/CRectangleNode.h"
#include "correction/CUndoController.h"
#include "perspective/CHorizonCorrection.h"
#include "perspective/CHorizonCorrectionItems.h"
#include "perspective/CHorizonSettings.h"
#include "shell/CBaseCorrectionGlobalData.h"
#include "utils/CSettings.h"
#include "view/CSlider.h"
#include "FakeProcessEngine.h"
#include "TestApplication.h"

#include <QGraphicsScene>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QValidator>

#include <cmath>

namespace {

// Records every angle the module sends.
class RecordingHorizon : public CHorizonCorrection
{
public:
    using CHorizonCorrection::CHorizonCorrection;
    bool applyPartially() override
    {
        const bool taken = CHorizonCorrection::applyPartially();
        if (correctionMode() != NoMode)
            sent.append(rotationAngle());
        return taken;
    }
    QList<double> sent;
};

// The after line tilted by `degrees` about (400, 300), right end higher for a positive angle.
void tiltLine(CCorrectionItems* items, double degrees)
{
    const double r = degrees * M_PI / 180.0;
    items->leftTop->setPos(400 - 200 * std::cos(r), 300 + 200 * std::sin(r));
    items->rightTop->setPos(400 + 200 * std::cos(r), 300 - 200 * std::sin(r));
}

} // namespace

class TestHorizonCorrection : public QObject
{
    Q_OBJECT
private:
    FakeProcessEngine m_engine;
    CBaseCorrectionGlobalData m_images;
    std::unique_ptr<QGraphicsScene> m_before;
    std::unique_ptr<QGraphicsScene> m_after;
    std::unique_ptr<CCorrectionModuleHost> m_host;
    std::shared_ptr<RecordingHorizon> m_module;

    void engineOutput() { QVERIFY(QMetaObject::invokeMethod(m_module.get(), "transformOutParamsChanged")); }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void roundedAngles();
    void residualLoop_data();
    void residualLoop();
    void clampedAngleStops();
    void dragOnAfterScene();
    void dragOnBeforeSceneWraps();
    void degenerateDragSendsNothing();
    void toolChoice();
    void angleField_data();
    void angleField();
    void sliderAndModuleWithoutEcho();
    void panelStateBytes();
    void stateRestoredAtOnceDropsTheWaitingOne();
    void unreadableStoredColour();
};

void TestHorizonCorrection::initTestCase()
{
    CUndoController& controller = *CUndoController::instance();
    controller.setProcessEngine(&m_engine);
    controller.addSerializableObject(&m_engine);
}

void TestHorizonCorrection::init()
{
    application()->engine = &m_engine;
    m_engine.calls.clear();
    m_before = std::make_unique<QGraphicsScene>(0, 0, 800, 600);
    m_after = std::make_unique<QGraphicsScene>(0, 0, 800, 600);
    m_host = std::make_unique<CCorrectionModuleHost>();
    m_host->initialize(m_before.get(), m_after.get());
    m_module = std::make_shared<RecordingHorizon>(&m_images, 4);
    m_host->addCorrectionModule(m_module);
    m_module->activateSpecificCorrection(QStringLiteral("HorizontalCorrection"));
    m_module->setSingleMode();
    m_module->sent.clear();
    // The first output after the choice lays the line out.
    engineOutput();
    m_module->sent.clear();
}

void TestHorizonCorrection::cleanup()
{
    m_host.reset();
    m_module.reset();
    m_before.reset();
    m_after.reset();
    application()->engine = nullptr;
}

void TestHorizonCorrection::roundedAngles()
{
    QCOMPARE(CHorizonCorrection::roundedAngle(1.34), 1.3);
    QCOMPARE(CHorizonCorrection::roundedAngle(1.35), 1.4);
    QCOMPARE(CHorizonCorrection::roundedAngle(-0.05), 0.0);
    QCOMPARE(CHorizonCorrection::roundedAngle(-0.06), -0.1);
    QCOMPARE(CHorizonCorrection::roundedAngle(9.96), 10.0);
}

void TestHorizonCorrection::residualLoop_data()
{
    QTest::addColumn<double>("residual");
    QTest::addColumn<bool>("sends");
    QTest::newRow("1.99 degrees") << 1.99 << false;
    QTest::newRow("-1.99 degrees") << -1.99 << false;
    QTest::newRow("2.0 degrees") << 2.0 << true;
    QTest::newRow("-7 degrees") << -7.0 << true;
}

void TestHorizonCorrection::residualLoop()
{
    QFETCH(double, residual);
    QFETCH(bool, sends);
    QCOMPARE(m_module->correctionMode(), 1);
    tiltLine(m_module->beforeSceneItems, residual);
    engineOutput();
    if (!sends) {
        QVERIFY(m_module->sent.isEmpty());
        return;
    }
    QCOMPARE(m_module->sent.size(), 1);
    QVERIFY(std::abs(m_module->sent.first() - residual) < 1e-6);
}

void TestHorizonCorrection::clampedAngleStops()
{
    m_module->setRotationAngle(85.0);
    engineOutput(); // turns the line level
    m_module->sent.clear();
    tiltLine(m_module->beforeSceneItems, 10.0);
    engineOutput();
    QCOMPARE(m_module->sent, QList<double>{90.0});
    engineOutput();
    QCOMPARE(m_module->sent, QList<double>{90.0});
}

void TestHorizonCorrection::dragOnAfterScene()
{
    QSignalSpy shown(m_module.get(), &CHorizonCorrection::onRotationAngleWasChanged);
    tiltLine(m_module->afterSceneItems, 5.0);
    m_module->sceneItemMoved(m_module->afterSceneItems->rightTop, nullptr, false);
    QVERIFY(m_module->sent.isEmpty());
    QVERIFY(std::abs(m_module->intermediateRotationAngle() - 5.0) < 1e-9);
    QCOMPARE(m_module->rotationAngle(), 0.0);
    QCOMPARE(shown.last().first().toDouble(), 5.0);
    // With Control it goes at once.
    tiltLine(m_module->afterSceneItems, 5.0);
    m_module->sceneItemMoved(m_module->afterSceneItems->rightTop, nullptr, true);
    QCOMPARE(m_module->sent.size(), 1);
}

void TestHorizonCorrection::dragOnBeforeSceneWraps()
{
    m_module->setSplitedMode();
    m_module->setRotationAngle(-60.0);
    m_module->sent.clear();
    tiltLine(m_module->beforeSceneItems, -35.0); // -95 in all
    m_module->sceneItemMoved(m_module->beforeSceneItems->rightTop, nullptr, false);
    QCOMPARE(m_module->sent.size(), 1);
    QVERIFY(std::abs(m_module->rotationAngle() - 85.0) < 1e-9);
}

void TestHorizonCorrection::degenerateDragSendsNothing()
{
    m_module->setRotationAngle(3.0);
    m_module->sent.clear();
    CUndoController::instance()->resetUndoStack();
    CUndoController::instance()->createUndoCommand(); // the baseline
    QUndoStack* stack = CUndoController::instance()->undoStack();
    const int steps = stack->count();
    CCorrectionItems* items = m_module->afterSceneItems;
    items->leftTop->setPos(400, 300);
    items->rightTop->setPos(400, 300);
    m_module->sceneItemMoved(items->rightTop, nullptr, true);
    // Neither doubled nor sent; the step is still asked for.
    QCOMPARE(m_module->rotationAngle(), 3.0);
    QCOMPARE(m_module->intermediateRotationAngle(), 3.0);
    QVERIFY(m_module->sent.isEmpty());
    QCOMPARE(stack->count(), steps + 1);
    QCOMPARE(stack->text(steps), QStringLiteral("Horizon correction scene point moved"));
}

void TestHorizonCorrection::toolChoice()
{
    m_module->activateSpecificCorrection(QStringLiteral("RectangleCorrection"));
    m_module->activateSpecificCorrection(QString());
    QCOMPARE(m_module->correctionMode(), 1);
    m_module->activateSpecificCorrection(QStringLiteral("VerticalCorrection"));
    QCOMPARE(m_module->correctionMode(), 2);
    // The vertical line runs through the middle of the scene.
    QCOMPARE(m_module->afterSceneItems->leftTop->pos(), QPointF(400, 150));
    QCOMPARE(m_module->afterSceneItems->rightTop->pos(), QPointF(400, 450));
    bool valid = false;
    QCOMPARE(m_module->measureLineAngle(m_module->afterSceneItems, false, &valid), 0.0);
    QVERIFY(valid);
}

void TestHorizonCorrection::angleField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("90,0") << QStringLiteral("90,0") << true;
    QTest::newRow("-90.0") << QStringLiteral("-90.0") << true;
    QTest::newRow("12.3") << QStringLiteral("12.3") << true;
    QTest::newRow("-7") << QStringLiteral("-7") << true;
    QTest::newRow("90.5") << QStringLiteral("90.5") << false;
    QTest::newRow("91") << QStringLiteral("91") << false;
    QTest::newRow("1.25") << QStringLiteral("1.25") << false;
}

void TestHorizonCorrection::angleField()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    CHorizonSettings panel(m_module.get(), nullptr);
    auto* field = panel.angleSlider->findChild<QLineEdit*>();
    QVERIFY(field && field->validator());
    int position = 0;
    QCOMPARE(field->validator()->validate(text, position) == QValidator::Acceptable, accepted);
}

void TestHorizonCorrection::sliderAndModuleWithoutEcho()
{
    CHorizonSettings panel(m_module.get(), nullptr);
    // The slider's ends reach the module as whole degrees.
    QMetaObject::invokeMethod(&panel, "rotationAngleChanged", Q_ARG(QString, QString()), Q_ARG(int, -900));
    QCOMPARE(m_module->rotationAngle(), -90.0);
    QMetaObject::invokeMethod(&panel, "rotationAngleChanged", Q_ARG(QString, QString()), Q_ARG(int, 900));
    QCOMPARE(m_module->rotationAngle(), 90.0);
    QCOMPARE(m_module->sent.last(), 90.0);
    // An angle from the module sets the slider and sends nothing back.
    m_module->sent.clear();
    QSignalSpy fromSlider(panel.angleSlider, &CSlider::parameterChanged);
    emit m_module->onRotationAngleWasChanged(12.3);
    QCOMPARE(panel.angleSlider->value(), 123);
    QVERIFY(fromSlider.isEmpty());
    QVERIFY(m_module->sent.isEmpty());
    QCOMPARE(m_module->rotationAngle(), 90.0);
}

void TestHorizonCorrection::panelStateBytes()
{
    CHorizonSettings panel(m_module.get(), nullptr);
    {
        const QSignalBlocker blocker(panel.horizonHTool);
        panel.horizonHTool->setChecked(true);
    }
    // A Qt 4.8 stream of two entries, the greatest key first, each value a
    // variant bool: type 1, null flag, value.
    const QByteArray expected = QByteArray::fromHex(
        "00000002"                                                               // entries
        "0000001e 00750069002e0068006f00720069007a006f006e00560054006f006f006c"  // "ui.horizonVTool"
        "00000001 00 00"                                                         //   false
        "0000001e 00750069002e0068006f00720069007a006f006e00480054006f006f006c"  // "ui.horizonHTool"
        "00000001 00 01");                                                       //   true
    QCOMPARE(panel.serializeWidgetState().toHex(' '), expected.toHex(' '));

    CHorizonSettings other(m_module.get(), nullptr);
    {
        const QSignalBlocker blocker(other.horizonVTool);
        other.horizonVTool->setChecked(true);
    }
    other.deserializeWidgetState(expected);
    QVERIFY(other.horizonHTool->isChecked());
    QVERIFY(!other.horizonVTool->isChecked());
}

// A deferred state whose render failed is followed by one restored at once
// (the step taken back): the next engine output keeps the newer one.
void TestHorizonCorrection::stateRestoredAtOnceDropsTheWaitingOne()
{
    m_module->setRotationAngle(10.0);
    const QByteArray failed = m_module->serialize();
    m_module->setRotationAngle(20.0);
    const QByteArray good = m_module->serialize();

    m_module->deserialize(failed, true);
    m_module->deserialize(good, false);
    engineOutput();
    QCOMPARE(m_module->rotationAngle(), 20.0);
}

void TestHorizonCorrection::unreadableStoredColour()
{
    NAVIK_tarl1::CSettings settings;
    settings.setValue(QStringLiteral("NavikEdgePenColor"), QStringLiteral("blu"));
    QCOMPARE(m_module->edgeColor(), QColor(Qt::blue));
    settings.remove(QStringLiteral("NavikEdgePenColor"));
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestHorizonCorrection test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_horizoncorrection.moc"
