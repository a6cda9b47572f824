#pragma once

// What Engine::Initialize and RegisterCorrection leave for the rest of the
// engine: the render threads, the lens-stage restrictions and the two pools.

#include <cstdint>

namespace Navik::Internal {

struct LensStageOptions
{
    bool automaticOnly = false;   // only the camera-profile distortion
    bool withAnamorphosis = true; // the "Anamorphosis*" keys
};

// Threads a render may use (the caller counts as one).
unsigned int RenderThreadCount();
LensStageOptions CurrentLensStageOptions();

// The tile pool: bytes of pyramid levels kept across renders (Pyramid.cpp).
void SetTilePoolLimit(std::uint64_t bytes);
std::uint64_t TilePoolUsage();
void EmptyTilePool();

// The algorithm pool: bytes of freed large buffers kept for reuse (MemoryBlock.cpp).
void SetRecycledMemoryLimit(std::uint64_t bytes);
std::uint64_t RecycledMemoryUsage();

} // namespace Navik::Internal
