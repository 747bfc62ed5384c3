// The box tools' work on voxels without hands: the cube and sphere fills, emptying a box, and the
// clipboard's mirror, rotate and paste.

#include "tests/editing/voxel_target_fixture.h"

#include "editing/ClearBox.h"
#include "editing/Clipboard.h"
#include "editing/FillCube.h"
#include "editing/FillSphere.h"

namespace
{
using BoxTools = VoxelTargetFixture;

// Content where every cell differs: its value names its cell.
VoxelBox Numbered(int sx, int sy, int sz)
{
    VoxelBox box(sx, sy, sz);
    for (int y = 0; y < sy; ++y)
        for (int z = 0; z < sz; ++z)
            for (int x = 0; x < sx; ++x)
                box.Set(x, y, z, static_cast<std::uint16_t>(1 + x + 10 * y + 100 * z));
    return box;
}

TEST_F(BoxTools, TheSphereFillFollowsTheLowerCornerTest)
{
    FillSphere::Fill(target, {10, 10, 10}, {0, 0, 0}, kRed);
    EXPECT_EQ(At(0, 5, 5), kRed);
    EXPECT_EQ(At(9, 5, 5), kRed);
    EXPECT_EQ(At(5, 0, 5), kRed);
    EXPECT_EQ(At(5, 5, 9), kRed);
    std::set<int> diagonal;
    for (int k = 0; k < 10; ++k)
        if (At(k, k, k) == kRed)
            diagonal.insert(k);
    EXPECT_EQ(diagonal, (std::set<int>{3, 4, 5, 6, 7}));
    EXPECT_EQ(At(10, 5, 5), 0) << "the upper corner is exclusive";
    // Symmetric about x = 5 (the lower-corner test), not about the box's middle at 4.5.
    EXPECT_EQ(CellsOf(kRed).count({1, 2, 5}), CellsOf(kRed).count({9, 2, 5}));
}

TEST_F(BoxTools, TheCubeFillKeepsToTheContainerAndItsCornerOrder)
{
    // A box partly below 0 fills only its part at 0 or more.
    FillCube::Fill(target, {4, 3, 2}, {-3, -3, -3}, kRed);
    EXPECT_EQ(CellsOf(kRed).size(), 4u * 3u * 2u);
    EXPECT_EQ(At(0, 0, 0), kRed);
    EXPECT_EQ(At(3, 2, 1), kRed);
    // And beyond the container's far side (64 voxels) nothing is written.
    FillCube::Fill(target, {70, 1, 1}, {60, 0, 0}, kBlue);
    EXPECT_EQ(CellsOf(kBlue).size(), 4u);
    // A face dragged past the opposite face: the upper corner below the lower one fills nothing.
    const std::uint64_t writes = target.GetWriteCount();
    EXPECT_EQ(FillCube::Fill(target, {20, 30, 20}, {30, 20, 30}, kBlue), 0u);
    EXPECT_EQ(FillSphere::Fill(target, {20, 30, 30}, {30, 20, 20}, kBlue), 0u);
    EXPECT_EQ(target.GetWriteCount(), writes);
}

TEST_F(BoxTools, ClearingEmptiesTheBoxInEitherCornerOrderAndNotBelowZero)
{
    FillCube::Fill(target, {12, 12, 12}, {0, 0, 0}, kRed);
    ClearBox::Clear(target, {-4, 2, 2}, {6, 8, 8}); // corners as a face dragged past: min/max order
    EXPECT_EQ(At(0, 2, 2), 0);
    EXPECT_EQ(At(5, 7, 7), 0);
    EXPECT_EQ(At(6, 7, 7), kRed) << "the upper side is exclusive";
    EXPECT_EQ(At(0, 1, 2), kRed);
    EXPECT_EQ(CellsOf(kRed).size(), 12u * 12u * 12u - 6u * 6u * 6u);
}

class ClipboardTest : public VoxelTargetFixture
{
protected:
    std::recursive_mutex mutex;
    Clipboard clipboard{mutex};
};

TEST_F(ClipboardTest, MirroringAnOddClipboardTwiceAndTurningBackAndForthRestoreIt)
{
    const VoxelBox original = Numbered(5, 3, 7);
    ASSERT_TRUE(clipboard.Hold(original, {10, 10, 10}));
    for (int axis = 0; axis < 3; ++axis)
    {
        clipboard.Mirror(axis);
        EXPECT_NE(clipboard.GetContent(), original) << axis;
        clipboard.Mirror(axis);
        EXPECT_EQ(clipboard.GetContent(), original) << axis;
    }
    // The middle layer of an odd size stays in place.
    clipboard.Mirror(0);
    EXPECT_EQ(clipboard.GetContent().At(2, 1, 3), original.At(2, 1, 3));
    EXPECT_EQ(clipboard.GetContent().At(0, 1, 3), original.At(4, 1, 3));
    clipboard.Mirror(0);
    for (int axis = 0; axis < 3; ++axis)
    {
        clipboard.Rotate(axis, 1);
        clipboard.Rotate(axis, -1);
        EXPECT_EQ(clipboard.GetContent(), original) << axis;
        EXPECT_EQ(clipboard.GetSize(), PimVector3(5, 3, 7));
    }
    EXPECT_EQ(clipboard.GetPlacement(), PimVector3(10, 10, 10)) << "the lower corner stays";
}

TEST_F(ClipboardTest, TurningANonCubicClipboardFollowsTheIndexMaps)
{
    const VoxelBox original = Numbered(2, 3, 4); // Nx 2, Ny 3, Nz 4
    // About y (a = x, b = z): +1 takes (x, z) to (z, Nx - 1 - x); sizes x and z swap.
    ASSERT_TRUE(clipboard.Hold(original, {0, 0, 0}));
    clipboard.Rotate(1, 1);
    EXPECT_EQ(clipboard.GetSize(), PimVector3(4, 3, 2));
    EXPECT_EQ(clipboard.GetContent().At(3, 2, 1 - 0), original.At(0, 2, 3));
    EXPECT_EQ(clipboard.GetContent().At(0, 1, 0), original.At(1, 1, 0));
    // About x (a = y, b = z): -1 takes (y, z) to (Nz - 1 - z, y).
    ASSERT_TRUE(clipboard.Hold(original, {0, 0, 0}));
    clipboard.Rotate(0, -1);
    EXPECT_EQ(clipboard.GetSize(), PimVector3(2, 4, 3));
    EXPECT_EQ(clipboard.GetContent().At(1, 4 - 1 - 1, 2), original.At(1, 2, 1));
    // About z (a = x, b = y): +1 takes (x, y) to (y, Nx - 1 - x).
    ASSERT_TRUE(clipboard.Hold(original, {0, 0, 0}));
    clipboard.Rotate(2, 1);
    EXPECT_EQ(clipboard.GetSize(), PimVector3(3, 2, 4));
    EXPECT_EQ(clipboard.GetContent().At(2, 1, 3), original.At(0, 2, 3));
    // Four quarter turns come back.
    for (int turn = 0; turn < 3; ++turn)
        clipboard.Rotate(2, 1);
    EXPECT_EQ(clipboard.GetContent(), original);
}

TEST_F(ClipboardTest, PastingKeepsTheContainerUnderEmptyCellsAndCanBeRepeated)
{
    FillCube::Fill(target, {10, 3, 10}, {0, 0, 0}, kBlue);
    VoxelBox content(3, 3, 3);
    content.Set(1, 1, 1, kRed);
    content.Set(0, 0, 0, kRed);
    ASSERT_TRUE(clipboard.Hold(content, {2, 1, 2}));
    clipboard.Paste(target);
    EXPECT_EQ(At(2, 1, 2), kRed);
    EXPECT_EQ(At(3, 2, 3), kRed);
    EXPECT_EQ(At(4, 2, 4), kBlue) << "an empty cell keeps the voxel below it";
    EXPECT_EQ(At(3, 3, 3), 0) << "and empty air stays empty";
    // Carried half a voxel and then a whole one: the content follows in whole voxels, and pastes
    // again from there.
    clipboard.Grab({3.0f, 2.0f, 3.0f});
    clipboard.Carry({3.6f, 2.0f, 3.0f});
    EXPECT_EQ(clipboard.GetPlacement(), PimVector3(2, 1, 2));
    clipboard.Carry({5.0f, 2.0f, 3.0f});
    EXPECT_EQ(clipboard.GetPlacement(), PimVector3(4, 1, 2));
    clipboard.Paste(target);
    EXPECT_EQ(At(5, 2, 3), kRed);
    EXPECT_TRUE(clipboard.IsHeld()) << "still held after pasting";
}

TEST_F(ClipboardTest, ReleasingForgetsTheContentAndTooLargeContentIsNotHeld)
{
    ASSERT_TRUE(clipboard.Hold(Numbered(4, 4, 4), {0, 0, 0}));
    clipboard.Release();
    EXPECT_FALSE(clipboard.IsHeld());
    EXPECT_EQ(clipboard.GetSize(), PimVector3(0, 0, 0));
    EXPECT_EQ(clipboard.GetModel().GetTotalChunks(), 0);
    EXPECT_TRUE(clipboard.Hold(VoxelBox(100, 1, 1, kRed), {0, 0, 0}));
    EXPECT_EQ(clipboard.GetModel().GetXCount(), 4) << "size / 32 + 1 chunks along x";
    EXPECT_FALSE(clipboard.Hold(VoxelBox(101, 1, 1, kRed), {0, 0, 0}));
    EXPECT_FALSE(clipboard.IsHeld());
    EXPECT_EQ(clipboard.Paste(target), 0u);
}
}
