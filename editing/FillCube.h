#pragma once

#include "engine/PimVector3.h"

#include <cstddef>
#include <cstdint>

class EditTarget;

// The cube fill tool: every cell of the selection box - from its lower corner (inclusive) to its
// upper corner (exclusive) - takes the colour, except cells outside the container (below 0 or not
// below its extent on some axis), which are skipped. The writes hold the engine's global
// build-channel lock; EditTarget::Rebuild follows. A box whose upper corner is not above the lower
// one on some axis fills nothing. Returns the voxels that changed. Main thread.
namespace FillCube
{
std::size_t Fill(EditTarget& target, const PimVector3& upper, const PimVector3& lower, std::uint16_t colour);
}
