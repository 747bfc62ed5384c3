#include "update/UpdaterLaunch.h"

#include <cstring>
#include <vector>

#include <spawn.h>
#include <unistd.h>

extern char** environ;

std::string UpdaterLaunch::Start(const UpdateServer& server, const std::string& installer, const std::string& sha256)
{
    const std::vector<std::string> arguments = {
        server.updaterProgram, "--token", std::string(kToken), "--wait", std::to_string(::getpid()),
        "--package", installer, "--sha256", sha256, "--install", server.installFolder,
    };
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int error = ::posix_spawn(&child, server.updaterProgram.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return "The updater could not be started: " + std::string(std::strerror(error)) + ".";
    return {};
}
