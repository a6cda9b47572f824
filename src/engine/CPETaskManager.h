#pragma once

// The renders the engine has asked for but not started: at most one per task
// id, so that a newer request replaces an older one that has not run yet,
// ordered by priority, lowest value first. Used on the main thread only.

#include <QList>
#include <QMutex>
#include <QObject>

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
    // `hasMore` tells whether others still wait.
    QRunnable* getTaskToProcessAndRemoveIt(bool& hasMore);
    // Waits, processing events, until no pool thread runs, then deletes every
    // queued task, each told first that it will not run. A task replaced by a
    // newer one of the same id is not told: the newer one answers for both.
    void clear();
    bool isEmpty() const;

private:
    void waitUntilPoolIdle();

    CProcessEngine& m_engine;
    mutable QMutex m_mutex;
    QList<CBaseProcessEngineTask*> m_tasks;
};
