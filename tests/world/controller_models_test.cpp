#include "world/ControllerModels.h"

#include "engine/PimAngle.h"
#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
bool Close(const PimVector3& a, const PimVector3& b)
{
    return a.Distance(b) < 1e-5f;
}
} // namespace

TEST(ControllerModels, FiveHelperCubesInTheStartUpColours)
{
    const ControllerModels models;
    const PimColor grey = PimColor::FromFloat3(0.3f, 0.3f, 0.3f);
    const PimColor expected[] = {grey, PimColor(0, 0, 0), grey, grey, PimColor::FromFloat3(0.25f, 0.25f, 0.25f)};
    for (int i = 0; i < ControllerModels::kCubeCount; ++i)
    {
        const VoxelCube& cube = models.cubes[static_cast<std::size_t>(i)];
        EXPECT_EQ(cube.GetCode(), 0xFEFF);
        EXPECT_EQ(cube.GetColour(), expected[i]) << i;
        EXPECT_TRUE(cube.GetMesh().has_value());
    }
    EXPECT_EQ(models.hiddenHands, 0u);
    EXPECT_EQ(models.modelOffset, PimVector3());
    EXPECT_EQ(models.modelOrientation, PimMatrix4x4::Identity());
}

TEST(ControllerModels, CubesFollowThePoseTheModelTurnAndTheTrigger)
{
    ControllerModels models;
    const PimVector3 hand(1.0f, 1.5f, -2.0f);
    const PimMatrix4x4 facingLeft = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f));
    models.Draw(2, hand, facingLeft, 0.0f); // no GL: the cubes are only placed
    const VoxelCube& tip = models.cubes[ControllerModels::kTip];
    const VoxelCube& grip = models.cubes[ControllerModels::kGrip];
    // Pointing along the turned -z (now -x): the tip is ahead of the hand, the grip behind it.
    EXPECT_LT(tip.GetPosition().x, hand.x - 0.03f);
    EXPECT_GT(grip.GetPosition().x, hand.x + 0.01f);
    EXPECT_NEAR(tip.GetPosition().z, hand.z, 1e-5f);
    // A cube's model matrix carries the turn and its size: its local -z runs along world -x.
    const PimVector3 front = tip.GetModelMatrix().TransformPoint({0.0f, 0.0f, -0.5f});
    EXPECT_LT(front.x, tip.GetPosition().x);

    // The trigger moves back towards the grip as it is pulled; out-of-range pulls are held.
    const PimVector3 rest = models.cubes[ControllerModels::kTrigger].GetPosition();
    models.Draw(2, hand, facingLeft, 1.0f);
    const PimVector3 pulled = models.cubes[ControllerModels::kTrigger].GetPosition();
    EXPECT_TRUE(Close(pulled - rest, PimVector3(ControllerModels::kTriggerTravel, 0.0f, 0.0f)));
    models.Draw(2, hand, facingLeft, 7.0f);
    EXPECT_TRUE(Close(models.cubes[ControllerModels::kTrigger].GetPosition(), pulled));
    models.Draw(2, hand, facingLeft, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(Close(models.cubes[ControllerModels::kTrigger].GetPosition(), rest));

    // The model's offset is taken in the controller's frame.
    models.Draw(2, hand, facingLeft, 0.0f);
    const PimVector3 tipBefore = tip.GetPosition();
    models.modelOffset = PimVector3(0.0f, 0.0f, -0.1f);
    models.Draw(2, hand, facingLeft, 0.0f);
    EXPECT_TRUE(Close(tip.GetPosition() - tipBefore, PimVector3(-0.1f, 0.0f, 0.0f)));
}

TEST(ControllerModels, HiddenHandsAreNotPlaced)
{
    ControllerModels models;
    models.Draw(1, {0.0f, 0.0f, 0.0f}, PimMatrix4x4(), 0.0f);
    const PimVector3 before = models.cubes[0].GetPosition();
    models.hiddenHands = ControllerModels::HandBit(1);
    models.Draw(1, {5.0f, 5.0f, 5.0f}, PimMatrix4x4(), 0.0f);
    EXPECT_EQ(models.cubes[0].GetPosition(), before);
    models.Draw(2, {5.0f, 5.0f, 5.0f}, PimMatrix4x4(), 0.0f);
    EXPECT_NE(models.cubes[0].GetPosition(), before);
}
