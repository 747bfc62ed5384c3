#include "engine/PimVrSimulator.h"

#include "engine/PimInputTray.h"
#include "engine/PimVrController.h"
#include "engine/PimVrPoseMath.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace
{
struct KeyBinding
{
    SDL_Scancode scancode;
    int action;
};

float Approach(float current, float target, float step, bool& reached)
{
    const float delta = target - current;
    reached = std::fabs(delta) <= step;
    return reached ? target : current + (delta > 0.0f ? step : -step);
}

float Radians(float degrees)
{
    return PimAngle::DegreesToRadians(degrees);
}

int OtherHand(int role)
{
    return role == PimVrDeviceIndex::LeftHand ? PimVrDeviceIndex::RightHand : PimVrDeviceIndex::LeftHand;
}
}

PimVrSimulator::PimVrSimulator(int viewWidth, int viewHeight)
    : viewWidth(static_cast<float>(std::max(viewWidth, 1))),
      viewHeight(static_cast<float>(std::max(viewHeight, 1))),
      pointerX(this->viewWidth * 0.5f),
      pointerY(this->viewHeight * 0.5f)
{
}

int PimVrSimulator::ActionOfScancode(int scancode)
{
    static constexpr KeyBinding bindings[] = {
        {SDL_SCANCODE_W, WalkForward},     {SDL_SCANCODE_S, WalkBack},        {SDL_SCANCODE_A, WalkLeft},
        {SDL_SCANCODE_D, WalkRight},       {SDL_SCANCODE_Q, TurnLeft},        {SDL_SCANCODE_E, TurnRight},
        {SDL_SCANCODE_C, Crouch},          {SDL_SCANCODE_SPACE, Jump},        {SDL_SCANCODE_R, Reset},
        {SDL_SCANCODE_TAB, SwapHands},     {SDL_SCANCODE_F, OtherTrigger},    {SDL_SCANCODE_M, MouseMenu},
        {SDL_SCANCODE_N, OtherMenu},       {SDL_SCANCODE_Z, MouseSecondary},  {SDL_SCANCODE_X, OtherSecondary},
        {SDL_SCANCODE_UP, PadUp},          {SDL_SCANCODE_DOWN, PadDown},      {SDL_SCANCODE_LEFT, PadLeft},
        {SDL_SCANCODE_RIGHT, PadRight},    {SDL_SCANCODE_T, PadCentre},       {SDL_SCANCODE_G, PadClick},
        {SDL_SCANCODE_LSHIFT, PadOnMouseHand}, {SDL_SCANCODE_RSHIFT, PadOnMouseHand},
        {SDL_SCANCODE_F1, ToggleLegend},  {SDL_SCANCODE_V, Reach},         {SDL_SCANCODE_H, RaiseOtherHand},
        {SDL_SCANCODE_1, Shortcut0},       {SDL_SCANCODE_2, Shortcut0 + 1},  {SDL_SCANCODE_3, Shortcut0 + 2},
        {SDL_SCANCODE_4, Shortcut0 + 3},   {SDL_SCANCODE_5, Shortcut0 + 4},  {SDL_SCANCODE_6, Shortcut0 + 5},
        {SDL_SCANCODE_7, Shortcut0 + 6},   {SDL_SCANCODE_8, Shortcut0 + 7},  {SDL_SCANCODE_9, Shortcut0 + 8},
        {SDL_SCANCODE_0, Shortcut0 + 9},   {SDL_SCANCODE_MINUS, Shortcut0 + 10}, {SDL_SCANCODE_EQUALS, Shortcut0 + 11},
    };
    for (const KeyBinding& binding : bindings)
    {
        if (binding.scancode == scancode)
            return binding.action;
    }
    return -1;
}

void PimVrSimulator::FollowWindowSize(std::uint32_t windowId)
{
    // A window opened smaller than asked (fitted to the desktop) may never report a size change;
    // its mouse coordinates are read against the size it has.
    SDL_Window* window = windowId != 0 ? SDL_GetWindowFromID(windowId) : nullptr;
    int width = 0, height = 0;
    if (window != nullptr)
        SDL_GetWindowSize(window, &width, &height);
    if (width > 0 && height > 0)
    {
        viewWidth = static_cast<float>(width);
        viewHeight = static_cast<float>(height);
    }
}

void PimVrSimulator::HandleEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_KEYDOWN:
    {
        const int action = ActionOfScancode(event.key.keysym.scancode);
        const bool keysTaken = PimInputTray::GetInstance().IsKeyboardCaptured() && action != ToggleLegend;
        if (action >= 0 && event.key.repeat == 0 && !keysTaken)
            Press(action);
        break;
    }
    case SDL_KEYUP:
    {
        const int action = ActionOfScancode(event.key.keysym.scancode);
        if (action >= 0)
            Release(action);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT)
            Press(MouseTrigger);
        else if (event.button.button == SDL_BUTTON_RIGHT)
            Press(Look);
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT)
            Release(MouseTrigger);
        else if (event.button.button == SDL_BUTTON_RIGHT)
            Release(Look);
        break;
    case SDL_MOUSEMOTION:
        if (held[Look])
        {
            lookX += static_cast<float>(event.motion.xrel);
            lookY += static_cast<float>(event.motion.yrel);
        }
        else
        {
            FollowWindowSize(event.motion.windowID);
            pointerX = static_cast<float>(event.motion.x);
            pointerY = static_cast<float>(event.motion.y);
        }
        break;
    case SDL_MOUSEWHEEL:
        wheel += static_cast<float>(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && event.window.data1 > 0 && event.window.data2 > 0)
        {
            viewWidth = static_cast<float>(event.window.data1);
            viewHeight = static_cast<float>(event.window.data2);
        }
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            ReleaseEverything();
        break;
    default:
        break;
    }
}

void PimVrSimulator::Press(int action)
{
    held[action] = true;
    tapped[action] = true;
    switch (action)
    {
    case Crouch:
        posture = Posture::Crouching;
        break;
    case Jump:
        if (posture == Posture::Standing)
            posture = Posture::JumpCrouch;
        break;
    case Reset:
        pitch = 0.0f;
        handDepth = DefaultHandDepth;
        break;
    case SwapHands:
        mouseHand = OtherHand(mouseHand);
        break;
    case ToggleLegend:
        legendVisible = !legendVisible;
        break;
    case Reach:
        reachRequested = true;
        break;
    case RaiseOtherHand:
        otherHandRaised = !otherHandRaised;
        break;
    case Look:
        SetLookMode(true);
        break;
    default:
        break;
    }
}

void PimVrSimulator::Release(int action)
{
    held[action] = false;
    if (action == Crouch && posture == Posture::Crouching)
        posture = Posture::SpringUp;
    if (action == Look)
        SetLookMode(false);
}

void PimVrSimulator::ReleaseEverything()
{
    for (int action = 0; action < ActionCount; ++action)
    {
        if (held[action])
            Release(action);
    }
}

void PimVrSimulator::SetLookMode(bool on)
{
    // Relative mode hides the pointer and keeps it in the window while the view turns; it needs a
    // window, which the offscreen display and the tests do not have.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetMouseFocus() != nullptr)
    {
        // Raw relative motion never arrives from absolute pointers (virtual machines' tablets,
        // remote desktops, synthetic input), which would leave the view fixed; warping the
        // pointer back to the centre turns ordinary motion into relative motion for every
        // pointer. The environment variable of the same hint still decides when set.
        SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_MODE_WARP, "1");
        SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
    }
}

float PimVrSimulator::Axis(int positive, int negative) const
{
    return (IsActive(positive) ? 1.0f : 0.0f) - (IsActive(negative) ? 1.0f : 0.0f);
}

void PimVrSimulator::TurnAndLook(float seconds)
{
    yaw += Axis(TurnLeft, TurnRight) * Radians(TurnSpeedDegrees) * seconds;
    yaw -= lookX * Radians(LookDegreesPerPixel);
    yaw = std::remainder(yaw, PimAngle::TwoPi);
    pitch -= lookY * Radians(LookDegreesPerPixel);
    pitch = std::clamp(pitch, -Radians(MaxPitchDegrees), Radians(MaxPitchDegrees));
}

void PimVrSimulator::Walk(float seconds)
{
    const PimVector3 forward(-std::sin(yaw), 0.0f, -std::cos(yaw));
    const PimVector3 right(std::cos(yaw), 0.0f, -std::sin(yaw));
    PimVector3 step = forward * Axis(WalkForward, WalkBack) + right * Axis(WalkRight, WalkLeft);
    step.Normalize();
    headFloorPosition += step * (WalkSpeed * seconds);
}

void PimVrSimulator::MoveEyeHeight(float seconds)
{
    const float standing = PimVrRestPose::EyeHeight;
    bool reached = false;
    switch (posture)
    {
    case Posture::Standing:
        eyeHeight = Approach(eyeHeight, standing, SettleSpeed * seconds, reached);
        break;
    case Posture::Crouching:
        eyeHeight = Approach(eyeHeight, standing * CrouchFactor, CrouchSpeed * seconds, reached);
        break;
    case Posture::JumpCrouch:
        eyeHeight = Approach(eyeHeight, standing * CrouchFactor, CrouchSpeed * seconds, reached);
        if (reached)
            posture = Posture::SpringUp;
        break;
    case Posture::SpringUp:
        eyeHeight = Approach(eyeHeight, standing * SpringFactor, SpringSpeed * seconds, reached);
        if (reached)
            posture = Posture::Standing;
        break;
    }
}

PimMatrix4x4 PimVrSimulator::HeadOrientation() const
{
    return PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(yaw))
        * PimMatrix4x4::CreateRotationX(PimAngle::FromRadians(pitch));
}

PimVector3 PimVrSimulator::PointerDirection() const
{
    const float tanUp = std::tan(Radians(PimVrRestPose::WindowFieldOfViewDegrees) * 0.5f);
    const float tanRight = tanUp * viewWidth / viewHeight;
    const float x = std::clamp(pointerX / viewWidth * 2.0f - 1.0f, -1.0f, 1.0f);
    const float y = std::clamp(1.0f - pointerY / viewHeight * 2.0f, -1.0f, 1.0f);
    return PimVector3(x * tanRight, y * tanUp, -1.0f).Normalized();
}

void PimVrSimulator::PoseHands(PimVrDeviceStates& devices) const
{
    const PimMatrix4x4 head = HeadOrientation();
    const PimVector3 eye(headFloorPosition.x, eyeHeight, headFloorPosition.z);

    PimVrDeviceState& pointing = devices[static_cast<std::size_t>(mouseHand)];
    const PimVector3 ray = head.TransformDirection(PointerDirection());
    const PimVector3 tip = pointerTip ? *pointerTip : eye + ray * handDepth;
    pointing.position = tip - ray * PimVrController::TipDistance;
    pointing.orientation = PimVrPoseMath::LookRotation(ray, head.TransformDirection({0.0f, 1.0f, 0.0f}));
    pointing.drawShift = pointerTip ? PimVector3() : head.TransformDirection(FreeHandDrawShift);

    const int restRole = OtherHand(mouseHand);
    PimVrDeviceState& resting = devices[static_cast<std::size_t>(restRole)];
    resting.drawShift = PimVector3();
    if (otherHandRaised)
    {
        const PimVector3 offset(restRole == PimVrDeviceIndex::LeftHand ? RaisedHandOffset.x : -RaisedHandOffset.x,
                                RaisedHandOffset.y, RaisedHandOffset.z);
        resting.position = eye + head.TransformDirection(offset);
        resting.orientation = head * PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(RaisedHandTiltDegrees));
        return;
    }
    const PimVector3 offset(restRole == PimVrDeviceIndex::LeftHand ? RestingHandOffset.x : -RestingHandOffset.x,
                            RestingHandOffset.y, RestingHandOffset.z);
    resting.position = eye + head.TransformDirection(offset);
    resting.orientation = head;
}

void PimVrSimulator::PressButtons(PimVrDeviceStates& devices) const
{
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
        devices[static_cast<std::size_t>(role)].values.fill(0.0f);
    auto& mouse = devices[static_cast<std::size_t>(mouseHand)].values;
    auto& other = devices[static_cast<std::size_t>(OtherHand(mouseHand))].values;
    auto set = [this](std::array<float, PimVrButton::Count>& values, int button, int action) {
        values[static_cast<std::size_t>(button)] = IsActive(action) ? 1.0f : 0.0f;
    };
    set(mouse, PimVrButton::Trigger, MouseTrigger);
    set(other, PimVrButton::Trigger, OtherTrigger);
    set(mouse, PimVrButton::Menu, MouseMenu);
    set(other, PimVrButton::Menu, OtherMenu);
    set(mouse, PimVrButton::Secondary, MouseSecondary);
    set(other, PimVrButton::Secondary, OtherSecondary);

    auto& pad = IsActive(PadOnMouseHand) ? mouse : other;
    float x = Axis(PadRight, PadLeft);
    float y = Axis(PadUp, PadDown);
    const float length = std::sqrt(x * x + y * y);
    if (length > 1.0f)
    {
        x /= length;
        y /= length;
    }
    const bool click = IsActive(PadClick);
    const bool touch = click || IsActive(PadCentre) || x != 0.0f || y != 0.0f || IsActive(PadUp)
        || IsActive(PadDown) || IsActive(PadLeft) || IsActive(PadRight);
    pad[PimVrButton::PadX] = x;
    pad[PimVrButton::PadY] = y;
    pad[PimVrButton::PadTouch] = touch ? 1.0f : 0.0f;
    pad[PimVrButton::PadClick] = click ? 1.0f : 0.0f;
}

void PimVrSimulator::BeginFrame(double seconds, PimVrDeviceStates& devices)
{
    // A long stall (a breakpoint, a slow load) must not throw the user across the room.
    const float dt = static_cast<float>(std::clamp(seconds, 0.0, 0.25));
    TurnAndLook(dt);
    Walk(dt);
    MoveEyeHeight(dt);
    if (wheel != 0.0f)
    {
        // Out of the wheel's range after a reach: the wheel first brings it back.
        const float base = std::max(handDepth, MinHandDepth);
        handDepth = std::clamp(base * std::pow(WheelStep, wheel), MinHandDepth, MaxHandDepth);
    }
    if (reachRequested && reachHelper)
    {
        const PimVector3 eye(headFloorPosition.x, eyeHeight, headFloorPosition.z);
        const PimVector3 ray = HeadOrientation().TransformDirection(PointerDirection());
        if (const std::optional<float> depth = reachHelper(eye, ray))
            handDepth = std::clamp(*depth, MinReachDepth, MaxHandDepth);
    }
    reachRequested = false;
    pointerTip.reset();
    const PimVector3 eye(headFloorPosition.x, eyeHeight, headFloorPosition.z);
    const PimVector3 pointerRay = HeadOrientation().TransformDirection(PointerDirection());
    for (const PointerTarget* target : {&pointerTarget, &heldPointerTarget, &toolPointerTarget})
    {
        if (!*target)
            continue;
        const std::optional<PimVector3> tip = (*target)(eye, pointerRay);
        if (tip && (!pointerTip || tip->DistanceSquared(eye) < pointerTip->DistanceSquared(eye)))
            pointerTip = tip;
    }
    for (int index = 0; index < ShortcutCount; ++index)
        shortcutsThisFrame[static_cast<std::size_t>(index)] = tapped[static_cast<std::size_t>(Shortcut0 + index)];

    for (PimVrDeviceState& state : devices)
    {
        state.connected = true;
        state.valid = true;
        state.trackingResult = PimVrTrackingResult::RunningOk;
    }
    PimVrDeviceState& head = devices[PimVrDeviceIndex::Headset];
    head.position = {headFloorPosition.x, eyeHeight, headFloorPosition.z};
    head.orientation = HeadOrientation();
    head.values.fill(0.0f);
    PoseHands(devices);
    PressButtons(devices);

    tapped.fill(false);
    lookX = 0.0f;
    lookY = 0.0f;
    wheel = 0.0f;
}

std::vector<std::string> PimVrSimulator::GetLegendLines() const
{
    const std::string mouse = mouseHand == PimVrDeviceIndex::LeftHand ? "left" : "right";
    return {
        "Desktop simulator - F1 hides this legend",
        "Look around: hold the right mouse button and move the mouse",
        "Walk: W A S D   Turn: Q E   Crouch: hold C   Jump: Space   Reset: R",
        "Mouse hand: " + mouse + " (Tab swaps), it points at the pointer; wheel: farther / nearer",
        "Trigger: left click, F other hand   Menu: M, N other hand   Second button: Z, X other hand",
        "Other hand's pad: arrows touch its edges, T its centre, G clicks it (Shift: mouse hand's pad)",
        "Reach: V puts the cursor just in front of the surface under the pointer   Menu buttons: point and click",
        "Grab points: point at one and hold the left button to drag it with the pointer; walking carries it along",
        "H raises the other hand to see and point at what it holds (again: lowers it)",
    };
}
