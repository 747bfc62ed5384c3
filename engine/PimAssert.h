#pragma once

#include <string>
#include <string_view>

// Reports internal inconsistencies without stopping the program: a false condition writes its
// message to standard error and appends it to the log file, then the call returns and the caller
// carries on. Any thread may call it.
class PimAssert
{
public:
    static void Assert(bool condition, std::string_view message);

    // The log file assertion messages are appended to; empty disables the file.
    // Defaults to "quillot-assert.log" in the system temporary folder.
    static void SetLogFile(const std::string& path);
    static std::string GetLogFile();

    // Number of failed assertions since start (or since ResetFailureCount); tests use it
    // to check that a fault was reported.
    static unsigned long GetFailureCount();
    static std::string GetLastMessage();
    static void ResetFailureCount();
};
