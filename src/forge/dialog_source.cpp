#include "forge/dialog_source.h"
#include "forge/quoted_text.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>

#include "base/strings.h"
#include "forge/dialog_source_table.h"
#include "forge/item_source.h"
#include "forge/item_source_lines.h"
#include "forge/spell_source_table.h"
#include "rules/party_record.h"
#include "story/dialog_format.h"

namespace forge {

namespace {

constexpr int FIRST_STORY_FLAG = 16;  // flags 0..15 belong to the speaking monster
constexpr int LAST_PARAGRAPH = 0x7FFF;

struct token {
    std::string text;    // a quoted token: its text in the game code page
    std::string source;  // a quoted token: what stood between the quotes
    bool quoted = false;
};

struct statement {
    const std::string* file = nullptr;
    int line = 0;
    std::vector<token> tokens;
};

struct paragraph_info {
    std::string name;
    int dialog = 0;  // the dialog's number
    int number = 0;  // absolute
    int redirect = -1;
    bool entry = false;
};

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool looks_numeric(const std::string& word) {
    size_t i = (!word.empty() && (word[0] == '-' || word[0] == '+')) ? 1 : 0;
    return i < word.size() && word[i] >= '0' && word[i] <= '9';
}

class dialog_compiler {
  public:
    explicit dialog_compiler(const dialog_references& refs) : refs_(refs) {}

    void read(const dialog_source_file& source) {
        names_.push_back(std::make_unique<std::string>(source.name));
        const std::string* file = names_.back().get();
        std::string_view text = source.text;
        int number = 0;
        while (!text.empty() || number == 0) {
            size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
            file_ = file;
            line_ = ++number;
            statement s{file, line_, tokenize(line)};
            if (!s.tokens.empty()) statements_.push_back(std::move(s));
            if (text.empty()) break;
        }
    }

    compiled_dialogs compile() {
        declare();
        for (const statement& s : statements_) generate(s);
        return assemble();
    }

  private:
    // ---- reading ----

    std::vector<token> tokenize(std::string_view line) {
        std::vector<token> out;
        size_t pos = 0;
        while (pos < line.size()) {
            if (is_blank(line[pos])) {
                ++pos;
                continue;
            }
            if (line[pos] == '#') break;
            token t;
            if (line[pos] == '"') {
                t.quoted = true;
                quoted_text(line, pos, t);
            } else {
                size_t start = pos;
                while (pos < line.size() && !is_blank(line[pos]) && line[pos] != '#' && line[pos] != '"')
                    ++pos;
                t.text = std::string(line.substr(start, pos - start));
            }
            out.push_back(std::move(t));
        }
        return out;
    }

    // The text from line[pos] (its opening quote), pos left after the closing
    // one; the token keeps the source between the quotes as well.
    void quoted_text(std::string_view line, size_t& pos, token& t) {
        const size_t start = pos + 1;
        std::string error;
        t.text += read_quoted_text(line, pos, error);
        if (!error.empty()) throw fault(error);
        t.source = std::string(line.substr(start, pos - 1 - start));
    }

    // ---- first pass: dialogs, paragraphs and flags by name ----

    void declare() {
        int dialog = -1, next = 0;
        std::set<int> dialog_numbers;
        for (const statement& s : statements_) {
            at(s);
            const std::string& key = s.tokens[0].text;
            if (s.tokens[0].quoted) throw fault("a line begins with a text");
            if (key == "flag") {
                declare_flag(s);
            } else if (key == "dialog") {
                if (s.tokens.size() < 2 || s.tokens.size() > 3)
                    throw fault("dialog takes a name and a number");
                const std::string& name = word(s, 1);
                if (auto known = dialogs_.find(name); known != dialogs_.end()) {
                    // Reopened: its paragraphs go on where they were left.
                    if (s.tokens.size() == 3 && number(s.tokens[2], 0, 65535) != known->second)
                        throw fault("dialog " + name + " is defined twice with different numbers");
                    dialog = known->second;
                    next = next_in_dialog_[dialog];
                    first_in_dialog_ = false;
                    continue;
                }
                if (dialog >= 0) next_in_dialog_[dialog] = next;
                int n = 0;
                if (s.tokens.size() == 3) {
                    n = int(number(s.tokens[2], 0, LAST_PARAGRAPH / DIALOG_BLOCK));
                } else {
                    while (dialog_numbers.count(n)) ++n;
                }
                if (!dialog_numbers.insert(n).second)
                    throw fault("dialog number " + std::to_string(n) + " is taken");
                dialogs_[name] = n;
                dialog = n;
                next = 0;
                first_in_dialog_ = true;
            } else if (key == "paragraph") {
                if (dialog < 0) throw fault("a paragraph before the first dialog");
                declare_paragraph(s, dialog, next);
            }
        }
    }

    void declare_flag(const statement& s) {
        if (s.tokens.size() < 2 || s.tokens.size() > 3) throw fault("flag takes a name and maybe a number");
        const std::string& name = word(s, 1);
        if (flags_.count(name)) throw fault("flag " + name + " is declared twice");
        int n = FIRST_STORY_FLAG;
        if (s.tokens.size() == 3) {
            n = int(number(s.tokens[2], 0, DIALOG_FLAG_BITS - 1));
        } else {
            while (flag_numbers_.count(n)) ++n;
            if (n >= DIALOG_FLAG_BITS) throw fault("no story flag is left for " + name);
        }
        if (flag_numbers_.count(n)) throw fault("flag " + std::to_string(n) + " is declared twice");
        flag_numbers_.insert(n);
        flags_[name] = n;
    }

    void declare_paragraph(const statement& s, int dialog, int& next) {
        if (s.tokens.size() < 2) throw fault("paragraph takes a name");
        paragraph_info p;
        p.name = word(s, 1);
        p.dialog = dialog;
        p.entry = first_in_dialog_;
        first_in_dialog_ = false;
        int relative = next;
        for (size_t i = 2; i < s.tokens.size(); ++i) {
            const token& t = s.tokens[i];
            if (!t.quoted && t.text == "entry")
                p.entry = true;
            else if (!t.quoted && t.text == "plain")
                p.entry = false;
            else
                relative = int(number(t, 0, DIALOG_BLOCK - 1));
        }
        p.number = dialog * DIALOG_BLOCK + relative;
        if (p.number > LAST_PARAGRAPH)
            throw fault("paragraph number " + std::to_string(p.number) + " is too high");
        next = relative + 1;
        std::string key = qualified(dialog, p.name);
        if (paragraph_index_.count(key))
            throw fault("paragraph " + p.name + " is defined twice in its dialog");
        for (const paragraph_info& other : paragraphs_)
            if (other.number == p.number)
                throw fault("paragraph number " + std::to_string(relative) + " is taken by " + other.name);
        paragraph_index_[key] = paragraphs_.size();
        paragraphs_.push_back(p);
        offsets_.push_back(0);
    }

    std::string qualified(int dialog, const std::string& name) const {
        return std::to_string(dialog) + "." + name;
    }

    // ---- second pass: the code ----

    void generate(const statement& s) {
        at(s);
        const std::string& key = s.tokens[0].text;
        if (key == "flag") return;
        if (key == "dialog") {
            dialog_ = dialogs_.at(s.tokens[1].text);
            return;
        }
        if (key == "prelude") {
            prelude_ = true;
            return;
        }
        if (key == "header_unused") {
            if (s.tokens.size() != 2) throw fault("header_unused takes one number");
            header_unused_ = uint32_t(number(s.tokens[1], 0, 0xFFFFFFFFL));
            return;
        }
        if (key == "paragraph") {
            current_ = paragraph_index_.at(qualified(dialog_, s.tokens[1].text));
            offsets_[current_] = uint32_t(code_.size());
            if (paragraphs_[current_].entry) {
                emit_number(DOP_BASE);
                emit_number(uint16_t(dialog_ * DIALOG_BLOCK));
            }
            return;
        }
        if (current_ == SIZE_MAX && !prelude_) throw fault("'" + key + "' before the first paragraph");
        if (key == "redirect") {
            if (s.tokens.size() != 2) throw fault("redirect takes one paragraph");
            if (current_ == SIZE_MAX) throw fault("redirect before the first paragraph");
            paragraph_info& p = paragraphs_[current_];
            if (p.redirect >= 0) throw fault("a paragraph has one redirect");
            p.redirect = dialog_ * DIALOG_BLOCK + paragraph_operand(s.tokens[1]);
            if (p.redirect < 0 || p.redirect > LAST_PARAGRAPH)
                throw fault("the redirect leads outside 0..32767");
            return;
        }
        if (key == "bytes") {
            if (s.tokens.size() < 2) throw fault("bytes takes one or more numbers");
            for (size_t i = 1; i < s.tokens.size(); ++i)
                code_.push_back(uint8_t(number(s.tokens[i], 0, 255)));
            return;
        }
        const dialog_instruction* ins = dialog_instruction_by_name(key);
        if (ins == nullptr) throw fault("unknown statement or instruction " + key);
        emit_number(ins->opcode);
        size_t pos = 1;
        for (dialog_operand kind : ins->operands) {
            if (pos >= s.tokens.size())
                throw fault(key + " takes " + std::to_string(ins->operands.size()) + " operand(s)");
            operand(kind, s, pos);
        }
        if (pos != s.tokens.size()) throw fault("too much after " + key);
    }

    void operand(dialog_operand kind, const statement& s, size_t& pos) {
        const token& t = s.tokens[pos];
        if (kind == dialog_operand::text) return text_operand(s, pos);
        ++pos;
        if (!t.quoted && t.text.size() > 1 && t.text[0] == '$') {
            token index{t.text.substr(1), "", false};
            return emit_tagged(TAG_VARIABLE, uint16_t(number(index, 0, 65535)));
        }
        switch (kind) {
            case dialog_operand::paragraph:
                return emit_number(uint16_t(paragraph_operand(t)));
            case dialog_operand::flag:
                if (!t.quoted && !looks_numeric(t.text)) {
                    auto f = flags_.find(t.text);
                    if (f == flags_.end()) throw fault("unknown flag " + t.text);
                    return emit_number(uint16_t(f->second));
                }
                break;
            case dialog_operand::item:
                if (!t.quoted && !looks_numeric(t.text)) {
                    if (refs_.items == nullptr) throw fault("items by name need the item source");
                    return emit_number(uint16_t(item_number_by_name(*refs_.items, t.text, *file_, line_)));
                }
                break;
            case dialog_operand::rune:
                if (!t.quoted && !looks_numeric(t.text)) return emit_number(rune_number(t.text));
                break;
            case dialog_operand::compare:
                if (auto c = compare_by_symbol(t.text); c && !t.quoted) return emit_number(*c);
                break;
            case dialog_operand::stat:
                if (!t.quoted && !looks_numeric(t.text)) {
                    for (int i = 0; i < STAT_COUNT; ++i)
                        if (t.text == stat_name(i)) return emit_number(uint16_t(i));
                    throw fault("unknown statistic " + t.text);
                }
                break;
            case dialog_operand::character:
                if (!t.quoted && !looks_numeric(t.text)) {
                    for (size_t i = 0; i < refs_.characters.size(); ++i)
                        if (refs_.characters[i] == t.text) return emit_number(uint16_t(i));
                    throw fault("unknown character " + t.text);
                }
                break;
            default:
                break;
        }
        emit_number(uint16_t(number(t, -32768, 65535)));
    }

    // group:rune, the rune counted from 1 as the characters count it.
    uint16_t rune_number(const std::string& word) {
        size_t colon = word.find(':');
        if (colon == std::string::npos) throw fault("a rune is written group:rune, e.g. water:2");
        std::optional<int> group = element_by_name(word.substr(0, colon));
        if (!group) throw fault("unknown rune group " + word.substr(0, colon));
        token rune{word.substr(colon + 1), "", false};
        return uint16_t(*group * RUNE_GROUP_STRIDE + int(number(rune, 1, 8)) - 1);
    }

    // A paragraph by name (in this dialog, or dialog.name), or a number
    // relative to this dialog's base.
    int paragraph_operand(const token& t) {
        if (t.quoted) throw fault("a paragraph is named, not quoted");
        if (looks_numeric(t.text)) return int(number(t, -32768, 32767));
        int dialog = dialog_;
        std::string name = t.text;
        if (size_t dot = name.find('.'); dot != std::string::npos) {
            auto d = dialogs_.find(name.substr(0, dot));
            if (d == dialogs_.end()) throw fault("unknown dialog " + name.substr(0, dot));
            dialog = d->second;
            name = name.substr(dot + 1);
        }
        auto p = paragraph_index_.find(qualified(dialog, name));
        if (p == paragraph_index_.end()) throw fault("unknown paragraph " + t.text);
        return paragraphs_[p->second].number - dialog_ * DIALOG_BLOCK;
    }

    // Inline texts joined by '+', each maybe followed by '|' and its English
    // text; or @n, a text of the string tables.
    void text_operand(const statement& s, size_t& pos) {
        const token& first = s.tokens[pos];
        if (!first.quoted && first.text.size() > 1 && first.text[0] == '@') {
            ++pos;
            token n{first.text.substr(1), "", false};
            return emit_number(uint16_t(number(n, -32768, 32767)));
        }
        while (true) {
            const token& t = s.tokens[pos++];
            if (!t.quoted) throw fault("'" + t.text + "' is not a text in double quotes");
            if (std::string f = word_form_fault(t.source); !f.empty()) throw fault(f);
            if (t.text.find('\0') != std::string::npos) throw fault("a text may not hold a zero byte");
            code_.push_back(TAG_TEXT);
            uint32_t at = uint32_t(code_.size());
            code_.insert(code_.end(), t.text.begin(), t.text.end());
            code_.push_back(0);
            if (pos < s.tokens.size() && !s.tokens[pos].quoted && s.tokens[pos].text == "|") {
                if (pos + 1 >= s.tokens.size() || !s.tokens[pos + 1].quoted)
                    throw fault("'|' is followed by the English text in double quotes");
                const token& english = s.tokens[pos + 1];
                if (std::string f = word_form_fault(english.source); !f.empty())
                    throw fault(f + " (English)");
                translations_.push_back({at, english.text});
                pos += 2;
            }
            if (pos < s.tokens.size() && !s.tokens[pos].quoted && s.tokens[pos].text == "+") {
                if (++pos >= s.tokens.size()) throw fault("'+' is followed by another text");
                continue;
            }
            return;
        }
    }

    void emit_tagged(uint8_t tag, uint16_t value) {
        code_.push_back(tag);
        code_.push_back(uint8_t(value & 0xFF));
        code_.push_back(uint8_t(value >> 8));
    }
    void emit_number(uint16_t value) { emit_tagged(TAG_NUMBER, value); }

    compiled_dialogs assemble() {
        compiled_dialogs out;
        size_t code_start = DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * paragraphs_.size();
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) out.file.push_back(uint8_t(v >> (8 * i)));
        };
        u32(uint32_t(paragraphs_.size()));
        u32(header_unused_);
        // Paragraphs are laid out in source order, so the entries are ordered by offset.
        for (size_t i = 0; i < paragraphs_.size(); ++i) {
            const paragraph_info& p = paragraphs_[i];
            uint32_t redirect = uint32_t(p.redirect < 0 ? p.number : p.redirect);
            u32(uint32_t(p.number) | (redirect << PARAGRAPH_REDIRECT_SHIFT));
            u32(offsets_[i]);
        }
        out.file.insert(out.file.end(), code_.begin(), code_.end());
        for (const dialog_translation& t : translations_)
            out.english.push_back({uint32_t(code_start + t.offset), t.text});
        return out;
    }

    const std::string& word(const statement& s, size_t i) {
        if (s.tokens[i].quoted) throw fault("a name is written without quotes");
        return s.tokens[i].text;
    }

    // A decimal or 0x hexadecimal number within [min, max].
    long number(const token& t, long min, long max) {
        const std::string& w = t.text;
        if (t.quoted || !looks_numeric(w)) throw fault("'" + w + "' is not a number");
        errno = 0;
        char* end = nullptr;
        long value = std::strtol(w.c_str(), &end, 0);
        if (*end != '\0' || errno != 0) throw fault("'" + w + "' is not a number");
        if (value < min || value > max)
            throw fault(w + " lies outside " + std::to_string(min) + ".." + std::to_string(max));
        return value;
    }

    void at(const statement& s) {
        file_ = s.file;
        line_ = s.line;
    }
    std::runtime_error fault(const std::string& what) const { return source_error(*file_, line_, what); }

    const dialog_references& refs_;
    std::vector<std::unique_ptr<std::string>> names_;
    std::vector<statement> statements_;
    const std::string* file_ = nullptr;
    int line_ = 0;

    std::map<std::string, int> dialogs_;
    std::map<std::string, int> flags_;
    std::set<int> flag_numbers_;
    std::vector<paragraph_info> paragraphs_;
    std::map<std::string, size_t> paragraph_index_;
    bool first_in_dialog_ = false;
    std::map<int, int> next_in_dialog_;
    bool prelude_ = false;

    int dialog_ = 0;
    size_t current_ = SIZE_MAX;
    uint32_t header_unused_ = 0;
    std::vector<uint8_t> code_;
    std::vector<uint32_t> offsets_;
    std::vector<dialog_translation> translations_;  // offsets within the code area
};

}  // namespace

compiled_dialogs compile_dialog_sources(std::span<const dialog_source_file> sources,
                                        const dialog_references& references) {
    dialog_compiler compiler(references);
    for (const dialog_source_file& source : sources) compiler.read(source);
    return compiler.compile();
}

compiled_dialogs compile_dialog_source(std::string_view utf8_source, std::string_view source_name,
                                       const dialog_references& references) {
    dialog_source_file file{std::string(source_name), std::string(utf8_source)};
    return compile_dialog_sources(std::span<const dialog_source_file>(&file, 1), references);
}

std::string dialogs_csv_text(const compiled_dialogs& dialogs) {
    std::string out = "id,string\n";
    for (const dialog_translation& t : dialogs.english) out += csv_record_line(t.offset, t.text);
    return out;
}

std::vector<std::string> character_names_of_source(std::string_view utf8_source) {
    std::vector<std::string> names;
    for (const source_line& line : split_source_lines(utf8_source)) {
        if (line.words[0] == "character") {
            // "character <n>" skips to definition n; the skipped ones are nobody.
            long number = line.words.size() == 2 ? std::strtol(line.words[1].c_str(), nullptr, 10) : 0;
            names.resize(line.words.size() == 2 && number >= long(names.size()) && number < 256
                             ? size_t(number)
                             : names.size());
            names.emplace_back();
        } else if (line.words[0] == "name" && !names.empty())
            names.back() = line.rest;
    }
    return names;
}

}  // namespace forge
