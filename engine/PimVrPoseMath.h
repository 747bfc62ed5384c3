#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

// Rotations and camera matrices of the device layer. Pure functions: any thread.
namespace PimVrPoseMath
{
// The rotation whose -z axis points along forward and whose y axis lies as close to up as it can.
// A zero forward gives the identity; a forward parallel to up picks another up axis.
PimMatrix4x4 LookRotation(const PimVector3& forward, const PimVector3& up);

// The rotation of a unit quaternion (x, y, z, w); it is normalised first, and a zero one gives the
// identity.
PimMatrix4x4 FromQuaternion(float x, float y, float z, float w);

// A rotation with a translation: T(position) x rotation.
PimMatrix4x4 RigidTransform(const PimMatrix4x4& rotation, const PimVector3& position);
// The view matrix of an eye at position with that rotation: the inverse of RigidTransform.
PimMatrix4x4 ViewFromPose(const PimMatrix4x4& rotation, const PimVector3& position);

// OpenGL projection of an off-centre view given by the tangents of its four half-angles
// (left and down usually negative), clip z in [-1, 1] from near to far. Invalid arguments
// (near not above 0, far not beyond near, an empty or inverted field) are reported through
// PimAssert and give the identity.
PimMatrix4x4 Frustum(float tanLeft, float tanRight, float tanDown, float tanUp, float nearPlane, float farPlane);
}
