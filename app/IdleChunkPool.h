#pragma once

#include "engine/PimVoxelGrid.h"

#include <cstddef>
#include <memory>
#include <vector>

// The process-wide list of idle chunks. Start-up fills it before the first frame so that the
// world never creates a chunk object while it streams; chunks are never freed while the program
// runs. Main thread only.
class IdleChunkPool
{
public:
    static IdleChunkPool& GetInstance();

    // Appends de-initialised chunks with special colours off until the pool holds `count`.
    void FillTo(std::size_t count);
    std::size_t Size() const { return chunks.size(); }
    const std::vector<std::unique_ptr<PimVoxelGrid>>& GetChunks() const { return chunks; }

private:
    std::vector<std::unique_ptr<PimVoxelGrid>> chunks;
};
