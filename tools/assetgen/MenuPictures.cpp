// Menu pictures: button and title labels of the main, pause, quit, lose, credits and settings
// screens, the how-to-play sheet, the credits page, the shared upgrade/shop/statistics panel
// and the dialogue box.
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"
#include "assetgen/Paint.h"

namespace assetgen {
namespace {

enum class Look { Idle, Highlight, Red, OptionIdle, OptionSelected };

// A label picture: the text as large as the picture allows, transparent around it.
Painter Label(std::string text, Look look, Align align = Align::Centre, bool settingsRow = false)
{
    return [=](Canvas& c, PaintContext& ctx) {
        const float h = float(c.Height());
        TextStyle style;
        switch (look) {
        case Look::Idle: style = IdleLabel(h); break;
        case Look::Highlight: style = HighlightLabel(h); break;
        case Look::Red: style = RedLabel(h); break;
        case Look::OptionIdle: style = DimLabel(h); break;
        case Look::OptionSelected:
            style = HighlightLabel(h);
            style.glowAlpha = 0.0f;  // the box around it already marks it
            break;
        }
        FitOptions fit;
        fit.align = align;
        Box box = All(c);
        if (settingsRow) {
            // Every settings row shares one letter height, descenders or not.
            fit.reserveDescender = true;
            fit.padY = 0.08f;
            fit.padX = 0.02f;
        }
        if (look == Look::OptionIdle || look == Look::OptionSelected) {
            // Options: a box marks the chosen one; both pictures keep the letters in one place.
            const float inset = 2.5f;
            if (look == Look::OptionSelected) {
                Vec2 centre{c.Width() * 0.5f, h * 0.5f};
                Vec2 half{c.Width() * 0.5f - inset, h * 0.5f - inset};
                FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, centre, half, h * 0.2f); }, Hex(0x201206),
                          0.75f);
                StrokeShape(c, All(c), [&](Vec2 p) { return SdBox(p, centre, half, h * 0.2f); }, 2.5f,
                            palette::kGold);
            }
            box = {int(inset * 2), int(inset * 2), c.Width() - int(inset * 2), c.Height() - int(inset * 2)};
            fit.padY = 0.1f;
            // One letter height for every choice: "High" hangs its g below the line, and fitting
            // the g into the box would print it smaller than "Low" beside it.
            fit.reserveDescender = true;
        }
        DrawTextFitted(c, ctx.fonts.Bold(), text, box, style, fit);
    };
}

void HowToPlay(Canvas& c, PaintContext& ctx)
{
    DrawSlatePanel(c, All(c), ctx.seed, 14.0f, 22.0f);
    Font& bold = ctx.fonts.Bold();
    Font& regular = ctx.fonts.Regular();
    TextStyle title = HighlightLabel(60.0f);
    title.tracking = 0.06f;
    DrawText(c, bold, "HOW TO PLAY", 50.0f, 350.0f, 82.0f, Align::Centre, title);

    TextStyle head;
    head.fill = {Hex(0xFFD36A), Hex(0xD89A2A)};
    head.shadow = Hex(0x000000);
    head.shadowOffset = 2.0f;
    head.shadowAlpha = 0.8f;
    TextStyle action;
    action.fill = {Hex(0xF4EAD6)};
    action.shadow = Hex(0x000000);
    action.shadowOffset = 1.5f;
    action.shadowAlpha = 0.7f;
    TextStyle key = action;
    key.fill = {Hex(0xBFE3FF)};

    const float colAction = 46.0f, colKeys = 250.0f, colPad = 500.0f;
    DrawText(c, bold, "ACTION", 24.0f, colAction, 138.0f, Align::Left, head);
    DrawText(c, bold, "KEYBOARD & MOUSE", 24.0f, colKeys, 138.0f, Align::Left, head);
    DrawText(c, bold, "GAMEPAD", 24.0f, colPad, 138.0f, Align::Left, head);
    FillShape(c, All(c), [](Vec2 p) { return SdBox(p, {350, 150}, {304, 1}); }, Hex(0x9C7424));

    struct Row {
        const char* action;
        const char* keys;
        const char* pad;
    };
    const Row rows[] = {
        {"Move", "W  A  S  D", "Left stick"},
        {"Look", "Mouse", "Right stick"},
        {"Fire", "Left mouse button", "Right trigger"},
        {"Jump", "Space", "LB"},
        {"Town portal", "T", "RB"},
        {"Shop / blessing", "E", "X"},
        {"Big map", "Tab", "Y"},
        {"Map fog on / off", "N", "-"},
        {"Upgrades panel", "Left Ctrl + U", "-"},
        {"Pause", "Esc", "Start"},
        {"Back", "Esc", "B"},
    };
    float y = 192.0f;
    int i = 0;
    for (const Row& r : rows) {
        if (i++ % 2 == 0)
            FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, {350, y - 7}, {306, 19}, 6); }, Hex(0xFFFFFF),
                      0.05f);
        DrawText(c, regular, r.action, 21.0f, colAction, y, Align::Left, action);
        DrawText(c, regular, r.keys, 21.0f, colKeys, y, Align::Left, key);
        DrawText(c, regular, r.pad, 21.0f, colPad, y, Align::Left, key);
        y += 40.0f;
    }
    // The bottom left stays clear: the Back button is drawn there.
    TextStyle hint = action;
    hint.fill = {Hex(0xA89C88)};
    DrawText(c, regular, "Find the three orbs, bring them to the altar.", 18.0f, 650.0f, 652.0f, Align::Right, hint);
}

void CreditsPage(Canvas& c, PaintContext& ctx)
{
    // Opaque backdrop: dark stone with a warm light in the middle.
    const float w = float(c.Width()), h = float(c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float n = Fbm(x / 160.0f, y / 160.0f, ctx.seed, 5);
            float dx = (x - w * 0.5f) / (w * 0.6f), dy = (y - h * 0.55f) / (h * 0.7f);
            float light = Clamp01(1.0f - (dx * dx + dy * dy));
            Rgb col = Mix(Hex(0x0C0A0E), Hex(0x2C2230), light * 0.8f + 0.2f * n);
            col = Mix(col, Hex(0x3A2410), 0.25f * light * light);
            c.SetRgb(x, y, col);
        }
    // Gilded frame lines, broken at the top for the title picture.
    const Vec2 mid{w * 0.5f, h * 0.5f};
    auto frame = [&](Vec2 p) { return std::fabs(SdBox(p, mid, {w * 0.5f - 30, h * 0.5f - 30}, 24)) - 2.0f; };
    FillShape(c, All(c), [&](Vec2 p) { return std::max(frame(p), -SdBox(p, {w * 0.5f, 30}, {200, 40})); },
              Hex(0xB8862A));
    auto inner = [&](Vec2 p) { return std::fabs(SdBox(p, mid, {w * 0.5f - 40, h * 0.5f - 40}, 18)) - 0.8f; };
    FillShape(c, All(c), [&](Vec2 p) { return std::max(inner(p), -SdBox(p, {w * 0.5f, 40}, {200, 40})); },
              Hex(0x6A4A1A));

    Font& bold = ctx.fonts.Bold();
    Font& regular = ctx.fonts.Regular();
    TextStyle role;
    role.fill = {Hex(0xFFD66E), Hex(0xD0922A)};
    role.shadow = Hex(0x000000);
    role.shadowOffset = 2.0f;
    role.shadowAlpha = 0.8f;
    role.tracking = 0.08f;
    TextStyle name;
    name.fill = {Hex(0xF6ECDA)};
    name.shadow = Hex(0x000000);
    name.shadowOffset = 2.0f;
    name.shadowAlpha = 0.8f;

    struct Block {
        const char* role;
        std::vector<const char*> names;
    };
    const Block left[] = {
        {"A GAME BY", {"Brimsel Vantorel"}},
        {"GAME DESIGN", {"Ada Grelvok", "Tomas Veyl"}},
        {"PROGRAMMING", {"Ilse Marrow", "Jon Oakhart", "Petra Lind"}},
    };
    const Block right[] = {
        {"ART & ANIMATION", {"Mira Castell", "Oskar Fenn"}},
        {"SOUND & MUSIC", {"Rune Halvard"}},
        {"WRITING & VOICES", {"Selma Dray", "Edric Moss"}},
    };
    auto column = [&](const Block* blocks, size_t n, float x) {
        float y = 200.0f;
        for (size_t i = 0; i < n; ++i) {
            DrawText(c, bold, blocks[i].role, 26.0f, x, y, Align::Centre, role);
            y += 38.0f;
            for (const char* who : blocks[i].names) {
                DrawText(c, regular, who, 26.0f, x, y, Align::Centre, name);
                y += 34.0f;
            }
            y += 26.0f;
        }
    };
    column(left, std::size(left), 380.0f);
    column(right, std::size(right), 900.0f);

    DrawText(c, bold, "MADE WITH", 24.0f, 560.0f, 622.0f, Align::Centre, role);
    TextStyle small = name;
    small.fill = {Hex(0xD8CCB8)};
    DrawText(c, regular, "GLFW  -  GLEW  -  Bullet Physics  -  Assimp  -  FreeImage  -  FreeType", 21.0f, 560.0f,
             656.0f, Align::Centre, small);
    DrawText(c, regular, "Dear ImGui  -  RapidJSON  -  OpenAL Soft  -  libsndfile", 21.0f, 560.0f, 686.0f,
             Align::Centre, small);
    DrawText(c, regular, "Fonts: Liberation Sans and Carlito", 18.0f, 560.0f, 724.0f, Align::Centre, small);
}

void UpgradePanel(Canvas& c, PaintContext& ctx)
{
    // Texts drawn on this panel are black: keep it light, with the dark only in the frame.
    DrawParchmentPanel(c, All(c), ctx.seed, 22.0f, 28.0f);
    // Corner ornaments: small gold diamonds on the frame.
    const float w = float(c.Width()), h = float(c.Height());
    for (Vec2 corner : {Vec2{11, 11}, Vec2{w - 11, 11}, Vec2{11, h - 11}, Vec2{w - 11, h - 11}}) {
        std::vector<Vec2> d = {corner + Vec2{0, -9}, corner + Vec2{9, 0}, corner + Vec2{0, 9}, corner + Vec2{-9, 0}};
        FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, d) - 1.2f; }, palette::kInk);
        FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, d); }, palette::kGold);
    }
}

void DialogueBox(Canvas& c, PaintContext& ctx)
{
    DrawParchmentPanel(c, All(c), ctx.seed, 12.0f, 18.0f);
}

}  // namespace

std::vector<PainterEntry> MenuPainters()
{
    const Align L = Align::Left, C = Align::Centre;
    return {
        {"textures/2d/MainMenu_PlayIdle.png", Label("PLAY", Look::Idle, L)},
        {"textures/2d/MainMenu_SettingsIdle.png", Label("SETTINGS", Look::Idle, L)},
        {"textures/2d/MainMenu_CreditsIdle.png", Label("CREDITS", Look::Idle, L)},
        {"textures/2d/MainMenu_ExitIdle.png", Label("EXIT", Look::Idle, L)},
        {"textures/2d/MainMenu_CreditsSelected.png", Label("CREDITS", Look::Highlight, C)},
        {"textures/2d/MainMenu_SettingsSelected.png", Label("SETTINGS", Look::Highlight, C)},
        {"textures/2d/PauseMenu_Paused.png", Label("PAUSED", Look::Highlight, C)},
        {"textures/2d/PauseMenu_ResumeIdle.png", Label("RESUME", Look::Idle, C)},
        {"textures/2d/PauseMenu_RestartIdle.png", Label("RESTART", Look::Idle, C)},
        {"textures/2d/PauseMenu_SettingsIdle.png", Label("SETTINGS", Look::Idle, C)},
        {"textures/2d/PauseMenu_HowToPlayIdle.png", Label("HOW TO PLAY", Look::Idle, C)},
        {"textures/2d/PauseMenu_QuitIdle.png", Label("QUIT", Look::Idle, C)},
        {"textures/2d/PauseMenu_QuitSelected.png", Label("QUIT GAME?", Look::Highlight, C)},
        {"textures/2d/Credits_BackIdle.png", Label("BACK", Look::Idle, C)},
        {"textures/2d/Credits_BackSelected.png", Label("BACK", Look::Highlight, C)},
        {"textures/2d/Settings_ConfirmIdle.png", Label("CONFIRM", Look::Idle, C)},
        {"textures/2d/Settings_CancelIdle.png", Label("CANCEL", Look::Idle, C)},
        {"textures/2d/Game_Over.png", Label("GAME OVER", Look::Red, C)},
        {"textures/2d/Settings_SSAO.png", Label("SSAO", Look::Idle, L, true)},
        {"textures/2d/Settings_MotionBlur.png", Label("Motion Blur", Look::Idle, L, true)},
        {"textures/2d/Settings_ParallaxMapping.png", Label("Parallax Mapping", Look::Idle, L, true)},
        {"textures/2d/Settings_DOF.png", Label("Depth of Field", Look::Idle, L, true)},
        {"textures/2d/Settings_Shadows.png", Label("Shadows", Look::Idle, L, true)},
        {"textures/2d/Settings_Fullscreen.png", Label("Fullscreen", Look::Idle, L, true)},
        {"textures/2d/Settings_BGM.png", Label("BGM", Look::Idle, L, true)},
        {"textures/2d/Settings_SFX.png", Label("SFX", Look::Idle, L, true)},
        {"textures/2d/Settings_LowIdle.png", Label("Low", Look::OptionIdle)},
        {"textures/2d/Settings_LowSelected.png", Label("Low", Look::OptionSelected)},
        {"textures/2d/Settings_MedIdle.png", Label("Med", Look::OptionIdle)},
        {"textures/2d/Settings_MedSelected.png", Label("Med", Look::OptionSelected)},
        {"textures/2d/Settings_HighIdle.png", Label("High", Look::OptionIdle)},
        {"textures/2d/Settings_HighSelected.png", Label("High", Look::OptionSelected)},
        {"textures/2d/Settings_OffIdle.png", Label("Off", Look::OptionIdle)},
        {"textures/2d/Settings_OffSelected.png", Label("Off", Look::OptionSelected)},
        {"textures/2d/Settings_YesIdle.png", Label("Yes", Look::OptionIdle)},
        {"textures/2d/Settings_YesSelected.png", Label("Yes", Look::OptionSelected)},
        {"textures/2d/Settings_NoIdle.png", Label("No", Look::OptionIdle)},
        {"textures/2d/Settings_NoSelected.png", Label("No", Look::OptionSelected)},
        {"textures/2d/How_To_Play.png", HowToPlay},
        {"textures/2d/Credits.png", CreditsPage},
        {"textures/2d/UpgradeUI_Background.png", UpgradePanel},
        {"textures/2d/dialogueborder.png", DialogueBox},
    };
}

}  // namespace assetgen
