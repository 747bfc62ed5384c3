#include "update/InstallerManifest.h"

#include "update/Sha256.h"
#include "update/UpdateServer.h"

#include <charconv>
#include <sstream>

std::optional<InstallerManifest> InstallerManifest::Parse(std::string_view text)
{
    if (text.size() > kMaxManifest)
        return std::nullopt;
    std::istringstream line{std::string(text)};
    std::string digest, name, size, extra;
    if (!(line >> digest >> name >> size) || (line >> extra))
        return std::nullopt;
    if (!Sha256::IsHexDigest(digest) || name != UpdateServer::kInstallerName)
        return std::nullopt;
    std::uint64_t bytes = 0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), bytes);
    if (error != std::errc() || end != size.data() + size.size() || bytes == 0 || bytes > kMaxInstaller)
        return std::nullopt;
    return InstallerManifest{digest, bytes};
}
