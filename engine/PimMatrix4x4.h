#pragma once

#include "engine/PimAngle.h"
#include "engine/PimVector3.h"
#include "engine/PimVector4.h"

#include <array>
#include <span>

// A 4 x 4 float matrix for orientations, model, view and projection transforms.
//
// Convention: matrices act on column vectors, v' = M x v, so A * B applies B first, then A
// (MVP = projection * view * model). Rotations are right-handed (see PimAngle).
//
// Element order: row by row. Element (row, col) is stored at index row * 4 + col, so the
// translation of an affine matrix sits at indices 3, 7 and 11. GetMatrixDataArray gives this
// order, and so do the 16 "Orient" values in the settings files.
// GetFloppedMatrixDataArray gives the transposed order (column by column, translation at
// 12, 13, 14), which is what glUniformMatrix4fv expects with transpose = GL_FALSE.
//
// A plain value: any thread may use its own copies.
class PimMatrix4x4
{
public:
    // The identity.
    constexpr PimMatrix4x4() : elements{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}
    // From 16 values row by row (the engine's element order).
    static PimMatrix4x4 FromRowMajor(std::span<const float, 16> values);

    static constexpr PimMatrix4x4 Identity() { return PimMatrix4x4(); }
    static PimMatrix4x4 CreateTranslation(const PimVector3& offset);
    static PimMatrix4x4 CreateScale(float factor);
    static PimMatrix4x4 CreateScale(const PimVector3& factors);
    static PimMatrix4x4 CreateRotationX(PimAngle angle);
    static PimMatrix4x4 CreateRotationY(PimAngle angle);
    static PimMatrix4x4 CreateRotationZ(PimAngle angle);
    // Rotation about an axis through the origin (normalised here). A zero axis gives the identity.
    static PimMatrix4x4 CreateFromAxisAngle(const PimVector3& axis, PimAngle angle);
    // Yaw about y (the vertical), pitch about x, roll about z, composed as
    // RotationY(yaw) * RotationX(pitch) * RotationZ(roll): roll is applied first, then pitch,
    // then yaw. Forward is -z: a positive yaw turns it towards -x (left), a positive pitch
    // towards +y (up).
    static PimMatrix4x4 CreateFromYawPitchRoll(PimAngle yaw, PimAngle pitch, PimAngle roll);

    // Camera matrices for OpenGL: eye space looks down -z with +y up, clip space has
    // z / w in [-1, 1] from the near to the far plane. Invalid arguments (non-positive aspect
    // or near plane, far not beyond near, field of view outside (0, 180) degrees, eye equal
    // to target) are reported through PimAssert and give the identity.
    static PimMatrix4x4 CreatePerspective(PimAngle fieldOfViewY, float aspect, float nearPlane, float farPlane);
    static PimMatrix4x4 CreateOrthographic(float left, float right, float bottom, float top,
                                           float nearPlane, float farPlane);
    // A perspective frustum, possibly asymmetric (headset eyes): left, right, bottom and top are
    // the sides' positions on the near plane. Invalid arguments (non-positive near plane, far not
    // beyond near, an empty side range) are reported and give the identity.
    static PimMatrix4x4 CreateFrustum(float left, float right, float bottom, float top,
                                      float nearPlane, float farPlane);
    // View matrix of an eye looking at target. When up is parallel to the view direction
    // (looking straight up or down) another up axis is chosen, so the result stays a rotation.
    static PimMatrix4x4 CreateLookAt(const PimVector3& eye, const PimVector3& target, const PimVector3& up);

    // Row and column 0 to 3. Others are reported through PimAssert: Get gives 0, Set changes nothing.
    float Get(int row, int col) const { return IsInRange(row, col) ? elements[row * 4 + col] : 0.0f; }
    void Set(int row, int col, float value)
    {
        if (IsInRange(row, col))
            elements[row * 4 + col] = value;
    }

    // The 16 elements row by row (see above).
    const float* GetMatrixDataArray() const { return elements.data(); }
    // The 16 elements column by column: for glUniformMatrix4fv(location, 1, GL_FALSE, ...).
    std::array<float, 16> GetFloppedMatrixDataArray() const;

    PimVector3 GetTranslation() const { return {elements[3], elements[7], elements[11]}; }
    void SetTranslation(const PimVector3& t)
    {
        elements[3] = t.x;
        elements[7] = t.y;
        elements[11] = t.z;
    }

    PimMatrix4x4 operator*(const PimMatrix4x4& o) const;
    PimMatrix4x4& operator*=(const PimMatrix4x4& o) { return *this = *this * o; }
    PimVector4 operator*(const PimVector4& v) const;
    bool operator==(const PimMatrix4x4& o) const = default;

    // M x (p, 1), divided by the resulting w unless that w is 0 (for affine matrices w stays 1).
    PimVector3 TransformPoint(const PimVector3& point) const;
    // M x (d, 0): rotation and scale without translation ("orientation x direction").
    PimVector3 TransformDirection(const PimVector3& direction) const;

    PimMatrix4x4 Transposed() const;
    float Determinant() const;
    // Writes the inverse to result and returns true; a singular matrix (or one whose inverse is
    // not finite) returns false and leaves result unchanged.
    bool TryInvert(PimMatrix4x4& result) const;
    // The inverse, or the identity for a singular matrix.
    PimMatrix4x4 Inverted() const;

private:
    static bool IsInRange(int row, int col)
    {
        if (row >= 0 && row < 4 && col >= 0 && col < 4)
            return true;
        ReportBadIndex(row, col);
        return false;
    }
    static void ReportBadIndex(int row, int col);

    std::array<float, 16> elements;
};
