#include "engine/PimEyeOutput.h"

namespace
{
std::shared_ptr<PimEyeOutput>& Installed()
{
    static std::shared_ptr<PimEyeOutput> output;
    return output;
}
}

void PimEyeOutput::Install(std::shared_ptr<PimEyeOutput> output)
{
    Installed() = std::move(output);
}

const std::shared_ptr<PimEyeOutput>& PimEyeOutput::GetInstalled()
{
    return Installed();
}
