#pragma once

// What the engine's tests share: the pattern photograph in memory, colour
// comparison with a tolerance, waiting for the engine to finish and the
// measure of the heap.

#include "EngineTestImages.h"

#include "engine/CProcessEngine.h"
#include "engine/IZoomLevelSource.h"

#include <QTest>

#include <cstddef>
#include <memory>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers' allocators count what is allocated (their public interface;
// g++ ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

// Renders of small pictures take milliseconds; sanitizers slow them a lot.
constexpr int renderTimeout = 30000;

inline NavikImagePtr imageInMemory(int width, int height)
{
    return std::make_shared<CNavikImageProxy>(patternImage(width, height), true, false);
}

inline bool colorsClose(const QColor& a, const QColor& b, int tolerance = 12)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// Waits until no render runs or waits, then for the calls still queued.
inline bool waitUntilEngineIdle(CProcessEngine& engine)
{
    if (!QTest::qWaitFor([&engine] { return !engine.hasTasksForProcessing(); }, renderTimeout))
        return false;
    QTest::qWait(20);
    return true;
}

// Bytes the program has allocated and not freed (freed memory that an
// allocator keeps, such as AddressSanitizer's quarantine, not included).
inline qint64 heapBytes()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
#endif
}

// The views' zoom as a test sets it; registered while it lives.
class TestZoom : public IZoomLevelSource
{
public:
    TestZoom() { registerZoomLevelSource(this); }
    ~TestZoom() override { unregisterZoomLevelSource(this); }
    TestZoom(const TestZoom&) = delete;
    TestZoom& operator=(const TestZoom&) = delete;

    int currentZoom() const override { return m_zoom; }
    void set(int percent) { m_zoom = percent; }

private:
    int m_zoom = 100;
};
