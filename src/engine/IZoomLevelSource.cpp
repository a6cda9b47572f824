#include "engine/IZoomLevelSource.h"

#include <atomic>

namespace {

std::atomic<IZoomLevelSource*> g_zoomLevelSource{nullptr};

} // namespace

void registerZoomLevelSource(IZoomLevelSource* source)
{
    g_zoomLevelSource.store(source);
}

void unregisterZoomLevelSource(IZoomLevelSource* source)
{
    // Only the source still registered forgets itself: a newer one stays.
    IZoomLevelSource* expected = source;
    g_zoomLevelSource.compare_exchange_strong(expected, nullptr);
}

IZoomLevelSource* zoomLevelSource()
{
    return g_zoomLevelSource.load();
}
