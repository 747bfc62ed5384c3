#include "engine/PimSoundSystem.h"

#include "engine/PimAssert.h"
#include "engine/PimFilePath.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace
{
constexpr int MixChannels = 16;

struct SoundState
{
    bool started = false;  // opening the device was tried
    bool audio = false;    // the device is open
    bool sdlAudio = false; // the SDL audio subsystem was started here
    float volume = 1.0f;
    std::array<Mix_Chunk*, PimSoundSystem::SlotCount> chunks{};
    std::array<bool, PimSoundSystem::SlotCount> loaded{};
    std::string lastError;
};

SoundState& State()
{
    static SoundState state;
    return state;
}

bool HasSoundDevices()
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", ec))
    {
        if (entry.path().filename().string().rfind("pcm", 0) == 0)
            return true;
    }
    return false;
}

void ApplyVolume()
{
    const SoundState& state = State();
    if (state.audio)
        Mix_Volume(-1, static_cast<int>(std::lround(state.volume * MIX_MAX_VOLUME)));
}

// Opens the audio device once; says so in one line when there is none.
void StartAudio()
{
    SoundState& state = State();
    if (state.started)
        return;
    state.started = true;
    std::string reason;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        reason = SDL_GetError();
    else
    {
        state.sdlAudio = true;
        const char* driver = SDL_GetCurrentAudioDriver();
        const bool chosen = std::getenv("SDL_AUDIODRIVER") != nullptr;
        if (!chosen && driver != nullptr && std::string(driver) == "alsa" && !HasSoundDevices())
            reason = "no sound devices";
        else if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0)
            reason = Mix_GetError();
        else
            state.audio = true;
    }
    if (!state.audio)
    {
        std::fprintf(stderr, "PimSoundSystem - no audio device (%s): sounds are silent\n", reason.c_str());
        if (state.sdlAudio)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        state.sdlAudio = false;
        return;
    }
    Mix_AllocateChannels(MixChannels);
    ApplyVolume();
}

bool IsSlot(int slot)
{
    return slot >= 0 && slot < PimSoundSystem::SlotCount;
}

void EmptySlot(int slot)
{
    SoundState& state = State();
    const auto i = static_cast<std::size_t>(slot);
    if (state.chunks[i] != nullptr)
    {
        // A chunk still playing must be stopped before it is freed.
        for (int channel = 0; channel < MixChannels; ++channel)
        {
            if (Mix_GetChunk(channel) == state.chunks[i])
                Mix_HaltChannel(channel);
        }
        Mix_FreeChunk(state.chunks[i]);
    }
    state.chunks[i] = nullptr;
    state.loaded[i] = false;
}

bool Refuse(const std::string& message)
{
    State().lastError = message;
    PimAssert::Assert(false, "PimSoundSystem::LoadSound() - " + message);
    return false;
}

// Without a device the file is still read and checked, so a bad file shows up on any machine.
bool CheckWav(const std::string& path, std::string& reason)
{
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &format, &buffer, &length) == nullptr)
    {
        reason = SDL_GetError();
        return false;
    }
    SDL_FreeWAV(buffer);
    return true;
}
}

bool PimSoundSystem::LoadSound(int slot, std::string_view path)
{
    if (!IsSlot(slot))
        return Refuse("slot " + std::to_string(slot) + " is outside 0 to " + std::to_string(SlotCount - 1));
    StartAudio();
    SoundState& state = State();
    EmptySlot(slot);
    const std::string file = PimFilePath(path).Native().string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return Refuse("no sound file " + file);
    if (!state.audio)
    {
        std::string reason;
        if (!CheckWav(file, reason))
            return Refuse("cannot read " + file + ": " + reason);
        state.loaded[static_cast<std::size_t>(slot)] = true;
        return true;
    }
    // The file is opened and closed here: the mixer leaves it open when some unreadable files
    // fail to load.
    SDL_RWops* source = SDL_RWFromFile(file.c_str(), "rb");
    if (source == nullptr)
        return Refuse("cannot open " + file + ": " + SDL_GetError());
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 0);
    SDL_RWclose(source);
    if (chunk == nullptr)
        return Refuse("cannot read " + file + ": " + Mix_GetError());
    state.chunks[static_cast<std::size_t>(slot)] = chunk;
    state.loaded[static_cast<std::size_t>(slot)] = true;
    return true;
}

bool PimSoundSystem::PlaySound(int slot)
{
    if (!IsSlot(slot))
        return false;
    const SoundState& state = State();
    Mix_Chunk* chunk = state.chunks[static_cast<std::size_t>(slot)];
    if (!state.audio || chunk == nullptr)
        return false;
    return Mix_PlayChannel(-1, chunk, 0) >= 0;
}

bool PimSoundSystem::IsLoaded(int slot)
{
    return IsSlot(slot) && State().loaded[static_cast<std::size_t>(slot)];
}

void PimSoundSystem::SetVolume(float volume)
{
    if (std::isnan(volume))
    {
        PimAssert::Assert(false, "PimSoundSystem::SetVolume() - volume is not a number");
        return;
    }
    State().volume = std::clamp(volume, 0.0f, 1.0f);
    ApplyVolume();
}

float PimSoundSystem::GetVolume()
{
    return State().volume;
}

bool PimSoundSystem::HasAudioDevice()
{
    return State().audio;
}

std::string PimSoundSystem::GetLastError()
{
    return State().lastError;
}

void PimSoundSystem::Shutdown()
{
    SoundState& state = State();
    if (state.audio)
        Mix_HaltChannel(-1);
    for (int slot = 0; slot < SlotCount; ++slot)
        EmptySlot(slot);
    if (state.audio)
        Mix_CloseAudio();
    if (state.sdlAudio)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    const float volume = state.volume;
    state = SoundState();
    state.volume = volume;
}
