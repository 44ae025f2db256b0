#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <cstdio>

TEST(TestSupport, TempDirsAreFreshAndDistinct)
{
    auto a = zttest::MakeTempDir("support");
    auto b = zttest::MakeTempDir("support");
    EXPECT_NE(a, b);
    EXPECT_TRUE(std::filesystem::is_empty(a));
    EXPECT_EQ(zttest::CaptureStdout([] { std::printf("hello\n"); }), "hello\n");
}
