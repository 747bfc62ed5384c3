#include "world/PointerArrow.h"

#include "world/PerContextShader.h"

#include "engine/PimSystem.h"
#include "engine/PimTime.h"

#include <GL/glew.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <tuple>
#include <utility>

namespace
{
constexpr float kTurn = 2.0f * std::numbers::pi_v<float>;

constexpr const char* kVertexSource = R"(#version 150
uniform mat4 MVP;
uniform vec3 LightDirection;   // towards the light, in the mesh's own space

in vec3 vPos;
in vec3 vNorm;
in vec4 vColor;
in float vLight;

out vec4 COLOR;
out float LIGHT;

void main()
{
    gl_Position = MVP * vec4(vPos, 1.0);
    COLOR = vColor;
    LIGHT = (dot(vNorm, LightDirection) * 0.25 + 0.75) * vLight;
}
)";

constexpr const char* kFragmentSource = R"(#version 150
in vec4 COLOR;
in float LIGHT;

out vec4 fragColour;

void main()
{
    fragColour = vec4(COLOR.r * LIGHT, COLOR.g * LIGHT, COLOR.b * LIGHT, 1.0);
}
)";

// The outline in the x-z plane for size 1, in order around it; tip first.
constexpr std::array<PimVector2, 7> kOutline{{
    {0.5f, 0.0f}, {0.05f, 0.3f}, {0.05f, 0.15f}, {-0.5f, 0.15f}, {-0.5f, -0.15f}, {0.05f, -0.15f}, {0.05f, -0.3f},
}};
// The outline cut into triangles in its own order: the head as a fan from the tip, then the shaft.
constexpr std::array<std::array<std::uint32_t, 3>, 5> kCap{{{0, 1, 2}, {0, 2, 5}, {0, 5, 6}, {2, 3, 4}, {2, 4, 5}}};
constexpr float kHalfThickness = 0.1f;

struct SharedArrow
{
    PerContextShader program{[](PimShader& shader) { return shader.LoadShaderDirect(kVertexSource, kFragmentSource); }};
    PimRenderableMesh arrow;
    PimRenderableMesh rim;
};

// Made by the first arrow, kept for the whole process (never destroyed: arrows may outlive the
// statics).
SharedArrow& Shared()
{
    static SharedArrow* shared = [] {
        auto* made = new SharedArrow();
        for (auto [mesh, size, colour] : {std::tuple{&made->arrow, PointerArrow::kArrowSize, PointerArrow::kArrowColour},
                                          std::tuple{&made->rim, PointerArrow::kRimSize, PointerArrow::kRimColour}})
        {
            ArrowSlab slab = ArrowSlab::Make(size, colour);
            mesh->SetMesh(std::move(slab.vertices), std::move(slab.indices));
            mesh->SetShader(made->program.GetShared());
        }
        return made;
    }();
    return *shared;
}
} // namespace

ArrowSlab ArrowSlab::Make(float size, PimColor colour)
{
    ArrowSlab slab;
    const auto corner = [&](std::size_t point, float side) {
        PimMeshVertex vertex;
        vertex.position = PimVector3(kOutline[point].x * size, side * kHalfThickness * size, kOutline[point].y * size);
        vertex.color = colour;
        vertex.light = 1.0f;
        return vertex;
    };
    // Seen from above the outline runs clockwise, so the top keeps its order and the bottom turns
    // it round.
    for (const float side : {1.0f, -1.0f})
    {
        const auto first = static_cast<std::uint32_t>(slab.vertices.size());
        for (std::size_t point = 0; point < kOutline.size(); ++point)
            slab.vertices.push_back(corner(point, side));
        for (const auto& triangle : kCap)
        {
            if (side > 0.0f)
                slab.indices.insert(slab.indices.end(), {first + triangle[0], first + triangle[1], first + triangle[2]});
            else
                slab.indices.insert(slab.indices.end(), {first + triangle[0], first + triangle[2], first + triangle[1]});
        }
    }
    // The sides: one quad per outline edge, corners (from bottom, from top, to bottom, to top).
    for (std::size_t from = 0; from < kOutline.size(); ++from)
    {
        const std::size_t to = (from + 1) % kOutline.size();
        const auto v = static_cast<std::uint32_t>(slab.vertices.size());
        slab.vertices.insert(slab.vertices.end(), {corner(from, -1.0f), corner(from, 1.0f), corner(to, -1.0f), corner(to, 1.0f)});
        slab.indices.insert(slab.indices.end(), {v, v + 2, v + 3, v + 3, v + 1, v});
    }
    return slab;
}

PointerArrow::PointerArrow()
{
    Shared();
}

float PointerArrow::AdvancePhase(float phase, double milliseconds)
{
    const double advanced = static_cast<double>(phase) + static_cast<double>(kTurn) * (milliseconds / 1000.0);
    if (!std::isfinite(advanced))
        return 0.0f;
    double reduced = std::fmod(advanced, static_cast<double>(kTurn));
    if (reduced < 0.0)
        reduced += static_cast<double>(kTurn);
    const float result = static_cast<float>(reduced);
    return result < kTurn ? result : 0.0f;
}

void PointerArrow::Update()
{
    phase = AdvancePhase(phase, PimTime::MillisecondDelta());
}

float PointerArrow::GetPulseScale() const
{
    return std::sin(phase) * 0.2f + 1.0f;
}

void PointerArrow::Draw()
{
    SharedArrow& shared = Shared();
    if (!PimSystem::HasGL() || !PimSystem::IsMainThread() || shared.program.Get() == nullptr)
        return;
    const PimVector3 light = orientation.Inverted().TransformDirection(lightVector).Normalized();
    const PimMatrix4x4 pulsed = orientation * PimMatrix4x4::CreateScale(GetPulseScale());

    glEnable(GL_CULL_FACE);
    for (auto [mesh, culled] : {std::pair{&shared.arrow, GL_FRONT}, std::pair{&shared.rim, GL_BACK}})
    {
        glCullFace(culled);
        mesh->SetLocation(location);
        mesh->SetOrientation(pulsed);
        mesh->SetLightDirection(light);
        mesh->Draw();
    }
    glCullFace(GL_BACK);
}
