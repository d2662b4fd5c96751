// The listing: any spell file printed back as spell source.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "base/strings.h"
#include "forge/spell_source.h"
#include "forge/spell_source_table.h"
#include "rules/party_record.h"
#include "rules/spell_record.h"

namespace forge {

namespace {

constexpr size_t BYTES_PER_LINE = 16;

std::string hex_byte(uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", b);
    return text;
}

// A game text in double quotes: bytes the source could not hold as they
// are become \xNN.
std::string quoted(std::string_view game_text) {
    std::string out = "\"";
    for (char c : game_text) {
        uint8_t b = uint8_t(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
            continue;
        }
        std::string utf8 = game_codepage_to_utf8(std::string_view(&c, 1));
        if (b < 0x20 || b == 0x7f || utf8 == "\xEF\xBF\xBD")
            out += hex_byte(b);
        else
            out += utf8;
    }
    return out + "\"";
}

// A name as the rest of the line when it reads back the same, else quoted.
std::string name_text(std::string_view game_text) {
    std::string plain = game_codepage_to_utf8(game_text);
    bool safe = !game_text.empty() && game_text.front() != ' ' && game_text.back() != ' ' &&
                game_text.front() != '"' && plain.find('#') == std::string::npos &&
                utf8_to_game_codepage(plain) == std::string(game_text);
    for (char c : game_text)
        if (uint8_t(c) < 0x20 || uint8_t(c) == 0x7f) safe = false;
    return safe ? plain : quoted(game_text);
}

std::string spell_label(int n) {
    if (n < 0 || n >= SPELL_COUNT) return std::to_string(n);
    int group = n / (RUNES_PER_GROUP * SPELL_VARIANTS), rune = n / SPELL_VARIANTS % RUNES_PER_GROUP;
    return std::string(element_name(group)) + " " + std::to_string(rune) + " " +
           std::to_string(n % SPELL_VARIANTS);
}

std::string named_or_number(const char* name, long value) {
    return *name ? std::string(name) : std::to_string(value);
}

class spell_lister {
  public:
    spell_lister(const spell_book& book) : book_(book), bytes_(book.bytes) {}

    std::string list() {
        for (size_t i = 0; i < book_.spells.size(); ++i) {
            const spell_def& d = book_.spells[i];
            if (d.code <= 0) continue;
            if (!out_.empty()) out_ += "\n";
            record(int(i), d);
            code(size_t(d.code), region_end(size_t(d.code)));
        }
        return out_;
    }

  private:
    void record(int n, const spell_def& d) {
        out_ += "spell " + spell_label(n) + "    # " + std::to_string(n) + "\n";
        std::string name(d.spell_name, strnlen(d.spell_name, SPELL_NAME_SIZE));
        if (!name.empty()) line("name " + name_text(name));
        line("power " + std::to_string(d.power));
        line("cost " + std::to_string(d.cost));
        line("element " + named_or_number(d.element <= 4 ? element_name(d.element) : "", d.element));
        if (d.group != 0) line("group " + std::to_string(d.group));
        line("target " + named_or_number(target_name(d.target_kind), d.target_kind));
        if (d.resistible == 1) line("resistible");
        if (d.resistible > 1) line("resistible " + std::to_string(d.resistible));
        if (d.spell_flags & SPF_MONSTER_CAST) line("monster_cast");
        if (d.spell_flags & SPF_CHOOSE_PLACE) line("choose_place");
        if (uint8_t rest = d.spell_flags & ~(SPF_MONSTER_CAST | SPF_CHOOSE_PLACE))
            line("spell_flags " + std::to_string(rest));
        if (d.backfire != 0)
            line("backfire " +
                 (d.backfire < SPELL_COUNT ? spell_label(d.backfire) : std::to_string(d.backfire)));
    }

    // A spell's code runs until the next spell's code begins, or the file ends.
    size_t region_end(size_t start) const {
        size_t end = bytes_.size();
        for (const spell_def& d : book_.spells)
            if (d.code > 0 && size_t(d.code) > start) end = std::min(end, size_t(d.code));
        return end;
    }

    void code(size_t pos, size_t end) {
        // The language wants code to stop: code that would run off its end
        // is printed as it stands.
        if (!stops(pos, end)) {
            line("# the code runs on past its end without an end:");
            return raw(pos, end);
        }
        while (pos < end) {
            uint8_t opcode = bytes_[pos];
            const spell_instruction* ins = instruction_by_opcode(opcode);
            size_t size = ins ? instruction_size(*ins, pos, end) : 0;
            if (size == 0) {
                if (ins)
                    line("# " + std::string(ins->mnemonic) + " runs past the end of its code:");
                else
                    line("# " + std::to_string(opcode) + " is no instruction; the rest as it stands:");
                return raw(pos, end);
            }
            if (size_t pair_size = pair(pos, end)) {
                pos += pair_size;
                continue;
            }
            line(std::string(ins->mnemonic) + operand_text(*ins, pos));
            pos += size;
            if (opcode == OP_END) break;
        }
        if (pos < end) {
            line("# after the end:");
            raw(pos, end);
        }
    }

    // Whether the code reaches an end, or something printed as raw bytes.
    bool stops(size_t pos, size_t end) const {
        while (pos < end) {
            const spell_instruction* ins = instruction_by_opcode(bytes_[pos]);
            size_t size = ins ? instruction_size(*ins, pos, end) : 0;
            if (size == 0 || ins->opcode == OP_END) return true;
            pos += size;
        }
        return false;
    }

    // The instruction's length at pos, 0 when it runs past `end`.
    size_t instruction_size(const spell_instruction& ins, size_t pos, size_t end) const {
        switch (ins.operand) {
            case spell_operand::none:
                return 1;
            case spell_operand::string: {
                auto zero = std::find(bytes_.begin() + long(pos) + 1, bytes_.begin() + long(end), 0);
                return zero == bytes_.begin() + long(end) ? 0 : size_t(zero - bytes_.begin()) - pos + 1;
            }
            default:
                return pos + 3 <= end ? 3 : 0;
        }
    }

    // Two instructions that make a pair, printed as one line; their size, or 0.
    size_t pair(size_t pos, size_t end) {
        if (pos + 6 > end) return 0;
        const spell_pair* p = pair_by_opcodes(bytes_[pos], bytes_[pos + 3]);
        if (p == nullptr) return 0;
        const spell_instruction& first = *instruction_by_opcode(p->first);
        const spell_instruction& second = *instruction_by_opcode(p->second);
        int16_t a = int16_t(u16(pos + 1)), b = int16_t(u16(pos + 4));
        if (p->first == OP_HIT_A && a < 0 && b < 0 && a <= b)
            line("heal " + std::to_string(-int(b)) + " " + std::to_string(-int(a)));
        else
            line(std::string(p->mnemonic) + operand_text(first, pos) + operand_text(second, pos + 3));
        return 6;
    }

    std::string operand_text(const spell_instruction& ins, size_t pos) const {
        if (ins.operand == spell_operand::none) return "";
        if (ins.operand == spell_operand::string) {
            const char* text = reinterpret_cast<const char*>(bytes_.data() + pos + 1);
            return " " + quoted(std::string_view(text, strnlen(text, bytes_.size() - pos - 1)));
        }
        uint16_t v = u16(pos + 1);
        switch (ins.operand) {
            case spell_operand::signed16:
                return " " + std::to_string(int16_t(v));
            case spell_operand::flags:
                return " " + state_flag_names(v);
            case spell_operand::stat:
                return " " + named_or_number(v < STAT_COUNT ? stat_name(v) : "", v);
            case spell_operand::special:
                return " " + named_or_number(special_name(v), v);
            default:
                return " " + std::to_string(v);
        }
    }

    void raw(size_t pos, size_t end) {
        for (; pos < end; pos += BYTES_PER_LINE) {
            std::string text = "bytes";
            for (size_t i = pos; i < std::min(end, pos + BYTES_PER_LINE); ++i)
                text += " " + std::to_string(bytes_[i]);
            line(text);
        }
    }

    uint16_t u16(size_t pos) const { return uint16_t(bytes_[pos] | bytes_[pos + 1] << 8); }
    void line(const std::string& text) { out_ += "  " + text + "\n"; }

    const spell_book& book_;
    const std::vector<uint8_t>& bytes_;
    std::string out_;
};

}  // namespace

std::string list_spell_file(std::span<const uint8_t> bytes) {
    spell_book book;
    std::string error;
    if (!read_spell_file(bytes, book, &error)) throw std::runtime_error(error);
    return spell_lister(book).list();
}

}  // namespace forge
