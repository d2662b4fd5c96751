// Scaled sprites in the view: party members, monsters, special textures.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "world/map.h"
#include "world/render.h"
#include "world/view_tables.h"

namespace {

constexpr int VIEW_SCREEN_BOTTOM = VIEW_SCREEN_TOP + VIEW_HEIGHT - 1;  // 376
constexpr int MAX_SPRITE_ROWS = 480;
constexpr int MAX_SPRITE_COLUMNS = 1280;

// Both tables advance by scale / 320 of a source pixel per destination pixel:
// 320 = whole x scale + part, so each step moves whole source pixels, and one
// more whenever the carried parts add up to a scale.
struct table_step {
    int whole = 0;
    int part = 0;
};

table_step step_for(int scale) {
    return {WALL_TEXTURE_HEIGHT / scale, WALL_TEXTURE_HEIGHT % scale};
}

// Source rows from the picture's bottom row upward, one per destination row.
int build_row_table(std::array<int16_t, MAX_SPRITE_ROWS>& table, int height, int scale, int rows) {
    const table_step step = step_for(scale);
    int count = 0, source = height - 1, accumulator = 0;
    const int limit = std::min(rows, MAX_SPRITE_ROWS);
    while (count < limit && source >= 0) {
        table[count++] = static_cast<int16_t>(source);
        accumulator += step.part;
        const bool carry = accumulator >= scale;
        accumulator -= carry ? scale : 0;
        source -= step.whole + (carry ? 1 : 0);
    }
    return count;
}

// Source columns, one per destination column (from the last one down when mirrored).
int build_column_table(std::array<int16_t, MAX_SPRITE_COLUMNS>& table, int width, int scale, bool mirrored,
                       int limit) {
    const table_step step = step_for(scale);
    int count = 0, accumulator = 0;
    limit = std::min(limit, MAX_SPRITE_COLUMNS);
    int source = mirrored ? width - 1 : 0;
    const int direction = mirrored ? -1 : 1;
    while (count < limit && source >= 0 && source < width) {
        table[count++] = static_cast<int16_t>(source);
        accumulator += step.part;
        const bool carry = accumulator >= scale;
        accumulator -= carry ? scale : 0;
        source += direction * (step.whole + (carry ? 1 : 0));
    }
    return count;
}

// The opaque part of a source row: its first non-zero pixel and one past its
// last; first == end for a row with nothing to draw.
struct opaque_span {
    int first = 0;
    int end = 0;
};

// Which byte of an eight-byte load holds the first (lowest-addressed) or last
// non-zero pixel.
int first_set_byte(uint64_t word) {
    if constexpr (std::endian::native == std::endian::little) return std::countr_zero(word) / 8;
    return std::countl_zero(word) / 8;
}
int last_set_byte(uint64_t word) {
    if constexpr (std::endian::native == std::endian::little) return 7 - std::countl_zero(word) / 8;
    return 7 - std::countr_zero(word) / 8;
}

uint64_t load_word(const uint8_t* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Sprites are mostly transparent at both ends of a row; finding those ends eight
// pixels at a time is far cheaper than walking them through the column table.
opaque_span find_opaque_span(const uint8_t* row, int width) {
    int first = 0;
    for (; first + 8 <= width; first += 8) {
        const uint64_t word = load_word(row + first);
        if (word != 0) {
            first += first_set_byte(word);
            break;
        }
    }
    while (first < width && row[first] == 0) first++;
    if (first == width) return {width, width};
    int end = width;
    for (; end - 8 >= first; end -= 8) {
        const uint64_t word = load_word(row + end - 8);
        if (word != 0) {
            end = end - 8 + last_set_byte(word) + 1;
            break;
        }
    }
    while (row[end - 1] == 0) end--;  // stops at first, which is opaque
    return {first, end};
}

// fade: palette colours, index 1 halves the brightness beneath (figures).
// blend: palette colours, indices of 128 and more blended 50% (special textures).
// monster: as blend, and index 1 is the creature's shadow, halving what lies beneath.
enum class sprite_ink { fade, blend, monster };

// One pixel of index c onto out.
template <sprite_ink ink>
void put_pixel(uint16_t& out, uint32_t c, const uint16_t* palette) {
    if (c == 0) return;
    if (ink != sprite_ink::blend && c == 1)
        out = static_cast<uint16_t>((out >> 1) & 0x3DEF);
    else if (ink != sprite_ink::fade && c >= 128)
        out = blend50(out, palette[c]);
    else
        out = palette[c];
}

// True when none of the four indices packed in v (one a byte) needs more than
// its palette colour written: no transparent pixel, no shadow, no blend.
template <sprite_ink ink>
bool all_plain(uint32_t v) {
    constexpr uint32_t ONES = 0x01010101u, HIGHS = 0x80808080u;
    // (v - n x ONES) & ~v & HIGHS is non-zero exactly when some byte is below n (n <= 128).
    if constexpr (ink == sprite_ink::blend) return ((v - ONES) & ~v & HIGHS) == 0 && (v & HIGHS) == 0;
    if constexpr (ink == sprite_ink::fade) return ((v - 2 * ONES) & ~v & HIGHS) == 0;
    return ((v - 2 * ONES) & ~v & HIGHS) == 0 && (v & HIGHS) == 0;
}

// Draws the table columns jb..je of one source row to dst[jb], dst[jb + 1], ...
// Inside a sprite's outline most pixels just take their colour; four at a time
// are checked for that with one test instead of three per pixel.
template <sprite_ink ink>
void blit_row(uint16_t* dst, const uint8_t* src, const int16_t* columns, int jb, int je,
              const uint16_t* palette) {
    int j = jb;
    for (; j + 4 <= je; j += 4) {
        const uint32_t c0 = src[columns[j]], c1 = src[columns[j + 1]], c2 = src[columns[j + 2]],
                       c3 = src[columns[j + 3]];
        if (all_plain<ink>(c0 | c1 << 8 | c2 << 16 | c3 << 24)) {
            dst[j] = palette[c0];
            dst[j + 1] = palette[c1];
            dst[j + 2] = palette[c2];
            dst[j + 3] = palette[c3];
        } else {
            put_pixel<ink>(dst[j], c0, palette);
            put_pixel<ink>(dst[j + 1], c1, palette);
            put_pixel<ink>(dst[j + 2], c2, palette);
            put_pixel<ink>(dst[j + 3], c3, palette);
        }
    }
    for (; j < je; j++) put_pixel<ink>(dst[j], src[columns[j]], palette);
}

// The common loop: rows drawn upward from bottom_row, table columns first..end
// to x, x + 1, ...; everything cut to the view.
template <sprite_ink ink>
void blit(const picture* pic, const uint8_t* pixels, int x, int bottom_row, const uint16_t* palette,
          int scale, int rows, int first_column, int end_column, bool mirrored) {
    if (rows >= 470 || scale <= 0 || pic->width == 0 || pic->height == 0) return;
    static std::array<int16_t, MAX_SPRITE_ROWS> row_table;
    static std::array<int16_t, MAX_SPRITE_COLUMNS> column_table;
    const int row_count = build_row_table(row_table, pic->height, scale, rows);
    const int first = std::max(0, first_column);
    const int column_count =
        build_column_table(column_table, pic->width, scale, mirrored, first + std::max(0, end_column));
    if (column_count < first) return;
    int j_end = std::min(column_count, first + end_column);
    // Cut at the screen's sides.
    int j_begin = first;
    if (x < 0) j_begin += -x;
    j_end = std::min(j_end, first + (VIEW_WIDTH - x));
    if (j_begin >= j_end) return;
    // Table rows whose screen row lies in the view (row k goes to bottom_row - k).
    const int k_begin = std::max(0, bottom_row - VIEW_SCREEN_BOTTOM);
    const int k_end = std::min(row_count, bottom_row - VIEW_SCREEN_TOP + 1);
    const int16_t* columns = column_table.data();
    // Entry j of the column table is source column 320 j / scale counted from the
    // picture's first column (its last when mirrored), so the first entry at or
    // past source column n (n columns in from that end) is the ceiling of
    // n scale / 320: the entries landing on a row's opaque span are found with
    // no search.
    const auto entry_at = [&](int n) {
        const int64_t entry =
            (static_cast<int64_t>(n) * scale + WALL_TEXTURE_HEIGHT - 1) / WALL_TEXTURE_HEIGHT;
        return static_cast<int>(std::clamp<int64_t>(entry, j_begin, j_end));
    };
    int span_row = -1, jb = 0, je = 0;
    for (int k = k_begin; k < k_end; k++) {
        const int source_row = row_table[k];
        const uint8_t* src = pixels + static_cast<size_t>(source_row) * pic->width;
        if (source_row != span_row) {  // rows repeat when the sprite is enlarged
            span_row = source_row;
            const opaque_span s = find_opaque_span(src, pic->width);
            jb = entry_at(mirrored ? pic->width - s.end : s.first);
            je = entry_at(mirrored ? pic->width - s.first : s.end);
        }
        if (jb >= je) continue;
        uint16_t* dst = back_buffer + (bottom_row - k) * SCREEN_PITCH + x - first;
        blit_row<ink>(dst, src, columns, jb, je, palette);
    }
}

// The pixels of an 8-bit sprite: right after the header for PIC_NOPAL8,
// after the ten palettes otherwise.
const uint8_t* sprite_pixels(const picture* pic) {
    return reinterpret_cast<const uint8_t*>(pic) +
           (pic->type == PIC_NOPAL8 ? PICTURE_HEADER_BYTES
                                    : PICTURE_HEADER_BYTES + FADE_PALETTE_COUNT * PALETTE_ENTRIES * 2);
}

// ---------------------------------------------------------------- special textures

struct special_texture {
    uint16_t sector = 0;
    handle_id first = 0;
    uint8_t frames = 0;
    uint8_t frame = 0;
    int8_t shift = 0;
    uint8_t repeats = 0;
};
std::array<special_texture, 64> specials;
int special_position = 0;

// The text drawing primitives draw into the current target; the view's text
// goes into back_buffer.
struct back_buffer_target {
    uint16_t* previous = screen_address();
    back_buffer_target() { set_target(back_buffer); }
    ~back_buffer_target() { set_target(previous); }
};

// The strip and text above a figure (hit points, member names).
void draw_label(const char* text, int centre_x, int view_y, int scale) {
    back_buffer_target target;
    const int half = text_width(text) / 2;
    const int ty = view_y + VIEW_SCREEN_TOP - 5 * scale / 6;
    if (centre_x - half <= 0 || centre_x + half >= 639) return;
    blend_rect(centre_x - half - 5, ty - 10, 2 * half + 10, 10, 0);
    set_aligned_position(centre_x, ty, ALIGN_CENTRE, ALIGN_END, text);
    draw_text(text);
}

}  // namespace

void blit_scaled(const picture* pic, int x, int bottom_row, int palette_number, int scale, int rows,
                 int first_column, int end_column) {
    if (pic == nullptr || pic->type != PIC_FADE8) return;
    const uint16_t* palette =
        picture_palette(pic) + std::clamp(palette_number, 0, FADE_PALETTE_COUNT - 1) * PALETTE_ENTRIES;
    blit<sprite_ink::fade>(pic, picture_pixels8(pic), x, bottom_row, palette, scale, rows, first_column,
                           end_column, false);
}

void blit_scaled_blend(const picture* pic, int x, int bottom_row, const uint16_t* palette, int scale,
                       int rows, int first_column, int end_column, bool mirrored) {
    if (pic == nullptr || palette == nullptr) return;
    if (pic->type != PIC_NOPAL8 && pic->type != PIC_FADE8) return;
    blit<sprite_ink::blend>(pic, sprite_pixels(pic), x, bottom_row, palette, scale, rows, first_column,
                            end_column, mirrored);
}

void draw_monster_sprite(const monster_draw_request& r) {
    const uint16_t* palettes = r.palettes;
    std::vector<uint16_t> grey;
    if (r.frozen && palettes != nullptr) {
        grey.resize(FADE_PALETTE_COUNT * PALETTE_ENTRIES);
        for (size_t i = 0; i < grey.size(); i++) {
            const int c = palettes[i];
            const int v = (8 * ((c >> 10) & 31) + 8 * ((c >> 5) & 31) + 8 * (c & 31)) / 3;
            grey[i] = rgb555(v, v, v);
        }
        palettes = grey.data();
    }
    if (r.frame == nullptr || palettes == nullptr) return;
    const int across = r.across + 64;
    const int along = r.along + (r.big ? 0 : 32);
    if (along < 0 || along > 127) return;
    const view_point p = project(r.column, r.depth, across, along, 0);
    if (r.frame->width * p.scale / 320 > 640) return;
    int palette = r.depth + (along > 64 ? 1 : 0);
    if (palette > 0) palette--;
    if (r.shaded) palette += 5;
    int x = p.x - r.anchor * p.scale / 320;
    const view_clip clip = monster_clip(r.column, r.depth, r.left_cut, r.right_cut);
    int skipped = 0;
    if (x < clip.left) {
        skipped = clip.left - x;
        x = clip.left;
    }
    const int visible = clip.right - x;
    if (visible <= 0) return;
    if (r.frame->type != PIC_NOPAL8 && r.frame->type != PIC_FADE8) return;
    blit<sprite_ink::monster>(r.frame, sprite_pixels(r.frame), x, p.y + VIEW_SCREEN_TOP,
                              palettes + palette * PALETTE_ENTRIES, p.scale, p.y + 1, skipped, visible,
                              r.mirrored);
    ++view.monsters_drawn;
    if (view.show_monster_hp) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", r.hit_points);
        draw_label(text, p.x, p.y, p.scale);
    }
    if (r.insight != nullptr && x > 0 && p.x < 639) {
        back_buffer_target target;
        set_text_position(x, p.y + VIEW_SCREEN_TOP - 9 * p.scale / 12);
        draw_text_lines(r.insight);
    }
}

// ---------------------------------------------------------------- special textures

void add_special_texture(int sector, handle_id first, int frames, int repeats, int shift) {
    special_texture& e = specials[special_position];
    e.sector = static_cast<uint16_t>(sector);
    e.first = first;
    e.frames = static_cast<uint8_t>(frames);
    e.frame = 0;
    e.shift = static_cast<int8_t>(shift);
    e.repeats = static_cast<uint8_t>(repeats);
    if (sector > 0 && sector < current_map.sector_count &&
        current_map.coords.size() > static_cast<size_t>(sector))
        current_map.coords[sector].coord_flags |= MC_SPECTXTR;
    if (frames != 0) special_position = (special_position + 1) & 63;
}

void clear_special_textures() {
    specials = {};
    special_position = 0;
}

void advance_special_textures() {
    for (special_texture& e : specials) {
        if (e.repeats == 0) continue;
        if (++e.frame >= e.frames) {
            e.frame = 0;
            e.repeats--;
        }
    }
}

void draw_special_textures(int sector, int column, int depth, bool shaded) {
    bool any = false;
    for (const special_texture& e : specials) {
        if (e.sector != sector || e.repeats == 0) continue;
        any = true;
        const picture* pic = view_picture(static_cast<handle_id>(e.first + e.frame));
        if (pic == nullptr || pic->type != PIC_FADE8) continue;
        const view_point p = project(column, depth, 64, 64, 0);
        int x = p.x - (e.shift + pic->width / 2) * 2 * p.scale / 320;
        int skipped = 0;
        if (x < 0) {
            skipped = -x;
            x = 0;
        }
        const int palette = (shaded ? 5 : 0) + depth;
        blit_scaled_blend(pic, x, p.y + VIEW_SCREEN_TOP, picture_palette(pic) + palette * PALETTE_ENTRIES,
                          2 * p.scale, p.y + 1, skipped, 640 - x);
    }
    if (!any && sector > 0 && static_cast<size_t>(sector) < current_map.coords.size())
        current_map.coords[sector].coord_flags &= static_cast<uint16_t>(~MC_SPECTXTR);
}

// ---------------------------------------------------------------- party members

void draw_members_in_cell(int sector, int column, int depth, bool shaded, bool own_sector) {
    if (view_neighbours.members_in_sector == nullptr) return;
    const uint16_t flags = current_map.coords[sector].coord_flags;
    if (!(flags & (MC_PLAYER | MC_DEAD_PLAYER))) return;
    constexpr int MAX_MEMBERS = 6;
    view_member members[MAX_MEMBERS];
    const int count =
        std::clamp(view_neighbours.members_in_sector(sector, members, MAX_MEMBERS), 0, MAX_MEMBERS);

    static constexpr int place_across[5] = {32, 96, 96, 32, 64};
    static constexpr int place_along[5] = {96, 96, 32, 32, 64};
    static constexpr int order[4][5] = {{0, 1, 4, 2, 3}, {1, 2, 4, 3, 0}, {2, 3, 4, 0, 1}, {3, 0, 4, 1, 2}};
    int place_of[5] = {-1, -1, -1, -1, -1};  // member index standing on each place
    int placed = 0, last_place = -1;
    for (int m = 0; m < count; m++) {
        const view_member& member = members[m];
        if (own_sector && !(member.dead && !member.in_group)) continue;
        const int r = (member.direction - current_view_direction()) & 3;
        int chosen = -1;
        if (!member.dead) {
            for (int k = 0; k < 5 && chosen < 0; k++)
                if (place_of[order[r][k]] < 0) chosen = order[r][k];
        } else {
            for (int k = 4; k >= 0 && chosen < 0; k--)
                if (place_of[order[r][k]] < 0) chosen = order[r][k];
        }
        if (chosen < 0) break;
        place_of[chosen] = m;
        placed++;
        last_place = chosen;
    }
    if (placed == 1 && (last_place & 1)) {
        place_of[(last_place + 1) & 3] = place_of[last_place];
        place_of[last_place] = -1;
    }
    for (int k = 0; k < 5; k++) {
        const int place = order[0][k];
        if (place_of[place] < 0) continue;
        const view_member& member = members[place_of[place]];
        const picture* pic = view_picture(member.dead ? H_BONES : member.figure);
        if (pic == nullptr) continue;
        const int along = member.dead ? place_along[place] - 32 : place_along[place];
        const view_point p = project(column, depth, place_across[place], along, 0);
        int x = p.x - 97 * p.scale / 320;
        int skipped = 0;
        if (x < 0) {
            skipped = -x;
            x = 0;
        }
        if (x >= 640) continue;
        blit_scaled(pic, x, p.y + VIEW_SCREEN_TOP + 20 * p.scale / 320, (shaded ? 5 : 0) + depth, p.scale,
                    p.y, skipped, 640 - x);
        if (view.show_member_names && !member.dead) {
            set_font(FONT_5X8, member.name_colour);
            draw_label(member.name.c_str(), p.x, p.y, p.scale);
        }
    }
}
