#pragma once

#include "editing/HandPose.h"

#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimVector3.h"

#include <array>
#include <memory>

class GameSettings;
class PimRenderableMesh;
class PimShader;

// The animated hand drawn at a controller: the 66 HandPose meshes are
// built once in the hand colour (Initialize, or again when the colour changes) and each frame
// only the pose of the trigger's pull is selected. Drawn with the hand shader (vertex inputs
// "vPos", "vNorm", "vColor", "vLight"; uniforms "MVP" and "LightDirection"; output "outColor"),
// which is loaded once per GL context. An untracked controller draws no hand.
// Main thread only.
class VoxelHand : public PimRenderableObject
{
public:
    // dominant: the instance of the hand named by "HandPreference"; the other follows the off hand.
    VoxelHand(GameSettings& settings, bool dominant, PimColor colour);
    ~VoxelHand() override;

    void Initialize() override;
    void Update() override;
    void Draw() override;

    // What Update reads from the controller, given directly (render tests).
    void SetPose(const PimVector3& position, const PimMatrix4x4& orientation, float trigger, bool tracked);

    // Rebuilds the 66 meshes in a new colour (nothing when it is the colour they have).
    void SetColour(PimColor colour);
    PimColor GetColour() const { return colour; }
    bool IsDominant() const { return dominant; }
    int GetPoseIndex() const { return poseIndex; }
    float GetTrigger() const { return trigger; }
    bool IsTracked() const { return tracked; }
    PimVector3 GetPosition() const { return position; }
    // Times the meshes were built (once at Initialize, then once per colour change).
    int GetBuildCount() const { return builds; }
    const PimRenderableMesh* GetPoseMesh(int pose) const;
    // The hand role this instance follows now (1 left, 2 right).
    int GetRole() const;

    static const char* VertexSource();
    static const char* FragmentSource();

private:
    void BuildMeshes();

    GameSettings& settings;
    bool dominant;
    PimColor colour;
    int poseIndex = 0;
    float trigger = 0.0f;
    bool tracked = false;
    PimVector3 position;
    PimMatrix4x4 orientation;
    PimVector3 light{0.7f, 0.7f, 0.7f};
    int builds = 0;
    std::array<std::shared_ptr<PimRenderableMesh>, HandPose::kPoseCount> meshes;
};
