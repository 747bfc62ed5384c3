#pragma once

#include "engine/PimDisplay.h"
#include "engine/PimFrameFences.h"

struct SDL_Window;

// An SDL surface with an OpenGL 3.2 core context (GLSL 1.50), entry points loaded by GLEW.
//
// Window: a resizable window of the requested size on the desktop, scaled down to fit the
// desktop's usable area when it is larger; vsync as the parameters ask.
// Offscreen: SDL's offscreen video driver, which needs no X server: an EGL pbuffer of the
// requested size is the default framebuffer, so drawing and glReadPixels behave as in a window.
// On Mesa without a GPU this is llvmpipe. Main thread only.
class PimDisplaySdl final : public PimDisplay
{
public:
    enum class Surface
    {
        Window,
        Offscreen,
    };

    explicit PimDisplaySdl(Surface surface) : surface(surface) {}
    ~PimDisplaySdl() override;
    PimDisplaySdl(const PimDisplaySdl&) = delete;
    PimDisplaySdl& operator=(const PimDisplaySdl&) = delete;

    bool Open(const PimSystemParameters& parameters) override;
    bool PollEvents(const PimEventForward& forward) override;
    void BeginDraw() override;
    void Present() override;

    bool HasGL() const override { return context != nullptr; }
    double GetRefreshRate() const override;

    // Scales width x height down, keeping its shape, until it fits availableWidth x
    // availableHeight; a size that fits, or an unknown (non-positive) room, is left as it is.
    static void FitWindowSize(int availableWidth, int availableHeight, int& width, int& height);
    int GetFramebufferWidth() const override { return framebufferWidth; }
    int GetFramebufferHeight() const override { return framebufferHeight; }

private:
    bool StartVideo();
    bool CreateContext(const PimSystemParameters& parameters);
    void Close();

    Surface surface;
    bool videoStarted = false;
    SDL_Window* window = nullptr;
    void* context = nullptr;  // SDL_GLContext
    unsigned int vertexArray = 0;
    PimFrameFences frameFences;
    int framebufferWidth = 0;
    int framebufferHeight = 0;
};
