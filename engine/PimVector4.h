#pragma once

#include "engine/PimVector3.h"

#include <cmath>

// Four-component float vector: a direction or point in x, y, z plus a fourth value w, which is
// the homogeneous coordinate after a matrix product or, for the world light, its intensity.
struct PimVector4
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    constexpr PimVector4() = default;
    constexpr PimVector4(float xIn, float yIn, float zIn, float wIn) : x(xIn), y(yIn), z(zIn), w(wIn) {}
    constexpr PimVector4(const PimVector3& v, float wIn) : x(v.x), y(v.y), z(v.z), w(wIn) {}

    constexpr PimVector4 operator+(const PimVector4& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    constexpr PimVector4 operator-(const PimVector4& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
    constexpr PimVector4 operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    constexpr bool operator==(const PimVector4& o) const = default;

    constexpr float Dot(const PimVector4& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }
    constexpr PimVector3 GetXYZ() const { return {x, y, z}; }

    // Scales x, y, z to unit length and leaves w alone, so a light keeps its intensity and a
    // clip-space point keeps its w. A zero x, y, z is left as it is.
    void Normalize()
    {
        const float length = GetXYZ().Length();
        if (length > 0.0f && std::isfinite(length))
        {
            x /= length;
            y /= length;
            z /= length;
        }
    }
};
