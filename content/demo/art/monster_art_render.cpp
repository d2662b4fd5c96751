// The renderer of the monster pictures: distance fields of the model's
// solids, one ray per pixel marched straight into the picture, and the
// lighting that turns a hit into a material and a brightness level.
#include <algorithm>
#include <cmath>

#include "monster_art.h"

namespace monster_art {

namespace {

constexpr float PI = 3.14159265f;
// The viewer looks down a little, as the party does at a creature a few
// steps away: the tops of heads and shoulders catch the light.
constexpr float PITCH = 6 * PI / 180;
constexpr float HIT = 0.0012f;

float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

float smoothstep01(float t) {
    t = clamp01(t);
    return t * t * (3 - 2 * t);
}

// Rows of a 3 x 3 matrix.
struct mat3 {
    vec3 r[3];
    vec3 apply(const vec3& p) const { return {dot(r[0], p), dot(r[1], p), dot(r[2], p)}; }
    vec3 apply_transposed(const vec3& p) const { return r[0] * p.x + r[1] * p.y + r[2] * p.z; }
};

// Model to view: turned about the vertical axis, then tilted towards the viewer.
mat3 view_matrix(float turn) {
    const float c = std::cos(turn), s = std::sin(turn), cp = std::cos(PITCH), sp = std::sin(PITCH);
    // x' = x c + z s; z' = -x s + z c; then y'' = y cp - z' sp, z'' = y sp + z' cp.
    return {{{c, 0, s}, {s * sp, cp, -c * sp}, {-s * cp, sp, c * cp}}};
}

// A point in a part's own axes (undoing its turn, then its tilt).
vec3 local(const part& p, const vec3& q) {
    vec3 d = q - p.a;
    if (p.turn != 0) {
        const float c = std::cos(p.turn), s = std::sin(p.turn);
        d = {d.x * c - d.z * s, d.y, d.x * s + d.z * c};
    }
    if (p.tilt != 0) {
        const float c = std::cos(p.tilt), s = std::sin(p.tilt);
        d = {d.x, d.y * c + d.z * s, -d.y * s + d.z * c};
    }
    return d;
}

float part_distance(const part& p, const vec3& q) {
    switch (p.kind) {
        case shape::ellipsoid: {
            const vec3 d = local(p, q);
            const vec3 s{d.x / p.b.x, d.y / p.b.y, d.z / p.b.z};
            const vec3 s2{s.x / p.b.x, s.y / p.b.y, s.z / p.b.z};
            const float k0 = length(s), k1 = length(s2);
            return k1 > 1e-6f ? k0 * (k0 - 1) / k1 : -std::min({p.b.x, p.b.y, p.b.z});
        }
        case shape::capsule: {
            const vec3 ba = p.b - p.a, pa = q - p.a;
            const float t = std::clamp(dot(pa, ba) / std::max(1e-8f, dot(ba, ba)), 0.0f, 1.0f);
            return length(pa - ba * t) - (p.r0 + (p.r1 - p.r0) * t);
        }
        case shape::box: {
            const vec3 d = local(p, q);
            const vec3 e{std::abs(d.x) - p.b.x + p.r0, std::abs(d.y) - p.b.y + p.r0,
                         std::abs(d.z) - p.b.z + p.r0};
            const vec3 out{std::max(e.x, 0.0f), std::max(e.y, 0.0f), std::max(e.z, 0.0f)};
            return length(out) + std::min(std::max({e.x, e.y, e.z}), 0.0f) - p.r0;
        }
    }
    return 1e9f;
}

// A bounding sphere of a part in model space.
void bounds(const part& p, vec3& centre, float& radius) {
    centre = p.a, radius = 0;
    switch (p.kind) {
        case shape::ellipsoid:
            centre = p.a, radius = std::max({p.b.x, p.b.y, p.b.z});
            break;
        case shape::capsule:
            centre = (p.a + p.b) * 0.5f, radius = length(p.b - p.a) * 0.5f + std::max(p.r0, p.r1);
            break;
        case shape::box:
            centre = p.a, radius = length(p.b);
            break;
    }
    radius += p.blend + 0.01f;
}

struct placed {
    const part* p;
    vec3 centre;  // in view space
    float radius;
    int x0, x1, y0, y1;  // screen pixels covered
};

// The distance to the nearest solid and which material it is made of.
float field(const std::vector<const placed*>& parts, const vec3& q, int* material) {
    float d = 1e9f;
    int mat = -1;
    float nearest = 1e9f;
    for (const placed* pl : parts) {
        const part& p = *pl->p;
        const float di = part_distance(p, q);
        if (p.blend > 0 && d < 1e8f) {
            const float h = std::max(p.blend - std::abs(d - di), 0.0f) / p.blend;
            d = std::min(d, di) - h * h * p.blend * 0.25f;
        } else {
            d = std::min(d, di);
        }
        // A later part wins its own surface, so details lie on what they cover.
        if (di <= nearest + 0.002f) nearest = std::min(nearest, di), mat = p.material;
    }
    if (material) *material = mat;
    return d;
}

}  // namespace

float dot(const vec3& a, const vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
float length(const vec3& v) {
    return std::sqrt(dot(v, v));
}
vec3 normalized(const vec3& v) {
    const float l = length(v);
    return l > 0 ? v * (1 / l) : v;
}

frame render(const model& m, view v, float extra_turn, float shadow_rx, float shadow_rz) {
    const float turn = (v == view::front ? 0 : v == view::left ? -PI / 2 : PI) + extra_turn;
    const mat3 to_view = view_matrix(turn);

    std::vector<placed> placed_parts;
    float top = 0.1f;
    for (const part& p : m.parts()) {
        vec3 c;
        float r;
        bounds(p, c, r);
        top = std::max(top, c.y + r);
        const vec3 vc = to_view.apply(c);
        placed pl{&p, vc, r, 0, 0, 0, 0};
        pl.x0 = static_cast<int>(std::floor(CANVAS_W / 2 + (vc.x - r) * PIXELS_PER_METRE));
        pl.x1 = static_cast<int>(std::ceil(CANVAS_W / 2 + (vc.x + r) * PIXELS_PER_METRE));
        pl.y0 = static_cast<int>(std::floor(GROUND_ROW - (vc.y + r) * PIXELS_PER_METRE));
        pl.y1 = static_cast<int>(std::ceil(GROUND_ROW - (vc.y - r) * PIXELS_PER_METRE));
        placed_parts.push_back(pl);
    }

    frame f;
    f.width = CANVAS_W, f.height = CANVAS_H;
    const size_t n = static_cast<size_t>(CANVAS_W) * CANVAS_H;
    f.material.assign(n, -1);
    f.level.assign(n, 0);
    f.shadow.assign(n, 0);
    std::vector<float> depth(n, -1e9f);

    const vec3 light = normalized({-0.35f, 0.8f, 0.55f});  // from above, in front, a little left
    const vec3 half = normalized(light + vec3{0, 0, 1});
    const auto& mats = m.materials();

    std::vector<const placed*> row_parts, here;
    for (int py = 0; py < CANVAS_H; ++py) {
        row_parts.clear();
        for (const placed& pl : placed_parts)
            if (py >= pl.y0 && py <= pl.y1) row_parts.push_back(&pl);
        if (row_parts.empty()) continue;
        for (int px = 0; px < CANVAS_W; ++px) {
            here.clear();
            float zmax = -1e9f, zmin = 1e9f;
            for (const placed* pl : row_parts)
                if (px >= pl->x0 && px <= pl->x1) {
                    here.push_back(pl);
                    zmax = std::max(zmax, pl->centre.z + pl->radius);
                    zmin = std::min(zmin, pl->centre.z - pl->radius);
                }
            if (here.empty()) continue;
            const float x = (px + 0.5f - CANVAS_W / 2) / PIXELS_PER_METRE;
            const float y = (GROUND_ROW - py - 0.5f) / PIXELS_PER_METRE;
            const auto at = [&](const vec3& q, int* mat) {
                return field(here, to_view.apply_transposed(q), mat);
            };
            float z = zmax;
            bool hit = false;
            for (int step = 0; step < 160 && z > zmin; ++step) {
                const float d = at({x, y, z}, nullptr);
                if (d < HIT) {
                    hit = true;
                    break;
                }
                z -= std::max(d * 0.9f, 0.001f);
            }
            if (!hit) continue;
            const vec3 q{x, y, z};
            // Whatever reaches below the floor (a bow's tip, a swinging club) stays hidden.
            if (to_view.apply_transposed(q).y < -0.005f) continue;
            int mat = 0;
            at(q, &mat);
            if (mat < 0 || mat >= static_cast<int>(mats.size())) continue;
            constexpr float E = 0.003f;
            const vec3 normal = normalized({at({x + E, y, z}, nullptr) - at({x - E, y, z}, nullptr),
                                            at({x, y + E, z}, nullptr) - at({x, y - E, z}, nullptr),
                                            at({x, y, z + E}, nullptr) - at({x, y, z - E}, nullptr)});
            const material& mt = mats[static_cast<size_t>(mat)];
            float level;
            if (mt.glow > 0) {
                level = mt.glow;
            } else {
                // Soft wrap-around light, darker towards the ground and in creases.
                const float diffuse = std::max(0.0f, (dot(normal, light) + 0.3f) / 1.3f);
                const float spec = std::pow(std::max(0.0f, dot(normal, half)), 20.0f);
                const vec3 pm = to_view.apply_transposed(q);
                const float ground = 0.6f + 0.4f * smoothstep01(pm.y / (0.7f * top));
                const float crease = 0.55f + 0.45f * clamp01(at(q + normal * 0.05f, nullptr) / 0.05f);
                const float blotch = mt.mottle * (forge::paint::noise((pm.x + pm.z) * 30 + 50, pm.y * 30 + 50,
                                                                      static_cast<uint32_t>(mat + 7), 3) -
                                                  0.5f);
                level = (0.22f + 0.85f * diffuse) * ground * crease * (1 + blotch) + spec * mt.shine * 0.5f;
            }
            const size_t i = static_cast<size_t>(py) * CANVAS_W + px;
            f.material[i] = static_cast<int8_t>(mat);
            f.level[i] = std::clamp(level, 0.0f, 1.4f);
            depth[i] = z;
        }
    }

    // Outlines: the rim of the silhouette is the darkest of its material, and
    // a solid lying behind a nearer one is darkened along their edge.
    std::vector<float> level = f.level;
    for (int py = 1; py + 1 < CANVAS_H; ++py)
        for (int px = 1; px + 1 < CANVAS_W; ++px) {
            const size_t i = static_cast<size_t>(py) * CANVAS_W + px;
            if (f.material[i] < 0) continue;
            const size_t nb[4] = {i - 1, i + 1, i - CANVAS_W, i + CANVAS_W};
            bool rim = false, behind = false;
            for (size_t j : nb) {
                if (f.material[j] < 0)
                    rim = true;
                else if (depth[j] > depth[i] + 0.06f)
                    behind = true;
            }
            if (rim)
                level[i] = 0;
            else if (behind)
                level[i] *= 0.45f;
        }
    f.level = std::move(level);

    // The floor shadow: the ground ellipse as the view sees it, its lowest
    // row on the ground row.
    const float c = std::cos(turn), s = std::sin(turn);
    const float rx =
        std::sqrt(shadow_rx * shadow_rx * c * c + shadow_rz * shadow_rz * s * s) * PIXELS_PER_METRE;
    const float rz = std::sqrt(shadow_rx * shadow_rx * s * s + shadow_rz * shadow_rz * c * c);
    const float ry = std::clamp(rz * std::sin(PITCH) * PIXELS_PER_METRE * 2.5f, 3.0f, 8.0f);
    const float cy = GROUND_ROW + 0.5f - ry;
    for (int py = static_cast<int>(cy - ry); py <= GROUND_ROW; ++py)
        for (int px = static_cast<int>(CANVAS_W / 2 - rx - 1); px <= static_cast<int>(CANVAS_W / 2 + rx + 1);
             ++px) {
            if (px < 0 || py < 0 || px >= CANVAS_W || py >= CANVAS_H) continue;
            const float dx = (px + 0.5f - CANVAS_W / 2) / rx, dy = (py + 0.5f - cy) / ry;
            const size_t i = static_cast<size_t>(py) * CANVAS_W + px;
            if (dx * dx + dy * dy <= 1 && f.material[i] < 0) f.shadow[i] = 1;
        }
    return f;
}

// ---------------------------------------------------------------- models

int model::add_material(const material& m) {
    materials_.push_back(m);
    return static_cast<int>(materials_.size()) - 1;
}

void model::ellipsoid(const vec3& centre, const vec3& radii, int material, float blend, float tilt,
                      float turn) {
    part p;
    p.kind = shape::ellipsoid, p.a = centre, p.b = radii, p.material = material, p.blend = blend;
    p.tilt = tilt, p.turn = turn;
    parts_.push_back(p);
}

void model::capsule(const vec3& a, float ra, const vec3& b, float rb, int material, float blend) {
    part p;
    p.kind = shape::capsule, p.a = a, p.b = b, p.r0 = ra, p.r1 = rb, p.material = material, p.blend = blend;
    parts_.push_back(p);
}

void model::box(const vec3& centre, const vec3& half, float rounding, int material, float blend, float tilt,
                float turn) {
    part p;
    p.kind = shape::box, p.a = centre, p.b = half, p.r0 = rounding, p.material = material, p.blend = blend;
    p.tilt = tilt, p.turn = turn;
    parts_.push_back(p);
}

}  // namespace monster_art
