// Paints the frames of the warden's dialog animation (VARTYR.MGF): his
// speaker picture (warden.png, 320 x 180) with a torch burning in its
// sconce on the wall behind him. The flame sways and its light on the wall
// and on him flickers, and he breathes: his shoulders rise and fall a
// little. The last frame leads back into the first, so the animation loops.
//
//   demo_art_dialog_anim <warden.png> <out folder>
//
// writes <out folder>/00.png ... 11.png for forge video.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "forge/paint.h"
#include "forge/png_import.h"

namespace {

using namespace forge::paint;

constexpr int W = 320, H = 180;
constexpr int FRAMES = 12;
constexpr float PI = 3.14159265f;

// The flame's foot on the torch's head; the wall's light (as the speaker
// picture was lit) comes from about here.
constexpr float FLAME_X = 40, FLAME_Y = 42;
constexpr float LIGHT_X = 40, LIGHT_Y = 30, LIGHT_REACH = 9000;

// Breathing moves the rows from here down, the most at the bottom.
constexpr float BREATH_TOP = 104, BREATH_DEPTH = 1.6f;

float phase(int k, float cycles) {
    return 2 * PI * cycles * float(k) / FRAMES;
}

// How bright the torch burns in frame k, around 1.
float flicker(int k) {
    return 1.0f + 0.09f * std::sin(phase(k, 1) + 0.4f) + 0.06f * std::sin(phase(k, 3) + 1.3f) +
           0.04f * std::sin(phase(k, 5) + 2.1f);
}

canvas from_image(const forge::rgba_image& image) {
    if (image.width != W || image.height != H)
        throw std::runtime_error("the speaker picture is not 320 x 180");
    canvas c(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint8_t* p = &image.rgba[(size_t(y) * W + x) * 4];
            c.set(x, y, rgb8(p[0], p[1], p[2]));
        }
    return c;
}

// The rows below BREATH_TOP drawn from a little lower down as he breathes in.
canvas breathe(const canvas& still, float lift) {
    canvas c = still;
    for (int y = int(BREATH_TOP); y < H; ++y) {
        const float from = y + lift * (y - BREATH_TOP) / (H - 1 - BREATH_TOP);
        const int a = std::min(int(from), H - 1), b = std::min(a + 1, H - 1);
        const float t = from - float(int(from));
        for (int x = 0; x < W; ++x) c.set(x, y, mix(still.get(x, a), still.get(x, b), t));
    }
    return c;
}

// The torch's light: warmer and brighter near it as the flame flares.
void light(canvas& c, float strength) {
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float dx = x - LIGHT_X, dy = y - LIGHT_Y;
            const float glow = std::exp(-(dx * dx + dy * dy) / LIGHT_REACH);
            const float k = 1 + (strength - 1) * (0.35f + 1.3f * glow);
            const rgb p = c.get(x, y);
            c.set(x, y,
                  {std::min(1.0f, p.r * k * (1 + 0.06f * glow * (strength - 0.9f))), std::min(1.0f, p.g * k),
                   std::min(1.0f, p.b * k * (1 - 0.05f * glow))});
        }
}

// An iron sconce on the wall with a pitch-soaked torch in it.
void sconce(canvas& c) {
    const rgb iron = rgb8(44, 40, 38), wood = rgb8(78, 52, 30);
    // The plate on the wall and the arm that holds the ring.
    fill_polygon(c, {20, 66, 28, 66, 28, 84, 20, 84}, iron);
    rivet(c, 24, 70, 1.5f);
    rivet(c, 24, 80, 1.5f);
    stroke(c, 28, 76, 35, 68, 3.0f, iron);
    // The torch, leaning out of the ring.
    stroke(c, 31, 86, FLAME_X, FLAME_Y + 6, 6.0f, wood);
    stroke(c, 32, 84, FLAME_X + 1, FLAME_Y + 6, 1.5f, rgb8(120, 84, 50));
    stroke(c, 32, 69, 39, 67, 3.0f, iron);
    // The rag wound round the head, black with pitch, lit from above.
    stroke(c, FLAME_X - 4, FLAME_Y + 6, FLAME_X + 4, FLAME_Y + 5, 7.0f, rgb8(34, 26, 22));
    stroke(c, FLAME_X - 3.5f, FLAME_Y + 2.5f, FLAME_X + 3.5f, FLAME_Y + 2.5f, 1.5f, rgb8(170, 90, 34));
}

// The flame of frame k: a tongue that sways and stretches, white-yellow at
// its heart, orange and red at its edge, with a soft halo round it.
void flame(canvas& c, int k) {
    const float strength = flicker(k);
    const float height = 22 + 4.5f * (strength - 1) / 0.19f + 1.5f * std::sin(phase(k, 2));
    const float sway = 3.0f * std::sin(phase(k, 2) + 0.7f) + 1.0f * std::sin(phase(k, 4));
    for (int y = int(FLAME_Y - 40); y < int(FLAME_Y + 16); ++y)
        for (int x = int(FLAME_X - 32); x < int(FLAME_X + 32); ++x) {
            const float hx = x + 0.5f - FLAME_X, hy = y + 0.5f - (FLAME_Y - 8);
            const float halo = 0.3f * strength * std::exp(-(hx * hx + hy * hy) / 220.0f);
            if (halo > 0.01f) c.blend(x, y, mix(c.get(x, y), rgb8(255, 180, 90), 1.0f), halo);
        }
    for (int y = int(FLAME_Y - height - 2); y <= int(FLAME_Y + 3); ++y)
        for (int x = int(FLAME_X - 14); x <= int(FLAME_X + 14); ++x) {
            const float v = (FLAME_Y + 2 - (y + 0.5f)) / height;  // 0 at the foot, 1 at the tip
            if (v < 0 || v > 1) continue;
            const float centre = FLAME_X + sway * v * v;
            const float half = 6.5f * std::pow(v, 0.35f) * std::pow(1 - v, 0.9f) + 0.4f;
            const float d = std::abs(x + 0.5f - centre) / half;
            const float a = std::clamp((1 - d) * half, 0.0f, 1.0f);
            if (a <= 0) continue;
            const float heat = std::clamp(1 - d * 0.8f - v * 0.7f, 0.0f, 1.0f);
            const rgb colour = heat > 0.5f ? mix(rgb8(255, 190, 70), rgb8(255, 248, 210), (heat - 0.5f) * 2)
                                           : mix(rgb8(200, 60, 20), rgb8(255, 190, 70), heat * 2);
            c.blend(x, y, colour, a * (v > 0.8f ? (1 - v) * 5 : 1.0f));
        }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <warden.png> <out folder>\n", argv[0]);
        return 2;
    }
    try {
        const canvas still = from_image(forge::read_png_file(argv[1]).image);
        for (int k = 0; k < FRAMES; ++k) {
            const float lift = BREATH_DEPTH * 0.5f * (1 - std::cos(phase(k, 1)));
            canvas c = breathe(still, lift);
            light(c, flicker(k));
            sconce(c);
            flame(c, k);
            char name[16];
            std::snprintf(name, sizeof name, "/%02d.png", k);
            forge::write_png_file(std::string(argv[2]) + name, to_image(c));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
