#pragma once

// Start and stop of the correction engine, the corrections it offers, and the
// two memory pools that cap its caches (see docs/correction-engine.md).

#include <cstdint>
#include <string>

namespace Navik {

// A correction the engine can be asked to apply. The engine keeps the objects
// registered with it and deletes them when it is finalised.
class Correction
{
public:
    virtual ~Correction() = default;
};

// The lens stage: the "Distortion*" and "Anamorphosis*" keys.
class DistortionCorrection : public Correction
{
public:
    // With `automaticOnly`, only the camera-profile distortion ("Auto") is
    // applied; without `withAnamorphosis`, the "Anamorphosis*" keys are ignored.
    DistortionCorrection(bool automaticOnly, bool withAnamorphosis)
        : m_automaticOnly(automaticOnly), m_withAnamorphosis(withAnamorphosis)
    {
    }

    bool IsAutomaticOnly() const { return m_automaticOnly; }
    bool HasAnamorphosis() const { return m_withAnamorphosis; }

private:
    bool m_automaticOnly;
    bool m_withAnamorphosis;
};

namespace Engine {

struct Configuration
{
    // Where film-grain data would live; this engine needs none and ignores it.
    std::string grainDataPath;
    // Bytes of input pyramid levels that all agents together keep cached.
    std::uint64_t tilePoolMaxBytes = std::uint64_t(2048) << 20;
    // Bytes of freed large pixel buffers kept for reuse by later renders.
    std::uint64_t algorithmPoolMaxBytes = std::uint64_t(2048) << 20;
    // Threads a render uses; -1 (or 0) for one per hardware thread.
    std::int32_t threadCount = -1;
};

// Sets the pool limits and the render threads. Without a call, the pools
// have their default sizes, no freed buffer is kept and renders use every core.
bool Initialize(const Configuration& configuration);

// Takes ownership of the correction. A correction kind that was never
// registered is applied fully; a registered DistortionCorrection restricts
// the lens stage as its flags say.
void RegisterCorrection(Correction* correction);

// Deletes the registered corrections and empties the caches. Agents that are
// still alive keep working with the default configuration.
void Finalize();

// With `portable`, renders sample with the portable code only, never with
// the processor's vector instructions (AVX2); without, they use them where the
// processor has them (the default). Both give the same pixels; tests render
// both ways to compare them on any machine.
void SetPortableRendering(bool portable);

struct MemoryUsage
{
    std::uint64_t tilePoolBytes = 0;      // cached pyramid levels
    std::uint64_t algorithmPoolBytes = 0; // freed buffers kept for reuse
};
MemoryUsage GetMemoryUsage();

} // namespace Engine
} // namespace Navik
