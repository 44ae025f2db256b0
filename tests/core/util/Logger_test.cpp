// Logger: the file name built from the start time, the empty file from the start of the run, the
// records written at destruction, and silence when the folder is missing.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/util/Logger.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

using zttest::ReadBytes;

struct FileNameCase {
    int year, month, day, hour, minute, second;
    const char* expected;
};

void PrintTo(const FileNameCase& c, std::ostream* os)
{
    *os << c.expected;
}

class LoggerFileName : public testing::TestWithParam<FileNameCase> {};

TEST_P(LoggerFileName, IsTheAsctimeStampWithDashesAndDots)
{
    const FileNameCase& c = GetParam();
    const std::time_t when = LocalTime(c.year, c.month, c.day, c.hour, c.minute, c.second);
    EXPECT_EQ(ztengine::Logger::MakeFileName("./logs/", when), std::string("./logs/") + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Times, LoggerFileName,
    testing::Values(FileNameCase{2026, 12, 8, 23, 11, 56, "Tue-Dec--8-23.11.56-2026.log"},
                    FileNameCase{2026, 1, 12, 7, 5, 9, "Mon-Jan-12-07.05.09-2026.log"},
                    FileNameCase{2030, 2, 28, 0, 0, 0, "Thu-Feb-28-00.00.00-2030.log"}));

TEST(Logger, MakesItsFileOnlyWhenRecordsAreWrittenAtTheEnd)
{
    const fs::path dir = zttest::MakeTempDir("logger");
    const std::time_t when = LocalTime(2026, 12, 8, 23, 11, 56);
    const fs::path file = dir / "Tue-Dec--8-23.11.56-2026.log";
    {
        ztengine::Logger logger(dir.string() + "/", when);
        EXPECT_EQ(logger.FileName(), dir.string() + "/Tue-Dec--8-23.11.56-2026.log");
        logger.Log("GL", "", "context made");
        logger.Log("GL", "init", "shaders built");
        EXPECT_FALSE(fs::exists(file)) << "records wait for the end of the run";
    }
    EXPECT_EQ(ReadBytes(file), "{GL}: context made\n{GL}[init]: shaders built\n");
}

TEST(Logger, WithoutRecordsNoFileIsLeft)
{
    const fs::path dir = zttest::MakeTempDir("logger_empty");
    { ztengine::Logger logger(dir.string() + "/"); }
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST(Logger, MissingFolderMeansNoLogAndNoMessage)
{
    const fs::path dir = zttest::MakeTempDir("logger_missing") / "absent";
    const std::string printed = zttest::CaptureStdout([&] {
        ztengine::Logger logger(dir.string() + "/", LocalTime(2026, 12, 8, 23, 11, 56));
        EXPECT_FALSE(logger.IsOpen());
        logger.Log("GL", "init", "dropped");
    });
    EXPECT_EQ(printed, "");
    EXPECT_FALSE(fs::exists(dir));
}

}  // namespace
