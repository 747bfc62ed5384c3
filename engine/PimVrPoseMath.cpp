#include "engine/PimVrPoseMath.h"

#include "engine/PimAssert.h"

#include <cmath>

namespace
{
PimMatrix4x4 FromAxes(const PimVector3& x, const PimVector3& y, const PimVector3& z)
{
    PimMatrix4x4 m;
    const PimVector3 axes[3] = {x, y, z};
    for (int col = 0; col < 3; ++col)
    {
        for (int row = 0; row < 3; ++row)
            m.Set(row, col, axes[col][row]);
    }
    return m;
}
}

PimMatrix4x4 PimVrPoseMath::LookRotation(const PimVector3& forward, const PimVector3& up)
{
    const PimVector3 back = (-forward).Normalized();
    if (back.LengthSquared() == 0.0f)
        return PimMatrix4x4();
    PimVector3 right = up.Cross(back);
    if (right.LengthSquared() < 1e-12f)
        right = (std::fabs(back.y) < 0.9f ? PimVector3(0, 1, 0) : PimVector3(0, 0, -1)).Cross(back);
    right.Normalize();
    return FromAxes(right, back.Cross(right), back);
}

PimMatrix4x4 PimVrPoseMath::FromQuaternion(float x, float y, float z, float w)
{
    const float length = std::sqrt(x * x + y * y + z * z + w * w);
    if (!(length > 0.0f) || !std::isfinite(length))
        return PimMatrix4x4();
    x /= length;
    y /= length;
    z /= length;
    w /= length;
    PimMatrix4x4 m;
    m.Set(0, 0, 1 - 2 * (y * y + z * z));
    m.Set(0, 1, 2 * (x * y - z * w));
    m.Set(0, 2, 2 * (x * z + y * w));
    m.Set(1, 0, 2 * (x * y + z * w));
    m.Set(1, 1, 1 - 2 * (x * x + z * z));
    m.Set(1, 2, 2 * (y * z - x * w));
    m.Set(2, 0, 2 * (x * z - y * w));
    m.Set(2, 1, 2 * (y * z + x * w));
    m.Set(2, 2, 1 - 2 * (x * x + y * y));
    return m;
}

PimMatrix4x4 PimVrPoseMath::RigidTransform(const PimMatrix4x4& rotation, const PimVector3& position)
{
    PimMatrix4x4 m = rotation;
    m.SetTranslation(position);
    return m;
}

PimMatrix4x4 PimVrPoseMath::ViewFromPose(const PimMatrix4x4& rotation, const PimVector3& position)
{
    PimMatrix4x4 inverse = rotation;
    inverse.SetTranslation({0, 0, 0});
    inverse = inverse.Transposed();
    inverse.SetTranslation(-inverse.TransformDirection(position));
    return inverse;
}

PimMatrix4x4 PimVrPoseMath::Frustum(float tanLeft, float tanRight, float tanDown, float tanUp, float nearPlane,
                                    float farPlane)
{
    const bool valid = nearPlane > 0.0f && farPlane > nearPlane && tanRight > tanLeft && tanUp > tanDown
        && std::isfinite(farPlane) && std::isfinite(tanLeft) && std::isfinite(tanRight) && std::isfinite(tanDown)
        && std::isfinite(tanUp);
    if (!valid)
    {
        PimAssert::Assert(false, "PimVrPoseMath::Frustum() - invalid field of view or depth range");
        return PimMatrix4x4();
    }
    const float width = tanRight - tanLeft;
    const float height = tanUp - tanDown;
    PimMatrix4x4 m;
    m.Set(0, 0, 2.0f / width);
    m.Set(0, 2, (tanRight + tanLeft) / width);
    m.Set(1, 1, 2.0f / height);
    m.Set(1, 2, (tanUp + tanDown) / height);
    m.Set(2, 2, -(farPlane + nearPlane) / (farPlane - nearPlane));
    m.Set(2, 3, -2.0f * farPlane * nearPlane / (farPlane - nearPlane));
    m.Set(3, 2, -1.0f);
    m.Set(3, 3, 0.0f);
    return m;
}
