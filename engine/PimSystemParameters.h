#pragma once

#include <cstdint>
#include <string>

// Where the frame loop draws. Automatic is what the program uses: the offscreen context when the
// SDL_VIDEODRIVER environment variable says "offscreen" (render tests, thumbnails on a machine
// without a screen), a window otherwise. None opens no GL context at all and is only for tests
// of logic: the loop still runs frames, and GL-backed objects stay CPU-only.
enum class PimDisplayBackend : std::uint8_t
{
    Automatic,
    Window,
    Offscreen,
    None,
};

// Which devices drive the viewer: the headset runtime, the desktop simulator, the headset when
// a runtime answers and the simulator otherwise, or a script (tests set poses and buttons frame by
// frame). The device layer (PimVrSystem) reads it at start-up.
enum class PimDeviceMode : std::int32_t
{
    Desktop = 0,
    Headset = 1,
    HeadsetOrDesktop = 2,
    Scripted = 3,
};

// Start parameters of PimSystem::Initialize, filled in place by the program entry.
struct PimSystemParameters
{
    // Size in pixels of the window, which is also the render size of each eye.
    std::int32_t width = 1080;
    std::int32_t height = 1200;
    PimDeviceMode deviceMode = PimDeviceMode::HeadsetOrDesktop;
    // Wait for the display's refresh on every swap (window only; the offscreen context never waits).
    bool vsync = true;
    // The engine's data folder ("\\" or "/" separated). When set, it is created if missing and the
    // assertion log is kept there as "assert.log"; empty keeps the log in the temporary folder.
    std::string dataFolder;

    PimDisplayBackend display = PimDisplayBackend::Automatic;
    // Seconds every frame advances the clock by; 0 uses real time. Tests set it for repeatable runs.
    double fixedFrameSeconds = 0.0;
    std::string windowTitle = "Quillot";
};
