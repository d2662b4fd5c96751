#include <array>
#include <cstdint>

#include "base/strings.h"
#include "base/text_util.h"

namespace {
struct letter {
    uint8_t game, w1250;
    char16_t unicode;
};
// The letters that differ between the game code page and Windows-1250.
constexpr letter letters[36] = {
    {0xA0, 0xE1, u'á'}, {0x87, 0xE8, u'č'}, {0x83, 0xEF, u'ď'}, {0x82, 0xE9, u'é'}, {0x88, 0xEC, u'ě'},
    {0xA1, 0xED, u'í'}, {0x8D, 0xE5, u'ĺ'}, {0x8C, 0xBE, u'ľ'}, {0xA4, 0xF2, u'ň'}, {0xA2, 0xF3, u'ó'},
    {0xAA, 0xE0, u'ŕ'}, {0xA9, 0xF8, u'ř'}, {0xA8, 0x9A, u'š'}, {0x9F, 0x9D, u'ť'}, {0xA3, 0xFA, u'ú'},
    {0x96, 0xF9, u'ů'}, {0x98, 0xFD, u'ý'}, {0x91, 0x9E, u'ž'}, {0x8F, 0xC1, u'Á'}, {0x80, 0xC8, u'Č'},
    {0x85, 0xCF, u'Ď'}, {0x90, 0xC9, u'É'}, {0x89, 0xCC, u'Ě'}, {0x8B, 0xCD, u'Í'}, {0x8A, 0xC5, u'Ĺ'},
    {0x9C, 0xBC, u'Ľ'}, {0xA5, 0xD2, u'Ň'}, {0x95, 0xD3, u'Ó'}, {0xAB, 0xC0, u'Ŕ'}, {0x9E, 0xD8, u'Ř'},
    {0x9B, 0x8A, u'Š'}, {0x86, 0x8D, u'Ť'}, {0x97, 0xDA, u'Ú'}, {0xA6, 0xD9, u'Ů'}, {0x9D, 0xDD, u'Ý'},
    {0x92, 0x8E, u'Ž'},
};

struct tables {
    std::array<uint8_t, 256> to_w1250, to_game;
    std::array<char16_t, 256> game_to_unicode{};
};

const tables& lookup() {
    static const tables t = [] {
        tables t{};
        for (int i = 0; i < 256; ++i) t.to_w1250[i] = t.to_game[i] = uint8_t(i);
        for (int i = 0; i < 0x80; ++i) t.game_to_unicode[i] = char16_t(i);
        for (const auto& l : letters) {
            t.to_w1250[l.game] = l.w1250;
            t.to_game[l.w1250] = l.game;
            t.game_to_unicode[l.game] = l.unicode;
        }
        return t;
    }();
    return t;
}

std::string convert(std::string_view text, const std::array<uint8_t, 256>& table) {
    std::string out(text);
    for (char& c : out) c = char(table[static_cast<uint8_t>(c)]);
    return out;
}
}  // namespace

std::string to_windows1250(std::string_view game_text) {
    return convert(game_text, lookup().to_w1250);
}
std::string to_game_codepage(std::string_view w1250) {
    return convert(w1250, lookup().to_game);
}

std::optional<std::string> utf8_to_game_codepage(std::string_view utf8, size_t* bad_offset) {
    std::string out;
    size_t pos = 0;
    while (pos < utf8.size()) {
        size_t start = pos;
        char32_t cp = next_code_point(utf8, pos);
        if (cp < 0x80 && pos - start == 1) {
            out += char(cp);
            continue;
        }
        bool found = false;
        for (const auto& l : letters) {
            if (l.unicode != cp || pos - start == 1) continue;
            out += char(l.game);
            found = true;
            break;
        }
        if (!found) {
            if (bad_offset) *bad_offset = start;
            return std::nullopt;
        }
    }
    return out;
}

std::string game_codepage_to_utf8(std::string_view game_text) {
    std::string out;
    for (char c : game_text) {
        char16_t u = lookup().game_to_unicode[static_cast<uint8_t>(c)];
        append_utf8(out, u ? u : (c ? 0xFFFD : 0));
    }
    return out;
}
