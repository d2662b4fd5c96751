#include "forge/spell_source.h"
#include "forge/quoted_text.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "base/strings.h"
#include "forge/item_source.h"
#include "forge/item_source_lines.h"
#include "forge/spell_source_table.h"
#include "rules/party_record.h"
#include "rules/spell_record.h"

namespace forge {

namespace {

// Names are cut to this by the language tables: the record keeps no more either.
constexpr size_t MAX_SPELL_NAME = 27;

struct token {
    std::string text;  // a quoted token holds its text in the game code page
    bool quoted = false;
};

struct spell_line {
    int number = 0;
    std::vector<token> tokens;
    std::string rest;  // the UTF-8 text after the first word, comment removed, trimmed
};

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

class spell_compiler {
  public:
    explicit spell_compiler(const compiled_items* items) : items_(items) {}

    void compile(const spell_source_file& source) {
        source_ = source.name;
        current_ = -1;
        std::string_view text = source.text;
        int number = 0;
        while (!text.empty()) {
            size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
            line_ = ++number;
            spell_line parsed = tokenize(line);
            if (!parsed.tokens.empty()) statement(parsed);
        }
        finish_spell();
    }

    compiled_spells result() const {
        compiled_spells out;
        out.names.resize(SPELL_COUNT);
        out.file.resize(SPELL_COUNT * SPELL_RECORD_SIZE);
        for (int i = 0; i < SPELL_COUNT; ++i) {
            spell_def def = defs_[size_t(i)];
            if (defined_[size_t(i)]) {
                def.code = int32_t(out.file.size());
                out.file.insert(out.file.end(), code_[size_t(i)].begin(), code_[size_t(i)].end());
                out.names[size_t(i)] = def.spell_name;
            }
            write_spell_record(def, out.file.data() + size_t(i) * SPELL_RECORD_SIZE, spell_layout::file);
        }
        return out;
    }

  private:
    spell_line tokenize(std::string_view line) {
        spell_line out;
        out.number = line_;
        size_t pos = 0, first_end = std::string_view::npos, content_end = line.size();
        while (pos < line.size()) {
            if (is_blank(line[pos])) {
                ++pos;
                continue;
            }
            if (line[pos] == '#') {
                content_end = pos;
                break;
            }
            token t;
            if (line[pos] == '"') {
                t.quoted = true;
                t.text = quoted_text(line, pos);
            } else {
                size_t start = pos;
                while (pos < line.size() && !is_blank(line[pos]) && line[pos] != '#' && line[pos] != '"')
                    ++pos;
                t.text = std::string(line.substr(start, pos - start));
            }
            out.tokens.push_back(std::move(t));
            if (out.tokens.size() == 1) first_end = pos;
        }
        if (first_end != std::string_view::npos && first_end < content_end)
            out.rest = trimmed(line.substr(first_end, content_end - first_end));
        return out;
    }

    // The quoted text from line[pos] (the opening quote), pos left after the
    // closing one.
    std::string quoted_text(std::string_view line, size_t& pos) {
        std::string error;
        std::string text = read_quoted_text(line, pos, error);
        if (!error.empty()) throw fault(error);
        return text;
    }

    std::string game_text(const std::string& utf8) {
        auto text = utf8_to_game_codepage(utf8);
        if (!text) throw fault("a character of '" + utf8 + "' has no place in the game's code page");
        return *text;
    }

    void statement(const spell_line& line) {
        const std::string& key = line.tokens[0].text;
        if (line.tokens[0].quoted) throw fault("a line begins with a text");
        if (key == "spell") return begin_spell(line);
        if (current_ < 0) throw fault("'" + key + "' before the first spell");
        if (record_field(line)) return;
        instruction(line);
    }

    void begin_spell(const spell_line& line) {
        finish_spell();
        int n = spell_number_of(line, 1);
        if (defined_[size_t(n)])
            throw fault("spell " + std::to_string(n) + " is defined twice (first at " + where_[size_t(n)] +
                        ")");
        defined_[size_t(n)] = true;
        where_[size_t(n)] = source_ + ":" + std::to_string(line_);
        current_ = n;
        start_line_ = line_;
        has_stop_ = false;
    }

    void finish_spell() {
        if (current_ < 0) return;
        if (code_[size_t(current_)].empty())
            throw fault_at(start_line_, "spell " + std::to_string(current_) + " has no code");
        if (!has_stop_)
            throw fault_at(start_line_, "the code of spell " + std::to_string(current_) + " has no 'end'");
        current_ = -1;
    }

    // A spell by number (0..104) or by rune group, rune and variant, from token `from`.
    int spell_number_of(const spell_line& line, size_t from) {
        size_t args = line.tokens.size() - from;
        if (args == 1) return int(number(line.tokens[from], 0, SPELL_COUNT - 1));
        if (args == 3) {
            const token& g = line.tokens[from];
            std::optional<int> group = element_by_name(g.text);
            int group_number = group ? *group : int(number(g, 0, RUNE_GROUP_COUNT - 1));
            int rune = int(number(line.tokens[from + 1], 0, RUNES_PER_GROUP - 1));
            int variant = int(number(line.tokens[from + 2], 0, SPELL_VARIANTS - 1));
            return spell_number(group_number, rune, variant);
        }
        throw fault(line.tokens[0].text + " takes a spell number or a rune group, rune and variant");
    }

    bool record_field(const spell_line& line) {
        spell_def& d = defs_[size_t(current_)];
        const std::string& key = line.tokens[0].text;
        size_t args = line.tokens.size() - 1;
        auto one = [&]() -> const token& {
            if (args != 1) throw fault(key + " takes one value");
            return line.tokens[1];
        };
        if (key == "name") {
            std::string text;
            if (args == 1 && line.tokens[1].quoted)
                text = line.tokens[1].text;
            else if (args == 0)
                throw fault("name needs a text");
            else
                text = game_text(line.rest);
            if (text.size() > MAX_SPELL_NAME)
                throw fault("the name is longer than " + std::to_string(MAX_SPELL_NAME) + " characters");
            std::memset(d.spell_name, 0, sizeof d.spell_name);
            std::memcpy(d.spell_name, text.data(), text.size());
        } else if (key == "power") {
            d.power = uint16_t(number(one(), 0, 65535));
        } else if (key == "cost") {
            d.cost = uint16_t(number(one(), 0, 65535));
        } else if (key == "element") {
            auto e = element_by_name(one().text);
            d.element = uint16_t(e ? *e : number(one(), 0, 65535));
        } else if (key == "group") {
            d.group = int16_t(number(one(), -32768, 32767));
        } else if (key == "target") {
            auto t = target_by_name(one().text);
            d.target_kind = int16_t(t ? *t : number(one(), -32768, 32767));
        } else if (key == "resistible") {
            if (args > 1) throw fault("resistible takes at most one number");
            d.resistible = uint8_t(args == 0 ? 1 : number(line.tokens[1], 0, 255));
        } else if (key == "monster_cast" || key == "choose_place") {
            if (args != 0) throw fault(key + " takes nothing");
            d.spell_flags |= key == "monster_cast" ? SPF_MONSTER_CAST : SPF_CHOOSE_PLACE;
        } else if (key == "spell_flags") {
            d.spell_flags |= uint8_t(number(one(), 0, 255));
        } else if (key == "backfire") {
            // Any number may stand in the record; the runes' form names one of 0..104.
            d.backfire = uint16_t(args == 1 ? number(line.tokens[1], 0, 65535) : spell_number_of(line, 1));
        } else {
            return false;
        }
        return true;
    }

    void instruction(const spell_line& line) {
        const std::string& key = line.tokens[0].text;
        std::vector<uint8_t>& code = code_[size_t(current_)];
        size_t args = line.tokens.size() - 1;
        if (key == "bytes") {
            if (args == 0) throw fault("bytes takes one or more numbers");
            for (size_t i = 1; i <= args; ++i) code.push_back(uint8_t(number(line.tokens[i], 0, 255)));
            has_stop_ = true;  // raw code: the author answers for where it stops
            return;
        }
        if (key == "heal") {
            // heal low high: damage -high -low, whose negative rolls heal.
            if (args != 2) throw fault("heal takes the least and the most healed");
            long low = number(line.tokens[1], 1, 32768), high = number(line.tokens[2], 1, 32768);
            if (low > high) throw fault("heal takes the least amount first");
            emit_u16(OP_HIT_A, uint16_t(-high));
            emit_u16(OP_HIT_B, uint16_t(-low));
            return;
        }
        if (const spell_pair* pair = pair_by_mnemonic(key)) {
            if (args != 2) throw fault(key + " takes two values");
            operand(*instruction_by_opcode(pair->first), {line.tokens[1]});
            operand(*instruction_by_opcode(pair->second), {line.tokens[2]});
            return;
        }
        const spell_instruction* ins = instruction_by_mnemonic(key);
        if (ins == nullptr) throw fault("unknown keyword or instruction " + key);
        operand(*ins, std::vector<token>(line.tokens.begin() + 1, line.tokens.end()));
        if (ins->opcode == OP_END) has_stop_ = true;
    }

    void operand(const spell_instruction& ins, const std::vector<token>& args) {
        std::vector<uint8_t>& code = code_[size_t(current_)];
        std::string name = ins.mnemonic;
        if (ins.operand == spell_operand::none) {
            if (!args.empty()) throw fault(name + " takes nothing");
            code.push_back(ins.opcode);
            return;
        }
        if (ins.operand == spell_operand::flags) {
            if (args.empty()) throw fault(name + " takes state flag names or a number");
            uint16_t flags = 0;
            for (const token& t : args) {
                auto bit = state_flag_by_name(t.text);
                flags = uint16_t(flags | (bit && !t.quoted ? *bit : number(t, 0, 65535)));
            }
            return emit_u16(ins.opcode, flags);
        }
        if (args.size() != 1) throw fault(name + " takes one value");
        const token& t = args[0];
        switch (ins.operand) {
            case spell_operand::string: {
                if (!t.quoted) throw fault(name + " takes a text in double quotes");
                if (t.text.find('\0') != std::string::npos) throw fault("a text may not hold a zero byte");
                code.push_back(ins.opcode);
                code.insert(code.end(), t.text.begin(), t.text.end());
                code.push_back(0);
                return;
            }
            case spell_operand::signed16:
                return emit_u16(ins.opcode, uint16_t(number(t, -32768, 65535)));
            case spell_operand::unsigned16:
                return emit_u16(ins.opcode, uint16_t(number(t, 0, 65535)));
            case spell_operand::stat: {
                for (int i = 0; i < STAT_COUNT; ++i)
                    if (t.text == stat_name(i)) return emit_u16(ins.opcode, uint16_t(i));
                if (!is_number(t.text)) throw fault("unknown statistic " + t.text);
                return emit_u16(ins.opcode, uint16_t(number(t, 0, 65535)));
            }
            case spell_operand::special: {
                if (auto k = special_by_name(t.text)) return emit_u16(ins.opcode, uint16_t(*k));
                if (!is_number(t.text)) throw fault("unknown special effect " + t.text);
                return emit_u16(ins.opcode, uint16_t(number(t, 0, 65535)));
            }
            case spell_operand::item: {
                if (is_number(t.text)) return emit_u16(ins.opcode, uint16_t(number(t, 0, 65535)));
                if (items_ == nullptr)
                    throw fault(name + " takes an item's place from 0 (names need the item source)");
                // Items are numbered from 1 in the sources; the code counts from 0.
                return emit_u16(ins.opcode,
                                uint16_t(item_number_by_name(*items_, t.text, source_, line_) - 1));
            }
            default:
                throw fault("unhandled operand of " + name);
        }
    }

    void emit_u16(uint8_t opcode, uint16_t value) {
        std::vector<uint8_t>& code = code_[size_t(current_)];
        code.push_back(opcode);
        code.push_back(uint8_t(value & 0xff));
        code.push_back(uint8_t(value >> 8));
    }

    static bool is_number(const std::string& word) {
        size_t i = (!word.empty() && (word[0] == '-' || word[0] == '+')) ? 1 : 0;
        return i < word.size() && word[i] >= '0' && word[i] <= '9';
    }

    // A decimal or 0x hexadecimal number within [min, max].
    long number(const token& t, long min, long max) {
        const std::string& word = t.text;
        if (t.quoted || !is_number(word)) throw fault("'" + word + "' is not a number");
        errno = 0;
        char* end = nullptr;
        long value = std::strtol(word.c_str(), &end, 0);
        if (*end != '\0' || errno != 0) throw fault("'" + word + "' is not a number");
        if (value < min || value > max)
            throw fault(word + " lies outside " + std::to_string(min) + ".." + std::to_string(max));
        return value;
    }

    std::runtime_error fault(const std::string& what) const { return source_error(source_, line_, what); }
    std::runtime_error fault_at(int line, const std::string& what) const {
        return source_error(source_, line, what);
    }

    const compiled_items* items_;
    std::string source_;
    int line_ = 0;
    int current_ = -1;
    int start_line_ = 0;
    bool has_stop_ = false;
    std::array<spell_def, SPELL_COUNT> defs_{};
    std::array<std::vector<uint8_t>, SPELL_COUNT> code_{};
    std::array<bool, SPELL_COUNT> defined_{};
    std::array<std::string, SPELL_COUNT> where_{};
};

}  // namespace

compiled_spells compile_spell_sources(std::span<const spell_source_file> sources,
                                      const compiled_items* items) {
    spell_compiler compiler(items);
    for (const spell_source_file& source : sources) compiler.compile(source);
    return compiler.result();
}

compiled_spells compile_spell_source(std::string_view utf8_source, std::string_view source_name,
                                     const compiled_items* items) {
    spell_source_file file{std::string(source_name), std::string(utf8_source)};
    return compile_spell_sources(std::span<const spell_source_file>(&file, 1), items);
}

std::string spells_csv_text(const compiled_spells& spells) {
    std::string out = "id,string\n";
    for (size_t i = 0; i < spells.names.size(); ++i)
        if (!spells.names[i].empty()) out += csv_record_line(static_cast<long long>(i), spells.names[i]);
    return out;
}

}  // namespace forge
