#pragma once

#include "engine/PimAngle.h"
#include "engine/PimEye.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

// A viewer: the head's position and where it looks (a target point or an orientation), the lens
// (vertical field of view, aspect ratio, near and far planes) and the eye currently drawn.
//
// The head's view matrix does not depend on the eye and is computed once per change; a draw pass
// only sets the eye (SetEyeView), which costs one product per eye. The eye's view-projection is
// computed on first use after a change, so an object's Draw may ask for it as often as it likes.
//
// Aspect ratio 0 (the default) follows the area being drawn: the viewport sets it per pass.
// Invalid lenses (field of view outside (0, 180) degrees, near plane not positive, far not beyond
// near) and a target equal to the position are reported through PimAssert once per change and
// give the identity. Main thread only (the matrices are cached without a lock).
class PimCamera
{
public:
    PimCamera() = default;
    // A camera that is the current draw context's camera stops being it.
    ~PimCamera();
    PimCamera(const PimCamera& other);
    PimCamera& operator=(const PimCamera& other) = default;

    void SetPosition(const PimVector3& position);
    const PimVector3& GetPosition() const { return position; }
    // Look-at mode: the camera keeps facing the target as its position moves.
    void SetTarget(const PimVector3& target);
    const PimVector3& GetTarget() const { return target; }
    // The up direction of look-at mode; (0, 1, 0) unless set.
    void SetUp(const PimVector3& up);
    // Orientation mode: the camera's rotation (it looks along the matrix's -z, with +y up).
    void SetOrientation(const PimMatrix4x4& orientation);
    // The camera's rotation in either mode.
    PimMatrix4x4 GetOrientation() const;
    PimVector3 GetForward() const;

    void SetFieldOfView(PimAngle vertical);
    PimAngle GetFieldOfView() const { return fieldOfView; }
    // Width over height; 0 follows the area being drawn.
    void SetAspectRatio(float aspect);
    float GetAspectRatio() const { return aspectRatio; }
    void SetNearPlane(float distance);
    void SetFarPlane(float distance);
    float GetNearPlane() const { return nearPlane; }
    float GetFarPlane() const { return farPlane; }

    // The head's view (world to camera space), independent of the eye.
    const PimMatrix4x4& GetViewMatrix() const;

    // The eye drawn now, set by the viewport at the start of each pass.
    void SetEyeView(const PimEyeView& eye);
    const PimEyeView& GetEyeView() const { return eyeView; }
    // The drawn area's width over height, used while the aspect ratio is 0.
    void SetViewportAspect(float aspect);

    // The current eye's position in the world, view, projection and view-projection.
    PimVector3 GetEyePosition() const;
    const PimMatrix4x4& GetEyeViewMatrix() const;
    const PimMatrix4x4& GetProjectionMatrix() const;
    const PimMatrix4x4& GetViewProjection() const;

    // Makes this camera the one the rest of the current draw pass uses, seeing with the pass's eye.
    void Apply();

private:
    void HeadChanged() { headStale = true; eyeStale = true; }
    void LensChanged() { eyeStale = true; }
    void Refresh() const;

    PimVector3 position{0.0f, 0.0f, 0.0f};
    PimVector3 target{0.0f, 0.0f, -1.0f};
    PimVector3 up{0.0f, 1.0f, 0.0f};
    PimMatrix4x4 orientation;
    bool lookAt = true;

    PimAngle fieldOfView = PimAngle::FromDegrees(60.0f);
    float aspectRatio = 0.0f;
    float viewportAspect = 1.0f;
    float nearPlane = 0.1f;
    float farPlane = 1000.0f;
    PimEyeView eyeView;

    mutable bool headStale = true;
    mutable bool eyeStale = true;
    mutable PimMatrix4x4 headView;
    mutable PimMatrix4x4 eyeViewMatrix;
    mutable PimMatrix4x4 projection;
    mutable PimMatrix4x4 viewProjection;
};
