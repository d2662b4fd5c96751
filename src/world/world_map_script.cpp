// The world map's script: reading "globmap.dat" line by line, testing the
// conditions and carrying out the definitions over the place table.
#include <cstdio>
#include <string>
#include <string_view>

#include "world/world_map.h"

namespace {

// The messages; "\xEF\xBF\xBD" stands where the accented letters were lost.
constexpr const char* NEEDS_NUMBER =
    "O\xEF\xBF\xBD"
    "ek\xEF\xBF\xBD"
    "v\xEF\xBF\xBD se \xEF\xBF\xBD\xEF\xBF\xBDslo";
constexpr const char* NEEDS_X =
    "O\xEF\xBF\xBD"
    "ek\xEF\xBF\xBD"
    "v\xEF\xBF\xBD se \xEF\xBF\xBD\xEF\xBF\xBDslo xp";
constexpr const char* NEEDS_Y =
    "O\xEF\xBF\xBD"
    "ek\xEF\xBF\xBD"
    "v\xEF\xBF\xBD se \xEF\xBF\xBD\xEF\xBF\xBDslo yp";
constexpr const char* NEEDS_NAME =
    "O\xEF\xBF\xBD"
    "ek\xEF\xBF\xBD"
    "v\xEF\xBF\xBD se jm\xEF\xBF\xBDno definice (p\xEF\xBF\xBD\xEF\xBF\xBD"
    "klad: INDX=)";
constexpr const char* FLG_NEEDS_NUMBER = "Za FLG mus\xEF\xBF\xBD b\xEF\xBF\xBDt \xEF\xBF\xBD\xEF\xBF\xBDslo!";
constexpr const char* FLG_RANGE =
    "\xEF\xBF\xBD\xEF\xBF\xBDslo vlajky (FLG) mus\xEF\xBF\xBD b\xEF\xBF\xBDt v rozsahu 0-255!";
// A place number of IFDEF outside the table.
constexpr const char* IFDEF_RANGE = "IFDEF <0,255>";

enum class keyword {
    none,
    negate,
    all,
    any,
    brk,
    curmap,
    draw,
    flg,
    ifdef,
    indx,
    map,
    sektor,
    text,
    undef,
    usemap
};

struct keyword_entry {
    const char* word;
    keyword meaning;
};
// In this order: a word selects the first entry that starts with it.
constexpr keyword_entry KEYWORDS[] = {
    {"!", keyword::negate},      {"&&", keyword::all},        {"BREAK", keyword::brk},
    {"CURMAP", keyword::curmap}, {"DRAW", keyword::draw},     {"FLG", keyword::flg},
    {"IFDEF", keyword::ifdef},   {"INDX", keyword::indx},     {"INDEX", keyword::indx},
    {"MAP", keyword::map},       {"SEKTOR", keyword::sektor}, {"SECTOR", keyword::sektor},
    {"TEXT", keyword::text},     {"UNDEF", keyword::undef},   {"USEMAP", keyword::usemap},
    {"||", keyword::any},
};

keyword find_keyword(const std::string& upper) {
    if (upper.empty()) return keyword::none;
    for (const keyword_entry& k : KEYWORDS)
        if (std::string_view(k.word).starts_with(upper)) return k.meaning;
    return keyword::none;
}

bool is_delimiter(char c) {
    return c == ';' || c == ':' || c == '=' || c == ',' || c == '\n' || c == '\r' || c == '{' || c == '}';
}
bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// A whole word that is a number (an optional sign and digits); large values
// are held at a bound that every range check refuses.
std::optional<long> number_of(const std::string& word) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
    if (i == word.size()) return std::nullopt;
    long value = 0;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return std::nullopt;
        if (value < 1000000) value = value * 10 + (word[i] - '0');
    }
    return negative ? -value : value;
}

struct script_failure {
    std::string message;
};

class script_runner {
  public:
    script_runner(std::string_view text, world_script_state& state, const world_script_calls& calls)
        : text_(text.substr(0, text.find('\0'))), state_(state), calls_(calls) {}

    int line() const { return line_; }

    void run() {
        int open_blocks = 0;
        while (!stopped_) {
            skip_blanks();
            if (at_end()) {
                if (open_blocks > 0) fail_char('}');
                return;
            }
            const char c = peek();
            if (c == '\n' || c == '\r') {
                newline();
                continue;
            }
            if (c == '}') {  // at the start of a line: the end of a block
                if (open_blocks == 0) fail_char('{');
                --open_blocks;
                ++pos_;
                continue;
            }
            if (c == '{') {  // a block standing alone always runs
                ++open_blocks;
                ++pos_;
                continue;
            }
            bool holds = true;
            if (c != ':') {
                holds = condition();
                if (at_end() || peek() != ':') {
                    // A line without ":" has no effect; a brace at the start
                    // of the next line is left for the loop.
                    if (!at_end() && !(at_line_start_ && (peek() == '{' || peek() == '}'))) skip_line();
                    continue;
                }
            }
            ++pos_;  // ':'
            skip_blanks_and_newlines();
            if (!at_end() && peek() == '{') {
                ++pos_;
                if (holds)
                    ++open_blocks;
                else
                    skip_block();
                continue;
            }
            if (holds)
                definitions();
            else
                skip_line();
        }
    }

  private:
    std::string_view text_;
    world_script_state& state_;
    const world_script_calls& calls_;
    size_t pos_ = 0;
    int line_ = 1;
    bool stopped_ = false;
    bool at_line_start_ = true;  // set by the condition when it stopped at a new line

    bool at_end() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }

    [[noreturn]] void fail(std::string message) { throw script_failure{std::move(message)}; }
    [[noreturn]] void fail_char(char c) {
        char message[32];
        std::snprintf(message, sizeof message, "Ocekava se znak '%c'", c);
        fail(message);
    }

    void newline() {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
    }
    void skip_comment() {
        while (!at_end() && peek() != '\n') ++pos_;
    }
    void skip_blanks() {
        while (!at_end()) {
            if (is_blank(peek()))
                ++pos_;
            else if (peek() == '`')
                skip_comment();
            else
                break;
        }
    }
    void skip_blanks_and_newlines() {
        for (;;) {
            skip_blanks();
            if (at_end() || (peek() != '\n' && peek() != '\r')) return;
            newline();
        }
    }
    // To the end of the line (the newline stays).
    void skip_line() {
        while (!at_end() && peek() != '\n') ++pos_;
    }

    // Everything after a "{" up to its matching "}": a "{" counts after ":"
    // or at the start of a line, a "}" at the start of a line.
    void skip_block() {
        int depth = 1;
        bool line_start = false, after_colon = false;
        for (;;) {
            if (at_end()) fail_char('}');
            const char c = peek();
            if (c == '`') {
                skip_comment();
                continue;
            }
            if (c == '\n' || c == '\r') {
                newline();
                line_start = true;
                continue;
            }
            ++pos_;
            if (is_blank(c)) continue;
            if (c == '{' && (line_start || after_colon)) ++depth;
            if (c == '}' && line_start && --depth == 0) return;
            after_colon = c == ':';
            line_start = false;
        }
    }

    std::string word() {
        const size_t start = pos_;
        while (!at_end() && !is_delimiter(peek()) && !is_blank(peek()) && peek() != '`') ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }
    // The argument of a keyword on the same line.
    std::string argument() {
        skip_blanks();
        return word();
    }
    int place_number(const std::string& word, const char* not_number, const char* out_of_range) {
        const std::optional<long> n = number_of(word);
        if (!n) fail(not_number);
        if (*n < 0 || *n >= WORLD_PLACE_COUNT) fail(out_of_range);
        return static_cast<int>(*n);
    }

    bool condition() {
        bool result = false, all = false, negate = false;
        at_line_start_ = false;
        for (;;) {
            skip_blanks();
            if (at_end()) return result;
            char c = peek();
            if (c == '\n' || c == '\r') {
                // The condition goes on on the next line, unless that line
                // starts or ends a block.
                skip_blanks_and_newlines();
                if (!at_end() && (peek() == '{' || peek() == '}')) {
                    at_line_start_ = true;
                    return result;
                }
                continue;
            }
            if (is_delimiter(c)) return result;
            std::string written = word();
            while (written.size() > 1 && written[0] == '!') {
                negate = !negate;
                written.erase(0, 1);
            }
            const std::string name = upper(written);
            bool value = false;
            switch (find_keyword(name)) {
                case keyword::negate:
                    negate = !negate;
                    continue;
                case keyword::all:
                    all = true;
                    continue;
                case keyword::any:
                    all = false;
                    continue;
                case keyword::flg: {
                    const std::optional<long> n = number_of(argument());
                    if (!n) fail(FLG_NEEDS_NUMBER);
                    if (*n < 0 || *n > 255) fail(FLG_RANGE);
                    value = calls_.story_flag && calls_.story_flag(static_cast<int>(*n));
                    break;
                }
                case keyword::ifdef:
                    value =
                        state_
                            .places[static_cast<size_t>(place_number(argument(), NEEDS_NUMBER, IFDEF_RANGE))]
                            .defined;
                    break;
                case keyword::sektor: {
                    const std::optional<long> n = number_of(argument());
                    if (!n) fail(NEEDS_NUMBER);
                    value = *n == calls_.sector;
                    break;
                }
                case keyword::curmap: {
                    const std::string map = upper(argument());
                    value = !map.empty() && map == upper(calls_.current_map);
                    break;
                }
                default:  // a map's name
                    value = calls_.visited && calls_.visited(written);
                    break;
            }
            if (negate) value = !value;
            negate = false;
            result = all ? result && value : result || value;
        }
    }

    void expect(char c) {
        skip_blanks();
        if (at_end() || peek() != c) fail_char(c);
        ++pos_;
    }

    void definitions() {
        for (;;) {
            skip_blanks();
            if (at_end() || peek() == '\n' || peek() == '\r') return;
            if (is_delimiter(peek())) fail(NEEDS_NAME);
            const std::string written = word();
            const keyword k = find_keyword(upper(written));
            if (k == keyword::brk) {
                stopped_ = true;
                return;
            }
            if (k != keyword::draw && k != keyword::indx && k != keyword::map && k != keyword::text &&
                k != keyword::undef && k != keyword::usemap)
                fail(written);
            expect('=');
            world_place& current = state_.places[static_cast<size_t>(state_.current_place)];
            switch (k) {
                case keyword::draw: {
                    const std::string picture = argument();
                    expect(',');
                    const std::optional<long> x = number_of(argument());
                    if (!x) fail(NEEDS_X);
                    expect(',');
                    const std::optional<long> y = number_of(argument());
                    if (!y) fail(NEEDS_Y);
                    if (calls_.draw && !picture.empty())
                        calls_.draw(picture, static_cast<int>(*x), static_cast<int>(*y));
                    break;
                }
                case keyword::indx:
                    state_.current_place = place_number(argument(), "INDX=?", "INDX=<0,255>");
                    state_.places[static_cast<size_t>(state_.current_place)].defined = true;
                    break;
                case keyword::map:
                    current.map = argument().substr(0, WORLD_PLACE_MAP_MAX);
                    break;
                case keyword::text: {
                    skip_blanks();
                    const size_t start = pos_;
                    while (!at_end() && !is_delimiter(peek()) && peek() != '`') ++pos_;
                    std::string value(text_.substr(start, pos_ - start));
                    while (!value.empty() && is_blank(value.back())) value.pop_back();
                    current.text = value.substr(0, WORLD_PLACE_TEXT_MAX);
                    break;
                }
                case keyword::undef:
                    state_.places[static_cast<size_t>(place_number(argument(), "UNDEF=?", "UNDEF=<0,255>"))]
                        .defined = false;
                    break;
                case keyword::usemap:
                    state_.index_picture = argument();
                    if (calls_.use_index && !state_.index_picture.empty())
                        calls_.use_index(state_.index_picture);
                    break;
                default:
                    break;
            }
            skip_blanks();
            if (at_end() || peek() == '\n' || peek() == '\r') return;
            if (peek() != ';') fail_char(';');
            ++pos_;
        }
    }
};

}  // namespace

std::optional<world_script_error> run_world_script_text(std::string_view script, world_script_state& state,
                                                        const world_script_calls& calls) {
    script_runner runner(script, state, calls);
    try {
        runner.run();
    } catch (const script_failure& failure) {
        return world_script_error{runner.line(), failure.message};
    }
    return std::nullopt;
}

std::string world_script_error_text(const world_script_error& error) {
    return "Chyba v souboru GLOBMAP.DAT na radce " + std::to_string(error.line) + ".\r\n" + error.message;
}
