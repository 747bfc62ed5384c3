#include "engine/PimDrawStats.h"

namespace
{
// Main-thread counters.
struct Counts
{
    std::uint64_t total = 0;
    std::uint64_t frameStart = 0;
    std::uint64_t lastFrame = 0;
};

Counts& TheCounts()
{
    static Counts counts;
    return counts;
}
}

void PimDrawStats::CountDrawCalls(std::uint32_t calls)
{
    TheCounts().total += calls;
}

std::uint64_t PimDrawStats::GetLastFrameDrawCalls()
{
    return TheCounts().lastFrame;
}

std::uint64_t PimDrawStats::GetCurrentFrameDrawCalls()
{
    return TheCounts().total - TheCounts().frameStart;
}

std::uint64_t PimDrawStats::GetTotalDrawCalls()
{
    return TheCounts().total;
}

void PimDrawStats::EndFrame()
{
    Counts& counts = TheCounts();
    counts.lastFrame = counts.total - counts.frameStart;
    counts.frameStart = counts.total;
}
