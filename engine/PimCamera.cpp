#include "engine/PimCamera.h"

#include "engine/PimDrawContext.h"

#include <cmath>

PimCamera::~PimCamera()
{
    PimDrawContext::Forget(this);
}

PimCamera::PimCamera(const PimCamera& other) = default;

void PimCamera::SetPosition(const PimVector3& newPosition)
{
    position = newPosition;
    HeadChanged();
}

void PimCamera::SetTarget(const PimVector3& newTarget)
{
    target = newTarget;
    lookAt = true;
    HeadChanged();
}

void PimCamera::SetUp(const PimVector3& newUp)
{
    up = newUp;
    HeadChanged();
}

void PimCamera::SetOrientation(const PimMatrix4x4& newOrientation)
{
    orientation = newOrientation;
    orientation.SetTranslation(PimVector3());
    lookAt = false;
    HeadChanged();
}

PimMatrix4x4 PimCamera::GetOrientation() const
{
    if (!lookAt)
        return orientation;
    PimMatrix4x4 rotation = GetViewMatrix().Transposed();
    rotation.Set(3, 0, 0.0f);
    rotation.Set(3, 1, 0.0f);
    rotation.Set(3, 2, 0.0f);
    return rotation;
}

PimVector3 PimCamera::GetForward() const
{
    return GetOrientation().TransformDirection(PimVector3(0.0f, 0.0f, -1.0f)).Normalized();
}

void PimCamera::SetFieldOfView(PimAngle vertical)
{
    fieldOfView = vertical;
    LensChanged();
}

void PimCamera::SetAspectRatio(float aspect)
{
    aspectRatio = aspect;
    LensChanged();
}

void PimCamera::SetNearPlane(float distance)
{
    nearPlane = distance;
    LensChanged();
}

void PimCamera::SetFarPlane(float distance)
{
    farPlane = distance;
    LensChanged();
}

void PimCamera::SetEyeView(const PimEyeView& eye)
{
    eyeView = eye;
    LensChanged();
}

void PimCamera::SetViewportAspect(float aspect)
{
    if (aspect == viewportAspect)
        return;
    viewportAspect = aspect;
    if (aspectRatio == 0.0f)
        LensChanged();
}

const PimMatrix4x4& PimCamera::GetViewMatrix() const
{
    if (headStale)
    {
        if (lookAt)
            headView = PimMatrix4x4::CreateLookAt(position, target, up);
        else
            headView = (PimMatrix4x4::CreateTranslation(position) * orientation).Inverted();
        headStale = false;
    }
    return headView;
}

PimVector3 PimCamera::GetEyePosition() const
{
    return GetViewMatrix().Inverted().TransformPoint(eyeView.headFromEye.GetTranslation());
}

const PimMatrix4x4& PimCamera::GetEyeViewMatrix() const
{
    Refresh();
    return eyeViewMatrix;
}

const PimMatrix4x4& PimCamera::GetProjectionMatrix() const
{
    Refresh();
    return projection;
}

const PimMatrix4x4& PimCamera::GetViewProjection() const
{
    Refresh();
    return viewProjection;
}

void PimCamera::Apply()
{
    PimDrawContext::UseCamera(this);
}

void PimCamera::Refresh() const
{
    if (!eyeStale)
        return;
    eyeViewMatrix = eyeView.headFromEye.Inverted() * GetViewMatrix();
    if (eyeView.fieldOfView)
    {
        const PimFieldOfView& sides = *eyeView.fieldOfView;
        projection = PimMatrix4x4::CreateFrustum(std::tan(sides.left.GetRadians()) * nearPlane,
                                                 std::tan(sides.right.GetRadians()) * nearPlane,
                                                 std::tan(sides.down.GetRadians()) * nearPlane,
                                                 std::tan(sides.up.GetRadians()) * nearPlane, nearPlane, farPlane);
    }
    else
    {
        const float aspect = aspectRatio != 0.0f ? aspectRatio : viewportAspect;
        projection = PimMatrix4x4::CreatePerspective(fieldOfView, aspect, nearPlane, farPlane);
    }
    viewProjection = projection * eyeViewMatrix;
    eyeStale = false;
}
