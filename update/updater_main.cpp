// quillot-updater: installs a downloaded update once the program that downloaded it has ended.
//
//   quillot-updater --token <token> --wait <pid> --package <QuillotInstaller.tar.gz>
//                   --sha256 <digest> --install <folder>
//
// The program starts it (UpdaterLaunch) after it has verified the installer against the checksum
// its server published, and then ends. The updater waits for that process to end (at most
// kWaitSeconds), checks the installer's digest again, unpacks it over the install folder
// (PackageInstall), deletes it, and starts the program again from the install folder. Everything
// it does is appended to "update.log" beside the installer. Exits with 0 when installed, 1 when
// the installer was refused or could not be unpacked (the old program is then left as it was, or
// as far as it was replaced), 2 for wrong arguments.
#include "update/PackageInstall.h"
#include "update/Sha256.h"
#include "update/UpdaterLaunch.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace
{
constexpr int kWaitSeconds = 60;

struct Log
{
    std::FILE* file = nullptr;
    explicit Log(const std::filesystem::path& path) : file(std::fopen(path.c_str(), "a")) {}
    ~Log()
    {
        if (file != nullptr)
            std::fclose(file);
    }
    void Line(const std::string& text) const
    {
        std::fprintf(stderr, "quillot-updater: %s\n", text.c_str());
        if (file != nullptr)
            std::fprintf(file, "%lld %s\n", static_cast<long long>(std::time(nullptr)), text.c_str());
    }
};

bool WaitForExit(pid_t pid)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(kWaitSeconds);
    while (::kill(pid, 0) == 0 || errno == EPERM)
    {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

void StartProgram(const std::filesystem::path& program, const Log& log)
{
    if (!std::filesystem::exists(program))
        return;
    const std::string path = program.string();
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    if (::posix_spawn(&child, path.c_str(), nullptr, &attributes, argv, environ) != 0)
        log.Line("the program could not be started again: " + path);
    posix_spawnattr_destroy(&attributes);
}
}

int main(int argc, char** argv)
{
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    const std::string package = options["--package"];
    const std::string install = options["--install"];
    const std::string digest = options["--sha256"];
    if (argc % 2 == 0 || options["--token"] != UpdaterLaunch::kToken || package.empty() || install.empty() ||
        !Sha256::IsHexDigest(digest))
    {
        std::fprintf(stderr, "quillot-updater: started by the program when it has downloaded an update; not to be run by hand\n");
        return 2;
    }
    const Log log(std::filesystem::path(package).parent_path() / "update.log");
    const std::string& waitFor = options["--wait"];
    if (!waitFor.empty() && !WaitForExit(static_cast<pid_t>(std::stol(waitFor))))
    {
        log.Line("the program did not end within " + std::to_string(kWaitSeconds) + " seconds; nothing installed");
        return 1;
    }
    if (Sha256::OfFile(package) != digest)
    {
        log.Line("the installer does not match its checksum; deleted, nothing installed");
        std::filesystem::remove(package);
        return 1;
    }
    const PackageInstall::Outcome outcome = PackageInstall::Install(package, install);
    std::error_code ignored;
    std::filesystem::remove(package, ignored);
    if (!outcome.installed)
    {
        log.Line("not installed: " + outcome.message);
        return 1;
    }
    log.Line("installed " + std::to_string(outcome.files) + " entries into " + install);
    StartProgram(std::filesystem::path(install) / "quillot", log);
    return 0;
}
