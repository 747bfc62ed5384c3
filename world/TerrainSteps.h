#pragma once

#include "world/HeightMap.h"
#include "world/TerrainRandom.h"

#include <cstdint>

// The building blocks of the terrain generators, working on a height map of W x D samples.
// Pure functions of their arguments (the random figures included): the main thread calls them
// while it generates a world; any thread may call them on maps of its own.
namespace TerrainSteps
{
// Height a walk raises the samples it passes inside the central disc to.
inline constexpr std::uint16_t kWalkHeight = 500;

// A point at a random angle (whole degrees) and a random radius (random figure below W with its
// lowest bit cleared, halved) around the centre (W / 2, W / 2): x = trunc(cos(a) * r + W / 2),
// z likewise with sin. The angle is drawn first. Sines and cosines come from a fixed-point table,
// so the point is the same on every machine.
void PickDiscPoint(int width, TerrainRandom& random, int& x, int& z);

// Where a walk step that ended at `position` on an axis `extent` samples long lands: one that left
// the map re-enters on the far side (position < 0: += extent - brush; position + brush >= extent:
// += brush - extent), so that with brush 1 a step to -1 lands on extent - 2 and a step to
// extent - 1 lands on 0.
int WrapStep(int position, int brush, int extent);

// A random walk of `steps` steps from a point picked in the central disc. Each step moves x and
// then z by -brush, 0 or +brush (x drawn first); a walk that leaves the map re-enters on the far
// side (WrapStep along x with W, then along z with D). After each
// step the brush x brush square from (x, z) is raised to kWalkHeight while (x, z) lies inside
// the disc of radius W / 2 around the centre (distance squared at most (W / 2)^2 - 10);
// outside it only the sample (x, z) is lowered to 0. Squares are clipped to the map.
void WalkStamp(HeightMap& map, std::int32_t steps, int brush, TerrainRandom& random);

// `passes` times, every sample becomes trunc((trunc(h * (weight - 1)) + the sum of its 3 x 3
// neighbourhood, itself included) / (weight - 1 + 9)); neighbours wrap around along x and are
// clamped at the edges along z. Each pass reads the result of the one before. Weights below 1
// count as 1 (a plain 3 x 3 mean).
void SmoothMap(HeightMap& map, int passes, int weight);

// The preview's two wavy shore lines over a map filled with 50: a line near the far edge (large
// z) with samples rising toward that edge, and one near the near edge with samples falling toward
// row 1. Each line draws its figures once: angle step, amplitude, slope, offset and growth.
void DrawWavyLines(HeightMap& preview, TerrainRandom& random);
}
