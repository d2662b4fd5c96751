// Scancode -> PC key code translation and the national keyboard layer.
#include <SDL2/SDL_scancode.h>

#include <array>

#include "platform/input.h"

namespace {

struct key_triple {
    key_code plain, shift, ctrl;
};

struct key_tables {
    std::array<key_triple, 512> keys{};
    std::array<std::array<uint8_t, 95>, 6> national{};
};

const key_tables& tables() {
    static const key_tables built = [] {
        key_tables t;
        auto& k = t.keys;
        static constexpr uint8_t letter_scan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                                    0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                                    0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
        for (int i = 0; i < 26; ++i) {
            const key_code scan = static_cast<key_code>(letter_scan[i] << 8);
            k[SDL_SCANCODE_A + i] = {static_cast<key_code>(scan | ('a' + i)),
                                     static_cast<key_code>(scan | ('A' + i)),
                                     static_cast<key_code>(scan | (i + 1))};
        }
        struct entry {
            int scancode;
            key_triple codes;
        };
        static constexpr entry others[] = {
            {SDL_SCANCODE_1, {0x0231, 0x0221, 0x7800}},
            {SDL_SCANCODE_2, {0x0332, 0x0340, 0x0300}},
            {SDL_SCANCODE_3, {0x0433, 0x0423, 0x7A00}},
            {SDL_SCANCODE_4, {0x0534, 0x0524, 0x7B00}},
            {SDL_SCANCODE_5, {0x0635, 0x0625, 0x7C00}},
            {SDL_SCANCODE_6, {0x0736, 0x075E, 0x071E}},
            {SDL_SCANCODE_7, {0x0837, 0x0826, 0x7E00}},
            {SDL_SCANCODE_8, {0x0938, 0x092A, 0x7F00}},
            {SDL_SCANCODE_9, {0x0A39, 0x0A28, 0x8000}},
            {SDL_SCANCODE_0, {0x0B30, 0x0B29, 0x8100}},
            {SDL_SCANCODE_RETURN, {0x1C0D, 0x1C0D, 0x1C0A}},
            {SDL_SCANCODE_ESCAPE, {0x011B, 0x011B, 0x011B}},
            {SDL_SCANCODE_BACKSPACE, {0x0E08, 0x0E08, 0x0E7F}},
            {SDL_SCANCODE_TAB, {0x0F09, 0x0F09, 0x9400}},
            {SDL_SCANCODE_SPACE, {0x3920, 0x3920, 0x3920}},
            {SDL_SCANCODE_MINUS, {0x0C2D, 0x0C5F, 0x0C1F}},
            {SDL_SCANCODE_EQUALS, {0x0D3D, 0x0D2B, 0x8300}},
            {SDL_SCANCODE_LEFTBRACKET, {0x1A5B, 0x1A7B, 0x1A1B}},
            {SDL_SCANCODE_RIGHTBRACKET, {0x1B5D, 0x1B7D, 0x1B1D}},
            {SDL_SCANCODE_BACKSLASH, {0x2B5C, 0x2B7C, 0x2B1C}},
            {SDL_SCANCODE_SEMICOLON, {0x273B, 0x273A, 0x2700}},
            {SDL_SCANCODE_APOSTROPHE, {0x2827, 0x2822, 0x0000}},
            {SDL_SCANCODE_GRAVE, {0x2960, 0x297E, 0x0000}},
            {SDL_SCANCODE_COMMA, {0x332C, 0x333C, 0x0000}},
            {SDL_SCANCODE_PERIOD, {0x342E, 0x343E, 0x0000}},
            {SDL_SCANCODE_SLASH, {0x352F, 0x353F, 0x0000}},
            {SDL_SCANCODE_F1, {0x3B00, 0x5400, 0x5E00}},
            {SDL_SCANCODE_F2, {0x3C00, 0x5500, 0x5F00}},
            {SDL_SCANCODE_F3, {0x3D00, 0x5600, 0x6000}},
            {SDL_SCANCODE_F4, {0x3E00, 0x5700, 0x6100}},
            {SDL_SCANCODE_F5, {0x3F00, 0x5800, 0x6200}},
            {SDL_SCANCODE_F6, {0x4000, 0x5900, 0x6300}},
            {SDL_SCANCODE_F7, {0x4100, 0x5A00, 0x6400}},
            {SDL_SCANCODE_F8, {0x4200, 0x5B00, 0x6500}},
            {SDL_SCANCODE_F9, {0x4300, 0x5C00, 0x6600}},
            {SDL_SCANCODE_F10, {0x4400, 0x5D00, 0x6700}},
            {SDL_SCANCODE_F11, {0x8500, 0x8700, 0x8900}},
            {SDL_SCANCODE_F12, {0x8600, 0x8800, 0x8A00}},
            {SDL_SCANCODE_PRINTSCREEN, {0x7200, 0x0000, 0x0000}},
            {SDL_SCANCODE_INSERT, {0x5200, 0x5200, 0x9200}},
            {SDL_SCANCODE_HOME, {0x4700, 0x4700, 0x7700}},
            {SDL_SCANCODE_PAGEUP, {0x4900, 0x4900, 0x8400}},
            {SDL_SCANCODE_DELETE, {0x5300, 0x5300, 0x9300}},
            {SDL_SCANCODE_END, {0x4F00, 0x4F00, 0x7500}},
            {SDL_SCANCODE_PAGEDOWN, {0x5100, 0x5100, 0x7600}},
            {SDL_SCANCODE_RIGHT, {0x4D00, 0x4D00, 0x7400}},
            {SDL_SCANCODE_LEFT, {0x4B00, 0x4B00, 0x7300}},
            {SDL_SCANCODE_DOWN, {0x5000, 0x5000, 0x9100}},
            {SDL_SCANCODE_UP, {0x4800, 0x4800, 0x8D00}},
            {SDL_SCANCODE_KP_DIVIDE, {0x352F, 0x352F, 0x9500}},
            {SDL_SCANCODE_KP_MULTIPLY, {0x372A, 0x9600, 0x3700}},
            {SDL_SCANCODE_KP_MINUS, {0x4A2D, 0x4A2D, 0x8E00}},
            {SDL_SCANCODE_KP_PLUS, {0x4E2B, 0x4E2B, 0x4E00}},
            {SDL_SCANCODE_KP_ENTER, {0x1C0D, 0x1C0D, 0x1C0D}},
            {SDL_SCANCODE_KP_1, {0x4F31, 0x4F00, 0x7500}},
            {SDL_SCANCODE_KP_2, {0x5032, 0x5000, 0x9100}},
            {SDL_SCANCODE_KP_3, {0x5133, 0x5100, 0x7600}},
            {SDL_SCANCODE_KP_4, {0x4B34, 0x4B00, 0x7300}},
            {SDL_SCANCODE_KP_5, {0x4C35, 0x4C00, 0x8F00}},
            {SDL_SCANCODE_KP_6, {0x4D36, 0x4D00, 0x7400}},
            {SDL_SCANCODE_KP_7, {0x4737, 0x4700, 0x7700}},
            {SDL_SCANCODE_KP_8, {0x4838, 0x4800, 0x8D00}},
            {SDL_SCANCODE_KP_9, {0x4939, 0x4900, 0x8400}},
            {SDL_SCANCODE_KP_0, {0x5230, 0x5200, 0x9200}},
            {SDL_SCANCODE_KP_PERIOD, {0x532E, 0x5300, 0x9300}},
        };
        for (const entry& e : others) k[e.scancode] = e.codes;

        // National layer.
        auto& n = t.national;
        for (auto& table : n)
            for (int c = 0; c < 95; ++c) table[c] = static_cast<uint8_t>(c + 0x20);
        static constexpr uint8_t plain_pairs[][2] = {
            {0x21, 0x31}, {0x22, 0x21}, {0x23, 0x33}, {0x24, 0x34}, {0x25, 0x35}, {0x26, 0x37}, {0x27, 0xAD},
            {0x28, 0x39}, {0x29, 0x30}, {0x2A, 0x38}, {0x30, 0x82}, {0x31, 0x2B}, {0x32, 0x88}, {0x33, 0xA8},
            {0x34, 0x87}, {0x35, 0xA9}, {0x36, 0x91}, {0x37, 0x98}, {0x38, 0xA0}, {0x39, 0xA1}, {0x3A, 0x22},
            {0x3B, 0x96}, {0x3C, 0x3F}, {0x3E, 0x3A}, {0x3F, 0x5F}, {0x40, 0x32}, {0x5B, 0xA3}, {0x5D, 0x29},
            {0x5E, 0x36}, {0x5F, 0x3D}, {0x60, 0x3B}, {0x7B, 0x2F}, {0x7D, 0x28}, {0x7E, 0x3B}};
        for (const auto& p : plain_pairs) n[0][p[0] - 0x20] = p[1];
        static constexpr uint8_t acute_pairs[][2] = {{'A', 0x8F}, {'E', 0x90}, {'I', 0x8B}, {'L', 0x8A},
                                                     {'O', 0x95}, {'R', 0xAB}, {'U', 0x97}, {'Y', 0x9D},
                                                     {'a', 0xA0}, {'e', 0x82}, {'i', 0xA1}, {'l', 0x8D},
                                                     {'o', 0xA2}, {'r', 0xAA}, {'u', 0xA3}, {'y', 0x98}};
        for (const auto& p : acute_pairs) n[1][p[0] - 0x20] = p[1];
        static constexpr uint8_t caron_pairs[][2] = {
            {'C', 0x80}, {'D', 0x85}, {'E', 0x89}, {'L', 0x9C}, {'N', 0xA5}, {'O', 0xA7},
            {'R', 0x9E}, {'S', 0x9B}, {'T', 0x86}, {'U', 0xA6}, {'Z', 0x92}, {'c', 0x87},
            {'d', 0x83}, {'e', 0x88}, {'l', 0x8C}, {'n', 0xA4}, {'o', 0x93}, {'r', 0xA9},
            {'s', 0xA8}, {'t', 0x9F}, {'u', 0x96}, {'z', 0x91}};
        for (const auto& p : caron_pairs) n[2][p[0] - 0x20] = p[1];

        auto other_case = [](int c) {
            return (c >= 'a' && c <= 'z') ? c - 32 : (c >= 'A' && c <= 'Z') ? c + 32 : c;
        };
        auto is_letter = [](int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
        for (int caps = 0; caps < 3; ++caps) {
            for (int c = 0x20; c <= 0x7E; ++c) {
                // Caps Lock: a letter behaves as the other-case letter does without it.
                n[3 + caps][c - 0x20] = is_letter(c) ? n[caps][other_case(c) - 0x20] : n[caps][c - 0x20];
            }
        }
        static constexpr uint8_t caps_digits[][2] = {{0x30, 0x90}, {0x32, 0x89}, {0x33, 0x9B},
                                                     {0x34, 0x80}, {0x35, 0x9E}, {0x36, 0x92},
                                                     {0x37, 0x9D}, {0x38, 0x8F}, {0x39, 0x8B}};
        for (const auto& p : caps_digits) n[3][p[0] - 0x20] = p[1];
        return t;
    }();
    return built;
}

}  // namespace

key_code translate_key(int sdl_scancode, bool shift, bool ctrl) {
    if (sdl_scancode < 0 || sdl_scancode >= 512) return 0;
    const key_triple& k = tables().keys[sdl_scancode];
    return ctrl ? k.ctrl : shift ? k.shift : k.plain;
}

uint8_t national_table(int table, uint8_t character) {
    if (table < 0 || table > 5 || character < 0x20 || character > 0x7E) return character;
    return tables().national[table][character - 0x20];
}

key_code national_keyboard::translate(key_code raw, bool caps_lock) {
    const uint8_t c = raw & 0xFF;
    const uint8_t s = raw >> 8;
    if (dead_key == 0 && c == 0x2B && s <= 0x36) {
        dead_key = 2;
        return 0;
    }
    if (dead_key == 0 && c == 0x3D && s <= 0x36) {
        dead_key = 1;
        return 0;
    }
    if (c < 0x21 || c > 0x7E || s > 0x35) return raw;
    const int table = dead_key + (caps_lock ? 3 : 0);
    dead_key = 0;
    return static_cast<key_code>((s << 8) | national_table(table, c));
}
