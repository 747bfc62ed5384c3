#pragma once

#include <string>
#include <string_view>

// The user agent of the program's requests to its server: "quillot/0.56", or "quillot/0.56d" on
// a development machine, so the server's logs can leave developers' requests out.
//
// A development machine is one whose user folder is, character for character, the user folder
// of the user who configured the build on the machine it was built on: the build records that
// folder (QUILLOT_DEVELOPMENT_USER_FOLDER, by default $XDG_DATA_HOME or ~/.local/share of the
// configuring user, followed by "/Quillot/"). A release build sets it empty and always sends the
// plain agent. A plain function; any thread.
namespace UserAgent
{
inline constexpr std::string_view kPlain = "quillot/0.56";
inline constexpr std::string_view kDevelopment = "quillot/0.56d";

// userFolder and developmentFolder in native form; a trailing "/" does not count.
std::string For(std::string_view userFolder, std::string_view developmentFolder);
// The agent of this build for the user folder (native form).
std::string ForThisBuild(std::string_view userFolder);
}
