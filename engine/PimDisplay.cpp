#include "engine/PimDisplay.h"

#include "engine/PimDisplayNone.h"
#include "engine/PimDisplaySdl.h"

#include <cstdlib>
#include <string_view>

PimDisplayBackend PimDisplay::Resolve(PimDisplayBackend requested)
{
    if (requested != PimDisplayBackend::Automatic)
        return requested;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver != nullptr && std::string_view(driver) == "offscreen" ? PimDisplayBackend::Offscreen
                                                                         : PimDisplayBackend::Window;
}

std::unique_ptr<PimDisplay> PimDisplay::Create(PimDisplayBackend backend)
{
    switch (Resolve(backend))
    {
    case PimDisplayBackend::None:
        return std::make_unique<PimDisplayNone>();
    case PimDisplayBackend::Offscreen:
        return std::make_unique<PimDisplaySdl>(PimDisplaySdl::Surface::Offscreen);
    default:
        return std::make_unique<PimDisplaySdl>(PimDisplaySdl::Surface::Window);
    }
}
