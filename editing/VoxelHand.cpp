#include "editing/VoxelHand.h"

#include "settings/GameSettings.h"

#include "engine/PimRenderableMesh.h"
#include "engine/PimShader.h"
#include "engine/PimSystem.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <GL/glew.h>

namespace
{
constexpr const char* kVertexSource = R"(#version 150
in vec3 vPos;
in vec3 vNorm;
in vec4 vColor;
in float vLight;
uniform mat4 MVP;
uniform vec3 LightDirection;
out vec4 colour;
void main()
{
    float LIGHT = (dot(vNorm, LightDirection) * 0.25 + 0.75) * vLight;
    colour = vec4(vColor.rgb * LIGHT, 1.0);
    gl_Position = MVP * vec4(vPos, 1.0);
}
)";
constexpr const char* kFragmentSource = R"(#version 150
in vec4 colour;
out vec4 outColor;
void main()
{
    outColor = colour;
}
)";

// The hand shader, loaded once per GL context (a test's next context loads it again).
std::shared_ptr<PimShader> HandShader()
{
    static std::shared_ptr<PimShader> shader = std::make_shared<PimShader>();
    if (!shader->IsValid() && PimSystem::HasGL())
        shader->LoadShaderDirect(kVertexSource, kFragmentSource);
    return shader;
}
}

const char* VoxelHand::VertexSource()
{
    return kVertexSource;
}

const char* VoxelHand::FragmentSource()
{
    return kFragmentSource;
}

VoxelHand::VoxelHand(GameSettings& settingsIn, bool isDominant, PimColor handColour)
    : settings(settingsIn), dominant(isDominant), colour(handColour)
{
}

VoxelHand::~VoxelHand() = default;

void VoxelHand::Initialize()
{
    HandShader();
    BuildMeshes();
}

void VoxelHand::BuildMeshes()
{
    const std::shared_ptr<PimShader> shader = HandShader();
    for (int pose = 0; pose < HandPose::kPoseCount; ++pose)
    {
        HandPose::Mesh built = HandPose::Build(pose, colour);
        auto& mesh = meshes[static_cast<std::size_t>(pose)];
        if (!mesh)
            mesh = std::make_shared<PimRenderableMesh>();
        mesh->SetShader(shader);
        mesh->SetMesh(std::move(built.vertices), std::move(built.indices));
    }
    ++builds;
}

void VoxelHand::SetColour(PimColor newColour)
{
    if (newColour == colour && builds > 0)
        return;
    colour = newColour;
    if (IsInitialized())
        BuildMeshes();
}

int VoxelHand::GetRole() const
{
    const int dominantRole = static_cast<int>(settings.virtualReality.GetHandPreference());
    if (dominant)
        return dominantRole;
    return dominantRole == PimVrDeviceIndex::LeftHand ? PimVrDeviceIndex::RightHand : PimVrDeviceIndex::LeftHand;
}

void VoxelHand::Update()
{
    const PimVrController& controller = PimVrSystem::GetInstance().GetHandController(GetRole());
    tracked = controller.IsTracked();
    position = controller.GetDrawnPosition();
    orientation = controller.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    trigger = controller.GetValue(PimVrButton::Trigger);
    poseIndex = HandPose::IndexFor(trigger, dominant);
}

void VoxelHand::SetPose(const PimVector3& at, const PimMatrix4x4& turned, float pull, bool isTracked)
{
    position = at;
    orientation = turned;
    trigger = pull;
    tracked = isTracked;
    poseIndex = HandPose::IndexFor(trigger, dominant);
}

const PimRenderableMesh* VoxelHand::GetPoseMesh(int pose) const
{
    return pose >= 0 && pose < HandPose::kPoseCount ? meshes[static_cast<std::size_t>(pose)].get() : nullptr;
}

void VoxelHand::Draw()
{
    if (!tracked)
        return;
    PimRenderableMesh* mesh = meshes[static_cast<std::size_t>(poseIndex)].get();
    if (mesh == nullptr)
        return;
    // The inverse of a rotation is its transpose.
    PimVector3 direction = orientation.Transposed().TransformDirection(light);
    direction.Normalize();
    if (dominant)
        direction = direction * -1.0f;
    mesh->SetLightDirection(direction);
    mesh->SetLocation(position);
    // The hand keeps its size in the user's hand: world units per metre.
    mesh->SetOrientation(orientation * PimMatrix4x4::CreateScale(PimVrSystem::GetInstance().GetScale()));
    const bool culling = PimSystem::HasGL() && glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    if (culling)
        glDisable(GL_CULL_FACE);
    mesh->RunDraw();
    if (culling)
        glEnable(GL_CULL_FACE);
}
