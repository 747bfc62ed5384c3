#pragma once

#include "engine/PimTexture.h"

#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <cstdint>
#include <string>
#include <string_view>

// Where a generator family writes and what it reads: the Content folder being made, and the input
// files named on the command line as name=path (e.g. font=/usr/share/.../DejaVuSansMono.ttf).
// Every failure is printed to stderr with the file concerned.
class ContentOutput
{
public:
    ContentOutput(std::filesystem::path root, std::map<std::string, std::filesystem::path> inputs);

    const std::filesystem::path& Root() const { return root; }
    // The named input; prints why and gives nothing when it was not given or does not exist.
    std::optional<std::filesystem::path> Input(std::string_view name) const;

    // Makes a folder (and its parents) below the content folder; `relative` uses "/".
    bool MakeFolder(std::string_view relative) const;
    // Writes a picture as an RGBA PNG below the content folder, making its folder first.
    bool WritePicture(std::string_view relative, const PimTexture& picture) const;
    // Writes bytes as a file below the content folder (sounds, voxel models), making its folder first.
    bool WriteBytes(std::string_view relative, std::span<const std::uint8_t> bytes) const;

private:
    std::filesystem::path root;
    std::map<std::string, std::filesystem::path> inputs;
};
