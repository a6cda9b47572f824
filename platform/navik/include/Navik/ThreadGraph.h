#pragma once

// Parallel work on a pool of our own threads, sized to the CPUs the process
// may use. The
// decoders use it for bands of an image; renderers use it the same way.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Navik {

class Progress;

class ThreadPool
{
public:
    // The process-wide pool: one thread per CPU the process may use
    // (AvailableCpuCount), the caller of ParallelFor counting as one of them.
    static ThreadPool& Shared();
    // The CPUs this process may run on: those of its affinity mask (taskset),
    // fewer when its control group's CPU quota allows less; at least 1.
    static unsigned int AvailableCpuCount();

    // Starts threadCount - 1 worker threads; where the system starts fewer
    // (a limit of processes or memory), the pool works with those that did,
    // down to the caller of ParallelFor alone.
    explicit ThreadPool(unsigned int threadCount);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    // Threads that work on one ParallelFor, the caller included.
    unsigned int GetThreadCount() const { return static_cast<unsigned int>(m_workers.size()) + 1; }

    // Runs task(i) for every i in [0, count) on at most `maxThreads` threads
    // (0: all), the calling thread among them, and returns when every index has
    // run. Nested calls are safe: the caller works on its own indices rather
    // than waiting for a free thread. The first exception a task throws is
    // rethrown here once the others have finished.
    void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& task, unsigned int maxThreads = 0);

private:
    struct Job;

    void workerLoop();
    static void work(Job& job);

    std::vector<std::thread> m_workers;
    std::mutex m_mutex;
    std::condition_variable m_wakeUp;
    std::deque<std::shared_ptr<Job>> m_jobs;
    bool m_stopping = false;
};

// A set of tasks with dependencies, run on the shared pool.
class ThreadGraph
{
public:
    using NodeId = std::size_t;

    // A task runs after every task it depends on; only tasks already added can
    // be named, so the graph never has a cycle.
    NodeId AddTask(std::function<void()> task, const std::vector<NodeId>& dependencies = {});
    std::size_t GetTaskCount() const { return m_nodes.size(); }

    // Runs the tasks, as many at once as their dependencies allow, and returns
    // when all have run (true) or when the progress was cancelled and the
    // running tasks have finished (false). `name` labels the run in the log.
    bool Run(Progress* progress, const std::string& name);

private:
    struct Node
    {
        std::function<void()> task;
        std::vector<NodeId> dependencies;
    };
    std::vector<Node> m_nodes;
};

} // namespace Navik
