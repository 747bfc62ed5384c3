#include "engine/PimInputTray.h"

#include "engine/PimSystem.h"

#include <SDL_events.h>

PimInputTray& PimInputTray::GetInstance()
{
    static PimInputTray tray;
    return tray;
}

void PimInputTray::Attach()
{
    Reset();
    PimSystem::AddEventCallback([this](const SDL_Event& event) { HandleEvent(event); });
}

void PimInputTray::HandleEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_KEYDOWN:
        if (event.key.repeat == 0)
            keyboard.PressKey(PimKeyTable::FromSdlKeycode(event.key.keysym.sym));
        break;
    case SDL_KEYUP:
        keyboard.ReleaseKey(PimKeyTable::FromSdlKeycode(event.key.keysym.sym));
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            keyboard.ReleaseAll();
        break;
    default:
        break;
    }
}

void PimInputTray::Reset()
{
    keyboard.ReleaseAll();
    keyboardCaptured = false;
}
