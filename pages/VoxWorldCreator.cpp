#include "pages/VoxWorldCreator.h"

#include "pages/InGameMenuPageVr.h"
#include "pages/SimulatorLegend.h"
#include "pages/TutorialMarker.h"
#include "pages/VRLoadingMenu.h"

#include "editing/ReferenceImageSet.h"
#include "editing/SelectionTool.h"
#include "editing/ToolPanel.h"
#include "editing/InGameCamera.h"
#include "editing/SimulatorReach.h"
#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"
#include "settings/GameSettings.h"
#include "world/ChunkPool.h"
#include "world/TerrainGenerator.h"
#include "world/WorldHolder.h"
#include "world/WorldParameters.h"
#include "world/WorldSeed.h"
#include "world/WorldSetup.h"

#include "engine/Pim3DText.h"
#include "engine/PimAssert.h"
#include "engine/PimCamera.h"
#include "engine/PimTime.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <cmath>

namespace
{
constexpr std::uint32_t kMillisecondsPerMinute = 60000;
// The failure text floats this far in front of the eyes (metres) and this far above the middle
// of the view, at this text scale per metre: where the eyes are, over the work, until it is gone.
constexpr float kWarningDistance = 1.5f;
constexpr float kWarningLift = 0.08f;
// Characters about 2.8 cm wide at 1.5 m: a dozen pixels in a desktop window, legible in a headset.
constexpr float kWarningScale = 0.35f;

// The save's failure in lines short enough to stay in view: what failed, then why.
std::string FailureLines(const std::string& description)
{
    std::string lines = description;
    const std::size_t reason = lines.find(" (");
    if (reason != std::string::npos)
        lines.replace(reason, 1, "\n");
    return lines;
}
constexpr PimColor kWarningColour{255, 120, 90, 255};
}

VoxWorldCreator::VoxWorldCreator(GameSettings& settingsIn, std::shared_ptr<PimCamera> cameraIn,
                                 std::weak_ptr<PimViewport> spectator)
    : settings(settingsIn), camera(std::move(cameraIn))
{
    SetUpWorld(std::move(spectator));
}

VoxWorldCreator::~VoxWorldCreator()
{
    ClearSimulatorReach();
    if (player)
        player->GetEditTarget().Clear();
    if (holder && player)
        holder->RemovePlayer(player.get());
}

void VoxWorldCreator::SetUpWorld(std::weak_ptr<PimViewport> spectator)
{
    // The world's construction opens the model's folder and loads its own settings, so the seed
    // and the player location are read after it.
    world = std::make_shared<VoxelWorld2>(settings, ChunkPool::Shared());
    existingWorld = world->GetStore().HadSettingsFile();
    worldSetup = std::make_shared<WorldSetup>(TakeWorldSeed(settings.activeGame));
    const TerrainOutcome terrain = GenerateTerrain(*worldSetup, DefaultWorldParameters());
    PimAssert::Assert(terrain.built, "VoxWorldCreator - The world's terrain could not be generated");
    world->SetWorldSetup(worldSetup);

    panel = std::make_unique<ToolPanel>(settings);
    player = std::make_shared<PlayerRig>(settings, camera, PlayerRig::Mode::World);
    player->CreateEditor(*panel);
    player->LoadReticle();
    player->GetEditTarget().SetWorld(world.get());
    if (player->GetLocomotion().GetState() != LocomotionState::Flying)
        player->GetLocomotion().SetState(LocomotionState::Flying);

    holder = std::make_shared<WorldHolder>(worldSetup.get());
    holder->AddPlayer(player);
    AddChildComponent(world);
    AddChildComponent(holder);

    auto menu = std::make_shared<InGameMenuPageVr>(settings, camera, world.get());
    menu->AttachReferenceImages(player->GetEditor()->GetReferenceImages());
    inGameMenu = menu.get();
    AddChildPage(menu);
    auto loading = std::make_shared<VRLoadingMenu>(settings, camera, world.get());
    loadingPage = loading.get();
    AddChildPage(loading);

    PlacePlayer();

    filmCamera = std::make_shared<InGameCamera>(settings, std::move(spectator));
    AddChildComponent(filmCamera);
    // The first-time guide follows the hands while the user learns the tools (the editor takes
    // its steps).
    AddChildComponent(settings.tutorial);
    warning = std::make_shared<Pim3DText>();
    warning->SetColor(kWarningColour);
    AddChildComponent(warning);
    // Last: drawn over everything else.
    legend = std::make_shared<SimulatorLegend>();
    legend->SetPageLines({
        "In the world: left click uses the tool at the cursor, V reaches for the surface under the pointer, Z removes the last point",
        "F (off-hand trigger) switches its panel: colours / tools; H raises it: point at a colour or tool, left click",
        SelectionTool::kLegendTools,
        SelectionTool::kLegendBox,
        ReferenceImageSet::kLegend,
        "M (right hand's menu button): the in-game menu - moving, hand, size, volume, camera, fog, exit",
        "K: takes the in-game camera (when it is on) into the mouse hand, K again leaves it there",
        "Arrow keys walk or fly; T aims the teleport arc, G goes there; Space is the crouch-jump",
    });
    AddChildComponent(legend);
}

void VoxWorldCreator::PlacePlayer()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    Locomotion& locomotion = player->GetLocomotion();
    if (existingWorld)
    {
        locomotion.PlaceRoot(settings.activeGame.GetPlayerLocation());
    }
    else
    {
        const int columnsX = worldSetup->GetWidth() / WorldSetup::kChunkSide;
        const int columnsZ = worldSetup->GetDepth() / WorldSetup::kChunkSide;
        const int sampleX = columnsX / 2;
        const int sampleZ = columnsZ / 2;
        const float ground = static_cast<float>(worldSetup->GetHeightMap().At(sampleX, sampleZ));
        locomotion.MoveTo(PimVector3(static_cast<float>(sampleX * WorldSetup::kChunkSide), ground + 2.0f,
                                     static_cast<float>(sampleZ * WorldSetup::kChunkSide)));
    }
    savedRootPosition = vr.GetRootPosition();
    // Streaming starts around the player before the first frame the world is drawn in (the
    // loading booth is in front until the near chunks are built).
    world->SetViewerPosition(savedRootPosition + PimVector3(0.0f, 1.7f, 0.0f));
}

PimVector3 VoxWorldCreator::GetPlayerWorldPosition() const
{
    return inFront ? PimVrSystem::GetInstance().GetRootPosition() : savedRootPosition;
}

void VoxWorldCreator::Update()
{
    CollectSaveResult();
    StepMenuButtonAndClock();
    if (IsActivePage())
        CheckLoading();
    PlaceWarning();
}

void VoxWorldCreator::UpdateChildren()
{
    if (IsActivePage())
        PimUIPage::UpdateChildren();
}

void VoxWorldCreator::StepMenuButtonAndClock()
{
    const PimVrController& hand = PimVrSystem::GetInstance().GetHandController(PimVrDeviceIndex::RightHand);
    if (hand.IsValid() && hand.GetValue(PimVrButton::Menu) != 0.0f)
    {
        if (!menuLatch && inGameMenu != nullptr)
        {
            menuLatch = true;
            inGameMenu->ActivateThisPage();
            return;
        }
        menuLatch = true;
        return;
    }
    menuLatch = false;
    // Kept with its fractions: whole milliseconds a frame would lose a tenth of the time at 90 Hz.
    const double milliseconds = PimTime::MillisecondDelta();
    if (milliseconds > 0.0)
        saveClock += milliseconds;
    if (static_cast<std::uint64_t>(saveClock) / kMillisecondsPerMinute >= settings.GetSaveTimer())
    {
        saveClock = 0.0;
        ++timedSaves;
        // The files are written on the world's save writer; the frame loop goes on meanwhile.
        world->StartSaveWithPlayer(GetPlayerWorldPosition());
    }
}

void VoxWorldCreator::CollectSaveResult()
{
    if (std::optional<VoxelWorld2::SaveResult> result = world->TakeSaveResult())
        TakeResult(*result);
}

void VoxWorldCreator::TakeResult(const VoxelWorld2::SaveResult& result)
{
    lastSave = result;
    if (lastSave.Succeeded())
    {
        leaveWarned = false;
        ShowWarning({});
    }
    else
    {
        ShowWarning(FailureLines(lastSave.Describe()) + "\nYour edits are kept; saving is tried again.");
    }
}

void VoxWorldCreator::CheckLoading()
{
    const std::int32_t expected = VoxelWorld2::ExpectedBuildCount(world->GetStore().GetRegionFilesFound());
    const std::int64_t percent = static_cast<std::int64_t>(world->GetBuildCount()) * 100 / expected;
    if (percent < 100)
        loadingPage->ActivateThisPage();
    else
    {
        loadedOnce = true;
        // The guide's world steps start once the world is there to work in.
        player->GetEditor()->SetTutorial(&TutorialMarker::Of(settings));
    }
}

void VoxWorldCreator::PageIn()
{
    inFront = true;
    PimVrSystem::GetInstance().ForceRootPosition(savedRootPosition);
    world->SetWorkerPaused(false);
    InstallSimulatorReach(player->GetEditTarget(), settings);
    // A press that opened a page is still held when the page hands back: it must not reopen it.
    menuLatch = true;
    // The booths placed the marker on their own controls.
    TutorialMarker::Of(settings).ShowLastStep();
}

void VoxWorldCreator::PageOut()
{
    savedRootPosition = PimVrSystem::GetInstance().GetRootPosition();
    inFront = false;
    ClearSimulatorReach();
}

void VoxWorldCreator::PageSkipped()
{
    SaveWorldAndPlayer();
    leaveFailed = !lastSave.Succeeded();
    world->SetWorkerPaused(true);
}

VoxelWorld2::SaveResult VoxWorldCreator::SaveWorldAndPlayer()
{
    // Waits for the files: the world may be discarded right after.
    TakeResult(world->SaveWorldAndPlayer(GetPlayerWorldPosition()));
    // A timed save finished meanwhile is older than this one.
    world->TakeSaveResult();
    return lastSave;
}

bool VoxWorldCreator::KeepAfterFailedSave()
{
    if (!leaveFailed || !loadedOnce || leaveWarned)
        return false;
    leaveWarned = true;
    ShowWarning("Leaving did not save. " + FailureLines(lastSave.Describe()) +
                "\nExit again to leave without these edits,\nor free the disk and wait for the next save.");
    return true;
}

void VoxWorldCreator::ShowWarning(const std::string& text)
{
    warningText = text;
    warning->SetText(text);
}

void VoxWorldCreator::PlaceWarning()
{
    if (warningText.empty())
        return;
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimVrController& head = vr.GetHeadsetController();
    if (!head.IsValid())
        return;
    const float unitsPerMetre = vr.GetScale();
    const PimMatrix4x4 orientation = head.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    const PimVector3 eye = head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    const PimVector3 forward = orientation.TransformDirection(PimVector3(0.0f, 0.0f, -1.0f)).Normalized();
    const PimVector3 right = orientation.TransformDirection(PimVector3(1.0f, 0.0f, 0.0f)).Normalized();
    const PimVector3 up = orientation.TransformDirection(PimVector3(0.0f, 1.0f, 0.0f)).Normalized();
    warning->SetScale(kWarningScale * unitsPerMetre);
    warning->SetOrientation(orientation);
    warning->SetPosition(eye + (forward * kWarningDistance + up * kWarningLift) * unitsPerMetre -
                         right * (warning->GetWidth() * 0.5f));
}
