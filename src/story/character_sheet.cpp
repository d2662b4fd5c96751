#include "story/character_sheet.h"

#include <algorithm>
#include <cstdio>

#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "rules/party.h"

namespace {

constexpr int LEFT_LABEL = 0, LEFT_VALUE_END = 17, PLUS_COLUMN = 18;
constexpr int RIGHT_LABEL = 21, RIGHT_VALUE_END = 37;
constexpr int BAR_COLUMN = 8, BAR_COLUMNS = 27, BAR_HEIGHT = 9;
constexpr int PLUS_SIZE = 10;
constexpr uint16_t LABEL_COLOUR = 0x6F7B, VALUE_COLOUR = 0x7FFF, PLUS_COLOUR = 0x7FE0;
constexpr uint16_t BAR_FRAME = 0x4210, BAR_FOOD = 0x2A00, BAR_WATER = 0x0157;

int column_x(int column) {
    return SHEET_X + column * SHEET_COLUMN;
}
int row_y(int row) {
    return SHEET_Y + row * SHEET_ROW;
}

std::string number(int value) {
    return std::to_string(value);
}
std::string pair(const char* format, int a, int b) {
    char text[48];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// Rows of the left column: the attributes, then the points, free points,
// level, experience, attack, defence and actions.
constexpr int ATTRIBUTE_ROWS[4] = {0, 3, 6, 9};
constexpr int POINT_ROWS[3] = {13, 16, 19};
constexpr int FREE_ROW = 23, LEVEL_ROW = 27, EXPERIENCE_ROW = 30, ATTACK_ROW = 34, DEFENCE_ROW = 37,
              ACTIONS_ROW = 40;
// The right column: the skills under their heading, the resistances under theirs.
constexpr int SKILLS_ROW = 0, RESISTANCE_ROW = 25;
constexpr int FOOD_ROW = 45, WATER_ROW = 49;

}  // namespace

int experience_to_next_level(const party_member& member) {
    const int level = std::clamp<int>(member.level, 1, MAX_LEVEL);
    if (level >= MAX_LEVEL) return 0;
    return std::max(0, experience_table[level - 1] - member.experience);
}

std::vector<sheet_field> sheet_fields(const party_member& m,
                                      const std::function<std::string(int)>& game_text) {
    std::vector<sheet_field> fields;
    auto line = [&](int label_column, int value_end, int row, int text, std::string value) {
        fields.push_back({sheet_field_kind::label, column_x(label_column), row_y(row), game_text(text)});
        fields.push_back({sheet_field_kind::value, column_x(value_end), row_y(row), std::move(value)});
    };
    auto left = [&](int row, int text, std::string value) {
        line(LEFT_LABEL, LEFT_VALUE_END, row, text, value);
    };
    auto right = [&](int row, int text, std::string value) {
        line(RIGHT_LABEL, RIGHT_VALUE_END, row, text, value);
    };
    auto heading = [&](int row, int text) {
        fields.push_back({sheet_field_kind::label, column_x(RIGHT_LABEL), row_y(row), game_text(text)});
    };

    for (int i = 0; i < 4; ++i) left(ATTRIBUTE_ROWS[i], TEXT_ATTRIBUTES + i, number(m.stats[i]));
    left(POINT_ROWS[0], TEXT_HIT_POINTS, pair("%d/%d", m.hp, m.stats[STAT_HP_MAX]));
    left(POINT_ROWS[1], TEXT_HIT_POINTS + 1, pair("%d/%d", m.vp, m.stats[STAT_VP_MAX]));
    left(POINT_ROWS[2], TEXT_HIT_POINTS + 2, pair("%d/%d", m.mp, m.stats[STAT_MP_MAX]));
    left(FREE_ROW, TEXT_FREE_POINTS, number(m.free_points));
    left(LEVEL_ROW, TEXT_LEVEL, number(m.level));
    left(EXPERIENCE_ROW, TEXT_EXPERIENCE, pair("%d [%d]", m.experience, experience_to_next_level(m)));
    left(ATTACK_ROW, TEXT_ATTACK, pair("%d-%d", m.stats[STAT_ATTACK_MIN], m.stats[STAT_ATTACK_MAX]));
    left(DEFENCE_ROW, TEXT_DEFENCE, pair("%d-%d", m.stats[STAT_DEFENSE_MIN], m.stats[STAT_DEFENSE_MAX]));
    left(ACTIONS_ROW, TEXT_ACTIONS, number(m.stats[STAT_SPEED] / 15));

    heading(SKILLS_ROW, TEXT_SKILLS);
    for (int c = 0; c < WEAPON_CLASSES; ++c)
        right(SKILLS_ROW + 3 * (c + 1), TEXT_SKILLS + 1 + c, number(m.skills[c]));
    heading(RESISTANCE_ROW, TEXT_RESISTANCE);
    for (int e = 0; e < STAT_RESIST_COUNT; ++e)
        right(RESISTANCE_ROW + 3 * (e + 1), TEXT_ELEMENTS + e, number(m.stats[STAT_RESIST + e]));

    auto bar = [&](int row, int text, int32_t reserve, int32_t capacity) {
        fields.push_back({sheet_field_kind::label, column_x(LEFT_LABEL), row_y(row), game_text(text)});
        sheet_field field{sheet_field_kind::bar, column_x(BAR_COLUMN), row_y(row),
                          pair("%d/%d", reserve / TICKS_PER_HOUR, capacity / TICKS_PER_HOUR)};
        field.filled = std::max(0, reserve);
        field.full = std::max(0, capacity);
        fields.push_back(field);
    };
    bar(FOOD_ROW, TEXT_FOOD, m.food, food_capacity(m));
    bar(WATER_ROW, TEXT_WATER, m.water, water_capacity(m));
    return fields;
}

std::vector<sheet_plus> sheet_plus_signs(const party_member& member) {
    std::vector<sheet_plus> signs;
    if (member.free_points <= 0) return signs;
    for (int i = 0; i < 4; ++i)
        signs.push_back({i, column_x(PLUS_COLUMN), row_y(ATTRIBUTE_ROWS[i]), PLUS_SIZE, PLUS_SIZE});
    return signs;
}

int sheet_plus_at(const party_member& member, int x, int y) {
    for (const sheet_plus& sign : sheet_plus_signs(member))
        if (x >= sign.x && x < sign.x + sign.w && y >= sign.y && y < sign.y + sign.h) return sign.attribute;
    return -1;
}

void draw_character_sheet(const party_member& member, const std::function<std::string(int)>& game_text) {
    const std::vector<sheet_field> fields = sheet_fields(member, game_text);
    for (const sheet_field& field : fields) {
        switch (field.kind) {
            case sheet_field_kind::label:
                set_font(FONT_SADA16, LABEL_COLOUR);
                set_aligned_position(field.x, field.y, ALIGN_START, ALIGN_START, field.text);
                draw_text(field.text);
                break;
            case sheet_field_kind::value:
                set_font(FONT_SADA16, VALUE_COLOUR);
                set_aligned_position(field.x, field.y, ALIGN_END, ALIGN_START, field.text);
                draw_text(field.text);
                break;
            case sheet_field_kind::bar: {
                const int w = BAR_COLUMNS * SHEET_COLUMN;
                const int inside =
                    field.full > 0 ? std::min(field.filled, field.full) * (w - 2) / field.full : 0;
                draw_rect(field.x, field.y, field.x + w - 1, field.y + BAR_HEIGHT, BAR_FRAME);
                draw_colour = field.y == row_y(FOOD_ROW) ? BAR_FOOD : BAR_WATER;
                if (inside > 0)
                    fill_rect(field.x + 1, field.y + 1, field.x + inside, field.y + BAR_HEIGHT - 1);
                set_font(FONT_SADA16, VALUE_COLOUR);
                set_aligned_position(field.x + w / 2, field.y, ALIGN_CENTRE, ALIGN_START, field.text);
                draw_text(field.text);
                break;
            }
        }
    }
    set_font(FONT_SADA16, PLUS_COLOUR);
    for (const sheet_plus& sign : sheet_plus_signs(member)) {
        draw_rect(sign.x, sign.y, sign.x + sign.w - 1, sign.y + sign.h - 1, PLUS_COLOUR);
        draw_hline(sign.x + 2, sign.y + sign.h / 2, sign.x + sign.w - 3);
        draw_vline(sign.x + sign.w / 2, sign.y + 2, sign.y + sign.h - 3);
    }
}
