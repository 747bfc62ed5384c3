#include "engine/PimMatrix4x4.h"

#include "engine/PimAssert.h"

#include <cmath>
#include <string>

namespace
{
PimMatrix4x4 FromRows(const std::array<float, 16>& rows)
{
    return PimMatrix4x4::FromRowMajor(std::span<const float, 16>(rows));
}

// Unit vector along v, or nullopt when v has no usable direction.
std::optional<PimVector3> Direction(const PimVector3& v)
{
    const float length = v.Length();
    if (!(length > 0.0f) || !std::isfinite(length))
        return std::nullopt;
    return v / length;
}
}

PimMatrix4x4 PimMatrix4x4::FromRowMajor(std::span<const float, 16> values)
{
    PimMatrix4x4 m;
    for (int i = 0; i < 16; ++i)
        m.elements[i] = values[i];
    return m;
}

PimMatrix4x4 PimMatrix4x4::CreateTranslation(const PimVector3& offset)
{
    PimMatrix4x4 m;
    m.SetTranslation(offset);
    return m;
}

PimMatrix4x4 PimMatrix4x4::CreateScale(float factor)
{
    return CreateScale(PimVector3(factor, factor, factor));
}

PimMatrix4x4 PimMatrix4x4::CreateScale(const PimVector3& factors)
{
    PimMatrix4x4 m;
    m.elements[0] = factors.x;
    m.elements[5] = factors.y;
    m.elements[10] = factors.z;
    return m;
}

PimMatrix4x4 PimMatrix4x4::CreateRotationX(PimAngle angle)
{
    const float c = angle.Cos(), s = angle.Sin();
    return FromRows({1, 0, 0, 0,
                     0, c, -s, 0,
                     0, s, c, 0,
                     0, 0, 0, 1});
}

PimMatrix4x4 PimMatrix4x4::CreateRotationY(PimAngle angle)
{
    const float c = angle.Cos(), s = angle.Sin();
    return FromRows({c, 0, s, 0,
                     0, 1, 0, 0,
                     -s, 0, c, 0,
                     0, 0, 0, 1});
}

PimMatrix4x4 PimMatrix4x4::CreateRotationZ(PimAngle angle)
{
    const float c = angle.Cos(), s = angle.Sin();
    return FromRows({c, -s, 0, 0,
                     s, c, 0, 0,
                     0, 0, 1, 0,
                     0, 0, 0, 1});
}

PimMatrix4x4 PimMatrix4x4::CreateFromAxisAngle(const PimVector3& axis, PimAngle angle)
{
    const auto unit = Direction(axis);
    if (!unit)
        return Identity();
    const float x = unit->x, y = unit->y, z = unit->z;
    const float c = angle.Cos(), s = angle.Sin(), t = 1.0f - c;
    return FromRows({t * x * x + c, t * x * y - s * z, t * x * z + s * y, 0,
                     t * x * y + s * z, t * y * y + c, t * y * z - s * x, 0,
                     t * x * z - s * y, t * y * z + s * x, t * z * z + c, 0,
                     0, 0, 0, 1});
}

PimMatrix4x4 PimMatrix4x4::CreateFromYawPitchRoll(PimAngle yaw, PimAngle pitch, PimAngle roll)
{
    return CreateRotationY(yaw) * CreateRotationX(pitch) * CreateRotationZ(roll);
}

PimMatrix4x4 PimMatrix4x4::CreatePerspective(PimAngle fieldOfViewY, float aspect, float nearPlane, float farPlane)
{
    const float fov = fieldOfViewY.GetRadians();
    if (!(fov > 0.0f && fov < PimAngle::Pi && aspect > 0.0f && nearPlane > 0.0f && farPlane > nearPlane)
        || !std::isfinite(aspect) || !std::isfinite(farPlane))
    {
        PimAssert::Assert(false, "PimMatrix4x4::CreatePerspective() - Invalid projection");
        return Identity();
    }
    const float f = 1.0f / std::tan(fov * 0.5f);
    const float depth = nearPlane - farPlane;
    return FromRows({f / aspect, 0, 0, 0,
                     0, f, 0, 0,
                     0, 0, (farPlane + nearPlane) / depth, 2.0f * farPlane * nearPlane / depth,
                     0, 0, -1, 0});
}

PimMatrix4x4 PimMatrix4x4::CreateOrthographic(float left, float right, float bottom, float top,
                                              float nearPlane, float farPlane)
{
    const float width = right - left, height = top - bottom, depth = farPlane - nearPlane;
    if (width == 0.0f || height == 0.0f || depth == 0.0f
        || !std::isfinite(2.0f / width) || !std::isfinite(2.0f / height) || !std::isfinite(2.0f / depth))
    {
        PimAssert::Assert(false, "PimMatrix4x4::CreateOrthographic() - Invalid projection");
        return Identity();
    }
    return FromRows({2.0f / width, 0, 0, -(right + left) / width,
                     0, 2.0f / height, 0, -(top + bottom) / height,
                     0, 0, -2.0f / depth, -(farPlane + nearPlane) / depth,
                     0, 0, 0, 1});
}

PimMatrix4x4 PimMatrix4x4::CreateFrustum(float left, float right, float bottom, float top,
                                         float nearPlane, float farPlane)
{
    const float width = right - left, height = top - bottom, depth = nearPlane - farPlane;
    if (!(nearPlane > 0.0f && farPlane > nearPlane && width > 0.0f && height > 0.0f)
        || !std::isfinite(farPlane) || !std::isfinite(2.0f * nearPlane / width) || !std::isfinite(2.0f * nearPlane / height))
    {
        PimAssert::Assert(false, "PimMatrix4x4::CreateFrustum() - Invalid projection");
        return Identity();
    }
    return FromRows({2.0f * nearPlane / width, 0, (right + left) / width, 0,
                     0, 2.0f * nearPlane / height, (top + bottom) / height, 0,
                     0, 0, (farPlane + nearPlane) / depth, 2.0f * farPlane * nearPlane / depth,
                     0, 0, -1, 0});
}

PimMatrix4x4 PimMatrix4x4::CreateLookAt(const PimVector3& eye, const PimVector3& target, const PimVector3& up)
{
    const auto forward = Direction(target - eye);
    if (!forward)
    {
        PimAssert::Assert(false, "PimMatrix4x4::CreateLookAt() - Eye and target are the same point");
        return Identity();
    }
    auto side = Direction(forward->Cross(up));
    if (!side)
    {
        // Looking along up (or up is zero): any up across the view direction will do.
        const PimVector3 other = std::fabs(forward->y) < 0.9f ? PimVector3(0, 1, 0) : PimVector3(0, 0, -1);
        side = Direction(forward->Cross(other));
    }
    const PimVector3 s = *side;
    const PimVector3 u = s.Cross(*forward);
    const PimVector3 f = *forward;
    return FromRows({s.x, s.y, s.z, -s.Dot(eye),
                     u.x, u.y, u.z, -u.Dot(eye),
                     -f.x, -f.y, -f.z, f.Dot(eye),
                     0, 0, 0, 1});
}

std::array<float, 16> PimMatrix4x4::GetFloppedMatrixDataArray() const
{
    return Transposed().elements;
}

PimMatrix4x4 PimMatrix4x4::operator*(const PimMatrix4x4& o) const
{
    PimMatrix4x4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += elements[row * 4 + k] * o.elements[k * 4 + col];
            r.elements[row * 4 + col] = sum;
        }
    return r;
}

PimVector4 PimMatrix4x4::operator*(const PimVector4& v) const
{
    const float* e = elements.data();
    return {e[0] * v.x + e[1] * v.y + e[2] * v.z + e[3] * v.w,
            e[4] * v.x + e[5] * v.y + e[6] * v.z + e[7] * v.w,
            e[8] * v.x + e[9] * v.y + e[10] * v.z + e[11] * v.w,
            e[12] * v.x + e[13] * v.y + e[14] * v.z + e[15] * v.w};
}

PimVector3 PimMatrix4x4::TransformPoint(const PimVector3& point) const
{
    const PimVector4 r = *this * PimVector4(point, 1.0f);
    if (r.w == 0.0f)
        return r.GetXYZ();
    return r.GetXYZ() / r.w;
}

PimVector3 PimMatrix4x4::TransformDirection(const PimVector3& direction) const
{
    return (*this * PimVector4(direction, 0.0f)).GetXYZ();
}

PimMatrix4x4 PimMatrix4x4::Transposed() const
{
    PimMatrix4x4 t;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            t.elements[col * 4 + row] = elements[row * 4 + col];
    return t;
}

namespace
{
// The 2 x 2 minors of the top two rows (s) and the bottom two rows (c), shared by the
// determinant and the inverse (Laplace expansion along the top two rows). Computed in double.
struct Minors
{
    double a[4][4];
    double s[6];
    double c[6];
    double determinant;

    explicit Minors(const float* e)
    {
        for (int i = 0; i < 16; ++i)
            a[i / 4][i % 4] = e[i];
        s[0] = a[0][0] * a[1][1] - a[1][0] * a[0][1];
        s[1] = a[0][0] * a[1][2] - a[1][0] * a[0][2];
        s[2] = a[0][0] * a[1][3] - a[1][0] * a[0][3];
        s[3] = a[0][1] * a[1][2] - a[1][1] * a[0][2];
        s[4] = a[0][1] * a[1][3] - a[1][1] * a[0][3];
        s[5] = a[0][2] * a[1][3] - a[1][2] * a[0][3];
        c[0] = a[2][0] * a[3][1] - a[3][0] * a[2][1];
        c[1] = a[2][0] * a[3][2] - a[3][0] * a[2][2];
        c[2] = a[2][0] * a[3][3] - a[3][0] * a[2][3];
        c[3] = a[2][1] * a[3][2] - a[3][1] * a[2][2];
        c[4] = a[2][1] * a[3][3] - a[3][1] * a[2][3];
        c[5] = a[2][2] * a[3][3] - a[3][2] * a[2][3];
        determinant = s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
    }
};
}

float PimMatrix4x4::Determinant() const
{
    return static_cast<float>(Minors(elements.data()).determinant);
}

bool PimMatrix4x4::TryInvert(PimMatrix4x4& result) const
{
    const Minors m(elements.data());
    if (m.determinant == 0.0 || !std::isfinite(m.determinant))
        return false;
    const auto& a = m.a;
    const auto& s = m.s;
    const auto& c = m.c;
    const double d = 1.0 / m.determinant;
    const double inverse[16] = {
        (a[1][1] * c[5] - a[1][2] * c[4] + a[1][3] * c[3]) * d,
        (-a[0][1] * c[5] + a[0][2] * c[4] - a[0][3] * c[3]) * d,
        (a[3][1] * s[5] - a[3][2] * s[4] + a[3][3] * s[3]) * d,
        (-a[2][1] * s[5] + a[2][2] * s[4] - a[2][3] * s[3]) * d,

        (-a[1][0] * c[5] + a[1][2] * c[2] - a[1][3] * c[1]) * d,
        (a[0][0] * c[5] - a[0][2] * c[2] + a[0][3] * c[1]) * d,
        (-a[3][0] * s[5] + a[3][2] * s[2] - a[3][3] * s[1]) * d,
        (a[2][0] * s[5] - a[2][2] * s[2] + a[2][3] * s[1]) * d,

        (a[1][0] * c[4] - a[1][1] * c[2] + a[1][3] * c[0]) * d,
        (-a[0][0] * c[4] + a[0][1] * c[2] - a[0][3] * c[0]) * d,
        (a[3][0] * s[4] - a[3][1] * s[2] + a[3][3] * s[0]) * d,
        (-a[2][0] * s[4] + a[2][1] * s[2] - a[2][3] * s[0]) * d,

        (-a[1][0] * c[3] + a[1][1] * c[1] - a[1][2] * c[0]) * d,
        (a[0][0] * c[3] - a[0][1] * c[1] + a[0][2] * c[0]) * d,
        (-a[3][0] * s[3] + a[3][1] * s[1] - a[3][2] * s[0]) * d,
        (a[2][0] * s[3] - a[2][1] * s[1] + a[2][2] * s[0]) * d,
    };
    PimMatrix4x4 r;
    for (int i = 0; i < 16; ++i)
    {
        r.elements[i] = static_cast<float>(inverse[i]);
        if (!std::isfinite(r.elements[i]))
            return false;
    }
    result = r;
    return true;
}

PimMatrix4x4 PimMatrix4x4::Inverted() const
{
    PimMatrix4x4 r;
    return TryInvert(r) ? r : Identity();
}

void PimMatrix4x4::ReportBadIndex(int row, int col)
{
    PimAssert::Assert(false, "PimMatrix4x4::Get/Set() - Element (" + std::to_string(row) + ", " + std::to_string(col)
                                 + ") out of range");
}
