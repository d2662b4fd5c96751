#pragma once
// The character sheet of the inventory screen: the attributes (with a plus
// sign to spend free points), points, level and experience, attack and
// defence, actions per round, the weapon skills, the resistances and the
// food and water reserves. Fields sit on a grid of 8 x 6 pixels.
#include <functional>
#include <string>
#include <vector>

#include "rules/party_record.h"

constexpr int SHEET_X = 325, SHEET_Y = 67;
constexpr int SHEET_COLUMN = 8, SHEET_ROW = 6;
constexpr int SHEET_FIELD_COUNT = 52;  // labels and values; the food and water bars come after them

// Numbered game texts of the labels.
constexpr int TEXT_ATTRIBUTES = 10;  // 10..13
constexpr int TEXT_HIT_POINTS = 14;  // 14 hit, 15 condition, 16 magic points
constexpr int TEXT_FREE_POINTS = 17;
constexpr int TEXT_LEVEL = 18;
constexpr int TEXT_EXPERIENCE = 19;
constexpr int TEXT_ATTACK = 20;
constexpr int TEXT_DEFENCE = 21;
constexpr int TEXT_ELEMENTS = 22;  // 22..26
constexpr int TEXT_ACTIONS = 30;
constexpr int TEXT_RESISTANCE = 31;
constexpr int TEXT_FOOD = 69, TEXT_WATER = 70;
constexpr int TEXT_SKILLS = 90;  // the heading; 91..97 the seven weapon classes

enum class sheet_field_kind { label, value, bar };

struct sheet_field {
    sheet_field_kind kind = sheet_field_kind::label;
    int x = 0, y = 0;  // labels start at x, values end at x, bars start at x
    std::string text;
    int filled = 0, full = 0;  // bars: the reserve against its maximum
};

// Every field of the sheet for the character, labels from `game_text`.
std::vector<sheet_field> sheet_fields(const party_member& member,
                                      const std::function<std::string(int)>& game_text);

// The plus sign beside attribute i (0..3), shown while free points remain.
struct sheet_plus {
    int attribute = 0;
    int x = 0, y = 0, w = 0, h = 0;
};
std::vector<sheet_plus> sheet_plus_signs(const party_member& member);
// The attribute whose plus sign is at the screen point, -1 for none.
int sheet_plus_at(const party_member& member, int x, int y);

// The points still needed for the next level (0 at the last level).
int experience_to_next_level(const party_member& member);

// Draws the sheet onto the drawing target in the interface font.
void draw_character_sheet(const party_member& member, const std::function<std::string(int)>& game_text);
