// Settings files as read from disk: arbitrary bytes go through the user settings reader and
// the world settings reader. Any crash or sanitizer report is a fault, and so is a value
// outside its range or a text that does not read back as itself once written.
#include "settings/GameSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

namespace
{
// Settings over a private temporary folder, made once for the whole run: two that read and
// one that keeps its defaults.
GameSettings& Settings(int which)
{
    // A plain array outlives every static object, so the folder can be removed at exit.
    static char folder[] = "/tmp/quillot-fuzz-XXXXXX";
    static const std::string base = [] {
        if (::mkdtemp(folder) == nullptr)
            std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        });
        return std::string(folder);
    }();
    static const SettingsFolders folders = SettingsFolders::FromBases(
        PimWString::Widen(base), PimWString::Widen(base + "/data"), PimWString::Widen(base + "/Pictures"));
    static GameSettings first(folders);
    static GameSettings second(folders);
    static GameSettings untouched(folders);
    return which == 0 ? first : which == 1 ? second : untouched;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool InRange(float value, float low, float high) { return value >= low && value <= high; }

void CheckRanges(GameSettings& settings)
{
    Require(settings.GetSaveTimer() >= 10 && settings.GetSaveTimer() <= 525600);
    Require(settings.GetTutorialCount() <= 5);
    Require(InRange(settings.GetVolumeMaster(), 0, 1) && InRange(settings.GetVolumeEffects(), 0, 1) &&
            InRange(settings.GetVolumeMusic(), 0, 1));
    Require(settings.virtualReality.GetHandPreference() >= 1 && settings.virtualReality.GetHandPreference() <= 2);
    Require(InRange(settings.virtualReality.GetPlayerSizeBias(), 0.5f, 2.5f));
    GameSettingsActiveGame& game = settings.activeGame;
    Require(game.GetPlayerScaleIndex() <= 24 && game.GetActivePalette() <= 2);
    for (int n = 0; n < GameSettingsActiveGame::ReferenceImageCount; ++n)
        Require(InRange(game.GetRefImageScale(n), 0.1f, 10.0f));
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PimWString text = PimWString::Widen(std::string_view(reinterpret_cast<const char*>(data), size));
    GameSettings& settings = Settings(0);
    GameSettings& again = Settings(1);

    settings.ReadUserText(text);
    settings.activeGame.ReadXml(text);
    CheckRanges(settings);

    again.ReadUserText(settings.WriteUserText());
    Require(again.WriteXml() == settings.WriteXml());
    Require(again.controlMap.ToXml() == settings.controlMap.ToXml());
    Require(again.virtualReality.WriteXml() == settings.virtualReality.WriteXml());

    // Reading a full world text is the slow part; the defaults are known to read back.
    static const PimWString defaultWorld = [] {
        GameSettings& fresh = Settings(2);
        return fresh.activeGame.WriteXml();
    }();
    const PimWString worldText = settings.activeGame.WriteXml();
    if (worldText != defaultWorld)
    {
        again.activeGame.ReadXml(worldText);
        Require(again.activeGame.WriteXml() == worldText);
    }
    return 0;
}
