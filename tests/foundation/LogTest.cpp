#include "foundation/Log.h"

#include <gtest/gtest.h>

namespace salvora {
namespace {

TEST(Log, ErrorSlotIsLoggedAsItsDescriptionOrNull) {
    LogCapture capture;
    logErrorSlot(std::nullopt);
    logErrorSlot(Error{"Could not copy to", "/x/y", "File exists"});
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0], "(null)");
    EXPECT_EQ(capture.lines()[1], "Could not copy to \"/x/y\": File exists");
}

TEST(Log, SilenceDropsLinesUntilItEnds) {
    LogCapture capture;
    {
        LogSilence silence;
        logLine("dropped");
    }
    logLine("kept");
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"kept"});
}

TEST(Log, LineGoesToStandardErrorWithTimeStampAndProgramName) {
    testing::internal::CaptureStderr();
    setLogProgramName("salvora-test");
    logLine("hello");
    std::string written = testing::internal::GetCapturedStderr();
    setLogProgramName("salvora");
    EXPECT_NE(written.find(" salvora-test["), std::string::npos);
    EXPECT_EQ(written.substr(written.size() - 8), "] hello\n");
    EXPECT_EQ(written[4], '-');  // 2026-12-07 ...
}

}  // namespace
}  // namespace salvora
