#pragma once

#include "update/UpdateServer.h"

#include <string>
#include <string_view>

// Hands a verified installer over to the updater program, which installs it once this program
// has ended. The updater is started in a session of its own, so it lives on when the program
// ends, with:
//
//   quillot-updater --token <kToken> --wait <this process id> --package <installer>
//                   --sha256 <published digest> --install <install folder>
//
// The token keeps the updater from acting when it is started by hand. Main thread.
namespace UpdaterLaunch
{
inline constexpr std::string_view kToken = "{6F1C2A9E-3B7D-4E58-A0C4-91D2E7B35F08}";

// Starts the server's updater program; an empty string when it runs, else why it could not start.
std::string Start(const UpdateServer& server, const std::string& installer, const std::string& sha256);
}
