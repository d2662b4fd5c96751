// The CSV reader, and what it reads written back and read again.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/strings.h"

// Tables are read record by record with no state carried between records, so
// a long table finds nothing a short one does not; inputs are kept to 512 bytes so
// each costs well under a millisecond (a 3 KiB table ran about 400 a second).
constexpr size_t LONGEST_INPUT = 512;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LONGEST_INPUT) return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    language_table table = parse_csv_table(text);
    string_list list;
    for (const auto& [id, value] : table) {
        if (id < 0 || id > 4096 || std::memchr(value.data(), 0, value.size())) continue;
        string_list_set(list, id, value.c_str());
    }
    language_table again = parse_csv_table(csv_table_text(list));
    for (int id = 0; id < string_list_count(list); ++id) {
        const char* value = string_list_get(list, id);
        if (!value) continue;
        auto it = again.find(id);
        if (it == again.end() || it->second != to_game_codepage(to_windows1250(value))) __builtin_trap();
    }
    return 0;
}
