#include "engine/PimFrameFences.h"

#include <GL/glew.h>

#include <cstdint>

namespace
{
constexpr std::uint64_t kWaitLimitNanoseconds = 1'000'000'000;
}

void PimFrameFences::EndFrame()
{
    GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (fence == nullptr)
        return;
    fences[(first + count) % kMaxFramesInFlight] = fence;
    ++count;
    // The newest frame may run on; the one before it must be done before the next is queued.
    while (count >= kMaxFramesInFlight)
        WaitForOldest();
}

void PimFrameFences::WaitForOldest()
{
    GLsync oldest = static_cast<GLsync>(fences[first]);
    // The flush bit makes sure the fence itself reaches the driver, or the wait could never end.
    glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, kWaitLimitNanoseconds);
    glDeleteSync(oldest);
    fences[first] = nullptr;
    first = (first + 1) % kMaxFramesInFlight;
    --count;
}

void PimFrameFences::Release()
{
    while (count > 0)
    {
        glDeleteSync(static_cast<GLsync>(fences[first]));
        fences[first] = nullptr;
        first = (first + 1) % kMaxFramesInFlight;
        --count;
    }
}
