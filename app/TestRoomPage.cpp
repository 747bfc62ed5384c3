#include "app/TestRoomPage.h"
#include "editing/SimulatorReach.h"

#include "app/BoxMesh.h"
#include "pages/SimulatorLegend.h"

#include "editing/ReferenceImageSet.h"
#include "editing/SelectionTool.h"
#include "editing/ToolPanel.h"
#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"

#include "settings/GameSettings.h"

#include "world/ChunkPool.h"
#include "world/TerrainGenerator.h"
#include "world/VoxelWorld2.h"
#include "world/WorldParameters.h"
#include "world/WorldSetup.h"

#include "engine/Pim3DText.h"
#include "engine/PimCamera.h"
#include "engine/PimGraphicsLine.h"
#include "engine/PimRenderableMesh.h"
#include "engine/PimShader.h"
#include "engine/PimTexture.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"
#include "world/ChunkBlock.h"
#include "world/ControllerModels.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace
{
// Colour-cube entries (index = 25 r + 5 g + b over steps of 51) the room is painted with.
constexpr std::uint8_t kFloorColour = 62;    // (102, 102, 102)
constexpr std::uint8_t kWallColour = 93;     // (153, 153, 153)
constexpr std::uint8_t kBlockColours[] = {100, 20, 4, 110, 24};

constexpr PimColor kRayColour{255, 255, 255, 255};
const PimVector3 kLight{0.4f, 1.0f, 0.6f};

// Half the room's width and depth, and its wall height, in world units (metres at scale 1). The
// walls stand beyond the editor's cursor (6 units ahead at the start), so what is placed in front
// of the player is never hidden behind them.
constexpr float kRoomHalf = 10.0f;
constexpr float kWallHeight = 3.0f;

std::shared_ptr<PimRenderableMesh> MakeMesh(const std::shared_ptr<PimShader>& shader)
{
    auto mesh = std::make_shared<PimRenderableMesh>();
    mesh->SetShader(shader);
    mesh->SetLightDirection(kLight);
    return mesh;
}
}  // namespace

TestRoomPage::TestRoomPage(GameSettings& settingsIn, std::shared_ptr<PimCamera> viewerCamera, std::string vertexShader,
                           std::string fragmentShader, std::string atlas, std::shared_ptr<ControllerModels> controllerModels)
    : camera(std::move(viewerCamera)), controllers(std::move(controllerModels)), vertexShaderPath(std::move(vertexShader)),
      fragmentShaderPath(std::move(fragmentShader)), atlasPath(std::move(atlas)), shader(std::make_shared<PimShader>()),
      settings(settingsIn)
{
    hands[0].role = PimVrDeviceIndex::LeftHand;
    hands[1].role = PimVrDeviceIndex::RightHand;
    panel = std::make_unique<ToolPanel>(settings);
    rig = std::make_unique<PlayerRig>(settings, camera, PlayerRig::Mode::World);
    rig->CreateEditor(*panel);
}

TestRoomPage::~TestRoomPage()
{
    ClearSimulatorReach();
    CloseWorld();
}

void TestRoomPage::CloseWorld()
{
    rig->GetEditTarget().Clear();
    if (world)
    {
        RemoveChildComponent(world.get());
        world.reset();
    }
}

void TestRoomPage::OpenWorld()
{
    if (settings.activeGame.GetGameWorldName().empty())
        settings.activeGame.SetGameWorldName(L"TestRoom");
    worldSetup = std::make_shared<WorldSetup>(1u);
    GenerateTerrain(*worldSetup, {{WorldParameterId::TerrainType, static_cast<float>(TerrainType::Flat), {}},
                                  {WorldParameterId::FlatWidth, static_cast<float>(kWorldSide), {}},
                                  {WorldParameterId::FlatDepth, static_cast<float>(kWorldSide), {}}});
    world = std::make_shared<VoxelWorld2>(settings, ChunkPool::Shared());
    world->SetWorldSetup(worldSetup);
    world->SetViewerPosition(StartPosition() + PimVector3(0.0f, 1.7f, 0.0f));
    world->SetWorkerPaused(false);
    AddChildComponent(world);
    rig->GetEditTarget().SetWorld(world.get());
    // As the world page does: the player starts flying; the rig's step lands it when
    // "WalkPhysics" is 0.
    rig->GetLocomotion().SetState(LocomotionState::Flying);
}

void TestRoomPage::InstallReach()
{
    InstallSimulatorReach(rig->GetEditTarget(), settings);
}

void TestRoomPage::SetMoveMode(int mode)
{
    moveMode = ((mode % 3) + 3) % 3;
    settings.activeGame.SetWalkPhysics(moveMode == 2 ? 1 : 0);
    if (moveMode != 2)
        settings.virtualReality.SetMovementType(moveMode == 0 ? 1 : 0);
    ShowMoveMode();
}

void TestRoomPage::ShowMoveMode()
{
    static const char* const names[] = {"touch-walk", "teleport", "flying"};
    const std::string mode = names[moveMode];
    if (modeLabel)
        modeLabel->SetText("Moving: " + mode + "   - off-hand menu (N): next");
    if (legend)
        legend->SetPageLines({
            "In this room: left click uses the tool at the cursor, Z removes the last picked point",
            "F (off-hand trigger) switches its panel: colours / tools; H raises it: point at a colour or tool, left click",
            SelectionTool::kLegendTools,
            SelectionTool::kLegendBox,
            ReferenceImageSet::kLegend,
            "Moving (N: next; now " + mode + "): touch-walk and flying go with the arrow keys",
            "Teleport: hold T to aim the arc where you look (blue: you can land), tap G to go there",
        });
}

void TestRoomPage::StepMoveMode()
{
    const int offRole = settings.virtualReality.GetHandPreference() == 2 ? PimVrDeviceIndex::LeftHand
                                                                          : PimVrDeviceIndex::RightHand;
    const PimVrController& off = PimVrSystem::GetInstance().GetHandController(offRole);
    const bool pressed = off.GetValue(PimVrButton::Menu) > PimVrController::PressThreshold;
    if (pressed && !offMenuHeld)
        SetMoveMode(moveMode + 1);
    offMenuHeld = pressed;
}

void TestRoomPage::Initialize()
{
    // Without GL the shader stays invalid and the meshes draw nothing; the page still runs.
    shader->LoadShader(vertexShaderPath, fragmentShaderPath);
    camera->SetNearPlane(0.03f);
    camera->SetFarPlane(200.0f);
    camera->SetFieldOfView(PimAngle::FromDegrees(75.0f));
    BuildRoom();
    BuildSculpture();

    label = std::make_shared<Pim3DText>();
    label->SetText("Quillot test room");
    label->SetScale(3.0f);
    label->SetColor({255, 230, 120, 255});
    label->SetPosition(StartPosition() + PimVector3(-label->GetWidth() / 2.0f, 2.2f, -kRoomHalf + 0.02f));
    AddChildComponent(label);
    modeLabel = std::make_shared<Pim3DText>();
    modeLabel->SetScale(1.2f);
    modeLabel->SetColor({200, 230, 255, 255});
    modeLabel->SetPosition(StartPosition() + PimVector3(-3.6f, 1.7f, -kRoomHalf + 0.02f));
    AddChildComponent(modeLabel);
    rig->LoadReticle();
    InstallReach();
    OpenWorld();
    // The world's VR scale, as the world page sets it: the player-scale table value x the size bias.
    PimVrSystem::GetInstance().SetScale(settings.activeGame.GetPlayerScale() * settings.virtualReality.GetPlayerSizeBias());
    SetMoveMode(settings.activeGame.GetWalkPhysics() == 1 ? 2 : settings.virtualReality.GetMovementType() == 0 ? 1 : 0);

    for (Hand& hand : hands)
    {
        hand.ray = std::make_shared<PimGraphicsLine>();
        hand.ray->SetColor(kRayColour);
        AddChildComponent(hand.ray);
    }
    // Drawn last, over everything else (DrawChildren).
    legend = std::make_shared<SimulatorLegend>();
    ShowMoveMode();
}

void TestRoomPage::BuildRoom()
{
    const auto colour = [](std::uint8_t index) { return PimVoxelGrid::GetColorDefinition(index, false); };
    std::vector<PimMeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    AppendBox({-kRoomHalf, -0.2f, -kRoomHalf}, {kRoomHalf, 0.0f, kRoomHalf}, colour(kFloorColour), vertices, indices);
    // Walls on three sides, left open behind the start position's back so the room reads as one.
    AppendBox({-kRoomHalf, 0.0f, -kRoomHalf - 0.2f}, {kRoomHalf, kWallHeight, -kRoomHalf}, colour(kWallColour),
              vertices, indices);
    AppendBox({-kRoomHalf - 0.2f, 0.0f, -kRoomHalf}, {-kRoomHalf, kWallHeight, kRoomHalf}, colour(kWallColour),
              vertices, indices);
    AppendBox({kRoomHalf, 0.0f, -kRoomHalf}, {kRoomHalf + 0.2f, kWallHeight, kRoomHalf}, colour(kWallColour),
              vertices, indices);
    // A few blocks of different sizes and colours to judge depth and lighting by.
    const PimVector3 blocks[][2] = {
        {{-2.5f, 0.0f, -3.0f}, {-1.5f, 1.0f, -2.0f}}, {{-2.3f, 1.0f, -2.8f}, {-1.7f, 1.6f, -2.2f}},
        {{1.2f, 0.0f, -2.6f}, {2.0f, 0.5f, -1.8f}},   {{2.5f, 0.0f, -0.5f}, {3.3f, 2.0f, 0.3f}},
        {{-0.4f, 0.0f, -3.6f}, {0.4f, 0.8f, -3.2f}},
    };
    for (std::size_t i = 0; i < std::size(blocks); ++i)
        AppendBox(blocks[i][0], blocks[i][1], colour(kBlockColours[i]), vertices, indices);

    auto room = MakeMesh(shader);
    room->SetMesh(std::move(vertices), std::move(indices));
    room->SetLocation(StartPosition());
    AddChildComponent(room);
}

void TestRoomPage::BuildSculpture()
{
    // One chunk shown at 6 cm a voxel: a grassy hill over rock with a pond and a tower of colour
    // voxels from the default colour cube, built and uploaded like any chunk.
    sculpture = std::make_unique<ChunkBlock>();
    sculpture->Create(1, 1, 1);
    constexpr int kSide = PimVoxelGrid::kSide;
    for (int z = 0; z < kSide; ++z)
        for (int x = 0; x < kSide; ++x)
        {
            const float dx = static_cast<float>(x) - 15.5f;
            const float dz = static_cast<float>(z) - 15.5f;
            const float distance = std::sqrt(dx * dx + dz * dz);
            const int height = std::clamp(static_cast<int>(14.0f - distance * 0.7f + 2.0f * std::sin(x * 0.5f)), 1, 20);
            const bool pond = std::abs(dx + 7.0f) < 4.0f && std::abs(dz - 6.0f) < 4.0f;
            const int top = pond ? std::max(1, height - 3) : height;
            for (int y = 0; y < top; ++y)
            {
                const std::uint16_t code = y + 1 == top ? VoxelCode::Turf : VoxelCode::Rock;
                sculpture->SetVoxelAt(code, PimVector3(x, y, z), false, true);
            }
            if (pond)
                for (int y = top; y < top + 2; ++y)
                    sculpture->SetVoxelAt(VoxelCode::Water, PimVector3(x, y, z), false, true);
        }
    // The tower: four storeys of colour-cube entries (index = 25 r + 5 g + b).
    const std::uint8_t storeys[] = {4 * 25 + 1 * 5 + 0, 4 * 25 + 3 * 5 + 0, 1 * 25 + 3 * 5 + 4, 3 * 25 + 0 * 5 + 3};
    for (int y = 0; y < 12; ++y)
        for (int z = 20; z < 24; ++z)
            for (int x = 20; x < 24; ++x)
                sculpture->SetVoxelAt(static_cast<std::uint16_t>(VoxelCode::FirstColour + storeys[(y / 3) % 4]),
                                      PimVector3(x, 14 + y, z), false, true);

    auto atlas = std::make_shared<PimTexture>();
    atlas->Load(atlasPath);
    sculpture->LoadTextures(atlas);
    PimVoxelGrid* chunk = sculpture->GetChunk(0);
    chunk->SetScale(0.06f);
    chunk->SetLocation(StartPosition() + PimVector3(-0.9f, 0.0f, -3.1f));
    sculpture->Build();
}

void TestRoomPage::Draw()
{
    if (sculpture)
        sculpture->GetChunk(0)->Draw();
}

void TestRoomPage::DrawChildren()
{
    PimUIPage::DrawChildren();
    // The rig draws the voxel hands (the controller models stay for the menus).
    rig->Draw();
    if (legend)
        legend->RunDraw();
}

void TestRoomPage::Update()
{
    if (legend)
        legend->RunUpdate();
    FollowHeadset();
    StepMoveMode();
    rig->Update();
    for (Hand& hand : hands)
        UpdateHand(hand);
}

void TestRoomPage::FollowHeadset()
{
    // The first frame with a headset puts the player at the start, on the world's floor.
    const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
    if (placed || !head.IsValid())
        return;
    rig->GetLocomotion().MoveTo(StartPosition());
    placed = true;
}

void TestRoomPage::UpdateHand(Hand& hand)
{
    const PimVrController& controller = PimVrSystem::GetInstance().GetHandController(hand.role);
    hand.tracked = controller.IsValid() && controller.IsConnected();
    if (!hand.tracked)
    {
        hand.ray->ClearPoints();
        hand.shownPull = 0.0f;
        return;
    }
    hand.position = controller.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World);
    hand.orientation = controller.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    hand.shownPull = std::clamp(controller.GetValue(PimVrButton::Trigger), 0.0f, 1.0f);

    const PimVector3 tip = controller.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    const PimVector3 pointing = hand.orientation.TransformDirection({0.0f, 0.0f, -1.0f});
    hand.ray->SetPoints({tip, tip + pointing * kRayLength});
}

float TestRoomPage::GetShownTriggerPull(int role) const
{
    for (const Hand& hand : hands)
        if (hand.role == role)
            return hand.shownPull;
    return 0.0f;
}
