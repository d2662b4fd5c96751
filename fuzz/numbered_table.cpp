// The numbered text table reader, plain and scrambled. The first byte
// chooses the form: odd bytes mean the rest is the .ENC form.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1) bytes = unscramble_enc(bytes);
    string_list list = string_list_create(4);
    int result = parse_numbered_table(list, bytes);
    if (result < TABLE_NO_MEMORY) __builtin_trap();
    // Record numbers are entry indexes, never more.
    if (string_list_count(list) > 2 * 65536) __builtin_trap();
    for (const auto& entry : list.entries)
        if (entry && entry->size() > 1021) __builtin_trap();
    // Scrambling is undone exactly.
    if (unscramble_enc(scramble_enc(bytes)) != bytes) __builtin_trap();
    return 0;
}
