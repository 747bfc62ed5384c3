#pragma once

#include "engine/PimUIPage.h"

#include <array>
#include <memory>
#include <string>

class Pim3DText;
class PimCamera;
class PimGraphicsLine;
class PimRenderableMesh;
class PimShader;
class SimulatorLegend;

// The root page until the main menu exists: a small lit room (floor, walls, blocks in colours of
// the default colour cube), both hands drawn at their controller poses with their pointing rays,
// a label, and the simulator's key legend. The viewer camera follows the headset's world pose.
// A hand's colour brightens with its trigger pull. Main thread only.
class TestRoomPage : public PimUIPage
{
public:
    TestRoomPage(std::shared_ptr<PimCamera> viewerCamera, std::string vertexShaderPath,
                 std::string fragmentShaderPath);
    ~TestRoomPage() override;

    void Initialize() override;
    void Update() override;

    // How far a hand's trigger was pulled at the last update (0 to 1); role 1 left, 2 right.
    float GetShownTriggerPull(int role) const;
    static constexpr float kRayLength = 4.0f;

private:
    struct Hand
    {
        int role = 0;
        std::shared_ptr<PimRenderableMesh> model;
        std::shared_ptr<PimGraphicsLine> ray;
        float shownPull = -1.0f;
    };

    void BuildRoom();
    void FollowHeadset();
    void UpdateHand(Hand& hand);

    std::shared_ptr<PimCamera> camera;
    std::string vertexShaderPath;
    std::string fragmentShaderPath;
    std::shared_ptr<PimShader> shader;
    std::shared_ptr<Pim3DText> label;
    std::shared_ptr<SimulatorLegend> legend;
    std::array<Hand, 2> hands;
};
