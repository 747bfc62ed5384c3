#pragma once

#include "engine/PimTime.h"
#include "engine/PimSystemParameters.h"

#include <cstdint>
#include <functional>
#include <memory>

class PimIOContext;
union SDL_Event;

// Identifies a registered callback; 0 is never handed out.
using PimCallbackId = std::uint32_t;

enum class PimFramePhase : std::uint8_t
{
    Update,  // logic: input, pages, objects
    Draw,    // rendering into the cleared default framebuffer, before the swap
};

// The engine's start, frame loop and end. Initialize opens the display (window, offscreen or none),
// Run drives frames until ExitSystem. Everything here runs on the main thread (the thread that called
// Initialize), except ExitSystem and GetGLContextGeneration, which any thread may call.
//
// One frame: take the display's events (a closed window ends the loop; the keyboard state of
// PimInputTray follows them), advance the clock, sample the headset and controllers
// (PimVrSystem::BeginFrame), call every Update callback, clear the default framebuffer, call every
// Draw callback, hand the eyes to a headset (PimVrSystem::EndFrame), swap.
//
// Callbacks are the seam for the page tree, viewports and renderable objects: each registers a
// function for a phase and is called once per frame in registration order. A callback may add or
// remove callbacks, its own included: one added while a phase runs is first called at the next run
// of its own phase; one removed is not called again, not even later in the same phase.
class PimSystem
{
public:
    // Opens the display, then the devices of parameters.deviceMode (PimVrSystem::Start). False (with
    // the reason on stderr) when the system cannot start: a bad size, no video system, no window,
    // no OpenGL 3.2 core context, or no headset when one is required. Not re-entrant: Shutdown first.
    static bool Initialize(const PimSystemParameters& parameters);
    // Stops the devices, closes the display, drops every callback and forgets the exit request. The
    // program never calls it (nothing is torn down at exit); tests do, to start again.
    static void Shutdown();
    static bool IsInitialized();

    // Runs frames until ExitSystem or until the window is closed.
    static void Run();
    // Runs at most maxFrames frames and returns how many ran; stops early like Run.
    static std::uint64_t RunFrames(std::uint64_t maxFrames);
    // Ends the loop after the current frame (or makes the next Run return at once). Any thread.
    static void ExitSystem();

    // The moment the current frame began (PimTime::Now); frame durations are PimTime::SecondDelta
    // and PimTime::MillisecondDelta.
    static PimTime GetTime();
    static const PimSystemParameters& GetParameters();

    // True while a headset drives the view; set by the device layer.
    static bool IsVirtualReality();
    static void SetVirtualReality(bool headset);

    static PimCallbackId AddFrameCallback(PimFramePhase phase, std::function<void()> callback);
    // Every window-system event (keyboard, mouse, window) is handed to these as the frame starts.
    static PimCallbackId AddEventCallback(std::function<void(const SDL_Event&)> callback);
    static void RemoveCallback(PimCallbackId id);

    // Registers an input context: from the next frame on, its scene is updated in the Update phase
    // and drawn in the Draw phase, in registration order with the other callbacks. The system keeps
    // the context until Shutdown. False (reported) for null.
    static bool AddIOContext(std::shared_ptr<PimIOContext> context);

    // GL state for the engine's GL-backed objects. The generation is 0 without a GL context and
    // changes every time a context is opened, so an object can tell that its GL names died with an
    // earlier context. Any thread may read it.
    static bool HasGL();
    static std::uint32_t GetGLContextGeneration();
    static bool IsMainThread();
    static int GetFramebufferWidth();
    static int GetFramebufferHeight();
};
