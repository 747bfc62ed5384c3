#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimTexture.h"
#include "engine/PimVector3.h"
#include "engine/PimWString.h"

#include <memory>

// A model's thumbnail shown in 3-D: a cube of one unit whose near faces are left out (front
// faces culled), so that the user looks into it and sees the six cells of a 3 x 2 picture on its
// inner walls - the thumbnail's +x, +z and up views on the top row, -x, -z and down below, each
// on the wall it looked at. It fades out with distance and is not drawn beyond 15 units.
//
// The picture file is read the first time the cube is drawn within range, and only one cube
// reads its file per frame, so a hall of many models opens at once and fills in as the user
// walks along it. A file that cannot be read leaves the cube undrawn.
//
// The mesh buffers and the shader ("pictureVoxelShader.vs/.ps") are shared by every cube and
// made on the first draw in each GL context. Main thread only.
class PictureCube
{
public:
    static constexpr float kRange = 15.0f;

    // The cube's minimum corner.
    void SetPosition(const PimVector3& newPosition) { position = newPosition; }
    const PimVector3& GetPosition() const { return position; }
    // The picture to read (again) at the next draw in range; the one shown so far is dropped.
    void SetPicturePath(const PimWString& path);
    const PimWString& GetPicturePath() const { return picturePath; }
    // A picture given directly (no file).
    void SetPicture(PimTexture picture);
    bool HasPicture() const { return texture.IsValid(); }

    // Fade for a camera at squared distance d2: 1 - d2 / 225, clamped to 0 .. 1.
    static float FadeAt(float distanceSquared);

    void Draw();

private:
    bool LoadWhenDue();

    PimVector3 position;
    PimWString picturePath;
    PimTexture texture;
    bool loadTried = true;
};
