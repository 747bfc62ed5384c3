#pragma once

#include "engine/PimSystemParameters.h"

#include <functional>
#include <memory>

union SDL_Event;

// Receives every window-system event the display takes from its queue (keyboard, mouse, window).
using PimEventForward = std::function<void(const SDL_Event&)>;

// Where the frame loop draws: a backend owns the window or offscreen surface and its GL context.
// PimSystem creates one at Initialize and drives it from the frame loop; main thread only.
class PimDisplay
{
public:
    virtual ~PimDisplay() = default;

    // Opens the surface and, for GL backends, a GL 3.2 core context with one bound vertex array
    // object. On failure writes the reason to stderr and returns false.
    virtual bool Open(const PimSystemParameters& parameters) = 0;
    // Hands every pending event to `forward`; false once the user asked to close the window.
    virtual bool PollEvents(const PimEventForward& forward) = 0;
    // Binds and clears the default framebuffer and sets the viewport to all of it.
    virtual void BeginDraw() = 0;
    // Shows the frame (swaps buffers). GL backends keep at most two frames in flight in the
    // driver: Present waits for the frame before last to finish.
    virtual void Present() = 0;

    virtual bool HasGL() const = 0;
    // Frames per second the surface shows (a window's display mode); 0 when it has none.
    virtual double GetRefreshRate() const { return 0.0; }
    // Size in pixels of the default framebuffer (0 without GL).
    virtual int GetFramebufferWidth() const = 0;
    virtual int GetFramebufferHeight() const = 0;

    // Automatic becomes Offscreen when SDL_VIDEODRIVER is "offscreen" and Window otherwise;
    // an explicit choice stays as it is.
    static PimDisplayBackend Resolve(PimDisplayBackend requested);
    static std::unique_ptr<PimDisplay> Create(PimDisplayBackend backend);
};
