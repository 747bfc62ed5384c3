#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cstdlib>

std::uint8_t VoxelData::Tile(int face) const
{
    return static_cast<std::uint8_t>(std::abs(static_cast<int>(faceTextures[face])) & 0xFF);
}

VoxelData VoxelData::Uniform(std::uint8_t tile, std::uint8_t collisionClass, bool translucent)
{
    VoxelData data;
    data.faceTextures.fill(tile);
    data.collisionClass = collisionClass;
    data.translucent = translucent;
    return data;
}

const VoxelCodeTable& VoxelCodeTable::GetInstance()
{
    static const VoxelCodeTable table;
    return table;
}

VoxelCodeTable::VoxelCodeTable()
{
    emptyData = VoxelData::Uniform(VoxelTile::Plain, VoxelCollision::None);
    colourData = VoxelData::Uniform(VoxelTile::Plain, VoxelCollision::Solid);
    unknownData = VoxelData::Uniform(VoxelTile::Unknown, VoxelCollision::Solid);

    VoxelData turf = VoxelData::Uniform(VoxelTile::Earth, VoxelCollision::Solid);
    turf.faceTextures[VoxelFacePosY] = VoxelTile::Grass;

    Define(VoxelCode::Water, VoxelData::Uniform(VoxelTile::Water, VoxelCollision::Liquid, true));
    Define(VoxelCode::Frame, VoxelData::Uniform(VoxelTile::Frame, VoxelCollision::Solid));
    Define(VoxelCode::Stripe, VoxelData::Uniform(VoxelTile::Stripe, VoxelCollision::Solid));
    Define(VoxelCode::Guide, VoxelData::Uniform(VoxelTile::Guide, VoxelCollision::Helper, true));
    Define(VoxelCode::Turf, turf);
    Define(VoxelCode::Rock, VoxelData::Uniform(VoxelTile::Rock, VoxelCollision::Solid));
    Define(VoxelCode::Sand, VoxelData::Uniform(VoxelTile::Sand, VoxelCollision::Solid));
    Define(VoxelCode::Brick, VoxelData::Uniform(VoxelTile::Brick, VoxelCollision::Solid));
    Define(VoxelCode::HelperCube, VoxelData::Uniform(VoxelTile::Plain, VoxelCollision::Helper));
}

VoxelCodeTable::~VoxelCodeTable() = default;

bool VoxelCodeTable::Define(std::uint16_t code, const VoxelData& data)
{
    if (code == VoxelCode::Empty || VoxelCode::IsColour(code))
        return false;
    auto at = std::lower_bound(definitions.begin(), definitions.end(), code,
                               [](const Definition& d, std::uint16_t c) { return d.code < c; });
    if (at != definitions.end() && at->code == code)
        at->data = data;
    else
        definitions.insert(at, Definition{code, data});

    translucentCodes.clear();
    for (const Definition& d : definitions)
        if (d.data.translucent)
            translucentCodes.push_back(d.code);
    RebuildLookup();
    return true;
}

void VoxelCodeTable::RebuildLookup()
{
    const DirectLookup* current = lookup.load(std::memory_order_acquire);
    if (current != nullptr)
    {
        const std::uint32_t count = current->count;
        lookup.store(nullptr, std::memory_order_release);
        CacheCodes(count);
    }
}

const VoxelData* VoxelCodeTable::FindDefinition(std::uint16_t code) const
{
    auto at = std::lower_bound(definitions.begin(), definitions.end(), code,
                               [](const Definition& d, std::uint16_t c) { return d.code < c; });
    return (at != definitions.end() && at->code == code) ? &at->data : nullptr;
}

const VoxelData& VoxelCodeTable::GetVoxelData(std::uint16_t code) const
{
    if (code == VoxelCode::Empty)
        return emptyData;
    if (VoxelCode::IsColour(code))
        return colourData;
    if (const DirectLookup* direct = lookup.load(std::memory_order_acquire); direct && code < direct->count)
    {
        const std::uint16_t slot = direct->slot[code];
        return slot == kNoDefinition ? unknownData : definitions[slot].data;
    }
    const VoxelData* found = FindDefinition(code);
    return found ? *found : unknownData;
}

bool VoxelCodeTable::IsTranslucent(std::uint16_t code) const
{
    for (std::uint16_t t : translucentCodes)
        if (t == code)
            return true;
    return false;
}

void VoxelCodeTable::CacheCodes(std::uint32_t codeCount) const
{
    codeCount = std::min<std::uint32_t>(codeCount, VoxelCode::FirstColour);
    std::lock_guard hold(lookupMutex);
    const DirectLookup* current = lookup.load(std::memory_order_acquire);
    if (current != nullptr && current->count >= codeCount)
        return;

    auto fresh = std::make_unique<DirectLookup>();
    fresh->count = codeCount;
    fresh->slot.assign(codeCount, kNoDefinition);
    for (std::size_t i = 0; i < definitions.size(); ++i)
        if (definitions[i].code < codeCount)
            fresh->slot[definitions[i].code] = static_cast<std::uint16_t>(i);
    // Readers may still hold the old lookup, so it stays alive with the table.
    lookups.push_back(std::move(fresh));
    lookup.store(lookups.back().get(), std::memory_order_release);
}

std::uint32_t VoxelCodeTable::GetCachedCodeCount() const
{
    const DirectLookup* current = lookup.load(std::memory_order_acquire);
    return current ? current->count : 0;
}
