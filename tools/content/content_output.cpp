#include "content_output.h"

#include "engine/PimFile.h"

#include <cstdio>

ContentOutput::ContentOutput(std::filesystem::path root, std::map<std::string, std::filesystem::path> inputs)
    : root(std::move(root)), inputs(std::move(inputs))
{
}

std::optional<std::filesystem::path> ContentOutput::Input(std::string_view name) const
{
    const auto found = inputs.find(std::string(name));
    if (found == inputs.end())
    {
        std::fprintf(stderr, "quillot_content: no input named '%.*s' (give %.*s=<path>)\n", static_cast<int>(name.size()),
                     name.data(), static_cast<int>(name.size()), name.data());
        return std::nullopt;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(found->second, ec))
    {
        std::fprintf(stderr, "quillot_content: input %s is not a file\n", found->second.string().c_str());
        return std::nullopt;
    }
    return found->second;
}

bool ContentOutput::MakeFolder(std::string_view relative) const
{
    const std::filesystem::path folder = root / std::filesystem::path(relative);
    if (PimFile::MakeDirectory(folder.string()))
        return true;
    std::fprintf(stderr, "quillot_content: cannot make the folder %s\n", folder.string().c_str());
    return false;
}

bool ContentOutput::WritePicture(std::string_view relative, const PimTexture& picture) const
{
    const std::filesystem::path path = root / std::filesystem::path(relative);
    if (!MakeFolder(path.parent_path().lexically_relative(root).string()))
        return false;
    if (picture.Save(path.string()))
        return true;
    std::fprintf(stderr, "quillot_content: cannot write %s\n", path.string().c_str());
    return false;
}

bool ContentOutput::WriteBytes(std::string_view relative, std::span<const std::uint8_t> bytes) const
{
    const std::filesystem::path path = root / std::filesystem::path(relative);
    if (!MakeFolder(path.parent_path().lexically_relative(root).string()))
        return false;
    if (PimFile::WriteDataAtomic(path.string(), bytes.data(), bytes.size()))
        return true;
    std::fprintf(stderr, "quillot_content: cannot write %s\n", path.string().c_str());
    return false;
}
