#include "editing/Clipboard.h"

#include "editing/EditTarget.h"

#include "world/VoxelWorld2.h"

#include "engine/PimMatrix4x4.h"
#include "engine/PimTexture.h"
#include "engine/PimVoxelGrid.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace
{
constexpr PimColor kWireColour{255, 255, 255, 255};
constexpr int kSide = PimVoxelGrid::kSide;

// Chunks of the drawn block along an axis of the given size.
std::uint8_t ChunkCount(int size)
{
    return static_cast<std::uint8_t>(size / kSide + 1);
}
}

Clipboard::Clipboard(std::recursive_mutex& editMutexIn) : editMutex(editMutexIn)
{
    wireBox.AddBox({0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, kWireColour);
}

Clipboard::~Clipboard() = default;

PimVector3 Clipboard::GetSize() const
{
    return PimVector3(static_cast<float>(content.GetSizeX()), static_cast<float>(content.GetSizeY()),
                      static_cast<float>(content.GetSizeZ()));
}

void Clipboard::SetFaceTexture(std::shared_ptr<const PimTexture> texture)
{
    faceTexture = std::move(texture);
    model.LoadTextures(faceTexture);
}

bool Clipboard::Copy(VoxelWorld2& world, const PimVector3& lowerCorner, const PimVector3& upperCorner)
{
    std::lock_guard hold(editMutex);
    Release();
    const PimVector3 lower = lowerCorner.Integerize();
    const PimVector3 upper = upperCorner.Integerize();
    const PimVector3 span = upper - lower;
    for (int axis = 0; axis < 3; ++axis)
        if (std::fabs(span[axis]) > static_cast<float>(kMaxSize))
            return false;
    const PimVector3 low = PimVector3::Max(PimVector3::Min(lower, upper), PimVector3(0.0f, 0.0f, 0.0f));
    const PimVector3 high = PimVector3::Max(lower, upper);
    // A box wholly below 0 on an axis keeps nothing once clamped: nothing to hold.
    for (int axis = 0; axis < 3; ++axis)
        if (high[axis] <= low[axis])
            return false;
    const PimVector3 size = high - low;
    VoxelBox read(static_cast<int>(size.x), static_cast<int>(size.y), static_cast<int>(size.z));
    world.ReadBox(low, read);
    if (!faceTexture)
        faceTexture = world.GetFaceTexture();
    return Hold(std::move(read), low);
}

bool Clipboard::Hold(VoxelBox newContent, const PimVector3& lowerCorner)
{
    std::lock_guard hold(editMutex);
    Release();
    for (int axis = 0; axis < 3; ++axis)
        if (newContent.GetSize(axis) > kMaxSize)
            return false;
    if (newContent.IsEmpty())
        return false;
    content = std::move(newContent);
    position = lowerCorner.Integerize();
    held = true;
    RebuildModel();
    return true;
}

void Clipboard::Release()
{
    std::lock_guard hold(editMutex);
    held = false;
    grabbed = false;
    content.Clear();
    unmeshed.clear();
    model.SetLocation({0.0f, 0.0f, 0.0f});
    model.Create(0, 0, 0);
}

std::size_t Clipboard::Paste(EditTarget& target)
{
    std::lock_guard hold(editMutex);
    if (!held)
        return 0;
    const PimVector3 at = GetPlacement();
    const std::size_t changed = target.WriteBox(at, content, true);
    // In a world only the chunks written into and those beside them can have changed faces.
    if (VoxelWorld2* world = target.GetWorld())
        world->RegenerateBox(at, at + GetSize(), false, true);
    else
        target.Rebuild();
    return changed;
}

void Clipboard::Mirror(int axis)
{
    std::lock_guard hold(editMutex);
    if (!held || axis < 0 || axis > 2)
        return;
    const int sx = content.GetSizeX(), sy = content.GetSizeY(), sz = content.GetSizeZ();
    if (axis == 0)
    {
        for (int y = 0; y < sy; ++y)
            for (int z = 0; z < sz; ++z)
                std::reverse(content.Row(y, z), content.Row(y, z) + sx);
    }
    else if (axis == 1)
    {
        for (int y = 0; y < sy / 2; ++y)
            for (int z = 0; z < sz; ++z)
                std::swap_ranges(content.Row(y, z), content.Row(y, z) + sx, content.Row(sy - 1 - y, z));
    }
    else
    {
        for (int y = 0; y < sy; ++y)
            for (int z = 0; z < sz / 2; ++z)
                std::swap_ranges(content.Row(y, z), content.Row(y, z) + sx, content.Row(y, sz - 1 - z));
    }
    RebuildModel();
}

void Clipboard::Rotate(int axis, int direction)
{
    std::lock_guard hold(editMutex);
    if (!held || axis < 0 || axis > 2 || (direction != 1 && direction != -1))
        return;
    const int a = axis == 0 ? 1 : 0;
    const int b = axis == 2 ? 1 : 2;
    const int na = content.GetSize(a);
    const int nb = content.GetSize(b);
    int newSize[3] = {content.GetSizeX(), content.GetSizeY(), content.GetSizeZ()};
    newSize[a] = nb;
    newSize[b] = na;
    VoxelBox turned(newSize[0], newSize[1], newSize[2]);
    int c[3];
    for (c[1] = 0; c[1] < content.GetSizeY(); ++c[1])
        for (c[2] = 0; c[2] < content.GetSizeZ(); ++c[2])
            for (c[0] = 0; c[0] < content.GetSizeX(); ++c[0])
            {
                int n[3] = {c[0], c[1], c[2]};
                if (direction > 0)
                {
                    n[a] = c[b];
                    n[b] = na - 1 - c[a];
                }
                else
                {
                    n[a] = nb - 1 - c[b];
                    n[b] = c[a];
                }
                turned.Set(n[0], n[1], n[2], content.At(c[0], c[1], c[2]));
            }
    content = std::move(turned);
    RebuildModel();
}

void Clipboard::RebuildModel()
{
    // Back to the block's own frame first: Create lays the new chunks out from the origin.
    model.SetLocation({0.0f, 0.0f, 0.0f});
    const int sx = content.GetSizeX(), sy = content.GetSizeY(), sz = content.GetSizeZ();
    model.Create(ChunkCount(sx), ChunkCount(sy), ChunkCount(sz));
    model.SetSpecialColors(true);
    if (faceTexture)
        model.LoadTextures(faceTexture);
    unmeshed.clear();
    for (int index = 0; index < model.GetTotalChunks(); ++index)
    {
        PimVoxelGrid& chunk = *model.GetChunk(index);
        chunk.UseSpecialColors(true);
        const PimVector3 at = chunk.GetLocation();
        const int x0 = static_cast<int>(at.x), y0 = static_cast<int>(at.y), z0 = static_cast<int>(at.z);
        const int width = std::clamp(sx - x0, 0, kSide);
        chunk.LockVoxelMutex();
        chunk.FillVoxels(0);
        if (width > 0 && y0 < sy && z0 < sz)
        {
            std::uint16_t* voxels = chunk.SetVoxels();
            for (int y = y0; y < std::min(sy, y0 + kSide); ++y)
                for (int z = z0; z < std::min(sz, z0 + kSide); ++z)
                    std::copy_n(content.Row(y, z) + x0, width,
                                voxels + PimVoxelGrid::GetIndex(0, static_cast<std::uint16_t>(y - y0),
                                                                static_cast<std::uint16_t>(z - z0)));
        }
        chunk.UnLockVoxelMutex();
        unmeshed.push_back(index);
    }
    PlaceModel();
}

void Clipboard::SetPosition(const PimVector3& newPosition)
{
    position = newPosition;
    PlaceModel();
}

void Clipboard::PlaceModel()
{
    model.SetLocation(GetPlacement());
}

bool Clipboard::Contains(const PimVector3& point) const
{
    if (!held)
        return false;
    const PimVector3 end = position + GetSize();
    return point.x >= position.x && point.y >= position.y && point.z >= position.z && point.x < end.x &&
           point.y < end.y && point.z < end.z;
}

void Clipboard::Grab(const PimVector3& at)
{
    grabbed = true;
    grabPoint = at;
}

void Clipboard::Carry(const PimVector3& to)
{
    if (!grabbed)
        return;
    SetPosition(position + (to - grabPoint));
    grabPoint = to;
}

void Clipboard::Update()
{
    const auto start = std::chrono::steady_clock::now();
    std::size_t done = 0;
    while (done < unmeshed.size())
    {
        PimVoxelGrid* chunk = model.GetChunk(unmeshed[done++]);
        if (chunk == nullptr)
            continue;
        chunk->Initialize();
        chunk->SetGridStatus(PimVoxelGrid::kStatusToBuild);
        chunk->BuildGrid();
        chunk->GLLoad();
        const double spent = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (spent >= kMeshBudgetMs)
            break;
    }
    unmeshed.erase(unmeshed.begin(), unmeshed.begin() + static_cast<std::ptrdiff_t>(done));
    if (grabbed)
        wireBox.SetModel(PimMatrix4x4::CreateTranslation(position) * PimMatrix4x4::CreateScale(GetSize()));
}

void Clipboard::Draw()
{
    if (!held)
        return;
    for (int index = 0; index < model.GetTotalChunks(); ++index)
        model.GetChunk(index)->Draw();
    if (grabbed)
        wireBox.Draw();
}
