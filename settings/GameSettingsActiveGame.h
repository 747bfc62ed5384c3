#pragma once

#include "settings/SettingsHandler.h"

#include "colour/ColourLockMask.h"

#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The settings of the world being played: player scale and location, world name, the
// world's colour table, palettes, locks, reference images and fog colour. They are stored in
// the world's own settings file and reset when a new world starts.
//
// The colour state has copies outside the items: the world colour table and the engine's
// special colour table (PaletteModel), the lock mask and the engine's fog colour. Reading a
// world's settings and ResetAll bring all of them in step with the items.
//
// Main thread only.
class GameSettingsActiveGame final : public SettingsHandler
{
public:
    enum class Key : std::uint16_t
    {
        WalkPhysics = 0,
        PlayerScale = 1,
        OptionsSet = 2,
        GameWorldName = 3,
        PlayerLocation = 4,
        ActiveColors = 5,
        LockedColors = 6,
        Palettes = 7,
        ActivePalette = 8,
        ReferenceImages = 9,
        FogColor = 10,
        WorldSeed = 11,
    };

    // What "WorldSeed" holds while the world has no seed recorded (a new world, or a world saved
    // before seeds were kept): one past the largest seed.
    static constexpr std::uint64_t NoWorldSeed = std::uint64_t{1} << 32;

    static constexpr int ReferenceImageCount = 3;
    static constexpr std::uint16_t NoPaletteEntry = 0xFF00;
    static constexpr std::array<float, 25> ScaleTable = {0.5f, 0.75f, 1.0f, 1.5f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f,
                                                          7.0f, 8.0f, 9.0f, 10.0f, 15.0f, 20.0f, 25.0f, 30.0f,
                                                          35.0f, 40.0f, 45.0f, 50.0f, 55.0f, 60.0f, 65.0f, 150.0f};

    // Builds the default colour table first (ActiveColors takes its defaults from it).
    void DefineSettings() override;
    // Reads every key, then applies the colour state (world table, locks, the engine's
    // special table and fog colour). A reference image without a path is reset whole.
    bool ReadElements(const PimXMLWIndex& elements, PimXMLWIndex::Span within) override;
    // Resets every key and applies the colour state of the defaults.
    void ResetAll() override;

    // The world settings file: world folder + "\\settings.set". Writing replaces it as one
    // step; false when it could not be written. Reading resets every key when the file is
    // absent or cannot be used (SettingsFile: it is then put aside) and returns whether it was
    // read.
    bool SaveWorldSettings(const PimWString& worldFolder);
    // Writes text made by WriteXml as the world settings file of that folder, as
    // SaveWorldSettings does. Touches no setting: any thread.
    static bool WriteWorldSettingsText(const PimWString& worldFolder, std::wstring_view text);
    bool LoadWorldSettings(const PimWString& worldFolder);
    // The world's settings file in its folder (given without a trailing separator).
    static PimWString WorldSettingsPath(const PimWString& worldFolder);

    GameSettingItem& Item(Key key) { return Setting(static_cast<std::uint16_t>(key)); }
    const GameSettingItem& Item(Key key) const { return Setting(static_cast<std::uint16_t>(key)); }

    std::uint32_t GetWalkPhysics() const;
    void SetWalkPhysics(std::uint32_t physics);
    // The scale factor the PlayerScale index selects, and the index itself.
    float GetPlayerScale() const;
    std::uint32_t GetPlayerScaleIndex() const;
    void SetPlayerScaleIndex(std::uint32_t index);
    bool GetOptionsSet() const;
    void SetOptionsSet(bool set);
    PimWString GetGameWorldName() const;
    void SetGameWorldName(const PimWString& name);
    PimVector3 GetPlayerLocation() const;
    void SetPlayerLocation(const PimVector3& location);
    // The seed the world's terrain is generated from, when one is recorded ("WorldSeed").
    std::optional<std::uint32_t> GetWorldSeed() const;
    void SetWorldSeed(std::uint32_t seed);

    // Palettes: 3 lists of 16 voxel values. Out-of-range indices read as 0xFF00 and write nothing.
    std::uint8_t GetActivePalette() const;
    void SetActivePalette(std::uint8_t index);
    std::uint16_t GetPaletteEntry(int palette, int slot) const;
    void SetPaletteEntry(int palette, int slot, std::uint16_t voxel);

    // Redefines world colour index (0 to 254): the world table, the engine's special table and
    // the ActiveColors entry, whose default becomes the colour too.
    void SetColour(const PimColor& colour, std::uint8_t index);
    void SetColourLocked(bool lock, std::uint16_t index);
    bool IsColourLocked(std::uint16_t index) const { return lockedMask.IsLocked(index); }
    const ColourLockMask& GetLockedMask() const { return lockedMask; }

    PimColor GetFogColour() const;
    // Stores the fog colour and gives it to the engine.
    void SetFogColour(const PimColor& colour);

    // Reference images 0 to 2; another index is reported and reads as the default.
    PimWString GetRefImagePath(int image) const;
    void SetRefImagePath(int image, const PimWString& path);
    bool GetRefImageEnabled(int image) const;
    void SetRefImageEnabled(int image, bool enabled);
    bool GetRefImageLocked(int image) const;
    void SetRefImageLocked(int image, bool locked);
    PimVector3 GetRefImageLocation(int image) const;
    void SetRefImageLocation(int image, const PimVector3& location);
    PimMatrix4x4 GetRefImageOrient(int image) const;
    void SetRefImageOrient(int image, const PimMatrix4x4& orient);
    float GetRefImageScale(int image) const;
    void SetRefImageScale(int image, float scale);
    void ResetRefImage(int image);

    // Asks the palette page of the off-hand panel to reload; set by palette edits and the
    // in-game menu, cleared by the panel.
    bool coloursChanged = false;

private:
    // World table, lock mask, the engine's special table and fog from the current items.
    void ApplyColourState();
    // A copy of the reference image's children, edited and stored back with SetVector;
    // false (reported) for an image index out of range.
    template <typename Edit>
    bool EditRefImage(int image, Edit edit);
    const GameSettingItem& RefImageChild(int image, std::string_view child) const;

    ColourLockMask lockedMask;
};
