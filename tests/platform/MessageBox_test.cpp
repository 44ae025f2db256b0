// The message-box stand-in: one line on standard error, nothing on standard output.
#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "support/TestSupport.h"

namespace {

TEST(MessageBox, WritesOneLineOnStandardErrorAndReturnsAtOnce)
{
    testing::internal::CaptureStderr();
    const std::string printed = zttest::CaptureStdout([] {
        ztplatform::ShowMessageBox("Error", "No files found for: models/*");
        ztplatform::ShowMessageBox("", "untitled");
    });
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: No files found for: models/*\nuntitled\n");
    EXPECT_EQ(printed, "");
}

}  // namespace
