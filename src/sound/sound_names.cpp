#include "sound/sound_names.h"

#include <cstring>

#include "core/handle_ids.h"
#include "core/handles.h"
#include "sound/wave_data.h"
#include "world/map.h"

namespace {

sound_name_list names;

std::optional<std::string> name_or_unset(const char* text, std::size_t length) {
    if (length == 0) return std::nullopt;
    return std::string(text, length);
}

}  // namespace

std::optional<sound_name_list> parse_sound_dat(const uint8_t* data, std::size_t size) {
    if (!data || size < 4) return std::nullopt;
    const uint32_t count = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                           uint32_t(data[3]) << 24;
    sound_name_list out;
    std::size_t at = 4;
    for (uint32_t i = 0; i < count; ++i) {
        // Every name takes at least one byte, so a count beyond the bytes
        // left is a lie found here, before anything is reserved for it.
        if (at >= size) return std::nullopt;
        const auto* text = reinterpret_cast<const char*>(data + at);
        const void* end = std::memchr(text, 0, size - at);
        const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : size - at;
        out.push_back(name_or_unset(text, length));
        at += length + 1;
    }
    return out;
}

void sound_load_map_names(const loaded_map& map) {
    if (!map.has_sounds) {
        sound_load_global_names();
        return;
    }
    names.clear();
    names.reserve(map.sounds.size());
    for (const auto& name : map.sounds)
        names.push_back(name && !name->empty() ? name : std::nullopt);
}

void sound_load_global_names() {
    names.clear();
    // An adventure without sound.dat has no numbered sounds.
    if (!handle_resource_present(H_SOUND_TABLE)) return;
    const void* data = get_handle_data(H_SOUND_TABLE);
    const int32_t length = handle_length(H_SOUND_TABLE);
    if (!data || length <= 0) return;
    if (auto list = parse_sound_dat(static_cast<const uint8_t*>(data), static_cast<std::size_t>(length)))
        names = std::move(*list);
}

const char* sound_name(int number) {
    if (number < 1 || static_cast<std::size_t>(number) > names.size()) return nullptr;
    const auto& name = names[static_cast<std::size_t>(number - 1)];
    return name ? name->c_str() : nullptr;
}

const sound_name_list& sound_names() { return names; }
