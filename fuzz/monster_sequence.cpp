// .SEQ frame lists: an input is six frame counts, then the list. Whatever the
// bytes, the reader stays within them and names at most 16 frames a kind,
// each a handle name short enough.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/handles.h"
#include "monsters/monster_anim.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!data || size < MONSTER_ANIM_KINDS) return 0;
    monster m;
    std::memcpy(m.frame_count, data, MONSTER_ANIM_KINDS);
    std::memcpy(m.anim_name, "GOBLIN", 7);
    monster_frame_names names;
    std::string bad;
    const bool ok = read_monster_frame_names(
        std::span<const uint8_t>(data + MONSTER_ANIM_KINDS, size - MONSTER_ANIM_KINDS), m, names, bad);
    if (!ok && bad.size() != 12) __builtin_trap();
    if (ok)
        for (int k = 0; k < MONSTER_ANIM_KINDS; ++k) {
            if (names.last_frame[static_cast<size_t>(k)] > MONSTER_MAX_FRAME) __builtin_trap();
            for (int f = 0; f <= names.last_frame[static_cast<size_t>(k)]; ++f)
                if (names.names[static_cast<size_t>(k)][static_cast<size_t>(f)].size() > HANDLE_NAME_MAX)
                    __builtin_trap();
        }
    return 0;
}
