#pragma once

#include "pages/SavedModelList.h"
#include "pages/VoxelMenuPage.h"

#include <vector>

// The hall of saved models: a long voxel hall with one pedestal per saved model, newest first,
// each showing the model's thumbnail in a picture cube with its name above, a play button that
// opens the model (the main menu starts it) and a trash button that moves it to the recycle bin.
// The back action or the back button returns to the main menu with the choice cleared.
//
// Every visit lists the models again; items of models still listed are reused (found by the
// model's name) and their thumbnails read again only when the file changed. Main thread only.
class VoxelSavedGamesMenu : public VoxelMenuPage
{
public:
    static constexpr std::uint16_t kFloor = 0xFF8C;
    static constexpr std::uint16_t kUpper = 0xFF8E;
    static constexpr std::uint16_t kStripe = 153;
    // The hall reads along +z: labels run along it and buttons face the side the player walks on.
    static constexpr float kHallYaw = -90.0f;

    VoxelSavedGamesMenu(GameSettings& settings, std::shared_ptr<PimCamera> camera);

    void PageIn() override;
    void PageOut() override;
    void OnItemPlay(int index) override;
    void OnItemDelete(int index) override;
    void OnBack() override;

    // The hall's depth for n models.
    static int HallDepth(int modelCount) { return (modelCount + 3) * 3; }
    const std::vector<SavedModel>& GetListing() const { return listing; }

private:
    void BuildHall(int modelCount);
    void PlaceBackButton();

    std::vector<SavedModel> listing;
};
