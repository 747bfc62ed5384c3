#pragma once

#include <string>

// Crash reports kept on this machine (nothing is sent anywhere). After InstallCrashReporting,
// a fatal signal (SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL) writes "crash-<seconds>-<pid>.txt"
// with the signal and a backtrace into the folder, then the signal is raised again with its
// default action, so the process still ends as it would have (core file, exit status).
// The handler uses only async-signal-safe calls and runs on its own stack, so a stack overflow
// is reported too. Call once from the main thread before anything else runs; the folder
// (native path) is created here. False when the folder cannot be made: crashes then go
// unreported but the program runs.
bool InstallCrashReporting(const std::string& crashFolder);

// The report's file name for a crash at `seconds` in process `pid`, written into `out` (a
// zero-terminated string of at most `capacity` bytes) without allocating; false when it does not
// fit. Used by the signal handler.
bool FormatCrashFileName(char* out, unsigned long capacity, const char* folder, long seconds, long pid);
