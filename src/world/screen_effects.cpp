#include "world/screen_effects.h"

#include <algorithm>
#include <cstdio>

#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/screen_layout.h"
#include "world/screen_resources.h"

screen_effects_state screen_effects;

namespace {

// More sparkles than this at once are not told apart; the oldest go first.
constexpr size_t MAX_EFFECTS = 64;

// Frame `frame` (frame_rows rows each) of an 8-bit picture at (x, y), at most
// width x height, index 0 transparent, cut at the edges of the screen.
void draw_picture_frame(const picture* pic, int x, int y, int frame, int frame_rows, int width, int height) {
    if (!pic || pic->type != PIC_PAL8 || frame < 0) return;
    const int first_row = frame * frame_rows;
    if (first_row >= pic->height) return;
    width = std::min<int>(width, pic->width);
    height = std::min({height, frame_rows, pic->height - first_row});
    const int x1 = std::max(x, 0), x2 = std::min(x + width, SCREEN_WIDTH);
    const int y1 = std::max(y, 0), y2 = std::min(y + height, SCREEN_HEIGHT);
    const uint16_t* palette = picture_palette(pic);
    const uint8_t* pixels = picture_pixels8(pic);
    for (int row = y1; row < y2; ++row) {
        const uint8_t* source = pixels + static_cast<ptrdiff_t>(first_row + row - y) * pic->width;
        uint16_t* target = pixel_address(0, row);
        for (int column = x1; column < x2; ++column)
            if (const uint8_t index = source[column - x]) target[column] = palette[index];
    }
}

handle_id damage_picture(int set) {
    constexpr handle_id pictures[] = {H_KREVMIN, H_KREVMID, H_KREVMAX};
    return pictures[std::clamp(set, 0, 2)];
}

}  // namespace

const std::vector<effect_place>& effect_places() {
    // 0-5 over the faces of the party bar's six places, 6 the middle of the
    // view, 7 the compass, 8 the money, 9 the arrow panel.
    static const std::vector<effect_place> places = [] {
        std::vector<effect_place> p;
        for (int i = 0; i < 6; ++i)
            p.push_back({PARTY_BAR_FIRST_X + PARTY_SLOT_WIDTH * i + 22, PANEL_FIRST_ROW + 14});
        p.push_back({312, VIEW_FIRST_ROW + 172});
        p.push_back({COMPASS_X + 43, 0});
        p.push_back({MONEY_X - 40, 0});
        p.push_back({ARROWS_X + 63, ARROWS_Y + 43});
        return p;
    }();
    return places;
}

void flash_members(handle_id picture, unsigned mask) {
    screen_effects.flash = member_flash{picture, mask, 0};
}

void show_damage(int set, int amount) {
    damage_counter& d = screen_effects.damage;
    set = std::clamp(set, static_cast<int>(DAMAGE_SMALL), static_cast<int>(DAMAGE_BIG));
    if (d.frame <= DAMAGE_ADDS_WITHIN) {
        // Blows that land together are counted as one.
        d.amount += amount;
        d.set = std::max(d.set, set);
    } else {
        d.amount = amount;
        d.set = set;
    }
    d.frame = 0;
}

void start_effect(int position) {
    if (position < 0 || position >= static_cast<int>(effect_places().size())) return;
    auto& effects = screen_effects.effects;
    effects.insert(effects.begin(), small_effect{position, 0});
    if (effects.size() > MAX_EFFECTS) effects.resize(MAX_EFFECTS);
}

void enter_defeat_screen(const std::string& text) {
    screen_effects.defeated = true;
    screen_effects.defeat_text = text;
}

void leave_defeat_screen() {
    screen_effects.defeated = false;
    screen_effects.defeat_text.clear();
}

bool defeat_screen_shown() {
    return screen_effects.defeated;
}

void draw_member_flash() {
    const member_flash& flash = screen_effects.flash;
    if (flash.frame >= FLASH_FRAMES || !flash.mask) return;
    const picture* pic = screen_picture(flash.picture);
    if (!pic) return;
    party_roster& members = roster();
    int position = 0;
    for (int slot = 0; slot < members.slots(); ++slot) {
        if (!members.member(slot).used) continue;
        if (slot < 32 && (flash.mask >> slot) & 1u)
            draw_picture_frame(pic, party_slot_x(position) + (FLASH_X - PARTY_BAR_FIRST_X), FLASH_Y,
                               flash.frame, FLASH_ROWS, FLASH_WIDTH, FLASH_ROWS);
        ++position;
    }
}

void draw_screen_effects() {
    const damage_counter& d = screen_effects.damage;
    if (d.frame < DAMAGE_FRAMES) {
        draw_picture_frame(screen_picture(damage_picture(d.set)), DAMAGE_X, DAMAGE_Y, d.frame, DAMAGE_ROWS,
                           DAMAGE_WIDTH, DAMAGE_HEIGHT);
        if (screen_font(FONT_TINY, 0x7FFF)) {
            char text[16];
            std::snprintf(text, sizeof text, "%d", d.amount);
            set_aligned_position(DAMAGE_TEXT_X, DAMAGE_TEXT_Y, ALIGN_CENTRE, ALIGN_CENTRE, text);
            draw_text(text);
        }
    }
    if (screen_effects.effects.empty()) return;
    const picture* fx = screen_picture(H_FX);
    for (const small_effect& e : screen_effects.effects) {
        const effect_place& at = effect_places()[static_cast<size_t>(e.position)];
        draw_picture_frame(fx, at.x, at.y, e.frame, EFFECT_ROWS, EFFECT_ROWS, EFFECT_ROWS);
    }
}

void draw_defeat_screen(const std::string& text) {
    uint16_t* pixels = screen_address();
    for (int i = 0; i < SCREEN_PITCH * SCREEN_HEIGHT; ++i) pixels[i] = blend50(pixels[i], 0);
    if (!screen_font(FONT_SADA16, FONT_NO_SHADOW | 0x7FFF)) return;
    int y = DEFEAT_Y;
    for (const std::string& line : wrap_text(text, DEFEAT_WRAP).lines) {
        set_aligned_position(SCREEN_WIDTH / 2, y, ALIGN_CENTRE, ALIGN_START, line);
        draw_text(line);
        y += 2 * std::max(text_height(line), text_height("X"));
    }
}

void advance_screen_effects() {
    member_flash& flash = screen_effects.flash;
    if (flash.frame < FLASH_FRAMES) ++flash.frame;
    damage_counter& d = screen_effects.damage;
    if (d.frame < DAMAGE_FRAMES) ++d.frame;
    auto& effects = screen_effects.effects;
    for (small_effect& e : effects) ++e.frame;
    // The oldest effects are last: cut the list where they have ended.
    while (!effects.empty() && effects.back().frame >= EFFECT_FRAMES) effects.pop_back();
}

void reset_screen_effects() {
    screen_effects = screen_effects_state{};
}
