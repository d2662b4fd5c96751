// The two tables of special procedures, their messages, the texts they fill
// in, and how they are put into the game.
#include "story/special_procedures.h"

#include <cstdlib>
#include <cstring>

#include "base/fatal.h"
#include "monsters/monsters.h"
#include "rules/item_record.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/map_services.h"

// Stored with the replacement character in place of the accented letters.
const char* const BAD_MONSTER_PROCEDURE =
    "Nestv\xEF\xBF\xBDra pou\xEF\xBF\xBD\xEF\xBF\xBDva neplatnou specproc.";
const char* const BAD_WALL_PROCEDURE =
    "Neplatn\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBDslo ud\xEF\xBF\xBDlosti na st\xEF\xBF\xBDn\xEF\xBF\xBD. "
    "Specproc s "
    "t\xEF\xBF\xBDmto \xEF\xBF\xBD\xEF\xBF\xBDslem nen\xEF\xBF\xBD definov\xEF\xBF\xBDna.";

// The procedures themselves (special_monsters.cpp, special_walls.cpp).
bool run_monster_procedure(int number, int event, int slot);
bool run_wall_procedure(int number, int sector, int side, int parameter, int events);

namespace {

[[noreturn]] void unknown_procedure(const char* message, int number) {
    fatal_error("%s\n Specproc num: %d\n", message, number);
}

}  // namespace

bool monster_proc(int number, int event, int slot) {
    if (number == 0) return false;
    // A negative number is as unknown as one past the table.
    if (number < 0 || number > MONSTER_PROCEDURES) unknown_procedure(BAD_MONSTER_PROCEDURE, number);
    if (slot < 0 || static_cast<size_t>(slot) >= monster_table.size()) return false;
    return run_monster_procedure(number, event, slot);
}

bool wall_proc(int number, int sector, int side, int parameter, int events) {
    if (number == 0) return false;
    if (number < 0 || number > WALL_PROCEDURES) unknown_procedure(BAD_WALL_PROCEDURE, number);
    return run_wall_procedure(number, sector, side & 3, parameter, events);
}

void raise_alarm(int sector) {
    monster_alarm(sector);
}

// ---------------------------------------------------------------- texts of the adventure

std::string format_data_text(const std::string& format, const std::vector<format_argument>& arguments) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // %[-0+ ]*[width](d|i|s); anything else is text.
        size_t j = i + 1;
        bool left = false, zeros = false, sign = false;
        while (j < format.size() &&
               (format[j] == '-' || format[j] == '0' || format[j] == '+' || format[j] == ' ')) {
            left = left || format[j] == '-';
            zeros = zeros || format[j] == '0';
            sign = sign || format[j] == '+';
            ++j;
        }
        size_t width = 0;
        while (j < format.size() && format[j] >= '0' && format[j] <= '9' && width < 100)
            width = width * 10 + static_cast<size_t>(format[j++] - '0');
        if (j >= format.size() || (format[j] != 'd' && format[j] != 'i' && format[j] != 's')) {
            out += c;
            continue;
        }
        std::string value;
        if (next < arguments.size()) {
            const format_argument& a = arguments[next];
            value = a.is_text ? a.text : (sign && a.number >= 0 ? "+" : "") + std::to_string(a.number);
        }
        ++next;
        if (value.size() < width) {
            const size_t pad = width - value.size();
            if (left)
                value.append(pad, ' ');
            else if (zeros && format[j] != 's')
                value.insert(value[0] == '-' || value[0] == '+' ? 1 : 0, pad, '0');
            else
                value.insert(0, pad, ' ');
        }
        out += value;
        i = j;
    }
    return out;
}

namespace {

constexpr int TEXT_NAME = 210, TEXT_WEIGHT = 211, TEXT_PLACES = 212, TEXT_FIRST_VALUE = 213;
constexpr int TEXT_ELEMENT_LINE = 233, TEXT_REGEN_LOSS = 234, TEXT_REGEN_GAIN = 235;
constexpr int TEXT_UNIT_FEW = 236, TEXT_UNIT_MANY = 237, TEXT_FIRST_FLAG = 240;
constexpr int TEXT_FIRST_ELEMENT = 22, ELEMENTS = 5;
// The statistics modifiers and the magical attack's least value (with its
// greatest after it); text 213 + 20 is already the element's line.
constexpr int VALUE_LINES = 20;

std::string word(const char* text) {
    return text ? text : "";
}

}  // namespace

std::vector<std::string> item_property_lines(const item_def& item, const char* (*text)(int number)) {
    std::vector<std::string> lines;
    auto line = [&](int number, const std::vector<format_argument>& arguments) {
        if (const char* format = text(number)) lines.push_back(format_data_text(format, arguments));
    };
    const std::string name(item.name, strnlen(item.name, sizeof item.name));
    line(TEXT_NAME, {name});
    const int weight = item.weight;
    line(TEXT_WEIGHT, {weight * 2, word(text(weight == 1 || weight == 2 ? TEXT_UNIT_FEW : TEXT_UNIT_MANY))});
    if (item.extra_slots != 0) line(TEXT_PLACES, {item.extra_slots});
    for (int k = 0; k < VALUE_LINES; ++k) {
        const int value = item_stat(item, k);
        if (value == 0 || !text(TEXT_FIRST_VALUE + k)) continue;
        if (k >= 16 && k <= 18)
            line(TEXT_FIRST_VALUE + k, {value, word(text(value < 1 ? TEXT_REGEN_LOSS : TEXT_REGEN_GAIN))});
        else
            line(TEXT_FIRST_VALUE + k, {value, static_cast<int>(item_stat(item, k + 1))});
    }
    if (item.magic_attack_min != 0 || item.magic_attack_max != 0) {
        const int element = item.magic_element;
        line(TEXT_ELEMENT_LINE,
             {element >= 0 && element < ELEMENTS ? word(text(TEXT_FIRST_ELEMENT + element)) : std::string()});
    }
    const auto flags = static_cast<uint16_t>(item.flags_given);
    for (int k = 0; k < 16; ++k)
        if (flags >> k & 1) line(TEXT_FIRST_FLAG + k, {});
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

// ---------------------------------------------------------------- into the game

namespace {

bool monster_event(int slot, int event) {
    if (slot < 0 || static_cast<size_t>(slot) >= monster_table.size()) return false;
    return monster_proc(monster_table[static_cast<size_t>(slot)].script, event, slot);
}

bool map_special(int procedure, int place, int parameter, int events) {
    return wall_proc(procedure, place / 4, place & 3, parameter, events);
}

}  // namespace

void install_special_procedures() {
    map_services.special = map_special;
    map_services.alarm = raise_alarm;
    // The walk asks for event 1; the fight (its turn and the knock-back)
    // reaches the same hook.
    monster_hooks.special = monster_event;
}
