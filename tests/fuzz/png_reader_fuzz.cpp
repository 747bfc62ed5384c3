#include "engine/PimPngCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Any bytes: either a picture that matches its own size, or a failure with a reason.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PimRgbaImage image;
    std::string error;
    if (PimPngCodec::ReadMemory({data, size}, image, error))
    {
        if (image.width <= 0 || image.height <= 0
            || image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 4)
            std::abort();
    }
    else if (error.empty() || !image.pixels.empty())
    {
        std::abort();
    }
    return 0;
}
