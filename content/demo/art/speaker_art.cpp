// Paints the speakers of the demo's dialogs into PNG files for the dialog
// screen's picture area (320 x 180): "warden.png" (the keep's warden in the
// great hall), "prisoner.png" (Radek behind his cell's grille) and
// "merchant.png" (the merchant before his tent in the courtyard), head and
// shoulders in the torchlight of the party's portraits. Radek can join the
// party, so his face in four states and his figure are written too, as
// "xicht03.png" and "char03.png" (portrait 3).
//
//   demo_art_speakers <out folder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>

#include "portrait_art.h"

namespace {

using namespace portrait_art;
using namespace forge::paint;

constexpr int W = 320, H = 180;

// The head's centre and half-width in the picture.
constexpr float CX = 160, CY = 80, S = 34;

const look& warden() {
    static const look who{"Warden",
                          99,
                          false,
                          rgb8(190, 140, 112),
                          rgb8(96, 90, 84),
                          rgb8(70, 84, 96),
                          rgb8(88, 92, 100),
                          rgb8(170, 130, 70),
                          hair_style::receding,
                          true,
                          true,
                          1.2f,
                          1.0f,
                          0.95f,
                          71};
    return who;
}

const look& prisoner() {
    static const look who{"Radek",
                          3,
                          false,
                          rgb8(200, 168, 140),
                          rgb8(64, 46, 32),
                          rgb8(96, 110, 80),
                          rgb8(150, 144, 128),
                          rgb8(120, 112, 96),
                          hair_style::long_loose,
                          true,
                          false,
                          0.82f,
                          1.15f,
                          0.3f,
                          83};
    return who;
}

const look& merchant() {
    static const look who{"Merchant",
                          99,
                          false,
                          rgb8(206, 150, 116),
                          rgb8(30, 24, 22),
                          rgb8(60, 44, 30),
                          rgb8(128, 30, 36),
                          rgb8(214, 170, 70),
                          hair_style::cropped,
                          false,
                          true,
                          1.3f,
                          0.92f,
                          0.5f,
                          97};
    return who;
}

// A backdrop: stone with mortar courses, lit by a torch at (lx, ly).
void stone_wall(canvas& c, float lx, float ly, float reach, float dim, uint32_t seed) {
    fill(c, {0, 0, W, H}, [&](int x, int y) {
        const int course = y / 26;
        const bool mortar = y % 26 < 2 || (x + course * 37) % 58 < 2;
        const float stone = 0.7f + 0.45f * noise(x * 0.05f, y * 0.09f, seed + course, 4);
        const float glow = std::exp(-((x - lx) * (x - lx) + (y - ly) * (y - ly)) / reach);
        const rgb base = mix(rgb8(58, 52, 50), rgb8(104, 92, 80), stone - 0.45f) * (mortar ? 0.5f : 1.0f);
        return lit(base, (dim + 1.1f * glow));
    });
}

// Shoulders in the given cloth, falling away from the neck, under the head.
void shoulders(canvas& c, const look& who, const std::function<rgb(int, int, float, float)>& cloth) {
    const float neck_top = CY + 0.7f * S, sy = CY + 1.55f * S * who.length;
    for (int y = int(neck_top); y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float u = (x + 0.5f - CX) / S;
            const float a = std::clamp((0.5f - std::abs(u)) * S + 0.5f, 0.0f, 1.0f);
            if (a > 0) c.blend(x, y, lit(who.skin, 0.35f + 0.5f * std::clamp(0.5f - u, 0.0f, 1.0f)), a);
        }
    for (int y = int(sy - 0.4f * S); y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float u = (x + 0.5f - CX) / S, v = (y + 0.5f - sy) / S;
            const float line = -0.25f + 0.12f * u * u;
            const float a = std::clamp((v - line) * S + 0.5f, 0.0f, 1.0f);
            if (a <= 0 || std::abs(u) > 2.9f) continue;
            const float dv = v - line, opening = 0.4f - v * 0.25f;
            if (std::abs(u) < opening - dv * 0.9f && dv < 0.9f) continue;  // the throat
            const bool trim = std::abs(u) < opening - dv * 0.9f + 0.16f && dv < 1.05f;
            const float light = 0.35f + 0.75f * std::clamp(0.6f - u * 0.35f - dv * 0.1f, 0.0f, 1.0f);
            c.blend(x, y, lit(trim ? who.shirt_trim : cloth(x, y, u, dv), light), a);
        }
}

// Mail: rows of small rings over a dark gambeson.
rgb mail(const look& who, int x, int y) {
    const float rx = std::fmod(x + (y / 3 % 2) * 2.0f, 4.0f) - 2, ry = std::fmod(float(y), 3.0f) - 1.5f;
    const float ring = std::abs(std::sqrt(rx * rx + ry * ry) - 1.4f) < 0.6f ? 1.15f : 0.55f;
    return who.shirt * ring * (0.9f + 0.2f * grain(x, y, who.seed));
}

canvas paint_warden() {
    canvas c(W, H);
    stone_wall(c, 40, 30, 9000, 0.35f, 711);
    // A faded banner of the keep behind his shoulder.
    fill(c, {228, 0, 62, 150}, [](int x, int y) {
        const float cloth = 0.8f + 0.25f * noise(x * 0.1f, y * 0.02f, 712, 3);
        const bool stripe = std::abs(x - 259) < 5;
        return lit((stripe ? rgb8(190, 150, 70) : rgb8(110, 30, 34)) * cloth, 0.55f);
    });
    fill_polygon(c, {228, 150, 259, 132, 290, 150, 290, 160, 228, 160}, lit(rgb8(56, 50, 48), 0.4f));
    const look& who = warden();
    shoulders(c, who, [&](int x, int y, float, float) { return mail(who, x, y); });
    paint_head(c, who, CX, CY, S, 0);
    vignette(c, {0, 0, W, H}, 0.4f);
    return c;
}

canvas paint_prisoner() {
    canvas c(W, H);
    // A dark cell: the only light comes through the grille from the corridor.
    stone_wall(c, 160, -20, 16000, 0.12f, 721);
    const look& who = prisoner();
    shoulders(c, who, [&](int x, int y, float u, float dv) {
        // A torn linen shirt: a rip over the left shoulder shows the skin.
        const bool rip = u > 1.1f && u < 1.6f && dv > 0.2f && dv < 0.4f + 0.3f * noise(u * 4, dv * 4, 722, 2);
        const float dirt = 0.75f + 0.3f * noise(x * 0.08f, y * 0.08f, 723, 3);
        return rip ? who.skin * 0.8f : who.shirt * dirt;
    });
    paint_head(c, who, CX, CY, S, 1);
    vignette(c, {0, 0, W, H}, 0.55f);
    // The grille in front: iron bars lit from above, a crossbar with rivets.
    const rgb iron = rgb8(70, 66, 64);
    for (int bar = 0; bar < 6; ++bar) {
        const float bx = 24 + bar * 55;
        fill(c, {int(bx) - 6, 0, 12, H}, [&](int x, int y) {
            const float across = (x + 0.5f - bx) / 6.0f;
            const float rust = noise(x * 0.3f, y * 0.05f, 724 + bar, 3);
            return lit(mix(iron, rgb8(120, 62, 34), rust * 0.5f),
                       0.35f + 0.7f * (1 - across * across) - 0.2f * across);
        });
    }
    fill(c, {0, 138, W, 12}, [&](int x, int y) {
        const float across = (y + 0.5f - 144) / 6.0f;
        return lit(mix(iron, rgb8(120, 62, 34), noise(x * 0.05f, y * 0.3f, 725, 3) * 0.5f),
                   0.3f + 0.7f * (1 - across * across) - 0.2f * across);
    });
    for (int bar = 0; bar < 6; ++bar) rivet(c, 24 + bar * 55.0f, 144, 3.0f);
    return c;
}

canvas paint_merchant() {
    canvas c(W, H);
    // The striped canvas of his tent, lit by the afternoon sun from the left.
    fill(c, {0, 0, W, H}, [](int x, int y) {
        const float sag = 6 * std::sin(x * 0.02f);
        const bool red = int((x + sag) / 32) % 2 == 0;
        const float weave = 0.85f + 0.2f * noise(x * 0.3f, y * 0.3f, 731, 2);
        const float light =
            0.5f + 0.6f * std::exp(-((x - 30.0f) * (x - 30.0f) + (y - 20.0f) * (y - 20.0f)) / 30000);
        return lit((red ? rgb8(150, 50, 40) : rgb8(214, 196, 160)) * weave, light);
    });
    // The tent's pole to the right.
    fill(c, {262, 0, 14, H},
         [](int x, int y) { return lit(dark_wood(x, y, 732), 0.8f - (x - 262) * 0.03f); });
    const look& who = merchant();
    shoulders(c, who, [&](int x, int y, float u, float) {
        // A fine red coat with a row of brass buttons.
        const float nap = 0.9f + 0.15f * noise(x * 0.2f, y * 0.2f, 733, 2);
        return std::abs(u) < 0.05f ? who.shirt_trim : who.shirt * nap;
    });
    for (float y : {150.0f, 168.0f}) disc(c, CX + 6, y, 2.6f, lit(rgb8(214, 170, 70), 1.0f));
    paint_head(c, who, CX, CY, S, 0);
    // A felt cap over the hair.
    fill_polygon(c, {CX - 36, CY - 26, CX - 30, CY - 52, CX, CY - 60, CX + 30, CY - 52, CX + 36, CY - 26},
                 lit(rgb8(60, 40, 30), 0.7f));
    fill_polygon(c, {CX - 38, CY - 26, CX + 38, CY - 26, CX + 38, CY - 20, CX - 38, CY - 20},
                 lit(rgb8(214, 170, 70), 0.9f));
    vignette(c, {0, 0, W, H}, 0.3f);
    return c;
}

// The shop's keeper picture (260 x 140, the size the shop screen frames) is
// the same merchant: his dialog picture cropped to that shape about his
// face and scaled down, averaging the source pixels each target pixel covers.
canvas paint_keeper(const canvas& merchant) {
    constexpr int KW = 260, KH = 140;
    const float crop_h = merchant.width() * float(KH) / KW;  // the whole width, the rows about the face
    const float top = std::clamp(CY - crop_h / 2, 0.0f, merchant.height() - crop_h);
    const float step = merchant.width() / float(KW);
    canvas c(KW, KH);
    for (int y = 0; y < KH; ++y)
        for (int x = 0; x < KW; ++x) {
            rgb sum{};
            int n = 0;
            for (int sy = int(top + y * step); sy < int(top + (y + 1) * step); ++sy)
                for (int sx = int(x * step); sx < int((x + 1) * step); ++sx)
                    if (merchant.inside(sx, sy)) sum = sum + merchant.get(sx, sy), ++n;
            c.set(x, y,
                  n ? sum * (1.0f / n)
                    : merchant.get(std::min(int(x * step), merchant.width() - 1),
                                   std::min(int(top + y * step), merchant.height() - 1)));
        }
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <out folder>\n", argv[0]);
        return 2;
    }
    try {
        const std::string out = argv[1];
        auto save = [&](const char* name, const canvas& c) {
            forge::write_png_file(out + "/" + name + ".png", to_image(c));
        };
        save("warden", paint_warden());
        save("prisoner", paint_prisoner());
        const canvas merchant = paint_merchant();
        save("merchant", merchant);
        save("kupec", paint_keeper(merchant));
        save("xicht03", paint_face_states(prisoner()));
        save("char03", paint_body(prisoner()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
