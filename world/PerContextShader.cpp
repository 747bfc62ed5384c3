#include "world/PerContextShader.h"

#include "engine/PimSystem.h"

#include <utility>

PerContextShader::PerContextShader(std::function<bool(PimShader&)> loader) : load(std::move(loader))
{
}

const PimShader* PerContextShader::Get()
{
    const std::uint32_t generation = PimSystem::GetGLContextGeneration();
    if (generation == 0)
        return nullptr;
    if (triedGeneration != generation)
    {
        triedGeneration = generation;
        if (!shader->IsValid())
            load(*shader);
    }
    return shader->IsValid() ? shader.get() : nullptr;
}
