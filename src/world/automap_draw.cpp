// Drawing the automap: the paper, the cells in two passes (fill and signs,
// then walls and the party), the notes, the title and the game time, and
// the button panel.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "base/strings.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "world/automap.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/screen_resources.h"
#include "world/view.h"

namespace {

constexpr int TEXT_TIME = 145, TEXT_DAYS = 146, TEXT_MONTHS = 149, TEXT_HOURS = 152, TEXT_TITLE = 153;
constexpr int TEXT_BUTTONS = 210;
constexpr int32_t UNITS_PER_DAY = 8640, UNITS_PER_MONTH = 30 * UNITS_PER_DAY;

constexpr std::array<uint16_t, FONT_COLOUR_SLOTS> STAIRS_COLOURS = {0x356A, 0x4A2E, 0, 0, 0, 0, 0};
constexpr std::array<uint16_t, FONT_COLOUR_SLOTS> DOWN_COLOURS = {0x356A, 0x398B, 0x3DCC, 0x41EC,
                                                                  0x460D, 0,      0};
constexpr uint8_t GLYPH_DOWN = 115, GLYPH_PIT = 78, GLYPH_TELEPORT = 84, GLYPH_MONSTER = 'N',
                  GLYPH_MEMBER = 'M';
constexpr int SECTOR_TYPE_DOWN = 2, SECTOR_TYPE_PIT = 11, SECTOR_TYPE_TELEPORT = 12;

bool valid_sector(int s) {
    return s > 0 && s < current_map.sector_count && static_cast<size_t>(s) < current_map.coords.size() &&
           static_cast<size_t>(s) < current_map.sectors.size() &&
           static_cast<size_t>(s) * 4 + 3 < current_map.sides.size();
}

uint16_t fill_colour(int sector_type) {
    switch (sector_type) {
        case 3:
        case 9:
            return AUTOMAP_WATER;
        case 4:
            return AUTOMAP_TYPE4;
        case 19:
            return AUTOMAP_TYPE19;
        default:
            return AUTOMAP_EMPTY;
    }
}

void glyph(int x, int y, uint8_t code, int32_t spec) {
    set_font(FONT_IKONES, spec);
    set_text_position(x, y);
    const char c = static_cast<char>(code);
    draw_text(std::string_view(&c, 1));
}
void glyph(int x, int y, uint8_t code, const std::array<uint16_t, FONT_COLOUR_SLOTS>& colours) {
    set_font(FONT_IKONES, colours);
    set_text_position(x, y);
    const char c = static_cast<char>(code);
    draw_text(std::string_view(&c, 1));
}

// The member standing in the sector: one of the active group first, else
// any other on this map; -1 none.
int member_in(int sector) {
    party_roster& r = roster();
    int other = -1;
    for (int slot = 0; slot < r.slots(); ++slot) {
        const roster_member m = r.member(slot);
        if (!m.alive() || !m.on_this_map || m.sector != sector) continue;
        if (m.group == r.active_group()) return slot;
        if (other < 0) other = slot;
    }
    return other;
}

// Whether a side's edge is drawn, and in which colour (0: not drawn).
uint16_t side_colour(int sector, int direction, uint16_t wall) {
    const map_side& side = current_map.sides[static_cast<size_t>(sector) * 4 + direction];
    const uint32_t f = side.flags;
    if (f & SIDE_INVIS) return 0;
    if (!(f & SIDE_TRANSPARENT) || (f & SIDE_SECRET)) return wall;
    const int exit = current_map.sectors[static_cast<size_t>(sector)].exits[static_cast<size_t>(direction)];
    const bool passable = exit != 0 && !(f & SIDE_NOPLAYER);
    if (passable || ((f & SIDE_TRUESEE) && !view.true_seeing)) return 0;
    if (f & SIDE_NOPLAYER) {
        if (valid_sector(exit)) {
            const map_side& facing = current_map.sides[static_cast<size_t>(exit) * 4 + ((direction + 2) & 3)];
            if ((facing.flags & SIDE_TRUESEE) && !view.true_seeing) return 0;
        }
        return AUTOMAP_BARS;
    }
    return 0;
}

void edge(int x, int y, int screen_edge, uint16_t colour) {
    draw_colour = colour;
    switch (screen_edge) {
        case 0:
            draw_hline(x, y, x + AUTOMAP_CELL - 1);
            break;
        case 1:
            draw_vline(x + AUTOMAP_CELL - 1, y, y + AUTOMAP_CELL - 1);
            break;
        case 2:
            draw_hline(x, y + AUTOMAP_CELL - 1, x + AUTOMAP_CELL - 1);
            break;
        default:
            draw_vline(x, y, y + AUTOMAP_CELL - 1);
            break;
    }
}

// Formats a localized text with its arguments taken in order: %s a text,
// %d (with an optional 0 and width) a number, %% a percent sign. Other
// conversions and missing arguments are left out, so no text from the
// files can make the formatting read what it was not given.
using format_arg = std::variant<int, std::string>;
std::string format_text(const char* format, const std::vector<format_arg>& args) {
    std::string out;
    if (!format) return out;
    size_t next = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += '%';
            continue;
        }
        bool zero = false;
        int width = 0;
        if (*p == '0') zero = true;
        while (*p >= '0' && *p <= '9') width = std::min(width * 10 + (*p++ - '0'), 20);
        if (*p == '\0') break;
        if (next >= args.size()) continue;
        const format_arg& arg = args[next++];
        if (*p == 's') {
            out += std::holds_alternative<std::string>(arg) ? std::get<std::string>(arg) : std::string();
        } else if (*p == 'd' || *p == 'i' || *p == 'u') {
            const int value = std::holds_alternative<int>(arg) ? std::get<int>(arg) : 0;
            std::string number = std::to_string(value);
            while (static_cast<int>(number.size()) < width) number.insert(number.begin(), zero ? '0' : ' ');
            out += number;
        }
    }
    return out;
}

// The word for a count: form 0 for one, 1 for two to four, 2 otherwise.
const char* counted_word(int first_text, int n) {
    const int form = n == 1 ? 0 : (n >= 2 && n <= 4 ? 1 : 2);
    const char* word = string_list_get(ui_strings, first_text + form);
    return word ? word : "";
}

void draw_title_and_time() {
    const font_settings before = current_font_settings();
    const char* title_format = string_list_get(ui_strings, TEXT_TITLE);
    const std::string title = format_text(title_format ? title_format : "%s %d",
                                          {std::string(current_map.header.title.data()), automap.layer});
    set_aligned_position(5, 372, ALIGN_START, ALIGN_END, title);
    draw_text(title);

    const char* label = string_list_get(ui_strings, TEXT_TIME);
    const std::string text = std::string(label ? label : "") + " " + automap_time_text(game_time);
    set_font(FONT_6X9, 0 | FONT_GREY_SHADOW);
    set_aligned_position(635, 372, ALIGN_END, ALIGN_END, text);
    draw_text(text);
    apply_font_settings(before);
}

}  // namespace

std::string automap_time_text(int32_t time) {
    time = std::max<int32_t>(time, 0);
    std::string out;
    const int months = time / UNITS_PER_MONTH;
    time %= UNITS_PER_MONTH;
    const int days = time / UNITS_PER_DAY;
    time %= UNITS_PER_DAY;
    const int minutes = time / 6;
    if (months > 0) out += std::to_string(months) + " " + counted_word(TEXT_MONTHS, months) + " ";
    if (days > 0) out += std::to_string(days) + " " + counted_word(TEXT_DAYS, days) + " ";
    const char* hours_format = string_list_get(ui_strings, TEXT_HOURS);
    out += format_text(hours_format ? hours_format : "%d:%02d", {minutes / 60, minutes % 60});
    return out;
}

int automap_centre_x() {
    const int s = party.sector;
    const int x = valid_sector(s) ? current_map.coords[static_cast<size_t>(s)].x : 0;
    return AUTOMAP_CELL * x - AUTOMAP_CELL * automap.ox;
}
int automap_centre_y() {
    const int s = party.sector;
    const int y = valid_sector(s) ? current_map.coords[static_cast<size_t>(s)].y : 0;
    return AUTOMAP_CELL * y - AUTOMAP_CELL * automap.oy;
}

void draw_automap_cell(int sector, int x, int y, int pass, const automap_cell_style& style) {
    if (!valid_sector(sector)) return;
    const map_sector& s = current_map.sectors[static_cast<size_t>(sector)];
    const uint16_t flags = current_map.coords[static_cast<size_t>(sector)].coord_flags;
    if (pass == 0) {
        blend_rect(x, y, AUTOMAP_CELL, AUTOMAP_CELL, fill_colour(s.sector_type));
        const bool stairs = flags & MC_STAIRS, down = flags & MC_DOWN;
        if (stairs && down) return;
        if (stairs) {
            glyph(x + 1, y + 1, static_cast<uint8_t>(((s.sector_type - style.rotation - 1) & 3) + 4),
                  STAIRS_COLOURS);
        } else if (down || s.sector_type == SECTOR_TYPE_DOWN) {
            glyph(x + 1, y + 1, GLYPH_DOWN, DOWN_COLOURS);
        } else if (s.sector_type == SECTOR_TYPE_PIT) {
            glyph(x + 1, y + 1, GLYPH_PIT, 0 | FONT_GREY_SHADOW);
        } else if (s.sector_type == SECTOR_TYPE_TELEPORT) {
            for (int d = 0; d < 4; ++d)
                if (current_map.sides[static_cast<size_t>(sector) * 4 + d].flags & SIDE_S_VIS) {
                    glyph(x + 1, y + 1, GLYPH_TELEPORT, 0x03E0);
                    break;
                }
        }
        return;
    }
    for (int d = 0; d < 4; ++d)
        if (const uint16_t colour = side_colour(sector, d, style.wall))
            edge(x, y, (d - style.rotation) & 3, colour);
    const bool battle = automap_battle();
    if (style.minimap && battle && automap_hooks.monster_shown && automap_hooks.monster_shown(sector))
        glyph(x + 1, y + 1, GLYPH_MONSTER, 0x7D08);
    if (!(flags & MC_PLAYER)) return;
    const int slot = member_in(sector);
    if (slot < 0) return;
    const roster_member m = roster().member(slot);
    const uint16_t colour = m.group == roster().active_group() && !battle ? 0x7FFF : group_colour(m.group);
    if (style.minimap)
        glyph(x + 1, y + 1, GLYPH_MEMBER, colour);
    else
        glyph(x + 1, y + 1, static_cast<uint8_t>((m.direction & 3) + 4), colour);
}

void draw_automap(int ox, int oy) {
    automap.ox = ox;
    automap.oy = oy;
    const font_settings before = current_font_settings();
    target_frame_buffer();
    if (const picture* paper = screen_picture(H_BACKMAP))
        tile_picture(AUTOMAP_VIEW_X, AUTOMAP_VIEW_Y, AUTOMAP_VIEW_W, AUTOMAP_VIEW_H, -AUTOMAP_CELL * ox,
                     -AUTOMAP_CELL * oy, paper);
    const int cx = automap_centre_x(), cy = automap_centre_y();
    const automap_cell_style style{};
    const int count = std::min<int>(current_map.sector_count, static_cast<int>(current_map.coords.size()));
    for (int pass = 0; pass < 2; ++pass) {
        const uint16_t seen = pass == 0 ? MC_MAPPED : MC_MAPPED | MC_KNOWN;
        for (int s = 1; s < count; ++s) {
            const map_coord& c = current_map.coords[static_cast<size_t>(s)];
            if (c.layer != automap.layer || !(c.coord_flags & MC_MARKED) || !(c.coord_flags & seen) ||
                (c.coord_flags & MC_NOAUTOMAP))
                continue;
            const int dx = AUTOMAP_CELL * c.x - cx, dy = AUTOMAP_CELL * c.y - cy;
            if (dx < -312 || dx > 309 || dy < -178 || dy > 169) continue;
            draw_automap_cell(s, dx + AUTOMAP_CENTRE_X, dy + AUTOMAP_CENTRE_Y, pass, style);
        }
    }
    apply_font_settings(before);
    draw_automap_notes();
    draw_title_and_time();
    if (automap.editing) draw_note_edit();
    present_rect(AUTOMAP_VIEW_X, AUTOMAP_VIEW_Y - 1, AUTOMAP_VIEW_W, AUTOMAP_VIEW_H);
}

void draw_automap_panel() {
    const picture* back = screen_picture(H_CHARGEN);
    if (!back) return;
    target_frame_buffer();
    put_picture(AUTOMAP_PANEL_X, AUTOMAP_PANEL_Y, back);
    const picture* selected = screen_picture(H_CHARGENB);
    constexpr int first_row[4] = {0, 18, 37, 55}, rows[4] = {18, 20, 20, 21};
    constexpr int label_y[4] = {405, 424, 443, 462};
    const font_settings before = current_font_settings();
    for (int b = 0; b < 4; ++b) {
        const bool on = (automap.mask >> b) & 1;
        if (on && selected && selected->height >= first_row[b] + rows[b]) {
            const int width = std::min<int>(selected->width, SCREEN_WIDTH - AUTOMAP_PANEL_X);
            const int height = std::min(rows[b], SCREEN_HEIGHT - (AUTOMAP_BUTTONS_Y + first_row[b]));
            put_picture_rows(selected, pixel_address(AUTOMAP_PANEL_X, AUTOMAP_BUTTONS_Y + first_row[b]),
                             first_row[b], width, height);
        }
        const char* label = string_list_get(ui_strings, TEXT_BUTTONS + b);
        if (!label) continue;
        set_font(FONT_6X9, on ? 0x7FE0 | FONT_GREY_SHADOW : 0x7FFF | FONT_GREY_SHADOW);
        set_aligned_position(570, label_y[b], ALIGN_CENTRE, ALIGN_END, label);
        draw_text(label);
    }
    apply_font_settings(before);
    present_rect(AUTOMAP_PANEL_X, AUTOMAP_PANEL_Y, SCREEN_WIDTH - AUTOMAP_PANEL_X,
                 SCREEN_HEIGHT - AUTOMAP_PANEL_Y);
}

int automap_panel_button(int x, int y) {
    const picture* index = screen_picture(H_CHARGENM);
    if (!index || index->type != PIC_NOPAL8) return 0;
    const int px = x - AUTOMAP_PANEL_X, py = y - AUTOMAP_PANEL_Y;
    if (px < 0 || py < 0 || px >= index->width || py >= index->height) return 0;
    const uint8_t value = picture_pixels8(index)[static_cast<size_t>(py) * index->width + px];
    return value >= 1 && value <= 4 ? value : 0;
}
