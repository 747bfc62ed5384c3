#pragma once

// A player standing in a world, as the world's holder sees it: something it updates and draws
// once a frame. The world page's player rig (its hands, editor and locomotion) implements it.
// Main thread only.
class WorldPlayer
{
public:
    virtual ~WorldPlayer() = default;

    virtual void Update() = 0;
    virtual void Draw() = 0;
};
