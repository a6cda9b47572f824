// The calibration-module manager outlives the application and its engine: it
// must not keep the engine after the engine is gone.

#include "engine/CAFModulesManager.h"
#include "engine/CProcessEngine.h"

#include <QTest>

class TestAFModulesManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void forgetsADeletedEngine();
};

void TestAFModulesManager::forgetsADeletedEngine()
{
    CAFModulesManager* manager = CAFModulesManager::instance();
    QCOMPARE(CAFModulesManager::instance(), manager);

    auto* first = new CProcessEngine;
    manager->setProcessEngine(first);
    QCOMPARE(manager->processEngine(), static_cast<IProcessEngine*>(first));
    delete first;
    QCOMPARE(manager->processEngine(), nullptr);

    // Replacing an engine stops watching the old one.
    CProcessEngine second;
    auto* third = new CProcessEngine;
    manager->setProcessEngine(third);
    manager->setProcessEngine(&second);
    delete third;
    QCOMPARE(manager->processEngine(), static_cast<IProcessEngine*>(&second));
}

QTEST_GUILESS_MAIN(TestAFModulesManager)
#include "tst_afmodulesmanager.moc"
