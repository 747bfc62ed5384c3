#pragma once

#include "engine/PimImageQuad.h"
#include "engine/PimTexture.h"

#include <memory>

class GameSettings;

// What every menu page shares, loaded once per run by the first page made: the play and trash
// quads that every item's buttons are drawn with (moved from button to button), the back button's
// picture, the face atlas of the rooms and the three menu sounds in their slots. Missing files
// are reported once by the loaders and leave that picture or sound out. Main thread only.
class MenuResources
{
public:
    static constexpr int kPlaySound = 0;
    static constexpr int kPageSound = 1;
    static constexpr int kDeleteSound = 3;
    static constexpr float kButtonScale = 0.1f;

    // Loads everything the first time; later calls return the same resources.
    static MenuResources& Get(const GameSettings& settings);
    // A picture of the textures folder for buttons and icons (smoothed, clamped at its edges); a
    // file that cannot be read is reported and gives an empty picture.
    static std::shared_ptr<const PimTexture> LoadPicture(const GameSettings& settings, const char* name);

    PimImageQuad playQuad;
    PimImageQuad trashQuad;
    std::shared_ptr<const PimTexture> backPicture;
    std::shared_ptr<const PimTexture> roomAtlas;

private:
    explicit MenuResources(const GameSettings& settings);
};
