#pragma once

// Stand-in for the views' zoom controller until the image view exists: it
// only keeps the current zoom that the rendering tasks read. The view's real
// controller takes its place and its name.

#include <atomic>

class CZoomController
{
public:
    static CZoomController* instance();

    // Percent: 100 shows one image pixel per screen pixel.
    int currentZoom() const { return m_zoom.load(std::memory_order_relaxed); }
    void setCurrentZoom(int percent) { m_zoom.store(percent, std::memory_order_relaxed); }

private:
    CZoomController() = default;

    std::atomic<int> m_zoom{100};
};
