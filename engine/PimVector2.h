#pragma once

#include <cmath>

// Two-component float vector: the world's window origin in chunk units (x, z), picture and
// quad sizes.
struct PimVector2
{
    float x = 0.0f;
    float y = 0.0f;

    constexpr PimVector2() = default;
    constexpr PimVector2(float xIn, float yIn) : x(xIn), y(yIn) {}

    constexpr PimVector2 operator+(const PimVector2& o) const { return {x + o.x, y + o.y}; }
    constexpr PimVector2 operator-(const PimVector2& o) const { return {x - o.x, y - o.y}; }
    constexpr PimVector2 operator-() const { return {-x, -y}; }
    constexpr PimVector2 operator*(float s) const { return {x * s, y * s}; }
    constexpr PimVector2 operator/(float s) const { return {x / s, y / s}; }
    constexpr PimVector2& operator+=(const PimVector2& o) { x += o.x; y += o.y; return *this; }
    constexpr PimVector2& operator-=(const PimVector2& o) { x -= o.x; y -= o.y; return *this; }
    constexpr bool operator==(const PimVector2& o) const = default;

    constexpr float Dot(const PimVector2& o) const { return x * o.x + y * o.y; }
    constexpr float LengthSquared() const { return Dot(*this); }
    float Length() const { return std::sqrt(LengthSquared()); }

    // Each component rounded down to a whole number (floor), the same rule as
    // PimVector3::Integerize: -0.5 gives -1, 31.999 gives 31.
    PimVector2 Integerize() const { return {std::floor(x), std::floor(y)}; }
};
