#pragma once

#include "engine/PimShader.h"

#include <cstdint>
#include <functional>
#include <memory>

// A shader program shared by every object of one kind (all voxel cubes, all arrows), loaded the
// first time it is needed in each GL context. A program that fails to load has been reported by
// PimShader; it is not tried again until a new context opens, so a missing file is reported once
// instead of every frame. The shader object itself stays the same across contexts, so meshes may
// hold it. Main thread only, like all GL.
class PerContextShader
{
public:
    // The loader fills the shader (LoadShader or LoadShaderDirect) and returns its success.
    explicit PerContextShader(std::function<bool(PimShader&)> loader);

    // The loaded program for the current context, or null without GL or after a failure.
    const PimShader* Get();
    // The shader object, loaded or not, for holders such as PimRenderableMesh.
    std::shared_ptr<const PimShader> GetShared() const { return shader; }

private:
    std::function<bool(PimShader&)> load;
    std::shared_ptr<PimShader> shader = std::make_shared<PimShader>();
    std::uint32_t triedGeneration = 0;
};
