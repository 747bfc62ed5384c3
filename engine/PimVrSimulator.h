#pragma once

#include "engine/PimVrDevice.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

union SDL_Event;

// The desktop simulator: keyboard and mouse drive a simulated headset and two hand controllers,
// seen through the window. Keys are named by their place on a US keyboard (scan codes), so the
// walking keys sit under the left hand on any layout. Main thread only.
//
// Key map (the on-screen legend, toggled with F1, shows the same):
//   Look around ............ hold the right mouse button and move the mouse
//   Walk in the play area .. W A S D          Turn ......... Q E
//   Crouch ................. hold C (standing up quickly from it is the jump gesture)
//   Jump gesture ........... Space (a quick crouch and spring up)
//   Reset view and hands ... R
//   The mouse hand (the right hand at start; Tab swaps hands) points at the mouse pointer; its
//   tip lies on the ray under the pointer; the mouse wheel moves it farther or nearer.
//   The other hand rests at the lower edge of the view. Both follow the head.
//   Trigger (code 0) ....... left click: mouse hand      F: other hand
//   Menu (code 1) .......... M: mouse hand               N: other hand
//   Second button (code 9) . Z: mouse hand               X: other hand
//   Pad of the other hand (hold Shift for the mouse hand's pad):
//     arrow keys touch it at its edges (codes 6, 12, 13), T touches its centre (code 6),
//     G clicks it (code 7, the teleport confirm)
//   Pressing a menu button . point at it and left click: the mouse hand's tip goes to the
//                            button under the pointer (see SetPointerTarget)
//   Grabbing ............... point at a grab point and hold the left button: the tip goes to it,
//                            and follows the pointer until the button is let go
//                            (SetToolPointerTarget)
//   Raise the other hand ... H: lifts it in front of the view, its top turned towards the eye, so
//                            what it holds (the tool panel) can be seen and pointed at; H again
//                            lowers it
//   Shortcut keys .......... 1 to 9, 0, - and = are the program's shortcuts 0 to 11, read with
//                            WasShortcutPressed (the tool panel selects its tools with them)
//   Reach .................. V: the mouse hand moves along the pointer's ray so that what it
//                            points with (the program's cursor) lands just in front of the
//                            surface under the pointer (see SetReachHelper); the hand may then
//                            go behind the eye, so voxels can be placed against a near wall
//   Legend ................. F1
// A key or button tapped between two frames counts as held for one frame. While a text field has
// the keyboard (PimInputTray::IsKeyboardCaptured) the keys are left to it; the mouse still works.
class PimVrSimulator final : public PimVrDevice
{
public:
    static constexpr float WalkSpeed = 1.5f;          // metres per second
    static constexpr float TurnSpeedDegrees = 90.0f;  // per second
    static constexpr float LookDegreesPerPixel = 0.2f;
    static constexpr float MaxPitchDegrees = 85.0f;
    static constexpr float CrouchFactor = 0.82f;      // crouched eye height / standing
    static constexpr float SpringFactor = 1.06f;      // top of the spring up / standing
    static constexpr float CrouchSpeed = 2.5f;        // metres per second going down
    static constexpr float SpringSpeed = 4.0f;        // going up
    static constexpr float SettleSpeed = 1.0f;        // back to standing
    static constexpr float DefaultHandDepth = 0.5f;   // metres from the eye to the mouse hand's tip
    static constexpr float MinHandDepth = 0.1f;
    static constexpr float MaxHandDepth = 40.0f;
    // The reach key may put the hand this far behind the eye.
    static constexpr float MinReachDepth = -40.0f;
    static constexpr float WheelStep = 1.1f;          // depth factor per wheel notch

    // The size of the window in the coordinates of its mouse events.
    PimVrSimulator(int viewWidth, int viewHeight);

    void HandleEvent(const SDL_Event& event);

    // The program's answer to the reach key: given the eye and the pointer's ray (tracking space,
    // metres, the ray normalised), the hand depth in metres that puts its cursor in front of the
    // surface under the pointer, or nothing. Without a helper the key does nothing.
    using ReachHelper = std::function<std::optional<float>(const PimVector3& eye, const PimVector3& ray)>;
    void SetReachHelper(ReachHelper helper) { reachHelper = std::move(helper); }
    // The program's pressable things (menu buttons): given the eye and the pointer's ray as for the
    // reach helper, the point (tracking space, metres) where the mouse hand's tip touches the one
    // the pointer is on, or nothing. Asked every frame; while it answers, the mouse hand points
    // along the ray with its tip on that point instead of at the wheel's depth, so a left click
    // presses what the pointer shows.
    using PointerTarget = std::function<std::optional<PimVector3>(const PimVector3& eye, const PimVector3& ray)>;
    void SetPointerTarget(PointerTarget target) { pointerTarget = std::move(target); }
    // The pressable things the other hand holds (the tool panel), answered like the page's pointer
    // target and asked with it; when both answer, the point nearer the eye wins.
    void SetHeldPointerTarget(PointerTarget target) { heldPointerTarget = std::move(target); }
    // The grab points of the tool in use (a selection box's corners, the buttons beside the other
    // hand, a held copy and its rings), answered like the page's pointer target and asked with it.
    // While the tool holds something with the mouse hand it answers the point the hand drags it to.
    void SetToolPointerTarget(PointerTarget target) { toolPointerTarget = std::move(target); }
    // The target installed now, so a tool's target can answer first and hand the rest on to it.
    const PointerTarget& GetToolPointerTarget() const { return toolPointerTarget; }

    static constexpr int ShortcutCount = 12;
    // Whether shortcut key `index` (0 to 11: the keys 1 to 9, 0, - and =) went down since the
    // frame before; read during the frame.
    bool WasShortcutPressed(int index) const
    {
        return index >= 0 && index < ShortcutCount && shortcutsThisFrame[static_cast<std::size_t>(index)];
    }
    // Whether the other hand is raised (H).
    bool IsOtherHandRaised() const { return otherHandRaised; }
    // Where the raised hand is held (head frame, metres) and how far it is tilted back (degrees):
    // the panel above it then faces the eye a little below the view's centre.
    static constexpr PimVector3 RaisedHandOffset{-0.04f, 0.0f, -0.54f};
    static constexpr float RaisedHandTiltDegrees = 70.0f;
    // Where the other hand rests while not raised (head frame, metres; the left hand's, mirrored
    // for the right): low and to the side, so that what it carries (the tool panel) stays in the
    // corner of the view instead of filling it.
    static constexpr PimVector3 RestingHandOffset{-0.24f, -0.3f, -0.6f};
    // How far the free mouse hand's model is drawn from its pose (head frame, metres): below and
    // to the right of the pointer, whose spot it would otherwise cover. A hand put on a control
    // is drawn where it is.
    static constexpr PimVector3 FreeHandDrawShift{0.1f, -0.15f, 0.0f};

    bool IsHeadset() const override { return false; }
    void BeginFrame(double seconds, PimVrDeviceStates& devices) override;

    bool IsLegendVisible() const override { return legendVisible; }
    std::vector<std::string> GetLegendLines() const override;

    // The hand role the mouse drives (1 left, 2 right).
    int GetMouseHand() const { return mouseHand; }
    float GetHandDepth() const { return handDepth; }
    // The simulated head's height above the floor, in metres.
    float GetHeadHeight() const { return eyeHeight; }

private:
    enum Action : int
    {
        WalkForward,
        WalkBack,
        WalkLeft,
        WalkRight,
        TurnLeft,
        TurnRight,
        Crouch,
        Jump,
        Reset,
        SwapHands,
        OtherTrigger,
        MouseMenu,
        OtherMenu,
        MouseSecondary,
        OtherSecondary,
        PadUp,
        PadDown,
        PadLeft,
        PadRight,
        PadCentre,
        PadClick,
        PadOnMouseHand,
        ToggleLegend,
        Reach,
        RaiseOtherHand,
        Shortcut0,  // the shortcut keys follow in order
        MouseTrigger = Shortcut0 + ShortcutCount,  // left mouse button
        Look,          // right mouse button
        ActionCount,
    };
    enum class Posture
    {
        Standing,
        Crouching,
        JumpCrouch,
        SpringUp,
    };

    static int ActionOfScancode(int scancode);
    void FollowWindowSize(std::uint32_t windowId);
    void Press(int action);
    void Release(int action);
    void ReleaseEverything();
    bool IsActive(int action) const { return held[action] || tapped[action]; }
    float Axis(int positive, int negative) const;

    void TurnAndLook(float seconds);
    void Walk(float seconds);
    void MoveEyeHeight(float seconds);
    PimMatrix4x4 HeadOrientation() const;
    PimVector3 PointerDirection() const;
    void PoseHands(PimVrDeviceStates& devices) const;
    void PressButtons(PimVrDeviceStates& devices) const;
    void SetLookMode(bool on);

    std::array<bool, ActionCount> held{};
    std::array<bool, ActionCount> tapped{};

    float viewWidth;
    float viewHeight;
    float pointerX;
    float pointerY;
    float lookX = 0.0f;  // pixels moved while looking, since the last frame
    float lookY = 0.0f;
    float wheel = 0.0f;  // notches since the last frame

    PimVector3 headFloorPosition;  // x and z on the play-area floor
    float yaw = 0.0f;    // radians, positive turns left
    float pitch = 0.0f;  // radians, positive looks up
    float eyeHeight = PimVrRestPose::EyeHeight;
    Posture posture = Posture::Standing;

    int mouseHand = PimVrDeviceIndex::RightHand;
    float handDepth = DefaultHandDepth;
    bool legendVisible = true;
    bool reachRequested = false;
    bool otherHandRaised = false;
    std::array<bool, ShortcutCount> shortcutsThisFrame{};
    ReachHelper reachHelper;
    PointerTarget pointerTarget;
    PointerTarget heldPointerTarget;
    PointerTarget toolPointerTarget;
    // The mouse hand's tip of this frame when the pointer is on a pressable thing.
    std::optional<PimVector3> pointerTip;
};
