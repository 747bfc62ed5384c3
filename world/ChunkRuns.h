#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A stored copy of one chunk's 32768 codes (PimVoxelGrid's index order), kept as runs of equal
// codes. Stored terrain is layered - rows of 32 voxels along x mostly hold one code - so a chunk
// of rock, sand, water and air takes a few kilobytes instead of 64 KiB. A world keeps a copy of
// every stored chunk of the regions it read, and making 64 KiB of fresh memory for each costs
// more than decoding the file (a page fault per 4 KiB). A chunk with more than kMaxRuns runs
// (noise) keeps its codes as they are, so no copy is larger than the codes plus a few bytes.
//
// Immutable once made: regions share a copy with the threads that read it (the worker copying
// it into a chunk) without holding a lock while they read. Any thread.
class ChunkRuns
{
public:
    static constexpr int kVoxelCount = 32768;
    static constexpr std::size_t kMaxRuns = 16384;

    // The copy of `codes` (kVoxelCount of them).
    static std::shared_ptr<const ChunkRuns> Make(const std::uint16_t* codes);

    // Writes the kVoxelCount codes into `codes`.
    void CopyTo(std::uint16_t* codes) const;
    // True, with the code, when every voxel holds the same code.
    bool IsUniform(std::uint16_t& code) const;
    bool Contains(std::uint16_t code) const;
    // Bytes the copy keeps for its codes.
    std::size_t GetBytes() const;

    struct Run
    {
        std::uint16_t code = 0;
        // One past the run's last voxel index (up to kVoxelCount).
        std::uint16_t end = 0;
    };
    struct Secret; // keeps the constructor to Make while make_shared can reach it
    ChunkRuns(const Secret&, std::vector<Run> runs, std::vector<std::uint16_t> codes);

private:
    // Either the runs, in index order, or (beyond kMaxRuns) the codes themselves.
    std::vector<Run> runs;
    std::vector<std::uint16_t> codes;
};
