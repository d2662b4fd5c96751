#include "forge/character_source.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "base/strings.h"
#include "forge/item_source_lines.h"
#include "rules/item_record.h"
#include "rules/party_record.h"

namespace forge {

namespace {

// The codes of the definition file.
constexpr int CODE_RUNES_FIRST = 64;
constexpr int CODE_NAME = 128, CODE_FEMALE = 129, CODE_FACE = 130, CODE_LEVEL = 131, CODE_EXPERIENCE = 132;
constexpr int CODE_BACKPACK = 133, CODE_CONTAINER = 134, CODE_WORN = 135, CODE_ARROWS = 136;
constexpr int MAX_CHARACTERS = 20;
constexpr int RUNE_GROUP_COUNT = 5;
constexpr int MAX_ARROW_COUNT = 99;

struct character {
    int line = 0;    // where it begins
    int number = 0;  // the definition's number, from 0
    std::string name;
    std::map<int, long> stats;
    std::optional<long> female, face, level, experience, arrows;
    std::vector<std::vector<int>> runes = std::vector<std::vector<int>>(RUNE_GROUP_COUNT);
    std::vector<int> backpack;  // item numbers from 1
    int bag = 0;
    std::map<int, int> worn;  // slot -> item number from 1
};

class character_compiler {
  public:
    character_compiler(std::string_view source_name, const compiled_items& items)
        : source_(source_name), items_(items) {}

    std::string compile(std::string_view text) {
        for (const source_line& line : split_source_lines(text)) {
            line_ = line.number;
            if (line.words[0] == "character") {
                begin_character(line);
            } else if (characters_.empty()) {
                throw fault("'" + line.words[0] + "' before the first character");
            } else {
                field(characters_.back(), line);
            }
        }
        // A number skipped is written as an empty definition: a record that
        // holds nobody, so the numbers after it stay where the dialogs expect them.
        std::string out;
        int written = 0;
        for (const character& c : characters_) {
            for (; written <= c.number; ++written) {
                if (written) out += "\r\n";
                if (written == c.number) out += definition(c);
            }
        }
        return out;
    }

  private:
    // "character" takes the number after the previous one (the first is 0);
    // "character <n>" sets it, in rising order, so a joining character can
    // stand beyond the new game's party.
    void begin_character(const source_line& line) {
        if (line.words.size() > 2)
            throw fault("character takes at most its number; its name follows as name");
        const int next = characters_.empty() ? 0 : characters_.back().number + 1;
        int number_of = next;
        if (line.words.size() == 2) {
            number_of = int(number(line.words[1], 0, MAX_CHARACTERS - 1));
            if (number_of < next)
                throw fault("character " + line.words[1] + " comes after character " +
                            std::to_string(next - 1) + "; numbers rise");
        }
        if (number_of >= MAX_CHARACTERS)
            throw fault("more than " + std::to_string(MAX_CHARACTERS) + " characters");
        characters_.emplace_back();
        characters_.back().line = line_;
        characters_.back().number = number_of;
    }

    void field(character& c, const source_line& line) {
        const std::string& key = line.words[0];
        size_t args = line.words.size() - 1;
        if (key == "name") {
            auto name = utf8_to_game_codepage(line.rest);
            if (!name || name->empty()) throw fault("name needs a text in the game's code page");
            if (name->size() > size_t(PARTY_NAME_MAX))
                throw fault("the name is longer than " + std::to_string(PARTY_NAME_MAX) + " characters");
            c.name = *name;
            return;
        }
        if (key == "sex") {
            if (args != 1 || (line.words[1] != "male" && line.words[1] != "female"))
                throw fault("sex is male or female");
            c.female = line.words[1] == "female" ? 1 : 0;
            return;
        }
        if (key == "backpack") {
            for (size_t i = 1; i < line.words.size(); ++i) c.backpack.push_back(item(line.words[i]));
            if (int(c.backpack.size()) > BACKPACK_MAX)
                throw fault("more than " + std::to_string(BACKPACK_MAX) + " backpack items");
            return;
        }
        if (key == "bag") {
            if (args != 1) throw fault("bag takes one item");
            c.bag = item(line.words[1]);
            if (items_.file.definitions[size_t(c.bag - 1)].placement != PL_CONTAINER)
                throw fault(line.words[1] + " is not a container");
            return;
        }
        if (key == "wear") {
            if (args != 2) throw fault("wear takes a slot and an item");
            // Slot 0 is the bag's: it also sets the backpack's size.
            int slot = int(number(line.words[1], 1, WORN_SLOTS - 1));
            if (c.worn.count(slot)) throw fault("slot " + line.words[1] + " is worn twice");
            c.worn[slot] = item(line.words[2]);
            return;
        }
        if (key == "runes") {
            if (args < 2) throw fault("runes takes a group and rune numbers");
            int group = int(number(line.words[1], 0, RUNE_GROUP_COUNT - 1));
            for (size_t i = 2; i < line.words.size(); ++i)
                c.runes[group].push_back(int(number(line.words[i], 1, 8)));
            return;
        }
        if (args != 1) throw fault(key + " takes one number");
        const std::string& value = line.words[1];
        if (key == "face") return void(c.face = number(value, 0, 255));
        if (key == "level") return void(c.level = number(value, 1, 32767));
        if (key == "experience") return void(c.experience = number(value, 0, 2147483647L));
        if (key == "arrows") return void(c.arrows = number(value, 0, MAX_ARROW_COUNT));
        for (int stat = 0; stat < STAT_COUNT; ++stat)
            if (key == stat_name(stat))
                return void(c.stats[stat] = number(value, stat_min(stat), stat_max(stat)));
        throw fault("unknown keyword " + key);
    }

    // What a character wears must be what the game's wearing rules could
    // have put there: each item in a slot of its placement, no armour of
    // slot 5 over slots 1-3, nothing in slot 7 beside a two-handed item.
    void check_worn(const character& c) {
        auto placement_of = [&](int number) { return items_.file.definitions[size_t(number - 1)].placement; };
        auto name_of = [&](int number) {
            for (const auto& [name, n] : items_.numbers)
                if (n == number) return name;
            return std::to_string(number);
        };
        for (const auto& [slot, number] : c.worn) {
            const int placement = placement_of(number);
            const bool fits = (placement >= PL_SLOT1 && placement <= PL_SLOT6 && slot == placement - 1) ||
                              (placement == PL_ONE_HAND && (slot == 7 || slot == 8)) ||
                              (placement == PL_TWO_HANDS && slot == 8) || (placement == PL_BELT && slot >= 9);
            if (!fits)
                throw fault(c.name + " cannot wear " + name_of(number) + " in slot " + std::to_string(slot));
        }
        if (c.worn.count(5))
            for (int covered = 1; covered <= 3; ++covered)
                if (c.worn.count(covered))
                    throw fault(c.name + " wears " + name_of(c.worn.at(5)) +
                                " in slot 5, which takes off slot " + std::to_string(covered));
        if (c.worn.count(8) && c.worn.count(7) && placement_of(c.worn.at(8)) == PL_TWO_HANDS)
            throw fault(c.name + " holds a two-handed item beside slot 7");
    }

    std::string definition(const character& c) {
        line_ = c.line;
        if (c.name.empty()) throw fault("the character has no name");
        int cells = BACKPACK_MIN + (c.bag ? items_.file.definitions[size_t(c.bag - 1)].extra_slots : 0);
        cells = std::clamp(cells, BACKPACK_MIN, BACKPACK_MAX);
        // Items beyond the backpack's cells would be carried unseen.
        if (int(c.backpack.size()) > cells)
            throw fault(c.name + "'s backpack holds " + std::to_string(c.backpack.size()) + " items in " +
                        std::to_string(cells) + " cells");
        check_worn(c);
        std::string out;
        auto entry = [&out](int code, const std::string& value) {
            out += std::to_string(code) + "\r\n" + value + "\r\n";
        };
        auto list = [&out](int code, const std::vector<int>& values) {
            out += std::to_string(code) + "\r\n";
            for (int v : values) out += std::to_string(v) + "\r\n";
            out += "-1\r\n";
        };
        entry(CODE_NAME, " " + c.name);
        for (const auto& [stat, value] : c.stats) entry(stat, std::to_string(value));
        if (c.female) entry(CODE_FEMALE, std::to_string(*c.female));
        if (c.face) entry(CODE_FACE, std::to_string(*c.face));
        if (c.level) entry(CODE_LEVEL, std::to_string(*c.level));
        if (c.experience) entry(CODE_EXPERIENCE, std::to_string(*c.experience));
        for (int group = 0; group < RUNE_GROUP_COUNT; ++group)
            if (!c.runes[group].empty()) list(CODE_RUNES_FIRST + group, c.runes[group]);
        if (c.bag) entry(CODE_CONTAINER, std::to_string(c.bag - 1));
        for (const auto& [slot, number] : c.worn)
            out += std::to_string(CODE_WORN) + "\r\n" + std::to_string(slot) + "\r\n" +
                   std::to_string(number - 1) + "\r\n";
        if (!c.backpack.empty()) {
            std::vector<int> from_zero;
            for (int number : c.backpack) from_zero.push_back(number - 1);
            list(CODE_BACKPACK, from_zero);
        }
        if (c.arrows) entry(CODE_ARROWS, std::to_string(*c.arrows));
        return out;
    }

    int item(const std::string& name) { return item_number_by_name(items_, name, source_, line_); }
    long number(const std::string& word, long min, long max) {
        return source_number(word, min, max, source_, line_);
    }
    std::runtime_error fault(const std::string& what) const { return source_error(source_, line_, what); }

    std::string source_;
    const compiled_items& items_;
    int line_ = 0;
    std::vector<character> characters_;
};

}  // namespace

std::string compile_character_source(std::string_view utf8_source, std::string_view source_name,
                                     const compiled_items& items) {
    return character_compiler(source_name, items).compile(utf8_source);
}

}  // namespace forge
