// The debug GUI's retained windows and widgets, driven headless through real ImGui frames:
// creation by name and label, clicks and edits reaching the bound variables, hidden widgets,
// drawing order, plots and the main menu bar.
#include "core/gui/GuiManager.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/gui/GuiHarness.h"

namespace ztengine {
namespace {

using zttest::GuiHarness;

class GuiManagerTest : public ::testing::Test {
protected:
    GuiHarness m_h;
};

TEST_F(GuiManagerTest, WindowsAreCreatedOnceByNameAndReopened)
{
    GuiManager& m = m_h.Manager();
    const int panel = m.CreateWindow("Panel", true, 300.0f, 200.0f);
    const int other = m.CreateWindow("Other", false, 100.0f, 100.0f);
    EXPECT_EQ(panel, 0);
    EXPECT_EQ(other, 1);

    m.m_windows[panel].visible = false;
    EXPECT_EQ(m.CreateWindow("Panel", false, 10.0f, 10.0f), panel);
    EXPECT_TRUE(m.m_windows[panel].visible);
    EXPECT_TRUE(m.m_windows[panel].listed) << "the first call's listed flag holds";
    EXPECT_FLOAT_EQ(m.m_windows[panel].width, 300.0f);
    EXPECT_EQ(m.CreateWindow("panel", true, 1.0f, 1.0f), 2) << "names are case-sensitive";

    m_h.Frame();
    m_h.Frame();
    ImGuiWindow* window = GuiHarness::Window("Panel");
    ASSERT_NE(window, nullptr);
    EXPECT_FLOAT_EQ(window->Size.x, 300.0f);
    EXPECT_FLOAT_EQ(window->Size.y, 200.0f);
    int named = 0;
    for (ImGuiWindow* w : ImGui::GetCurrentContext()->Windows)
        named += std::strcmp(w->Name, "Panel") == 0 ? 1 : 0;
    EXPECT_EQ(named, 1);
}

TEST_F(GuiManagerTest, LabelledWidgetsAreFoundByLabelAndKeepTheirFirstBinding)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 300.0f);
    int i1 = 0, i2 = 0;
    float f1 = 0.0f, f2 = 0.0f;
    float v1[3] = {}, v2[3] = {};
    char t1[64] = "", t2[64] = "";
    bool b1 = false, b2 = false;
    int calls = 0;

    struct Case {
        GuiWidgetKind kind;
        std::function<int(bool second)> add;
        std::function<const void*(int index)> bound;
        const void* first;
    };
    const GuiWindowWidgets& s = *m.GetWidgets(w);
    const std::vector<Case> cases = {
        {GuiWidgetSliderInt, [&](bool b) { return m.AddSliderInt(w, "l", b ? &i2 : &i1, 0, 9); },
         [&](int i) { return s.sliderInts.records[i].value; }, &i1},
        {GuiWidgetSliderFloat,
         [&](bool b) { return m.AddSliderFloat(w, "l", b ? &f2 : &f1, 0.0f, 1.0f); },
         [&](int i) { return s.sliderFloats.records[i].value; }, &f1},
        {GuiWidgetInputText, [&](bool b) { return m.AddInputText(w, "l", b ? t2 : t1); },
         [&](int i) { return s.inputTexts.records[i].buffer; }, t1},
        {GuiWidgetInputInt, [&](bool b) { return m.AddInputInt(w, "l", b ? &i2 : &i1); },
         [&](int i) { return s.inputInts.records[i].value; }, &i1},
        {GuiWidgetInputFloat, [&](bool b) { return m.AddInputFloat(w, "l", b ? &f2 : &f1); },
         [&](int i) { return s.inputFloats.records[i].value; }, &f1},
        {GuiWidgetInputFloat2, [&](bool b) { return m.AddInputFloat2(w, "l", b ? v2 : v1); },
         [&](int i) { return s.inputFloat2s.records[i].values; }, v1},
        {GuiWidgetInputFloat3, [&](bool b) { return m.AddInputFloat3(w, "l", b ? v2 : v1); },
         [&](int i) { return s.inputFloat3s.records[i].values; }, v1},
        {GuiWidgetCheckbox, [&](bool b) { return m.AddCheckbox(w, "l", b ? &b2 : &b1); },
         [&](int i) { return s.checkboxes[i].value; }, &b1},
        {GuiWidgetDragFloat3, [&](bool b) { return m.AddDragFloat3(w, "l", b ? v2 : v1, 0.1f); },
         [&](int i) { return s.drags[i].values; }, v1},
        {GuiWidgetButton,
         [&](bool b) { return m.AddButton(w, "l", [&calls, b] { calls += b ? 100 : 1; }); },
         [&](int) { return static_cast<const void*>(nullptr); }, nullptr},
    };
    for (const Case& c : cases) {
        const size_t entries = s.layout.size();
        const int first = c.add(false);
        m.HideWidget(w, c.kind, first);
        EXPECT_EQ(c.add(true), first) << "kind " << c.kind;
        EXPECT_EQ(s.layout.size(), entries + 1) << "kind " << c.kind;
        EXPECT_TRUE(s.layout.back().visible) << "a repeated add shows it again, kind " << c.kind;
        EXPECT_EQ(c.bound(first), c.first) << "kind " << c.kind;
    }
    s.buttons[0].callback();
    EXPECT_EQ(calls, 1) << "the button keeps its first callback";
}

TEST_F(GuiManagerTest, TextsViewsListsDropDownsAndPlotsAreAlwaysAddedAnew)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 300.0f);
    int value = 0;
    std::string text = "x";
    std::vector<std::string> rows = {"a"};
    std::vector<float> samples;
    const std::vector<std::function<int()>> adds = {
        [&] { return m.AddText(w, "same"); },
        [&] { return m.AddTextRef(w, &text); },
        [&] { return m.AddVarView(w, &value, GuiVarViewInt, "same"); },
        [&] { return m.AddList(w, &rows); },
        [&] { return m.AddDropDownList(w, "same", &rows); },
        [&] { return m.AddPlotLines(w, "same", &samples, 4, "", 0.0f, 1.0f, 0.0f, 50.0f); },
    };
    for (const auto& add : adds) {
        const int first = add();
        EXPECT_EQ(add(), first + 1);
    }
    EXPECT_EQ(m.GetWidgets(w)->layout.size(), 12u);
    m_h.Frame();  // two drop-downs or plots of one label draw side by side
}

TEST_F(GuiManagerTest, NullVariableBindsToAZeroedValueOwnedByTheGui)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 300.0f);
    const GuiWindowWidgets& s = *m.GetWidgets(w);
    const int si = m.AddSliderInt(w, "si", nullptr, 0, 5);
    const int sf = m.AddSliderFloat(w, "sf", nullptr, 0.0f, 5.0f);
    const int it = m.AddInputText(w, "it", nullptr);
    const int ii = m.AddInputInt(w, "ii", nullptr);
    const int if1 = m.AddInputFloat(w, "if", nullptr);
    const int if2 = m.AddInputFloat2(w, "if2", nullptr);
    const int if3 = m.AddInputFloat3(w, "if3", nullptr);
    const int ii2 = m.AddInputInt(w, "ii2", nullptr);

    EXPECT_EQ(*s.sliderInts.records[si].value, 0);
    EXPECT_EQ(*s.sliderFloats.records[sf].value, 0.0f);
    EXPECT_STREQ(s.inputTexts.records[it].buffer, "");
    EXPECT_EQ(*s.inputInts.records[ii].value, 0);
    EXPECT_EQ(*s.inputFloats.records[if1].value, 0.0f);
    EXPECT_EQ(s.inputFloat2s.records[if2].values[1], 0.0f);
    EXPECT_EQ(s.inputFloat3s.records[if3].values[2], 0.0f);
    EXPECT_NE(s.inputInts.records[ii].value, s.inputInts.records[ii2].value);
    EXPECT_EQ(s.inputInts.owned[1]->widgetIndex, ii2);
    m_h.Frame();
}

TEST_F(GuiManagerTest, ClickedButtonRunsItsCallbackOnce)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 200.0f);
    int clicks = 0;
    m.AddButton(w, "Press", [&clicks] { ++clicks; });
    m_h.Frame();
    const auto at = m_h.Locate("Panel", "Press");
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(clicks, 0) << "hovering is not clicking";

    m_h.Click(*at);
    EXPECT_EQ(clicks, 1);
    for (int i = 0; i < 5; ++i)
        m_h.Frame(*at);
    EXPECT_EQ(clicks, 1);
}

TEST_F(GuiManagerTest, ButtonCallbackMayAddWindowsAndWidgetsWhileTheyAreDrawn)
{
    struct Context {
        GuiManager* manager;
        int window;
        int clicks;
    };
    GuiManager& m = m_h.Manager();
    Context context{&m, m.CreateWindow("Panel", true, 300.0f, 200.0f), 0};
    // A small callable lives inside the button record, which the adds below move: it must
    // still be intact when it reads its capture after them.
    m.AddButton(context.window, "Grow", [c = &context] {
        for (int i = 0; i < 100; ++i) {
            const std::string name = "Spawned " + std::to_string(i);
            c->manager->AddButton(c->window, name, [] {});
            c->manager->AddText(c->manager->CreateWindow(name, false, 50.0f, 50.0f), name);
        }
        ++c->clicks;
    });
    m_h.Frame();
    const auto at = m_h.Locate("Panel", "Grow");
    ASSERT_TRUE(at.has_value());
    m_h.Click(*at);
    m_h.Frame();
    EXPECT_EQ(context.clicks, 1);
    EXPECT_EQ(m.m_windows.size(), 101u);
    EXPECT_EQ(m.GetWidgets(context.window)->buttons.size(), 101u);
}

TEST_F(GuiManagerTest, SlidersInputsAndCheckboxesWriteTheirVariables)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 400.0f, 300.0f);
    float level = 5.0f;
    int count = 50;
    bool on = false;
    float threshold = 0.2126f;
    char name[64] = "old";
    m.AddSliderFloat(w, "Level", &level, 0.0f, 10.0f);
    m.AddSliderInt(w, "Count", &count, 0, 100);
    m.AddCheckbox(w, "On", &on);
    m.AddInputFloat(w, "Threshold", &threshold);
    m.AddInputText(w, "Name", name);
    m_h.Frame();

    const auto levelAt = m_h.Locate("Panel", "Level");
    const auto countAt = m_h.Locate("Panel", "Count");
    const auto onAt = m_h.Locate("Panel", "On");
    const auto thresholdAt = m_h.Locate("Panel", "Threshold");
    const auto nameAt = m_h.Locate("Panel", "Name");
    ASSERT_TRUE(levelAt && countAt && onAt && thresholdAt && nameAt);

    m_h.Click(*levelAt);  // the left end of the slider
    EXPECT_LT(level, 1.0f);
    const float sliderRight = GuiHarness::Window("Panel")->Pos.x + 400.0f * 0.65f;
    m_h.Click(ImVec2(sliderRight, countAt->y));
    EXPECT_EQ(count, 100);
    m_h.Click(*onAt);
    EXPECT_TRUE(on);

    // Full precision: the field shows 0.212600, so a digit typed at its end makes 0.2126005.
    m_h.Click(*thresholdAt);
    m_h.Key(GLFW_KEY_END, GLFW_PRESS);
    m_h.Key(GLFW_KEY_END, GLFW_RELEASE);
    m_h.Type("5");
    m_h.Key(GLFW_KEY_ENTER, GLFW_PRESS);
    m_h.Key(GLFW_KEY_ENTER, GLFW_RELEASE);
    EXPECT_FLOAT_EQ(threshold, 0.2126005f);

    m_h.Click(*nameAt);
    m_h.Key(GLFW_KEY_LEFT_CONTROL, GLFW_PRESS);  // select all, through the key map
    m_h.Key(GLFW_KEY_A, GLFW_PRESS);
    m_h.Key(GLFW_KEY_A, GLFW_RELEASE);
    m_h.Key(GLFW_KEY_LEFT_CONTROL, GLFW_RELEASE);
    m_h.Type("Torch");
    m_h.Key(GLFW_KEY_ENTER, GLFW_PRESS);
    EXPECT_STREQ(name, "Torch");
}

TEST_F(GuiManagerTest, IntSliderLeavesALargeValueAloneUntilMoved)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 200.0f);
    int seed = (1 << 24) + 1;  // not a float
    m.AddSliderInt(w, "Seed", &seed, 0, 1 << 30);
    for (int i = 0; i < 10; ++i)
        m_h.Frame();
    EXPECT_EQ(seed, (1 << 24) + 1);
}

TEST_F(GuiManagerTest, HiddenWidgetsAreNotDrawnAndShowingBringsThemBack)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 200.0f);
    int clicks = 0;
    const int first = m.AddButton(w, "First", [&clicks] { clicks += 1; });
    m.AddButton(w, "Second", [&clicks] { clicks += 10; });
    m_h.Frame();
    const auto firstAt = m_h.Locate("Panel", "First");
    ASSERT_TRUE(firstAt.has_value());

    m.HideWidget(w, GuiWidgetButton, first);
    EXPECT_FALSE(m_h.Locate("Panel", "First").has_value());
    m_h.Click(*firstAt);
    EXPECT_EQ(clicks, 10) << "the next widget moved up into the hidden one's place";

    m.ShowWidget(w, GuiWidgetButton, first);
    m_h.Click(*firstAt);
    EXPECT_EQ(clicks, 11);
}

TEST_F(GuiManagerTest, HeadersComeFirstAndTopLevelWidgetsBelowThem)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 300.0f);
    bool flag = false;
    m.AddCheckbox(w, "Top", &flag, -1);  // added before the header exists
    const int header = m.AddCollapsingHeader(w, "Section");
    EXPECT_EQ(m.AddCollapsingHeader(w, "Section"), header);
    m.AddCheckbox(w, "Inner", &flag, header);
    m.AddCheckbox(w, "Elsewhere", &flag, 5);  // no such header: never drawn
    m_h.Frame();

    const ImGuiID top = GuiHarness::IdOf("Panel", "Top");
    const ImGuiID section = GuiHarness::IdOf("Panel", "Section");
    const ImGuiID inner = GuiHarness::IdOf("Panel", "Inner");
    EXPECT_EQ(m_h.HoverScan("Panel"), (std::vector<ImGuiID>{section, top}))
        << "a closed header hides its widgets";

    ImGuiWindow* panel = GuiHarness::Window("Panel");
    panel->StateStorage.SetInt(section, 1);  // as if the user had opened it
    EXPECT_EQ(m_h.HoverScan("Panel"), (std::vector<ImGuiID>{section, inner, top}));
}

TEST_F(GuiManagerTest, ListSelectsTheClickedRowAndDropDownSelectionIsKept)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 300.0f);
    std::vector<std::string> rows = {"alpha", "beta", "beta"};
    const int list = m.AddList(w, &rows);
    int* selected = m.GetListSelection(w, list);
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(*selected, 0);

    const int dropDown = m.AddDropDownList(w, "States", &rows);
    int* choice = m.GetDropDownListSelection(w, dropDown);
    ASSERT_NE(choice, nullptr);
    *choice = 2;
    // Selections stay put while the stores grow.
    for (int i = 0; i < 100; ++i) {
        m.AddList(w, &rows);
        m.AddDropDownList(w, "More", &rows);
    }
    EXPECT_EQ(m.GetDropDownListSelection(w, dropDown), choice);
    EXPECT_EQ(m.GetListSelection(w, list), selected);

    m_h.Frame();
    ImGuiWindow* panel = GuiHarness::Window("Panel");
    const float rowHeight = ImGui::GetTextLineHeightWithSpacing();
    const float third = panel->ContentRegionRect.Min.y + rowHeight * 2.5f;
    m_h.Click(ImVec2(panel->Pos.x + 20.0f, third));
    EXPECT_EQ(*selected, 2) << "the second of two equal rows is a row of its own";
    EXPECT_EQ(*choice, 2);
}

TEST_F(GuiManagerTest, IndexNeverReturnedAnswersNothing)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 300.0f);
    std::vector<std::string> rows;
    float value = 0.0f;
    EXPECT_EQ(m.AddInputFloat(7, "x", &value), -1);
    EXPECT_EQ(m.AddButton(-1, "x", [] {}), -1);
    EXPECT_EQ(m.AddCollapsingHeader(3, "x"), -1);
    EXPECT_EQ(m.GetDropDownListSelection(w, 0), nullptr);
    EXPECT_EQ(m.GetDropDownListSelection(9, 0), nullptr);
    EXPECT_EQ(m.GetListSelection(w, -1), nullptr);
    EXPECT_EQ(m.GetGuiWindow(1), nullptr);
    m.HideWidget(4, GuiWidgetButton, 0);
    m.ShowWidget(w, GuiWidgetButton, 3);
    EXPECT_EQ(m.m_windows.size(), 1u);
    EXPECT_TRUE(m.GetWidgets(w)->layout.empty());
    m_h.Frame();
}

TEST_F(GuiManagerTest, LinePlotKeepsAFullGraphAndMovesOneSamplePerDraw)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 300.0f);
    std::vector<float> history;
    const int plot = m.AddPlotLines(w, "FPS: ", &history, 100, "", 0.0f, 65.0f, 0.0f, 170.0f);
    EXPECT_EQ(history.size(), 101u);
    const GuiPlotLines& record = m.GetWidgets(w)->plots[static_cast<size_t>(plot)];

    m_h.Frame();
    EXPECT_EQ(record.offset, 0);
    history.push_back(30.0f);
    m_h.Frame();
    EXPECT_EQ(record.offset, 1);
    history.push_back(31.0f);
    history.push_back(32.0f);
    m_h.Frame();
    EXPECT_EQ(record.offset, 2) << "one step per draw, however many samples arrived";

    history.clear();
    m_h.Frame();
    EXPECT_EQ(history.size(), 101u);
    EXPECT_EQ(record.offset, 0);

    history.push_back(1.0f);
    m_h.Frame();
    history.resize(3);  // shrunk, not emptied
    m_h.Frame();
    EXPECT_EQ(record.offset, 0);
    EXPECT_EQ(record.lastSeenSize, 3);

    m.GetGuiWindow(w)->visible = false;
    history.clear();
    m_h.Frame();
    EXPECT_TRUE(history.empty()) << "a closed window's plot is not drawn";
}

TEST_F(GuiManagerTest, WindowsMenuTogglesListedWindows)
{
    GuiManager& m = m_h.Manager();
    const int listed = m.CreateWindow("Listed", true, 200.0f, 100.0f);
    m.CreateWindow("Unlisted", false, 200.0f, 100.0f);
    m_h.Frame();

    ASSERT_TRUE(m_h.OpenMenu("Windows"));
    EXPECT_FALSE(m_h.Locate("##Menu_00", "Unlisted").has_value());
    const auto item = m_h.Locate("##Menu_00", "Listed");
    ASSERT_TRUE(item.has_value());
    m_h.Click(*item);
    EXPECT_FALSE(m.m_windows[static_cast<size_t>(listed)].visible);

    ASSERT_TRUE(m_h.OpenMenu("Windows"));
    m_h.Click(*m_h.Locate("##Menu_00", "Listed"));
    EXPECT_TRUE(m.m_windows[static_cast<size_t>(listed)].visible);
}

TEST_F(GuiManagerTest, QuitInTheFileMenuAsksTheApplicationToShutDown)
{
    GuiManager& m = m_h.Manager();
    int asked = 0;
    m.m_quitCallback = [&asked] { ++asked; };
    m_h.Frame();
    ASSERT_TRUE(m_h.OpenMenu("File"));
    const auto quit = m_h.Locate("##Menu_00", "Quit");
    ASSERT_TRUE(quit);
    m_h.Click(*quit);  // the process goes on: the application ends the run itself
    EXPECT_EQ(asked, 1);
}

// Opened the first time, every panel has its own place and size inside a 1280 x 800 window, and
// the panels a designer sees together in an editor overlap neither each other nor the middle of
// the screen, where the preview is; the backgrounds are opaque.
TEST_F(GuiManagerTest, PanelsOpenOpaqueInTheirOwnPlacesThatFitTheWindow)
{
    const ImVec4* colors = ImGui::GetStyle().Colors;
    for (ImGuiCol col : {ImGuiCol_WindowBg, ImGuiCol_PopupBg, ImGuiCol_TitleBg,
                         ImGuiCol_TitleBgActive, ImGuiCol_TitleBgCollapsed, ImGuiCol_MenuBarBg})
        EXPECT_EQ(colors[col].w, 1.0f) << ImGui::GetStyleColorName(col);

    const std::vector<std::string> always = {"State Select",
                                             "System",
                                             "Options",
                                             "In Game Shadow Settings",
                                             "Physics Engine Settings",
                                             "Player Control Values",
                                             "Projectile Hotpoint modifier",
                                             "Dynamic Character Controller offsets",
                                             "Scene Select"};
    const std::vector<std::vector<std::string>> editors = {
        {"Material Select", "Material Editor"},
        {"Mesh Editor", "Mesh List"},
        {"Model List", "Model Editor"},
        {"Prop List Window", "Scene", "Selected Prop Window", "Scene Settings"},
        {"Point Light"},
        {"Current Audio", "Create Audio"}};
    GuiManager& m = m_h.Manager();
    for (const std::string& name : always)
        m.CreateWindow(name, true, 640.0f, 640.0f);
    for (const auto& editor : editors)
        for (const std::string& name : editor)
            m.CreateWindow(name, true, 400.0f, 300.0f);
    m_h.Frame();
    m_h.Frame();

    const ImRect screen(ImVec2(0.0f, 0.0f), ImVec2(1280.0f, 800.0f));
    const ImRect middle(ImVec2(440.0f, 200.0f), ImVec2(840.0f, 600.0f));
    for (const auto& editor : editors) {
        std::vector<std::string> shown = always;
        shown.insert(shown.end(), editor.begin(), editor.end());
        for (size_t i = 0; i < shown.size(); ++i) {
            ImGuiWindow* a = GuiHarness::Window(shown[i].c_str());
            ASSERT_NE(a, nullptr) << shown[i];
            const ImRect ra = a->Rect();
            EXPECT_TRUE(screen.Contains(ra)) << shown[i];
            EXPECT_GE(ra.Min.y, 19.0f) << shown[i] << " is under the menu bar";
            EXPECT_FALSE(ra.Overlaps(middle)) << shown[i] << " covers the preview";
            for (size_t j = i + 1; j < shown.size(); ++j) {
                const ImRect rb = GuiHarness::Window(shown[j].c_str())->Rect();
                EXPECT_FALSE(ra.Overlaps(rb)) << shown[i] << " overlaps " << shown[j];
            }
        }
    }
    // The tuning panels start folded to their title bars and unfold to a readable size.
    ImGuiWindow* options = GuiHarness::Window("Options");
    EXPECT_TRUE(options->Collapsed);
    EXPECT_GE(options->SizeFull.x, 400.0f);
    EXPECT_FALSE(GuiHarness::Window("State Select")->Collapsed);
}

TEST_F(GuiManagerTest, ALayoutTheUserSavedWinsOverThePanelsDefaults)
{
    ImGui::LoadIniSettingsFromMemory("[Window][State Select]\nPos=500,300\nSize=220,120\n"
                                     "Collapsed=0\n\n[Window][Options]\nPos=700,100\n"
                                     "Size=300,300\nCollapsed=0\n");
    GuiManager& m = m_h.Manager();
    m.CreateWindow("State Select", true, 250.0f, 200.0f);
    m.CreateWindow("Options", true, 640.0f, 640.0f);
    m.CreateWindow("System", true, 200.0f, 200.0f);
    m_h.Frame();
    ImGuiWindow* select = GuiHarness::Window("State Select");
    EXPECT_EQ(select->Pos.x, 500.0f);
    EXPECT_EQ(select->Pos.y, 300.0f);
    EXPECT_EQ(select->SizeFull.x, 220.0f);
    ImGuiWindow* options = GuiHarness::Window("Options");
    EXPECT_FALSE(options->Collapsed);
    EXPECT_EQ(options->Pos.x, 700.0f);
    // A panel the saved layout does not know takes its default.
    EXPECT_EQ(GuiHarness::Window("System")->Pos.y, 110.0f);
}

TEST_F(GuiManagerTest, MisuseIsAFatalAssertion)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 300.0f);
    EXPECT_DEATH(m.AddButton(w, "b", std::function<void()>()), "fn");
    EXPECT_DEATH(m.AddVarView(w, nullptr, GuiVarViewInt, "v"), "ptr");
    EXPECT_DEATH(m.AddList(w, nullptr), "ptr");
    EXPECT_DEATH(m.AddDropDownList(w, "d", nullptr), "ptr");
    int value = 0;
    m.AddVarView(w, &value, static_cast<GuiVarViewType>(3), "no format");
    EXPECT_DEATH(m_h.Frame(), "Assertion `0' failed");
}

}  // namespace
}  // namespace ztengine
