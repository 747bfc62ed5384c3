#pragma once

#include <cstdint>
#include <vector>

// A grid of unsigned 16-bit samples, width x depth, row-major by z: index = z * width + x.
// The terrain's height map holds one sample per chunk column corner, in voxels of height; the
// preview maps use the same shape. Reads and writes outside the grid are harmless: At gives 0,
// Set changes nothing. A value type; not synchronised.
class HeightMap
{
public:
    // Sizes below 0 count as 0; every sample takes `fill`.
    void Resize(int newWidth, int newDepth, std::uint16_t fill = 0);
    void Fill(std::uint16_t value);

    int GetWidth() const { return width; }
    int GetDepth() const { return depth; }
    bool IsEmpty() const { return samples.empty(); }
    bool Contains(int x, int z) const { return x >= 0 && z >= 0 && x < width && z < depth; }

    std::uint16_t At(int x, int z) const { return Contains(x, z) ? samples[Index(x, z)] : 0; }
    // The sample at the nearest point of the grid: coordinates past an edge read the edge.
    // 0 for an empty grid.
    std::uint16_t ClampedAt(int x, int z) const;
    void Set(int x, int z, std::uint16_t value)
    {
        if (Contains(x, z))
            samples[Index(x, z)] = value;
    }

    const std::vector<std::uint16_t>& Samples() const { return samples; }
    std::vector<std::uint16_t>& Samples() { return samples; }

    // A height to store: truncated toward zero and held to 0 to 65535 (NaN stores 0).
    static std::uint16_t ToSample(double height);

private:
    std::size_t Index(int x, int z) const
    {
        return static_cast<std::size_t>(z) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    }

    int width = 0;
    int depth = 0;
    std::vector<std::uint16_t> samples;
};
