// The horizon module against the real process engine: a straight edge drawn
// with the level tool on the result comes out level within one pixel after
// one send, and the residual then left sends nothing more.

#include "correction/CCorrectionItems.h"
#include "correction/CCorrectionModuleHost.h"
#include "correction/CRectangleNode.h"
#include "engine/CProcessEngine.h"
#include "engine/ImageConversion.h"
#include "perspective/CHorizonCorrection.h"
#include "shell/CBaseCorrectionGlobalData.h"
#include "EngineTestSupport.h"
#include "TestApplication.h"

#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

class RecordingHorizon : public CHorizonCorrection
{
public:
    using CHorizonCorrection::CHorizonCorrection;
    bool applyPartially() override
    {
        const bool taken = CHorizonCorrection::applyPartially();
        sent.append(rotationAngle());
        return taken;
    }
    QList<double> sent;
};

// Waits for the engine's next output and then for it to fall idle; a
// time-out only marks a failure.
bool waitForOutput(CProcessEngine& engine, QSignalSpy& outputs)
{
    if (outputs.isEmpty() && !outputs.wait(renderTimeout))
        return false;
    return QTest::qWaitFor([&engine] { return !engine.hasTasksForProcessing(); }, renderTimeout);
}

} // namespace

class TestHorizonLevelling : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lineLevelsInOneSend_data();
    void lineLevelsInOneSend();
};

void TestHorizonLevelling::lineLevelsInOneSend_data()
{
    QTest::addColumn<double>("tilt");
    QTest::newRow("5 degrees, right end higher") << 5.0;
    QTest::newRow("-12 degrees") << -12.0;
    QTest::newRow("1.5 degrees") << 1.5;
}

void TestHorizonLevelling::lineLevelsInOneSend()
{
    QFETCH(double, tilt);
    CProcessEngine engine;
    application()->engine = &engine;
    QSize beforeSize;
    QSize afterSize;
    connect(&engine, &CProcessEngine::loResInitialImageProcessed, this,
            [&](PixelDataPtr pixels, QSize) { beforeSize = pixelDataToQImage(pixels).size(); });
    connect(&engine, &CProcessEngine::loResResultImageProcessed, this,
            [&](PixelDataPtr pixels, QSize) { afterSize = pixelDataToQImage(pixels).size(); });
    QSignalSpy outputs(&engine, SIGNAL(transformOutParamsChanged()));
    QVERIFY(engine.openImage(imageInMemory(600, 400)));
    engine.forceProcessImage();
    QVERIFY(QTest::qWaitFor([&] { return !engine.hasTasksForProcessing() && afterSize.isValid(); }, renderTimeout));

    QGraphicsScene before(0, 0, beforeSize.width(), beforeSize.height());
    QGraphicsScene after(0, 0, afterSize.width(), afterSize.height());
    CBaseCorrectionGlobalData images;
    CCorrectionModuleHost host;
    host.initialize(&before, &after);
    const auto module = std::make_shared<RecordingHorizon>(&images, 4);
    host.addCorrectionModule(module);
    module->setSingleMode();
    outputs.clear();
    module->activateSpecificCorrection(QStringLiteral("HorizontalCorrection"));
    QVERIFY(waitForOutput(engine, outputs));

    // The user lays the line along a tilted edge of the result and releases
    // it with Control.
    CCorrectionItems* items = module->afterSceneItems;
    const QPointF centre = after.sceneRect().center();
    const double radius = std::min(afterSize.width(), afterSize.height()) * 0.4;
    const double r = tilt * M_PI / 180.0;
    items->leftTop->setPos(centre + QPointF(-radius * std::cos(r), radius * std::sin(r)));
    items->rightTop->setPos(centre + QPointF(radius * std::cos(r), -radius * std::sin(r)));
    module->sent.clear();
    outputs.clear();
    module->sceneItemMoved(items->rightTop, nullptr, true);
    QCOMPARE(module->sent.size(), 1);
    QVERIFY(std::abs(module->sent.first() - tilt) < 0.01);
    QVERIFY(waitForOutput(engine, outputs));

    // One send: the residual is under 2 degrees and nothing more goes out.
    QCOMPARE(module->sent.size(), 1);
    const QPointF a = items->leftTop->scenePos();
    const QPointF b = items->rightTop->scenePos();
    QVERIFY2(std::abs(a.y() - b.y()) <= 1.0,
             qPrintable(QStringLiteral("(%1, %2) to (%3, %4)").arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y())));
    QVERIFY(QLineF(a, b).length() > radius);
    application()->engine = nullptr;
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestHorizonLevelling test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_horizonlevelling.moc"
