#include "engine/PimAssert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

TEST(PimAssert, FalseConditionIsCountedLoggedAndReturns)
{
    const auto log = std::filesystem::temp_directory_path() / "quillot-assert-test.log";
    std::filesystem::remove(log);
    const std::string previous = PimAssert::GetLogFile();
    PimAssert::SetLogFile(log.string());
    PimAssert::ResetFailureCount();

    PimAssert::Assert(true, "never reported");
    PimAssert::Assert(false, "Must be in range");
    PimAssert::Assert(false, "File corruption warning");

    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);
    EXPECT_EQ(PimAssert::GetLastMessage(), "File corruption warning");
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Must be in range\nFile corruption warning\n");

    PimAssert::SetLogFile(previous);
    std::filesystem::remove(log);
}
