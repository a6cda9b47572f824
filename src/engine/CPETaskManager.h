#pragma once

// The renders the engine has asked for but not started: at most one per task
// id, so that a newer request replaces an older one that has not run yet,
// ordered by priority, lowest value first. Used on the main thread only.

#include <QList>
#include <QMutex>
#include <QObject>

#include <functional>

class CBaseProcessEngineTask;
class CProcessEngine;
class QRunnable;

class CPETaskManager : public QObject
{
    Q_OBJECT

public:
    CPETaskManager(CProcessEngine& engine, QObject* parent);
    ~CPETaskManager() override;

    // Takes ownership of `task`; a queued task with the same id is deleted.
    void addProcessEngineTask(CBaseProcessEngineTask* task);
    // The most urgent task, now the caller's, or null when none waits;
    // `hasMore` tells whether others still wait. Queued tasks the taken one
    // answers for are deleted untold.
    QRunnable* getTaskToProcessAndRemoveIt(bool& hasMore);
    // Waits, processing events, until no pool thread runs, then deletes every
    // queued task, each told first that it will not run. A task replaced by a
    // newer one of the same id is not told: the newer one answers for both.
    // Called from a slot that receives a task's delivery, it does not wait
    // for that task (which waits for the slot): the task is cancelled.
    void clear();
    bool isEmpty() const;

    // Processes events until `done` returns true, delivering the calls the
    // running task posts to the engine as they come: the task waits for
    // them, and a local event loop entered from a queued call does not
    // always deliver them.
    void waitDeliveringEngineCalls(const std::function<bool()>& done);

private:
    void waitUntilPoolIdle();

    CProcessEngine& m_engine;
    mutable QMutex m_mutex;
    QList<CBaseProcessEngineTask*> m_tasks;
};
