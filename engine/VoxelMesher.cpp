#include "engine/VoxelMesher.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUILLOT_VOXEL_SSE2 1
#endif

namespace
{
constexpr int kSide = VoxelStorage::kSide;
constexpr int kRows = kSide * kSide; // rows of 32 voxels along x, row index y * 32 + z
constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;
// Most quads one face direction can produce: one per face of every slice.
constexpr std::size_t kMaxQuadsPerDirection = kSide * kSide * kSide;

constexpr int VoxelIndex(int x, int y, int z) { return (y * kSide + z) * kSide + x; }

// Classifies rows of 32 codes into bit masks: bit x set when code x is filled / opaque.
class RowClassifier
{
public:
    explicit RowClassifier(const std::vector<std::uint16_t>& translucentCodes) : translucent(translucentCodes) {}

    // The 32 codes from `row` on.
    void Classify(const std::uint16_t* row, std::uint32_t& solid, std::uint32_t& opaque) const
    {
#ifdef QUILLOT_VOXEL_SSE2
        const __m128i* from = reinterpret_cast<const __m128i*>(row);
        const __m128i lanes[4] = {_mm_loadu_si128(from), _mm_loadu_si128(from + 1), _mm_loadu_si128(from + 2),
                                  _mm_loadu_si128(from + 3)};
        Classify(lanes, solid, opaque);
#else
        ClassifyStrided(row, 1, solid, opaque);
#endif
    }

    // The 32 codes row[0], row[stride], row[2 * stride]...
    void ClassifyStrided(const std::uint16_t* row, int stride, std::uint32_t& solid, std::uint32_t& opaque) const
    {
#ifdef QUILLOT_VOXEL_SSE2
        __m128i lanes[4];
        for (int i = 0; i < 4; ++i)
        {
            const std::uint16_t* at = row + 8 * i * stride;
            __m128i lane = _mm_cvtsi32_si128(at[0]);
            lane = _mm_insert_epi16(lane, at[stride], 1);
            lane = _mm_insert_epi16(lane, at[2 * stride], 2);
            lane = _mm_insert_epi16(lane, at[3 * stride], 3);
            lane = _mm_insert_epi16(lane, at[4 * stride], 4);
            lane = _mm_insert_epi16(lane, at[5 * stride], 5);
            lane = _mm_insert_epi16(lane, at[6 * stride], 6);
            lane = _mm_insert_epi16(lane, at[7 * stride], 7);
            lanes[i] = lane;
        }
        Classify(lanes, solid, opaque);
#else
        solid = 0;
        opaque = 0;
        for (int x = 0; x < kSide; ++x)
        {
            const std::uint16_t code = row[x * stride];
            if (code == 0)
                continue;
            solid |= 1u << x;
            if (!IsTranslucent(code))
                opaque |= 1u << x;
        }
#endif
    }

    // Classifies the 32768 codes row by row into `solid` and `opaque`, copying them to `copy`;
    // returns whether they all equal the first.
    bool ClassifyAll(const std::uint16_t* codes, std::uint32_t* solid, std::uint32_t* opaque, std::uint16_t* copy) const
    {
        std::uint32_t anySolid = 0;
        std::uint32_t allSolid = kAllBits;
        for (int r = 0; r < kRows; ++r)
        {
#ifdef QUILLOT_VOXEL_SSE2
            const __m128i* from = reinterpret_cast<const __m128i*>(codes + r * kSide);
            __m128i* to = reinterpret_cast<__m128i*>(copy + r * kSide);
            const __m128i lanes[4] = {_mm_loadu_si128(from), _mm_loadu_si128(from + 1), _mm_loadu_si128(from + 2),
                                      _mm_loadu_si128(from + 3)};
            _mm_storeu_si128(to, lanes[0]);
            _mm_storeu_si128(to + 1, lanes[1]);
            _mm_storeu_si128(to + 2, lanes[2]);
            _mm_storeu_si128(to + 3, lanes[3]);
            Classify(lanes, solid[r], opaque[r]);
#else
            std::copy(codes + r * kSide, codes + (r + 1) * kSide, copy + r * kSide);
            ClassifyStrided(codes + r * kSide, 1, solid[r], opaque[r]);
#endif
            anySolid |= solid[r];
            allSolid &= solid[r];
        }
        // Only an all-empty or an all-filled chunk can be uniform; check the rare latter fully.
        if (anySolid == 0)
            return true;
        if (allSolid != kAllBits)
            return false;
        return std::all_of(copy, copy + VoxelStorage::kCount, [first = copy[0]](std::uint16_t code) { return code == first; });
    }

    bool IsTranslucent(std::uint16_t code) const
    {
        for (std::uint16_t t : translucent)
            if (t == code)
                return true;
        return false;
    }

private:
#ifdef QUILLOT_VOXEL_SSE2
    static std::uint32_t Mask(__m128i low0, __m128i low1, __m128i high0, __m128i high1)
    {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(low0, low1))) |
               (static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(high0, high1))) << 16);
    }

    static std::uint32_t EqualMask(const __m128i lanes[4], __m128i value)
    {
        return Mask(_mm_cmpeq_epi16(lanes[0], value), _mm_cmpeq_epi16(lanes[1], value), _mm_cmpeq_epi16(lanes[2], value),
                    _mm_cmpeq_epi16(lanes[3], value));
    }

    void Classify(const __m128i lanes[4], std::uint32_t& solid, std::uint32_t& opaque) const
    {
        // Four named lanes rather than loops over arrays keep everything in registers.
        const __m128i l0 = lanes[0], l1 = lanes[1], l2 = lanes[2], l3 = lanes[3];
        solid = ~EqualMask(lanes, _mm_setzero_si128());
        opaque = solid;
        if (solid == 0 || translucent.empty())
            return;
        // Most rows hold no translucent code: one test for all of them before any mask is built.
        __m128i s0 = _mm_setzero_si128(), s1 = s0, s2 = s0, s3 = s0;
        for (std::uint16_t code : translucent)
        {
            const __m128i value = _mm_set1_epi16(static_cast<short>(code));
            s0 = _mm_or_si128(s0, _mm_cmpeq_epi16(l0, value));
            s1 = _mm_or_si128(s1, _mm_cmpeq_epi16(l1, value));
            s2 = _mm_or_si128(s2, _mm_cmpeq_epi16(l2, value));
            s3 = _mm_or_si128(s3, _mm_cmpeq_epi16(l3, value));
        }
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(s0, s1), _mm_or_si128(s2, s3))) != 0)
            opaque = solid & ~Mask(s0, s1, s2, s3);
    }
#endif
    const std::vector<std::uint16_t>& translucent;
};

// The captured codes, by voxel index.
struct ArrayCodes
{
    const std::uint16_t* codes;
    std::uint16_t operator()(int index) const { return codes[index]; }
};

// A uniform chunk's single code.
struct ConstantCodes
{
    std::uint16_t code;
    std::uint16_t operator()(int) const { return code; }
};

// Greedy merge of one slice of ±y or ±z faces: rows[v * Stride] holds the visible faces of row
// v, bit u (= x) per face, and the row's codes start at index rowStart(v). Faces merge when
// their codes are equal: a run along the row, then the run over the following rows. Only rows
// with their bit set in `occupied` are visited. Clears the rows it uses. Calls
// emit(u, v, width, height, code) per rectangle.
template <int Stride, class Codes, class RowStart, class Emit>
inline void MergeRows(std::uint32_t* rows, std::uint32_t occupied, const Codes& codes, const RowStart& rowStart,
                      const Emit& emit)
{
    for (; occupied != 0; occupied &= occupied - 1)
    {
        const int v = std::countr_zero(occupied);
        std::uint32_t row = rows[v * Stride];
        // Faces with no visible neighbour along the row or in the next row stay single: the
        // common case of broken surfaces, done without the search for runs.
        const std::uint32_t below = v + 1 < kSide ? rows[(v + 1) * Stride] : 0u;
        if ((row & ((row >> 1) | below)) == 0)
        {
            for (; row != 0; row &= row - 1)
            {
                const int u = std::countr_zero(row);
                emit(u, v, 1, 1, codes(rowStart(v) + u));
            }
            continue;
        }
        while (row != 0)
        {
            const int u = std::countr_zero(row);
            const std::uint16_t code = codes(rowStart(v) + u);
            const int runMax = std::countr_zero(~(row >> u));
            int width = 1;
            while (width < runMax && codes(rowStart(v) + u + width) == code)
                ++width;
            const std::uint32_t mask = (width == kSide ? kAllBits : ((1u << width) - 1u)) << u;
            row &= ~mask;

            int height = 1;
            for (; v + height < kSide && (rows[(v + height) * Stride] & mask) == mask; ++height)
            {
                int i = 0;
                while (i < width && codes(rowStart(v + height) + u + i) == code)
                    ++i;
                if (i < width)
                    break;
                rows[(v + height) * Stride] &= ~mask;
            }
            emit(u, v, width, height, code);
        }
    }
}

// Greedy merge of ±x faces straight from the rows (bit x of row y * 32 + z): a face extends
// along z, then the strip along y. Clears the bits it uses. Calls emit(x, z, y, width, height,
// code) per rectangle. Bit z of occupied[y] marks the rows that may hold faces.
template <class Codes, class Emit>
inline void MergeAcrossRows(std::uint32_t* rows, const std::uint32_t occupied[kSide], const Codes& codes, const Emit& emit)
{
    for (int y = 0; y < kSide; ++y)
        for (std::uint32_t zs = occupied[y]; zs != 0; zs &= zs - 1)
        {
            const int z = std::countr_zero(zs);
            std::uint32_t bits = rows[y * kSide + z];
            // Faces with no visible neighbour along z or y stay single.
            const std::uint32_t after = (z + 1 < kSide ? rows[y * kSide + z + 1] : 0u) | (y + 1 < kSide ? rows[(y + 1) * kSide + z] : 0u);
            if ((bits & after) == 0)
            {
                for (; bits != 0; bits &= bits - 1)
                {
                    const int x = std::countr_zero(bits);
                    emit(x, z, y, 1, 1, codes(VoxelIndex(x, y, z)));
                }
                continue;
            }
            while (bits != 0)
            {
                const int x = std::countr_zero(bits);
                const std::uint32_t bit = 1u << x;
                bits &= ~bit;
                const std::uint16_t code = codes(VoxelIndex(x, y, z));
                int width = 1;
                while (z + width < kSide && (rows[y * kSide + z + width] & bit) != 0 && codes(VoxelIndex(x, y, z + width)) == code)
                    rows[y * kSide + z + width++] &= ~bit;
                int height = 1;
                for (; y + height < kSide; ++height)
                {
                    std::uint32_t* strip = rows + (y + height) * kSide + z;
                    int i = 0;
                    while (i < width && (strip[i] & bit) != 0 && codes(VoxelIndex(x, y + height, z + i)) == code)
                        ++i;
                    if (i < width)
                        break;
                    for (i = 0; i < width; ++i)
                        strip[i] &= ~bit;
                }
                emit(x, z, y, width, height, code);
            }
        }
}

// Transposes a 32 x 32 bit matrix: bit j of word i becomes bit i of word j.
void Transpose32(std::uint32_t a[kSide])
{
    std::uint32_t m = 0x0000FFFFu;
    for (int j = 16; j != 0; j >>= 1, m ^= (m << j))
        for (int k = 0; k < kSide; k = ((k | j) + 1) & ~j)
        {
            const std::uint32_t t = ((a[k] >> j) ^ a[k | j]) & m;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
}

// Position bits of a vertex (see VoxelVertex).
constexpr std::uint32_t PositionBits(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x | (y << 6) | (z << 12); }

// Corner k (0 left-bottom, 1 right-bottom, 2 left-top, 3 right-top, as seen from outside) of
// the face rectangle (a0, b0)-(a0 + w, b0 + h) in plane p. a, b are the in-plane axes of the
// merge: x, z for ±y faces; x, y for ±z faces; z, y for ±x faces.
template <int Face, int K>
constexpr std::uint32_t CornerBits(std::uint32_t a0, std::uint32_t b0, std::uint32_t p, std::uint32_t w, std::uint32_t h)
{
    constexpr bool right = (K & 1) != 0;
    constexpr bool top = (K & 2) != 0;
    const std::uint32_t a = a0 + (right ? w : 0); // coordinate along a at the right edge...
    const std::uint32_t aLeft = a0 + (right ? 0 : w); // ...for faces whose right runs against a
    const std::uint32_t b = b0 + (top ? h : 0);
    const std::uint32_t bDown = b0 + (top ? 0 : h); // +y faces: up is -z
    if constexpr (Face == VoxelFacePosX) // right = -z, up = +y
        return PositionBits(p, b, aLeft);
    else if constexpr (Face == VoxelFaceNegX) // right = +z, up = +y
        return PositionBits(p, b, a);
    else if constexpr (Face == VoxelFacePosZ) // right = +x, up = +y
        return PositionBits(a, b, p);
    else if constexpr (Face == VoxelFaceNegZ) // right = -x, up = +y
        return PositionBits(aLeft, b, p);
    else if constexpr (Face == VoxelFacePosY) // right = +x, up = -z
        return PositionBits(a, p, bDown);
    else // -y: right = +x, up = +z
        return PositionBits(a, p, b);
}

struct FaceLook
{
    std::uint16_t code = 0;
    std::uint32_t bits = 0; // face, flipped, index and colour bits of its vertices
    bool translucent = false;
};
} // namespace

struct VoxelMesher::Scratch
{
    alignas(64) std::uint16_t codes[VoxelStorage::kCount];
    std::uint32_t solid[kRows];
    std::uint32_t opaque[kRows];
    std::uint32_t visible[kRows];
    std::uint32_t occupied[kSide]; // bit z of occupied[y]: row y * 32 + z of `visible` is not 0
    std::uint32_t borderSolid[kVoxelFaceCount][kSide];
    std::uint32_t borderOpaque[kVoxelFaceCount][kSide];
    // Vertices of the merged quads, opaque and translucent apart.
    std::vector<VoxelVertex> opaqueQuads;
    std::vector<VoxelVertex> translucentQuads;
    std::size_t opaqueVertices = 0;
    std::size_t translucentVertices = 0;
    RowClassifier classifier;

    explicit Scratch(const VoxelCodeTable& table) : classifier(table.GetTranslucentCodes()) {}

    // Room in both lists for every quad one more face direction can add.
    void ReserveDirection()
    {
        Grow(opaqueQuads, opaqueVertices);
        Grow(translucentQuads, translucentVertices);
    }

    static void Grow(std::vector<VoxelVertex>& quads, std::size_t used)
    {
        const std::size_t needed = used + kMaxQuadsPerDirection * 4;
        if (quads.size() < needed)
            quads.resize(std::max(needed, quads.size() * 2));
    }
};

VoxelMesher::VoxelMesher(const VoxelCodeTable& codeTable) : table(codeTable), scratch(std::make_unique<Scratch>(codeTable))
{
    std::fill(&scratch->borderSolid[0][0], &scratch->borderSolid[0][0] + kVoxelFaceCount * kSide, 0u);
    std::fill(&scratch->borderOpaque[0][0], &scratch->borderOpaque[0][0] + kVoxelFaceCount * kSide, 0u);
}

VoxelMesher::~VoxelMesher() = default;

void VoxelMesher::CaptureVoxels(const VoxelStorage& storage)
{
    if (!storage.IsFull())
    {
        uniform = true;
        uniformValue = storage.UniformValue();
        return;
    }
    const std::uint16_t* source = storage.Data();
    uniform = scratch->classifier.ClassifyAll(source, scratch->solid, scratch->opaque, scratch->codes);
    uniformValue = source[0];
}

void VoxelMesher::CaptureNeighbour(int side, const VoxelStorage* neighbour)
{
    std::uint32_t* solid = scratch->borderSolid[side];
    std::uint32_t* opaque = scratch->borderOpaque[side];
    if (neighbour == nullptr || !neighbour->IsFull())
    {
        const std::uint16_t value = neighbour ? neighbour->UniformValue() : 0;
        const bool filled = value != 0;
        std::fill(solid, solid + kSide, filled ? kAllBits : 0u);
        std::fill(opaque, opaque + kSide, filled && !table.IsTranslucent(value) ? kAllBits : 0u);
        return;
    }
    const std::uint16_t* codes = neighbour->Data();
    const RowClassifier& classify = scratch->classifier;
    switch (side)
    {
    case VoxelFacePosX:
    case VoxelFaceNegX: {
        // The neighbour's layer x = 0 (or 31) as words per y, bits z.
        const int x = side == VoxelFacePosX ? 0 : kSide - 1;
        for (int y = 0; y < kSide; ++y)
            classify.ClassifyStrided(codes + VoxelIndex(x, y, 0), kSide, solid[y], opaque[y]);
        break;
    }
    case VoxelFacePosY:
    case VoxelFaceNegY: {
        const int y = side == VoxelFacePosY ? 0 : kSide - 1;
        for (int z = 0; z < kSide; ++z)
            classify.Classify(codes + VoxelIndex(0, y, z), solid[z], opaque[z]);
        break;
    }
    default: {
        const int z = side == VoxelFacePosZ ? 0 : kSide - 1;
        for (int y = 0; y < kSide; ++y)
            classify.Classify(codes + VoxelIndex(0, y, z), solid[y], opaque[y]);
        break;
    }
    }
}

bool VoxelMesher::UniformChunkIsHidden() const
{
    const bool selfOpaque = !table.IsTranslucent(uniformValue);
    for (int side = 0; side < kVoxelFaceCount; ++side)
    {
        const std::uint32_t* hiding = selfOpaque ? scratch->borderOpaque[side] : scratch->borderSolid[side];
        for (int i = 0; i < kSide; ++i)
            if (hiding[i] != kAllBits)
                return false;
    }
    return true;
}

template <int Face>
void VoxelMesher::ComputeVisible()
{
    const std::uint32_t* S = scratch->solid;
    const std::uint32_t* O = scratch->opaque;
    const std::uint32_t* borderS = scratch->borderSolid[Face];
    const std::uint32_t* borderO = scratch->borderOpaque[Face];
    std::uint32_t* visible = scratch->visible;
    std::uint32_t* occupied = scratch->occupied;
    constexpr bool alongX = Face == VoxelFacePosX || Face == VoxelFaceNegX;
    constexpr bool alongY = Face == VoxelFacePosY || Face == VoxelFaceNegY;
    constexpr bool positive = Face == VoxelFacePosX || Face == VoxelFacePosY || Face == VoxelFacePosZ;
    // A face of row r shows where the voxel is opaque and the one across is not, or where the
    // voxel is translucent and the one across is empty.
#ifdef QUILLOT_VOXEL_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (int y = 0; y < kSide; ++y)
    {
        std::uint32_t rowsWithFaces = 0;
        for (int z = 0; z < kSide; z += 4)
        {
            const int r = y * kSide + z;
            const __m128i s4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + r));
            const __m128i o4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(O + r));
            __m128i ns; // filled voxels across the face
            __m128i no; // opaque voxels across the face
            if constexpr (alongX)
            {
                // Across is the next bit of the row; past the row's end, bit z of the border word.
                const __m128i bits = _mm_set_epi32(1 << (z + 3), 1 << (z + 2), 1 << (z + 1), 1 << z);
                const __m128i edgeBit = _mm_set1_epi32(positive ? static_cast<int>(0x80000000u) : 1);
                const __m128i edgeS = _mm_and_si128(_mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int>(borderS[y])), bits), bits), edgeBit);
                const __m128i edgeO = _mm_and_si128(_mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int>(borderO[y])), bits), bits), edgeBit);
                ns = _mm_or_si128(positive ? _mm_srli_epi32(s4, 1) : _mm_slli_epi32(s4, 1), edgeS);
                no = _mm_or_si128(positive ? _mm_srli_epi32(o4, 1) : _mm_slli_epi32(o4, 1), edgeO);
            }
            else if constexpr (alongY)
            {
                const bool inside = positive ? y < kSide - 1 : y > 0;
                const std::uint32_t* acrossS = inside ? S + r + (positive ? kSide : -kSide) : borderS + z;
                const std::uint32_t* acrossO = inside ? O + r + (positive ? kSide : -kSide) : borderO + z;
                ns = _mm_loadu_si128(reinterpret_cast<const __m128i*>(acrossS));
                no = _mm_loadu_si128(reinterpret_cast<const __m128i*>(acrossO));
            }
            else if constexpr (positive) // +z: rows z + 1, the last one from the border word
            {
                if (z + 4 < kSide)
                {
                    ns = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + r + 1));
                    no = _mm_loadu_si128(reinterpret_cast<const __m128i*>(O + r + 1));
                }
                else
                {
                    ns = _mm_set_epi32(static_cast<int>(borderS[y]), static_cast<int>(S[r + 3]), static_cast<int>(S[r + 2]), static_cast<int>(S[r + 1]));
                    no = _mm_set_epi32(static_cast<int>(borderO[y]), static_cast<int>(O[r + 3]), static_cast<int>(O[r + 2]), static_cast<int>(O[r + 1]));
                }
            }
            else // -z: rows z - 1, the first one from the border word
            {
                if (z > 0)
                {
                    ns = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + r - 1));
                    no = _mm_loadu_si128(reinterpret_cast<const __m128i*>(O + r - 1));
                }
                else
                {
                    ns = _mm_set_epi32(static_cast<int>(S[r + 2]), static_cast<int>(S[r + 1]), static_cast<int>(S[r]), static_cast<int>(borderS[y]));
                    no = _mm_set_epi32(static_cast<int>(O[r + 2]), static_cast<int>(O[r + 1]), static_cast<int>(O[r]), static_cast<int>(borderO[y]));
                }
            }
            const __m128i shown = _mm_or_si128(_mm_andnot_si128(no, o4), _mm_andnot_si128(_mm_or_si128(o4, ns), s4));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(visible + r), shown);
            const int empty = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(shown, zero)));
            rowsWithFaces |= static_cast<std::uint32_t>(~empty & 0xF) << z;
        }
        occupied[y] = rowsWithFaces;
    }
#else
    for (int y = 0; y < kSide; ++y)
    {
        std::uint32_t rowsWithFaces = 0;
        for (int z = 0; z < kSide; ++z)
        {
            const int r = y * kSide + z;
            std::uint32_t ns;
            std::uint32_t no;
            if constexpr (alongX)
            {
                const std::uint32_t edgeS = ((borderS[y] >> z) & 1u) << (positive ? kSide - 1 : 0);
                const std::uint32_t edgeO = ((borderO[y] >> z) & 1u) << (positive ? kSide - 1 : 0);
                ns = (positive ? S[r] >> 1 : S[r] << 1) | edgeS;
                no = (positive ? O[r] >> 1 : O[r] << 1) | edgeO;
            }
            else if constexpr (alongY)
            {
                const bool inside = positive ? y < kSide - 1 : y > 0;
                ns = inside ? S[r + (positive ? kSide : -kSide)] : borderS[z];
                no = inside ? O[r + (positive ? kSide : -kSide)] : borderO[z];
            }
            else
            {
                const bool inside = positive ? z < kSide - 1 : z > 0;
                ns = inside ? S[r + (positive ? 1 : -1)] : borderS[y];
                no = inside ? O[r + (positive ? 1 : -1)] : borderO[y];
            }
            visible[r] = (O[r] & ~no) | (S[r] & ~(O[r] | ns));
            rowsWithFaces |= (visible[r] != 0 ? 1u : 0u) << z;
        }
        occupied[y] = rowsWithFaces;
    }
#endif
}

template <int Face, class Codes>
void VoxelMesher::MeshFace(const Codes& codes)
{
    ComputeVisible<Face>();
    Scratch& s = *scratch;
    FaceLook look; // of the last code emitted (code 0, the initial one, never has faces)
    // Room for every quad this face direction can add; quads are written through the cursors.
    s.ReserveDirection();
    VoxelVertex* opaqueCursor = s.opaqueQuads.data() + s.opaqueVertices;
    VoxelVertex* translucentCursor = s.translucentQuads.data() + s.translucentVertices;

    // Emits the rectangle (u, v)-(u + width, v + height) of slice `slice`; u, v are the
    // slice's in-plane axes: x and z for ±y faces, x and y for ±z faces, z and y for ±x faces.
    auto emit = [&](int slice, int u, int v, int width, int height, std::uint16_t code) {
        if (code != look.code)
        {
            look.code = code;
            if (VoxelCode::IsColour(code))
            {
                look.bits = VoxelVertex::Make(0, 0, 0, Face, false, static_cast<std::uint8_t>(code & 0xFF), true).bits;
                look.translucent = false;
            }
            else
            {
                const VoxelData& data = table.GetVoxelData(code);
                look.bits = VoxelVertex::Make(0, 0, 0, Face, data.IsFlipped(Face), data.Tile(Face), false).bits;
                look.translucent = data.translucent;
            }
        }
        VoxelVertex*& cursor = look.translucent ? translucentCursor : opaqueCursor;
        VoxelVertex* q = cursor;
        cursor += 4;
        constexpr bool positive = Face == VoxelFacePosX || Face == VoxelFacePosY || Face == VoxelFacePosZ;
        const auto p = static_cast<std::uint32_t>(positive ? slice + 1 : slice);
        const auto a0 = static_cast<std::uint32_t>(u);
        const auto b0 = static_cast<std::uint32_t>(v);
        const auto w = static_cast<std::uint32_t>(width);
        const auto h = static_cast<std::uint32_t>(height);
        q[0].bits = look.bits | CornerBits<Face, 0>(a0, b0, p, w, h);
        q[1].bits = look.bits | CornerBits<Face, 1>(a0, b0, p, w, h);
        q[2].bits = look.bits | CornerBits<Face, 2>(a0, b0, p, w, h);
        q[3].bits = look.bits | CornerBits<Face, 3>(a0, b0, p, w, h);
    };

    std::uint32_t* visible = s.visible;
    std::uint32_t* occupied = s.occupied;
    if constexpr (Face == VoxelFacePosY || Face == VoxelFaceNegY)
    {
        for (int y = 0; y < kSide; ++y)
            if (occupied[y] != 0)
                MergeRows<1>(visible + y * kSide, occupied[y], codes, [y](int v) { return VoxelIndex(0, y, v); },
                             [&](int u, int v, int w, int h, std::uint16_t code) { emit(y, u, v, w, h, code); });
    }
    else if constexpr (Face == VoxelFacePosZ || Face == VoxelFaceNegZ)
    {
        Transpose32(occupied); // now bit y of occupied[z]
        for (int z = 0; z < kSide; ++z)
            if (occupied[z] != 0)
                MergeRows<kSide>(visible + z, occupied[z], codes, [z](int v) { return VoxelIndex(0, v, z); },
                                 [&](int u, int v, int w, int h, std::uint16_t code) { emit(z, u, v, w, h, code); });
    }
    else
    {
        MergeAcrossRows(visible, occupied, codes,
                        [&](int x, int u, int v, int w, int h, std::uint16_t code) { emit(x, u, v, w, h, code); });
    }
    s.opaqueVertices = static_cast<std::size_t>(opaqueCursor - s.opaqueQuads.data());
    s.translucentVertices = static_cast<std::size_t>(translucentCursor - s.translucentQuads.data());
}

void VoxelMesher::Build(VoxelMesh& out)
{
    Scratch& s = *scratch;
    s.opaqueVertices = 0;
    s.translucentVertices = 0;

    auto meshAll = [this](const auto& codes) {
        MeshFace<VoxelFacePosZ>(codes);
        MeshFace<VoxelFaceNegZ>(codes);
        MeshFace<VoxelFaceNegX>(codes);
        MeshFace<VoxelFacePosX>(codes);
        MeshFace<VoxelFacePosY>(codes);
        MeshFace<VoxelFaceNegY>(codes);
    };

    if (uniform)
    {
        // Only the border layers of a uniform chunk can show faces.
        if (uniformValue != 0 && !UniformChunkIsHidden())
        {
            const bool see = table.IsTranslucent(uniformValue);
            std::fill(s.solid, s.solid + kRows, kAllBits);
            std::fill(s.opaque, s.opaque + kRows, see ? 0u : kAllBits);
            meshAll(ConstantCodes{uniformValue});
        }
    }
    else
    {
        meshAll(ArrayCodes{s.codes});
    }

    std::vector<VoxelVertex> vertices;
    vertices.reserve(s.opaqueVertices + s.translucentVertices);
    vertices.insert(vertices.end(), s.opaqueQuads.data(), s.opaqueQuads.data() + s.opaqueVertices);
    vertices.insert(vertices.end(), s.translucentQuads.data(), s.translucentQuads.data() + s.translucentVertices);
    out.vertices.swap(vertices);
    out.opaqueQuadCount = static_cast<std::uint32_t>(s.opaqueVertices / 4);
}
