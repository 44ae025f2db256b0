// ListFiles and ReadTextFile: wildcard listing that is sorted and case-insensitive as on Windows,
// text reading with CR LF as LF, and the messages for what is not there.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/util/FileUtils.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

using zttest::WriteBytes;

class ListFilesTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new fs::path(zttest::MakeTempDir("list_files"));
        for (const char* name : {"walk.fbx", "Idle.FBX", "attack.Fbx", "notes.txt", "beta.json",
                                 "Alpha.json", "gamma.JSON", ".hidden.fbx"})
            WriteBytes(*s_dir / name, "x");
        fs::create_directory(*s_dir / "sub.fbx");
    }
    static void TearDownTestSuite() { delete s_dir; }

    static std::string Pattern(const std::string& namePattern)
    {
        return s_dir->string() + "/" + namePattern;
    }

    static fs::path* s_dir;
};
fs::path* ListFilesTest::s_dir = nullptr;

struct ListCase {
    const char* pattern;
    std::vector<std::string> expected;
};

void PrintTo(const ListCase& c, std::ostream* os)
{
    *os << c.pattern;
}

class ListFilesPatterns : public ListFilesTest, public testing::WithParamInterface<ListCase> {};

TEST_P(ListFilesPatterns, MatchCaseInsensitivelyAndSortByName)
{
    std::vector<std::string> out;
    const std::string printed =
        zttest::CaptureStdout([&] { ztengine::ListFiles(Pattern(GetParam().pattern), out); });
    EXPECT_EQ(out, GetParam().expected);
    EXPECT_EQ(printed, "");
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, ListFilesPatterns,
    testing::Values(
        ListCase{"*.FBX", {".hidden.fbx", "attack.Fbx", "Idle.FBX", "sub.fbx", "walk.fbx"}},
        ListCase{"*.fbx", {".hidden.fbx", "attack.Fbx", "Idle.FBX", "sub.fbx", "walk.fbx"}},
        ListCase{"*.json", {"Alpha.json", "beta.json", "gamma.JSON"}},
        ListCase{"?eta.*", {"beta.json"}},
        ListCase{"NOTES.TXT", {"notes.txt"}},
        ListCase{"*",
                 {".hidden.fbx", "Alpha.json", "attack.Fbx", "beta.json", "gamma.JSON", "Idle.FBX",
                  "notes.txt", "sub.fbx", "walk.fbx"}}));

TEST_F(ListFilesTest, AppendsAfterWhatTheListHeld)
{
    std::vector<std::string> out{"none"};
    ztengine::ListFiles(Pattern("*.txt"), out);
    EXPECT_EQ(out, (std::vector<std::string>{"none", "notes.txt"}));
}

TEST_F(ListFilesTest, NoMatchReportsThePatternAndLeavesTheListAlone)
{
    for (const std::string& pattern :
         {Pattern("*.wav"), s_dir->string() + "/absent/*", zttest::MakeTempDir("empty").string() + "/*"}) {
        std::vector<std::string> out{"none"};
        testing::internal::CaptureStderr();
        const std::string printed =
            zttest::CaptureStdout([&] { ztengine::ListFiles(pattern, out); });
        const std::string shown = testing::internal::GetCapturedStderr();
        EXPECT_EQ(printed, "No files found for: " + pattern + "\n");
        EXPECT_NE(shown.find("No files found for: " + pattern), std::string::npos) << shown;
        EXPECT_EQ(out, std::vector<std::string>{"none"});
    }
}

struct TextCase {
    const char* name;
    std::string bytes;
    std::string text;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReadTextFileCases : public testing::TestWithParam<TextCase> {};

TEST_P(ReadTextFileCases, ReadsCrLfAsLf)
{
    const fs::path file = zttest::MakeTempDir("read_text") / "file.txt";
    WriteBytes(file, GetParam().bytes);
    std::string text;
    const std::string printed =
        zttest::CaptureStdout([&] { text = ztengine::ReadTextFile(file.string()); });
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(printed, "");
}

INSTANTIATE_TEST_SUITE_P(
    Contents, ReadTextFileCases,
    testing::Values(TextCase{"Empty", "", ""},
                    TextCase{"CrLfLines", "one\r\ntwo\r\n", "one\ntwo\n"},
                    TextCase{"LfLines", "one\ntwo", "one\ntwo"},
                    TextCase{"LoneCrStays", "a\rb\r", "a\rb\r"},
                    TextCase{"CrCrLf", "a\r\r\nb", "a\r\nb"},
                    TextCase{"NulBytesKept", std::string("a\0b\r\n", 5), std::string("a\0b\n", 4)},
                    TextCase{"Large", std::string(100000, 'z') + "\r\n", std::string(100000, 'z') + "\n"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(ReadTextFile, MissingFileOrFolderReportsAndGivesEmptyText)
{
    const fs::path dir = zttest::MakeTempDir("read_missing");
    for (const std::string& path : {(dir / "absent.json").string(), dir.string()}) {
        std::string text = "unchanged";
        testing::internal::CaptureStderr();
        const std::string printed =
            zttest::CaptureStdout([&] { text = ztengine::ReadTextFile(path); });
        const std::string shown = testing::internal::GetCapturedStderr();
        EXPECT_EQ(text, "");
        EXPECT_EQ(printed, "Error loading file: " + path + "\n");
        EXPECT_NE(shown.find("Error loading file: " + path), std::string::npos) << shown;
    }
}

TEST(ReadTextFile, ReadsAPipeThatHasNoSize)
{
    const fs::path fifo = zttest::MakeTempDir("read_fifo") / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        std::ofstream out(fifo, std::ios::binary);
        out << "from\r\na pipe";
    });
    const std::string text = ztengine::ReadTextFile(fifo.string());
    writer.join();
    EXPECT_EQ(text, "from\na pipe");
}

}  // namespace
