#pragma once

#include <cstdint>

// Counts the GL draw calls the engine issues, for tests and the frame benchmark: every place in
// the engine that calls glDraw* counts its calls here, and the frame loop closes each frame's
// count once the frame is shown. Main thread only (where GL is called).
namespace PimDrawStats
{
void CountDrawCalls(std::uint32_t calls = 1);
// Draw calls of the last frame the loop finished; 0 before the first.
std::uint64_t GetLastFrameDrawCalls();
// Draw calls since the current frame began.
std::uint64_t GetCurrentFrameDrawCalls();
// Every draw call since the process started.
std::uint64_t GetTotalDrawCalls();
// Closes the current frame's count (PimSystem, after each frame).
void EndFrame();
}
