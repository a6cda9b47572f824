#pragma once

// The rows of an image still being decoded by a thread of its own: the
// decoder publishes how many rows from the top are complete, readers wait for
// the rows they need, and the image stops the decoder when it goes.

#include "Navik/Status.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Navik {

class Image;

namespace Internal {

class PixelArrival
{
public:
    explicit PixelArrival(unsigned int height) : m_height(height) {}
    // Stops and joins the decoder if it still runs.
    ~PixelArrival() { Stop(); }
    PixelArrival(const PixelArrival&) = delete;
    PixelArrival& operator=(const PixelArrival&) = delete;

    // Runs `decode` on a thread of its own, or on the calling thread before
    // returning where the system starts no more threads. It must end with
    // Finish().
    void Start(std::function<void()> decode);

    // ---- the decoder's side
    // Rows [0, rows) are complete.
    void Publish(unsigned int rows);
    // The decode ended: every row is there when `status` is OK; otherwise
    // the image is unusable and readers are told why.
    void Finish(const ImageStatus& status);
    // Whether the image no longer wants its rows (it is going away).
    bool StopRequested() const { return m_stop.load(std::memory_order_relaxed); }

    // ---- the readers' side
    // True once every row is there.
    bool IsComplete() const { return m_rows.load(std::memory_order_acquire) >= m_height; }
    // Waits until rows [0, rowEnd) are there (rowEnd is clamped to the
    // height); returns how many rows are complete then, at least `rowEnd`,
    // or -1 when the decode failed.
    long WaitForRows(unsigned int rowEnd) const;
    // Waits for the end of the decode; false, with `status` set to why, when
    // it failed.
    bool WaitForAll(ImageStatus* status) const;

    // Whether a reader is waiting for rows now.
    bool HasWaiters() const
    {
        std::lock_guard lock(m_mutex);
        return !m_waiters.empty();
    }

    // Asks the decoder to stop and waits for its thread.
    void Stop();

private:
    // A reader waiting for rows [0, rowEnd): woken only once they are there,
    // so that many readers waiting for rows far below do not keep the decoder
    // busy waking them.
    struct Waiter
    {
        unsigned int rowEnd;
        std::condition_variable wake;
    };
    // Waits under `lock` until the rows are there or the decode ended.
    void Wait(std::unique_lock<std::mutex>& lock, unsigned int rowEnd) const;

    const unsigned int m_height;
    std::atomic<unsigned int> m_rows{0};
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    mutable std::vector<Waiter*> m_waiters; // under m_mutex
    bool m_finished = false;                // under m_mutex
    ImageStatus m_status;      // under m_mutex, set once finished
    std::thread m_thread;
};

// Called on a decoder's thread each time it has published rows, with their
// count: lets tests hold a decode at a known row. Set it while no decode runs.
void SetPublishObserver(std::function<void(unsigned int rows)> observer);

// Gives `image` the arrival that fills its rows (see Image::WaitForPixels).
void SetPixelArrival(Image& image, std::shared_ptr<PixelArrival> arrival);
// The arrival of an image whose rows may still be coming in, or null.
std::shared_ptr<PixelArrival> PixelArrivalOf(const Image& image);
// Buffer `index` of an image without waiting for its rows: for readers that
// wait through the arrival for exactly the rows they read.
void* BufferWithoutWaiting(const Image& image, unsigned int index);

} // namespace Internal
} // namespace Navik
