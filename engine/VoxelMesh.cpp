#include "engine/VoxelMesh.h"

const std::vector<std::uint16_t>& VoxelMesh::QuadIndexPattern()
{
    static const std::vector<std::uint16_t> pattern = [] {
        std::vector<std::uint16_t> indices;
        indices.reserve(kQuadsPerBatch * kIndicesPerQuad);
        for (std::uint32_t quad = 0; quad < kQuadsPerBatch; ++quad)
        {
            const auto b = static_cast<std::uint16_t>(quad * 4);
            for (std::uint16_t i : {b, std::uint16_t(b + 1), std::uint16_t(b + 2), std::uint16_t(b + 2),
                                    std::uint16_t(b + 1), std::uint16_t(b + 3)})
                indices.push_back(i);
        }
        return indices;
    }();
    return pattern;
}
