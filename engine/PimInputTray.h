#pragma once

#include "engine/PimKeyboard.h"

union SDL_Event;

// The desktop input the program reads directly: the keyboard (PimKeyboard::KeyStatus in the
// engine's key numbering). PimSystem attaches it to the window's events when it starts, so the
// state read during a frame is the state after that frame's events. Main thread only.
class PimInputTray
{
public:
    static PimInputTray& GetInstance();

    const PimKeyboard& GetKeyboard() const { return keyboard; }

    // A text field that types from the keyboard sets this while it has the keyboard, so that the
    // desktop simulator does not also walk and press buttons on the same keys. Key status is
    // reported either way.
    void SetKeyboardCaptured(bool captured) { keyboardCaptured = captured; }
    bool IsKeyboardCaptured() const { return keyboardCaptured; }

    // Registers the tray for the window's events; PimSystem::Initialize calls it. Starts from
    // every key up.
    void Attach();
    // Once per frame, before the frame's events (the frame loop calls it).
    void StartEventBatch() { keyboard.StartEventBatch(); }
    // Key presses and releases (auto-repeat ignored); losing the keyboard focus releases every key.
    void HandleEvent(const SDL_Event& event);
    // Every key up and the capture cleared.
    void Reset();

private:
    PimInputTray() = default;

    PimKeyboard keyboard;
    bool keyboardCaptured = false;
};
