#include "player/Locomotion.h"

#include "editing/EditTarget.h"

#include "settings/GameSettings.h"

#include "engine/PimMathFunctions.h"
#include "engine/PimTime.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cmath>

namespace
{
// The process-wide teleport cooldown, in milliseconds.
float teleportCooldown = 0.0f;

bool Blocks(std::uint8_t collisionClass)
{
    return collisionClass == VoxelCollision::Helper || collisionClass == VoxelCollision::Solid;
}

// One step of the voxel walk shared by the sweep and the arc: from p along d to the next voxel
// boundary. False when no step is possible (d is zero). `entered` is a point inside the voxel
// the step enters (the boundary point itself may round into the voxel it leaves).
bool BoundaryStep(const PimVector3& p, const PimVector3& d, PimVector3& step, PimVector3& entered)
{
    const PimVector3 boundary = p.IntegerizeInDirection(d);
    const PimVector3 offset = boundary - p;
    const int axis = (offset / d).SmallestNonZeroDimension();
    const float factor = PimMathFunctions::SafeDivision(d[axis], offset[axis]);
    if (factor == 0.0f || !std::isfinite(factor))
        return false;
    step = d / factor;
    entered = p + step;
    entered[axis] = boundary[axis] + (d[axis] > 0.0f ? 0.5f : -0.5f);
    return true;
}
}

Locomotion::Locomotion(GameSettings& settingsIn, EditTarget& target) : settings(settingsIn), editTarget(target)
{
    reticle->SetOrientation(PimVector3(0.0f, 90.0f, 0.0f));
}

float Locomotion::GetTeleportCooldown()
{
    return teleportCooldown;
}

void Locomotion::ResetTeleportCooldown()
{
    teleportCooldown = 0.0f;
}

bool Locomotion::LoadReticle(const std::string& path)
{
    reticleLoaded = reticle->LoadTexture(path);
    return reticleLoaded;
}

int Locomotion::OffHandRole() const
{
    return settings.virtualReality.GetHandPreference() == 2 ? PimVrDeviceIndex::LeftHand : PimVrDeviceIndex::RightHand;
}

std::uint8_t Locomotion::ClassAt(const PimVector3& position) const
{
    return editTarget.GetCollision(collisionLevel, position);
}

// ---- State changes ----

void Locomotion::SetState(LocomotionState next)
{
    if (next == state)
        return;
    switch (state)
    {
    case LocomotionState::Rising:
    case LocomotionState::Stepping:
        verticalSpeed = 0.0f;
        velocity.y = 0.0f;
        break;
    case LocomotionState::Falling:
        verticalSpeed = 0.0f;
        velocity = PimVector3();
        input = PimVector3();
        break;
    case LocomotionState::Flying:
        velocity = PimVector3();
        input = PimVector3();
        flyRate = 0.0f;
        flySpeed = 0.0f;
        break;
    case LocomotionState::Grounded:
        input = PimVector3();
        break;
    case LocomotionState::Teleport:
        aiming = false;
        targetValid = false;
        break;
    }
    switch (next)
    {
    case LocomotionState::Grounded:
        velocity.y = 0.0f;
        input = PimVector3();
        break;
    case LocomotionState::Rising:
        verticalSpeed = -(gravity * jumpCharge);
        break;
    case LocomotionState::Flying:
        velocity = PimVector3();
        input = PimVector3();
        break;
    default:
        break;
    }
    state = next;
}

void Locomotion::SetTeleport(bool on)
{
    if (on)
        SetState(LocomotionState::Teleport);
    else if (state == LocomotionState::Teleport)
        SetState(LocomotionState::Grounded);
}

// ---- The rig's step ----

void Locomotion::RigStep(bool menuRoom)
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    vrScale = vr.GetScale();
    if (!menuRoom)
    {
        const std::uint32_t physics = settings.activeGame.GetWalkPhysics();
        if (physics == 1 && state != LocomotionState::Flying)
            SetState(LocomotionState::Flying);
        else if (physics == 0 && state == LocomotionState::Flying)
            SetState(LocomotionState::Grounded);
    }
    const std::uint32_t movement = settings.virtualReality.GetMovementType();
    if (state != LocomotionState::Flying)
    {
        if (movement == 0)
            SetTeleport(true);
        else if (state == LocomotionState::Teleport)
            SetState(LocomotionState::Grounded);
    }
    const PimVrController& off = vr.GetHandController(OffHandRole());
    if (off.IsValid() && movement == 1)
    {
        const PimMatrix4x4 orientation =
            vr.GetHeadsetController().GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
        PimVector3 forward = orientation.TransformDirection({0.0f, 0.0f, -1.0f});
        PimVector3 right = orientation.TransformDirection({1.0f, 0.0f, 0.0f});
        forward.y = 0.0f;
        right.y = 0.0f;
        PimVector3 move;
        if (off.GetValue(PimVrButton::PadTouch) > 0.1f)
        {
            float y = off.GetValue(PimVrButton::PadY);
            if (y < 0.0f)
                y *= 0.5f; // backwards at half speed
            move = forward * y + right * (off.GetValue(PimVrButton::PadX) * 0.5f);
        }
        input += move * 0.5f;
    }
}

// ---- The frame ----

void Locomotion::ReadTracking()
{
    const PimVrController& headset = PimVrSystem::GetInstance().GetHeadsetController();
    const float playerScale = settings.activeGame.GetPlayerScale();
    const float bias = settings.virtualReality.GetPlayerSizeBias();
    gravity = kBaseGravity * playerScale;
    eyeHeight = headset.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::PlayArea).y;
    standingHeight = bias * playerScale / 1.5f * 2.5f;
    head = headset.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    feet = head - PimVector3(0.0f, eyeHeight, 0.0f);
    spare = (head + feet) * 0.5f;
    sizeBias = bias;
    collisionLevel = vrScale < 8.0f ? 0 : vrScale < 16.0f ? 1 : vrScale < 32.0f ? 2 : vrScale < 64.0f ? 3 : vrScale < 128.0f ? 4 : 5;
}

void Locomotion::Update()
{
    const PimVrController& headset = PimVrSystem::GetInstance().GetHeadsetController();
    if (!headset.IsValid())
        return;
    frameMs = static_cast<float>(PimTime::MillisecondDelta());
    dt = std::min(frameMs / 1000.0f, kMaxFrameSeconds);
    ReadTracking();

    if (state != LocomotionState::Flying && state != LocomotionState::Teleport)
        ChoosePhysicsState();

    switch (state)
    {
    case LocomotionState::Grounded:
        FollowHeadset();
        velocity = input * dt * kWalkFactor;
        input.x = 0.0f;
        input.z = 0.0f;
        SweepMove();
        JumpCheck();
        break;
    case LocomotionState::Stepping:
    {
        FollowHeadset();
        velocity.x = 0.0f;
        velocity.z = 0.0f;
        verticalSpeed -= dt * gravity * 0.5f;
        velocity.y = -dt * verticalSpeed;
        velocity += input * dt * kWalkFactor;
        velocity.y = std::max(velocity.y, std::sqrt(velocity.x * velocity.x + velocity.z * velocity.z));
        SweepMove();
        input.x = 0.0f;
        input.z = 0.0f;
        JumpCheck();
        break;
    }
    case LocomotionState::Rising:
        FollowHeadset();
        verticalSpeed += dt * gravity;
        velocity.y -= dt * verticalSpeed;
        velocity.x *= 1.0f - dt / 2.0f;
        velocity.z *= 1.0f - dt / 2.0f;
        SweepMove();
        if (verticalSpeed >= 0.0f)
        {
            SetState(LocomotionState::Falling);
            verticalSpeed = 0.0f;
            velocity.y = 0.0f;
        }
        break;
    case LocomotionState::Falling:
        FollowHeadset();
        velocity.x *= 1.0f - dt / 2.0f;
        velocity.z *= 1.0f - dt / 2.0f;
        verticalSpeed += dt * gravity;
        velocity.y -= dt * verticalSpeed;
        SweepMove();
        break;
    case LocomotionState::Flying:
        Fly();
        break;
    case LocomotionState::Teleport:
        FollowHeadset();
        TeleportStep();
        JumpCheck();
        break;
    }
}

void Locomotion::ChoosePhysicsState()
{
    const GroundProbe probe = Probe(head);
    groundClass3 = probe.class3;
    groundClass2 = probe.class2;
    groundClass1 = probe.class1;
    const float g = probe.Ground();
    if (verticalSpeed < 0.0f && state != LocomotionState::Stepping && state != LocomotionState::Falling)
        SetState(LocomotionState::Rising);
    else if (g > eyeHeight + 0.0001f)
        SetState(LocomotionState::Falling);
    else if (g >= eyeHeight * 0.2f && g < eyeHeight - 0.0001f)
    {
        const SweepResult sweep = Sweep(head, head - PimVector3(0.0f, 0.9f * g, 0.0f));
        if (sweep.collisionClass <= 1)
            SetState(LocomotionState::Stepping);
        else
            SetState(LocomotionState::Grounded);
    }
    else
        SetState(LocomotionState::Grounded);
}

float Locomotion::GroundProbe::Lowest() const
{
    return std::min(class3, std::min(class2, class1));
}

Locomotion::GroundProbe Locomotion::Probe(const PimVector3& p) const
{
    GroundProbe result{p.y, p.y, p.y};
    bool found3 = false, found2 = false, found1 = false;
    float height = p.y;
    for (int step = 0; step < kProbeSteps && height > 0.0f && !found3; ++step)
    {
        const float below = std::floor(height - 1.0f);
        const std::uint8_t collisionClass = ClassAt(PimVector3(p.x, below + 0.5f, p.z));
        const float distance = p.y - (below + 1.0f);
        if (collisionClass == 3 && !found3)
        {
            result.class3 = distance;
            found3 = true;
        }
        else if (collisionClass == 2 && !found2)
        {
            result.class2 = distance;
            found2 = true;
        }
        else if (collisionClass == 1 && !found1)
        {
            result.class1 = distance;
            found1 = true;
        }
        height -= 1.0f;
    }
    return result;
}

Locomotion::SweepResult Locomotion::Sweep(const PimVector3& start, const PimVector3& end) const
{
    const PimVector3 d = end - start;
    const float lengthSquared = d.LengthSquared();
    if (lengthSquared == 0.0f || !std::isfinite(lengthSquared))
        return {0, start};
    const PimVector3 endCell = end.Integerize();
    // Every unit of length crosses at most three boundaries (one per axis).
    const int limit = 3 * (static_cast<int>(std::trunc(std::sqrt(lengthSquared))) + 1);
    PimVector3 point = start;
    std::uint8_t collisionClass = 0;
    for (int steps = 0; steps < limit; ++steps)
    {
        PimVector3 step, entered;
        if (!BoundaryStep(point, d, step, entered))
            return {0, start};
        const PimVector3 next = point + step;
        if ((next - start).LengthSquared() >= lengthSquared)
            break; // the next boundary lies beyond the end
        const std::uint8_t found = ClassAt(entered);
        if (Blocks(found))
            return {found, next};
        collisionClass = found;
        point = next;
        if (point.Integerize() == endCell)
            break;
    }
    return {collisionClass, end};
}

Locomotion::Arc Locomotion::TraceArc(const PimVector3& start, const PimVector3& direction, float range,
                                     float bend) const
{
    Arc arc;
    PimVector3 d = direction.Normalized();
    PimVector3 p = start;
    const bool startedAbove = start.y >= 0.0f;
    const VoxelCodeTable& table = VoxelCodeTable::GetInstance();
    for (int steps = 0; steps < kArcSteps; ++steps)
    {
        d.y += bend;
        PimVector3 step, entered;
        if (!BoundaryStep(p, d, step, entered))
            break;
        p += step;
        arc.points.push_back(p);
        const std::uint8_t collisionClass = table.GetCollisionClass(editTarget.GetVoxel(entered));
        if (Blocks(collisionClass) || (startedAbove && p.y < 0.0f))
        {
            p -= step;
            break;
        }
        if ((p - start).Length() >= range)
            break;
    }
    arc.hit = p;
    const std::size_t n = arc.points.size();
    arc.descending = n >= 2 && arc.points[n - 1].y < arc.points[n - 2].y;
    return arc;
}

void Locomotion::FollowHeadset()
{
    if (Blocks(ClassAt(head)))
        MoveTo(lastGoodFeet);
    else
        lastGoodFeet = feet;
}

void Locomotion::MoveTo(const PimVector3& target)
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimVrController& headset = vr.GetHeadsetController();
    const float height = headset.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::PlayArea).y;
    const PimVector3 delta =
        target - (headset.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World) - PimVector3(0.0f, height, 0.0f));
    spare += delta;
    feet += delta;
    head += delta;
    vr.SetRootPosition(vr.GetRootPosition() + delta);
    lastGoodFeet = target;
}

void Locomotion::PlaceRoot(const PimVector3& root)
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimVector3 delta = root - vr.GetRootPosition();
    spare += delta;
    feet += delta;
    head += delta;
    lastGoodFeet += delta;
    vr.SetRootPosition(root);
}

void Locomotion::SweepMove()
{
    PimVector3 points[3] = {spare, feet, head};
    PimVector3 candidates[3];
    for (int i = 0; i < 3; ++i)
    {
        candidates[i] = points[i] + velocity * dt;
        const SweepResult sweep = Sweep(points[i], candidates[i]);
        const bool isFeet = i == 1;
        if (Blocks(sweep.collisionClass) && (!isFeet || state == LocomotionState::Falling))
            candidates[i] = sweep.point;
    }
    head = candidates[2];
    spare = candidates[0];
    PimVrSystem& vr = PimVrSystem::GetInstance();
    vr.SetRootPosition(vr.GetRootPosition() + (candidates[1] - feet));
    feet = candidates[1];
}

void Locomotion::JumpCheck()
{
    const float s = standingHeight;
    const float e = eyeHeight;
    if (e < 0.95f * s)
        jumpCharge = e >= 0.75f * s ? 1.0f : 0.0f;
    if (e > 1.028f * s && jumpCharge > 0.0f)
    {
        jumpCharge = 0.75f;
        if (state != LocomotionState::Falling)
            SetState(LocomotionState::Rising);
        jumpCharge = 0.0f;
    }
    jumpCharge = std::max(0.0f, jumpCharge - frameMs * 0.001f * 5.0f);
}

void Locomotion::Fly()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimVrController& off = vr.GetHandController(OffHandRole());
    const float throttle = off.GetValue(PimVrButton::PadTouch);
    const float acceleration = (kMaxFlySpeed - kMinFlySpeed) * 0.25f;
    if (throttle <= 0.1f)
        flyRate *= std::pow(0.9f, dt * 90.0f);
    else if (flyRate < kMinFlySpeed)
        flyRate = kMinFlySpeed * 2.0f;
    else
        flyRate = std::min(flyRate + acceleration * dt, kMaxFlySpeed);
    flySpeed = flyRate * dt;

    PimVector3 target = feet;
    if (flyRate > kMinFlySpeed)
    {
        const PimMatrix4x4 orientation =
            vr.GetController(PimVrDeviceIndex::Headset).GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
        const PimVector3 direction = orientation.TransformDirection({1.0f, 0.0f, 0.0f}) * off.GetValue(PimVrButton::PadX) +
                                     orientation.TransformDirection({0.0f, 0.0f, -1.0f}) * off.GetValue(PimVrButton::PadY);
        target = feet + direction * flySpeed;
    }
    MoveTo(target);
    // MoveTo keeps the target as the last good place; inside a solid voxel the one before stays.
    if (Blocks(ClassAt(head)))
        lastGoodFeet = lastGoodFlying;
    else
        lastGoodFlying = feet;
}

void Locomotion::TeleportStep()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimVrController& off = vr.GetHandController(OffHandRole());
    aiming = off.GetValue(PimVrButton::PadTouch) != 0.0f;
    teleportCooldown = std::max(0.0f, teleportCooldown - frameMs);
    if (off.GetValue(PimVrButton::PadClick) > 0.0f)
    {
        if (teleportCooldown == 0.0f && targetValid)
            MoveTo(teleportTarget + PimVector3(0.0f, 0.1f, 0.0f));
        teleportCooldown = kTeleportCooldownMs;
    }
    targetValid = false;
    if (!aiming)
        return;
    const PimVector3 start = off.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World);
    const PimVector3 direction =
        off.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World).TransformDirection({0.0f, 0.0f, -1.0f});
    const Arc arc = TraceArc(start, direction, kTeleportRange, -1.0f / gravity);
    const float clearance = Probe(arc.hit + PimVector3(0.0f, eyeHeight, 0.0f)).Lowest() - 0.1f;
    PimColor colour = kArcInvalid;
    if (arc.descending && clearance > 0.0f)
    {
        colour = kArcValid;
        teleportTarget = PimVector3(arc.hit.x, arc.hit.y + eyeHeight - clearance, arc.hit.z);
        targetValid = true;
    }
    else
        teleportTarget = head + PimVector3(0.0f, -1000000.0f, 0.0f);
    arcLine->SetColor(colour);
    arcLine->SetPoints(arc.points);
}

void Locomotion::Draw()
{
    if (!aiming || state != LocomotionState::Teleport)
        return;
    arcLine->RunDraw();
    if (targetValid && reticleLoaded)
    {
        reticle->SetLocation(teleportTarget + PimVector3(0.0f, 0.01f, 0.0f));
        reticle->SetScale(vrScale / 1.5f);
        reticle->RunDraw();
    }
}
