#pragma once

#include <atomic>

namespace Navik {

// Progress of a long operation, shared between the thread that works and the
// one that watches. The worker reports the done fraction and stops early when
// the watcher has cancelled.
class Progress
{
public:
    double GetFraction() const { return m_fraction.load(std::memory_order_relaxed); }
    void SetFraction(double fraction) { m_fraction.store(fraction, std::memory_order_relaxed); }

    void Cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool IsCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

private:
    std::atomic<double> m_fraction{0.0};
    std::atomic<bool> m_cancelled{false};
};

} // namespace Navik
