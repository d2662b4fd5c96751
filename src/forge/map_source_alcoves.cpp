#include "forge/map_source_alcoves.h"

#include <sstream>
#include <vector>

namespace forge {

namespace {

constexpr size_t MAX_ITEMS = 8;
constexpr size_t ITEMS_OFFSET = 12;

void put_i16(alcove_record_bytes& r, size_t offset, long value) {
    const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
    r[offset] = static_cast<uint8_t>(v & 0xFF);
    r[offset + 1] = static_cast<uint8_t>(v >> 8);
}

std::optional<long> whole_number(const std::string& word) {
    if (word.empty()) return std::nullopt;
    size_t used = 0;
    try {
        const long n = std::stol(word, &used);
        if (used == word.size()) return n;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

}  // namespace

std::optional<alcove_record_bytes> compile_alcove(int sector, int direction, const std::string& body,
                                                  const alcove_item_lookup& item, std::string& error) {
    std::string spaced = body;
    for (char& ch : spaced)
        if (ch == ',') ch = ' ';
    std::istringstream in(spaced);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    const char* usage = "alcove line is: x y [layer] direction: sill-x sill-y width height [items]";
    if (words.size() < 4) {
        error = usage;
        return std::nullopt;
    }
    long opening[4];
    for (size_t k = 0; k < 4; ++k) {
        const auto n = whole_number(words[k]);
        if (!n) {
            error = usage;
            return std::nullopt;
        }
        opening[k] = *n;
    }
    if (opening[0] < 0 || opening[0] > 639 || opening[1] < 0 || opening[1] > 479) {
        error = "the alcove's sill must lie on the 640 x 480 screen";
        return std::nullopt;
    }
    if (opening[2] <= 0 || opening[3] <= 0 || opening[2] > 640 || opening[3] > 480) {
        error = "the alcove's opening needs a width and height of 1 to 640 and 480";
        return std::nullopt;
    }
    if (words.size() - 4 > MAX_ITEMS) {
        error = "an alcove holds at most 8 items";
        return std::nullopt;
    }
    alcove_record_bytes r{};
    put_i16(r, 0, sector);
    put_i16(r, 2, direction);
    for (size_t k = 0; k < 4; ++k) put_i16(r, 4 + 2 * k, opening[k]);
    for (size_t k = 4; k < words.size(); ++k) {
        auto n = whole_number(words[k]);
        if (!n) n = item(words[k]);
        if (!n) return std::nullopt;
        if (*n <= 0 || *n > 32767) {
            error = "alcove items are item names or numbers from 1";
            return std::nullopt;
        }
        put_i16(r, ITEMS_OFFSET + 2 * (k - 4), *n);
    }
    return r;
}

}  // namespace forge
