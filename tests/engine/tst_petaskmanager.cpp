// The queue of renders: one task per id, lowest priority value first, and a
// clear that waits for the running render.

#include "engine/CBaseProcessEngineTask.h"
#include "engine/CPETaskManager.h"
#include "engine/CProcessEngine.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>

namespace {

// A task that renders nothing and counts its deletions.
class CountedTask : public CBaseProcessEngineTask
{
public:
    CountedTask(CProcessEngine& engine, const QString& id, int priority, int* deletions)
        : CBaseProcessEngineTask(engine, 0, QRect()), m_priority(priority), m_deletions(deletions)
    {
        m_taskId = id;
    }
    ~CountedTask() override { ++*m_deletions; }

    int priority() const override { return m_priority; }

protected:
    void sendResult(PixelDataPtr, const QSize&) override {}
    Navik::Dictionary buildDictionary() override { return {}; }
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary&) override { return nullptr; }
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override { return Navik::kSampleTypeUInt8; }

private:
    int m_priority;
    int* m_deletions;
};

QString takeId(CPETaskManager& manager, bool& hasMore)
{
    QRunnable* runnable = manager.getTaskToProcessAndRemoveIt(hasMore);
    auto* task = dynamic_cast<CBaseProcessEngineTask*>(runnable);
    const QString id = task ? task->taskId() : QString();
    delete runnable;
    return id;
}

} // namespace

class TestPETaskManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameIdReplacesTheQueuedTask();
    void tasksComeOutByPriority();
    void emptyQueueGivesNothing();
    void clearDeletesEveryQueuedTask();
    void clearWaitsForTheRunningTask();

private:
    CProcessEngine m_engine;
};

void TestPETaskManager::sameIdReplacesTheQueuedTask()
{
    int deletions = 0;
    CPETaskManager manager(m_engine, nullptr);
    manager.addProcessEngineTask(new CountedTask(m_engine, "LoResTaskId0", 600, &deletions));
    manager.addProcessEngineTask(new CountedTask(m_engine, "LoResTaskId1", 601, &deletions));
    manager.addProcessEngineTask(new CountedTask(m_engine, "LoResTaskId0", 400, &deletions));
    QCOMPARE(deletions, 1);

    bool hasMore = false;
    QCOMPARE(takeId(manager, hasMore), QString("LoResTaskId0"));
    QVERIFY(hasMore);
    QCOMPARE(takeId(manager, hasMore), QString("LoResTaskId1"));
    QVERIFY(!hasMore);
}

void TestPETaskManager::tasksComeOutByPriority()
{
    int deletions = 0;
    CPETaskManager manager(m_engine, nullptr);
    manager.addProcessEngineTask(new CountedTask(m_engine, "HiRes", 500, &deletions));
    manager.addProcessEngineTask(new CountedTask(m_engine, "LoRes", 600, &deletions));
    manager.addProcessEngineTask(new CountedTask(m_engine, "Save", 100, &deletions));
    manager.addProcessEngineTask(new CountedTask(m_engine, "Rotation", 200, &deletions));
    manager.addProcessEngineTask(nullptr);

    QStringList order;
    bool hasMore = true;
    while (hasMore)
        order << takeId(manager, hasMore);
    QCOMPARE(order, QStringList({"Save", "Rotation", "HiRes", "LoRes"}));
    QVERIFY(manager.isEmpty());
}

void TestPETaskManager::emptyQueueGivesNothing()
{
    CPETaskManager manager(m_engine, nullptr);
    bool hasMore = true;
    QCOMPARE(manager.getTaskToProcessAndRemoveIt(hasMore), nullptr);
    QVERIFY(!hasMore);
}

void TestPETaskManager::clearDeletesEveryQueuedTask()
{
    int deletions = 0;
    CPETaskManager manager(m_engine, nullptr);
    for (int i = 0; i < 5; ++i)
        manager.addProcessEngineTask(new CountedTask(m_engine, QString::number(i), 600, &deletions));
    manager.clear();
    QCOMPARE(deletions, 5);
    QVERIFY(manager.isEmpty());

    // The destructor clears what is left.
    auto* other = new CPETaskManager(m_engine, nullptr);
    other->addProcessEngineTask(new CountedTask(m_engine, "x", 600, &deletions));
    delete other;
    QCOMPARE(deletions, 6);
}

void TestPETaskManager::clearWaitsForTheRunningTask()
{
    // A render that needs the main thread once before it can end, as every
    // render does to deliver its results.
    QSemaphore started;
    bool delivered = false;
    QThreadPool::globalInstance()->start([&] {
        started.release();
        QMetaObject::invokeMethod(this, [&] { delivered = true; }, Qt::BlockingQueuedConnection);
    });
    started.acquire();

    int deletions = 0;
    CPETaskManager manager(m_engine, nullptr);
    manager.addProcessEngineTask(new CountedTask(m_engine, "queued", 600, &deletions));
    manager.clear();
    QVERIFY(delivered);
    QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
    QCOMPARE(deletions, 1);
}

QTEST_MAIN(TestPETaskManager)
#include "tst_petaskmanager.moc"
