// Start-up and ending pictures: fade screens, the studio and team logos, the loading
// hourglass, the controller screen, the game's title logo, the thank-you line and the rolling
// end credits.
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"
#include "assetgen/Paint.h"

#include <cmath>

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265358979f;

void Solid(Canvas& c, Rgb colour) { c.Fill({colour.r, colour.g, colour.b, 1.0f}); }

void StudioLogo(Canvas& c, PaintContext& ctx)
{
    // Shown on black: red letters with a faint ember glow and thin rules.
    const float w = float(c.Width());
    TextStyle name;
    name.fill = {Hex(0xFF6A50), Hex(0xE3261C), Hex(0x9A0C08)};
    name.outline = Hex(0x200202);
    name.outlineWidth = 2.5f;
    name.glow = Hex(0xFF2A10);
    name.glowRadius = 14.0f;
    name.glowAlpha = 0.45f;
    name.tracking = 0.04f;
    DrawTextFitted(c, ctx.fonts.Bold(), "BRIMSEL VANTOREL", {30, 40, int(w) - 30, 200}, name,
                   {Align::Centre, 0.0f, 0.05f, false, 0.0f});
    TextStyle small;
    small.fill = {Hex(0xD8402E)};
    small.tracking = 0.45f;
    DrawText(c, ctx.fonts.Regular(), "GAMES", 30.0f, w * 0.5f, 252.0f, Align::Centre, small);
    for (float side : {-1.0f, 1.0f}) {
        float x0 = w * 0.5f + side * 90.0f, x1 = w * 0.5f + side * 330.0f;
        FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, {x0, 241}, {x1, 241}, 1.2f); }, Hex(0xB8201A));
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, {x1 + side * 8.0f, 241}, 3.5f); }, Hex(0xE3261C));
    }
}

void TeamLogo(Canvas& c, PaintContext& ctx)
{
    const Vec2 centre{250, 200};
    // A hexagonal shield of dark steel with a gold rim and a glowing monogram.
    std::vector<Vec2> hex;
    for (int i = 0; i < 6; ++i) {
        float a = kPi / 6.0f + float(i) * kPi / 3.0f;
        hex.push_back(centre + Vec2{std::cos(a), std::sin(a)} * 170.0f);
    }
    auto shield = [&](Vec2 p) { return SdPolygon(p, hex); };
    GlowShape(c, All(c), shield, 40.0f, Hex(0x2A6AFF), 0.35f);
    FillShape(c, All(c), [&](Vec2 p) { return shield(p) - 3.0f; }, Hex(0x05070C));
    FillShape(c, All(c), shield, [&](Vec2 p) {
        float t = Clamp01((p.x - centre.x + p.y - centre.y) / 480.0f + 0.5f);
        return Mix(Hex(0xE9C060), Hex(0x7A4E12), t);
    });
    FillShape(c, All(c), [&](Vec2 p) { return shield(p) + 14.0f; }, [&](Vec2 p) {
        float n = Fbm(p.x / 60.0f, p.y / 60.0f, ctx.seed, 4);
        float r = Length(p - centre) / 160.0f;
        return Mix(Mix(Hex(0x243248), Hex(0x0E1420), r), Hex(0x1A2436), 0.3f * n);
    });
    StrokeShape(c, All(c), [&](Vec2 p) { return shield(p) + 22.0f; }, 2.0f, Hex(0x9AB8E8), 0.6f);

    TextStyle mono = HighlightLabel(200.0f);
    mono.glow = Hex(0x4A8AFF);
    mono.glowAlpha = 0.7f;
    mono.fill = {Hex(0xFFFFFF), Hex(0xCFE2FF), Hex(0x7FA6E8)};
    mono.outline = Hex(0x061022);
    DrawTextFitted(c, ctx.fonts.Bold(), "GV", {120, 100, 380, 300}, mono, {Align::Centre, 0.0f, 0.05f, false, 0.0f});

    TextStyle team = IdleLabel(60.0f);
    team.tracking = 0.18f;
    DrawTextFitted(c, ctx.fonts.Bold(), "TEAM GRELVOK", {40, 392, 460, 452}, team,
                   {Align::Centre, 0.0f, 0.05f, false, 0.0f});
}

void Hourglass(Canvas& c, PaintContext&)
{
    const float cx = 76.0f, neckY = 76.0f;
    // Half width of the glass at a given row: round bulbs meeting in a narrow neck.
    auto glassHalf = [&](float y) {
        float t = Clamp01(std::fabs(y - neckY) / 48.0f);
        return 4.0f + 30.0f * std::sin(t * kPi * 0.62f) / std::sin(kPi * 0.62f) * (1.0f - 0.15f * t * t);
    };
    auto glass = [&](Vec2 p) {
        if (p.y < 26.0f || p.y > 126.0f) return std::min(std::fabs(p.y - 26.0f), std::fabs(p.y - 126.0f)) + 1.0f;
        return std::fabs(p.x - cx) - glassHalf(p.y);
    };
    // Posts, then the glass, the sand and the wooden caps.
    for (float x : {34.0f, 118.0f}) {
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, {x, 76}, {5, 52}, 2) - 1.5f; }, palette::kInk);
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, {x, 76}, {5, 52}, 2); },
                  [&](Vec2 p) { return Mix(Hex(0xA4703A), Hex(0x5A3418), Clamp01((p.x - x + 5) / 10)); });
    }
    FillShape(c, All(c), [&](Vec2 p) { return glass(p) - 2.0f; }, Hex(0x1A2A34), 0.9f);
    FillShape(c, All(c), glass, Hex(0xBFE6FF), 0.35f);
    auto sand = [&](Vec2 p) {
        float inside = glass(p) + 2.0f;
        float top = (p.y < neckY) ? std::max(46.0f - p.y, p.y - 68.0f) : std::max(100.0f - p.y, p.y - 124.0f);
        return std::max(inside, top);
    };
    FillShape(c, All(c), sand, [&](Vec2 p) { return Mix(Hex(0xF8D27A), Hex(0xC88A2A), Clamp01((p.y - 46) / 80)); });
    FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, {cx, 70}, {cx, 104}, 1.3f); }, Hex(0xF0C060));
    // Glass highlight.
    FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, {cx - 18, 38}, {cx - 20, 58}, 2.5f); }, Hex(0xFFFFFF),
              0.55f);
    for (float y : {20.0f, 132.0f}) {
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, {cx, y}, {48, 7}, 4) - 1.5f; }, palette::kInk);
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, {cx, y}, {48, 7}, 4); },
                  [&](Vec2 p) { return Mix(Hex(0xC08A4A), Hex(0x6A3E1A), Clamp01((p.y - y + 7) / 14)); });
    }
}

void Controller(Canvas& c, PaintContext& ctx)
{
    // A gamepad seen from the front, with what each control does in this game.
    auto smin = [](float a, float b, float k) {
        float h = Clamp01(0.5f + 0.5f * (b - a) / k);
        return Mix(b, a, h) - k * h * (1.0f - h);
    };
    auto body = [&](Vec2 p) {
        float d = SdBox(p, {512, 430}, {250, 110}, 90);
        d = smin(d, SdEllipse(p, {322, 545}, {105, 140}), 60.0f);
        d = smin(d, SdEllipse(p, {702, 545}, {105, 140}), 60.0f);
        return d;
    };
    const Rgb ink = Hex(0x07080A);
    // Shoulder buttons and triggers sit behind the body.
    struct Shoulder {
        Vec2 centre;
        Vec2 half;
    };
    for (Shoulder s : {Shoulder{{345, 262}, {62, 26}}, Shoulder{{679, 262}, {62, 26}}}) {
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, s.centre, s.half, 22) - 3; }, ink);
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, s.centre, s.half, 22); }, Hex(0x3A3F48));
    }
    for (Shoulder s : {Shoulder{{345, 305}, {88, 22}}, Shoulder{{679, 305}, {88, 22}}}) {
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, s.centre, s.half, 18) - 3; }, ink);
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, s.centre, s.half, 18); }, Hex(0x4A505A));
    }
    GlowShape(c, All(c), body, 30.0f, Hex(0x3A6AAA), 0.25f);
    FillShape(c, All(c), [&](Vec2 p) { return body(p) - 4.0f; }, ink);
    FillShape(c, All(c), body, [&](Vec2 p) {
        float t = Clamp01((p.y - 320.0f) / 380.0f);
        float n = Fbm(p.x / 30.0f, p.y / 30.0f, ctx.seed, 2);
        return Mix(Mix(Hex(0x5A616E), Hex(0x23272E), t), Hex(0x30343C), 0.15f * n);
    });
    StrokeShape(c, All(c), [&](Vec2 p) { return body(p) + 8.0f; }, 2.0f, Hex(0x8A93A3), 0.5f);

    auto stick = [&](Vec2 at) {
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, at, 58); }, Hex(0x15171B));
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, at, 44) - 3; }, ink);
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, at, 44); },
                  [&](Vec2 p) { return Mix(Hex(0x6A717E), Hex(0x2A2E36), Clamp01((p.y - at.y + 44) / 88)); });
        StrokeShape(c, All(c), [&](Vec2 p) { return SdCircle(p, at, 32); }, 2.0f, Hex(0x1A1C20), 0.7f);
    };
    stick({372, 430});
    stick({612, 540});
    // D-pad.
    const Vec2 dpad{432, 540};
    auto cross = [&](Vec2 p) {
        return std::min(SdBox(p, dpad, {16, 46}, 5), SdBox(p, dpad, {46, 16}, 5));
    };
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, dpad, 60); }, Hex(0x1A1C21));
    FillShape(c, All(c), [&](Vec2 p) { return cross(p) - 3; }, ink);
    FillShape(c, All(c), cross, Hex(0x3C414B));
    // Face buttons in their usual colours.
    struct Face {
        const char* letter;
        Vec2 at;
        Rgb colour;
    };
    const Face faces[] = {{"Y", {676, 376}, Hex(0xE8C020)},
                          {"X", {618, 430}, Hex(0x2A6AE0)},
                          {"B", {734, 430}, Hex(0xE03A2A)},
                          {"A", {676, 484}, Hex(0x3AB83A)}};
    TextStyle letter;
    letter.fill = {Hex(0xFFFFFF)};
    letter.outline = Hex(0x101010);
    letter.outlineWidth = 2.0f;
    for (const Face& f : faces) {
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, f.at, 27) - 3; }, ink);
        DrawSphere(c, f.at, 27, f.colour, Hex(0xFFFFFF));
        Box cap = Around({f.at}, 22.0f);
        DrawTextFitted(c, ctx.fonts.Bold(), f.letter, cap, letter, {Align::Centre, 0.0f, 0.12f, false, 0.0f});
    }
    // Back and Start.
    for (Vec2 at : {Vec2{468, 408}, Vec2{556, 408}}) {
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, at, {20, 10}, 10) - 2.5f; }, ink);
        FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, at, {20, 10}, 10); }, Hex(0x9AA2B0));
    }

    // Callouts: a line from the control to its name and what it does here.
    Font& font = ctx.fonts.Regular();
    TextStyle label;
    label.fill = {Hex(0xF4EAD6)};
    label.shadow = Hex(0x000000);
    label.shadowOffset = 2.0f;
    label.shadowAlpha = 0.9f;
    TextStyle action = label;
    action.fill = {Hex(0xFFC850)};
    struct Callout {
        Vec2 from, to;
        const char* name;
        const char* what;
        bool left;
    };
    const Callout callouts[] = {
        {{300, 262}, {190, 200}, "LT", "-", true},
        {{300, 305}, {190, 262}, "LB", "Jump", true},
        {{352, 420}, {190, 400}, "Left stick", "Move", true},
        {{420, 560}, {190, 590}, "D-pad", "Menus", true},
        {{468, 408}, {498, 170}, "Back", "-", true},
        {{724, 262}, {834, 200}, "RT", "Fire", false},
        {{724, 305}, {834, 262}, "RB", "Town portal", false},
        {{690, 370}, {834, 330}, "Y", "Map", false},
        {{746, 430}, {834, 420}, "X / B", "Interact / Back", false},
        {{690, 490}, {834, 500}, "A", "Select", false},
        {{632, 560}, {834, 590}, "Right stick", "Look", false},
        {{556, 408}, {526, 170}, "Start", "Pause", false},
    };
    for (const Callout& k : callouts) {
        // Side callouts bend once towards their label; the two in the middle go straight up.
        const bool upward = std::fabs(k.from.x - k.to.x) < 40.0f;
        Vec2 elbow = upward ? Vec2{k.from.x, k.to.y + 30.0f}
                            : Vec2{k.left ? k.to.x + 30.0f : k.to.x - 30.0f, k.to.y};
        Vec2 end = upward ? Vec2{k.from.x, k.to.y + 12.0f} : k.to;
        for (auto [a, b] : {std::pair{k.from, elbow}, std::pair{elbow, end}}) {
            Box box = Around({a, b}, 4.0f);
            FillShape(c, box, [&](Vec2 p) { return SdSegment(p, a, b, 2.8f); }, ink, 0.8f);
            FillShape(c, box, [&](Vec2 p) { return SdSegment(p, a, b, 1.2f); }, Hex(0xC8CED8));
        }
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, k.from, 4.5f); }, Hex(0xFFC850));
        float x = k.left ? k.to.x - 10.0f : k.to.x + 10.0f;
        Align a = k.left ? Align::Right : Align::Left;
        DrawText(c, ctx.fonts.Bold(), k.name, 30.0f, x, k.to.y - 2.0f, a, label);
        if (std::string(k.what) != "-")
            DrawText(c, font, k.what, 24.0f, x, upward ? k.to.y - 34.0f : k.to.y + 28.0f, a, action);
    }
}

void TitleLogo(Canvas& c, PaintContext& ctx)
{
    const float w = float(c.Width());
    // The orb of the quest behind the title, with a halo and rays.
    const Vec2 orb{w * 0.5f, 92.0f};
    for (int i = 0; i < 16; ++i) {
        float a = float(i) * kPi / 8.0f + 0.1f;
        Vec2 dir{std::cos(a), std::sin(a)};
        float len = (i % 2 ? 120.0f : 165.0f);
        FillShape(c, All(c), [&](Vec2 p) {
            Vec2 d = p - orb;
            float along = Dot(d, dir);
            float across = std::fabs(d.x * dir.y - d.y * dir.x);
            return std::max(across - 6.0f * (1.0f - along / len), std::max(-along, along - len));
        }, Hex(0xFFB040), 0.18f);
    }
    GlowShape(c, All(c), [&](Vec2 p) { return SdCircle(p, orb, 62); }, 60.0f, Hex(0xFF5A10), 0.8f);
    // The halo and the rays reach past the top of the picture: they fade out over the band above
    // the orb instead, or the menu shows them cut off along a straight line.
    const int fadeRows = int(orb.y - 64.0f);
    for (int y = 0; y < fadeRows; ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const float keep = SmoothStep(0.0f, float(fadeRows), float(y) + 0.5f);
            Rgba& p = c.Px(x, y);
            p = {p.r * keep, p.g * keep, p.b * keep, p.a * keep};
        }
    DrawSphere(c, orb, 64.0f, Hex(0xE8380E), Hex(0xFFE0A0));
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, orb, 64); }, [&](Vec2 p) {
        float n = Fbm(p.x / 18.0f, p.y / 18.0f, ctx.seed, 4);
        return Mix(Hex(0xFFD060), Hex(0x8A1004), n);
    }, 0.35f);

    TextStyle title = IdleLabel(140.0f);
    title.fill = {Hex(0xFFF6DA), Hex(0xE8D2A2), Hex(0x9C7A48)};
    title.outlineWidth = 6.0f;
    title.shadowOffset = 5.0f;
    title.shadowAlpha = 0.85f;
    title.glow = Hex(0x000000);
    title.glowRadius = 12.0f;
    title.glowAlpha = 0.5f;
    DrawTextFitted(c, ctx.fonts.Bold(), "GRELVOK VOSK", {12, 118, int(w) - 12, 232}, title,
                   {Align::Centre, 0.0f, 0.02f, false, 0.0f});

    TextStyle dungeon = RedLabel(70.0f);
    dungeon.tracking = 0.32f;
    dungeon.outlineWidth = 4.0f;
    float size = DrawTextFitted(c, ctx.fonts.Bold(), "DUNGEON", {190, 236, int(w) - 190, 306}, dungeon,
                                {Align::Centre, 0.0f, 0.04f, false, 0.0f});
    (void)size;
    // Ornamental rules either side of the second line.
    for (float side : {-1.0f, 1.0f}) {
        float x0 = w * 0.5f + side * 185.0f, x1 = w * 0.5f + side * 330.0f;
        FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, {x0, 272}, {x1, 272}, 3.5f); }, palette::kInk);
        FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, {x0, 272}, {x1, 272}, 1.6f); }, palette::kGold);
        Vec2 d{x1 + side * 10.0f, 272};
        std::vector<Vec2> diamond = {d + Vec2{0, -9}, d + Vec2{10, 0}, d + Vec2{0, 9}, d + Vec2{-10, 0}};
        FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, diamond) - 2.0f; }, palette::kInk);
        FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, diamond); }, palette::kGold);
    }
    // The bottom of the picture stays empty: the lose screen lays "GAME OVER" over it.
}

void Thanks(Canvas& c, PaintContext& ctx)
{
    // Fades in over the white screen: gold letters with a firm dark outline.
    TextStyle s = HighlightLabel(float(c.Height()));
    s.glowAlpha = 0.5f;
    s.outlineWidth = 0.045f * float(c.Height());
    DrawTextFitted(c, ctx.fonts.Bold(), "Thank you for playing!", All(c), s, {Align::Centre, 0.04f, 0.1f, true, 0.0f});
}

void CreditsRoll(Canvas& c, PaintContext& ctx)
{
    // Scrolls over the white end screen: dark letters on a transparent picture.
    Font& bold = ctx.fonts.Bold();
    Font& regular = ctx.fonts.Regular();
    TextStyle title;
    title.fill = {Hex(0x7A1208), Hex(0x3A0602)};
    TextStyle role;
    role.fill = {Hex(0x6A4410)};
    role.tracking = 0.08f;
    TextStyle name;
    name.fill = {Hex(0x1A120C)};
    const float cx = 200.0f;
    float y = 140.0f;
    DrawText(c, bold, "GRELVOK VOSK", 52.0f, cx, y, Align::Centre, title);
    y += 56.0f;
    DrawText(c, bold, "DUNGEON", 40.0f, cx, y, Align::Centre, title);
    y += 110.0f;
    struct Block {
        const char* role;
        std::vector<const char*> names;
    };
    const Block blocks[] = {
        {"A GAME BY", {"Brimsel Vantorel"}},
        {"GAME DESIGN", {"Ada Grelvok", "Tomas Veyl"}},
        {"PROGRAMMING", {"Ilse Marrow", "Jon Oakhart", "Petra Lind"}},
        {"ART & ANIMATION", {"Mira Castell", "Oskar Fenn"}},
        {"SOUND & MUSIC", {"Rune Halvard"}},
        {"WRITING & VOICES", {"Selma Dray", "Edric Moss"}},
        {"TESTING", {"Everyone who played", "an early build"}},
        {"MADE WITH", {"GLFW and GLEW", "Bullet Physics", "Assimp", "FreeImage", "FreeType", "Dear ImGui",
                       "RapidJSON", "OpenAL Soft", "libsndfile"}},
        {"FONTS", {"Liberation Sans", "Carlito"}},
    };
    for (const Block& b : blocks) {
        DrawText(c, bold, b.role, 26.0f, cx, y, Align::Centre, role);
        y += 40.0f;
        for (const char* who : b.names) {
            DrawText(c, regular, who, 26.0f, cx, y, Align::Centre, name);
            y += 32.0f;
        }
        y += 40.0f;
    }
    y = std::max(y + 60.0f, 1880.0f);
    DrawText(c, bold, "Thank you for playing!", 34.0f, cx, y, Align::Centre, title);
}

}  // namespace

std::vector<PainterEntry> SplashPainters()
{
    return {
        {"textures/2d/black_screen.png", [](Canvas& c, PaintContext&) { Solid(c, Hex(0x000000)); }},
        {"textures/2d/white_screen.png", [](Canvas& c, PaintContext&) { Solid(c, Hex(0xFFFFFF)); }},
        {"textures/2d/Brimsel_Vantorel_WEB_RED.png", StudioLogo},
        {"textures/2d/Team_Logo.png", TeamLogo},
        {"textures/2d/hourglass.png", Hourglass},
        {"textures/2d/controller.png", Controller},
        {"textures/2d/Logo.png", TitleLogo},
        {"textures/2d/End_Thanks.PNG", Thanks},
        {"textures/2d/Credits_scroll.PNG", CreditsRoll},
    };
}

}  // namespace assetgen
