#include "app/CrashReport.h"

#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace
{
constexpr int kFatalSignals[] = {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL};
constexpr std::size_t kPathCapacity = 4096;

// Written once before the handlers are installed, read only by the handler.
char crashFolderPath[kPathCapacity];
alignas(16) char alternateStack[64 * 1024];

bool Append(char* out, unsigned long capacity, unsigned long& length, const char* text)
{
    const unsigned long size = std::strlen(text);
    if (length + size + 1 > capacity)
        return false;
    std::memcpy(out + length, text, size);
    length += size;
    out[length] = '\0';
    return true;
}

// Decimal text of a non-negative number into a buffer of at least 24 bytes.
const char* Decimal(long value, char* buffer)
{
    char* end = buffer + 23;
    *end = '\0';
    unsigned long rest = value < 0 ? 0 : static_cast<unsigned long>(value);
    do
    {
        *--end = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    return end;
}

void WriteText(int file, const char* text) { [[maybe_unused]] ssize_t written = write(file, text, std::strlen(text)); }

const char* SignalName(int signal)
{
    switch (signal)
    {
    case SIGSEGV: return "SIGSEGV (invalid memory access)";
    case SIGABRT: return "SIGABRT (abort)";
    case SIGFPE: return "SIGFPE (arithmetic fault)";
    case SIGBUS: return "SIGBUS (bus error)";
    case SIGILL: return "SIGILL (illegal instruction)";
    default: return "unknown signal";
    }
}

void OnFatalSignal(int signal)
{
    char path[kPathCapacity];
    if (FormatCrashFileName(path, sizeof(path), crashFolderPath, static_cast<long>(time(nullptr)),
                            static_cast<long>(getpid())))
    {
        const int file = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (file >= 0)
        {
            WriteText(file, "Quillot crash report\nsignal: ");
            WriteText(file, SignalName(signal));
            WriteText(file, "\nbacktrace:\n");
            void* frames[128];
            const int count = backtrace(frames, 128);
            backtrace_symbols_fd(frames, count, file);
            close(file);
        }
    }
    WriteText(STDERR_FILENO, "Quillot stopped on a fatal signal; a crash report was written to the Crashes folder.\n");
    std::signal(signal, SIG_DFL);
    raise(signal);
}
}  // namespace

bool FormatCrashFileName(char* out, unsigned long capacity, const char* folder, long seconds, long pid)
{
    if (capacity == 0)
        return false;
    out[0] = '\0';
    unsigned long length = 0;
    char number[24];
    const unsigned long folderLength = std::strlen(folder);
    const bool needsSeparator = folderLength > 0 && folder[folderLength - 1] != '/';
    return Append(out, capacity, length, folder) && (!needsSeparator || Append(out, capacity, length, "/")) &&
           Append(out, capacity, length, "crash-") && Append(out, capacity, length, Decimal(seconds, number)) &&
           Append(out, capacity, length, "-") && Append(out, capacity, length, Decimal(pid, number)) &&
           Append(out, capacity, length, ".txt");
}

bool InstallCrashReporting(const std::string& crashFolder)
{
    std::error_code error;
    std::filesystem::create_directories(crashFolder, error);
    if (error || crashFolder.size() + 64 >= kPathCapacity)
        return false;
    std::memcpy(crashFolderPath, crashFolder.c_str(), crashFolder.size() + 1);

    // The first backtrace loads the unwinder; doing it here keeps the handler from loading a
    // library while the process is in an unknown state.
    void* warmUp[1];
    backtrace(warmUp, 1);

    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof(alternateStack);
    sigaltstack(&stack, nullptr);

    struct sigaction action{};
    action.sa_handler = OnFatalSignal;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : kFatalSignals)
        sigaction(signal, &action, nullptr);
    return true;
}
