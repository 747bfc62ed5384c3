#pragma once

// A small OpenXR runtime for tests, built as a shared library that the OpenXR loader loads through
// the manifest the build writes beside it (XR_RUNTIME_JSON, see TestXrRuntimeManifest). It stands
// for one headset with two eyes and no controllers, never waits, checks that the application calls
// it in the order OpenXR requires, and records every submitted frame with the pixels of each eye's
// image. The test links the same library to steer it and read what it saw. Main thread only.

#include <openxr/openxr.h>

#include <cstdint>
#include <string>
#include <vector>

#define TEST_XR_EXPORT __attribute__((visibility("default")))

namespace TestXrRuntime
{
// The simulated headset, in the stage space (metres, y up). Set before the instance is created.
struct Headset
{
    int eyeWidth = 40;
    int eyeHeight = 40;
    float eyeDistance = 0.064f;
    XrVector3f headPosition{0.0f, 1.6f, 0.0f};
    XrQuaternionf headOrientation{0.0f, 0.0f, 0.0f, 1.0f};
    // Both eyes: angleLeft, angleRight, angleUp, angleDown in radians (45 degrees to each side).
    XrFovf fieldOfView{-0.785398163f, 0.785398163f, 0.785398163f, -0.785398163f};
};

// One view of a submitted projection layer and the picture its swapchain image held then.
struct TEST_XR_EXPORT SubmittedEye
{
    XrPosef pose{};
    XrFovf fieldOfView{};
    XrRect2Di rect{};
    int width = 0;
    int height = 0;
    // RGBA, rows bottom-up as GL reads them.
    std::vector<std::uint8_t> pixels;

    // The pixel at column x of row y counted from the top.
    std::uint32_t PixelFromTop(int x, int y) const;
};

struct SubmittedFrame
{
    XrTime displayTime = 0;
    std::uint32_t layerCount = 0;
    std::vector<SubmittedEye> eyes;
};

// Forgets everything recorded and uses `headset` from the next instance on.
TEST_XR_EXPORT void Reset(const Headset& headset = Headset());
// The path of the manifest to put in XR_RUNTIME_JSON.
TEST_XR_EXPORT std::string ManifestPath();

// The session goes to `state` at the application's next xrPollEvent.
TEST_XR_EXPORT void QueueSessionState(XrSessionState state);
// Whether xrWaitFrame asks for frames to be drawn (while the session is visible).
TEST_XR_EXPORT void SetShouldRender(bool shouldRender);
// The next xrAcquireSwapchainImage on the eye's swapchain (in creation order) fails.
TEST_XR_EXPORT void FailNextAcquire(int eye);

// Frame calls in order: "wait", "begin", "views", "acquire N", "wait N", "release N" (N the
// swapchain in creation order), "end L" (L the number of layers).
TEST_XR_EXPORT const std::vector<std::string>& Calls();
TEST_XR_EXPORT void ClearCalls();
// Every call the application made out of order or with bad arguments, described.
TEST_XR_EXPORT const std::vector<std::string>& Violations();
TEST_XR_EXPORT const std::vector<SubmittedFrame>& Frames();
// Handles created and not yet destroyed (instance, session, spaces, swapchains, action sets, actions).
TEST_XR_EXPORT int LiveHandles();
// Between xrBeginSession and xrEndSession.
TEST_XR_EXPORT bool IsSessionRunning();
}
