#include "forge/quoted_text.h"

#include "base/strings.h"

namespace forge {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string read_quoted_text(std::string_view line, size_t& pos, std::string& error) {
    std::string out, plain;
    auto flush = [&] {
        const auto text = utf8_to_game_codepage(plain);
        if (!text) {
            error = "a character of '" + plain + "' has no place in the game's code page";
            return false;
        }
        out += *text;
        plain.clear();
        return true;
    };
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return flush() ? out : std::string();
        }
        if (c != '\\') {
            plain += c;
            continue;
        }
        if (pos + 1 >= line.size()) break;
        const char e = line[++pos];
        if (e == '"' || e == '\\') {
            plain += e;
        } else if (e == 'x' && pos + 2 < line.size() && hex_digit(line[pos + 1]) >= 0 &&
                   hex_digit(line[pos + 2]) >= 0) {
            if (!flush()) return {};
            out += char(hex_digit(line[pos + 1]) * 16 + hex_digit(line[pos + 2]));
            pos += 2;
        } else {
            error = std::string("unknown escape \\") + e;
            return {};
        }
    }
    error = "a text without its closing quote";
    return {};
}

}  // namespace forge
