#include "Navik/Engine.h"

#include "Navik/ThreadGraph.h"

#include "EngineState.h"
#include "Warp.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace Navik {

namespace {

struct Registry
{
    std::mutex mutex;
    std::vector<std::unique_ptr<Correction>> corrections;
    Internal::LensStageOptions lensStage;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

std::atomic<unsigned int> g_threadCount{0}; // 0: every thread of the pool

} // namespace

namespace Internal {

unsigned int RenderThreadCount()
{
    const unsigned int available = ThreadPool::Shared().GetThreadCount();
    const unsigned int wanted = g_threadCount.load(std::memory_order_relaxed);
    return wanted == 0 ? available : std::min(wanted, available);
}

LensStageOptions CurrentLensStageOptions()
{
    std::lock_guard lock(registry().mutex);
    return registry().lensStage;
}

} // namespace Internal

namespace Engine {

bool Initialize(const Configuration& configuration)
{
    Internal::SetTilePoolLimit(configuration.tilePoolMaxBytes);
    Internal::SetRecycledMemoryLimit(configuration.algorithmPoolMaxBytes);
    g_threadCount.store(configuration.threadCount > 0 ? unsigned(configuration.threadCount) : 0u);
    return true;
}

void RegisterCorrection(Correction* correction)
{
    if (!correction)
        return;
    std::lock_guard lock(registry().mutex);
    if (const auto* distortion = dynamic_cast<const DistortionCorrection*>(correction))
        registry().lensStage = {distortion->IsAutomaticOnly(), distortion->HasAnamorphosis()};
    registry().corrections.emplace_back(correction);
}

void Finalize()
{
    {
        std::lock_guard lock(registry().mutex);
        registry().corrections.clear();
        registry().lensStage = {};
    }
    g_threadCount.store(0);
    Internal::SetRecycledMemoryLimit(0);
    Internal::EmptyTilePool();
    Internal::SetTilePoolLimit(Configuration().tilePoolMaxBytes);
}

void SetPortableRendering(bool portable)
{
    Internal::SetPortableSamplingOnly(portable);
}

MemoryUsage GetMemoryUsage()
{
    return {Internal::TilePoolUsage(), Internal::RecycledMemoryUsage()};
}

} // namespace Engine
} // namespace Navik
