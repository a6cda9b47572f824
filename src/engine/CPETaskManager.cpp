#include "engine/CPETaskManager.h"

#include "engine/CBaseProcessEngineTask.h"
#include "engine/CProcessEngine.h"
#include "utils/Logger.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <utility>

CPETaskManager::CPETaskManager(CProcessEngine& engine, QObject* parent) : QObject(parent), m_engine(engine)
{
    LOG_TRACE();
}

CPETaskManager::~CPETaskManager()
{
    // The engine, already gone, emptied the queue before it went: whatever
    // is left is deleted untold.
    QMutexLocker lock(&m_mutex);
    qDeleteAll(m_tasks);
    m_tasks.clear();
}

void CPETaskManager::addProcessEngineTask(CBaseProcessEngineTask* task)
{
    LOG_TRACE();
    if (!task)
        return;
    QMutexLocker lock(&m_mutex);
    // There is at most one queued task per id.
    const auto same = std::find_if(m_tasks.begin(), m_tasks.end(),
                                   [task](const CBaseProcessEngineTask* queued) { return queued->isSameTask(task); });
    if (same != m_tasks.end()) {
        delete *same;
        m_tasks.erase(same);
    }
    m_tasks.append(task);
    std::sort(m_tasks.begin(), m_tasks.end(), lessThanByPriority);
}

QRunnable* CPETaskManager::getTaskToProcessAndRemoveIt(bool& hasMore)
{
    LOG_TRACE();
    QMutexLocker lock(&m_mutex);
    if (m_tasks.isEmpty()) {
        hasMore = false;
        return nullptr;
    }
    CBaseProcessEngineTask* task = m_tasks.takeFirst();
    // A turn's previews make the previews waiting behind it needless.
    m_tasks.removeIf([task](CBaseProcessEngineTask* queued) {
        if (!task->answersFor(queued))
            return false;
        delete queued;
        return true;
    });
    hasMore = !m_tasks.isEmpty();
    return task;
}

void CPETaskManager::clear()
{
    LOG_TRACE();
    // A requester told that its task was dropped may queue another at once;
    // that one goes too, so the queue is empty when clear() returns.
    for (;;) {
        if (CBaseProcessEngineTask* delivering = m_engine.deliveringTask()) {
            // The running task waits for the slot this is called from: it
            // ends on its own once the slot returned, cancelled, and anyone
            // waiting for its outcome hears now that there is none.
            if (!delivering->isCancelled()) {
                delivering->cancel();
                delivering->onDroppedFromQueue();
            }
        } else {
            waitUntilPoolIdle();
        }
        QList<CBaseProcessEngineTask*> dropped;
        {
            QMutexLocker lock(&m_mutex);
            dropped.swap(m_tasks);
        }
        if (dropped.isEmpty())
            return;
        // Outside the lock: the requesters' handlers run here.
        for (CBaseProcessEngineTask* task : std::as_const(dropped)) {
            task->onDroppedFromQueue();
            delete task;
        }
    }
}

void CPETaskManager::waitUntilPoolIdle()
{
    waitDeliveringEngineCalls([] { return QThreadPool::globalInstance()->activeThreadCount() == 0; });
    // What the last task posted on its way out (a turn's completion) belongs
    // to the picture the caller is about to change: it arrives before.
    QCoreApplication::sendPostedEvents(&m_engine, QEvent::MetaCall);
}

void CPETaskManager::waitDeliveringEngineCalls(const std::function<bool()>& done)
{
    // The running task waits for the main thread to deliver its results,
    // which it posts to the engine. processEvents() alone does not always
    // deliver them: with a wait entered from the handler of a queued call it
    // left them waiting, and the two threads waited for each other for ever.
    // Delivering the engine's posted calls directly does not depend on how
    // the event loops are nested. No event announces `done`, nor may one be
    // waited for: the loop polls.
    QObject* engine = &m_engine;
    for (;;) {
        QCoreApplication::sendPostedEvents(engine, QEvent::MetaCall);
        if (done())
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::usleep(200);
    }
}

bool CPETaskManager::isEmpty() const
{
    QMutexLocker lock(&m_mutex);
    return m_tasks.isEmpty();
}
