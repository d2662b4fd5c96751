// The cellars' scene: the party's torch lights wet stone stairs going down
// into flooded dark; the water glints; two pale eyes open far below, blink,
// and something slips into the water, sending rings towards the stairs. The
// camera creeps down a few steps. Rays are cast through a small model of the
// stairwell: two walls, a sloping vault, the treads and the water.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "forge/synth.h"
#include "video_art.h"

namespace video_art {
namespace {

using forge::paint::mix;
using forge::paint::rgb8;

constexpr int FRAMES = 120;  // 8 seconds
constexpr int EYES_FROM = 50, EYES_TO = 92, BLINK = 68;
constexpr int SPLASH = 94;  // the eyes go under; rings spread from there

struct vec {
    float x = 0, y = 0, z = 0;
};
vec operator+(vec a, vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
vec operator-(vec a, vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
vec operator*(vec a, float k) {
    return {a.x * k, a.y * k, a.z * k};
}
float dot(vec a, vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
vec normal(vec a) {
    const float l = std::sqrt(dot(a, a));
    return l > 0 ? a * (1 / l) : a;
}

// The stairwell: half a width of 1 either side of x = 0; steps of RUN deep
// and RISE high going down along z from 0 (a landing before); a vault
// following the slope; water from WATER_Y down.
constexpr float RUN = 0.42f, RISE = 0.28f, SLOPE = RISE / RUN;
constexpr float VAULT = 2.1f, WATER_Y = -3.05f, FAR = 16;
const vec TORCH = {-0.86f, -0.45f, 2.6f};
const vec EYES = {0.25f, WATER_Y + 0.3f, 8.5f};

// A smooth noise table sampled with wrap-around, cheap enough for every ray.
class noise_table {
  public:
    noise_table() : v_(size_t(N) * N) {
        for (int y = 0; y < N; ++y)
            for (int x = 0; x < N; ++x) {
                // Periodic: the four corners' noise blended across the tile.
                const float fx = float(x) / N, fy = float(y) / N;
                auto n = [](float a, float b) { return forge::paint::noise(a * 16, b * 16, 7, 4); };
                v_[size_t(y) * N + x] = n(fx, fy) * (1 - fx) * (1 - fy) + n(fx + 1, fy) * fx * (1 - fy) +
                                        n(fx, fy + 1) * (1 - fx) * fy + n(fx + 1, fy + 1) * fx * fy;
            }
    }
    float operator()(float x, float y) const {
        x *= N, y *= N;
        const float fx = std::floor(x), fy = std::floor(y);
        const int ix = int(fx) & (N - 1), iy = int(fy) & (N - 1);
        const int jx = (ix + 1) & (N - 1), jy = (iy + 1) & (N - 1);
        const float tx = x - fx, ty = y - fy;
        const float a = v_[size_t(iy) * N + ix], b = v_[size_t(iy) * N + jx];
        const float c = v_[size_t(jy) * N + ix], d = v_[size_t(jy) * N + jx];
        return (a * (1 - tx) + b * tx) * (1 - ty) + (c * (1 - tx) + d * tx) * ty;
    }

  private:
    static constexpr int N = 256;
    std::vector<float> v_;
};

uint32_t cell_hash(int a, int b, uint32_t seed) {
    uint32_t h = uint32_t(a) * 0x8DA6B343U ^ uint32_t(b) * 0xD8163841U ^ seed * 0xCB1AB31FU;
    h ^= h >> 13;
    h *= 0x5bd1e995U;
    return h ^ (h >> 15);
}

enum class surface { none, wall, vault, tread, water };

struct hit {
    surface what = surface::none;
    float t = 1e9f;
    vec p, n;
};

hit cast(vec o, vec d) {
    hit best;
    auto take = [&](surface s, float t, vec n) {
        if (t > 1e-4f && t < best.t) best = {s, t, o + d * t, n};
    };
    if (d.x > 0) take(surface::wall, (1 - o.x) / d.x, {-1, 0, 0});
    if (d.x < 0) take(surface::wall, (-1 - o.x) / d.x, {1, 0, 0});
    // The vault: y = VAULT - SLOPE * z (flat over the landing).
    {
        const float denom = d.y + SLOPE * d.z;
        if (denom > 0) {
            const float t = (VAULT - SLOPE * std::max(o.z, 0.0f) - o.y) / denom;
            take(surface::vault, t, normal({0, -1, -SLOPE}));
        }
    }
    if (d.y < 0) {
        take(surface::water, (WATER_Y - o.y) / d.y, {0, 1, 0});
        // The treads, step after step along the ray.
        int k = std::max(0, int(std::floor(o.z / RUN)));
        for (int steps = 0; steps < 48; ++steps, ++k) {
            const float y = k == 0 ? 0 : -float(k) * RISE;
            if (y < WATER_Y - 1) break;
            const float t = (y - o.y) / d.y;
            const float z = o.z + d.z * t;
            if (t > 0 && z <= float(k + 1) * RUN) {
                take(surface::tread, t, {0, 1, 0});
                break;
            }
            if (t > best.t) break;
        }
    }
    if (best.t > FAR) best.what = surface::none;
    return best;
}

struct scene {
    const noise_table& tex;
    int n;            // the frame
    float flicker;    // the torch's strength now
    vec torch;        // its flame, moving a little
    float splash_age; // frames since the splash, below 0 before it

    // Stone blocks of a wall face in (u, v) metres: courses 0.3 high, blocks
    // 0.55 long, every other course shifted; mortar dark, each block its own
    // tint, wet streaks running down.
    rgb stone(float u, float v, uint32_t seed, float& wet) const {
        const float course = std::floor(v / 0.3f);
        const float shifted = u + (int(course) & 1) * 0.27f;
        const float block = std::floor(shifted / 0.55f);
        const float bu = shifted - block * 0.55f, bv = v - course * 0.3f;
        const float mortar = std::min({bu, 0.55f - bu, bv, 0.3f - bv});
        const float tint = float(cell_hash(int(block), int(course), seed) & 255) / 255.0f;
        const float grain = tex(u * 1.7f, v * 1.7f);
        rgb c = mix(rgb8(92, 84, 78), rgb8(120, 110, 96), tint) * (0.7f + 0.5f * grain);
        c = mix(rgb8(34, 32, 30), c, smooth(0.0f, 0.03f, mortar));
        const float streak = tex(u * 2.5f, v * 0.15f + 0.37f);
        wet = smooth(0.45f, 0.7f, streak);
        c = c * (1 - 0.3f * wet);
        // Green slime low on the walls, near the water.
        const float slime = smooth(WATER_Y + 0.9f, WATER_Y, v) * tex(u * 3, v * 3 + 0.5f);
        return mix(c, rgb8(46, 70, 40), clamp01(slime * 1.3f));
    }

    // Torch light on a surface: warm, falling off with distance, with a wet
    // sheen; far from the torch there is only a cold trace of light.
    rgb light(const rgb& albedo, vec p, vec n, vec eye, float wet, float shine) const {
        const vec to = torch - p;
        const float d2 = dot(to, to);
        const vec l = normal(to);
        const float lambert = std::max(0.0f, dot(n, l));
        const float power = flicker * 2.2f / (1 + 0.9f * d2);
        const rgb warm = rgb8(255, 170, 90);
        rgb c = rgb{albedo.r * warm.r, albedo.g * warm.g, albedo.b * warm.b} * (lambert * power);
        const vec h = normal(l + normal(eye - p));
        const float spec = std::pow(std::max(0.0f, dot(n, h)), 24.0f) * (0.15f + 0.85f * wet) * shine * power;
        c = c + rgb8(255, 200, 140) * spec;
        c = c + rgb{albedo.r * 0.03f, albedo.g * 0.035f, albedo.b * 0.05f};
        return c;
    }

    rgb shade(const hit& h, vec eye, int depth) const {
        float wet = 0;
        switch (h.what) {
            case surface::none:
                return {};
            case surface::wall: {
                const rgb a = stone(h.p.z, h.p.y, h.n.x > 0 ? 3 : 4, wet);
                return light(a, h.p, h.n, eye, wet, 1);
            }
            case surface::vault: {
                const rgb a = stone(h.p.x * 1.3f + 5, h.p.z, 5, wet) * 0.55f;
                return light(a, h.p, h.n, eye, wet * 0.5f, 0.6f);
            }
            case surface::tread: {
                // Slabs worn pale along their front edges; puddles in the hollows.
                const float step_z = h.p.z - std::floor(h.p.z / RUN) * RUN;
                const float edge = smooth(RUN * 0.82f, RUN, step_z);
                const float grain = tex(h.p.x * 1.3f + 11, h.p.z * 1.3f);
                rgb a = mix(rgb8(84, 78, 72), rgb8(140, 128, 110), edge * 0.7f) * (0.7f + 0.5f * grain);
                // The rounded nose darkens just past the edge: a line between steps.
                a = a * (1 - 0.5f * smooth(0.0f, RUN * 0.08f, RUN * 0.08f - step_z));
                wet = 0.6f * smooth(0.5f, 0.7f, tex(h.p.x * 0.9f + 3, h.p.z * 0.9f + 7));
                return light(a * (1 - 0.25f * wet), h.p, h.n, eye, wet, 0.7f);
            }
            case surface::water: {
                // Small waves, and the rings once something went under.
                const float wx = h.p.x * 1.6f, wz = h.p.z * 1.6f, time = float(n) * 0.02f;
                float nx = (tex(wx + time, wz) - tex(wx + time + 0.01f, wz)) * 9;
                float nz = (tex(wx, wz - time) - tex(wx, wz - time + 0.01f)) * 9;
                if (splash_age >= 0) {
                    const float dx = h.p.x - EYES.x, dz = h.p.z - EYES.z;
                    const float r = std::sqrt(dx * dx + dz * dz) + 1e-4f;
                    const float front = splash_age * 0.09f;
                    for (int ring = 0; ring < 3; ++ring) {
                        const float rr = front - float(ring) * 0.35f;
                        if (rr <= 0) continue;
                        const float wave = std::exp(-(r - rr) * (r - rr) / 0.01f) * std::sin((r - rr) * 40) *
                                           0.5f / (1 + rr);
                        nx += wave * dx / r, nz += wave * dz / r;
                    }
                }
                const vec wn = normal({nx, 1, nz});
                rgb c = rgb8(6, 14, 16);
                if (depth == 0) {
                    const vec in = normal(h.p - eye);
                    const vec r = in - wn * (2 * dot(in, wn));
                    const hit mirrored = cast(h.p, r);
                    c = c + shade(mirrored, h.p, 1) * 0.45f;
                    // What lies under the surface, dim and green.
                    const hit under = cast(h.p + in * 0.01f, in);
                    if (under.what != surface::none) {
                        const float deep = WATER_Y - under.p.y;
                        const rgb u = shade(under, h.p, 1);
                        c = c + rgb{u.r * 0.35f, u.g * 0.55f, u.b * 0.5f} * std::exp(-deep * 2.5f);
                    }
                }
                // Glints: the torch caught by the ripples.
                const vec l = normal(torch - h.p);
                const vec hv = normal(l + normal(eye - h.p));
                const float d2 = dot(torch - h.p, torch - h.p);
                const float glint = std::pow(std::max(0.0f, dot(wn, hv)), 180.0f) * 5 * flicker / (1 + 0.15f * d2);
                return c + rgb8(255, 214, 150) * glint;
            }
        }
        return {};
    }
};

// The camera: a little way down the stairs, looking down them; it creeps
// forward and sways with the steps.
struct camera {
    vec eye;
    float pitch, yaw;
};

camera camera_at(int n) {
    const float t = smooth(0, float(FRAMES - 10), float(n));
    const float z = -0.6f + 1.5f * t;
    const float bob = 0.02f * std::sin(float(n) * 0.5f) * (1 - smooth(100, 110, float(n)));
    return {{0.05f, 1.55f - SLOPE * std::max(0.0f, z) + bob, z}, 0.74f - 0.06f * t, -0.05f + 0.07f * t};
}

vec ray_direction(const camera& c, float sx, float sy) {
    const float fov = 1.05f / W;  // about 60 degrees across
    vec d = normal({(sx - W / 2.0f) * fov, (H / 2.0f - sy) * fov, 1});
    const float cp = std::cos(c.pitch), sp = std::sin(c.pitch);
    d = {d.x, d.y * cp - d.z * sp, d.y * sp + d.z * cp};
    const float cy = std::cos(c.yaw), sy_ = std::sin(c.yaw);
    return {d.x * cy + d.z * sy_, d.y, -d.x * sy_ + d.z * cy};
}

// Where a point of the world lands on the screen (false behind the camera).
bool project(const camera& c, vec p, float& sx, float& sy) {
    vec d = p - c.eye;
    const float cy = std::cos(c.yaw), sy_ = std::sin(c.yaw);
    d = {d.x * cy - d.z * sy_, d.y, d.x * sy_ + d.z * cy};
    const float cp = std::cos(c.pitch), sp = std::sin(c.pitch);
    d = {d.x, d.y * cp + d.z * sp, -d.y * sp + d.z * cp};
    if (d.z <= 0.05f) return false;
    const float fov = 1.05f / W;
    sx = W / 2.0f + d.x / d.z / fov;
    sy = H / 2.0f - d.y / d.z / fov;
    return true;
}

// The torch on its iron bracket, the flame licking upwards, and its glow.
void draw_torch(frame& f, const camera& c, const scene& s, int n) {
    float sx, sy;
    if (!project(c, TORCH, sx, sy)) return;
    float bx, by;
    if (project(c, TORCH + vec{-0.1f, -0.28f, 0}, bx, by)) {
        for (float k = 0; k <= 1; k += 0.05f)
            for (int w = -1; w <= 1; ++w)
                f.blend(int(sx + (bx - sx) * k) + w, int(sy + 4 + (by - sy - 4) * k), rgb8(22, 16, 12), 0.9f);
    }
    const float size = 7 * s.flicker;
    for (int y = int(sy - size * 2.2f); y <= int(sy + size * 0.6f); ++y)
        for (int x = int(sx - size); x <= int(sx + size); ++x) {
            const float dx = (float(x) - sx) / size, dy = (float(y) - sy) / size;
            // A teardrop, swaying at the top.
            const float sway = 0.25f * std::sin(float(n) * 0.9f + dy * 2) * std::max(0.0f, -dy);
            const float width = dy > 0 ? std::sqrt(std::max(0.0f, 1 - dy * dy * 2.5f)) : 1 + dy * 0.45f;
            const float e = std::fabs(dx - sway) / std::max(0.01f, width * 0.55f);
            if (e >= 1 || width <= 0) continue;
            const float core = (1 - e) * (1 - clamp01(-dy / 2.2f));
            f.blend(x, y, mix(rgb8(255, 120, 30), rgb8(255, 244, 190), clamp01(core * 1.6f)), clamp01(core * 2.5f));
        }
    for (int y = int(sy - 30); y <= int(sy + 30); ++y)
        for (int x = int(sx - 30); x <= int(sx + 30); ++x) {
            const float dx = float(x) - sx, dy = float(y) - sy + 4;
            f.add(x, y, rgb8(255, 140, 50) * (0.18f * s.flicker * std::exp(-(dx * dx + dy * dy) / 160.0f)));
        }
}

// Two pale eyes in the dark over the water, opening, blinking once.
void draw_eyes(frame& f, const camera& c, int n) {
    if (n < EYES_FROM || n >= EYES_TO) return;
    const float open = smooth(float(EYES_FROM), float(EYES_FROM + 12), float(n)) *
                       (1 - smooth(float(EYES_TO - 6), float(EYES_TO), float(n)));
    if (n >= BLINK && n < BLINK + 3) return;
    for (float side : {-0.07f, 0.07f}) {
        float sx, sy;
        if (!project(c, EYES + vec{side, 0, 0}, sx, sy)) continue;
        const int x = int(std::lround(sx)), y = int(std::lround(sy));
        f.blend(x, y, rgb8(226, 240, 150), open);
        f.blend(x + 1, y, rgb8(160, 180, 90), open * 0.5f);
        f.blend(x - 1, y, rgb8(160, 180, 90), open * 0.5f);
    }
}

// The sound: a low, slow drone with a breath of noise, water dripping here
// and there, a deep groan as the eyes open, and the splash.
void render_cellars_sound(const std::string& path) {
    const double length = double(FRAMES) / FPS;
    const size_t total = size_t(length * RATE);
    std::vector<float> left(total, 0), right(total, 0);
    auto add = [&](const forge::layer& l, float pan) {
        const std::vector<float> mono = forge::render_layer(l, length, RATE);
        for (size_t i = 0; i < total && i < mono.size(); ++i) {
            left[i] += mono[i] * (1 - pan) * 0.5f;
            right[i] += mono[i] * (1 + pan) * 0.5f;
        }
    };
    forge::layer drone;
    drone.wave = forge::waveform::sine;
    drone.frequency = drone.end_frequency = 46;
    drone.env = {1.5, 0, 1, 2.0};
    drone.gain = 0.55;
    add(drone, 0);
    forge::layer buzz;
    buzz.wave = forge::waveform::saw;
    buzz.frequency = 69;
    buzz.end_frequency = 66;
    buzz.env = {2.0, 0, 1, 2.0};
    buzz.filter = {forge::filter_kind::low_pass, 180, 0.9};
    buzz.gain = 0.35;
    add(buzz, -0.3f);
    forge::layer beat = buzz;
    beat.frequency = 69.6;
    beat.end_frequency = 66.5;
    add(beat, 0.3f);
    forge::layer breath;
    breath.wave = forge::waveform::noise;
    breath.env = {2.5, 0, 1, 2.5};
    breath.filter = {forge::filter_kind::band_pass, 420, 3};
    breath.gain = 0.22;
    breath.seed = 17;
    add(breath, 0.1f);
    const double drips[][2] = {{0.9, -0.6}, {2.4, 0.5}, {3.7, -0.2}, {5.2, 0.7}, {6.9, -0.5}};
    for (const auto& drip : drips) {
        forge::layer d;
        d.wave = forge::waveform::sine;
        d.frequency = 1900;
        d.end_frequency = 820;
        d.curve = forge::sweep_curve::exponential;
        d.delay = drip[0];
        d.duration = 0.09;
        d.env = {0.002, 0.03, 0.3, 0.05};
        d.gain = 0.28;
        add(d, float(drip[1]));
    }
    forge::layer groan;
    groan.wave = forge::waveform::saw;
    groan.frequency = 58;
    groan.end_frequency = 41;
    groan.curve = forge::sweep_curve::exponential;
    groan.delay = double(EYES_FROM) / FPS;
    groan.duration = 2.6;
    groan.env = {0.8, 0.6, 0.6, 1.0};
    groan.filter = {forge::filter_kind::low_pass, 240, 2.5};
    groan.gain = 0.55;
    add(groan, 0.1f);
    forge::layer splash;
    splash.wave = forge::waveform::noise;
    splash.delay = double(SPLASH) / FPS;
    splash.duration = 0.9;
    splash.env = {0.01, 0.2, 0.3, 0.6};
    splash.filter = {forge::filter_kind::low_pass, 900, 0.8};
    splash.gain = 0.5;
    splash.seed = 23;
    add(splash, 0.15f);
    // Scaled to a calm peak, and faded at both ends.
    float peak = 0;
    for (size_t i = 0; i < total; ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    const float scale = peak > 0 ? 0.6f / peak : 1;
    for (size_t i = 0; i < total; ++i) {
        const float t = float(i) / RATE;
        const float fade = std::min({1.0f, t / 0.3f, (float(length) - t) / 0.8f});
        left[i] *= scale * std::max(0.0f, fade);
        right[i] *= scale * std::max(0.0f, fade);
    }
    write_stereo_wav(path, left, right);
}

}  // namespace

void paint_cellars(const std::string& out) {
    const std::string folder = out + "/sklepy";
    prepare_folder(folder);
    const noise_table tex;
    for (int n = 0; n < FRAMES; ++n) {
        const camera cam = camera_at(n);
        const float flicker = 0.85f + 0.1f * std::sin(float(n) * 1.7f) + 0.08f * tex(float(n) * 0.037f, 0.5f);
        const vec torch = TORCH + vec{0, 0.05f, 0} + vec{0.02f * std::sin(float(n) * 1.3f), 0, 0};
        const scene s{tex, n, flicker, torch, n >= SPLASH ? float(n - SPLASH) : -1};
        frame f;
        // Two rays a pixel, a half pixel apart diagonally, for steadier edges.
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                rgb sum;
                for (float o : {0.25f, 0.75f}) {
                    const vec d = ray_direction(cam, float(x) + o, float(y) + o);
                    const hit h = cast(cam.eye, d);
                    rgb c = s.shade(h, cam.eye, 0);
                    // The dark swallows what lies far below.
                    const float fog = std::exp(-std::max(0.0f, h.t - 3.5f) * 0.28f);
                    sum = sum + c * (0.5f * fog);
                }
                f.at(x, y) = sum;
            }
        draw_eyes(f, cam, n);
        draw_torch(f, cam, s, n);
        write_frame(folder, n, f, smooth(-1, 12, float(n)) * (1 - smooth(float(FRAMES - 12), float(FRAMES), float(n + 1))));
    }
    render_cellars_sound(out + "/sklepy.wav");
}

}  // namespace video_art
