#pragma once

#include "engine/PimAngle.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimSystem.h"
#include "engine/PimVrDevice.h"
#include "engine/PimVrSystem.h"

#include <SDL_events.h>

#include <cmath>
#include <optional>

// What a desktop user does to the simulator, as window events pushed into SDL's queue: pointer
// moves, mouse buttons, keys (with both the key code the text fields read and the scan code the
// simulator reads), and where on the window a world point lies under the start view.
namespace SimulatorInput
{
inline void Push(SDL_Event event)
{
    SDL_PushEvent(&event);
}
inline void Pointer(int x, int y, int dx = 0, int dy = 0)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    Push(event);
}
inline void Button(Uint32 type, Uint8 button, int x = 0, int y = 0)
{
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    Push(event);
}
inline void Key(Uint32 type, SDL_Keycode key)
{
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    Push(event);
}
inline void Frames(int count)
{
    PimSystem::RunFrames(static_cast<std::uint64_t>(count));
}
// A key pressed for one frame and let go.
inline void Tap(SDL_Keycode key)
{
    Key(SDL_KEYDOWN, key);
    Frames(1);
    Key(SDL_KEYUP, key);
    Frames(1);
}
// Points at the pixel and clicks the left button there, a few frames apart.
inline void ClickAt(int x, int y)
{
    Pointer(x, y);
    Frames(2);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y);
    Frames(2);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y);
    Frames(2);
}

// The window pixel under which the simulator's pointer ray passes through a world point, seen
// from the head as it is now; nothing behind the eye.
inline std::optional<SDL_Point> PixelOf(const PimVector3& world, int width, int height)
{
    const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
    const PimVector3 eye = head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    const PimMatrix4x4 look = head.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    const PimVector3 ray = look.Transposed().TransformDirection(world - eye);
    if (ray.z >= 0.0f)
        return std::nullopt;
    const float tanUp = std::tan(PimVrRestPose::WindowFieldOfViewDegrees * 3.14159265f / 360.0f);
    const float tanRight = tanUp * static_cast<float>(width) / static_cast<float>(height);
    const float x = (ray.x / -ray.z) / tanRight;
    const float y = (ray.y / -ray.z) / tanUp;
    return SDL_Point{static_cast<int>(std::lround((x + 1.0f) * 0.5f * static_cast<float>(width))),
                     static_cast<int>(std::lround((1.0f - y) * 0.5f * static_cast<float>(height)))};
}
}
