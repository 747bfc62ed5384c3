#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimUIPage.h"
#include "engine/PimVector3.h"

#include <array>
#include <memory>
#include <string>

class ChunkBlock;
struct ControllerModels;
class Pim3DText;
class PimCamera;
class PimGraphicsLine;
class PimRenderableMesh;
class PimShader;
class SimulatorLegend;

// The root page until the main menu exists: a small lit room (floor, walls, blocks in colours of
// the default colour cube), both hands drawn at their controller poses with their pointing rays,
// a voxel sculpture of two chunks drawn by the chunk shaders (turf, rock, water and colour
// voxels), a label, and the simulator's key legend. The viewer camera follows the headset's world pose.
// Hands are drawn with the shared controller models, their triggers moving with the pull.
// Main thread only.
class TestRoomPage : public PimUIPage
{
public:
    // The room's boxes are drawn with the mesh shader at the given paths; the voxel sculpture
    // with the chunk programs (PimVoxelGrid::StaticInitialize) and the face atlas at atlasPath;
    // the hands with the controller models (none drawn when null).
    TestRoomPage(std::shared_ptr<PimCamera> viewerCamera, std::string vertexShaderPath,
                 std::string fragmentShaderPath, std::string atlasPath,
                 std::shared_ptr<ControllerModels> controllerModels);
    ~TestRoomPage() override;

    void Initialize() override;
    void Update() override;
    void Draw() override;

    // How far a hand's trigger was pulled at the last update (0 to 1); role 1 left, 2 right.
    float GetShownTriggerPull(int role) const;
    static constexpr float kRayLength = 4.0f;

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

    void BuildRoom();
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
};
