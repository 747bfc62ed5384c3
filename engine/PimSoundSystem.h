#pragma once

#include <string>
#include <string_view>

// Short sounds (WAV files) loaded into numbered slots and played by slot number, through
// SDL2_mixer. Main thread only.
//
// The audio device is opened by the first LoadSound. A machine without one (a server, CI) runs silently:
// one line says so, loading still reads and checks each file, and playing does nothing, so the
// program behaves the same with or without speakers. SDL_AUDIODRIVER chooses the driver when set
// (tests use "dummy"); when it is not set, the ALSA driver is only tried where the machine has
// sound devices (/dev/snd), because ALSA writes a page of errors to stderr where there are none.
class PimSoundSystem
{
public:
    static constexpr int SlotCount = 64;

    // Reads a WAV file ("\\" or "/" separated path) into the slot, replacing what it held. False,
    // reported through PimAssert with the reason, for a slot outside 0 .. SlotCount - 1 or a file
    // that is missing or not a readable WAV; the slot is then empty.
    static bool LoadSound(int slot, std::string_view path);
    // Starts the slot's sound at the master volume, over whatever else is playing. False when the
    // slot is empty or no sound can play (no audio device, every channel busy).
    static bool PlaySound(int slot);
    static bool IsLoaded(int slot);

    // Master volume, 0 (silent) to 1 (full); values outside are clamped, NaN is ignored.
    static void SetVolume(float volume);
    static float GetVolume();

    // True once an audio device is open (after the first LoadSound).
    static bool HasAudioDevice();
    // The reason of the last failed LoadSound.
    static std::string GetLastError();

    // Stops every sound, empties the slots, closes the device and keeps the volume. The program
    // never calls it; tests do, to start again.
    static void Shutdown();
};
