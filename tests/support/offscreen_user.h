#pragma once

#include "tests/support/TempFolder.h"

#include <string>

// A user of its own for one end-to-end test: a fresh home with its data and configuration
// folders under a temporary folder, SDL's offscreen display and its silent audio driver. The
// environment is put back as it was when the object goes.
struct OffscreenUser
{
    TempFolder temp;
    ScopedEnvironment home{"HOME", (temp.Path() / "home").string()};
    ScopedEnvironment data{"XDG_DATA_HOME", (temp.Path() / "data").string()};
    ScopedEnvironment config{"XDG_CONFIG_HOME", (temp.Path() / "config").string()};
    ScopedEnvironment video{"SDL_VIDEODRIVER", std::string("offscreen")};
    ScopedEnvironment audio{"SDL_AUDIODRIVER", std::string("dummy")};
};
