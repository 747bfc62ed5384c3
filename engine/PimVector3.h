#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

// Three-component float vector: world positions, directions and sizes.
// One world unit is one voxel. Axis indices are 0 = x, 1 = y, 2 = z.
// A plain value: any thread may use its own copies.
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

    constexpr PimVector3 operator-() const { return {-x, -y, -z}; }
    constexpr PimVector3 operator/(float s) const { return {x / s, y / s, z / s}; }
    // Component-wise product and quotient (plain IEEE division: a zero component gives inf or NaN).
    constexpr PimVector3 operator*(const PimVector3& o) const { return {x * o.x, y * o.y, z * o.z}; }
    constexpr PimVector3 operator/(const PimVector3& o) const { return {x / o.x, y / o.y, z / o.z}; }
    constexpr PimVector3& operator+=(const PimVector3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    constexpr PimVector3& operator-=(const PimVector3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    constexpr PimVector3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    constexpr PimVector3& operator/=(float s) { x /= s; y /= s; z /= s; return *this; }

    // Component by axis index. An index other than 0, 1 or 2 is reported through PimAssert;
    // such a read gives 0 and such a write lands in a scratch value, leaving the vector unchanged.
    constexpr float operator[](int axis) const
    {
        if (axis == 0)
            return x;
        if (axis == 1)
            return y;
        if (axis == 2)
            return z;
        ReportBadAxis(axis);
        return 0.0f;
    }
    float& operator[](int axis)
    {
        if (axis == 0)
            return x;
        if (axis == 1)
            return y;
        if (axis == 2)
            return z;
        return BadAxisScratch(axis);
    }

    constexpr float Dot(const PimVector3& o) const { return x * o.x + y * o.y + z * o.z; }
    // Right-handed: (1,0,0) x (0,1,0) = (0,0,1).
    constexpr PimVector3 Cross(const PimVector3& o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    constexpr float LengthSquared() const { return Dot(*this); }
    float Length() const { return std::sqrt(LengthSquared()); }
    constexpr float DistanceSquared(const PimVector3& o) const { return (*this - o).LengthSquared(); }
    float Distance(const PimVector3& o) const { return std::sqrt(DistanceSquared(o)); }

    // Scales to unit length. A zero vector (or one whose length is not finite) is left as it is.
    void Normalize()
    {
        const float length = Length();
        if (length > 0.0f && std::isfinite(length))
            *this /= length;
    }
    PimVector3 Normalized() const
    {
        PimVector3 copy = *this;
        copy.Normalize();
        return copy;
    }

    static constexpr PimVector3 Min(const PimVector3& a, const PimVector3& b)
    {
        return {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z};
    }
    static constexpr PimVector3 Max(const PimVector3& a, const PimVector3& b)
    {
        return {a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y, a.z > b.z ? a.z : b.z};
    }

    // The voxel containing this point: each component rounded down (floor), so a point maps to
    // the voxel whose minimum corner it lies at or above. -0.5 gives -1, 31.999 gives 31,
    // 32.0 gives 32, and a voxel centre (n + 0.5) gives n.
    PimVector3 Integerize() const { return {std::floor(x), std::floor(y), std::floor(z)}; }

    // The next whole-number boundary strictly ahead of this point along direction, per axis:
    // floor(v) + 1 where the direction is positive, ceil(v) - 1 where it is negative, v itself
    // where it is zero (no boundary ahead on that axis). A point already on a boundary gets the
    // following one, so a voxel walk always advances.
    PimVector3 IntegerizeInDirection(const PimVector3& direction) const;

    // Axis of the component with the smallest non-zero magnitude; zero and NaN components are
    // skipped. Ties go to the later axis. 0 when no component qualifies.
    int SmallestNonZeroDimension() const;
    // Axis of the component with the largest magnitude; NaN components are skipped. Ties go to
    // the later axis (y over x, z over x and y), so (0, 0, 0) gives 2.
    int LargestDimension() const;
    // True when at least count of the three components are exactly equal to other's.
    bool DimensionsTheSame_AtLeast(const PimVector3& other, int count) const;

    // Text form "x, y, z" as kept in the settings files: each number in the shortest form that
    // reads back to the same float (for example "0.2627451, 1e-45, -0"), locale independent.
    // NaN and infinities are written as "nan" and "inf" but read back as malformed text.
    std::string ToString() const;
    // Reads the text form back. Spaces around the numbers are allowed; anything else that is
    // not exactly three finite floats separated by commas gives nullopt.
    static std::optional<PimVector3> Parse(std::string_view text);
    // Parse, with (0, 0, 0) for text that does not parse.
    static PimVector3 FromString(std::string_view text);

private:
    static void ReportBadAxis(int axis);
    static float& BadAxisScratch(int axis);
};

constexpr PimVector3 operator*(float s, const PimVector3& v) { return v * s; }
