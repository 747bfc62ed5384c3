#pragma once

// Three-component float vector: world positions, directions and sizes.
// One world unit is one voxel.
struct PimVector3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr PimVector3() = default;
    constexpr PimVector3(float xIn, float yIn, float zIn) : x(xIn), y(yIn), z(zIn) {}

    constexpr PimVector3 operator+(const PimVector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr PimVector3 operator-(const PimVector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr PimVector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr bool operator==(const PimVector3& o) const = default;
};
