#include "engine/PimDisplaySdl.h"

#include <GL/glew.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace
{
void ReportFailure(const char* what, const char* reason)
{
    std::fprintf(stderr, "PimSystem::Initialize() - %s: %s\n", what, reason);
}

// glewInit answers with an error under EGL (it finds no GLX display) after it has loaded the core
// entry points, so success is judged by the entry points the engine and the program call.
bool HasCoreEntryPoints()
{
    return glGenVertexArrays != nullptr && glBindVertexArray != nullptr && glCreateShader != nullptr
        && glGenBuffers != nullptr && glGenFramebuffers != nullptr && glActiveTexture != nullptr;
}

// Room left under the usable desktop height for the window's title bar and frame.
constexpr int kWindowDecorationAllowance = 48;
}

void PimDisplaySdl::FitWindowSize(int availableWidth, int availableHeight, int& width, int& height)
{
    if (availableWidth <= 0 || availableHeight <= 0 || width <= 0 || height <= 0)
        return;
    if (width <= availableWidth && height <= availableHeight)
        return;
    // The tighter of the two sides sets the scale; rounding down keeps the window inside.
    const double scale = std::min(double(availableWidth) / width, double(availableHeight) / height);
    width = std::max(1, static_cast<int>(width * scale));
    height = std::max(1, static_cast<int>(height * scale));
}

PimDisplaySdl::~PimDisplaySdl()
{
    Close();
}

bool PimDisplaySdl::Open(const PimSystemParameters& parameters)
{
    if (!StartVideo() || !CreateContext(parameters))
    {
        Close();
        return false;
    }
    return true;
}

bool PimDisplaySdl::StartVideo()
{
    // The offscreen driver is forced for this start only; a window start takes SDL's own choice.
    if (surface == Surface::Offscreen)
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    else
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        ReportFailure("cannot start the video system", SDL_GetError());
        return false;
    }
    videoStarted = true;
    // With no window system to reach, SDL falls back to a driver that shows nothing; a window
    // asked for must not turn into a program running where nobody can see it.
    const std::string_view driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (surface == Surface::Window && (driver == "offscreen" || driver == "dummy"))
    {
        ReportFailure("cannot open a window",
                      "no window system answered (set SDL_VIDEODRIVER=offscreen to run without a screen)");
        return false;
    }
    return true;
}

bool PimDisplaySdl::CreateContext(const PimSystemParameters& parameters)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    const Uint32 flags = SDL_WINDOW_OPENGL
        | (surface == Surface::Window ? SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE : SDL_WINDOW_HIDDEN);
    int width = parameters.width;
    int height = parameters.height;
    if (surface == Surface::Window)
    {
        // A window taller or wider than the desktop would lose its edges (a headset-shaped view is
        // taller than many screens): it opens scaled down to fit, keeping its shape.
        SDL_Rect usable{};
        if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
            FitWindowSize(usable.w, usable.h - kWindowDecorationAllowance, width, height);
    }
    window = SDL_CreateWindow(parameters.windowTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              width, height, flags);
    if (window == nullptr)
    {
        ReportFailure("cannot open a window", SDL_GetError());
        return false;
    }
    context = SDL_GL_CreateContext(window);
    if (context == nullptr)
    {
        ReportFailure("cannot create an OpenGL 3.2 core context", SDL_GetError());
        return false;
    }
    glewExperimental = GL_TRUE;
    glewInit();
    if (!HasCoreEntryPoints())
    {
        ReportFailure("cannot load the OpenGL entry points", "GLEW found no OpenGL 3.2 functions");
        return false;
    }
    while (glGetError() != GL_NO_ERROR)
    {
        // glewInit may leave an error behind from probing; the frame loop starts clean.
    }
    // A failed swap-interval request only costs vsync; the display still works.
    SDL_GL_SetSwapInterval(surface == Surface::Window && parameters.vsync ? 1 : 0);

    // The core profile draws nothing without a bound vertex array object.
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    SDL_GL_GetDrawableSize(window, &framebufferWidth, &framebufferHeight);
    return true;
}

void PimDisplaySdl::Close()
{
    if (context != nullptr)
    {
        frameFences.Release();
        if (vertexArray != 0)
            glDeleteVertexArrays(1, &vertexArray);
        SDL_GL_DeleteContext(context);
    }
    if (window != nullptr)
        SDL_DestroyWindow(window);
    if (videoStarted)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (surface == Surface::Offscreen)
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    vertexArray = 0;
    context = nullptr;
    window = nullptr;
    videoStarted = false;
    framebufferWidth = 0;
    framebufferHeight = 0;
}

bool PimDisplaySdl::PollEvents(const PimEventForward& forward)
{
    bool keepRunning = true;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
    {
        if (event.type == SDL_QUIT
            || (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
            keepRunning = false;
        // The frame after a resize draws into the whole new drawable.
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && window != nullptr)
            SDL_GL_GetDrawableSize(window, &framebufferWidth, &framebufferHeight);
        if (forward)
            forward(event);
    }
    return keepRunning;
}

void PimDisplaySdl::BeginDraw()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    // Whatever the last frame left enabled must not limit the clear.
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void PimDisplaySdl::Present()
{
    SDL_GL_SwapWindow(window);
    frameFences.EndFrame();
}

double PimDisplaySdl::GetRefreshRate() const
{
    SDL_DisplayMode mode{};
    if (surface != Surface::Window || window == nullptr || SDL_GetWindowDisplayMode(window, &mode) != 0)
        return 0.0;
    return mode.refresh_rate > 0 ? static_cast<double>(mode.refresh_rate) : 0.0;
}
