#include "editing/HandPose.h"

#include <algorithm>
#include <array>

namespace HandPose
{
namespace
{
constexpr std::array<std::uint32_t, 36> kCapIndices = {6, 1, 0, 4,  1,  6,  7,  3,  2,  2,  5,  7,
                                                       5, 4, 6, 6,  7,  5,  8,  9,  14, 14, 9,  12,
                                                       10, 11, 15, 15, 13, 10, 14, 12, 13, 13, 15, 14};
// The outline around the claw, by vertex: A B E F C D H G.
constexpr std::array<int, 8> kOutline = {0, 1, 4, 5, 2, 3, 7, 6};
}

Mesh Build(int pose, PimColor colour)
{
    pose = std::clamp(pose, 0, kPoseCount - 1);
    const float b = static_cast<float>(pose % kSteps) / 32.0f;
    const float m = pose >= kSteps ? -1.0f : 1.0f;
    const float c = 0.0165f * b;
    // (x, z) of A to H on top, and on the bottom where A', B', C', D' differ.
    const float top[8][2] = {{c - 0.05f, -0.075f},   {c - 0.0165f, -0.075f}, {0.0165f - c, -0.0375f},
                             {0.05f - c, -0.0375f},  {c - 0.0165f, 0.005f},  {0.0165f - c, 0.005f},
                             {-0.05f, 0.05f},        {0.05f, 0.05f}};
    float bottom[8][2];
    std::copy(&top[0][0], &top[0][0] + 16, &bottom[0][0]);
    bottom[0][1] = bottom[1][1] = -0.05f;
    bottom[2][1] = bottom[3][1] = -0.0165f;

    Mesh mesh;
    const auto vertex = [&](const PimVector3& position, const PimVector3& normal) {
        PimMeshVertex v;
        v.position = position;
        v.normal = normal;
        v.uv = PimVector2(1.0f, 1.0f);
        v.color = colour;
        v.light = 1.0f;
        mesh.vertices.push_back(v);
    };
    for (const auto& p : top)
        vertex({p[0] * m, 0.05f, p[1]}, {0.0f, 1.0f, 0.0f});
    for (const auto& p : bottom)
        vertex({p[0] * m, -0.05f, p[1]}, {0.0f, -1.0f, 0.0f});
    if (m > 0.0f)
        mesh.indices.assign(kCapIndices.begin(), kCapIndices.end());
    else
        mesh.indices.assign(kCapIndices.rbegin(), kCapIndices.rend());

    // Side walls. The outline's turning sense (signed area in x-z) gives the outward side.
    float area = 0.0f;
    for (std::size_t i = 0; i < kOutline.size(); ++i)
    {
        const PimVector3& p = mesh.vertices[static_cast<std::size_t>(kOutline[i])].position;
        const PimVector3& q = mesh.vertices[static_cast<std::size_t>(kOutline[(i + 1) % kOutline.size()])].position;
        area += p.x * q.z - q.x * p.z;
    }
    const float sense = area > 0.0f ? 1.0f : -1.0f;
    for (std::size_t i = 0; i < kOutline.size(); ++i)
    {
        const auto a = static_cast<std::uint32_t>(kOutline[i]);
        const auto bIndex = static_cast<std::uint32_t>(kOutline[(i + 1) % kOutline.size()]);
        const PimVector3 p = mesh.vertices[a].position;
        const PimVector3 q = mesh.vertices[bIndex].position;
        const PimVector3 p2 = mesh.vertices[a + 8].position;
        const PimVector3 q2 = mesh.vertices[bIndex + 8].position;
        PimVector3 normal(q.z - p.z, 0.0f, -(q.x - p.x));
        normal = normal * sense;
        normal.Normalize();
        const auto first = static_cast<std::uint32_t>(mesh.vertices.size());
        vertex(p, normal);
        vertex(q, normal);
        vertex(q2, normal);
        vertex(p2, normal);
        // Counter-clockwise seen from outside: the face normal of (0, 1, 2) along the outward one.
        const PimVector3 face = (q - p).Cross(q2 - p);
        if (face.Dot(normal) >= 0.0f)
            mesh.indices.insert(mesh.indices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
        else
            mesh.indices.insert(mesh.indices.end(), {first, first + 2, first + 1, first, first + 3, first + 2});
    }
    return mesh;
}

int IndexFor(float trigger, bool dominant)
{
    const int step = std::clamp(static_cast<int>(trigger * 32.0f), 0, 32);
    return step + (dominant ? kSteps : 0);
}
}
