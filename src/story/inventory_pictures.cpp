#include "story/inventory_pictures.h"

#include <cstdio>
#include <cstring>

#include "base/paths.h"
#include "core/handles.h"
#include "rules/icons.h"
#include "rules/items_file.h"

std::vector<uint16_t> aligned_pal8_record(const void* bytes, size_t length) {
    if (!bytes || length < PICTURE_HEADER_BYTES || !picture_record_valid(bytes, length)) return {};
    std::vector<uint16_t> words((length + 1) / 2, 0);
    std::memcpy(words.data(), bytes, length);
    if (reinterpret_cast<const picture*>(words.data())->type != PIC_PAL8) return {};
    return words;
}

const picture* file_inventory_pictures::cached(const std::string& key, int group, const std::string& name) {
    auto found = pictures_.find(key);
    if (found == pictures_.end()) {
        std::vector<uint16_t> words;
        const auto folder = static_cast<path_group>(group);
        if (!name.empty() && resource_available(folder, name.c_str())) {
            int32_t length = 0;
            void* data = load_file(name.c_str(), folder, &length);
            picture* decoded = nullptr;
            const int32_t size = decode_pcx(data, length, PIC_PAL8, &decoded);
            free_file_data(data);
            if (size > 0 && decoded) words = aligned_pal8_record(decoded, static_cast<size_t>(size));
            if (decoded) game_free(decoded);
        }
        found = pictures_.emplace(key, std::move(words)).first;
    }
    return found->second.empty() ? nullptr : reinterpret_cast<const picture*>(found->second.data());
}

const picture* file_inventory_pictures::figure(int face) {
    char name[16];
    std::snprintf(name, sizeof name, "CHAR%02x.PCX", face & 0xFF);
    return cached(std::string("figure:") + name, PATH_GUI, name);
}

const picture* file_inventory_pictures::worn(bool female, int number) {
    if (!names_ || number < 0) return nullptr;
    const auto& set = names_->picture_sets[female ? 2 : 1];
    if (number >= static_cast<int>(set.size())) return nullptr;
    return cached((female ? "female:" : "male:") + std::to_string(number), PATH_ITEMS,
                  set[static_cast<size_t>(number)]);
}

const void* file_inventory_pictures::icon_record(uint16_t icon, size_t& length) {
    length = 0;
    if (!icons_) return nullptr;
    const std::span<const uint8_t> bytes = icons_->icon_picture(icon);
    if (bytes.empty()) return nullptr;
    length = bytes.size();
    return bytes.data();
}

const picture* file_inventory_pictures::icon(uint16_t number) {
    const std::string key = "icon:" + std::to_string(number);
    auto found = pictures_.find(key);
    if (found == pictures_.end()) {
        size_t length = 0;
        const void* bytes = icon_record(number, length);
        found = pictures_.emplace(key, aligned_pal8_record(bytes, length)).first;
    }
    return found->second.empty() ? nullptr : reinterpret_cast<const picture*>(found->second.data());
}
