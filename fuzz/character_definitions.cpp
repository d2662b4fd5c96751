// The character definitions reader and the character record: whatever the
// bytes, nothing is read outside them, a definition that is accepted keeps its
// lists within the record, and a record survives being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rules/party_definitions.h"

// Definitions are read line by line with nothing carried between them but
// the count, so longer inputs find nothing new.
constexpr size_t LONGEST_INPUT = 2048;

namespace {

void check_record(const party_member& m) {
    if (std::memchr(m.name, 0, sizeof m.name) == nullptr) __builtin_trap();
    uint8_t bytes[PARTY_MEMBER_SIZE];
    write_party_member(m, bytes);
    party_member again;
    if (!read_party_member(bytes, sizeof bytes, again)) __builtin_trap();
    uint8_t twice[PARTY_MEMBER_SIZE];
    write_party_member(again, twice);
    if (std::memcmp(bytes, twice, sizeof bytes) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LONGEST_INPUT) return 0;
    static party_member definitions[CHARACTER_DEFINITIONS];
    uint8_t runes[RUNE_GROUPS] = {};
    definitions_result result =
        parse_character_definitions(reinterpret_cast<const char*>(data), size, definitions, runes);
    if (result.count < 0 || result.count > CHARACTER_DEFINITIONS) __builtin_trap();
    for (int i = 0; i < result.count; ++i) {
        const party_member& m = definitions[i];
        if (m.inventory_size < BACKPACK_MIN || m.inventory_size > BACKPACK_MAX) __builtin_trap();
        if (m.arrows < 0 || m.arrows > MAX_ARROWS) __builtin_trap();
        check_record(m);
    }
    party_member raw;
    if (read_party_member(data, size, raw)) check_record(raw);
    return 0;
}
