#include "app/CrashReport.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

TEST(CrashReport, FileNameJoinsFolderTimeAndProcessWithinTheBuffer)
{
    char name[64];
    ASSERT_TRUE(FormatCrashFileName(name, sizeof(name), "/tmp/Crashes", 1700000000, 42));
    EXPECT_STREQ(name, "/tmp/Crashes/crash-1700000000-42.txt");
    ASSERT_TRUE(FormatCrashFileName(name, sizeof(name), "/tmp/Crashes/", 0, 7));
    EXPECT_STREQ(name, "/tmp/Crashes/crash-0-7.txt");
    // Too long for the buffer: refused, never written past it.
    char small[16];
    EXPECT_FALSE(FormatCrashFileName(small, sizeof(small), "/tmp/Crashes", 1700000000, 42));
    EXPECT_FALSE(FormatCrashFileName(small, 0, "/tmp", 1, 1));
}

// A crashing process writes its report and still ends by the signal.
TEST(CrashReport, FatalSignalWritesAReportAndEndsTheProcess)
{
    TempFolder temp;
    const std::filesystem::path folder = temp.Path() / "Crashes";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        if (!InstallCrashReporting(folder.string()))
            _exit(3);
        std::raise(SIGSEGV);
        _exit(4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    std::vector<std::filesystem::path> reports;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        reports.push_back(entry.path());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].filename().string().find("-" + std::to_string(child) + ".txt"), std::string::npos);
    std::ifstream file(reports[0]);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("signal: SIGSEGV"), std::string::npos);
    EXPECT_NE(text.str().find("backtrace:"), std::string::npos);
}
