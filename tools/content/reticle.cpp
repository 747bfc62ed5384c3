// "Graphics/Textures/TeleportReticle.png": the teleport target's ring, laid flat on the ground
// where a teleport would land. A bright ring with a soft glow and a small centre dot
// on a transparent ground, so it reads on any terrain.
#include "content_output.h"
#include "families.h"

#include "engine/PimTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
constexpr int kSide = 128;

std::uint8_t Byte(float value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value * 255.0f), 0L, 255L));
}
}

bool GenerateTeleportReticle(const ContentOutput& output)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(kSide) * kSide * 4);
    const float centre = kSide / 2.0f;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
        {
            const float dx = static_cast<float>(x) + 0.5f - centre;
            const float dy = static_cast<float>(y) + 0.5f - centre;
            const float r = std::sqrt(dx * dx + dy * dy) / centre; // 0 at the centre, 1 at the edge
            const float ring = std::clamp(1.0f - std::fabs(r - 0.78f) / 0.07f, 0.0f, 1.0f);
            const float glow = 0.35f * std::exp(-std::pow((r - 0.78f) / 0.16f, 2.0f));
            const float dot = std::clamp(1.0f - r / 0.09f, 0.0f, 1.0f);
            const float alpha = std::clamp(std::max(std::max(ring, glow), dot) * (r < 1.0f ? 1.0f : 0.0f), 0.0f, 1.0f);
            rgba.insert(rgba.end(), {Byte(0.55f + 0.45f * ring), Byte(0.85f + 0.15f * ring), Byte(1.0f), Byte(alpha)});
        }
    PimTexture picture;
    return picture.Create(kSide, kSide, rgba) && output.WritePicture("Graphics/Textures/TeleportReticle.png", picture);
}
