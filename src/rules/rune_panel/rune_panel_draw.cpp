// The rune panel drawn over the view: a wooden board framed in bronze, the
// group tabs, the rune places and the listed variants.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/strings.h"
#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "rules/party.h"
#include "rules/rune_panel/rune_panel.h"
#include "world/screen_resources.h"

namespace {

constexpr uint16_t BOARD = 0x1462, BRONZE = 0x55E7, BRONZE_DARK = 0x2CA3, SOCKET = 0x0C63;
constexpr uint16_t ROW_FACE = 0x0C42, ROW_CHOSEN = 0x2063;
constexpr uint16_t INK_CASTABLE = 0x7BDE, INK_RISKY = 0x7E00, INK_UNABLE = 0x4210, INK_LABEL = 0x6B5A;
// Each group's own colour (fire, water, earth, air, mind), lighting its tab.
constexpr uint16_t GROUP_COLOURS[RUNE_GROUP_COUNT] = {0x5083, 0x10D2, 0x1981, 0x3A56, 0x3010};
constexpr int TEXT_LEVEL_LABEL = 47, TEXT_COST_LABEL = 16;

void bronze_box(const rune_rect& r, uint16_t face) {
    draw_colour = face;
    fill_rect(r.x, r.y, r.x + r.w - 1, r.y + r.h - 1);
    draw_rect(r.x, r.y, r.x + r.w - 1, r.y + r.h - 1, 0);
    draw_rect(r.x + 1, r.y + 1, r.x + r.w - 2, r.y + r.h - 2, BRONZE);
    draw_colour = BRONZE_DARK;
    draw_hline(r.x + 2, r.y + r.h - 3, r.x + r.w - 3);
    draw_vline(r.x + r.w - 3, r.y + 2, r.y + r.h - 3);
}

// A 40 x 40 cell of an 8-bit picture (index 0 left out).
void draw_cell(const picture* pic, int column, int x, int y) {
    if (!pic || pic->type != PIC_PAL8) return;
    const int left = column * RUNE_GLYPH_SIZE;
    if (left + RUNE_GLYPH_SIZE > pic->width) return;
    const uint16_t* palette = picture_palette(pic);
    const uint8_t* pixels = picture_pixels8(pic);
    for (int row = 0; row < RUNE_GLYPH_SIZE && row < pic->height; ++row)
        for (int c = 0; c < RUNE_GLYPH_SIZE; ++c) {
            const uint8_t index = pixels[static_cast<size_t>(row) * pic->width + left + c];
            if (index) *pixel_address(x + c, y + row) = palette[index];
        }
}

const picture* sheet(int group) {
    return screen_picture(handle_id(H_R_OHEN + group));
}

bool castable_variant(int group, int rune) {
    rune_spells& spells = spells_for_runes();
    const int caster = rune_panel().caster;
    for (int variant = 0; variant < SPELL_VARIANTS; ++variant)
        if (spells.can_cast(caster, spell_number(group, rune, variant)) != 1) return true;
    return false;
}

void draw_tabs() {
    for (int group = 0; group < RUNE_GROUP_COUNT; ++group) {
        const rune_rect r = rune_tab_rect(group);
        const bool shown = group == rune_panel().group;
        bronze_box(r, shown ? GROUP_COLOURS[group] : SOCKET);
        draw_cell(sheet(group), 0, r.x + (r.w - RUNE_GLYPH_SIZE) / 2, r.y + (r.h - RUNE_GLYPH_SIZE) / 2);
        if (!shown) darken_rect(r.x + 2, r.y + 2, r.w - 4, r.h - 4);
    }
}

void draw_places() {
    const int group = rune_panel().group;
    for (int rune = 0; rune < RUNES_PER_GROUP; ++rune) {
        const rune_rect r = rune_place_rect(rune);
        bronze_box(r, rune == rune_panel().rune ? GROUP_COLOURS[group] : SOCKET);
        const int x = r.x + (r.w - RUNE_GLYPH_SIZE) / 2, y = r.y + (r.h - RUNE_GLYPH_SIZE) / 2;
        if (!((party_state.runes[group] >> rune) & 1)) {
            draw_cell(screen_picture(H_RUNEHOLE), 0, x, y);
            continue;
        }
        draw_cell(sheet(group), rune, x, y);
        if (castable_variant(group, rune)) continue;
        if (const picture* mask = screen_picture(H_RUNEMASK))
            draw_cell(mask, 0, x, y);
        else
            darken_rect(x, y, RUNE_GLYPH_SIZE, RUNE_GLYPH_SIZE);
    }
}

void draw_variants() {
    const rune_panel_state& panel = rune_panel();
    if (panel.rune < 0) return;
    rune_spells& spells = spells_for_runes();
    const char* level = string_list_get(ui_strings, TEXT_LEVEL_LABEL);
    const char* cost = string_list_get(ui_strings, TEXT_COST_LABEL);
    for (int variant = 0; variant < SPELL_VARIANTS; ++variant) {
        const int spell = spell_number(panel.group, panel.rune, variant);
        const spell_def* def = spells.spell(spell);
        if (!def) continue;
        const rune_rect r = rune_variant_rect(variant);
        bronze_box(r, spell == panel.waiting ? ROW_CHOSEN : ROW_FACE);
        const int answer = spells.can_cast(panel.caster, spell);
        const uint16_t ink = answer == 1 ? INK_UNABLE : answer == 2 ? INK_RISKY : INK_CASTABLE;
        if (screen_font(FONT_SADA16, ink)) {
            set_text_position(r.x + 10, r.y + 6);
            draw_text(std::string(def->spell_name, strnlen(def->spell_name, sizeof def->spell_name)));
        }
        char line[160];
        std::snprintf(line, sizeof line, "%s %d, %s %d", level ? level : "", int(def->power),
                      cost ? cost : "", int(def->cost));
        if (screen_font(FONT_SADA16, INK_LABEL)) {
            set_text_position(r.x + 10, r.y + 24);
            draw_text(line);
        }
    }
}

void draw_caster() {
    const rune_panel_state& panel = rune_panel();
    if (panel.caster < 0 || panel.caster >= PARTY_SLOTS) return;
    const party_member& m = party_members[panel.caster];
    const rune_rect box = rune_panel_rect();
    char line[96];
    std::snprintf(line, sizeof line, "%.*s  %d/%d", int(strnlen(m.name, sizeof m.name)), m.name, int(m.mp),
                  int(m.stats[STAT_MP_MAX]));
    if (screen_font(FONT_SADA16, INK_LABEL)) {
        set_text_position(box.x + 16, box.y + box.h - 22);
        draw_text(line);
    }
}

}  // namespace

void draw_rune_panel() {
    if (!rune_panel().open) return;
    bronze_box(rune_panel_rect(), BOARD);
    draw_tabs();
    draw_places();
    draw_variants();
    draw_caster();
}
