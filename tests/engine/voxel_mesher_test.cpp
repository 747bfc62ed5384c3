#include "engine/VoxelMesher.h"
#include "voxel_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
// Codes of a chunk and its six neighbour chunks in one 96^3 block; the chunk is the middle one.
class Block
{
public:
    std::uint16_t& At(int x, int y, int z) { return codes[Index(x, y, z)]; }
    std::uint16_t Read(int x, int y, int z) const { return codes[Index(x, y, z)]; }

    void Store(VoxelStorage& storage, int cx, int cy, int cz) const
    {
        std::uint16_t* out = storage.Materialise();
        for (int y = 0; y < 32; ++y)
            for (int z = 0; z < 32; ++z)
                for (int x = 0; x < 32; ++x)
                    out[PimVoxelGrid::GetIndex(x, y, z)] = Read(x + 32 * cx, y + 32 * cy, z + 32 * cz);
        storage.Compact();
    }

private:
    static int Index(int x, int y, int z) { return ((y + 32) * 96 + (z + 32)) * 96 + (x + 32); }
    std::vector<std::uint16_t> codes = std::vector<std::uint16_t>(96 * 96 * 96, 0);
};

struct MeshRun
{
    VoxelMesh mesh;
    FaceSet expected;
    FaceSet got;
    std::string problems;
};

MeshRun MeshBlock(const Block& block, const VoxelCodeTable& table, const bool linked[kVoxelFaceCount])
{
    VoxelStorage self;
    block.Store(self, 0, 0, 0);
    VoxelMesher mesher(table);
    mesher.CaptureVoxels(self);
    for (int side = 0; side < kVoxelFaceCount; ++side)
    {
        VoxelStorage neighbour;
        const VoxelFaceStep s = kVoxelFaceSteps[side];
        block.Store(neighbour, s.x, s.y, s.z);
        mesher.CaptureNeighbour(side, linked[side] ? &neighbour : nullptr);
    }
    MeshRun run;
    mesher.Build(run.mesh);
    run.expected = ExpectedFaces(
        [&](int x, int y, int z) -> std::uint16_t {
            int side = -1;
            if (x > 31)
                side = VoxelFacePosX;
            else if (x < 0)
                side = VoxelFaceNegX;
            else if (y > 31)
                side = VoxelFacePosY;
            else if (y < 0)
                side = VoxelFaceNegY;
            else if (z > 31)
                side = VoxelFacePosZ;
            else if (z < 0)
                side = VoxelFaceNegZ;
            return side >= 0 && !linked[side] ? 0 : block.Read(x, y, z);
        },
        table);
    run.got = MeshFaces(run.mesh, run.problems);
    return run;
}

constexpr bool kAllLinked[kVoxelFaceCount] = {true, true, true, true, true, true};

// Random boxes of a few codes over random noise: runs to merge, seams between codes, water
// against rock and air, guides against water.
Block RandomBlock(unsigned seed)
{
    std::mt19937 random(seed);
    const std::uint16_t palette[] = {0, VoxelCode::Rock, VoxelCode::Turf, VoxelCode::Water, VoxelCode::Guide, 0xFF01, 0xFF02};
    std::uniform_int_distribution<int> pick(0, 6);
    std::uniform_int_distribution<int> coord(-32, 63);
    std::uniform_int_distribution<int> size(1, 20);
    Block block;
    for (int box = 0; box < 60; ++box)
    {
        const std::uint16_t code = palette[pick(random)];
        const int x0 = coord(random), y0 = coord(random), z0 = coord(random);
        const int sx = size(random), sy = size(random), sz = size(random);
        for (int y = y0; y < std::min(y0 + sy, 64); ++y)
            for (int z = z0; z < std::min(z0 + sz, 64); ++z)
                for (int x = x0; x < std::min(x0 + sx, 64); ++x)
                    block.At(x, y, z) = code;
    }
    std::uniform_int_distribution<int> any(-32, 63);
    for (int noise = 0; noise < 3000; ++noise)
        block.At(any(random), any(random), any(random)) = palette[pick(random)];
    return block;
}
} // namespace

TEST(VoxelMesher, MergedMeshCoversExactlyTheVisibleFacesOfRandomChunks)
{
    std::size_t quads = 0;
    std::size_t faces = 0;
    for (unsigned seed = 1; seed <= 12; ++seed)
    {
        bool linked[kVoxelFaceCount];
        for (int side = 0; side < kVoxelFaceCount; ++side)
            linked[side] = ((seed >> side) & 1u) == 0 || seed % 3 == 0;
        const MeshRun run = MeshBlock(RandomBlock(seed), VoxelCodeTable::GetInstance(), linked);
        EXPECT_EQ(run.problems, "") << "seed " << seed;
        EXPECT_EQ(run.got.size(), run.expected.size()) << "seed " << seed;
        EXPECT_EQ(FaceDifference(run.expected, run.got), "") << "seed " << seed;
        quads += run.mesh.QuadCount();
        faces += run.expected.size();
    }
    EXPECT_LT(quads * 2, faces) << "merging should at least halve the quads";
}

TEST(VoxelMesher, FlatGroundMergesIntoOneQuadPerSide)
{
    Block block;
    for (int y = -32; y < 64; ++y)
        for (int z = -32; z < 64; ++z)
            for (int x = -32; x < 64; ++x)
                if (y < 10)
                    block.At(x, y, z) = VoxelCode::Rock;
    const MeshRun run = MeshBlock(block, VoxelCodeTable::GetInstance(), kAllLinked);
    EXPECT_EQ(run.mesh.QuadCount(), 1u); // the top, one 32 x 32 quad
    EXPECT_EQ(FaceDifference(run.expected, run.got), "");

    const bool open[kVoxelFaceCount] = {false, false, false, false, true, true};
    const MeshRun unlinked = MeshBlock(block, VoxelCodeTable::GetInstance(), open);
    EXPECT_EQ(unlinked.mesh.QuadCount(), 5u); // top and four open sides
    EXPECT_EQ(FaceDifference(unlinked.expected, unlinked.got), "");
}

TEST(VoxelMesher, WaterShowsTheGroundBehindItAndNoInnerFaces)
{
    Block block;
    for (int z = 0; z < 32; ++z)
        for (int x = 0; x < 32; ++x)
        {
            block.At(x, 0, z) = VoxelCode::Sand;
            block.At(x, 1, z) = VoxelCode::Water;
            block.At(x, 2, z) = VoxelCode::Water;
        }
    const bool open[kVoxelFaceCount] = {true, true, true, true, true, true};
    const MeshRun run = MeshBlock(block, VoxelCodeTable::GetInstance(), open);
    EXPECT_EQ(run.problems, "");
    EXPECT_EQ(FaceDifference(run.expected, run.got), "");
    EXPECT_TRUE(run.got.count({5, 0, 5, VoxelFacePosY})) << "sand top under water";
    EXPECT_FALSE(run.got.count({5, 1, 5, VoxelFaceNegY})) << "water bottom against sand";
    EXPECT_FALSE(run.got.count({5, 1, 5, VoxelFacePosY})) << "water inner face";
    EXPECT_TRUE(run.got.count({5, 2, 5, VoxelFacePosY})) << "water surface";
    ASSERT_GT(run.mesh.TranslucentQuadCount(), 0u);
    for (std::uint32_t quad = run.mesh.opaqueQuadCount; quad < run.mesh.QuadCount(); ++quad)
        EXPECT_EQ(run.mesh.vertices[quad * 4].Index(), VoxelTile::Water);
}

TEST(VoxelMesher, NegativeFaceCodesGiveFlippedFacesWithTheirTiles)
{
    VoxelCodeTable table;
    VoxelData mirrored;
    mirrored.faceTextures = {-20, -21, -22, -23, -24, -25};
    ASSERT_TRUE(table.Define(300, mirrored));
    Block block;
    for (int x = 3; x < 6; ++x)
        block.At(x, 4, 4) = 300;
    const MeshRun run = MeshBlock(block, table, kAllLinked);
    EXPECT_EQ(run.problems, "");
    EXPECT_EQ(FaceDifference(run.expected, run.got), "");
    ASSERT_EQ(run.mesh.QuadCount(), 6u);
    for (std::uint32_t quad = 0; quad < 6; ++quad)
    {
        const VoxelVertex& corner = run.mesh.vertices[quad * 4];
        EXPECT_TRUE(corner.IsFlipped());
        EXPECT_FALSE(corner.IsColour());
        EXPECT_EQ(corner.Index(), 20 + corner.Face());
    }
}

TEST(VoxelMesher, ColourVoxelsKeepTheirColourIndex)
{
    Block block;
    block.At(7, 7, 7) = 0xFF2A;
    block.At(8, 7, 7) = 0xFF2B;
    const MeshRun run = MeshBlock(block, VoxelCodeTable::GetInstance(), kAllLinked);
    EXPECT_EQ(FaceDifference(run.expected, run.got), "");
    EXPECT_EQ(run.got.at({7, 7, 7, VoxelFacePosY}), (FaceLook{0x2A, true, false, false}));
    EXPECT_EQ(run.got.at({8, 7, 7, VoxelFacePosY}), (FaceLook{0x2B, true, false, false}));
    EXPECT_FALSE(run.got.count({7, 7, 7, VoxelFacePosX})) << "hidden by the other colour";
    EXPECT_EQ(run.mesh.QuadCount(), 10u) << "different colours are not merged";
}

TEST(VoxelMesher, UniformChunksMeshOnlyTheirUncoveredBorders)
{
    Block solid;
    for (int y = 0; y < 32; ++y)
        for (int z = 0; z < 32; ++z)
            for (int x = 0; x < 32; ++x)
                solid.At(x, y, z) = VoxelCode::Rock;
    const MeshRun alone = MeshBlock(solid, VoxelCodeTable::GetInstance(), kAllLinked);
    EXPECT_EQ(alone.mesh.QuadCount(), 6u);
    EXPECT_EQ(FaceDifference(alone.expected, alone.got), "");

    Block buried = solid;
    for (int y = -32; y < 64; ++y)
        for (int z = -32; z < 64; ++z)
            for (int x = -32; x < 64; ++x)
                buried.At(x, y, z) = VoxelCode::Rock;
    EXPECT_TRUE(MeshBlock(buried, VoxelCodeTable::GetInstance(), kAllLinked).mesh.IsEmpty());

    Block checker;
    for (int y = 0; y < 32; ++y)
        for (int z = 0; z < 32; ++z)
            for (int x = 0; x < 32; ++x)
                if ((x + y + z) % 2 == 0)
                    checker.At(x, y, z) = 0xFF10;
    const MeshRun worst = MeshBlock(checker, VoxelCodeTable::GetInstance(), kAllLinked);
    EXPECT_EQ(worst.mesh.QuadCount(), 16384u * 6u);
    EXPECT_EQ(FaceDifference(worst.expected, worst.got), "");
}

TEST(VoxelMesh, QuadIndexPatternCoversOneBatch)
{
    const auto& pattern = VoxelMesh::QuadIndexPattern();
    ASSERT_EQ(pattern.size(), VoxelMesh::kQuadsPerBatch * 6);
    EXPECT_EQ(pattern[6], 4);
    EXPECT_EQ(pattern[10], 5);
    EXPECT_EQ(pattern.back(), 65535);
}
