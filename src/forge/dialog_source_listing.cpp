// The listing: any dialogy.dat printed back as dialog source.
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>

#include "base/strings.h"
#include "forge/dialog_source.h"
#include "forge/dialog_source_table.h"
#include "rules/party_record.h"
#include "story/dialog_format.h"

namespace forge {

namespace {

constexpr size_t BYTES_PER_LINE = 16;

struct entry {
    int number = 0;
    int redirect = 0;
    bool marked = false;  // visited bits stored in the file
    uint32_t offset = 0;
};

uint32_t u32_at(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

std::string hex_byte(uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", b);
    return text;
}

// A game text in double quotes; bytes the source cannot hold as they are
// become \xNN, and so do the brackets of a text whose word forms would not
// compile.
std::string quoted(std::string_view game_text) {
    auto build = [&](bool escape_brackets) {
        std::string out;
        for (char c : game_text) {
            uint8_t b = uint8_t(c);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
                continue;
            }
            if (escape_brackets && c == '[') {
                out += hex_byte(b);
                continue;
            }
            std::string utf8 = game_codepage_to_utf8(std::string_view(&c, 1));
            if (b < 0x20 || b == 0x7f || utf8 == "\xEF\xBF\xBD")
                out += hex_byte(b);
            else
                out += utf8;
        }
        return out;
    };
    std::string body = build(false);
    if (!word_form_fault(body).empty()) body = build(true);
    return "\"" + body + "\"";
}

std::string paragraph_name(int number) {
    return "p" + std::to_string(number % DIALOG_BLOCK);
}
std::string dialog_name(int dialog) {
    return "d" + std::to_string(dialog);
}

class dialog_lister {
  public:
    explicit dialog_lister(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::string list() {
        if (bytes_.size() < DIALOG_HEADER_SIZE)
            throw std::runtime_error("the file is shorter than its header");
        uint32_t count = u32_at(bytes_, 0);
        if (count > (bytes_.size() - DIALOG_HEADER_SIZE) / DIALOG_ENTRY_SIZE)
            throw std::runtime_error("the paragraph table runs past the end of the file");
        code_start_ = DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * size_t(count);
        code_size_ = bytes_.size() - code_start_;
        if (uint32_t unused = u32_at(bytes_, 4); unused != 0)
            out_ += "header_unused " + std::to_string(unused) + "\n";
        bool ordered = true;
        for (uint32_t i = 0; i < count; ++i) {
            size_t at = DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * i;
            uint32_t word = u32_at(bytes_, at);
            entry e;
            e.number = int(word & PARAGRAPH_NUMBER_MASK);
            e.redirect = int((word >> PARAGRAPH_REDIRECT_SHIFT) & PARAGRAPH_NUMBER_MASK);
            e.marked = (word & (PARAGRAPH_VISITED | PARAGRAPH_REENTERED)) != 0;
            e.offset = u32_at(bytes_, at + 4);
            if (!entries_.empty() && e.offset < entries_.back().offset) ordered = false;
            numbers_[e.number] = true;
            entries_.push_back(e);
        }
        if (!ordered) {
            out_ += "# the entries are not ordered by code offset: listed in offset order\n";
            std::stable_sort(entries_.begin(), entries_.end(),
                             [](const entry& a, const entry& b) { return a.offset < b.offset; });
        }
        size_t first = entries_.empty() ? code_size_ : std::min<size_t>(entries_.front().offset, code_size_);
        if (first > 0) {
            out_ += "prelude\n";
            code(0, first, 0);
        }
        int dialog = -1;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const entry& e = entries_[i];
            size_t begin = std::min<size_t>(e.offset, code_size_);
            size_t end =
                i + 1 < entries_.size() ? std::min<size_t>(entries_[i + 1].offset, code_size_) : code_size_;
            if (e.offset > code_size_) out_ += "# the next paragraph's code lies past the end of the file\n";
            end = std::max(begin, end);
            int d = e.number / DIALOG_BLOCK;
            if (d != dialog) {
                out_ += "\ndialog " + dialog_name(d) + " " + std::to_string(d) + "\n";
                dialog = d;
            }
            bool is_entry = begins_with_base(begin, end, d);
            out_ += "\nparagraph " + paragraph_name(e.number) + " " +
                    std::to_string(e.number % DIALOG_BLOCK) + (is_entry ? " entry" : " plain") + "\n";
            if (e.marked) out_ += "  # marked visited in the file\n";
            if (e.redirect != e.number)
                out_ += "  redirect " + paragraph_operand(e.redirect - d * DIALOG_BLOCK, d) + "\n";
            code(is_entry ? begin + 6 : begin, end, d);
        }
        return out_;
    }

  private:
    const uint8_t* at(size_t offset) const { return bytes_.data() + code_start_ + offset; }

    bool begins_with_base(size_t begin, size_t end, int dialog) const {
        if (end - begin < 6) return false;
        const uint8_t* c = at(begin);
        uint16_t base = uint16_t(dialog * DIALOG_BLOCK);
        return c[0] == TAG_NUMBER && c[1] == (DOP_BASE & 0xFF) && c[2] == (DOP_BASE >> 8) &&
               c[3] == TAG_NUMBER && c[4] == (base & 0xFF) && c[5] == (base >> 8);
    }

    // The paragraph a relative number names, by name when it exists.
    std::string paragraph_operand(int relative, int dialog) const {
        int absolute = dialog * DIALOG_BLOCK + relative;
        auto known = numbers_.find(absolute);
        if (known == numbers_.end()) return std::to_string(relative);
        int d = absolute / DIALOG_BLOCK;
        return d == dialog ? paragraph_name(absolute) : dialog_name(d) + "." + paragraph_name(absolute);
    }

    void code(size_t pos, size_t end, int dialog) {
        std::vector<uint8_t> raw;
        auto flush = [&] {
            for (size_t i = 0; i < raw.size(); i += BYTES_PER_LINE) {
                out_ += "  bytes";
                for (size_t j = i; j < std::min(raw.size(), i + BYTES_PER_LINE); ++j)
                    out_ += " " + std::to_string(raw[j]);
                out_ += "\n";
            }
            raw.clear();
        };
        while (pos < end) {
            size_t next = pos;
            std::optional<std::string> line = instruction(next, end, dialog);
            if (!line) {
                raw.push_back(*at(pos));
                ++pos;
                continue;
            }
            flush();
            out_ += "  " + *line + "\n";
            pos = next;
        }
        flush();
    }

    // One tagged number at pos: its tag and value.
    bool tagged(size_t& pos, size_t end, uint8_t& tag, uint16_t& value) const {
        if (end - pos < 3) return false;
        const uint8_t* c = at(pos);
        tag = c[0];
        value = uint16_t(c[1] | c[2] << 8);
        pos += 3;
        return tag == TAG_NUMBER || tag == TAG_VARIABLE;
    }

    std::optional<std::string> instruction(size_t& pos, size_t end, int dialog) const {
        uint8_t tag = 0;
        uint16_t opcode = 0;
        if (!tagged(pos, end, tag, opcode) || tag != TAG_NUMBER) return std::nullopt;
        const dialog_instruction* ins = dialog_instruction_by_opcode(opcode);
        if (ins == nullptr) return std::nullopt;
        std::string line = ins->name;
        for (dialog_operand kind : ins->operands) {
            std::optional<std::string> text = operand(kind, pos, end, dialog);
            if (!text) return std::nullopt;
            line += " " + *text;
        }
        return line;
    }

    std::optional<std::string> operand(dialog_operand kind, size_t& pos, size_t end, int dialog) const {
        if (kind == dialog_operand::text) return text_operand(pos, end);
        uint8_t tag = 0;
        uint16_t value = 0;
        if (!tagged(pos, end, tag, value)) return std::nullopt;
        if (tag == TAG_VARIABLE) return "$" + std::to_string(value);
        int16_t signed_value = int16_t(value);
        switch (kind) {
            case dialog_operand::paragraph:
                return paragraph_operand(signed_value, dialog);
            case dialog_operand::compare:
                if (const char* symbol = compare_symbol(value)) return std::string(symbol);
                break;
            case dialog_operand::stat:
                if (value < STAT_COUNT) return std::string(stat_name(value));
                break;
            default:
                break;
        }
        return std::to_string(signed_value);
    }

    std::optional<std::string> text_operand(size_t& pos, size_t end) const {
        if (pos >= end) return std::nullopt;
        if (*at(pos) == TAG_NUMBER) {
            if (end - pos < 3) return std::nullopt;
            int16_t v = int16_t(at(pos)[1] | at(pos)[2] << 8);
            pos += 3;
            return "@" + std::to_string(v);
        }
        std::string out;
        while (pos < end && *at(pos) == TAG_TEXT) {
            size_t start = pos + 1, stop = start;
            while (stop < end && *at(stop) != 0) ++stop;
            if (stop >= end) break;  // no terminator in this paragraph: left to the raw bytes
            if (!out.empty()) out += " + ";
            out += quoted(std::string_view(reinterpret_cast<const char*>(at(start)), stop - start));
            pos = stop + 1;
        }
        if (out.empty()) return std::nullopt;
        return out;
    }

    std::span<const uint8_t> bytes_;
    size_t code_start_ = 0, code_size_ = 0;
    std::vector<entry> entries_;
    std::map<int, bool> numbers_;
    std::string out_;
};

}  // namespace

std::string list_dialog_file(std::span<const uint8_t> bytes) {
    return dialog_lister(bytes).list();
}

}  // namespace forge
