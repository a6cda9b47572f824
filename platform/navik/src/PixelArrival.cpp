#include "PixelArrival.h"

#include "Threads.h"

#include <algorithm>

namespace Navik::Internal {

namespace {

std::function<void(unsigned int)>& publishObserver()
{
    static std::function<void(unsigned int)> observer;
    return observer;
}

} // namespace

void SetPublishObserver(std::function<void(unsigned int rows)> observer)
{
    publishObserver() = std::move(observer);
}

void PixelArrival::Start(std::function<void()> decode)
{
    try {
        // A copy: a thread that fails to start takes the one it was given.
        m_thread = StartThread(decode);
    } catch (const std::exception&) {
        // No thread to spare: the rows are decoded here and now, before the
        // image is handed on.
        decode();
    }
}

void PixelArrival::Publish(unsigned int rows)
{
    rows = std::min(rows, m_height);
    {
        std::lock_guard lock(m_mutex);
        m_rows.store(rows, std::memory_order_release);
        for (Waiter* waiter : m_waiters) {
            if (waiter->rowEnd <= rows)
                waiter->wake.notify_one();
        }
    }
    if (publishObserver())
        publishObserver()(rows);
}

void PixelArrival::Finish(const ImageStatus& status)
{
    std::lock_guard lock(m_mutex);
    m_status = status;
    m_finished = true;
    if (status.IsOK())
        m_rows.store(m_height, std::memory_order_release);
    for (Waiter* waiter : m_waiters)
        waiter->wake.notify_one();
}

void PixelArrival::Wait(std::unique_lock<std::mutex>& lock, unsigned int rowEnd) const
{
    Waiter waiter{rowEnd, {}};
    m_waiters.push_back(&waiter);
    waiter.wake.wait(lock, [&] { return m_finished || m_rows.load(std::memory_order_relaxed) >= rowEnd; });
    m_waiters.erase(std::find(m_waiters.begin(), m_waiters.end(), &waiter));
}

long PixelArrival::WaitForRows(unsigned int rowEnd) const
{
    rowEnd = std::min(rowEnd, m_height);
    const unsigned int rows = m_rows.load(std::memory_order_acquire);
    if (rows >= rowEnd)
        return long(rows);
    std::unique_lock lock(m_mutex);
    Wait(lock, rowEnd);
    if (m_finished && !m_status.IsOK() && m_rows.load(std::memory_order_relaxed) < rowEnd)
        return -1;
    return long(m_rows.load(std::memory_order_relaxed));
}

bool PixelArrival::WaitForAll(ImageStatus* status) const
{
    std::unique_lock lock(m_mutex);
    // No count of rows reaches past the height: this waits for the decode's end.
    Wait(lock, m_height + 1);
    if (!m_status.IsOK() && status)
        *status = m_status;
    return m_status.IsOK();
}

void PixelArrival::Stop()
{
    m_stop.store(true, std::memory_order_relaxed);
    if (!m_thread.joinable())
        return;
    if (m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach(); // the decoder let go of the last reference itself
    else
        m_thread.join();
}

} // namespace Navik::Internal
