#include "engine/PimAssert.h"
#include "engine/PimMatrix4x4.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace
{
PimAngle Degrees(float d) { return PimAngle::FromDegrees(d); }

void ExpectNear(const PimVector3& actual, const PimVector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectIdentity(const PimMatrix4x4& m, float tolerance)
{
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            EXPECT_NEAR(m.Get(row, col), row == col ? 1.0f : 0.0f, tolerance) << row << "," << col;
}

PimMatrix4x4 FromRows(const std::array<float, 16>& rows)
{
    return PimMatrix4x4::FromRowMajor(std::span<const float, 16>(rows));
}
}

TEST(PimMatrix4x4, ElementOrderIsRowByRowAndFloppedIsColumnByColumn)
{
    const PimMatrix4x4 t = PimMatrix4x4::CreateTranslation(PimVector3(7, 8, 9));
    const float* rows = t.GetMatrixDataArray();
    EXPECT_EQ(rows[3], 7.0f);
    EXPECT_EQ(rows[7], 8.0f);
    EXPECT_EQ(rows[11], 9.0f);
    // The layout glUniformMatrix4fv reads with transpose = GL_FALSE: translation at 12, 13, 14.
    const std::array<float, 16> columns = t.GetFloppedMatrixDataArray();
    EXPECT_EQ(columns[12], 7.0f);
    EXPECT_EQ(columns[13], 8.0f);
    EXPECT_EQ(columns[14], 9.0f);

    std::array<float, 16> values{};
    for (int i = 0; i < 16; ++i)
        values[i] = float(i * 3 + 1);
    const PimMatrix4x4 m = FromRows(values);
    const std::array<float, 16> flopped = m.GetFloppedMatrixDataArray();
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
        {
            EXPECT_EQ(m.Get(row, col), values[row * 4 + col]);
            EXPECT_EQ(m.GetMatrixDataArray()[row * 4 + col], values[row * 4 + col]);
            EXPECT_EQ(flopped[col * 4 + row], values[row * 4 + col]);
        }
    EXPECT_EQ(m.Transposed().Transposed(), m);

    // The stored default orientation: items 0, 5, 10 and 15 are 1.
    std::array<float, 16> orient{};
    orient[0] = orient[5] = orient[10] = orient[15] = 1.0f;
    EXPECT_EQ(FromRows(orient), PimMatrix4x4());
}

TEST(PimMatrix4x4, RotationsTurnTheAxesRightHanded)
{
    const PimVector3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    const PimMatrix4x4 rx = PimMatrix4x4::CreateRotationX(Degrees(90));
    const PimMatrix4x4 ry = PimMatrix4x4::CreateRotationY(Degrees(90));
    const PimMatrix4x4 rz = PimMatrix4x4::CreateRotationZ(Degrees(90));
    ExpectNear(rx.TransformDirection(y), z);
    ExpectNear(rx.TransformDirection(z), -y);
    ExpectNear(rx.TransformDirection(x), x);
    ExpectNear(ry.TransformDirection(z), x);
    ExpectNear(ry.TransformDirection(x), -z);
    ExpectNear(rz.TransformDirection(x), y);
    ExpectNear(rz.TransformDirection(y), -x);
    ExpectNear(PimMatrix4x4::CreateRotationZ(Degrees(-90)).TransformDirection(x), -y);

    // Axis-angle agrees with the axis rotations and turns (1,1,1)'s three axes into each other.
    const PimMatrix4x4 aboutY = PimMatrix4x4::CreateFromAxisAngle(PimVector3(0, 2, 0), Degrees(37));
    ExpectNear(aboutY.TransformDirection(PimVector3(0.3f, -2, 5)),
               PimMatrix4x4::CreateRotationY(Degrees(37)).TransformDirection(PimVector3(0.3f, -2, 5)));
    const PimMatrix4x4 diagonal = PimMatrix4x4::CreateFromAxisAngle(PimVector3(1, 1, 1), Degrees(120));
    ExpectNear(diagonal.TransformDirection(x), y);
    ExpectNear(diagonal.TransformDirection(y), z);
    EXPECT_EQ(PimMatrix4x4::CreateFromAxisAngle(PimVector3(), Degrees(45)), PimMatrix4x4());
}

TEST(PimMatrix4x4, YawPitchRollAppliesRollThenPitchThenYaw)
{
    const PimVector3 forward(0, 0, -1), up(0, 1, 0), right(1, 0, 0);
    ExpectNear(PimMatrix4x4::CreateFromYawPitchRoll(Degrees(90), {}, {}).TransformDirection(forward), -right);
    ExpectNear(PimMatrix4x4::CreateFromYawPitchRoll({}, Degrees(90), {}).TransformDirection(forward), up);
    ExpectNear(PimMatrix4x4::CreateFromYawPitchRoll({}, {}, Degrees(90)).TransformDirection(up), -right);

    // Yaw 90 and pitch 90: looking straight up, with the right hand pointing to the old forward.
    const PimMatrix4x4 yawPitch = PimMatrix4x4::CreateFromYawPitchRoll(Degrees(90), Degrees(90), {});
    ExpectNear(yawPitch.TransformDirection(forward), up);
    ExpectNear(yawPitch.TransformDirection(right), forward);
    // Pitch 90 and roll 90: the roll happens about the original forward axis.
    const PimMatrix4x4 pitchRoll = PimMatrix4x4::CreateFromYawPitchRoll({}, Degrees(90), Degrees(90));
    ExpectNear(pitchRoll.TransformDirection(up), -right);
    ExpectNear(pitchRoll.TransformDirection(right), PimVector3(0, 0, 1));
    // Yaw 45, pitch 30: forward goes up 30 degrees in the direction 45 degrees to the left.
    const PimVector3 look =
        PimMatrix4x4::CreateFromYawPitchRoll(Degrees(45), Degrees(30), Degrees(70)).TransformDirection(forward);
    ExpectNear(look, PimVector3(-std::cos(0.5235988f) * 0.70710678f, 0.5f, -std::cos(0.5235988f) * 0.70710678f));
}

TEST(PimMatrix4x4, ProductsApplyTheRightHandMatrixFirst)
{
    const PimMatrix4x4 move = PimMatrix4x4::CreateTranslation(PimVector3(10, 0, 0));
    const PimMatrix4x4 turn = PimMatrix4x4::CreateRotationZ(Degrees(90));
    const PimMatrix4x4 grow = PimMatrix4x4::CreateScale(PimVector3(2, 3, 4));
    ExpectNear((move * turn).TransformPoint(PimVector3(1, 0, 0)), PimVector3(10, 1, 0));
    ExpectNear((turn * move).TransformPoint(PimVector3(1, 0, 0)), PimVector3(0, 11, 0));
    ExpectNear((move * grow).TransformPoint(PimVector3(1, 1, 1)), PimVector3(12, 3, 4));
    PimMatrix4x4 accumulated = move;
    accumulated *= grow;
    EXPECT_EQ(accumulated, move * grow);

    // Directions ignore the translation; points take it.
    ExpectNear((move * turn).TransformDirection(PimVector3(1, 0, 0)), PimVector3(0, 1, 0));
    const PimVector4 homogeneous = (move * turn) * PimVector4(1, 0, 0, 1);
    EXPECT_NEAR(homogeneous.x, 10.0f, 1e-5f);
    EXPECT_EQ(homogeneous.w, 1.0f);
    EXPECT_EQ((move * grow).GetTranslation(), PimVector3(10, 0, 0));
}

TEST(PimMatrix4x4, InverseTimesMatrixIsTheIdentity)
{
    const PimMatrix4x4 cases[] = {
        PimMatrix4x4::CreateTranslation(PimVector3(3, -4, 512)) * PimMatrix4x4::CreateFromYawPitchRoll(
            Degrees(33), Degrees(-71), Degrees(12)) * PimMatrix4x4::CreateScale(PimVector3(2, 0.5f, 1.0f / 64)),
        PimMatrix4x4::CreatePerspective(Degrees(90), 16.0f / 9.0f, 0.1f, 512.0f),
        PimMatrix4x4::CreateLookAt(PimVector3(100, 40, -3), PimVector3(0, 0, 0), PimVector3(0, 1, 0)),
        FromRows({2, -1, 0, 3, 1, 4, -2, 0, 0, 5, 1, -1, 3, 0, 2, 7}),
        FromRows({0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1}),
    };
    for (const PimMatrix4x4& m : cases)
    {
        PimMatrix4x4 inverse;
        ASSERT_TRUE(m.TryInvert(inverse));
        ExpectIdentity(m * inverse, 2e-4f);
        ExpectIdentity(inverse * m, 2e-4f);
        EXPECT_EQ(m.Inverted(), inverse);
    }
    // A rotation's inverse is its transpose: the hand light turns into controller space with it.
    const PimMatrix4x4 orientation = PimMatrix4x4::CreateFromYawPitchRoll(Degrees(-20), Degrees(65), Degrees(140));
    const PimMatrix4x4 inverse = orientation.Inverted();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(inverse.GetMatrixDataArray()[i], orientation.Transposed().GetMatrixDataArray()[i], 1e-6f);
    EXPECT_NEAR(orientation.Determinant(), 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(PimMatrix4x4::CreateScale(PimVector3(2, 3, 4)).Determinant(), 24.0f);
    EXPECT_FLOAT_EQ(cases[4].Determinant(), 1.0f);
    EXPECT_FLOAT_EQ(FromRows({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).Determinant(), -1.0f);
}

TEST(PimMatrix4x4, SingularMatricesAreRefusedWithoutTouchingTheResult)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const PimMatrix4x4 singular[] = {
        PimMatrix4x4::CreateScale(PimVector3(1, 0, 1)),
        FromRows({}),
        FromRows({1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 0, 0, 0, 0, 1}),
        FromRows({nan, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
        PimMatrix4x4::CreateScale(1e-39f), // invertible in theory, but 1e39 is no float
    };
    const PimMatrix4x4 untouched = PimMatrix4x4::CreateTranslation(PimVector3(1, 2, 3));
    for (const PimMatrix4x4& m : singular)
    {
        PimMatrix4x4 result = untouched;
        EXPECT_FALSE(m.TryInvert(result));
        EXPECT_EQ(result, untouched);
        EXPECT_EQ(m.Inverted(), PimMatrix4x4());
    }
}

TEST(PimMatrix4x4, PerspectiveMapsTheFrustumToClipSpace)
{
    const float nearPlane = 0.1f, farPlane = 512.0f;
    const PimMatrix4x4 p = PimMatrix4x4::CreatePerspective(Degrees(90), 2.0f, nearPlane, farPlane);
    EXPECT_NEAR(p.TransformPoint(PimVector3(0, 0, -nearPlane)).z, -1.0f, 1e-4f);
    EXPECT_NEAR(p.TransformPoint(PimVector3(0, 0, -farPlane)).z, 1.0f, 1e-4f);
    // 90 degrees vertically: at distance 10 the top edge is at y = 10; twice as wide as high.
    ExpectNear(p.TransformPoint(PimVector3(20, 10, -10)), PimVector3(1, 1, p.TransformPoint(PimVector3(0, 0, -10)).z));
    // Behind the eye the homogeneous w is negative.
    EXPECT_LT((p * PimVector4(0, 0, 5, 1)).w, 0.0f);

    const PimMatrix4x4 o = PimMatrix4x4::CreateOrthographic(0, 800, 0, 600, -1, 1);
    ExpectNear(o.TransformPoint(PimVector3(0, 0, 0)), PimVector3(-1, -1, 0));
    ExpectNear(o.TransformPoint(PimVector3(800, 600, -1)), PimVector3(1, 1, 1));
}

TEST(PimMatrix4x4, LookAtPutsTheTargetStraightAheadEvenWhenLookingDown)
{
    const PimVector3 eye(1, 2, 3);
    const PimMatrix4x4 view = PimMatrix4x4::CreateLookAt(eye, PimVector3(1, 2, -7), PimVector3(0, 1, 0));
    ExpectNear(view.TransformPoint(eye), PimVector3());
    ExpectNear(view.TransformPoint(PimVector3(1, 2, -7)), PimVector3(0, 0, -10));
    ExpectNear(view.TransformPoint(PimVector3(2, 3, 3)), PimVector3(1, 1, 0));

    // The thumbnail's up and down views, and an exactly vertical one.
    for (const PimVector3 direction : {PimVector3(0.001f, 100, 0), PimVector3(-0.001f, -100, 0), PimVector3(0, -5, 0)})
    {
        const PimMatrix4x4 m = PimMatrix4x4::CreateLookAt(eye, eye + direction, PimVector3(0, 1, 0));
        ExpectNear(m.TransformPoint(eye + direction), PimVector3(0, 0, -direction.Length()), 1e-3f);
        EXPECT_NEAR(m.Determinant(), 1.0f, 1e-4f);
    }
}

TEST(PimMatrix4x4, InvalidCameraArgumentsAndIndicesAreReported)
{
    const unsigned long before = PimAssert::GetFailureCount();
    EXPECT_EQ(PimMatrix4x4::CreatePerspective(Degrees(0), 1, 0.1f, 10), PimMatrix4x4());
    EXPECT_EQ(PimMatrix4x4::CreatePerspective(Degrees(180), 1, 0.1f, 10), PimMatrix4x4());
    EXPECT_EQ(PimMatrix4x4::CreatePerspective(Degrees(60), 0, 0.1f, 10), PimMatrix4x4());
    EXPECT_EQ(PimMatrix4x4::CreatePerspective(Degrees(60), 1, 0, 10), PimMatrix4x4());
    EXPECT_EQ(PimMatrix4x4::CreatePerspective(Degrees(60), 1, 10, 10), PimMatrix4x4());
    EXPECT_EQ(PimMatrix4x4::CreateOrthographic(1, 1, 0, 1, 0, 1), PimMatrix4x4());
    EXPECT_EQ(PimMatrix4x4::CreateLookAt(PimVector3(4, 4, 4), PimVector3(4, 4, 4), PimVector3(0, 1, 0)),
              PimMatrix4x4());
    EXPECT_EQ(PimAssert::GetFailureCount(), before + 7);

    PimMatrix4x4 m;
    m.Set(4, 0, 5.0f);
    m.Set(0, -1, 5.0f);
    EXPECT_EQ(m, PimMatrix4x4());
    EXPECT_EQ(m.Get(1, 4), 0.0f);
    EXPECT_EQ(PimAssert::GetFailureCount(), before + 10);
    EXPECT_EQ(PimAssert::GetLastMessage(), "PimMatrix4x4::Get/Set() - Element (1, 4) out of range");
}
