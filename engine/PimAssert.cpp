#include "engine/PimAssert.h"

#include <cstdio>
#include <filesystem>
#include <mutex>

namespace
{
// Guards the log path, the counters and the file appends; taken by any thread that asserts.
std::mutex assertMutex;
std::string logFile;
bool logFileChosen = false;
unsigned long failureCount = 0;
std::string lastMessage;

const std::string& CurrentLogFile()
{
    if (!logFileChosen)
    {
        std::error_code ec;
        std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
        logFile = ec ? std::string() : (temp / "quillot-assert.log").string();
        logFileChosen = true;
    }
    return logFile;
}
}

void PimAssert::Assert(bool condition, std::string_view message)
{
    if (condition)
        return;
    std::lock_guard lock(assertMutex);
    ++failureCount;
    lastMessage.assign(message);
    std::fprintf(stderr, "Assertion: %.*s\n", static_cast<int>(message.size()), message.data());
    const std::string& path = CurrentLogFile();
    if (path.empty())
        return;
    if (std::FILE* f = std::fopen(path.c_str(), "a"))
    {
        std::fprintf(f, "%.*s\n", static_cast<int>(message.size()), message.data());
        std::fclose(f);
    }
}

void PimAssert::SetLogFile(const std::string& path)
{
    std::lock_guard lock(assertMutex);
    logFile = path;
    logFileChosen = true;
}

std::string PimAssert::GetLogFile()
{
    std::lock_guard lock(assertMutex);
    return CurrentLogFile();
}

unsigned long PimAssert::GetFailureCount()
{
    std::lock_guard lock(assertMutex);
    return failureCount;
}

std::string PimAssert::GetLastMessage()
{
    std::lock_guard lock(assertMutex);
    return lastMessage;
}

void PimAssert::ResetFailureCount()
{
    std::lock_guard lock(assertMutex);
    failureCount = 0;
    lastMessage.clear();
}
