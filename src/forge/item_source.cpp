#include "forge/item_source.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <optional>

#include "base/strings.h"
#include "forge/item_source_lines.h"
#include "rules/party_record.h"

namespace forge {

namespace {

constexpr int MAX_ITEM_TEXT = 31;  // the record's 32-byte fields keep their terminating zero
constexpr long MAX_ITEM_COUNT = 32767;
// The game counts the floor picture's empty bottom rows itself when the
// record holds this; 0 would mean "counted: none".
constexpr uint8_t FLOOR_INSET_NOT_COUNTED = 255;

const std::array<const char*, 14> TYPE_NAMES = {"ordinary", "melee",  "thrown", "bow",  "ordinary2",
                                                "wand",     "potion", "drink",  "food", "special",
                                                "rune",     "money",  "book",   "note"};
const std::array<const char*, 12> PLACEMENT_NAMES = {"none",     "container", "slot1", "slot2",
                                                     "slot3",    "slot4",     "slot5", "slot6",
                                                     "one_hand", "two_hands", "belt",  "quiver"};
const std::array<const char*, 4> REQUIREMENT_NAMES = {"strength", "magic_power", "speed", "dexterity"};

// Fields that take one number, with where it goes and its range.
struct number_field {
    const char* keyword;
    long min, max;
    void (*store)(item_def&, long);
};
const number_field NUMBER_FIELDS[] = {
    {"weight", -32768, 32767, [](item_def& d, long v) { d.weight = int16_t(v); }},
    {"value", -32768, 32767, [](item_def& d, long v) { d.value = int16_t(v); }},
    {"key_code", -1, 32767, [](item_def& d, long v) { d.key_code = int16_t(v); }},
    {"spell", 0, 32767, [](item_def& d, long v) { d.spell = int16_t(v); }},
    {"charges", 0, 32767, [](item_def& d, long v) { d.charges = int16_t(v); }},
    {"extra_slots", 0, BACKPACK_MAX - BACKPACK_MIN, [](item_def& d, long v) { d.extra_slots = int16_t(v); }},
    {"weapon_class", 0, WEAPON_CLASSES - 2, [](item_def& d, long v) { d.weapon_class = uint8_t(v); }},
    {"icon", 0, 65535, [](item_def& d, long v) { d.icon = uint16_t(v); }},
    {"damage_bonus", -32768, 32767, [](item_def& d, long v) { d.damage_bonus = int16_t(v); }},
    {"magic_attack_min", -32768, 32767, [](item_def& d, long v) { d.magic_attack_min = int16_t(v); }},
    {"magic_attack_max", -32768, 32767, [](item_def& d, long v) { d.magic_attack_max = int16_t(v); }},
    {"magic_element", 0, STAT_RESIST_COUNT - 1, [](item_def& d, long v) { d.magic_element = int16_t(v); }},
    {"flags_given", 0, 65535, [](item_def& d, long v) { d.flags_given = int16_t(uint16_t(v)); }},
    {"item_flags", 0, 0x3fff, [](item_def& d, long v) { d.item_flags = uint16_t(v); }},
    {"money", 0, 65535, [](item_def& d, long v) { d.money = uint16_t(v); }},
    {"floor_inset", 0, 255, [](item_def& d, long v) { d.floor_inset = uint8_t(v); }},
};

template <size_t N>
std::optional<int> index_of(const std::array<const char*, N>& names, const std::string& word) {
    for (size_t i = 0; i < N; ++i)
        if (word == names[i]) return int(i);
    return std::nullopt;
}

class item_compiler {
  public:
    explicit item_compiler(std::string_view source_name) : source_(source_name) {}

    compiled_items compile(std::string_view text) {
        std::vector<source_line> combination_lines;
        item_def* current = nullptr;
        for (const source_line& line : split_source_lines(text)) {
            line_ = line.number;
            const std::string& key = line.words[0];
            if (key == "item") {
                current = &begin_item(line);
            } else if (key == "combine") {
                combination_lines.push_back(line);
            } else if (current == nullptr) {
                throw fault("'" + key + "' before the first item");
            } else {
                item_field(*current, line);
            }
        }
        // Combinations may name items written after them: resolved once all are numbered.
        for (const source_line& line : combination_lines) combination(line);
        return std::move(out_);
    }

  private:
    item_def& begin_item(const source_line& line) {
        if (line.words.size() != 2) throw fault("item takes one name");
        const std::string& name = line.words[1];
        // Names stand between other words of the sources (combinations, lists).
        bool plain = std::all_of(name.begin(), name.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        });
        if (!plain) throw fault("item name " + name + " may hold only letters, digits and _");
        if (out_.numbers.count(name)) throw fault("item " + name + " is named twice");
        if (long(out_.file.definitions.size()) >= MAX_ITEM_COUNT) throw fault("too many items");
        out_.file.definitions.emplace_back().floor_inset = FLOOR_INSET_NOT_COUNTED;
        out_.texts.emplace_back();
        descriptions_.emplace_back();
        out_.numbers[name] = int(out_.file.definitions.size());
        // Until given its own, an item shows its source name.
        set_text(out_.file.definitions.back().name, name);
        out_.texts.back() = game_text(name);
        return out_.file.definitions.back();
    }

    void item_field(item_def& item, const source_line& line) {
        const std::string& key = line.words[0];
        size_t args = line.words.size() - 1;
        if (key == "name" || key == "description") {
            if (line.rest.empty()) throw fault(key + " needs a text");
            std::string text = game_text(line.rest);
            if (key == "name") {
                set_text(item.name, text);
            } else {
                set_text(item.description, text);
                descriptions_.back() = text;
            }
            out_.texts.back() =
                std::string(item.name) + (descriptions_.back().empty() ? "" : "\n" + descriptions_.back());
            return;
        }
        if (key == "type") return void(item.type = int16_t(named_or_number(line, TYPE_NAMES)));
        if (key == "placement") return void(item.placement = int16_t(named_or_number(line, PLACEMENT_NAMES)));
        if (key == "requires") {
            if (args != 2) throw fault("requires takes an attribute and a number");
            auto which = index_of(REQUIREMENT_NAMES, line.words[1]);
            if (!which) throw fault("unknown attribute " + line.words[1]);
            item.requirements[*which] = int16_t(number(line.words[2], 0, 32767));
            return;
        }
        if (key == "modifies") {
            if (args != 2) throw fault("modifies takes a statistic and a number");
            int stat = stat_index(line.words[1]);
            item.mods[stat] = int16_t(number(line.words[2], -32768, 32767));
            return;
        }
        if (key == "body_pos" || key == "body_pos_7") {
            if (args != 2) throw fault(key + " takes x and y");
            int16_t* pos = key == "body_pos" ? item.body_pos : item.body_pos_7;
            pos[0] = int16_t(number(line.words[1], -32768, 32767));
            pos[1] = int16_t(number(line.words[2], -32768, 32767));
            return;
        }
        if (key == "pictures") {
            if (args != 3) throw fault("pictures takes the floor, male body and female body files");
            item.picture = uint16_t(picture_number({line.words[1], line.words[2], line.words[3]}));
            return;
        }
        if (key == "flight") {
            if (args != 16) throw fault("flight takes 16 files: 4 views of 4 phases");
            for (int i = 0; i < 16; ++i)
                item.flight_pictures[i] = int16_t(flight_number(line.words[size_t(i) + 1]));
            return;
        }
        if (key == "sound") {
            if (args != 1) throw fault("sound takes one file");
            item.sound = int16_t(sound_number(line.words[1]));
            return;
        }
        if (key == "attack_animation") {
            // attack_anim: bytes 0 and 1 unused, 2 the animation, 3 how many times it plays.
            if (args != 1 && args != 2) throw fault("attack_animation takes a file and a repeat count");
            const int animation = animation_number(line.words[1]);
            const long repeats = args == 2 ? number(line.words[2], 1, 255) : 1;
            item.attack_anim[0] = item.attack_anim[1] = 0;
            item.attack_anim[2] = uint8_t(animation);
            item.attack_anim[3] = uint8_t(repeats);
            return;
        }
        for (const number_field& field : NUMBER_FIELDS) {
            if (key != field.keyword) continue;
            if (args != 1) throw fault(key + " takes one number");
            field.store(item, number(line.words[1], field.min, field.max));
            return;
        }
        throw fault("unknown keyword " + key);
    }

    void combination(const source_line& line) {
        line_ = line.number;
        const auto& w = line.words;
        // combine a b -> c [d]
        if ((w.size() != 5 && w.size() != 6) || w[3] != "->")
            throw fault("combine takes two items, '->' and one or two items");
        item_combination rule;
        rule.first = item_number_by_name(out_, w[1], source_, line_);
        rule.second = item_number_by_name(out_, w[2], source_, line_);
        rule.result_first = item_number_by_name(out_, w[4], source_, line_);
        if (w.size() == 6) rule.result_second = item_number_by_name(out_, w[5], source_, line_);
        out_.combinations.push_back(rule);
    }

    template <size_t N>
    long named_or_number(const source_line& line, const std::array<const char*, N>& names) {
        if (line.words.size() != 2) throw fault(line.words[0] + " takes one word");
        const std::string& word = line.words[1];
        if (auto index = index_of(names, word)) return *index;
        if (word.empty() || (word[0] != '-' && (word[0] < '0' || word[0] > '9')))
            throw fault("unknown " + line.words[0] + " " + word);
        return number(word, 0, long(N) - 1);
    }

    int stat_index(const std::string& word) {
        for (int i = 0; i < STAT_CLAMPED_COUNT; ++i)
            if (word == stat_name(i)) return i;
        throw fault("unknown statistic " + word);
    }

    // The three body sets share one picture number: the files take the same
    // entry of sets 1..3; the same three files share their entry.
    int picture_number(const std::array<std::string, 3>& files) {
        auto& sets = out_.file.picture_sets;
        for (size_t i = 0; i < sets[0].size(); ++i)
            if (sets[0][i] == files[0] && sets[1][i] == files[1] && sets[2][i] == files[2]) return int(i);
        for (int s = 0; s < 3; ++s) sets[s].push_back(files[s]);
        return int(sets[0].size() - 1);
    }

    // Flight picture 0 means the item's own picture: the set's first entry is kept empty.
    int flight_number(const std::string& file) { return numbered_entry(out_.file.picture_sets[3], file); }

    // Sound 0 means none: the list's first entry is kept empty.
    int sound_number(const std::string& file) { return numbered_entry(out_.file.sounds, file); }

    // The record keeps the animation in one byte; 0 stays empty, so that a
    // weapon without one never names a file.
    int animation_number(const std::string& file) {
        const int n = numbered_entry(out_.file.animations, file);
        if (n > 255) throw fault("more than 255 attack animations");
        return n;
    }

    // The entry of a file in a list whose entry 0 stands for none.
    int numbered_entry(std::vector<std::string>& list, const std::string& file) {
        if (list.empty()) list.emplace_back();
        for (size_t i = 1; i < list.size(); ++i)
            if (list[i] == file) return int(i);
        if (list.size() > 32767) throw fault("too many files in one list");
        list.push_back(file);
        return int(list.size() - 1);
    }

    std::string game_text(const std::string& utf8) {
        size_t bad = 0;
        auto text = utf8_to_game_codepage(utf8, &bad);
        if (!text) throw fault("a character of '" + utf8 + "' has no place in the game's code page");
        if (text->size() > MAX_ITEM_TEXT)
            throw fault("'" + utf8 + "' is longer than " + std::to_string(MAX_ITEM_TEXT) + " characters");
        return *text;
    }

    static void set_text(char (&field)[32], const std::string& text) {
        std::memset(field, 0, sizeof field);
        std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
    }

    long number(const std::string& word, long min, long max) {
        return source_number(word, min, max, source_, line_);
    }
    std::runtime_error fault(const std::string& what) const { return source_error(source_, line_, what); }

    std::string source_;
    int line_ = 0;
    std::vector<std::string> descriptions_;
    compiled_items out_;
};

}  // namespace

compiled_items compile_item_source(std::string_view utf8_source, std::string_view source_name) {
    return item_compiler(source_name).compile(utf8_source);
}

int item_number_by_name(const compiled_items& items, std::string_view name, std::string_view source_name,
                        int line) {
    auto found = items.numbers.find(std::string(name));
    if (found == items.numbers.end())
        throw source_error(source_name, line, "unknown item " + std::string(name));
    return found->second;
}

std::string items_csv_text(const compiled_items& items) {
    std::string out = "id,string\n";
    for (size_t k = 0; k < items.texts.size(); ++k)
        out += csv_record_line(static_cast<long long>(k), items.texts[k]);
    return out;
}

std::string combitem_text(const compiled_items& items) {
    std::string out;
    for (const item_combination& rule : items.combinations) {
        out += std::to_string(rule.first - 1) + " " + std::to_string(rule.second - 1) + " -> " +
               std::to_string(rule.result_first - 1);
        if (rule.result_second > 0) out += " " + std::to_string(rule.result_second - 1);
        out += " ;\r\n";
    }
    return out;
}

}  // namespace forge
