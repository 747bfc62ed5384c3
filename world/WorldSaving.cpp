// Saving a world: the thumbnail drawn from the viewer's position, the player-location safeguard,
// the edited chunks into their regions, and the world's files through its store.

#include "world/VoxelWorld2.h"

#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimAssert.h"
#include "engine/PimCamera.h"
#include "engine/PimSystem.h"
#include "engine/PimViewport.h"

#include <array>
#include <cmath>
#include <optional>

namespace
{
constexpr float kPlayerLocationLimit = 1000000.0f;

// True when every coordinate lies within the limits (a NaN does not).
bool IsSoundPlayerLocation(const PimVector3& location)
{
    for (const float value : {location.x, location.y, location.z})
        if (!(std::fabs(value) <= kPlayerLocationLimit))
            return false;
    return true;
}

// The six thumbnail views in stitching order: the top row looks along +x, +z and up, the bottom
// row along -x, -z and down. The small sideways part of the vertical directions keeps the
// camera's look-at frame defined.
const std::array<PimVector3, 6> kThumbnailDirections = {
    PimVector3(1.0f, 0.0f, 0.0f),        PimVector3(0.0f, 0.0f, 1.0f),  PimVector3(0.001f, 100.0f, 0.0f),
    PimVector3(-1.0f, 0.0f, 0.0f),       PimVector3(0.0f, 0.0f, -1.0f), PimVector3(-0.001f, -100.0f, 0.0f),
};

}

bool VoxelWorld2::RenderThumbnail(PimTexture& picture)
{
    PimViewport* viewport = activeViewport;
    if (viewport == nullptr || !activeCamera || !PimSystem::HasGL() || !HasDrawn())
        return false;
    PimCamera& camera = *activeCamera;

    // Everything the views change is put back afterwards, so the next frame looks as before.
    const PimCamera savedCamera = camera;
    const std::optional<PimPixelRect> savedBox = viewport->GetBoundingBox();
    const PimColor savedClear = viewport->GetClearColor();

    camera.SetFieldOfView(PimAngle::FromDegrees(90.0f));
    viewport->SetBoundingBox({0, 0, kThumbnailView, kThumbnailView});
    camera.SetPosition(viewerPosition);
    viewport->SetClearColor(settings.activeGame.GetFogColour());

    std::array<PimTexture, kThumbnailDirections.size()> views;
    bool complete = true;
    for (std::size_t index = 0; index < views.size(); ++index)
    {
        viewport->Clear();
        camera.SetTarget(viewerPosition + kThumbnailDirections[index]);
        Draw();
        viewport->Activate();
        PimTexture& view = views[index];
        // A window smaller than one view clips the capture: such a picture cannot be stitched.
        if (!viewport->CaptureScreenshot(view) || view.GetWidth() != kThumbnailView ||
            view.GetHeight() != kThumbnailView)
        {
            complete = false;
            break;
        }
        view.FlipPixels();
    }

    camera = savedCamera;
    if (savedBox)
        viewport->SetBoundingBox(*savedBox);
    else
        viewport->ClearBoundingBox();
    viewport->SetClearColor(savedClear);

    if (!complete)
    {
        PimAssert::Assert(false, "VoxelWorld2::SaveWorld() - The thumbnail views could not be captured");
        return false;
    }
    return picture.StitchTextures(views, 3, 2);
}

void VoxelWorld2::GuardPlayerLocation()
{
    const PimVector3 location = settings.activeGame.GetPlayerLocation();
    if (!IsSoundPlayerLocation(location))
        settings.activeGame.SetPlayerLocation(store.RegionsCentre());
}

void VoxelWorld2::QueueSave()
{
    if (!store.HasValidName() || store.GetWorldFolder().empty())
    {
        PimAssert::Assert(false, "VoxelWorld2::SaveWorld() - The world has no usable name; nothing is saved");
        saveWriter.Queue([] {
            SaveResult refused;
            refused.refused = true;
            return refused;
        });
        return;
    }

    PimTexture views;
    std::optional<PimTexture> newThumbnail;
    if (RenderThumbnail(views))
    {
        thumbnail = std::move(views);
        newThumbnail = thumbnail;
    }
    // Chunks are copied under the world lock and the global build-channel lock (taken by
    // ForEachHeldChunk in that order), so none moves or is built meanwhile. Their regions keep
    // the copies under their own locks, which is all the save writer needs: it writes while the
    // worker builds.
    ForEachHeldChunk([this](PimVoxelGrid& chunk) { store.StoreIfEdited(&chunk); });
    // Checked on every save, not only once the world has drawn, so a corrupt location never
    // reaches the settings file; after the chunks are stored, so the regions edited since the
    // last save count towards the centre.
    GuardPlayerLocation();
    PimWString settingsText = settings.activeGame.WriteXml();
    saveWriter.Queue([this, newThumbnail = std::move(newThumbnail), settingsText = std::move(settingsText)] {
        SaveResult result;
        result.regionsWritten = store.WriteRegions();
        if (newThumbnail)
            result.thumbnailWritten = store.WriteThumbnail(*newThumbnail); // reports its own failure
        result.settingsWritten = store.WriteSettingsText(settingsText); // reports its own failure
        return result;
    });
}

void VoxelWorld2::StartSave()
{
    QueueSave();
}

VoxelWorld2::SaveResult VoxelWorld2::SaveWorld()
{
    QueueSave();
    // This save was queued last, so the result after the wait is its own.
    return saveWriter.WaitForAll().value_or(SaveResult{});
}

void VoxelWorld2::StorePlayerLocation(const PimVector3& playerPosition)
{
    if (!IsSoundPlayerLocation(playerPosition))
        PimAssert::Assert(false, "Player location corrupted");
    settings.activeGame.SetPlayerLocation(playerPosition);
}

void VoxelWorld2::StartSaveWithPlayer(const PimVector3& playerPosition)
{
    StorePlayerLocation(playerPosition);
    StartSave();
}

VoxelWorld2::SaveResult VoxelWorld2::SaveWorldAndPlayer(const PimVector3& playerPosition)
{
    StorePlayerLocation(playerPosition);
    return SaveWorld();
}
