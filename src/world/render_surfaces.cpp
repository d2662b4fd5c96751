// Floors and ceilings: each cell copies its own spans out of a full-view
// picture; and the one-time fog gradient of those pictures.
#include <cstring>

#include "gfx/screen.h"
#include "world/map.h"
#include "world/render.h"
#include "world/view_tables.h"

namespace {

bool is_full_view(const picture* pic, int rows) {
    return pic != nullptr && pic->type == PIC_HICOLOR && pic->width == VIEW_WIDTH && pic->height >= rows;
}

void copy_spans(const surface_span* spans, int first, int last, int first_view_row, const picture* pic) {
    const uint16_t* pixels = picture_pixels16(pic);
    for (int j = first; j <= last; j++) {
        const surface_span& s = spans[j];
        if (s.length <= 0) continue;
        const int view_y = first_view_row + j;
        std::memcpy(back_buffer + (VIEW_SCREEN_TOP + view_y) * SCREEN_PITCH + s.x,
                    pixels + static_cast<size_t>(j) * VIEW_WIDTH + s.x, s.length * sizeof(uint16_t));
    }
}

}  // namespace

void draw_floor_spans(int column, int depth, const picture* pic) {
    if (!is_full_view(pic, FLOOR_PICTURE_HEIGHT) || column < -3 || column > 3 || depth < 0 ||
        depth >= VIEW_DEPTHS)
        return;
    const view_tables& t = tables();
    copy_spans(t.floor[column + 3], t.floor_first[depth], t.floor_last[depth], FLOOR_FIRST_VIEW_ROW, pic);
}

void draw_ceiling_spans(int column, int depth, const picture* pic) {
    if (!is_full_view(pic, CEILING_PICTURE_HEIGHT) || column < -3 || column > 3 || depth < 0 ||
        depth >= VIEW_DEPTHS)
        return;
    const view_tables& t = tables();
    copy_spans(t.ceiling[column + 3], t.ceiling_first[depth], t.ceiling_last[depth], 0, pic);
}

void apply_fog_gradient(picture* pic, bool is_ceiling, bool to_black) {
    if (pic == nullptr || (pic->type & 0xFF) != PIC_HICOLOR) return;
    pic->type = PIC_HICOLOR;
    if (current_map.header.fog_gradient != 1 || pic->height < 2) return;
    const uint16_t fade = to_black ? 0 : current_map.fade_colour;
    const int fr = (fade >> 10) & 31, fg = (fade >> 5) & 31, fb = fade & 31;
    uint16_t* pixels = picture_pixels16(pic);
    const int h = pic->height;
    for (int i = 0; i < h; i++) {
        double t = static_cast<double>(i) / (h - 1);
        if (!is_ceiling) t = 1.0 - t;
        const double w = t * t * t;
        uint16_t* row = pixels + static_cast<size_t>(i) * pic->width;
        for (int x = 0; x < pic->width; x++) {
            const uint16_t p = row[x];
            if (p == 0x8000) continue;  // the transparent pixel stays transparent
            const int r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
            const int nr = static_cast<int>(r + w * (fr - r));
            const int ng = static_cast<int>(g + w * (fg - g));
            const int nb = static_cast<int>(b + w * (fb - b));
            row[x] = static_cast<uint16_t>((p & 0x8000) | (nr << 10) | (ng << 5) | nb);
        }
    }
}
