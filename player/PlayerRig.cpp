#include "player/PlayerRig.h"

#include "editing/VoxelEditor.h"

#include "world/VoxelWorld2.h"

#include "settings/GameSettings.h"

#include "engine/PimCamera.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <chrono>
#include <filesystem>

PlayerRig::PlayerRig(GameSettings& settingsIn, std::shared_ptr<PimCamera> cameraIn, Mode modeIn)
    : settings(settingsIn),
      camera(std::move(cameraIn)),
      locomotion(settingsIn, target),
      handColour(settingsIn.GetHandColour()),
      mode(modeIn)
{
    dominantHand = std::make_shared<VoxelHand>(settings, true, handColour);
    offHand = std::make_shared<VoxelHand>(settings, false, handColour);
}

PlayerRig::~PlayerRig() = default;

VoxelEditor& PlayerRig::CreateEditor(EditorPanel& panel)
{
    editor = std::make_unique<VoxelEditor>(settings, target, panel);
    return *editor;
}

void PlayerRig::SetHandColour(PimColor colour)
{
    handColour = colour;
    dominantHand->SetColour(colour);
    offHand->SetColour(colour);
}

void PlayerRig::FollowHandColourSetting()
{
    const PimColor colour = settings.GetHandColour();
    if (colour != handColour)
        SetHandColour(colour);
}

void PlayerRig::LoadReticle()
{
    const std::string path = settings.GetFolders().textures.Narrow() + "TeleportReticle.png";
    std::error_code error;
    if (std::filesystem::exists(path, error))
        locomotion.LoadReticle(path);
}

void PlayerRig::Update()
{
    if (!active)
        return;
    const auto start = std::chrono::steady_clock::now();
    dominantHand->RunUpdate();
    offHand->RunUpdate();
    if (editor)
        editor->Update();
    locomotion.RigStep(mode == Mode::MenuRoom);
    locomotion.Update();
    PlaceCamera();
    lastUpdateMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void PlayerRig::PlaceCamera()
{
    const PimVrController& headset = PimVrSystem::GetInstance().GetHeadsetController();
    if (!camera || !headset.IsValid())
        return;
    camera->SetPosition(headset.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World));
    camera->SetOrientation(headset.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World));
    if (VoxelWorld2* world = target.GetWorld())
        world->SetViewerPosition(camera->GetPosition());
}

void PlayerRig::Draw()
{
    if (!active)
        return;
    PlaceCamera();
    if (editor)
        editor->Draw();
    // What the selection box copied is drawn where it is carried while it is held.
    if (target.GetClipboard().IsHeld())
        target.GetClipboard().Draw();
    dominantHand->RunDraw();
    offHand->RunDraw();
    locomotion.Draw();
}
