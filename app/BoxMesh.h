#pragma once

#include "engine/PimColor.h"
#include "engine/PimRenderableMesh.h"
#include "engine/PimVector3.h"

#include <cstdint>
#include <vector>

// Vertices and triangles of an axis-aligned box between two corners, one colour, four vertices
// per face with the face's outward normal, counter-clockwise seen from outside (so back-face
// culling keeps the outside). Appends to the given lists, so several boxes make one mesh.
void AppendBox(const PimVector3& minCorner, const PimVector3& maxCorner, PimColor color,
               std::vector<PimMeshVertex>& vertices, std::vector<std::uint32_t>& indices);
