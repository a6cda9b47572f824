// The base module and the module host: registration and order, the
// dispatcher of user activities with its log, scene groups, the host's undo
// record, and ids that no module registered.

#include "correction/CCorrectionModuleHost.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"
#include "TestModule.h"

#include <QGraphicsItemGroup>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTest>

namespace {

int assertionCount(const RecordingLogger& logger)
{
    return logger.linesAt('E').filter(QStringLiteral("ASSERT in ")).size();
}

} // namespace

class TestCorrectionModuleHost : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    FakeProcessEngine m_engine;
    QStringList m_journal;
    std::unique_ptr<CCorrectionModuleHost> m_host;
    std::shared_ptr<TestModule> m_horizon;
    std::shared_ptr<TestModule> m_keystoning;
    std::shared_ptr<TestModule> m_crop;

    void act(const QString& module, const QString& activity, const QString& argument = QString())
    {
        m_host->processModuleAction(module, activity, argument);
    }

private Q_SLOTS:
    void init();
    void cleanup();
    void baseModuleEngineShortcuts();
    void baseModuleState();
    void registrationAndOrder();
    void nothingHappensWithoutAPicture();
    void dispatcherLog();
    void toolSwitchAppliesTheToolLeft();
    void resetAllResetsEveryModule();
    void defaultStateDropsTheCurrentCorrection();
    void unknownIds();
    void reentrantReset();
    void resetBeforeImageOpen();
    void sceneGroups();
    void scenesGoFirst();
    void recordRestoresModulesAndCurrentCorrection();
};

void TestCorrectionModuleHost::init()
{
    application()->engine = &m_engine;
    m_engine.pictureLoaded = true;
    m_engine.calls.clear();
    m_journal.clear();
    m_host = std::make_unique<CCorrectionModuleHost>();
    m_horizon = std::make_shared<TestModule>(QStringLiteral("Horizon"), 4, &m_journal);
    m_keystoning = std::make_shared<TestModule>(QStringLiteral("Keystoning"), 3, &m_journal);
    m_crop = std::make_shared<TestModule>(QStringLiteral("Crop"), 5, &m_journal);
    m_host->addCorrectionModule(m_horizon);
    m_host->addCorrectionModule(m_keystoning);
    m_host->addCorrectionModule(m_crop);
    m_journal.clear();
    m_logger.clear();
}

void TestCorrectionModuleHost::cleanup()
{
    m_host.reset();
    m_horizon.reset();
    m_keystoning.reset();
    m_crop.reset();
    application()->engine = nullptr;
}

void TestCorrectionModuleHost::baseModuleEngineShortcuts()
{
    m_horizon->setCEProperty(QStringLiteral("KeystoningScale"), 7);
    m_horizon->setCEProperty(QStringLiteral("KeystoningHVRatio"), 0.1);
    m_horizon->setCEProperty(QStringLiteral("Name"), QStringLiteral("text"));
    m_horizon->setCEProperty(QStringLiteral("KeystoningActive"), true);
    QCOMPARE(m_engine.calls, (QStringList{QStringLiteral("float KeystoningScale 7"),
                                          QStringLiteral("float KeystoningHVRatio %1").arg(double(0.1f), 0, 'g', 17),
                                          QStringLiteral("string Name text"),
                                          QStringLiteral("bool KeystoningActive 1")}));
}

void TestCorrectionModuleHost::baseModuleState()
{
    TestModule module(QStringLiteral("Keystoning"), 3, &m_journal);
    QCOMPARE(module.serializeBaseState(), QByteArray(1, '\0'));
    QVERIFY(module.setModuleState(true));
    QVERIFY(!module.setModuleState(true));
    QCOMPARE(module.serializeBaseState(), QByteArray(1, '\1'));
    module.deserializeBaseState(QByteArray());
    QVERIFY(!module.isModuleActive());

    // The interface and, so that the host keeps module states for undo, the
    // serialisable interface.
    QObject* object = &module;
    QVERIFY(object->qt_metacast("ICorrectionModuleInterface"));
    QCOMPARE(qobject_cast<ICorrectionModuleInterface*>(object), static_cast<ICorrectionModuleInterface*>(&module));
    QVERIFY(qobject_cast<ISerializableInterface*>(object));

    // setHost initialises first, then relays the host's signal, once per emission.
    CCorrectionModuleHost host;
    QSignalSpy relayed(&module, &CBaseCorrectionModule::correctionOrModuleStateIsChanged);
    m_journal.clear();
    module.setHost(&host);
    QCOMPARE(m_journal, QStringList{QStringLiteral("Keystoning initialize")});
    emit host.correctionOrModuleStateIsChanged();
    QCOMPARE(relayed.count(), 1);
}

void TestCorrectionModuleHost::registrationAndOrder()
{
    const QList<ICorrectionModuleInterfacePtr> modules = m_host->correctionModules();
    QCOMPARE(modules.size(), 3);
    QCOMPARE(modules.at(0)->id(), QStringLiteral("Keystoning"));
    QCOMPARE(modules.at(1)->id(), QStringLiteral("Horizon"));
    QCOMPARE(modules.at(2)->id(), QStringLiteral("Crop"));
    QCOMPARE(m_host->module(QStringLiteral("Horizon")).get(), m_horizon.get());
    QVERIFY(!m_host->module(QStringLiteral("horizon")));
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
    QVERIFY(!m_host->isAnyModuleActive());

    m_host->setSplitedMode();
    QCOMPARE(m_journal, (QStringList{"Horizon split", "Keystoning split", "Crop split"}));
}

void TestCorrectionModuleHost::nothingHappensWithoutAPicture()
{
    m_engine.pictureLoaded = false;
    QSignalSpy changed(m_host.get(), &CCorrectionModuleHost::correctionOrModuleStateIsChanged);
    act(QStringLiteral("Keystoning"), QStringLiteral("SpecificCorrectionActivated"), QStringLiteral("VerticalCorrection"));
    QVERIFY(m_journal.isEmpty());
    QVERIFY(m_logger.allLines().isEmpty());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
}

void TestCorrectionModuleHost::dispatcherLog()
{
    QSignalSpy changed(m_host.get(), &CCorrectionModuleHost::correctionOrModuleStateIsChanged);
    act(QStringLiteral("Keystoning"), QStringLiteral("ModuleActivate"), QStringLiteral("x"));

    const QStringList expected{
        QStringLiteral("D *******************************************New action*******************\n"
                       "Module: Keystoning, action: ModuleActivate, argument:x\n"),
        QStringLiteral("D \nCurrent state of modules:\n"),
        QStringLiteral("D \tModule:Horizon, state:false\n"),
        QStringLiteral("D \tModule:Keystoning, state:false\n"),
        QStringLiteral("D \tModule:Crop, state:false\n"),
        QStringLiteral("D \tCurrent Correction:Empty_Correction_ID\n"),
        QStringLiteral("D \nChanging states for modules:\n"),
        QStringLiteral("D \tCurrent Correction:Empty_correction_ID\n"),
        QStringLiteral("D \tModule:Crop, state:false\n"),
        QStringLiteral("D \tModule:Horizon, state:false\n"),
        QStringLiteral("D \tModule:Keystoning, state:true\n"),
        QStringLiteral("D \nMake action for module:\n"),
    };
    QCOMPARE(m_logger.allLines(), expected);
    QCOMPARE(m_journal, QStringList{QStringLiteral("Keystoning active 1")});
    QCOMPARE(changed.count(), 1);
}

void TestCorrectionModuleHost::toolSwitchAppliesTheToolLeft()
{
    act(QStringLiteral("Horizon"), QStringLiteral("SpecificCorrectionActivated"), QStringLiteral("horizonHTool"));
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Horizon"));
    m_journal.clear();
    m_logger.clear();

    act(QStringLiteral("Keystoning"), QStringLiteral("SpecificCorrectionActivated"), QStringLiteral("VerticalCorrection"));
    QCOMPARE(m_journal, (QStringList{"Horizon apply", "Keystoning active 1", "Keystoning activate VerticalCorrection"}));
    QCOMPARE(m_host->currentCorrectionModule().get(), m_keystoning.get());
    QVERIFY(m_logger.linesAt('D').contains(
        QStringLiteral("Activate specific correction for module:Keystoning, argument:VerticalCorrection\n")));

    // A slider of a module with a tool current only switches it on.
    m_journal.clear();
    act(QStringLiteral("Crop"), QStringLiteral("AdditionalControlTouched"), QStringLiteral("manualCrop"));
    QCOMPARE(m_journal, (QStringList{"Crop active 1", "Crop touch manualCrop"}));
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Keystoning"));
}

void TestCorrectionModuleHost::resetAllResetsEveryModule()
{
    act(QStringLiteral("Empty_Correction_ID"), QStringLiteral("resetAll"), QStringLiteral("arg"));
    QCOMPARE(m_journal, (QStringList{"Horizon reset", "Keystoning reset", "Crop reset"}));
    const QStringList lines = m_logger.linesAt('D');
    QCOMPARE(lines.mid(lines.size() - 3),
             (QStringList{"Reset module:Horizon, argument:arg\n", "Reset module:Keystoning, argument:arg\n",
                          "Reset module:Crop, argument:arg\n"}));
    QCOMPARE(assertionCount(m_logger), 0);
}

void TestCorrectionModuleHost::defaultStateDropsTheCurrentCorrection()
{
    act(QStringLiteral("Horizon"), QStringLiteral("SpecificCorrectionActivated"));
    m_journal.clear();
    m_logger.clear();
    QSignalSpy changed(m_host.get(), &CCorrectionModuleHost::correctionOrModuleStateIsChanged);
    // Releasing the crop tool while the horizon tool is current: no row fits.
    act(QStringLiteral("Crop"), QStringLiteral("CorrectionApplyed"));
    QCOMPARE(assertionCount(m_logger), 1);
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
    // No module is switched, but the activity's own call still happens.
    QCOMPARE(m_journal, QStringList{QStringLiteral("Crop apply")});
    QCOMPARE(changed.count(), 1);
}

void TestCorrectionModuleHost::unknownIds()
{
    // A caller naming a correction no module carries: the table switches
    // "Anamorphosis" on, the host finds no such module and goes on.
    act(QStringLiteral("Anamorphosis"), QStringLiteral("ModuleActivate"));
    QVERIFY(assertionCount(m_logger) >= 1);
    QVERIFY(m_journal.isEmpty());
    QVERIFY(!m_host->isModuleActive(QStringLiteral("Anamorphosis")));

    m_logger.clear();
    act(QStringLiteral("Anamorphosis"), QStringLiteral("SpecificCorrectionActivated"), QStringLiteral("a"));
    act(QStringLiteral("Lens"), QStringLiteral("ModuleReset"));
    QVERIFY(m_journal.isEmpty());
    QVERIFY(assertionCount(m_logger) >= 2);

    // An activity outside the nine: logged, nothing called, signal still sent.
    QSignalSpy changed(m_host.get(), &CCorrectionModuleHost::correctionOrModuleStateIsChanged);
    act(QStringLiteral("Horizon"), QStringLiteral("Rotate"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(m_journal.isEmpty());
}

void TestCorrectionModuleHost::reentrantReset()
{
    // Each module's reset reports its own switching off while the host is
    // still going through the modules.
    act(QStringLiteral("Keystoning"), QStringLiteral("SpecificCorrectionActivated"), QStringLiteral("VerticalCorrection"));
    act(QStringLiteral("Horizon"), QStringLiteral("ModuleActivate"));
    for (const auto& module : {m_horizon, m_keystoning, m_crop}) {
        TestModule* self = module.get();
        module->onReset = [this, self] { act(self->id(), QStringLiteral("ModuleDeactivate")); };
    }
    m_journal.clear();
    act(QStringLiteral("Empty_Correction_ID"), QStringLiteral("resetAll"));
    QCOMPARE(m_journal.filter(QStringLiteral(" reset")),
             (QStringList{"Horizon reset", "Keystoning reset", "Crop reset"}));
    QVERIFY(!m_host->isAnyModuleActive());
    // Switching the keystoning module off while its tool was current applied it.
    QVERIFY(m_journal.contains(QStringLiteral("Keystoning apply")));
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
}

void TestCorrectionModuleHost::resetBeforeImageOpen()
{
    act(QStringLiteral("Crop"), QStringLiteral("ModuleActivate"));
    act(QStringLiteral("Horizon"), QStringLiteral("SpecificCorrectionActivated"));
    m_journal.clear();
    m_host->resetBeforeImageOpen();
    QCOMPARE(m_journal, (QStringList{"Horizon active 0", "Horizon resetForNewImage", "Keystoning resetForNewImage",
                                     "Crop resetForNewImage"}));
    QVERIFY(m_crop->isModuleActive());
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
}

void TestCorrectionModuleHost::sceneGroups()
{
    // Without scenes: an assertion and no group.
    QVERIFY(!m_host->beforeSceneItemGroup(QStringLiteral("Horizon")));
    QCOMPARE(assertionCount(m_logger), 1);

    auto before = std::make_unique<QGraphicsScene>();
    auto after = std::make_unique<QGraphicsScene>();
    m_host->initialize(before.get(), after.get());
    QGraphicsItemGroup* group = m_host->afterSceneItemGroup(QStringLiteral("Horizon"));
    QVERIFY(group);
    QCOMPARE(group->scene(), after.get());
    QVERIFY(!group->isVisible());
    QCOMPARE(group->zValue(), 1000.0);
    QVERIFY(!group->handlesChildEvents());
    QCOMPARE(m_host->afterSceneItemGroup(QStringLiteral("Horizon")), group);
    group->show();
    m_host->beforeSceneItemGroup(QStringLiteral("Horizon"));

    auto* shared = new QGraphicsRectItem(0, 0, 10, 10);
    m_host->addItemToAfterSceneGroupA(shared);
    QVERIFY(shared->parentItem());
    QCOMPARE(shared->parentItem()->zValue(), 500.0);
    QVERIFY(shared->isVisible());

    // The record: current correction, then the groups' visibility.
    const QMap<QString, QVariant> record = NAVIK_tarl1::variantMapFromBytes(m_host->serialize());
    QCOMPARE(record.value(QStringLiteral("afterGroupeVisibilityHorizon")), QVariant(true));
    QCOMPARE(record.value(QStringLiteral("beforeGroupeVisibilityHorizon")), QVariant(false));
    QVERIFY(record.value(QStringLiteral("CCorrectionModuleHostCurrentCorrection")).toString().isNull());

    m_host->deactivateAllSceneItems();
    QVERIFY(!group->isVisible());
    QVERIFY(shared->isVisible());

    // The host goes first: the scenes keep only the shared groups.
    m_host.reset();
    QCOMPARE(before->items().size(), 0);
    QCOMPARE(after->items().size(), 2);
}

void TestCorrectionModuleHost::scenesGoFirst()
{
    // The scenes delete the groups they hold; the host must not touch them
    // afterwards, nor delete them a second time when it goes.
    auto before = std::make_unique<QGraphicsScene>();
    auto after = std::make_unique<QGraphicsScene>();
    m_host->initialize(before.get(), after.get());
    m_host->beforeSceneItemGroup(QStringLiteral("Horizon"));
    new QGraphicsRectItem(0, 0, 10, 10, m_host->afterSceneItemGroup(QStringLiteral("Horizon")));
    m_host->addItemToAfterSceneGroupA(new QGraphicsRectItem(0, 0, 10, 10));
    before.reset();
    after.reset();

    m_host->deactivateAllSceneItems();
    const QMap<QString, QVariant> record = NAVIK_tarl1::variantMapFromBytes(m_host->serialize());
    QCOMPARE(record.keys().filter(QStringLiteral("GroupeVisibility")), QStringList());
    m_logger.clear();
    QVERIFY(!m_host->afterSceneItemGroup(QStringLiteral("Horizon")));
    m_host->addItemToAfterSceneGroupA(nullptr);
    QCOMPARE(assertionCount(m_logger), 2);
    m_host.reset();
}

void TestCorrectionModuleHost::recordRestoresModulesAndCurrentCorrection()
{
    QCOMPARE(m_host->id(), QStringLiteral("CorrectionModuleHost"));
    act(QStringLiteral("Keystoning"), QStringLiteral("SpecificCorrectionActivated"), QStringLiteral("VerticalCorrection"));
    m_keystoning->value = QStringLiteral("points A");
    const QByteArray saved = m_host->serialize();
    const QMap<QString, QVariant> record = NAVIK_tarl1::variantMapFromBytes(saved);
    QCOMPARE(record.value(QStringLiteral("CCorrectionModuleHostCurrentCorrection")).toString(), QStringLiteral("Keystoning"));
    QCOMPARE(record.value(QStringLiteral("Keystoning")).toByteArray(), m_keystoning->serialize());
    QVERIFY(record.contains(QStringLiteral("Horizon")) && record.contains(QStringLiteral("Crop")));

    act(QStringLiteral("Keystoning"), QStringLiteral("CorrectionApplyed"));
    act(QStringLiteral("Keystoning"), QStringLiteral("ModuleDeactivate"));
    m_keystoning->value = QStringLiteral("points B");
    QSignalSpy changed(m_host.get(), &CCorrectionModuleHost::correctionOrModuleStateIsChanged);

    m_host->deserialize(saved, true);
    QCOMPARE(m_keystoning->value, QStringLiteral("points A"));
    QVERIFY(m_keystoning->isModuleActive());
    QCOMPARE(m_host->currentCorrectionModule().get(), m_keystoning.get());
    QCOMPARE(changed.count(), 1);
    QVERIFY(m_journal.contains(QStringLiteral("Keystoning deserialize 1")));

    // The same current correction again: no signal.
    m_host->deserialize(saved, false);
    QCOMPARE(changed.count(), 1);
    QVERIFY(m_host->isEqual(saved, m_host->serialize()));
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestCorrectionModuleHost test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_correctionmodulehost.moc"
