// Canvas compositing, masks, distance functions, resampling and FreeImage output.
#include "assetgen/Canvas.h"

#include <FreeImage.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace assetgen {

Rgb Ramp(const Rgb* stops, size_t count, float t)
{
    if (count == 0) return {};
    if (count == 1) return stops[0];
    t = Clamp01(t) * float(count - 1);
    size_t i = std::min(size_t(t), count - 2);
    return Mix(stops[i], stops[i + 1], t - float(i));
}

void ForRows(int rows, const std::function<void(int)>& fn)
{
    const int workers = int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    std::atomic<int> next{0};
    auto run = [&] {
        for (int y = next++; y < rows; y = next++) fn(y);
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < workers; ++i) pool.emplace_back(run);
    run();
    for (std::thread& t : pool) t.join();
}

// ---- masks ---------------------------------------------------------------------------

Mask Dilate(const Mask& m, float radius)
{
    Mask out(m.w, m.h);
    int r = int(std::ceil(radius));
    // Disc offsets with a soft rim so the grown edge stays anti-aliased.
    struct Tap {
        int dx, dy;
        float weight;
    };
    std::vector<Tap> taps;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            float w = Clamp01(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)));
            if (w > 0.0f) taps.push_back({dx, dy, w});
        }
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0.0f;
            for (const Tap& t : taps) {
                float v = m.Sample(x + t.dx, y + t.dy) * t.weight;
                if (v > best) {
                    best = v;
                    if (best >= 1.0f) break;
                }
            }
            out.at(x, y) = best;
        }
    return out;
}

static void BoxPass(const std::vector<float>& in, std::vector<float>& out, int w, int h, int r, bool horizontal)
{
    float norm = 1.0f / float(2 * r + 1);
    int len = horizontal ? w : h;
    int lines = horizontal ? h : w;
    for (int line = 0; line < lines; ++line) {
        auto idx = [&](int i) { return horizontal ? size_t(line) * w + i : size_t(i) * w + line; };
        auto get = [&](int i) { return (i < 0 || i >= len) ? 0.0f : in[idx(i)]; };
        float sum = 0.0f;
        for (int i = -r; i <= r; ++i) sum += get(i);
        for (int i = 0; i < len; ++i) {
            out[idx(i)] = sum * norm;
            sum += get(i + r + 1) - get(i - r);
        }
    }
}

Mask Blur(const Mask& m, int radius)
{
    if (radius <= 0) return m;
    Mask a = m, b(m.w, m.h);
    int r = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(a.v, b.v, m.w, m.h, r, true);
        BoxPass(b.v, a.v, m.w, m.h, r, false);
    }
    return a;
}

Mask Shift(const Mask& m, int dx, int dy)
{
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) out.at(x, y) = m.Sample(x - dx, y - dy);
    return out;
}

// ---- canvas --------------------------------------------------------------------------

Canvas::Canvas(int width, int height, Rgba fill) : m_w(width), m_h(height), m_px(size_t(width) * height)
{
    Fill(fill);
}

Rgba Canvas::Get(int x, int y) const
{
    const Rgba& p = Px(x, y);
    if (p.a <= 0.0f) return {0, 0, 0, 0};
    return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::Set(int x, int y, Rgba s)
{
    Px(x, y) = {s.r * s.a, s.g * s.a, s.b * s.a, s.a};
}

void Canvas::Blend(int x, int y, Rgb c, float a)
{
    a = Clamp01(a);
    Rgba& d = Px(x, y);
    float k = 1.0f - a;
    d.r = c.r * a + d.r * k;
    d.g = c.g * a + d.g * k;
    d.b = c.b * a + d.b * k;
    d.a = a + d.a * k;
}

void Canvas::AddLight(int x, int y, Rgb c, float a)
{
    Rgba& d = Px(x, y);
    d.r += c.r * a;
    d.g += c.g * a;
    d.b += c.b * a;
    d.a = std::min(1.0f, d.a + a);
    // Keep the colour displayable: premultiplied colour may not exceed alpha.
    d.r = std::min(d.r, d.a);
    d.g = std::min(d.g, d.a);
    d.b = std::min(d.b, d.a);
}

void Canvas::Fill(Rgba s)
{
    Rgba p{s.r * s.a, s.g * s.a, s.b * s.a, s.a};
    std::fill(m_px.begin(), m_px.end(), p);
}

void Canvas::Draw(const Canvas& src, int ox, int oy, float opacity)
{
    for (int y = 0; y < src.m_h; ++y) {
        int cy = y + oy;
        if (cy < 0 || cy >= m_h) continue;
        for (int x = 0; x < src.m_w; ++x) {
            int cx = x + ox;
            if (cx < 0 || cx >= m_w) continue;
            const Rgba& s = src.Px(x, y);
            Rgba& d = Px(cx, cy);
            float k = 1.0f - s.a * opacity;
            d.r = s.r * opacity + d.r * k;
            d.g = s.g * opacity + d.g * k;
            d.b = s.b * opacity + d.b * k;
            d.a = s.a * opacity + d.a * k;
        }
    }
}

void Canvas::MultiplyAlpha(float k)
{
    for (Rgba& p : m_px) {
        p.r *= k;
        p.g *= k;
        p.b *= k;
        p.a *= k;
    }
}

// ---- distances -------------------------------------------------------------------------

float SdCircle(Vec2 p, Vec2 c, float r) { return Length(p - c) - r; }

float SdBox(Vec2 p, Vec2 c, Vec2 half, float rad)
{
    Vec2 q{std::fabs(p.x - c.x) - half.x + rad, std::fabs(p.y - c.y) - half.y + rad};
    Vec2 outside{std::max(q.x, 0.0f), std::max(q.y, 0.0f)};
    return Length(outside) + std::min(std::max(q.x, q.y), 0.0f) - rad;
}

float SdSegment(Vec2 p, Vec2 a, Vec2 b, float hw)
{
    Vec2 pa = p - a, ba = b - a;
    float l2 = Dot(ba, ba);
    float h = l2 > 0.0f ? Clamp01(Dot(pa, ba) / l2) : 0.0f;
    return Length(pa - ba * h) - hw;
}

float SdPolygon(Vec2 p, const std::vector<Vec2>& v)
{
    size_t n = v.size();
    float d = Dot(p - v[0], p - v[0]);
    float s = 1.0f;
    for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
        Vec2 e = v[j] - v[i];
        Vec2 w = p - v[i];
        float l2 = Dot(e, e);
        Vec2 b = w - e * (l2 > 0.0f ? Clamp01(Dot(w, e) / l2) : 0.0f);
        d = std::min(d, Dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

float SdEllipse(Vec2 p, Vec2 c, Vec2 r)
{
    // Scaled circle distance, corrected by the gradient length: good enough for anti-aliasing.
    Vec2 q{(p.x - c.x) / r.x, (p.y - c.y) / r.y};
    float k = Length(q);
    if (k == 0.0f) return -std::min(r.x, r.y);
    Vec2 g{q.x / (r.x * k), q.y / (r.y * k)};
    return (k - 1.0f) / std::max(Length(g), 1e-6f);
}

// ---- resampling ------------------------------------------------------------------------

// One axis of a separable resample: box-average when shrinking, linear when growing.
static std::vector<Rgba> ResampleAxis(const std::vector<Rgba>& in, int w, int h, int newLen, bool horizontal)
{
    int len = horizontal ? w : h;
    int lines = horizontal ? h : w;
    int outW = horizontal ? newLen : w;
    std::vector<Rgba> out(size_t(horizontal ? newLen * h : w * newLen));
    float scale = float(len) / float(newLen);
    for (int line = 0; line < lines; ++line) {
        auto src = [&](int i) -> const Rgba& {
            i = std::clamp(i, 0, len - 1);
            return horizontal ? in[size_t(line) * w + i] : in[size_t(i) * w + line];
        };
        for (int o = 0; o < newLen; ++o) {
            Rgba acc{};
            if (scale > 1.0f) {
                float a = o * scale, b = a + scale;
                float total = 0.0f;
                for (int i = int(a); i < int(std::ceil(b)); ++i) {
                    float wgt = std::min(b, float(i + 1)) - std::max(a, float(i));
                    const Rgba& s = src(i);
                    acc.r += s.r * wgt;
                    acc.g += s.g * wgt;
                    acc.b += s.b * wgt;
                    acc.a += s.a * wgt;
                    total += wgt;
                }
                acc = {acc.r / total, acc.g / total, acc.b / total, acc.a / total};
            } else {
                float f = (o + 0.5f) * scale - 0.5f;
                int i = int(std::floor(f));
                float t = f - float(i);
                const Rgba& s0 = src(i);
                const Rgba& s1 = src(i + 1);
                acc = {Mix(s0.r, s1.r, t), Mix(s0.g, s1.g, t), Mix(s0.b, s1.b, t), Mix(s0.a, s1.a, t)};
            }
            if (horizontal)
                out[size_t(line) * outW + o] = acc;
            else
                out[size_t(o) * outW + line] = acc;
        }
    }
    return out;
}

Canvas Resample(const Canvas& src, int width, int height)
{
    std::vector<Rgba> a = ResampleAxis(src.Pixels(), src.Width(), src.Height(), width, true);
    std::vector<Rgba> b = ResampleAxis(a, width, src.Height(), height, false);
    Canvas out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.Px(x, y) = b[size_t(y) * width + x];
    return out;
}

// ---- files ------------------------------------------------------------------------------

static BYTE ToByte(float v) { return BYTE(std::lround(Clamp01(v) * 255.0f)); }

bool SaveImage(const Canvas& c, const std::filesystem::path& file, FileFormat format, std::string& error)
{
    const bool alpha = format == FileFormat::Png32;
    const int bpp = alpha ? 32 : 24;
    FIBITMAP* bmp = FreeImage_Allocate(c.Width(), c.Height(), bpp,
                                       FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!bmp) {
        error = "cannot allocate a " + std::to_string(c.Width()) + "x" + std::to_string(c.Height()) + " bitmap";
        return false;
    }
    const int step = bpp / 8;
    for (int y = 0; y < c.Height(); ++y) {
        // FreeImage keeps the bottom row first; the canvas keeps the top row first.
        BYTE* line = FreeImage_GetScanLine(bmp, c.Height() - 1 - y);
        for (int x = 0; x < c.Width(); ++x) {
            Rgba s = c.Get(x, y);
            BYTE* px = line + x * step;
            if (alpha) {
                // Fully transparent texels keep black so filtering never bleeds stray colour.
                px[FI_RGBA_RED] = s.a > 0.0f ? ToByte(s.r) : 0;
                px[FI_RGBA_GREEN] = s.a > 0.0f ? ToByte(s.g) : 0;
                px[FI_RGBA_BLUE] = s.a > 0.0f ? ToByte(s.b) : 0;
                px[FI_RGBA_ALPHA] = ToByte(s.a);
            } else {
                // Opaque formats: whatever transparency is left is laid over black.
                const Rgba& p = c.Px(x, y);
                px[FI_RGBA_RED] = ToByte(p.r);
                px[FI_RGBA_GREEN] = ToByte(p.g);
                px[FI_RGBA_BLUE] = ToByte(p.b);
            }
        }
    }
    if (alpha) {
        // FreeImage writes a 32-bit bitmap whose every alpha is 255 as an RGB PNG, and the
        // game wants its 2D pictures RGBA: one corner texel at 254 keeps the alpha channel.
        bool opaque = true;
        for (int y = 0; y < c.Height() && opaque; ++y) {
            const BYTE* line = FreeImage_GetScanLine(bmp, y);
            for (int x = 0; x < c.Width() && opaque; ++x) opaque = line[x * 4 + FI_RGBA_ALPHA] == 255;
        }
        if (opaque) FreeImage_GetScanLine(bmp, 0)[(c.Width() - 1) * 4 + FI_RGBA_ALPHA] = 254;
    }
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    const std::string name = file.string();
    // Fast deflate: the noisy textures cost many seconds at the default level for little gain.
    BOOL ok = format == FileFormat::Jpeg24
                  ? FreeImage_Save(FIF_JPEG, bmp, name.c_str(), JPEG_QUALITYSUPERB | JPEG_OPTIMIZE)
                  : FreeImage_Save(FIF_PNG, bmp, name.c_str(), PNG_Z_BEST_SPEED);
    FreeImage_Unload(bmp);
    if (!ok) {
        error = "FreeImage could not write " + name;
        return false;
    }
    return true;
}

bool LoadImage(const std::filesystem::path& file, Canvas& out)
{
    const std::string name = file.string();
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(name.c_str(), 0);
    if (fif == FIF_UNKNOWN) fif = FreeImage_GetFIFFromFilename(name.c_str());
    if (fif == FIF_UNKNOWN) return false;
    FIBITMAP* bmp = FreeImage_Load(fif, name.c_str(), 0);
    if (!bmp) return false;
    const unsigned bpp = FreeImage_GetBPP(bmp);
    if (FreeImage_GetImageType(bmp) != FIT_BITMAP || (bpp != 24 && bpp != 32)) {
        FreeImage_Unload(bmp);
        return false;
    }
    const int w = int(FreeImage_GetWidth(bmp)), h = int(FreeImage_GetHeight(bmp));
    out = Canvas(w, h);
    const int step = int(bpp / 8);
    for (int y = 0; y < h; ++y) {
        const BYTE* line = FreeImage_GetScanLine(bmp, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const BYTE* px = line + x * step;
            float a = step == 4 ? px[FI_RGBA_ALPHA] / 255.0f : 1.0f;
            out.Set(x, y, {px[FI_RGBA_RED] / 255.0f, px[FI_RGBA_GREEN] / 255.0f, px[FI_RGBA_BLUE] / 255.0f, a});
        }
    }
    FreeImage_Unload(bmp);
    return true;
}

}  // namespace assetgen
