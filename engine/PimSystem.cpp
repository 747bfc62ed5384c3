#include "engine/PimSystem.h"

#include "engine/PimAssert.h"
#include "engine/PimDisplay.h"
#include "engine/PimDrawStats.h"
#include "engine/PimFramePacer.h"
#include "engine/PimFilePath.h"
#include "engine/PimIOContext.h"
#include "engine/PimInputTray.h"
#include "engine/PimVrSystem.h"

#include <atomic>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <limits>
#include <memory>
#include <thread>

namespace
{
enum class CallbackKind : std::uint8_t
{
    Update,
    Draw,
    Event,
};

struct Callback
{
    PimCallbackId id = 0;
    CallbackKind kind = CallbackKind::Update;
    std::function<void()> frame;
    std::function<void(const SDL_Event&)> event;
    bool removed = false;
};

// Main-thread state of the running system. A deque keeps every callback in place while new ones
// are appended by a callback that is running.
struct SystemState
{
    bool initialized = false;
    bool running = false;
    bool virtualReality = false;
    PimSystemParameters parameters;
    std::unique_ptr<PimDisplay> display;
    std::deque<Callback> callbacks;
    PimCallbackId nextId = 1;
    int dispatchDepth = 0;
};

SystemState& State()
{
    static SystemState state;
    return state;
}

// Read from any thread: the exit request (worker callbacks may end the program), the GL context
// generation and the main thread's id (GL-backed objects check both before touching GL).
std::atomic<bool> exitRequested{false};
std::atomic<std::uint32_t> glGeneration{0};
std::atomic<std::uint32_t> lastGlGeneration{0};
std::atomic<std::thread::id> mainThread{};

bool StartsWithValidSize(const PimSystemParameters& parameters)
{
    constexpr std::int32_t largest = 16384;
    if (parameters.width > 0 && parameters.height > 0 && parameters.width <= largest && parameters.height <= largest)
        return true;
    std::fprintf(stderr, "PimSystem::Initialize() - window size %dx%d is outside 1 to %d\n",
                 static_cast<int>(parameters.width), static_cast<int>(parameters.height), static_cast<int>(largest));
    return false;
}

void UseDataFolder(const std::string& folder)
{
    if (folder.empty())
        return;
    const std::filesystem::path path = PimFilePath(folder).Native();
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec)
        std::fprintf(stderr, "PimSystem::Initialize() - cannot create the data folder %s: %s\n",
                     path.string().c_str(), ec.message().c_str());
    else
        PimAssert::SetLogFile((path / "assert.log").string());
}

// The rate the loop holds to when neither the display's refresh nor a headset paces it.
constexpr double kDefaultFrameRate = 90.0;

// Frames per second the frame loop is held to: the display's refresh rate, else 90. A headset's
// runtime paces its own frames, and a fixed clock (tests) runs frames as fast as they come.
double PacedFrameRate(const SystemState& state)
{
    if (state.parameters.fixedFrameSeconds > 0.0 || state.virtualReality)
        return 0.0;
    const double refresh = state.display->GetRefreshRate();
    return refresh > 0.0 ? refresh : kDefaultFrameRate;
}

void DropRemovedCallbacks()
{
    SystemState& state = State();
    if (state.dispatchDepth > 0)
        return;
    std::erase_if(state.callbacks, [](const Callback& c) { return c.removed; });
}

// Calls the callbacks of one kind that exist when the dispatch starts, in registration order.
template <typename Invoke>
void Dispatch(CallbackKind kind, Invoke&& invoke)
{
    SystemState& state = State();
    ++state.dispatchDepth;
    const std::size_t count = state.callbacks.size();
    for (std::size_t i = 0; i < count; ++i)
    {
        const Callback& callback = state.callbacks[i];
        if (callback.kind == kind && !callback.removed)
            invoke(callback);
    }
    --state.dispatchDepth;
    DropRemovedCallbacks();
}

void RunPhase(CallbackKind kind)
{
    Dispatch(kind, [](const Callback& callback) { callback.frame(); });
}

void ForwardEvent(const SDL_Event& event)
{
    Dispatch(CallbackKind::Event, [&event](const Callback& callback) { callback.event(event); });
}

PimCallbackId AddCallback(Callback callback)
{
    SystemState& state = State();
    callback.id = state.nextId++;
    if (state.nextId == 0)
        state.nextId = 1;
    state.callbacks.push_back(std::move(callback));
    return state.callbacks.back().id;
}
}

bool PimSystem::Initialize(const PimSystemParameters& parameters)
{
    SystemState& state = State();
    if (state.initialized)
    {
        std::fprintf(stderr, "PimSystem::Initialize() - the system is already running\n");
        return false;
    }
    if (!StartsWithValidSize(parameters))
        return false;
    UseDataFolder(parameters.dataFolder);

    std::unique_ptr<PimDisplay> display = PimDisplay::Create(parameters.display);
    if (!display->Open(parameters))
        return false;

    state.display = std::move(display);
    state.parameters = parameters;
    if (parameters.fixedFrameSeconds > 0.0)
        PimTime::SetFixedStep(parameters.fixedFrameSeconds * 1000.0);
    else
        PimTime::SetRealClock();
    PimTime::Reset();
    state.virtualReality = false;
    state.initialized = true;
    exitRequested = false;
    mainThread = std::this_thread::get_id();
    glGeneration = state.display->HasGL() ? ++lastGlGeneration : 0;

    // The devices come last: a headset session needs the GL context, the simulator the events.
    PimInputTray::GetInstance().Attach();
    if (!PimVrSystem::GetInstance().Start(parameters))
    {
        Shutdown();
        return false;
    }
    return true;
}

void PimSystem::Shutdown()
{
    SystemState& state = State();
    if (!state.initialized)
        return;
    if (state.running)
    {
        PimAssert::Assert(false, "PimSystem::Shutdown() - called from inside the frame loop");
        return;
    }
    PimVrSystem::GetInstance().Stop();
    PimInputTray::GetInstance().Reset();
    glGeneration = 0;
    state.display.reset();
    state.callbacks.clear();
    state.initialized = false;
    state.running = false;
    state.virtualReality = false;
    exitRequested = false;
    mainThread = std::thread::id();
}

bool PimSystem::IsInitialized()
{
    return State().initialized;
}

void PimSystem::Run()
{
    RunFrames(std::numeric_limits<std::uint64_t>::max());
}

std::uint64_t PimSystem::RunFrames(std::uint64_t maxFrames)
{
    SystemState& state = State();
    if (!state.initialized || !IsMainThread() || state.running)
    {
        PimAssert::Assert(false, "PimSystem::Run() - needs an initialised system, on its main thread, not already running");
        return 0;
    }
    state.running = true;
    std::uint64_t frames = 0;
    PimVrSystem& devices = PimVrSystem::GetInstance();
    PimFramePacer pacer;
    while (frames < maxFrames && !exitRequested)
    {
        if (const double rate = PacedFrameRate(state); rate != pacer.GetRate())
            pacer.SetRate(rate);
        PimInputTray::GetInstance().StartEventBatch();
        if (!state.display->PollEvents(ForwardEvent))
            break;
        PimTime::BeginFrame();
        devices.BeginFrame();
        RunPhase(CallbackKind::Update);
        state.display->BeginDraw();
        RunPhase(CallbackKind::Draw);
        devices.EndFrame();
        state.display->Present();
        PimDrawStats::EndFrame();
        ++frames;
        pacer.WaitForNextFrame();
    }
    exitRequested = false;
    state.running = false;
    return frames;
}

void PimSystem::ExitSystem()
{
    exitRequested = true;
}

PimTime PimSystem::GetTime()
{
    return PimTime::Now();
}

const PimSystemParameters& PimSystem::GetParameters()
{
    return State().parameters;
}

bool PimSystem::IsVirtualReality()
{
    return State().virtualReality;
}

void PimSystem::SetVirtualReality(bool headset)
{
    State().virtualReality = headset;
}

PimCallbackId PimSystem::AddFrameCallback(PimFramePhase phase, std::function<void()> callback)
{
    Callback entry;
    entry.kind = phase == PimFramePhase::Update ? CallbackKind::Update : CallbackKind::Draw;
    entry.frame = std::move(callback);
    if (!entry.frame)
    {
        PimAssert::Assert(false, "PimSystem::AddFrameCallback() - empty callback");
        return 0;
    }
    return AddCallback(std::move(entry));
}

PimCallbackId PimSystem::AddEventCallback(std::function<void(const SDL_Event&)> callback)
{
    Callback entry;
    entry.kind = CallbackKind::Event;
    entry.event = std::move(callback);
    if (!entry.event)
    {
        PimAssert::Assert(false, "PimSystem::AddEventCallback() - empty callback");
        return 0;
    }
    return AddCallback(std::move(entry));
}

void PimSystem::RemoveCallback(PimCallbackId id)
{
    for (Callback& callback : State().callbacks)
    {
        if (callback.id == id)
            callback.removed = true;
    }
    DropRemovedCallbacks();
}

bool PimSystem::AddIOContext(std::shared_ptr<PimIOContext> context)
{
    if (!context)
    {
        PimAssert::Assert(false, "PimSystem::AddIOContext() - null context");
        return false;
    }
    AddFrameCallback(PimFramePhase::Update, [context] { context->Update(); });
    AddFrameCallback(PimFramePhase::Draw, [context] { context->Draw(); });
    return true;
}

bool PimSystem::HasGL()
{
    return glGeneration != 0;
}

std::uint32_t PimSystem::GetGLContextGeneration()
{
    return glGeneration;
}

bool PimSystem::IsMainThread()
{
    // Before Initialize and after Shutdown the id is the default one, which no thread has.
    return mainThread.load() == std::this_thread::get_id();
}

int PimSystem::GetFramebufferWidth()
{
    const SystemState& state = State();
    return state.display ? state.display->GetFramebufferWidth() : 0;
}

int PimSystem::GetFramebufferHeight()
{
    const SystemState& state = State();
    return state.display ? state.display->GetFramebufferHeight() : 0;
}
