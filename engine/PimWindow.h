#pragma once

// The program's one window (or the offscreen surface standing in for it), to which the input
// context is attached. It exists while the system runs; with the None display it has no GL and a
// size of 0. Main thread only.
class PimWindow
{
public:
    // The window while PimSystem is initialised; null before Initialize and after Shutdown.
    static PimWindow* GetFocusedWindow();

    int GetWidth() const;
    int GetHeight() const;
    bool HasGL() const;

private:
    PimWindow() = default;
};
