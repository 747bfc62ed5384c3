#pragma once

#include <cstdint>

class GameSettingsActiveGame;

// The seed a world's terrain is generated from. A rolling or island world must grow the same
// terrain every time it is opened, or the land around its edited chunks changes and the model
// is torn at the seams, so the seed is kept in the world's settings file ("WorldSeed").
//
// Returns the seed recorded in the active game (the world's settings as its store opened them).
// Without one (a new world, or a world saved before seeds were kept) a seed is drawn
// (WorldSetup::DrawSeed) and recorded in the active game, so that the world's next save keeps it.
// Main thread, after the world's store has opened and before its terrain is generated.
std::uint32_t TakeWorldSeed(GameSettingsActiveGame& activeGame);
