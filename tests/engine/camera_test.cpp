#include "engine/PimAssert.h"
#include "engine/PimCamera.h"
#include "engine/PimDrawContext.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Normalised device coordinates of a world point as the camera's current eye sees it.
PimVector3 Ndc(const PimCamera& camera, const PimVector3& point)
{
    const PimVector4 clip = camera.GetViewProjection() * PimVector4(point, 1.0f);
    return {clip.x / clip.w, clip.y / clip.w, clip.z / clip.w};
}

void ExpectNear(const PimVector3& actual, const PimVector3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

PimEyeView EyeAt(PimEye eye, float x)
{
    PimEyeView view;
    view.eye = eye;
    view.headFromEye = PimMatrix4x4::CreateTranslation(PimVector3(x, 0.0f, 0.0f));
    return view;
}
}

TEST(PimCamera, LookAtProjectsTheTargetToTheCentreAndFieldOfViewToTheEdges)
{
    PimCamera camera;
    camera.SetPosition({0.0f, 0.0f, 4.0f});
    camera.SetTarget({0.0f, 0.0f, 0.0f});
    camera.SetFieldOfView(PimAngle::FromDegrees(90.0f));
    camera.SetViewportAspect(2.0f);  // followed while the aspect ratio is 0

    const PimVector3 centre = Ndc(camera, {0.0f, 0.0f, 0.0f});
    EXPECT_NEAR(centre.x, 0.0f, 1e-5f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-5f);
    EXPECT_GT(centre.z, -1.0f);
    EXPECT_LT(centre.z, 1.0f);
    // 90 degrees: at distance 4 the view is 4 up and, at aspect 2, 8 across.
    EXPECT_NEAR(Ndc(camera, {0.0f, 4.0f, 0.0f}).y, 1.0f, 1e-5f);
    EXPECT_NEAR(Ndc(camera, {8.0f, 0.0f, 0.0f}).x, 1.0f, 1e-5f);
    EXPECT_NEAR(Ndc(camera, {0.0f, 0.0f, 4.0f - 0.1f}).z, -1.0f, 1e-4f);  // the near plane

    camera.SetAspectRatio(4.0f / 3.0f);  // a fixed aspect ignores the viewport's
    EXPECT_NEAR(Ndc(camera, {4.0f * 4.0f / 3.0f, 0.0f, 0.0f}).x, 1.0f, 1e-5f);
    ExpectNear(camera.GetForward(), {0.0f, 0.0f, -1.0f});

    // Moving keeps the camera on its target.
    camera.SetPosition({3.0f, 0.0f, 4.0f});
    EXPECT_NEAR(Ndc(camera, {0.0f, 0.0f, 0.0f}).x, 0.0f, 1e-5f);
}

TEST(PimCamera, OrientationModeLooksAlongTheRotatedForward)
{
    PimCamera camera;
    camera.SetPosition({10.0f, 2.0f, 0.0f});
    camera.SetOrientation(PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f)));
    ExpectNear(camera.GetForward(), {-1.0f, 0.0f, 0.0f});
    const PimVector3 ahead = Ndc(camera, {5.0f, 2.0f, 0.0f});
    EXPECT_NEAR(ahead.x, 0.0f, 1e-5f);
    EXPECT_NEAR(ahead.y, 0.0f, 1e-5f);
    // Looking towards -x, +z lies to the left.
    EXPECT_LT(Ndc(camera, {5.0f, 2.0f, 1.0f}).x, 0.0f);

    // Look-at mode reports the rotation it implies.
    PimCamera lookAt;
    lookAt.SetPosition({10.0f, 2.0f, 0.0f});
    lookAt.SetTarget({0.0f, 2.0f, 0.0f});
    ExpectNear(lookAt.GetOrientation().TransformDirection({0.0f, 0.0f, -1.0f}), {-1.0f, 0.0f, 0.0f});
    ExpectNear(lookAt.GetOrientation().TransformDirection({1.0f, 0.0f, 0.0f}), {0.0f, 0.0f, -1.0f});
}

TEST(PimCamera, EachEyeSeesFromItsOwnPlaceWithItsOwnFrustum)
{
    PimCamera camera;
    camera.SetPosition({0.0f, 1.5f, 0.0f});
    camera.SetTarget({0.0f, 1.5f, -5.0f});
    const PimMatrix4x4 headView = camera.GetViewMatrix();

    camera.SetEyeView(EyeAt(PimEye::Left, -0.5f));
    ExpectNear(camera.GetEyePosition(), {-0.5f, 1.5f, 0.0f});
    const float leftX = Ndc(camera, {0.0f, 1.5f, -5.0f}).x;
    camera.SetEyeView(EyeAt(PimEye::Right, 0.5f));
    ExpectNear(camera.GetEyePosition(), {0.5f, 1.5f, 0.0f});
    const float rightX = Ndc(camera, {0.0f, 1.5f, -5.0f}).x;
    EXPECT_GT(leftX, 0.0f);  // the left eye sees the point right of its centre
    EXPECT_NEAR(rightX, -leftX, 1e-5f);
    EXPECT_EQ(camera.GetViewMatrix(), headView);  // the head's view does not depend on the eye

    // A headset frustum: 30 degrees to the left, 60 to the right, 45 up and down.
    PimEyeView asymmetric = EyeAt(PimEye::Right, 0.0f);
    asymmetric.fieldOfView = PimFieldOfView{PimAngle::FromDegrees(-30.0f), PimAngle::FromDegrees(60.0f),
                                            PimAngle::FromDegrees(45.0f), PimAngle::FromDegrees(-45.0f)};
    camera.SetEyeView(asymmetric);
    const float distance = 5.0f;
    EXPECT_NEAR(Ndc(camera, {distance * std::tan(PimAngle::DegreesToRadians(60.0f)), 1.5f, -distance}).x, 1.0f, 1e-4f);
    EXPECT_NEAR(Ndc(camera, {-distance * std::tan(PimAngle::DegreesToRadians(30.0f)), 1.5f, -distance}).x, -1.0f, 1e-4f);
    EXPECT_NEAR(Ndc(camera, {0.0f, 1.5f + distance, -distance}).y, 1.0f, 1e-4f);

    // A symmetric headset frustum equals the camera's own lens.
    PimCamera lens = camera;
    lens.SetEyeView(EyeAt(PimEye::Mono, 0.0f));
    lens.SetFieldOfView(PimAngle::FromDegrees(90.0f));
    lens.SetViewportAspect(1.0f);
    asymmetric.fieldOfView = PimFieldOfView{PimAngle::FromDegrees(-45.0f), PimAngle::FromDegrees(45.0f),
                                            PimAngle::FromDegrees(45.0f), PimAngle::FromDegrees(-45.0f)};
    camera.SetEyeView(asymmetric);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(camera.GetProjectionMatrix().GetMatrixDataArray()[i], lens.GetProjectionMatrix().GetMatrixDataArray()[i], 1e-5f);
}

TEST(PimCamera, AnInvalidLensIsReportedOnceAndGivesTheIdentity)
{
    PimAssert::ResetFailureCount();
    PimCamera camera;
    camera.SetPosition({0.0f, 0.0f, 4.0f});
    camera.SetTarget({0.0f, 0.0f, 0.0f});
    camera.SetNearPlane(0.0f);
    EXPECT_EQ(camera.GetProjectionMatrix(), PimMatrix4x4::Identity());
    camera.GetViewProjection();
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
    camera.SetNearPlane(0.1f);
    camera.SetFarPlane(512.0f);
    EXPECT_NE(camera.GetProjectionMatrix(), PimMatrix4x4::Identity());

    camera.SetTarget({0.0f, 0.0f, 4.0f});  // looking at itself
    EXPECT_EQ(camera.GetViewMatrix(), PimMatrix4x4::Identity());
    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);
}

TEST(PimCamera, AppliedCameraSeesWithThePassEyeAndStopsBeingCurrentWhenDestroyed)
{
    PimCamera passCamera;
    PimDrawContext::Enter(nullptr, &passCamera, EyeAt(PimEye::Left, -0.5f), 200, 100, 0);
    EXPECT_EQ(PimDrawContext::GetCamera(), &passCamera);
    {
        PimCamera own;
        own.SetPosition({0.0f, 0.0f, 4.0f});
        own.SetTarget({0.0f, 0.0f, 0.0f});
        own.Apply();
        EXPECT_EQ(PimDrawContext::GetCamera(), &own);
        EXPECT_EQ(own.GetEyeView().eye, PimEye::Left);
        EXPECT_EQ(PimDrawContext::GetViewProjection(), own.GetViewProjection());
        // The area's aspect (2) reached the camera: 90 degrees up is 2 x 4 across at distance 4.
        own.SetFieldOfView(PimAngle::FromDegrees(90.0f));
        EXPECT_NEAR(Ndc(own, {8.0f - 0.5f, 0.0f, 0.0f}).x, 1.0f, 1e-5f);
    }
    EXPECT_EQ(PimDrawContext::GetCamera(), nullptr);
    EXPECT_EQ(PimDrawContext::GetViewProjection(), PimMatrix4x4::Identity());
    // Pixels to clip space: the top-left corner is (-1, 1), the bottom-right (1, -1).
    const PimVector4 corner = PimDrawContext::GetScreenProjection() * PimVector4(200.0f, 100.0f, 0.0f, 1.0f);
    EXPECT_NEAR(corner.x, 1.0f, 1e-6f);
    EXPECT_NEAR(corner.y, -1.0f, 1e-6f);
    PimDrawContext::Forget(&passCamera);
}
