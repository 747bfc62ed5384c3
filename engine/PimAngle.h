#pragma once

#include <cmath>
#include <compare>

// An angle, kept in radians. Construction states the unit (FromDegrees / FromRadians) so that
// degrees and radians cannot be mixed up at a call site; the matrix rotations take PimAngle.
// Positive angles turn counter-clockwise when looking from the positive end of the axis
// towards the origin (right-handed).
class PimAngle
{
public:
    static constexpr float Pi = 3.14159265358979323846f;
    static constexpr float TwoPi = 2.0f * Pi;

    constexpr PimAngle() = default;

    static constexpr PimAngle FromRadians(float radians) { return PimAngle(radians); }
    static constexpr PimAngle FromDegrees(float degrees) { return PimAngle(DegreesToRadians(degrees)); }

    static constexpr float DegreesToRadians(float degrees) { return degrees * (Pi / 180.0f); }
    static constexpr float RadiansToDegrees(float radians) { return radians * (180.0f / Pi); }

    constexpr float GetRadians() const { return radians; }
    constexpr float GetDegrees() const { return RadiansToDegrees(radians); }

    float Sin() const { return std::sin(radians); }
    float Cos() const { return std::cos(radians); }

    // The same direction expressed in (-180, 180] degrees: 190 gives -170, -180 gives 180.
    // Differences of two atan2 results (grab rings) need this before comparing with a
    // threshold, or a turn across the +-180 seam reads as nearly a full circle.
    PimAngle Wrapped() const
    {
        // Computed against the float constants so that exactly +-Pi lands on +Pi.
        const double turns = std::ceil((double(radians) - double(Pi)) / double(TwoPi));
        return PimAngle(static_cast<float>(double(radians) - turns * double(TwoPi)));
    }

    constexpr PimAngle operator+(PimAngle o) const { return PimAngle(radians + o.radians); }
    constexpr PimAngle operator-(PimAngle o) const { return PimAngle(radians - o.radians); }
    constexpr PimAngle operator-() const { return PimAngle(-radians); }
    constexpr PimAngle operator*(float s) const { return PimAngle(radians * s); }
    constexpr PimAngle operator/(float s) const { return PimAngle(radians / s); }
    constexpr PimAngle& operator+=(PimAngle o) { radians += o.radians; return *this; }
    constexpr PimAngle& operator-=(PimAngle o) { radians -= o.radians; return *this; }
    constexpr auto operator<=>(const PimAngle&) const = default;

private:
    constexpr explicit PimAngle(float r) : radians(r) {}

    float radians = 0.0f;
};
