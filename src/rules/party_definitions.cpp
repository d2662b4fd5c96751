#include "rules/party_definitions.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/fatal.h"
#include "core/handle_ids.h"
#include "core/handles.h"

namespace {

const char* const MISSING_PARAMETER =
    "Error in file POSTAVY.DAT. May be missing a parameter in some definition.";

constexpr int CODE_RUNES_FIRST = 64, CODE_RUNES_LAST = 68;
constexpr int CODE_NAME = 128, CODE_FEMALE = 129, CODE_FACE = 130, CODE_LEVEL = 131, CODE_EXPERIENCE = 132;
constexpr int CODE_BACKPACK = 133, CODE_CONTAINER = 134, CODE_WORN = 135, CODE_ARROWS = 136;
constexpr int LIST_END = -1;

struct line_reader {
    const char* text;
    size_t size;
    size_t pos = 0;
    int number = 0;  // of the line last read, from 1

    bool at_end() const { return pos >= size; }
    // The next line without its CR LF (or LF).
    std::string_view next() {
        size_t start = pos;
        while (pos < size && text[pos] != '\n') ++pos;
        size_t end = pos;
        if (pos < size) ++pos;
        if (end > start && text[end - 1] == '\r') --end;
        ++number;
        return {text + start, end - start};
    }
    bool next_is_empty() const { return pos < size && (text[pos] == '\r' || text[pos] == '\n'); }
};

struct parse_failure {
    int line;
    std::string text;
};

// A decimal number at the start of the line (leading blanks allowed, the
// rest of the line ignored).
bool parse_number(std::string_view line, long& value) {
    std::string copy(line);
    const char* start = copy.c_str();
    char* end = nullptr;
    errno = 0;
    value = std::strtol(start, &end, 10);
    return end != start && errno == 0;
}

class definition_parser {
  public:
    definition_parser(line_reader& lines, uint8_t* runes) : lines_(lines), runes_(runes) {}

    // Reads entries up to an empty line or the end of the data; false when
    // the definition holds no entry at all (an unused record).
    bool read(party_member& m) {
        m = party_member{};
        m.inventory_size = BACKPACK_MIN;
        int backpack_used = 0;
        bool any_entry = false;
        while (!lines_.at_end()) {
            if (lines_.next_is_empty()) {
                lines_.next();
                break;
            }
            any_entry = true;
            int code = int(value());
            if (code >= 0 && code < STAT_COUNT) {
                m.base_stats[code] = int16_t(value());
            } else if (code >= CODE_RUNES_FIRST && code <= CODE_RUNES_LAST) {
                for (long rune = value(); rune != LIST_END; rune = value())
                    if (rune >= 1 && rune <= 8) runes_[code - CODE_RUNES_FIRST] |= uint8_t(1u << (rune - 1));
            } else if (code == CODE_NAME) {
                std::string_view line = value_line();
                // The first character of the line is a separator; the name follows.
                if (line.size() < 2) fail(MISSING_PARAMETER);
                std::string_view name = line.substr(1, PARTY_NAME_MAX);
                std::fill(std::begin(m.name), std::end(m.name), 0);
                std::memcpy(m.name, name.data(), name.size());
            } else if (code == CODE_FEMALE) {
                m.female = uint8_t(value());
            } else if (code == CODE_FACE) {
                m.face = uint8_t(value());
            } else if (code == CODE_LEVEL) {
                m.level = int16_t(value());
            } else if (code == CODE_EXPERIENCE) {
                m.experience = int32_t(value());
            } else if (code == CODE_BACKPACK) {
                for (long item = value(); item != LIST_END; item = value()) {
                    if (backpack_used >= BACKPACK_MAX)
                        fail(message("holds more than " + std::to_string(BACKPACK_MAX) + " backpack items"));
                    m.inventory[backpack_used++] = item_number(item);
                }
            } else if (code == CODE_CONTAINER) {
                m.worn[0] = item_number(value());
                const item_def* bag = party_item(m.worn[0]);
                int extra = bag ? bag->extra_slots : 0;
                m.inventory_size = int16_t(std::clamp(BACKPACK_MIN + extra, BACKPACK_MIN, BACKPACK_MAX));
            } else if (code == CODE_WORN) {
                long slot = value();
                if (slot < 0 || slot >= WORN_SLOTS)
                    fail(message("names equipment slot " + std::to_string(slot) + ", outside 0..12"));
                m.worn[slot] = item_number(value());
            } else if (code == CODE_ARROWS) {
                m.arrows = int16_t(std::clamp<long>(value(), 0, MAX_ARROWS));
            }
            // Other codes are not ours: the line is skipped.
        }
        return any_entry;
    }

  private:
    std::string_view value_line() {
        if (lines_.at_end()) fail(MISSING_PARAMETER);
        return lines_.next();
    }
    long value() {
        long v = 0;
        if (!parse_number(value_line(), v)) fail(MISSING_PARAMETER);
        return v;
    }
    // Items are counted from 0 in the file.
    int16_t item_number(long index) {
        bool valid =
            index >= 0 && index < 32767 && (!party_item_table_installed() || party_item(int(index) + 1));
        if (!valid) fail(message("names item " + std::to_string(index) + ", which does not exist"));
        return int16_t(index + 1);
    }
    std::string message(const std::string& what) const {
        return "Error in file POSTAVY.DAT on line " + std::to_string(lines_.number) + ": the definition " +
               what + ".";
    }
    [[noreturn]] void fail(const std::string& text) { throw parse_failure{lines_.number, text}; }

    line_reader& lines_;
    uint8_t* runes_;
};

void finish_definition(party_member& m) {
    recompute_stats(m);
    m.hp = m.stats[STAT_HP_MAX];
    m.vp = m.stats[STAT_VP_MAX];
    m.mp = m.stats[STAT_MP_MAX];
    m.used = 1;
    m.group = 1;
    m.food = food_capacity(m);
    m.water = water_capacity(m);
    m.free_points = 0;
    m.mp_cap = 32767;
}

}  // namespace

definitions_result parse_character_definitions(const char* text, size_t size, party_member* definitions,
                                               uint8_t* runes) {
    definitions_result result;
    line_reader lines{text ? text : "", text ? size : 0};
    definition_parser parser(lines, runes);
    try {
        while (result.count < CHARACTER_DEFINITIONS && !lines.at_end()) {
            party_member m;
            // An empty definition keeps its number but is nobody: a new game
            // leaves its slot free and nobody joins from it.
            if (parser.read(m)) finish_definition(m);
            definitions[result.count++] = m;
        }
    } catch (const parse_failure& failure) {
        result.line = failure.line;
        result.error = failure.text;
    }
    return result;
}

void load_character_definitions() {
    const void* data = get_handle_data(H_POSTAVY);
    int32_t length = handle_length(H_POSTAVY);
    if (data == nullptr || length < 0) fatal_error("%s", MISSING_PARAMETER);
    definitions_result result = parse_character_definitions(static_cast<const char*>(data), size_t(length),
                                                            character_definitions, party_state.runes);
    if (result.line != 0) fatal_error("%s", result.error.c_str());
}
