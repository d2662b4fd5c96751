#include "forge/globmap_source.h"

#include <cctype>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/strings.h"
#include "forge/quoted_text.h"

namespace forge {

namespace {

constexpr size_t MAP_FILE_MAX = 12;
constexpr size_t TEXT_MAX = 127;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Characters that end a word or a value in globmap.dat.
bool script_delimiter(char c) {
    return c == ';' || c == ':' || c == '=' || c == ',' || c == '\n' || c == '\r' || c == '{' || c == '}' ||
           c == '`';
}

class compiler {
  public:
    compiler(std::string_view source, std::string_view name) : source_(source), name_(name) {}

    std::string run() {
        size_t start = 0;
        while (start <= source_.size()) {
            size_t end = source_.find('\n', start);
            if (end == std::string_view::npos) end = source_.size();
            ++line_;
            std::string_view text = source_.substr(start, end - start);
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            statement_line(text);
            start = end + 1;
        }
        if (open_blocks_ > 0) fail("a block opened by \"when ... {\" is not closed");
        return out_;
    }

  private:
    std::string_view source_;
    std::string_view name_;
    int line_ = 0;
    int open_blocks_ = 0;
    std::string out_;
    std::map<std::string, int> places_, flags_;
    // The line being read.
    std::string_view text_;
    size_t pos_ = 0;

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(std::string(name_) + ":" + std::to_string(line_) + ": " + what);
    }

    void skip_blanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }
    bool at_end() {
        skip_blanks();
        return pos_ >= text_.size() || text_[pos_] == '#';
    }
    // A word: up to a blank, a comma, a colon, a brace or a comment.
    std::string word() {
        skip_blanks();
        const size_t start = pos_;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) &&
               text_[pos_] != ',' && text_[pos_] != ':' && text_[pos_] != '{' && text_[pos_] != '}' &&
               text_[pos_] != '#')
            ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }
    std::string needed_word(const char* what) {
        std::string w = word();
        if (w.empty()) fail(std::string("expected ") + what);
        return w;
    }
    bool next_is(char c) {
        skip_blanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void finish() {
        if (!at_end()) fail("unexpected \"" + std::string(text_.substr(pos_)) + "\"");
    }

    long number(const std::string& w, long low, long high, const char* what) const {
        size_t used = 0;
        long n = 0;
        try {
            n = std::stol(w, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != w.size()) fail(std::string(what) + " \"" + w + "\" is not a number");
        if (n < low || n > high)
            fail(std::string(what) + " " + w + " is outside " + std::to_string(low) + "-" +
                 std::to_string(high));
        return n;
    }
    // A named or numbered place or flag.
    int named(const std::map<std::string, int>& names, const std::string& w, long low,
              const char* what) const {
        if (!w.empty() && (std::isdigit(static_cast<unsigned char>(w[0])) || w[0] == '-'))
            return static_cast<int>(number(w, low, 255, what));
        auto it = names.find(lower(w));
        if (it == names.end()) fail(std::string("unknown ") + what + " \"" + w + "\"");
        return it->second;
    }
    // A file name or a map name as a word of the script.
    std::string file_word(const char* what, size_t max) {
        const std::string w = needed_word(what);
        for (char c : w)
            if (script_delimiter(c) || c == '!' || static_cast<unsigned char>(c) < 0x21 ||
                static_cast<unsigned char>(c) > 0x7E)
                fail(std::string(what) + " \"" + w + "\" holds a character the world map cannot read");
        if (w.size() > max) fail(std::string(what) + " \"" + w + "\" is longer than " + std::to_string(max));
        return w;
    }

    void declare(std::map<std::string, int>& names, long low, const char* what) {
        std::string name = lower(needed_word("a name"));
        std::string value;
        if (const size_t eq = name.find('='); eq != std::string::npos) {  // "keep=2"
            value = name.substr(eq + 1);
            name.resize(eq);
        } else {
            value = needed_word("\"=\" after the name");
            if (value[0] != '=') fail("expected \"=\" after the name");
            value.erase(0, 1);
        }
        if (value.empty()) value = needed_word("a number");
        if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0])))
            fail("a name starts with a letter: \"" + name + "\"");
        const int n = static_cast<int>(number(value, low, 255, what));
        if (!names.emplace(name, n).second) fail(std::string(what) + " \"" + name + "\" is named twice");
        finish();
    }

    std::string condition() {
        std::string out;
        bool first = true;
        for (;;) {
            std::string w = lower(word());
            if (w.empty()) fail("expected a condition");
            if (!first) {
                if (w == "and")
                    out += " &&";
                else if (w == "or")
                    out += " ||";
                else
                    fail("expected \"and\" or \"or\" before \"" + w + "\"");
                w = lower(needed_word("a condition"));
            }
            first = false;
            bool negate = false;
            while (w == "not") {
                negate = !negate;
                w = lower(needed_word("a condition"));
            }
            if (!out.empty()) out += ' ';
            if (negate) out += '!';
            if (w == "flag")
                out += "FLG " + std::to_string(named(flags_, needed_word("a flag"), 0, "flag"));
            else if (w == "defined")
                out += "IFDEF " + std::to_string(named(places_, needed_word("a place"), 0, "place"));
            else if (w == "on")
                out += "CURMAP " + file_word("a map file", MAP_FILE_MAX);
            else if (w == "sector")
                out += "SEKTOR " + std::to_string(number(needed_word("a sector"), 0, 65535, "sector"));
            else if (w == "visited")
                out += visited_word(file_word("a map", 8));
            else
                fail("unknown condition \"" + w + "\"");
            skip_blanks();
            if (pos_ >= text_.size() || text_[pos_] == ':' || text_[pos_] == '{' || text_[pos_] == '#')
                return out;
        }
    }
    // A map's name as a term: it must not be read as a keyword.
    std::string visited_word(const std::string& map) {
        static const char* const keywords[] = {"&&",     "BREAK", "CURMAP", "DRAW",   "FLG",
                                               "IFDEF",  "INDX",  "INDEX",  "MAP",    "SEKTOR",
                                               "SECTOR", "TEXT",  "UNDEF",  "USEMAP", "||"};
        std::string upper = map;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper.size() > 4 && upper.ends_with(".MAP"))
            fail("name the map without \".map\": \"" + map + "\"");
        for (const char* k : keywords)
            if (std::string_view(k).starts_with(upper))
                fail("the map \"" + map + "\" would be read as the keyword " + k);
        return upper;
    }

    // One statement's definitions (without the leading colon); empty for none.
    std::string definition(const std::string& keyword) {
        if (keyword == "draw") {
            const std::string picture = file_word("a picture file", 15);
            if (lower(word()) != "at") fail("expected \"at\" after the picture");
            const long x = number(needed_word("x"), -32768, 32767, "x");
            if (!next_is(',')) fail("expected \",\" between x and y");
            const long y = number(needed_word("y"), -32768, 32767, "y");
            return "DRAW=" + picture + "," + std::to_string(x) + "," + std::to_string(y);
        }
        if (keyword == "index") return "USEMAP=" + file_word("a picture file", 15);
        if (keyword == "forget")
            return "UNDEF=" + std::to_string(named(places_, needed_word("a place"), 0, "place"));
        if (keyword == "stop") return "BREAK";
        if (keyword == "define") {
            std::string out = "INDX=" + std::to_string(named(places_, needed_word("a place"), 1, "place"));
            while (!at_end()) {
                const std::string part = lower(word());
                if (part == "map") {
                    out += ";MAP=" + file_word("a map file", MAP_FILE_MAX);
                } else if (part == "text") {
                    skip_blanks();
                    if (pos_ >= text_.size() || text_[pos_] != '"')
                        fail("expected a quoted text after \"text\"");
                    std::string error;
                    const std::string text = read_quoted_text(text_, pos_, error);
                    if (!error.empty()) fail(error);
                    for (char c : text)
                        if (script_delimiter(c) || c == '\0')
                            fail(std::string("a description cannot hold \"") + c + "\"");
                    if (text.size() > TEXT_MAX) fail("a description is longer than 127 characters");
                    if (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' ||
                                          text.back() == '\t'))
                        fail("a description cannot start or end with a blank");
                    out += ";TEXT=" + text;
                } else {
                    fail("expected \"map\" or \"text\", not \"" + part + "\"");
                }
            }
            return out;
        }
        fail("unknown statement \"" + keyword + "\"");
    }

    void statement_line(std::string_view text) {
        text_ = text;
        pos_ = 0;
        if (at_end()) return;
        const std::string keyword = lower(word());
        if (keyword == "}" || (keyword.empty() && pos_ < text_.size() && text_[pos_] == '}')) {
            ++pos_;
            if (open_blocks_ == 0) fail("\"}\" without a \"when ... {\"");
            --open_blocks_;
            finish();
            out_ += "}\r\n";
            return;
        }
        if (keyword == "place") return declare(places_, 1, "place");
        if (keyword == "flag") return declare(flags_, 0, "flag");
        if (keyword == "when") {
            const std::string cond = condition();
            if (next_is('{')) {
                finish();
                ++open_blocks_;
                out_ += cond + ":{\r\n";
                return;
            }
            if (!next_is(':')) fail("expected \":\" or \"{\" after the condition");
            const std::string inner = lower(needed_word("a statement"));
            const std::string defs = definition(inner);
            finish();
            out_ += cond + ":" + defs + "\r\n";
            return;
        }
        const std::string defs = definition(keyword);
        finish();
        out_ += ":" + defs + "\r\n";
    }
};

// ---------------------------------------------------------------- back to source

std::vector<std::string> split(std::string_view s, char by) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = s.find(by, start);
        parts.emplace_back(
            s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string upper_of(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::optional<std::string> condition_source(const std::string& cond) {
    std::vector<std::string> words;
    for (const std::string& w : split(cond, ' '))
        if (!w.empty()) words.push_back(w);
    std::string out;
    bool negate = false;
    bool joined = true;
    for (size_t i = 0; i < words.size(); ++i) {
        std::string w = words[i];
        if (w == "&&" || w == "||") {
            out += w == "&&" ? " and" : " or";
            joined = true;
            continue;
        }
        if (w == "!") {
            negate = !negate;
            continue;
        }
        while (w.size() > 1 && w[0] == '!') {
            negate = !negate;
            w.erase(0, 1);
        }
        if (!joined) out += " or";
        joined = false;
        out += negate ? " not " : " ";
        negate = false;
        const std::string key = upper_of(w);
        const bool has_argument = key == "FLG" || key == "IFDEF" || key == "CURMAP" || key == "SEKTOR";
        if (has_argument && i + 1 >= words.size()) return std::nullopt;
        if (key == "FLG")
            out += "flag " + words[++i];
        else if (key == "IFDEF")
            out += "defined " + words[++i];
        else if (key == "CURMAP")
            out += "on " + words[++i];
        else if (key == "SEKTOR")
            out += "sector " + words[++i];
        else
            out += "visited " + w;
    }
    return out.empty() ? std::nullopt : std::optional<std::string>(out.substr(1));
}

std::optional<std::vector<std::string>> definitions_source(const std::string& defs) {
    std::vector<std::string> out;
    for (const std::string& d : split(defs, ';')) {
        const size_t eq = d.find('=');
        const std::string key = upper_of(d.substr(0, eq));
        const std::string value = eq == std::string::npos ? "" : d.substr(eq + 1);
        if (key == "BREAK") {
            out.push_back("stop");
        } else if (key == "DRAW") {
            const std::vector<std::string> v = split(value, ',');
            if (v.size() != 3) return std::nullopt;
            out.push_back("draw " + v[0] + " at " + v[1] + ", " + v[2]);
        } else if (key == "USEMAP") {
            out.push_back("index " + value);
        } else if (key == "UNDEF") {
            out.push_back("forget " + value);
        } else if (key == "INDX") {
            out.push_back("define " + value);
        } else if ((key == "MAP" || key == "TEXT") && !out.empty() && out.back().starts_with("define ")) {
            if (key == "MAP") {
                out.back() += " map " + value;
            } else {
                std::string quoted;
                for (char c : game_codepage_to_utf8(value)) {
                    if (c == '"' || c == '\\') quoted += '\\';
                    quoted += c;
                }
                out.back() += " text \"" + quoted + "\"";
            }
        } else {
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace

std::string compile_globmap_source(std::string_view utf8_source, std::string_view source_name) {
    return compiler(utf8_source, source_name).run();
}

std::string decompile_globmap(std::string_view globmap) {
    std::string out = "# The world map, read back from globmap.dat.\n";
    std::string indent;
    std::vector<bool> blocks;  // per open block: written with braces
    for (std::string line : split(globmap, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line == "}" && !blocks.empty()) {
            if (blocks.back()) {
                indent.resize(indent.size() - 4);
                out += indent + "}\n";
            }
            blocks.pop_back();
            continue;
        }
        const size_t colon = line.find(':');
        std::optional<std::string> cond;
        if (colon != std::string::npos && colon > 0) cond = condition_source(line.substr(0, colon));
        const std::string rest = colon == std::string::npos ? "" : line.substr(colon + 1);
        if (colon == std::string::npos || (colon > 0 && !cond)) {
            out += indent + "# " + line + "\n";
            continue;
        }
        if (rest == "{") {
            blocks.push_back(cond.has_value());
            if (cond) {
                out += indent + "when " + *cond + " {\n";
                indent += "    ";
            }
            continue;
        }
        const std::optional<std::vector<std::string>> defs = definitions_source(rest);
        if (!defs || defs->empty()) {
            out += indent + "# " + line + "\n";
            continue;
        }
        if (!cond) {
            for (const std::string& d : *defs) out += indent + d + "\n";
        } else if (defs->size() == 1) {
            out += indent + "when " + *cond + ": " + defs->front() + "\n";
        } else {
            out += indent + "when " + *cond + " {\n";
            for (const std::string& d : *defs) out += indent + "    " + d + "\n";
            out += indent + "}\n";
        }
    }
    return out;
}

}  // namespace forge
