#include "rules/item_pictures.h"

#include <algorithm>
#include <array>

#include "core/decoders.h"

namespace {

struct picture_set {
    handle_id base = 0;
    int count = 0;
};
std::array<picture_set, ITEM_PICTURE_SETS> sets;
picture_set animations;

constexpr int LAST_HANDLE = 0xFFFF;

}  // namespace

void register_item_pictures(const items_file& names) {
    for (const picture_set& set : sets)
        for (int p = 0; p < set.count; ++p) undefine_handle(static_cast<handle_id>(set.base + p));
    for (int p = 0; p < animations.count; ++p) undefine_handle(static_cast<handle_id>(animations.base + p));
    int next = ITEM_PICTURE_HANDLES;
    for (int s = 0; s < ITEM_PICTURE_SETS; ++s) {
        const std::vector<std::string>& list = names.picture_sets[static_cast<size_t>(s)];
        picture_set& set = sets[static_cast<size_t>(s)];
        set.base = static_cast<handle_id>(next);
        set.count = std::min<int>(static_cast<int>(list.size()), LAST_HANDLE + 1 - next);
        for (int p = 0; p < set.count; ++p) {
            const std::string& name = list[static_cast<size_t>(p)];
            if (name.empty() || name.size() > HANDLE_NAME_MAX) continue;
            define_handle(static_cast<handle_id>(next + p), name.c_str(),
                          decoder_for(decoder_id::pcx_to_fade), PATH_ITEMS);
        }
        next += set.count;
    }
    // The weapons' attack animations follow, kept as the file's bytes.
    animations.base = static_cast<handle_id>(next);
    animations.count = std::min<int>(static_cast<int>(names.animations.size()), LAST_HANDLE + 1 - next);
    for (int p = 0; p < animations.count; ++p) {
        const std::string& name = names.animations[static_cast<size_t>(p)];
        if (name.empty() || name.size() > HANDLE_NAME_MAX) continue;
        define_handle(static_cast<handle_id>(next + p), name.c_str(), nullptr, PATH_ITEMS);
    }
}

handle_id item_animation_handle(int number) {
    if (number < 0 || number >= animations.count) return 0;
    return static_cast<handle_id>(animations.base + number);
}

handle_id item_picture_handle(int set, int number) {
    if (set < 1 || set > ITEM_PICTURE_SETS) return 0;
    const picture_set& s = sets[static_cast<size_t>(set - 1)];
    if (number < 0 || number >= s.count) return 0;
    return static_cast<handle_id>(s.base + number);
}
