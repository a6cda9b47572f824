#include "Navik/SignalStack.h"
#include "Navik/Logging.h"
#include "Navik/Progress.h"
#include "Navik/ThreadGraph.h"

#include "Threads.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <sched.h>
#include <sstream>

namespace Navik {

// One ParallelFor call. Threads claim indices with one atomic increment, so
// the cost per index is tiny and uneven work spreads by itself.
struct ThreadPool::Job
{
    const std::function<void(std::size_t)>* task = nullptr;
    std::size_t count = 0;
    unsigned int helpersWanted = 0;
    std::atomic<unsigned int> helpersJoined{0};
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> finished{0};

    std::mutex mutex;
    std::condition_variable allDone;
    std::exception_ptr error;
};

namespace {

std::string firstLine(const std::string& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// CPUs the control group's quota allows (quota / period, rounded up); 0 when
// there is no quota. Looks at cgroup v2's cpu.max and v1's CFS files.
unsigned int cpusOfQuota()
{
    std::ifstream groups("/proc/self/cgroup");
    std::string line;
    unsigned int limit = 0;
    const auto consider = [&limit](double quota, double period) {
        if (quota > 0 && period > 0) {
            const auto cpus = static_cast<unsigned int>(std::max(1.0, std::ceil(quota / period)));
            limit = limit == 0 ? cpus : std::min(limit, cpus);
        }
    };
    while (std::getline(groups, line)) {
        // hierarchy-id:controllers:path
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        if (controllers.empty()) {
            std::istringstream max(firstLine("/sys/fs/cgroup" + path + "/cpu.max"));
            std::string quota;
            double period = 0;
            if (max >> quota >> period && quota != "max")
                consider(std::atof(quota.c_str()), period);
            continue;
        }
        std::istringstream list(controllers);
        std::string controller;
        bool cpu = false;
        while (std::getline(list, controller, ','))
            cpu = cpu || controller == "cpu";
        if (!cpu)
            continue;
        for (const std::string& mount : {"/sys/fs/cgroup/" + controllers, std::string("/sys/fs/cgroup/cpu")}) {
            const std::string quota = firstLine(mount + path + "/cpu.cfs_quota_us");
            if (quota.empty())
                continue;
            consider(std::atof(quota.c_str()), std::atof(firstLine(mount + path + "/cpu.cfs_period_us").c_str()));
            break;
        }
    }
    return limit;
}

Internal::ThreadStarter& threadStarter()
{
    static Internal::ThreadStarter starter;
    return starter;
}

} // namespace

namespace Internal {

std::thread StartThread(std::function<void()> body)
{
    if (const ThreadStarter& starter = threadStarter())
        return starter(std::move(body));
    return std::thread(std::move(body));
}

void SetThreadStarter(ThreadStarter starter)
{
    threadStarter() = std::move(starter);
}

} // namespace Internal

unsigned int ThreadPool::AvailableCpuCount()
{
    unsigned int count = std::max(1u, std::thread::hardware_concurrency());
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        count = std::max(1, CPU_COUNT(&set));
    if (const unsigned int quota = cpusOfQuota(); quota > 0)
        count = std::min(count, quota);
    return count;
}

ThreadPool& ThreadPool::Shared()
{
    static ThreadPool pool(AvailableCpuCount());
    return pool;
}

ThreadPool::ThreadPool(unsigned int threadCount)
{
    m_workers.reserve(threadCount > 0 ? threadCount - 1 : 0);
    for (unsigned int i = 1; i < threadCount; ++i) {
        try {
            m_workers.push_back(Internal::StartThread([this] {
                EnsureSignalStack();
                workerLoop();
            }));
        } catch (const std::exception& error) {
            // Out of threads, or of memory for their stacks: the threads that
            // did start share the work, down to the caller of ParallelFor alone.
            Log("ThreadPool", kLogLevelWarning, "%u of %u threads could be started: %s",
                static_cast<unsigned int>(m_workers.size()) + 1, threadCount, error.what());
            break;
        }
    }
}

ThreadPool::~ThreadPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wakeUp.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void ThreadPool::work(Job& job)
{
    for (;;) {
        const std::size_t index = job.next.fetch_add(1, std::memory_order_relaxed);
        if (index >= job.count)
            return;
        try {
            (*job.task)(index);
        } catch (...) {
            std::lock_guard lock(job.mutex);
            if (!job.error)
                job.error = std::current_exception();
        }
        if (job.finished.fetch_add(1, std::memory_order_acq_rel) + 1 == job.count) {
            std::lock_guard lock(job.mutex);
            job.allDone.notify_all();
        }
    }
}

void ThreadPool::workerLoop()
{
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(m_mutex);
            m_wakeUp.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                return;
            job = m_jobs.front();
            // Enough helpers for this job: the next waiting thread looks at the next job.
            if (job->helpersJoined.fetch_add(1) + 1 >= job->helpersWanted)
                m_jobs.pop_front();
        }
        work(*job);
    }
}

void ThreadPool::ParallelFor(std::size_t count, const std::function<void(std::size_t)>& task,
                             unsigned int maxThreads)
{
    if (count == 0)
        return;
    const unsigned int threads = maxThreads == 0 ? GetThreadCount() : std::min(maxThreads, GetThreadCount());
    const auto helpers = static_cast<unsigned int>(std::min<std::size_t>(threads - 1, count - 1));

    auto job = std::make_shared<Job>();
    job->task = &task;
    job->count = count;
    job->helpersWanted = helpers;
    if (helpers > 0) {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(job);
        }
        for (unsigned int i = 0; i < helpers; ++i)
            m_wakeUp.notify_one();
    }

    work(*job);

    {
        std::unique_lock lock(job->mutex);
        job->allDone.wait(lock, [&] { return job->finished.load(std::memory_order_acquire) == count; });
    }
    if (helpers > 0) {
        // Helpers that never came must not find the job later.
        std::lock_guard lock(m_mutex);
        m_jobs.erase(std::remove(m_jobs.begin(), m_jobs.end(), job), m_jobs.end());
    }
    if (job->error)
        std::rethrow_exception(job->error);
}

ThreadGraph::NodeId ThreadGraph::AddTask(std::function<void()> task, const std::vector<NodeId>& dependencies)
{
    Node node{std::move(task), {}};
    for (const NodeId dependency : dependencies) {
        if (dependency < m_nodes.size())
            node.dependencies.push_back(dependency);
    }
    m_nodes.push_back(std::move(node));
    return m_nodes.size() - 1;
}

bool ThreadGraph::Run(Progress* progress, const std::string& name)
{
    // Runs in waves: every task whose dependencies are done joins the next wave.
    std::vector<bool> done(m_nodes.size(), false);
    std::size_t doneCount = 0;
    while (doneCount < m_nodes.size()) {
        if (progress && progress->IsCancelled()) {
            Log("ThreadGraph", kLogLevelDebug, "graph '%s' cancelled", name.c_str());
            return false;
        }
        std::vector<NodeId> wave;
        for (NodeId id = 0; id < m_nodes.size(); ++id) {
            const auto& dependencies = m_nodes[id].dependencies;
            if (!done[id] && std::all_of(dependencies.begin(), dependencies.end(), [&](NodeId d) { return done[d]; }))
                wave.push_back(id);
        }
        ThreadPool::Shared().ParallelFor(wave.size(), [&](std::size_t i) { m_nodes[wave[i]].task(); });
        for (const NodeId id : wave)
            done[id] = true;
        doneCount += wave.size();
        if (progress)
            progress->SetFraction(double(doneCount) / double(m_nodes.size()));
    }
    return true;
}

} // namespace Navik
