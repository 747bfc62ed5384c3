// Locomotion driven by scripted devices over a room of chunks.

#include "tests/support/rig_fixture.h"

#include "engine/PimAngle.h"
#include "engine/PimVrInputCodes.h"

#include <cmath>

namespace
{
constexpr int kOff = PimVrDeviceIndex::LeftHand; // "HandPreference" 2: the right hand is dominant

class LocomotionTest : public RigFixture
{
protected:
    void Pad(float x, float y)
    {
        script->SetValue(kOff, PimVrButton::PadTouch, (x != 0.0f || y != 0.0f) ? 1.0f : 0.0f);
        script->SetValue(kOff, PimVrButton::PadX, x);
        script->SetValue(kOff, PimVrButton::PadY, y);
    }
    void EyeHeight(float metres)
    {
        script->SetPose(PimVrDeviceIndex::Headset, {0.0f, metres, 0.0f}, PimMatrix4x4());
    }
    // Runs frames until the player stands (at most `limit`).
    void Settle(int limit = 400)
    {
        Frames(2);
        for (int frame = 0; frame < limit && Loco().GetState() != LocomotionState::Grounded; ++frame)
            Frames(1);
        Frames(3);
    }
};

TEST_F(LocomotionTest, AOneSecondFrameAdvancesAThirdOfASecond)
{
    Place({20.0f, kFloorTop, 20.0f});
    PimTime::SetFixedStep(1000.0);
    Frames(1);
    EXPECT_NEAR(Loco().GetFrameSeconds(), 0.3333f, 1e-4f);
}

TEST_F(LocomotionTest, FallsOntoTheGroundAndStands)
{
    Place({20.5f, 12.0f, 20.5f});
    Frames(1);
    EXPECT_EQ(Loco().GetState(), LocomotionState::Falling);
    Settle();
    EXPECT_EQ(Loco().GetState(), LocomotionState::Grounded);
    EXPECT_NEAR(Loco().GetFeet().y, kFloorTop, 0.01f);
    const float feet = Loco().GetFeet().y;
    Frames(30);
    EXPECT_NEAR(Loco().GetFeet().y, feet, 1e-3f) << "standing does not sink or drift";
}

TEST_F(LocomotionTest, AFallBelowTheWorldEndsOnItsFloor)
{
    // A hole through the room's floor: the world's floor at y = 0 holds the player.
    for (int y = 0; y < 2; ++y)
        room.SetVoxelAt(0, PimVector3(30, y, 30), false, false);
    Place({30.5f, 8.0f, 30.5f});
    Settle(600);
    EXPECT_EQ(Loco().GetState(), LocomotionState::Grounded);
    EXPECT_NEAR(Loco().GetFeet().y, 0.0f, 0.01f);
}

TEST_F(LocomotionTest, AFastFallDoesNotPassThroughTheGround)
{
    Place({20.5f, 120.0f, 20.5f});
    PimTime::SetFixedStep(100.0); // long frames: a large step per frame
    Settle(600);
    EXPECT_EQ(Loco().GetState(), LocomotionState::Grounded);
    EXPECT_NEAR(Loco().GetFeet().y, kFloorTop, 0.01f);
}

TEST_F(LocomotionTest, StepsUpOneVoxelButNotThroughAWall)
{
    Block(10, 2, 0, 30, 2, 14); // a step of one voxel ahead (towards -z)
    Block(10, 3, 0, 30, 10, 6); // then a wall
    Place({20.5f, kFloorTop, 20.5f});
    Settle();
    Pad(0.0f, 1.0f);
    Frames(240);
    EXPECT_NEAR(Loco().GetFeet().y, 3.0f, 0.05f) << "on the step";
    EXPECT_GT(Loco().GetHead().z, 6.9f) << "not into the wall";
    EXPECT_LT(Loco().GetFeet().z, 15.0f) << "walked onto the step";
}

TEST_F(LocomotionTest, LeaningIntoAWallIsPushedBack)
{
    Block(0, 2, 10, 63, 10, 12);
    Place({20.5f, kFloorTop, 15.5f});
    Settle();
    const PimVector3 good = Loco().GetFeet();
    // The user leans 3 metres ahead: the head would be inside the wall.
    script->SetPose(PimVrDeviceIndex::Headset, {0.0f, 1.65f, -3.0f}, PimMatrix4x4());
    Frames(2);
    const PimVrController& head = PimVrSystem::GetInstance().GetHeadsetController();
    const PimVector3 headAt = head.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    EXPECT_EQ(rig->GetEditTarget().GetCollision(0, headAt), 0) << "head moved back out of the wall";
    EXPECT_NEAR(Loco().GetFeet().z, good.z, 0.05f);
}

TEST_F(LocomotionTest, CrouchingAndStandingUpQuicklyJumps)
{
    Place({20.5f, kFloorTop, 20.5f});
    Settle();
    const float s = Loco().GetStandingHeight();
    EyeHeight(0.8f * s);
    Frames(3);
    EXPECT_FLOAT_EQ(Loco().GetJumpCharge() > 0.0f ? 1.0f : 0.0f, 1.0f);
    EyeHeight(1.05f * s);
    Frames(1);
    EXPECT_EQ(Loco().GetState(), LocomotionState::Rising);
    Frames(20);
    EXPECT_GT(Loco().GetFeet().y, kFloorTop + 0.2f) << "in the air";
    EyeHeight(1.65f);
    Settle();
    EXPECT_NEAR(Loco().GetFeet().y, kFloorTop, 0.01f);
}

TEST_F(LocomotionTest, ADeepCrouchOrASlowRiseDoesNotJump)
{
    Place({20.5f, kFloorTop, 20.5f});
    Settle();
    const float s = Loco().GetStandingHeight();
    EyeHeight(0.6f * s); // deeper than 75 percent
    Frames(3);
    EyeHeight(1.05f * s);
    Frames(2);
    EXPECT_NE(Loco().GetState(), LocomotionState::Rising);

    EyeHeight(0.8f * s);
    Frames(3);
    EyeHeight(0.97f * s); // above 95 percent: the charge starts to fade
    Frames(15);           // 0.25 s
    EyeHeight(1.05f * s);
    Frames(2);
    EXPECT_NE(Loco().GetState(), LocomotionState::Rising);
}

TEST_F(LocomotionTest, WalkingBackwardsIsHalfSpeedAndSidewaysHalved)
{
    Place({32.5f, kFloorTop, 32.5f});
    Settle();
    const PimVector3 start = Loco().GetFeet();
    Pad(0.0f, 1.0f);
    Frames(30);
    const float forward = start.z - Loco().GetFeet().z;
    const PimVector3 middle = Loco().GetFeet();
    Pad(0.0f, -1.0f);
    Frames(30);
    const float backward = Loco().GetFeet().z - middle.z;
    const PimVector3 before = Loco().GetFeet();
    Pad(1.0f, 0.0f);
    Frames(30);
    const float sideways = Loco().GetFeet().x - before.x;
    ASSERT_GT(forward, 1.0f);
    EXPECT_NEAR(backward / forward, 0.5f, 0.05f);
    EXPECT_NEAR(sideways / forward, 0.5f, 0.05f);
}

TEST_F(LocomotionTest, TeleportMovesOnceAndCoolsDown)
{
    settings->virtualReality.SetMovementType(0);
    Place({20.5f, kFloorTop, 40.5f});
    Frames(2);
    EXPECT_EQ(Loco().GetState(), LocomotionState::Teleport);
    // The off hand points ahead and down onto the floor.
    script->SetPose(kOff, {-0.2f, 1.3f, -0.3f}, PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(-30.0f)));
    script->SetValue(kOff, PimVrButton::PadTouch, 1.0f);
    Frames(1);
    ASSERT_TRUE(Loco().IsAiming());
    ASSERT_TRUE(Loco().IsTargetValid());
    EXPECT_EQ(Loco().GetArcLine().GetColor(), Locomotion::kArcValid);
    const PimVector3 target = Loco().GetTeleportTarget();
    EXPECT_NEAR(target.y, kFloorTop + 0.1f, 0.01f);
    EXPECT_LT(target.z, 40.0f);

    script->SetValue(kOff, PimVrButton::PadClick, 1.0f);
    Frames(1);
    EXPECT_NEAR(Loco().GetFeet().z, target.z, 0.01f);
    const PimVector3 landed = Loco().GetFeet();
    Frames(30); // held: no second teleport
    EXPECT_NEAR(Loco().GetFeet().z, landed.z, 0.01f);
    script->SetValue(kOff, PimVrButton::PadClick, 0.0f);
    Frames(6); // 100 ms released: still cooling down
    script->SetValue(kOff, PimVrButton::PadClick, 1.0f);
    Frames(1);
    EXPECT_NEAR(Loco().GetFeet().z, landed.z, 0.01f);
    script->SetValue(kOff, PimVrButton::PadClick, 0.0f);
    Frames(20); // 333 ms released
    script->SetValue(kOff, PimVrButton::PadClick, 1.0f);
    Frames(1);
    EXPECT_LT(Loco().GetFeet().z, landed.z - 1.0f) << "a new press teleports again";
}

TEST_F(LocomotionTest, AnArcEndingUpwardsIsInvalidAndRed)
{
    settings->virtualReality.SetMovementType(0);
    Block(0, 8, 0, 63, 8, 63); // a ceiling
    Place({20.5f, kFloorTop, 20.5f});
    script->SetPose(kOff, {-0.2f, 1.3f, -0.3f}, PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(70.0f)));
    script->SetValue(kOff, PimVrButton::PadTouch, 1.0f);
    Frames(2);
    ASSERT_TRUE(Loco().IsAiming());
    EXPECT_FALSE(Loco().IsTargetValid());
    EXPECT_EQ(Loco().GetArcLine().GetColor(), Locomotion::kArcInvalid);
    EXPECT_LT(Loco().GetTeleportTarget().y, -1000.0f);
}

TEST_F(LocomotionTest, FlyingHasNoGravityAndFollowsThePad)
{
    settings->activeGame.SetWalkPhysics(1);
    Place({20.5f, 20.0f, 40.5f});
    Frames(60);
    EXPECT_EQ(Loco().GetState(), LocomotionState::Flying);
    EXPECT_NEAR(Loco().GetFeet().y, 20.0f, 1e-3f);
    Pad(0.0f, 1.0f);
    Frames(60);
    EXPECT_LT(Loco().GetFeet().z, 39.5f);
    EXPECT_NEAR(Loco().GetFeet().y, 20.0f, 1e-3f);
    // Speeds follow the frame time: a long first frame does not make flight faster.
    EXPECT_LE(Loco().GetFlySpeed(), Locomotion::kMaxFlySpeed / 60.0f + 1e-5f);
}

TEST_F(LocomotionTest, WalkingAfterFlyingIntoTerrainReturnsToTheLastGoodPlace)
{
    settings->activeGame.SetWalkPhysics(1);
    Place({20.5f, 10.0f, 20.5f});
    Frames(2);
    const PimVector3 good = Loco().GetFeet();
    Block(10, 3, 0, 30, 30, 18); // the terrain reaches the flyer's head
    // Flying moves the player into the block.
    Loco().MoveTo({20.5f, 10.0f, 15.5f});
    Frames(2);
    settings->activeGame.SetWalkPhysics(0);
    Frames(2);
    EXPECT_NE(Loco().GetFeet().z, 15.5f);
    EXPECT_EQ(rig->GetEditTarget().GetCollision(0, Loco().GetHead()), 0);
    EXPECT_NEAR(Loco().GetLastGoodFeet().z, good.z, 0.5f);
}

TEST_F(LocomotionTest, MovementTypeTwoOffersNeitherTeleportNorTouchWalk)
{
    settings->virtualReality.SetMovementType(2);
    Place({32.5f, kFloorTop, 32.5f});
    Settle();
    const PimVector3 start = Loco().GetFeet();
    Pad(0.0f, 1.0f);
    Frames(30);
    EXPECT_NE(Loco().GetState(), LocomotionState::Teleport);
    EXPECT_NEAR(Loco().GetFeet().z, start.z, 1e-3f);
}
}
