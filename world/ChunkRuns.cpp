#include "world/ChunkRuns.h"

#include <algorithm>

struct ChunkRuns::Secret
{
};

namespace
{
constexpr int kRowLength = 32;

// True when the row's codes all equal `code`; written without an early exit so that it vectorises.
bool RowHolds(const std::uint16_t* row, std::uint16_t code)
{
    std::uint16_t differences = 0;
    for (int k = 0; k < kRowLength; ++k)
        differences |= static_cast<std::uint16_t>(row[k] ^ code);
    return differences == 0;
}
}

ChunkRuns::ChunkRuns(const Secret&, std::vector<Run> runsIn, std::vector<std::uint16_t> codesIn)
    : runs(std::move(runsIn)), codes(std::move(codesIn))
{
}

std::shared_ptr<const ChunkRuns> ChunkRuns::Make(const std::uint16_t* source)
{
    // Collected in space each thread keeps, then copied to their exact size.
    thread_local std::vector<Run> found;
    found.clear();
    Run current{source[0], 0};
    for (int row = 0; row < kVoxelCount && found.size() <= kMaxRuns; row += kRowLength)
    {
        const std::uint16_t* at = source + row;
        if (RowHolds(at, current.code))
            continue;
        for (int k = 0; k < kRowLength; ++k)
            if (at[k] != current.code)
            {
                current.end = static_cast<std::uint16_t>(row + k);
                found.push_back(current);
                current.code = at[k];
            }
    }
    current.end = static_cast<std::uint16_t>(kVoxelCount);
    found.push_back(current);
    if (found.size() > kMaxRuns)
        return std::make_shared<const ChunkRuns>(Secret{}, std::vector<Run>(),
                                                 std::vector<std::uint16_t>(source, source + kVoxelCount));
    return std::make_shared<const ChunkRuns>(Secret{}, std::vector<Run>(found.begin(), found.end()),
                                             std::vector<std::uint16_t>());
}

void ChunkRuns::CopyTo(std::uint16_t* out) const
{
    if (!codes.empty())
    {
        std::copy(codes.begin(), codes.end(), out);
        return;
    }
    std::uint16_t start = 0;
    for (const Run& run : runs)
    {
        std::fill(out + start, out + run.end, run.code);
        start = run.end;
    }
}

bool ChunkRuns::IsUniform(std::uint16_t& code) const
{
    if (runs.size() != 1)
        return false; // a copy kept as codes has more runs than one
    code = runs.front().code;
    return true;
}

bool ChunkRuns::Contains(std::uint16_t code) const
{
    if (!codes.empty())
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    return std::any_of(runs.begin(), runs.end(), [code](const Run& run) { return run.code == code; });
}

std::size_t ChunkRuns::GetBytes() const
{
    return runs.size() * sizeof(Run) + codes.size() * sizeof(std::uint16_t);
}
