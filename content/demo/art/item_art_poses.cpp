// Placing an item's drawing into each of its pictures: the icon, the floor
// picture with its shadow, the worn pictures on both figures and the flight
// pictures.
#include <algorithm>
#include <cmath>

#include "item_art.h"

namespace item_art {

using namespace forge::paint;

namespace {

// The smallest rectangle holding every opaque pixel (w = 0 when none).
rect opaque_box(const canvas& c) {
    int x0 = c.width(), y0 = c.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.alpha(x, y) >= 0.5f)
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    if (x1 < 0) return {0, 0, 0, 0};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

rect united(const rect& a, const rect& b) {
    if (a.w == 0) return b;
    if (b.w == 0) return a;
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    return {x0, y0, std::max(a.x + a.w, b.x + b.w) - x0, std::max(a.y + a.h, b.y + b.h) - y0};
}

// Paints the item through a pose centred on a large scratch canvas and tells
// where it landed, so the real pose can be fitted to it.
constexpr int SCRATCH = 480;
rect trial(const item_look& item, const pose& p) {
    canvas c(SCRATCH, SCRATCH);
    pose centred = p;
    centred.tx += SCRATCH / 2.0f, centred.ty += SCRATCH / 2.0f;
    painter painter_(c, centred);
    item.draw(painter_);
    rect r = opaque_box(c);
    r.x -= SCRATCH / 2, r.y -= SCRATCH / 2;
    return r;
}

// The item's length in its own units, upright.
float length_units(const item_look& item) {
    const rect r = trial(item, pose{});
    return static_cast<float>(std::max({r.w, r.h, 1}));
}

// Small things are shown larger than life so a player can see and click them.
constexpr float LEAST_VIEW_LENGTH = 28;
float view_scale(const item_look& item) {
    return std::max(item.metres * VIEW_PIXELS_PER_METRE, LEAST_VIEW_LENGTH) / length_units(item);
}

// A 4 x 4 ordered dither threshold in 0..1.
float bayer(int x, int y) {
    static const int m[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
    return (m[(y & 3) * 4 + (x & 3)] + 0.5f) / 16.0f;
}

// Paints through pose p moved so that the drawing's box lands at (x, y).
canvas paint_at(const item_look& item, pose p, const rect& box, int width, int height, int x, int y) {
    canvas c(width, height);
    p.tx += x - box.x, p.ty += y - box.y;
    painter painter_(c, p);
    item.draw(painter_);
    return c;
}

}  // namespace

canvas paint_icon(const item_look& item) {
    constexpr int W = 45, H = 55, ROOM_W = 41, ROOM_H = 51;
    rect box = trial(item, pose::turned(item.icon_angle, 1, 0, 0));
    const float k = std::min({1.0f, static_cast<float>(ROOM_W) / box.w, static_cast<float>(ROOM_H) / box.h});
    const pose p = pose::turned(item.icon_angle, k, 0, 0);
    box = trial(item, p);
    canvas c = paint_at(item, p, box, W, H, (W - box.w) / 2, (H - box.h) / 2);
    outline(c);
    return c;
}

picture_art paint_floor(const item_look& item) {
    const float k = view_scale(item);
    // Lying items rest a little askew, each at its own angle, seen from
    // above-front (squashed to half their depth).
    const float askew = static_cast<float>(std::hash<std::string>{}(item.name) % 17) - 8;
    // Long things (weapons, torches, sticks) lie across the view; garments and
    // flat things lie with their top away from the viewer.
    const bool across = item.held || item.kind == item_kind::weapon || item.icon_angle >= 15;
    const pose p = item.stands ? pose::turned(0, k, 0, 0)
                               : pose::turned(across ? 90 + askew : askew * 0.5f, k, 0, 0).squashed(0.5f);
    const rect box = trial(item, p);
    const int margin = 6;
    canvas c = paint_at(item, p, box, box.w + 2 * margin, box.h + 2 * margin, margin, margin);
    outline(c, 0.6f);

    // The soft shadow: lying items cast a blurred copy of themselves a little
    // down and right; standing ones an oval on the floor at their foot.
    const int w = c.width(), h = c.height();
    std::vector<float> density(static_cast<size_t>(w) * h, 0.0f);
    if (item.stands) {
        const float cx = margin + box.w * 0.62f, cy = margin + box.h - 1.5f;
        const float rx = box.w * 0.62f + 2, ry = std::max(2.5f, box.w * 0.16f);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const float q = std::hypot((x + 0.5f - cx) / rx, (y + 0.5f - cy) / ry);
                density[static_cast<size_t>(y) * w + x] = std::clamp(1.25f - q, 0.0f, 1.0f);
            }
    } else {
        constexpr int R = 2, DX = 2, DY = 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int n = 0;
                for (int j = -R; j <= R; ++j)
                    for (int i = -R; i <= R; ++i) {
                        const int sx = x - DX + i, sy = y - DY + j;
                        if (c.inside(sx, sy) && c.alpha(sx, sy) >= 0.5f) ++n;
                    }
                density[static_cast<size_t>(y) * w + x] =
                    std::min(1.0f, 1.4f * n / ((2 * R + 1) * (2 * R + 1)));
            }
    }
    picture_art out;
    std::vector<uint8_t> shadow(density.size(), 0);
    canvas marked = c;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            if (c.alpha(x, y) < 0.5f && density[i] > bayer(x, y) * 0.9f + 0.08f) {
                shadow[i] = 1;
                marked.set(x, y, rgb{});  // counts for the crop below
            }
        }
    const rect keep = opaque_box(marked);
    out.colour = c.crop(keep);
    out.shadow.assign(static_cast<size_t>(keep.w) * keep.h, 0);
    for (int y = 0; y < keep.h; ++y)
        for (int x = 0; x < keep.w; ++x)
            out.shadow[static_cast<size_t>(y) * keep.w + x] =
                shadow[static_cast<size_t>(keep.y + y) * w + keep.x + x];
    return out;
}

worn_art paint_worn(const item_look& item) {
    worn_art out;
    canvas man(BODY_W, BODY_H), woman(BODY_W, BODY_H);
    if (item.draw_worn) {
        item.draw_worn(man, false);
        item.draw_worn(woman, true);
    } else {
        // Held in the fist of the picture's left hand; both figures hold it alike.
        const float k = item.metres * BODY_PIXELS_PER_METRE / length_units(item);
        pose p = pose::turned(item.worn_angle, k, 0, 0);
        p.tx = HAND_X - p.x(item.grip_x, item.grip_y), p.ty = HAND_Y - p.y(item.grip_x, item.grip_y);
        painter pm(man, p), pw(woman, p);
        item.draw(pm);
        item.draw(pw);
    }
    outline(man);
    outline(woman);
    // One box for both, so that one body_pos places either picture.
    const rect box = united(opaque_box(man), opaque_box(woman));
    out.man = man.crop(box);
    out.woman = woman.crop(box);
    // The game puts the picture's centre column on 97 + x and its bottom
    // edge on row 320 - y.
    out.body_x = box.x + box.w / 2 - 97;
    out.body_y = 320 - (box.y + box.h);
    out.body7_x = out.body_x, out.body7_y = out.body_y;
    if (item.held && !item.two_hands) {
        // In the other hand the grip moves to the mirrored fist.
        const float mirrored_hand = 2 * 97 - HAND_X;
        out.body7_x = out.body_x + static_cast<int>(std::lround(mirrored_hand - HAND_X));
    }
    return out;
}

bool flies(const item_look& item) {
    return item.name == "dagger" || item.name == "arrows" || item.name == "throwing_knife";
}

canvas paint_flight(const item_look& item, int view, int phase) {
    const float k = view_scale(item);
    canvas big(SCRATCH, SCRATCH);
    const float mid = SCRATCH / 2.0f;
    const bool side = view == 1 || view == 3;
    if (!side && item.draw_end_on) {
        painter p(big, pose::turned(phase * 30.0f, k, mid, mid));
        item.draw_end_on(p, phase, view == 2);
    } else if (side) {
        // Blades tumble end over end; arrows fly straight with a slight wobble.
        const float wobble = (phase == 1 ? 3.0f : phase == 3 ? -3.0f : 0.0f);
        const float turn = item.draw_end_on ? 90 + wobble : 90 + 90.0f * phase;
        const pose p = view == 1 ? pose::turned(turn, k, mid, mid) : pose::turned(-turn, k, mid, mid);
        painter painter_(big, p);
        (item.draw_in_flight ? item.draw_in_flight : item.draw)(painter_);
    } else {
        // Seen from behind or in front the tumbling blade grows and shrinks.
        const float squash = std::cos(phase * 3.14159265f / 2);
        const float kk = std::abs(squash) < 0.2f ? (phase == 1 ? 0.2f : -0.2f) : squash;
        pose p = pose::turned(0, k, mid, mid).squashed(kk);
        if (view == 2) p.a = -p.a, p.c = -p.c;
        painter painter_(big, p);
        item.draw(painter_);
    }
    outline(big);
    return big.crop(opaque_box(big));
}

}  // namespace item_art
