#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimUIPage.h"
#include "engine/PimVector3.h"

#include <array>
#include <memory>
#include <string>

class ChunkBlock;
struct ControllerModels;
class GameSettings;
class PlayerRig;
class VoxelWorld2;
class WorldSetup;
class Pim3DText;
class PimCamera;
class PimGraphicsLine;
class PimRenderableMesh;
class PimShader;
class SimulatorLegend;
class ToolPanel;

// A room where everything of the player can be tried in known surroundings (the movement and
// editing tests stand the player here; models open in the world page): it opens a flat world (the active game's "GameWorldName", "TestRoom" when none is set) of
// 256 x 256 voxels whose floor is the world's floor at y = 0, and stands a full player rig in it
// (PlayerRig: the voxel hands, the editor with its tools and the off hand's tool panel, locomotion)
// with the world
// as its edit target. Around the start lies a small lit room as decoration (floor, walls, blocks in
// colours of the default colour cube, meshes the player walks through), a voxel sculpture of one
// chunk drawn by the chunk shaders, a label, the hands' pointing rays and the simulator's key
// legend. The rig's camera is the viewer camera.
//
// The off hand's menu button (code 1; N in the simulator) steps through the ways of moving:
// touch-walk, teleport, flying. The off hand's trigger (F) switches its tool panel between the
// palette and the tools; the simulator's shortcut keys pick tools directly. The mouse hand's
// trigger (left click) uses the tool at the cursor; V reaches for the surface under the pointer.
// The simulator's legend lists these keys under its own. Main thread only.
class TestRoomPage : public PimUIPage
{
public:
    // The room's boxes are drawn with the mesh shader at the given paths; the voxel sculpture
    // with the chunk programs (PimVoxelGrid::StaticInitialize) and the face atlas at atlasPath;
    // the hands with the controller models (none drawn when null).
    // settings: the program's settings (the world's name, the rig's settings); they must outlive
    // the page.
    TestRoomPage(GameSettings& settings, std::shared_ptr<PimCamera> viewerCamera, std::string vertexShaderPath,
                 std::string fragmentShaderPath, std::string atlasPath,
                 std::shared_ptr<ControllerModels> controllerModels);
    ~TestRoomPage() override;

    void Initialize() override;
    void Update() override;
    void Draw() override;
    // The room, the world and the labels, then the rig (as the world page draws its player after
    // the world, so what the rig draws see-through - the reference pictures - lies over them), then
    // the legend over everything.
    void DrawChildren() override;

    // How far a hand's trigger was pulled at the last update (0 to 1); role 1 left, 2 right.
    float GetShownTriggerPull(int role) const;
    static constexpr float kRayLength = 4.0f;
    // Width and depth of the room's world, and where the player starts (feet).
    static constexpr int kWorldSide = 256;
    static PimVector3 StartPosition() { return {128.5f, 0.0f, 132.5f}; }

    PlayerRig& GetRig() { return *rig; }
    VoxelWorld2* GetWorld() const { return world.get(); }
    ToolPanel& GetPanel() { return *panel; }
    // Closes the world (its worker stops; its chunks go back to the pool). The rig's edit target
    // is cleared. Nothing is saved here.
    void CloseWorld();
    // The way of moving the off hand's menu button chose: 0 touch-walk, 1 teleport, 2 flying.
    int GetMoveMode() const { return moveMode; }
    void SetMoveMode(int mode);

private:
    struct Hand
    {
        int role = 0;
        bool tracked = false;
        PimVector3 position;
        PimMatrix4x4 orientation;
        std::shared_ptr<PimGraphicsLine> ray;
        float shownPull = 0.0f;
    };

    void OpenWorld();
    void BuildRoom();
    void InstallReach();
    void StepMoveMode();
    // The way of moving on the room's label and the keys of the room in the simulator's legend.
    void ShowMoveMode();
    void BuildSculpture();
    void FollowHeadset();
    void UpdateHand(Hand& hand);

    std::shared_ptr<PimCamera> camera;
    std::shared_ptr<ControllerModels> controllers;
    std::string vertexShaderPath;
    std::string fragmentShaderPath;
    std::string atlasPath;
    std::unique_ptr<ChunkBlock> sculpture;
    std::shared_ptr<PimShader> shader;
    std::shared_ptr<Pim3DText> label;
    std::shared_ptr<SimulatorLegend> legend;
    std::array<Hand, 2> hands;

    GameSettings& settings;
    std::shared_ptr<WorldSetup> worldSetup;
    std::shared_ptr<VoxelWorld2> world;
    std::unique_ptr<ToolPanel> panel;
    std::unique_ptr<PlayerRig> rig;
    std::shared_ptr<Pim3DText> modeLabel;
    bool placed = false;
    bool offMenuHeld = false;
    int moveMode = 0;
};
