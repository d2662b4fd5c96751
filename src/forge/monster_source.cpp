#include "forge/monster_source.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "base/strings.h"
#include "core/record_bytes.h"
#include "forge/item_source_lines.h"
#include "rules/party_record.h"

namespace forge {

namespace {

constexpr size_t MAX_NAME_BYTES = sizeof(monster::name) - 1;  // the terminating zero stays
constexpr size_t ANIM_NAME_LENGTH = 6;  // frame files put the kind and frame at positions 6 and 7
constexpr int ATTACK_KIND = 4;

const std::array<const char*, 8> STRATEGY_NAMES = {"walk",  "watch", "listen",  "big",
                                                   "guard", "pick",  "picking", "rogue"};
// Bit 7 (in use) is the game's own: placing a monster sets it.
const std::array<const char*, 7> STATE_NAMES = {"battle", "passable", "sens", "mob",
                                                "respwn", "cast",     "sndlp"};

struct flag_name {
    const char* name;
    uint16_t bit;
};
const flag_name FLAG_NAMES[] = {
    {"invisible", MF_INVISIBLE},
    {"eye_for_eye", MF_EYE_FOR_EYE},
    {"draining", MF_DRAINING},
    {"half_physical", MF_HALF_PHYSICAL},
    {"half_magical", MF_HALF_MAGICAL},
    {"never_pursues", MF_NEVER_PURSUES},
    {"knock_back", MF_KNOCK_BACK},
    {"panic", MF_PANIC},
    {"frozen", MF_FROZEN},
};

// What a definition's lines said beyond the record itself, checked when it ends.
struct definition_notes {
    int line = 0;
    bool has_speed = false;
    bool has_hp = false;
    bool has_hp_max = false;
    bool has_anim = false;
    bool has_frames = false;
    int hit_frame_line = 0;
    int loot = 0;
};

class monster_compiler {
  public:
    monster_compiler(std::string_view source_name, const compiled_items& items)
        : source_(source_name), items_(items) {}

    compiled_monsters compile(std::string_view text) {
        for (const source_line& line : split_source_lines(text)) {
            line_ = line.number;
            if (line.words[0] == "monster") {
                finish();
                begin(line);
            } else if (out_.definitions.empty()) {
                throw fault("'" + line.words[0] + "' before the first monster");
            } else {
                field(out_.definitions.back(), line);
            }
        }
        finish();
        return std::move(out_);
    }

  private:
    void begin(const source_line& line) {
        if (line.words.size() != 2) throw fault("monster takes one name");
        const std::string& name = line.words[1];
        bool plain = std::all_of(name.begin(), name.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        });
        if (!plain) throw fault("monster name " + name + " may hold only letters, digits and _");
        if (out_.numbers.count(name)) throw fault("monster " + name + " is named twice");
        if (int(out_.definitions.size()) >= MAX_MONSTER_DEFINITIONS) throw fault("too many monsters");
        monster& m = out_.definitions.emplace_back();
        m.anim_set = int16_t(out_.definitions.size());
        out_.numbers[name] = m.anim_set;
        set_name(m, game_text(name));
        notes_ = definition_notes{};
        notes_.line = line_;
    }

    // Checks that need the whole definition; faults name its `monster` line.
    void finish() {
        if (out_.definitions.empty()) return;
        monster& m = out_.definitions.back();
        int line = line_;
        line_ = notes_.line;
        if (!notes_.has_anim) throw fault("the monster has no anim");
        if (!notes_.has_frames) throw fault("the monster has no frames");
        if (!notes_.has_speed) throw fault("the monster has no speed: a monster that cannot move is refused");
        if (!notes_.has_hp_max) m.stats[STAT_HP_MAX] = m.hp;
        if (!notes_.has_hp) m.hp = m.stats[STAT_HP_MAX];
        if (m.stats[STAT_HP_MAX] < 1) throw fault("the monster has no hp");
        if (m.hp > m.stats[STAT_HP_MAX]) throw fault("hp is above hp_max");
        // A kind whose count is 0 takes kind 0's.
        int attack_frames = m.frame_count[ATTACK_KIND] ? m.frame_count[ATTACK_KIND] : m.frame_count[0];
        if (m.hit_frame > attack_frames) {
            line_ = notes_.hit_frame_line;
            throw fault("hit_frame " + std::to_string(m.hit_frame) + " lies beyond the attack's last frame " +
                        std::to_string(attack_frames));
        }
        line_ = line;
    }

    void field(monster& m, const source_line& line) {
        const std::string& key = line.words[0];
        size_t args = line.words.size() - 1;
        auto one_number = [&](long min, long max) {
            if (args != 1) throw fault(key + " takes one number");
            return number(line.words[1], min, max);
        };
        if (key == "name") {
            if (line.rest.empty()) throw fault("name needs a text");
            return set_name(m, game_text(line.rest));
        }
        if (key == "anim") return anim(m, line);
        if (key == "frames") {
            if (args != MONSTER_ANIM_KINDS) throw fault("frames takes six numbers");
            for (int k = 0; k < MONSTER_ANIM_KINDS; ++k)
                m.frame_count[k] = uint8_t(number(line.words[size_t(k) + 1], 0, MONSTER_KIND_FRAMES - 1));
            notes_.has_frames = true;
            return;
        }
        if (key == "frame_shift") return frame_shift(m, line);
        if (key == "hit_frame") {
            m.hit_frame = uint8_t(one_number(0, MONSTER_KIND_FRAMES - 1));
            notes_.hit_frame_line = line_;
            return;
        }
        if (key == "stat") {
            if (args != 2) throw fault("stat takes a statistic's name and a number");
            return statistic(m, line.words[1], line.words[2]);
        }
        if (key == "hp") {
            m.hp = int16_t(one_number(1, 32767));
            notes_.has_hp = true;
            return;
        }
        if (key == "speed") {
            m.speed = int16_t(one_number(1, 255));
            notes_.has_speed = true;
            return;
        }
        if (key == "sight") return void(m.sight = int16_t(one_number(0, 255)));
        if (key == "reach") return void(m.reach = int16_t(one_number(0, 255)));
        if (key == "morale") return void(m.morale = uint8_t(one_number(0, 100)));
        if (key == "strategy") return void(m.strategy = uint8_t(m.strategy | bits(line, STRATEGY_NAMES)));
        if (key == "state") return void(m.state = uint8_t(m.state | bits(line, STATE_NAMES)));
        if (key == "flags") return flags(m, line);
        if (key == "spell") return void(m.spell = int16_t(one_number(0, 32767)));
        if (key == "sounds") return sounds(m, line);
        if (key == "color_variant") return color_variant(m, line);
        if (key == "kill_experience") return void(m.kill_experience = uint16_t(one_number(0, 65535)));
        if (key == "experience") return void(m.experience = int32_t(one_number(0, 2147483647L)));
        if (key == "money") return void(m.money = uint16_t(one_number(0, 65535)));
        if (key == "script") return void(m.script = uint16_t(one_number(0, 65535)));
        if (key == "loot") return loot(m, line);
        if (args == 1)
            for (int s = 0; s < STAT_FLAGS; ++s)
                if (s != STAT_SPEED && key == stat_name(s)) return statistic(m, key, line.words[1]);
        throw fault("unknown keyword " + key);
    }

    void statistic(monster& m, const std::string& name, const std::string& value) {
        for (int s = 0; s < STAT_FLAGS; ++s) {
            if (name != stat_name(s)) continue;
            m.stats[s] = int16_t(number(value, stat_min(s), stat_max(s)));
            if (s == STAT_HP_MAX) notes_.has_hp_max = true;
            return;
        }
        throw fault("unknown statistic " + name + (name == "flags" ? " (flags are given by name)" : ""));
    }

    void anim(monster& m, const source_line& line) {
        if (line.words.size() != 2) throw fault("anim takes one name");
        const std::string& name = line.words[1];
        bool fits = name.size() == ANIM_NAME_LENGTH && std::all_of(name.begin(), name.end(), [](char c) {
                        return std::isupper(static_cast<unsigned char>(c)) ||
                               std::isdigit(static_cast<unsigned char>(c));
                    });
        if (!fits) throw fault("anim " + name + " is not six upper-case letters or digits");
        std::memset(m.anim_name, 0, sizeof m.anim_name);
        std::memcpy(m.anim_name, name.data(), ANIM_NAME_LENGTH);
        notes_.has_anim = true;
    }

    void frame_shift(monster& m, const source_line& line) {
        size_t args = line.words.size() - 1;
        if (args != 1 && args != MONSTER_ANIM_KINDS) throw fault("frame_shift takes one number or six");
        for (int k = 0; k < MONSTER_ANIM_KINDS; ++k) {
            auto shift = int16_t(number(line.words[args == 1 ? 1 : size_t(k) + 1], -32768, 32767));
            for (int f = 0; f < MONSTER_KIND_FRAMES; ++f) m.frame_shift[k * MONSTER_KIND_FRAMES + f] = shift;
        }
    }

    template <size_t N>
    unsigned bits(const source_line& line, const std::array<const char*, N>& names) {
        if (line.words.size() < 2) throw fault(line.words[0] + " takes one or more names");
        unsigned value = 0;
        for (size_t i = 1; i < line.words.size(); ++i) {
            auto found =
                std::find_if(names.begin(), names.end(), [&](const char* n) { return line.words[i] == n; });
            if (found == names.end()) throw fault("unknown " + line.words[0] + " " + line.words[i]);
            value |= 1u << (found - names.begin());
        }
        return value;
    }

    void flags(monster& m, const source_line& line) {
        if (line.words.size() < 2) throw fault("flags takes one or more names");
        for (size_t i = 1; i < line.words.size(); ++i) {
            auto found = std::find_if(std::begin(FLAG_NAMES), std::end(FLAG_NAMES),
                                      [&](const flag_name& f) { return line.words[i] == f.name; });
            if (found == std::end(FLAG_NAMES)) throw fault("unknown flag " + line.words[i]);
            m.stats[STAT_FLAGS] = int16_t(uint16_t(m.stats[STAT_FLAGS]) | found->bit);
        }
    }

    void sounds(monster& m, const source_line& line) {
        if (line.words.size() != MONSTER_SOUNDS + 1)
            throw fault("sounds takes four file names (- for none): walking, attacking, hurt, other");
        for (int i = 0; i < MONSTER_SOUNDS; ++i) {
            const std::string& file = line.words[size_t(i) + 1];
            m.sounds[i] = file == "-" ? 0 : sound_number(file);
        }
    }

    uint16_t sound_number(const std::string& file) {
        if (file.size() > 12) throw fault("sound file " + file + " is longer than 12 characters");
        auto& list = out_.sounds;
        auto found = std::find(list.begin(), list.end(), file);
        if (found != list.end()) return uint16_t(found - list.begin() + 1);
        if (list.size() >= 65535) throw fault("too many sounds");
        list.push_back(file);
        return uint16_t(list.size());
    }

    // "N" always variant N (stored as -N); "random N" one of the first N.
    void color_variant(monster& m, const source_line& line) {
        if (line.words.size() == 2) return void(m.color_variant = int8_t(-number(line.words[1], 0, 127)));
        if (line.words.size() == 3 && line.words[1] == "random")
            return void(m.color_variant = int8_t(number(line.words[2], 1, 127)));
        throw fault("color_variant is N or random N");
    }

    void loot(monster& m, const source_line& line) {
        if (line.words.size() < 2) throw fault("loot takes item names");
        for (size_t i = 1; i < line.words.size(); ++i) {
            if (notes_.loot >= MONSTER_CARRIED)
                throw fault("a monster carries at most " + std::to_string(MONSTER_CARRIED) + " items");
            m.carried[notes_.loot++] = int16_t(item_number_by_name(items_, line.words[i], source_, line_));
        }
    }

    static void set_name(monster& m, const std::string& text) {
        std::memset(m.name, 0, sizeof m.name);
        std::memcpy(m.name, text.data(), std::min(text.size(), MAX_NAME_BYTES));
    }

    std::string game_text(const std::string& utf8) {
        auto text = utf8_to_game_codepage(utf8);
        if (!text) throw fault("a character of '" + utf8 + "' has no place in the game's code page");
        if (text->size() > MAX_NAME_BYTES)
            throw fault("'" + utf8 + "' is longer than " + std::to_string(MAX_NAME_BYTES) + " characters");
        return *text;
    }

    long number(const std::string& word, long min, long max) {
        return source_number(word, min, max, source_, line_);
    }
    std::runtime_error fault(const std::string& what) const { return source_error(source_, line_, what); }

    std::string source_;
    const compiled_items& items_;
    int line_ = 0;
    definition_notes notes_;
    compiled_monsters out_;
};

}  // namespace

compiled_monsters compile_monster_source(std::string_view utf8_source, std::string_view source_name,
                                         const compiled_items& items) {
    return monster_compiler(source_name, items).compile(utf8_source);
}

std::vector<uint8_t> enemy_file_bytes(const compiled_monsters& monsters) {
    return write_monster_definitions(monsters.definitions);
}

std::vector<uint8_t> sound_list_bytes(const std::vector<std::string>& sounds) {
    std::vector<uint8_t> out(4);
    record_writer(out.data()).u32(uint32_t(sounds.size()));
    for (const std::string& name : sounds) {
        out.insert(out.end(), name.begin(), name.end());
        out.push_back(0);
    }
    return out;
}

}  // namespace forge
