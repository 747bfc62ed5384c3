#include "update/UpdateServer.h"

#include <filesystem>
#include <system_error>

namespace
{
UpdateServer& Held()
{
    static UpdateServer server = UpdateServer::ForThisProgram();
    return server;
}
}

UpdateServer UpdateServer::ForThisProgram()
{
    UpdateServer server;
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = error ? std::filesystem::current_path(error) : executable.parent_path();
    server.installFolder = folder.string();
    server.updaterProgram = (folder / std::string(kUpdaterName)).string();
    return server;
}

const UpdateServer& UpdateServer::Current()
{
    return Held();
}

void UpdateServer::Replace(UpdateServer server)
{
    Held() = std::move(server);
}
