#pragma once

#include "engine/PimVoxelGrid.h"
#include "world/WorldSetup.h"

// Fills a chunk with generated ground from the record's height map, for a chunk that has no
// stored data in a rolling or island world. Each column's height is interpolated between the
// four height-map samples around the chunk (the chunk's own column corner and the next ones
// along x and z, taken at the map's edge for the last row and column), and so is its slope.
// From the bottom up a column holds: sand below y = 3; rock below (height - 7 + slope / 10);
// turf from there up to the column's height, so one voxel thinner per 10 of slope; then water up
// to the water level and air above.
//
// Columns outside the central island - the disc around the middle of the height map whose radius
// is half the map's width, both in voxels - are left empty from top to bottom, and so is a
// chunk beyond the height map (outside the world). A chunk that comes out as one code throughout
// keeps no voxel array. The chunk ends at status 2 (ready to build); its edited flag is untouched.
//
// World worker thread (any thread may call it): reads the record, which must not change
// meanwhile, and holds the chunk's voxel lock while it writes.
void FillChunk(const WorldSetup& setup, PimVoxelGrid& chunk);
