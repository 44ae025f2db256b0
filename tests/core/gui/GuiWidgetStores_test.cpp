// The fixed-size texts of the debug GUI: value-view lines and the drop-down item buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/gui/GuiDropDownListManager.h"
#include "core/gui/GuiVarViewManager.h"

namespace ztengine {
namespace {

TEST(GuiVarViewTest, LineIsLabelBlankAndValueInItsTypesFormat)
{
    char percent = '%';
    int negative = -42;
    unsigned big = 4000000000u;
    float third = 1.0f / 3.0f;
    double fps = 59.94;
    double huge = 1.0e300;
    struct Case {
        GuiVarView view;
        const char* line;
    };
    const Case cases[] = {
        {{&percent, GuiVarViewChar, "Mode"}, "Mode %"},
        {{&negative, GuiVarViewInt, "Current State"}, "Current State -42"},
        {{&big, GuiVarViewUnsigned, "Count"}, "Count 4000000000"},
        {{&third, GuiVarViewFloat, "F"}, "F 0.333333343"},
        {{&fps, GuiVarViewDouble, "FPS   : "}, "FPS   :  59.940000000"},
        // The value keeps its first 31 characters.
        {{&huge, GuiVarViewDouble, "H"}, "H 1000000000000000052504760255204"},
        {{&negative, GuiVarViewInt, "100% sure"}, "100% sure -42"},
    };
    for (const Case& c : cases) {
        char line[GuiVarViewManager::kLineSize];
        ASSERT_TRUE(GuiVarViewManager::FormatLine(c.view, line)) << c.line;
        EXPECT_STREQ(line, c.line);
    }

    const std::string longLabel(300, 'x');
    char line[GuiVarViewManager::kLineSize];
    ASSERT_TRUE(GuiVarViewManager::FormatLine({&negative, GuiVarViewInt, longLabel}, line));
    EXPECT_EQ(std::string(line), std::string(127, 'x'));

    const GuiVarView noFormat{&negative, static_cast<GuiVarViewType>(1), "x"};
    EXPECT_FALSE(GuiVarViewManager::FormatLine(noFormat, line));
}

TEST(GuiDropDownTest, ItemBufferHoldsWholeItemsAndEndsWithTwoNuls)
{
    struct Case {
        const char* what;
        std::vector<std::string> items;
        size_t size;
        int written;
        std::string buffer;  // what the buffer starts with, NULs included
    };
    using namespace std::string_literals;
    const Case cases[] = {
        {"plain", {"MAIN_MENU", "GAMEPLAY"}, 64, 2, "MAIN_MENU\0GAMEPLAY\0\0"s},
        {"no items", {}, 64, 0, "\0"s},
        // The combo then offers "a" alone: the empty item ends its list.
        {"empty item", {"a", "", "b"}, 64, 3, "a\0\0b\0\0"s},
        {"exactly full", {"abc", "de"}, 8, 2, "abc\0de\0\0"s},
        {"one byte short", {"abc", "def"}, 8, 1, "abc\0\0"s},
        {"first too long", {"abcdefgh"}, 8, 0, "\0"s},
    };
    for (const Case& c : cases) {
        std::vector<char> buffer(c.size, '#');
        const int written =
            GuiDropDownListManager::BuildItemBuffer(c.items, buffer.data(), c.size);
        EXPECT_EQ(written, c.written) << c.what;
        EXPECT_EQ(std::string(buffer.data(), c.buffer.size()), c.buffer) << c.what;
    }

    // The real buffer with more than it holds: every item that fits is whole.
    std::vector<std::string> many(1000, std::string(20, 'n'));
    GuiDropDownList list;
    const int written =
        GuiDropDownListManager::BuildItemBuffer(many, list.itemBuffer, sizeof(list.itemBuffer));
    EXPECT_EQ(written, 8191 / 21);
    EXPECT_EQ(list.itemBuffer[written * 21], '\0');
    EXPECT_EQ(list.itemBuffer[written * 21 - 1], '\0');
}

TEST(GuiDropDownTest, LabelIsCutToItsField)
{
    GuiDropDownListManager lists;
    std::vector<std::string> items = {"a"};
    const int index = lists.Add(std::string(100, 'L'), &items);
    EXPECT_EQ(std::string(lists.At(index)->label), std::string(63, 'L'));
    EXPECT_EQ(*lists.Selection(index), 0);
}

}  // namespace
}  // namespace ztengine
