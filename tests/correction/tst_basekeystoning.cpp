// The base of the keystoning and horizon modules: building and wiring a
// set's items, the sets saved and restored with the module's groups (and so
// undone through the host's record), points placed from the engine, and the
// set not edited kept in step with the edited one.

#include "correction/CBaseKeystoningCorrection.h"
#include "correction/CCorrectionItems.h"
#include "correction/CCorrectionModuleHost.h"
#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "shell/CBaseCorrectionGlobalData.h"
#include "utils/DataStreamFormat.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QTest>

namespace {

int assertionCount(const RecordingLogger& logger)
{
    return logger.linesAt('E').filter(QStringLiteral("ASSERT in ")).size();
}

class TestKeystoning : public CBaseKeystoningCorrection
{
    Q_OBJECT
public:
    using CBaseKeystoningCorrection::CBaseKeystoningCorrection;

    QByteArray serialize() override
    {
        QMap<QString, QVariant> state;
        saveItemsVisibility(state);
        return NAVIK_tarl1::variantMapToBytes(state);
    }
    void deserialize(const QByteArray& bytes, bool) override
    {
        restoreItemsVisibility(NAVIK_tarl1::variantMapFromBytes(bytes));
    }
    QString id() const override { return QStringLiteral("Keystoning"); }
    QWidget* createToolPaneWidget(QWidget*) override { return nullptr; }
    void attachToLayout(QLayout*) override {}
    void setSingleMode() override {}
    void setSplitedMode() override {}
    void setModuleActive(bool active) override { setModuleState(active); }
    void activateSpecificCorrection(const QString&) override {}
    void touchAdditionalControl(const QString&) override {}
    void resetModule() override {}
    void resetCurrentCorrection() override {}
    void applyCorrection(bool*) override {}
    QWidget* createSettingsWidget(QWidget*) override { return nullptr; }
    bool isModuleAvailable() override { return true; }
    QString moduleDisplayName() const override { return id(); }

    int releases = 0;

public Q_SLOTS:
    void onMouseReleaseEvent(const CRectangleNode*, const CEdge*, QGraphicsSceneMouseEvent*) { ++releases; }
    void onKeyReleaseEvent(const CRectangleNode*, QKeyEvent*) {}

protected:
    void doInitialize() override
    {
        currentSceneItems = beforeSceneItems;
        createCorrectionItems(host()->beforeSceneItemGroup(id()), beforeSceneItems, QStringLiteral("BeforeKeystoning"));
        createCorrectionItems(host()->afterSceneItemGroup(id()), afterSceneItems, QStringLiteral("AfterKeystoning"));
    }
};

} // namespace

class TestBaseKeystoning : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    FakeProcessEngine m_engine;
    std::unique_ptr<CBaseCorrectionGlobalData> m_images;
    std::unique_ptr<QGraphicsScene> m_before;
    std::unique_ptr<QGraphicsScene> m_after;
    std::unique_ptr<CCorrectionModuleHost> m_host;
    std::shared_ptr<TestKeystoning> m_module;
    CCorrectionItems m_beforeItems;
    CCorrectionItems m_afterItems;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void itemsAreBuiltAndWired();
    void nullGroupBuildsNothing();
    void hostRecordRestoresHandles();
    void restoreFromAnEmptyState();
    void synchronizeFromEnginePoints();
    void editedSetLeadsTheOther();
};

void TestBaseKeystoning::initTestCase()
{
    m_images = std::make_unique<CBaseCorrectionGlobalData>();
}

void TestBaseKeystoning::init()
{
    application()->engine = &m_engine;
    m_engine.shift = QPointF();
    m_engine.projectedLists.clear();
    m_before = std::make_unique<QGraphicsScene>(0, 0, 1, 1);
    m_after = std::make_unique<QGraphicsScene>(0, 0, 1, 1);
    m_host = std::make_unique<CCorrectionModuleHost>();
    m_host->initialize(m_before.get(), m_after.get());
    m_beforeItems = CCorrectionItems();
    m_afterItems = CCorrectionItems();
    m_module = std::make_shared<TestKeystoning>(m_images.get(), 3);
    m_module->beforeSceneItems = &m_beforeItems;
    m_module->afterSceneItems = &m_afterItems;
    m_host->addCorrectionModule(m_module);
    m_before->setSceneRect(0, 0, 800, 600);
    m_after->setSceneRect(0, 0, 800, 600);
    m_logger.clear();
}

void TestBaseKeystoning::cleanup()
{
    m_host.reset();
    m_module.reset();
    m_before.reset();
    m_after.reset();
    application()->engine = nullptr;
}

void TestBaseKeystoning::itemsAreBuiltAndWired()
{
    QVERIFY(m_module->isCurrentItemsOnBeforeScene());
    QCOMPARE(m_afterItems.rightBottom->objectName(), QStringLiteral("AfterKeystoningRightBottom"));
    QCOMPARE(m_afterItems.topEdge->itemName(), QStringLiteral("AfterKeystoningTop"));
    QCOMPARE(m_beforeItems.leftTop->scene(), m_before.get());
    QCOMPARE(m_afterItems.eightPointsItems->topLeft->scene(), m_after.get());
    QCOMPARE(m_afterItems.leftTop->parentItem(), m_host->afterSceneItemGroup(QStringLiteral("Keystoning")));
    QVERIFY(!m_afterItems.eightPointsItems->isVisible());

    // A node's drag reaches the module.
    CRectangleNode* node = m_beforeItems.leftTop;
    m_host->beforeSceneItemGroup(QStringLiteral("Keystoning"))->show();
    node->setPos(100, 100);
    QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
    press.setScenePos(QPointF(100, 100));
    press.setButton(Qt::LeftButton);
    press.setButtons(Qt::LeftButton);
    m_before->sendEvent(node, &press);
    QGraphicsSceneMouseEvent release(QEvent::GraphicsSceneMouseRelease);
    release.setScenePos(QPointF(120, 100));
    release.setButton(Qt::LeftButton);
    m_before->sendEvent(node, &release);
    QCOMPARE(m_module->releases, 1);
}

void TestBaseKeystoning::nullGroupBuildsNothing()
{
    CCorrectionItems items;
    m_module->createCorrectionItems(nullptr, &items, QStringLiteral("X"));
    QVERIFY(!items.leftTop && !items.eightPointsItems);
}

void TestBaseKeystoning::hostRecordRestoresHandles()
{
    QGraphicsItemGroup* after = m_host->afterSceneItemGroup(QStringLiteral("Keystoning"));
    after->show();
    m_module->currentSceneItems = &m_afterItems;
    m_afterItems.setRectangleCorrectionMode();
    m_afterItems.leftTop->setPos(80, 60);
    m_afterItems.eightPointsItems->setDefaultPositions();
    const QByteArray saved = m_host->serialize();

    // The user moves a handle, switches the tool off and hides the group.
    m_afterItems.leftTop->setPos(300, 200);
    m_afterItems.eightPointsItems->topLeft->setPos(10, 10);
    m_afterItems.set8PointsCorrectionMode();
    after->hide();
    m_module->currentSceneItems = &m_beforeItems;

    // Undo hands the host its record back: the handles go back with it.
    m_host->deserialize(saved, true);
    QCOMPARE(m_afterItems.leftTop->pos(), QPointF(80, 60));
    QCOMPARE(m_afterItems.eightPointsItems->topLeft->pos(), QPointF(300, 150));
    QVERIFY(m_afterItems.rightEdge->isVisible());
    QVERIFY(!m_afterItems.eightPointsItems->isVisible());
    QVERIFY(m_module->isCurrentItemsOnAfterScene());
    QVERIFY(after->isVisible());
    QCOMPARE(assertionCount(m_logger), 0);
}

void TestBaseKeystoning::restoreFromAnEmptyState()
{
    m_afterItems.leftTop->setPos(50, 40);
    m_afterItems.setRectangleCorrectionMode();
    m_host->afterSceneItemGroup(QStringLiteral("Keystoning"))->show();
    m_module->restoreItemsVisibility({});
    QVERIFY(assertionCount(m_logger) >= 5);
    QCOMPARE(m_afterItems.leftTop->pos(), QPointF(50, 40));
    QVERIFY(!m_afterItems.leftEdge->isVisible());
    QVERIFY(m_module->isCurrentItemsOnAfterScene());
    QVERIFY(!m_host->afterSceneItemGroup(QStringLiteral("Keystoning"))->isVisible());
    QVERIFY(!m_host->beforeSceneItemGroup(QStringLiteral("Keystoning"))->isVisible());
}

void TestBaseKeystoning::synchronizeFromEnginePoints()
{
    m_engine.normalisedPoints = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    m_engine.initialSize = QSize(800, 600);
    m_engine.shift = QPointF(5, 5);
    const QVector<QPointF> eight = m_afterItems.eightPointsItems->points();
    m_module->synchronizeSceneItems();
    const QVector<QPointF> scaled{{0, 0}, {0, 600}, {800, 600}, {800, 0}};
    QCOMPARE(m_engine.projectedLists.size(), 2);
    QCOMPARE(m_engine.projectedLists.at(0), std::make_pair(3, scaled));
    QCOMPARE(m_engine.projectedLists.at(1), std::make_pair(5, scaled));
    QCOMPARE(m_beforeItems.rightBottom->pos(), QPointF(800, 600));
    QCOMPARE(m_afterItems.rightTop->pos(), QPointF(800, 5));
    QCOMPARE(m_afterItems.eightPointsItems->points(), eight);

    m_engine.projectedLists.clear();
    m_engine.normalisedPoints.clear();
    m_module->synchronizeSceneItems();
    QVERIFY(m_engine.projectedLists.isEmpty());
}

void TestBaseKeystoning::editedSetLeadsTheOther()
{
    m_engine.shift = QPointF(0, 0);
    m_beforeItems.leftTop->setPos(40, 30);
    m_module->sceneItemMoved(m_beforeItems.leftTop, nullptr, true);
    QCOMPARE(m_engine.projectedLists.first().first, 0);
    QCOMPARE(m_afterItems.leftTop->pos(), QPointF(40, 30));

    m_module->currentSceneItems = &m_afterItems;
    m_engine.projectedLists.clear();
    m_afterItems.rightTop->setPos(700, 20);
    // A script's move counts as a release.
    m_afterItems.rightTop->setPosByScript(QPointF(710, 25));
    QCOMPARE(m_engine.projectedLists.first().first, 1);
    QCOMPARE(m_beforeItems.rightTop->pos(), QPointF(710, 25));
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestBaseKeystoning test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_basekeystoning.moc"
