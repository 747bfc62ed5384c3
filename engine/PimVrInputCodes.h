#pragma once

// The numbers through which the program asks the device layer for buttons, poses and tracking
// quality. They are plain ints (unscoped enumerators inside a struct), so a call may name them
// (PimVrButton::Trigger) or pass the number itself.

// Button codes of PimVrController::GetValue. Every value is a float: 0 or 1 for buttons,
// 0 to 1 for the trigger, -1 to 1 for the pad axes. Codes without a meaning read 0.
struct PimVrButton
{
    enum : int
    {
        Trigger = 0,    // analogue trigger pull, 0 to 1
        Menu = 1,       // the menu button (the back action in menus)
        PadTouch = 6,   // 1 while the thumb rests on the pad or stick
        PadClick = 7,   // 1 while the pad or stick is pressed down (confirm)
        Secondary = 9,  // the second face button
        PadX = 12,      // pad or stick position, -1 (left) to 1 (right)
        PadY = 13,      // pad or stick position, -1 (down / towards the user) to 1 (up / away)
        Count = 14,
    };
};

// Which point of a device a pose query means.
// Controller: where the hand model is drawn; its -z axis is the pointing direction.
// Tip: a point PimVrController::TipDistance metres ahead of it along that axis, with the same
// orientation, where a controller touches buttons, keys and handles. For the headset both are
// the point between the eyes, -z being the view direction.
struct PimVrPose
{
    enum : int
    {
        Controller = 0,
        Tip = 1,
    };
};

// In which frame a pose is given.
// World: world units, after the root position, the direction modifier and the scale.
// PlayArea: world units relative to the root (rotated by the direction modifier and scaled, not
// moved): its y is the height above the play-area floor.
// Tracking: the runtime's own metres in the play area, without root, direction or scale (the
// user's real size, e.g. for measuring the eye height).
struct PimVrCoordinates
{
    enum : int
    {
        World = 0,
        PlayArea = 1,
        Tracking = 2,
    };
};

// How well a device is tracked (PimVrController::GetTrackingResult).
struct PimVrTrackingResult
{
    enum : int
    {
        Uninitialized = 1,
        CalibratingInProgress = 100,
        CalibratingOutOfRange = 101,
        RunningOk = 200,
        RunningOutOfRange = 201,  // pose estimated, not measured
        FallbackRotationOnly = 300,
    };
};

// Device indices of PimVrSystem::GetController; the hand indices are also the hand roles.
struct PimVrDeviceIndex
{
    enum : int
    {
        Headset = 0,
        LeftHand = 1,
        RightHand = 2,
        Count = 3,
    };
};
