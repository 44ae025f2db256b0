// Reading room template files, and the three shipped files checked against the rules a playable
// floor needs from its templates.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"
#include "core/subsys/DungeonGenerator/RoomTemplate.h"
#include "support/TestSupport.h"

using namespace ztengine;

namespace {

struct ExpectedTemplate {
    float width;
    float height;
    std::string cells;  // row-major, Rows() x Columns()
};

struct ReaderCase {
    const char* name;
    std::string text;
    std::vector<ExpectedTemplate> templates;
    int errors;
    const char* errorText;  // part of the first error, or nullptr
};

std::string Cells(const RoomTemplate& t)
{
    std::string s;
    for (int r = 0; r < t.Rows(); ++r)
        for (int c = 0; c < t.Columns(); ++c)
            s += t.Cell(r, c);
    return s;
}

std::string Oversized()
{
    // 17 x 16 needs 272 cells; 16 x 16 is exactly the buffer and must still load.
    std::string text = "d,17,16\n";
    auto rows = [&](int count, int cells) {
        for (int r = 0; r < count; ++r) {
            text += "0";
            for (int c = 0; c < cells; ++c)
                text += ",#";
            text += "\n";
        }
    };
    rows(16, 16);
    text += "e\nd,16,16\n";
    rows(16, 16);
    return text + "e\nT\n";
}

TEST(RoomTemplateReader, TableOfFiles)
{
    using std::string;
    const string z(1, '\0');
    const std::vector<ReaderCase> cases = {
        {"three by two", "d,3,2\n0,#,#,#\n1,!, ,#\ne\nT\n", {{3, 2, "###! #"}}, 0, nullptr},
        {"empty field gives zero", "d,3,1\n0,,X,#\ne\n", {{3, 1, z + "X#"}}, 0, nullptr},
        {"only the first character of a field", "d,2,1\n0,#abc,Xyz\ne\n", {{2, 1, "#X"}}, 0,
         nullptr},
        {"lines after T are ignored", "d,1,1\n0,#\ne\nT\nd,1,1\n0,X\ne\n", {{1, 1, "#"}}, 0,
         nullptr},
        {"a file without T is read to its end", "d,1,1\n0,#\ne\nd,1,1\n0,X\ne",
         {{1, 1, "#"}, {1, 1, "X"}}, 0, nullptr},
        // The second template gives one row of three; its other cells are what the first left.
        {"a larger template inherits the buffer", "d,2,2\n0,a,b\n1,c,d\ne\nd,3,2\n0,x,y,z\ne\n",
         {{2, 2, "abcd"}, {3, 2, "xyzd" + z + z}}, 0, nullptr},
        {"the buffer starts with a blank", "d,2,1\ne\n", {{2, 1, " " + z}}, 0, nullptr},
        {"CR LF lines", "d,3,2\r\n0,#,#,#\r\n1,!, ,#\r\ne\r\nT\r\n", {{3, 2, "###! #"}}, 0,
         nullptr},
        {"a fractional size counts one more column", "d,1.5,1\n0,a,b\ne\n", {{1.5f, 1, "ab"}}, 0,
         nullptr},
        {"a non-numeric width is reported and its template left out",
         "d,3,2\n0,#,#,#\n1,#,#,#\ne\nd,wide,2\n0,X\ne\nd,1,1\n0,Z\ne\n",
         {{3, 2, "######"}, {1, 1, "Z"}}, 1, "rooms.dat:5:"},
        {"a number followed by text is not a number", "d,3x,2\ne\n", {}, 1, "not a number"},
        {"a missing height is reported", "d,3\ne\n", {}, 1, "rooms.dat:1:"},
        {"an oversized template is refused, a full one read", Oversized(),
         {{16, 16, string(256, '#')}}, 1, "rooms.dat:1:"},
        {"rows past the buffer are cut, not written", "d,1,1\n0" + [] {
             string s;
             for (int i = 0; i < 300; ++i)
                 s += ",q";
             return s;
         }() + "\ne\n",
         {{1, 1, "q"}}, 1, "more than 256"},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.text);
        std::vector<RoomTemplate> list;
        RoomFileReport report;
        zttest::CaptureStdout([&] { report = ReadRoomTemplates(in, "rooms.dat", list); });
        ASSERT_EQ(list.size(), c.templates.size());
        EXPECT_EQ(report.templatesRead, static_cast<int>(c.templates.size()));
        for (std::size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(list[i].size.x, c.templates[i].width);
            EXPECT_EQ(list[i].size.y, 0.0f);
            EXPECT_EQ(list[i].size.z, c.templates[i].height);
            EXPECT_EQ(Cells(list[i]), c.templates[i].cells);
        }
        ASSERT_EQ(static_cast<int>(report.errors.size()), c.errors);
        if (c.errorText) {
            EXPECT_NE(report.errors[0].find(c.errorText), std::string::npos) << report.errors[0];
        }
    }
}

TEST(RoomTemplateReader, CellsCarryTheirPositions)
{
    std::istringstream in("d,3,2\n0,a,b,c\n1,d,e,f\ne\n");
    std::vector<RoomTemplate> list;
    ReadRoomTemplates(in, "rooms.dat", list);
    ASSERT_EQ(list.size(), 1u);
    ASSERT_EQ(list[0].cells.size(), 6u);
    const MapObject& f = list[0].cells[5];
    EXPECT_EQ(f.type, 'f');
    EXPECT_EQ(f.position, ztmath::Vector3(2, 0, 1));
    EXPECT_EQ(f.scale, ztmath::Vector3(1, 1, 1));
}

TEST(RoomTemplateReader, FilesByColourAndMissingFiles)
{
    const auto dir = zttest::MakeTempDir("rooms");
    std::ofstream(dir / "YellowRooms.dat") << "d,1,1\n0,%\ne\nT\n";
    DungeonMapGenerator* gen = nullptr;
    const std::string out = zttest::CaptureStdout(
        [&] { gen = new DungeonMapGenerator(dir.string() + "/"); });
    std::unique_ptr<DungeonMapGenerator> owner(gen);
    EXPECT_EQ(out,
              "RedRooms.dat\nUnable to open RedRooms.dat\n"
              "YellowRooms.dat\n"
              "BlueRooms.dat\nUnable to open BlueRooms.dat\n");
    EXPECT_TRUE(gen->GetTemplates(1).empty());
    ASSERT_EQ(gen->GetTemplates(2).size(), 1u);
    EXPECT_EQ(gen->GetTemplates(2)[0].Cell(0, 0), '%');
    EXPECT_TRUE(gen->GetTemplates(3).empty());
    // Any other colour uses the red list.
    EXPECT_EQ(&gen->GetTemplates(0), &gen->GetTemplates(1));
    EXPECT_EQ(&gen->GetTemplates(7), &gen->GetTemplates(1));
}

// ---- The shipped files ----

bool Walkable(char c)
{
    return std::string(" !B?:").find(c) != std::string::npos;
}

bool Connected(const RoomTemplate& t, int skipRow, int skipColumn)
{
    const int rows = t.Rows();
    const int columns = t.Columns();
    std::vector<char> seen(static_cast<std::size_t>(rows * columns), 0);
    std::vector<std::pair<int, int>> stack;
    int open = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (Walkable(t.Cell(r, c)) && !(r == skipRow && c == skipColumn)) {
                ++open;
                if (stack.empty()) {
                    stack.emplace_back(r, c);
                    seen[static_cast<std::size_t>(r * columns + c)] = 1;
                }
            }
    int reached = 0;
    while (!stack.empty()) {
        const auto [r, c] = stack.back();
        stack.pop_back();
        ++reached;
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& s : steps) {
            const int nr = r + s[0];
            const int nc = c + s[1];
            if (nr < 0 || nr >= rows || nc < 0 || nc >= columns || (nr == skipRow && nc == skipColumn))
                continue;
            auto& mark = seen[static_cast<std::size_t>(nr * columns + nc)];
            if (mark || !Walkable(t.Cell(nr, nc)))
                continue;
            mark = 1;
            stack.emplace_back(nr, nc);
        }
    }
    return reached == open;
}

// The template a room of that size receives: the last one that fits.
int Chosen(const std::vector<RoomTemplate>& list, int width, int height)
{
    int chosen = -1;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].size.x <= width && list[i].size.z <= height)
            chosen = static_cast<int>(i);
    return chosen;
}

TEST(ShippedRoomFiles, EveryTemplateKeepsTheFloorPlayable)
{
    struct Theme {
        int colour;
        std::string mustUse;  // each of these appears somewhere in the file
    };
    const Theme themes[] = {{1, "XZ"}, {2, "%:~"}, {3, "^"}};
    const std::string known = " #!BX@=%:Z^~?";
    for (const Theme& theme : themes) {
        const std::string name = DungeonMapGenerator::RoomFileName(theme.colour);
        SCOPED_TRACE(name);
        std::ifstream in(std::string(ZT_DATA_DIR) + "/levels/" + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::vector<RoomTemplate> list;
        const RoomFileReport report = ReadRoomTemplates(in, name, list);
        EXPECT_TRUE(report.errors.empty());
        ASSERT_GE(list.size(), 2u);

        std::string used;
        std::set<int> chosenSomewhere;
        for (int w = 6; w <= 14; ++w)
            for (int h = (w < 10 ? 6 : 10); h <= (w < 10 ? 11 : 14); ++h)
                chosenSomewhere.insert(Chosen(list, w, h));
        EXPECT_FALSE(chosenSomewhere.count(-1)) << "a room size gets no template";
        EXPECT_FALSE(chosenSomewhere.count(static_cast<int>(list.size()) - 1))
            << "an ordinary room gets the boss template";
        EXPECT_EQ(Chosen(list, 15, 15), static_cast<int>(list.size()) - 1);

        for (std::size_t i = 0; i < list.size(); ++i) {
            const RoomTemplate& t = list[i];
            const bool boss = i + 1 == list.size();
            SCOPED_TRACE("template " + std::to_string(i));
            EXPECT_EQ(t.size.x, static_cast<float>(t.Columns())) << "whole sizes only";
            EXPECT_EQ(t.size.z, static_cast<float>(t.Rows()));
            EXPECT_GE(t.Columns(), 6);
            EXPECT_GE(t.Rows(), 6);
            if (!boss) {
                EXPECT_TRUE(chosenSomewhere.count(static_cast<int>(i)))
                    << "no room size ever takes it";
            }
            int bossCells = 0;
            for (int r = 0; r < t.Rows(); ++r) {
                for (int c = 0; c < t.Columns(); ++c) {
                    const char ch = t.Cell(r, c);
                    used += ch;
                    EXPECT_NE(known.find(ch), std::string::npos)
                        << "unknown cell " << int(ch) << " at " << r << "," << c;
                    bossCells += ch == 'B';
                    const bool border = r == 0 || c == 0 || r == t.Rows() - 1 || c == t.Columns() - 1;
                    if (border) {
                        EXPECT_TRUE(Walkable(ch)) << "blocked border at " << r << "," << c;
                    }
                }
            }
            EXPECT_TRUE(Connected(t, -1, -1)) << "walkable cells split";
            // A chest may land on any floor cell: none may be the only way through.
            for (int r = 0; r < t.Rows(); ++r) {
                for (int c = 0; c < t.Columns(); ++c) {
                    if (t.Cell(r, c) == ' ') {
                        EXPECT_TRUE(Connected(t, r, c))
                            << "a chest at " << r << "," << c << " would cut the room";
                    }
                }
            }
            if (boss) {
                EXPECT_EQ(t.Columns(), 15);
                EXPECT_EQ(t.Rows(), 15);
                EXPECT_EQ(bossCells, 1);
                for (int r = 6; r <= 8; ++r) {
                    for (int c = 6; c <= 8; ++c) {
                        EXPECT_TRUE(Walkable(t.Cell(r, c))) << "centre blocked";
                    }
                }
            } else {
                EXPECT_EQ(bossCells, 0);
                EXPECT_NE(std::count_if(t.cells.begin(), t.cells.end(),
                                        [](const MapObject& o) { return o.type == '!'; }),
                          0)
                    << "a room without spawn points has no fight";
            }
        }
        EXPECT_EQ(used.find('$'), std::string::npos) << "chests are the generator's";
        for (char ch : theme.mustUse)
            EXPECT_NE(used.find(ch), std::string::npos) << "theme misses '" << ch << "'";
    }
}

}  // namespace
