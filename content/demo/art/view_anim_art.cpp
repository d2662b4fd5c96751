// The animations drawn over the map view, as numbered 320 x 180 PNG frames
// for `forge video --no-sound`:
//
//   ohen/NN.png      the Spark's fire bolt leaving the lower middle of the
//                    view and shrinking into the distance, shedding sparks,
//                    with a small burst where it ends (12 frames)
//   sek/NN.png       a sword slash: a bright arc sweeping across the lower
//                    view from the right hand (8 frames; the game mirrors
//                    it for the left hand)
//   teleport/NN.png  a ring of blue-white light closing over the view, a
//                    flash where it meets and a veil that fades (12 frames)
//
// Each animation is painted as a field of light ("heat") that a colour ramp
// turns into pixels. The player shows only opaque pixels (alpha below 128
// lets the view through), so a soft edge is an ordered stipple that thins
// out, which reads as a glow once the frame is drawn doubled. A contact
// sheet of all frames over a grey ground is written to preview.png.
//
//   demo_art_view_anims <out folder>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "forge/paint.h"
#include "forge/png_import.h"

namespace {

namespace fs = std::filesystem;
using forge::paint::grain;
using forge::paint::mix;
using forge::paint::noise;
using forge::paint::rgb;
using forge::paint::rgb8;

constexpr int W = 320, H = 180;
constexpr float PI = 3.14159265f;

float smoothstep(float a, float b, float v) {
    const float t = std::clamp((v - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// The 4 x 4 ordered-dither threshold of a pixel, in (0, 1).
float bayer(int x, int y) {
    static constexpr int M[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (float(M[y & 3][x & 3]) + 0.5f) / 16.0f;
}

// A colour ramp: heat values and their colours, rising.
struct ramp_stop {
    float heat;
    rgb colour;
};
using ramp = std::vector<ramp_stop>;

rgb ramp_colour(const ramp& stops, float heat) {
    if (heat <= stops.front().heat) return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i)
        if (heat <= stops[i].heat)
            return mix(stops[i - 1].colour, stops[i].colour,
                       (heat - stops[i - 1].heat) / (stops[i].heat - stops[i - 1].heat));
    return stops.back().colour;
}

// One frame in the making: light added up per pixel, and pixels that are
// solid whatever their light (the teleport's veil).
class light_frame {
  public:
    light_frame() : heat_(size_t(W) * H, 0.0f), solid_(size_t(W) * H, 0) {}

    void add(int x, int y, float v) {
        if (x >= 0 && y >= 0 && x < W && y < H) heat_[size_t(y) * W + x] += v;
    }
    float heat(int x, int y) const { return heat_[size_t(y) * W + x]; }
    void make_solid(int x, int y, float v) {
        if (x < 0 || y < 0 || x >= W || y >= H) return;
        solid_[size_t(y) * W + x] = 1;
        heat_[size_t(y) * W + x] = std::max(heat_[size_t(y) * W + x], v);
    }

    // A round glow: strength at the centre, falling off as a Gaussian of the
    // radius; texture (0 = none) roughens it with noise, as flames are.
    void blob(float cx, float cy, float radius, float strength, float texture = 0, uint32_t seed = 1,
              float phase = 0) {
        const float reach = radius * 2.6f;
        for (int y = int(std::floor(cy - reach)); y <= int(std::ceil(cy + reach)); ++y)
            for (int x = int(std::floor(cx - reach)); x <= int(std::ceil(cx + reach)); ++x) {
                const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
                float v = strength * std::exp(-(dx * dx + dy * dy) / (radius * radius));
                if (texture > 0)
                    v *= 1 - texture +
                         2 * texture * noise(float(x) * 0.18f, float(y) * 0.18f + phase, seed, 3);
                add(x, y, v);
            }
    }

    // A thin bright line (for glints), strength fading towards its ends.
    void streak(float x0, float y0, float x1, float y1, float strength) {
        const int steps = int(std::ceil(std::hypot(x1 - x0, y1 - y0) * 2)) + 1;
        for (int i = 0; i <= steps; ++i) {
            const float t = float(i) / float(steps);
            const float fade = 1 - std::abs(2 * t - 1);
            add(int(std::floor(x0 + (x1 - x0) * t)), int(std::floor(y0 + (y1 - y0) * t)),
                strength * (0.3f + 0.7f * fade) / 2);
        }
    }

    // The picture: the ramp's colour where the light is strong enough, a
    // stipple where it is fading, the view (alpha 0) elsewhere.
    forge::rgba_image picture(const ramp& colours, float edge_low, float edge_high) const {
        forge::rgba_image out;
        out.width = W;
        out.height = H;
        out.rgba.assign(size_t(W) * H * 4, 0);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const size_t i = size_t(y) * W + x;
                const float cover = smoothstep(edge_low, edge_high, heat_[i]);
                // Thresholds from 0.2 to 0.8: a fringe of light half as wide as the glow's edge.
                const bool shown = solid_[i] || cover > 0.2f + 0.6f * bayer(x, y);
                if (!shown) continue;
                const rgb c = ramp_colour(colours, heat_[i]);
                uint8_t* p = &out.rgba[i * 4];
                p[0] = uint8_t(std::lround(std::clamp(c.r, 0.0f, 1.0f) * 255));
                p[1] = uint8_t(std::lround(std::clamp(c.g, 0.0f, 1.0f) * 255));
                p[2] = uint8_t(std::lround(std::clamp(c.b, 0.0f, 1.0f) * 255));
                p[3] = 255;
            }
        return out;
    }

  private:
    std::vector<float> heat_;
    std::vector<uint8_t> solid_;
};

// A small deterministic random source, so that every build paints the same frames.
class dice {
  public:
    explicit dice(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    float next() {  // 0..1
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return float(state_ >> 8) * (1.0f / 16777216.0f);
    }
    float between(float a, float b) { return a + (b - a) * next(); }

  private:
    uint32_t state_;
};

// ------------------------------------------------------------ the fire bolt

const ramp FIRE = {{0.0f, rgb8(140, 26, 8)},   {0.35f, rgb8(214, 62, 14)},  {0.8f, rgb8(255, 146, 30)},
                   {1.3f, rgb8(255, 214, 86)}, {1.9f, rgb8(255, 246, 208)}, {3.0f, rgb8(255, 255, 244)}};

constexpr int BOLT_FLIGHT = 10;  // frames in flight; then two of the burst
constexpr int BOLT_FRAMES = BOLT_FLIGHT + 2;

// Where the bolt is at t (0 leaving the caster, 1 where it ends), in
// perspective: the distance grows evenly, the picture shrinks with it.
struct bolt_place {
    float x, y, radius, depth;
};
bolt_place bolt_at(float t) {
    // Slow at first, so that the bolt is seen leaving before it dwindles.
    const float depth = 1 + 5 * std::pow(std::max(t, 0.0f), 1.5f);
    return {160 + 5 / depth, 92 + 80 / depth, 28 / depth, depth};
}

struct spark {
    float born;  // in frames
    float x, y, vx, vy, life;
};

std::vector<spark> bolt_sparks() {
    dice d(17);
    std::vector<spark> sparks;
    for (int i = 0; i < 46; ++i) {
        spark s;
        s.born = d.between(0.3f, float(BOLT_FLIGHT) - 1.5f);
        const bolt_place at = bolt_at(s.born / float(BOLT_FLIGHT - 1));
        const float angle = d.between(0, 2 * PI);
        s.x = at.x + std::cos(angle) * at.radius * 0.7f;
        s.y = at.y + std::sin(angle) * at.radius * 0.5f;
        // Left behind the bolt: outwards and towards the viewer, falling.
        const float speed = d.between(3, 8) / std::sqrt(at.depth);
        s.vx = std::cos(angle) * speed;
        s.vy = std::sin(angle) * speed * 0.6f + d.between(0.5f, 2.5f);
        s.life = d.between(2.5f, 4.5f);
        sparks.push_back(s);
    }
    // The burst's sparks fly out from the end, where they are small.
    const bolt_place end = bolt_at(1);
    for (int i = 0; i < 18; ++i) {
        const float angle = d.between(0, 2 * PI);
        const float speed = d.between(2.5f, 5.5f);
        sparks.push_back({float(BOLT_FLIGHT) - 0.8f, end.x, end.y, std::cos(angle) * speed,
                          std::sin(angle) * speed * 0.7f - 0.8f, d.between(2.2f, 3.2f)});
    }
    return sparks;
}

forge::rgba_image paint_bolt(int f, const std::vector<spark>& sparks) {
    light_frame light;
    const float phase = float(f) * 1.7f;
    if (f < BOLT_FLIGHT) {
        const float t = float(f) / float(BOLT_FLIGHT - 1);
        // The tail: where the bolt was a moment ago, thinning and cooling.
        for (int k = 14; k >= 1; --k) {
            const bolt_place p = bolt_at(t - float(k) * 0.011f);
            const float fade = 1 - float(k) / 15.0f;
            const bolt_place head = bolt_at(t);
            light.blob(p.x, p.y, head.radius * (0.35f + 0.6f * fade), 0.55f * fade, 0.5f, 31, phase);
        }
        const bolt_place head = bolt_at(t);
        light.blob(head.x, head.y, head.radius * 1.25f, 0.9f, 0.45f, 33, phase);  // the flames
        light.blob(head.x, head.y, head.radius * 0.55f, 1.6f);                    // the white-hot core
    } else {
        // The burst where it ends: a flare that widens and dies.
        const bolt_place end = bolt_at(1);
        const float k = float(f - BOLT_FLIGHT);
        light.blob(end.x, end.y, 6 + 4 * k, 1.8f - 0.75f * k, 0.5f, 35, phase);
    }
    for (const spark& s : sparks) {
        const float age = float(f) - s.born;
        if (age < 0 || age > s.life) continue;
        const float x = s.x + s.vx * age, y = s.y + s.vy * age + 0.35f * age * age;
        const float glow = 1 - age / s.life;
        light.blob(x, y, 1.1f, 1.2f + glow);
        // A short streak back along its path.
        light.streak(x, y, x - s.vx * 0.8f, y - (s.vy + 0.7f * age) * 0.8f, 0.9f * glow + 0.4f);
    }
    return light.picture(FIRE, 0.1f, 0.45f);
}

// ---------------------------------------------------------- the sword slash

const ramp STEEL = {{0.0f, rgb8(58, 84, 150)},
                    {0.4f, rgb8(92, 134, 214)},
                    {0.9f, rgb8(170, 204, 255)},
                    {1.4f, rgb8(232, 242, 255)},
                    {2.2f, rgb8(255, 255, 255)}};

constexpr int SLASH_FRAMES = 8;
// The blade's tip turns about a point below the view, right of its middle:
// from the right edge (55 degrees) over the middle to the lower left corner.
constexpr float PIVOT_X = 180, PIVOT_Y = 365, REACH = 250;
struct slash_step {
    float tail, head, strength;  // degrees; the arc's light between them
};
constexpr std::array<slash_step, SLASH_FRAMES> SLASH = {{{53, 62, 1.0f},
                                                         {57, 80, 1.0f},
                                                         {62, 98, 1.0f},
                                                         {72, 113, 1.0f},
                                                         {88, 123, 0.95f},
                                                         {105, 127, 0.8f},
                                                         {116, 128.5f, 0.6f},
                                                         {123, 129, 0.45f}}};

forge::rgba_image paint_slash(int f) {
    light_frame light;
    const slash_step& step = SLASH[size_t(f)];
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float dx = float(x) + 0.5f - PIVOT_X, dy = PIVOT_Y - (float(y) + 0.5f);
            const float theta = std::atan2(dy, dx) * 180 / PI, rho = std::hypot(dx, dy);
            if (theta < step.tail || theta > step.head) continue;
            // 0 at the trail's end, 1 at the blade: a crescent, thick and bright at the head.
            const float s = (theta - step.tail) / (step.head - step.tail);
            const float width = 3 + 22 * s;
            // The light hugs the outer edge, where the tip passed; streaks run along the arc.
            const float centre = REACH + width * 0.15f;
            const float across = (rho - centre) / (rho < centre ? width * 0.75f : width * 0.25f);
            const float streaks = 0.75f + 0.5f * noise(theta * 0.9f, rho * 0.35f, 51, 2);
            const float edge = std::exp(-across * across);
            const float rim = std::exp(-std::pow((rho - REACH - width * 0.2f) / 1.3f, 2.0f));
            light.add(x, y, step.strength * (std::pow(s, 0.6f) * 1.5f * edge * streaks + rim * s * 1.2f));
        }
    // The glint on the blade's tip while it sweeps.
    if (f >= 1 && f <= 4) {
        const float a = SLASH[size_t(f)].head * PI / 180;
        const float tx = PIVOT_X + REACH * std::cos(a), ty = PIVOT_Y - REACH * std::sin(a);
        const float size = f == 2 || f == 3 ? 11.0f : 7.0f;
        light.blob(tx, ty, 2.2f, 2.0f);
        light.streak(tx - size, ty, tx + size, ty, 3.0f);
        light.streak(tx, ty - size, tx, ty + size, 3.0f);
    }
    return light.picture(STEEL, 0.12f, 0.4f);
}

// ------------------------------------------------------------- the teleport

const ramp AZURE = {{0.0f, rgb8(34, 58, 150)},
                    {0.45f, rgb8(80, 124, 236)},
                    {0.9f, rgb8(150, 190, 255)},
                    {1.4f, rgb8(214, 232, 255)},
                    {2.2f, rgb8(252, 254, 255)}};

constexpr int TELEPORT_FRAMES = 12;
constexpr int RING_FRAMES = 8;  // the ring closes over these; the flash and the fading follow
constexpr float CX = 160, CY = 90;

forge::rgba_image paint_teleport(int f) {
    light_frame light;
    const float phase = float(f) * 0.9f;
    // How much of the view the veil of light covers outside the ring.
    static constexpr std::array<float, TELEPORT_FRAMES> VEIL = {0.04f, 0.07f, 0.1f,  0.13f, 0.17f, 0.21f,
                                                                0.25f, 0.3f,  0.36f, 0.22f, 0.1f,  0.03f};
    const float ring = f < RING_FRAMES ? 195 * std::pow(1 - float(f) / float(RING_FRAMES), 0.85f) : 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float dx = float(x) + 0.5f - CX, dy = (float(y) + 0.5f - CY) * 1.15f;
            const float d = std::hypot(dx, dy), angle = std::atan2(dy, dx);
            if (f < RING_FRAMES) {
                const float thick = 4 + 5 * (1 - float(f) / float(RING_FRAMES));
                const float shimmer = 0.75f + 0.5f * noise(angle * 5 + 20, phase, 61, 2);
                const float across = (d - ring) / thick;
                light.add(x, y, 1.9f * shimmer * std::exp(-across * across));
            }
            // The veil: an ordered stipple, thicker where it drifts, outside the ring only.
            if (d > ring + 3) {
                const float drift = 0.7f + 0.6f * noise(float(x) * 0.03f + phase, float(y) * 0.04f, 63, 3);
                if (bayer(x, y) < VEIL[size_t(f)] * drift)
                    light.make_solid(x, y,
                                     0.35f + 0.5f * noise(float(x) * 0.08f, float(y) * 0.08f - phase, 65, 2));
            }
        }
    // Where the ring meets: a flash that shrinks away.
    static constexpr std::array<float, 4> FLASH = {44, 28, 14, 0};
    if (f >= RING_FRAMES && FLASH[size_t(f - RING_FRAMES)] > 0)
        light.blob(CX, CY, FLASH[size_t(f - RING_FRAMES)], 2.4f - 0.5f * float(f - RING_FRAMES), 0.3f, 67,
                   phase);
    // Sparkles riding the ring, and scattered as it fades.
    dice d(uint32_t(71 + f));
    const int count = f < RING_FRAMES ? 14 : 10 - 2 * (f - RING_FRAMES);
    for (int i = 0; i < count; ++i) {
        const float angle = d.between(0, 2 * PI);
        const float r = f < RING_FRAMES ? ring + d.between(-6, 6) : d.between(10, 120);
        const float x = CX + std::cos(angle) * r, y = CY + std::sin(angle) * r / 1.15f;
        const float size = d.between(2.5f, 5.5f);
        light.blob(x, y, 1.0f, 2.0f);
        light.streak(x - size, y, x + size, y, 2.4f);
        light.streak(x, y - size, x, y + size, 2.4f);
    }
    return light.picture(AZURE, 0.12f, 0.4f);
}

// ----------------------------------------------------------------- output

void write_frames(const fs::path& folder, const std::vector<forge::rgba_image>& frames) {
    // Frames of an older, longer version would join the video: start afresh.
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (size_t i = 0; i < frames.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%02zu.png", i);
        forge::write_png_file((folder / name).string(), frames[i]);
    }
}

// The frames side by side at half size, one animation a row, over a grey
// ground that stands for the view.
forge::rgba_image contact_sheet(const std::vector<std::vector<forge::rgba_image>>& rows) {
    size_t columns = 0;
    for (const auto& row : rows) columns = std::max(columns, row.size());
    constexpr int CELL_W = W / 2 + 4, CELL_H = H / 2 + 4;
    forge::rgba_image sheet;
    sheet.width = int(columns) * CELL_W;
    sheet.height = int(rows.size()) * CELL_H;
    sheet.rgba.assign(size_t(sheet.width) * sheet.height * 4, 255);
    for (int y = 0; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x) {
            const float g = 0.28f + 0.12f * grain(x / 6, y / 6, 81) + 0.1f * float(y % CELL_H) / CELL_H;
            uint8_t* p = &sheet.rgba[(size_t(y) * sheet.width + x) * 4];
            p[0] = p[1] = p[2] = uint8_t(g * 255);
        }
    // Each sheet pixel is the average of four frame pixels over the ground,
    // as a stipple looks from afar.
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            for (int y = 0; y < H / 2; ++y)
                for (int x = 0; x < W / 2; ++x) {
                    uint8_t* to = &sheet.rgba[(size_t(int(r) * CELL_H + 2 + y) * sheet.width +
                                               size_t(int(c) * CELL_W + 2 + x)) *
                                              4];
                    for (int k = 0; k < 3; ++k) {
                        int sum = 0;
                        for (int q = 0; q < 4; ++q) {
                            const uint8_t* from =
                                &rows[r][c].rgba[(size_t(y * 2 + q / 2) * W + size_t(x * 2 + q % 2)) * 4];
                            sum += from[3] >= 128 ? from[k] : to[k];
                        }
                        to[k] = uint8_t(sum / 4);
                    }
                }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_art_view_anims <out folder>\n");
        return 2;
    }
    try {
        const fs::path out = argv[1];
        std::vector<forge::rgba_image> bolt, slash, teleport;
        const std::vector<spark> sparks = bolt_sparks();
        for (int f = 0; f < BOLT_FRAMES; ++f) bolt.push_back(paint_bolt(f, sparks));
        for (int f = 0; f < SLASH_FRAMES; ++f) slash.push_back(paint_slash(f));
        for (int f = 0; f < TELEPORT_FRAMES; ++f) teleport.push_back(paint_teleport(f));
        write_frames(out / "ohen", bolt);
        write_frames(out / "sek", slash);
        write_frames(out / "teleport", teleport);
        forge::write_png_file((out / "preview.png").string(), contact_sheet({bolt, slash, teleport}));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_art_view_anims: %s\n", e.what());
        return 1;
    }
    return 0;
}
