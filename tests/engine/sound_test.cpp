#include "engine/PimAssert.h"
#include "engine/PimSoundSystem.h"

#include "../support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace
{
void Put16(std::vector<char>& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::vector<char>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A mono 16-bit PCM WAV file of a short tone; formatTag other than 1 makes it unreadable.
std::vector<char> ToneWav(std::uint16_t formatTag = 1)
{
    constexpr std::uint32_t rate = 22050;
    constexpr std::uint32_t samples = 2205;
    std::vector<char> wav;
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    Put32(wav, 36 + samples * 2);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(wav, 16);
    Put16(wav, formatTag);
    Put16(wav, 1);
    Put32(wav, rate);
    Put32(wav, rate * 2);
    Put16(wav, 2);
    Put16(wav, 16);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    Put32(wav, samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        Put16(wav, static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 0.1))));
    return wav;
}

void Write(const std::filesystem::path& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class ScopedAudioDriver
{
public:
    explicit ScopedAudioDriver(const char* driver)
    {
        if (const char* old = std::getenv("SDL_AUDIODRIVER"))
            previous = old;
        setenv("SDL_AUDIODRIVER", driver, 1);
    }
    ~ScopedAudioDriver()
    {
        if (previous)
            setenv("SDL_AUDIODRIVER", previous->c_str(), 1);
        else
            unsetenv("SDL_AUDIODRIVER");
    }

private:
    std::optional<std::string> previous;
};

class Sound : public testing::Test
{
protected:
    void SetUp() override
    {
        PimSoundSystem::Shutdown();
        Write(folder / "click.wav", ToneWav());
        Write(folder / "garbage.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
        Write(folder / "odd-format.wav", ToneWav(0x1234));
        std::vector<char> cut = ToneWav();
        cut.resize(30);
        Write(folder / "cut.wav", cut);
        PimAssert::ResetFailureCount();
    }
    void TearDown() override
    {
        PimSoundSystem::Shutdown();
        PimSoundSystem::SetVolume(1.0f);
    }

    std::string File(const char* name) const { return (folder / name).string(); }

    TempFolder folder{"sound"};
};
}

TEST_F(Sound, SoundsLoadIntoSlotsAndPlayByNumber)
{
    ScopedAudioDriver dummy("dummy");
    EXPECT_TRUE(PimSoundSystem::LoadSound(0, File("click.wav")));
    EXPECT_TRUE(PimSoundSystem::HasAudioDevice());
    EXPECT_TRUE(PimSoundSystem::IsLoaded(0));
    EXPECT_FALSE(PimSoundSystem::IsLoaded(1));
    EXPECT_TRUE(PimSoundSystem::PlaySound(0));
    EXPECT_TRUE(PimSoundSystem::PlaySound(0)) << "a sound plays over itself";
    EXPECT_FALSE(PimSoundSystem::PlaySound(1));
    EXPECT_FALSE(PimSoundSystem::PlaySound(-1));
    EXPECT_FALSE(PimSoundSystem::PlaySound(PimSoundSystem::SlotCount));

    // Paths may use the program's "\\" separators.
    const std::string windowsStyle = folder.path.string() + "\\click.wav";
    EXPECT_TRUE(PimSoundSystem::LoadSound(7, windowsStyle));
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(Sound, MissingAndUnreadableFilesFailClearlyAndLeaveTheSlotEmpty)
{
    ScopedAudioDriver dummy("dummy");
    ASSERT_TRUE(PimSoundSystem::LoadSound(3, File("click.wav")));
    for (const char* name : {"missing.wav", "garbage.wav", "odd-format.wav", "cut.wav"})
    {
        PimAssert::ResetFailureCount();
        EXPECT_FALSE(PimSoundSystem::LoadSound(3, File(name))) << name;
        EXPECT_EQ(PimAssert::GetFailureCount(), 1u) << name;
        EXPECT_NE(PimSoundSystem::GetLastError().find(name), std::string::npos) << PimSoundSystem::GetLastError();
        EXPECT_FALSE(PimSoundSystem::IsLoaded(3));
        EXPECT_FALSE(PimSoundSystem::PlaySound(3));
    }
    EXPECT_FALSE(PimSoundSystem::LoadSound(3, folder.path.string())) << "a folder is not a sound";
    EXPECT_FALSE(PimSoundSystem::LoadSound(-1, File("click.wav")));
    EXPECT_FALSE(PimSoundSystem::LoadSound(PimSoundSystem::SlotCount, File("click.wav")));
}

TEST_F(Sound, TheVolumeIsClampedToZeroToOne)
{
    ScopedAudioDriver dummy("dummy");
    PimSoundSystem::SetVolume(0.25f);
    EXPECT_EQ(PimSoundSystem::GetVolume(), 0.25f);
    PimSoundSystem::SetVolume(1.5f);
    EXPECT_EQ(PimSoundSystem::GetVolume(), 1.0f);
    PimSoundSystem::SetVolume(-0.5f);
    EXPECT_EQ(PimSoundSystem::GetVolume(), 0.0f);
    PimSoundSystem::SetVolume(NAN);
    EXPECT_EQ(PimSoundSystem::GetVolume(), 0.0f);
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
}

TEST_F(Sound, WithoutAnAudioDeviceFilesAreStillCheckedAndNothingPlays)
{
    ScopedAudioDriver none("quillot-no-such-driver");
    EXPECT_TRUE(PimSoundSystem::LoadSound(0, File("click.wav")));
    EXPECT_FALSE(PimSoundSystem::HasAudioDevice());
    EXPECT_TRUE(PimSoundSystem::IsLoaded(0));
    EXPECT_FALSE(PimSoundSystem::PlaySound(0));
    EXPECT_FALSE(PimSoundSystem::LoadSound(1, File("garbage.wav")));
    EXPECT_FALSE(PimSoundSystem::LoadSound(2, File("missing.wav")));
    PimSoundSystem::SetVolume(0.5f);
    EXPECT_EQ(PimSoundSystem::GetVolume(), 0.5f);
}
