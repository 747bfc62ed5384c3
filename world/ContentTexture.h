#pragma once

#include "engine/PimTexture.h"

#include <string_view>

// A picture of the content folder ("Graphics/Textures/modelgrid.png", "/" or "\\" between
// parts) with the given sampling. A missing or unreadable file is reported through PimAssert,
// naming the file and the reason, and gives an invalid texture: whatever draws with it then binds
// nothing and the program goes on. Any thread; the GL copy is made later on the main thread.
PimTexture LoadContentTexture(std::string_view relative, PimTextureFilter filter, PimTextureWrap wrap);
