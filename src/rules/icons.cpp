#include "rules/icons.h"

#include <cstdio>

std::string icon_library_name(int library) {
    char name[32];
    std::snprintf(name, sizeof name, "IKONY%02d.LIB", library);
    return name;
}

int count_icon_libraries(const std::function<bool(const std::string& name)>& exists) {
    int count = 0;
    // Icon numbers are 16-bit, so no more libraries than that can be named.
    while (count * ICONS_PER_LIBRARY <= 0xFFFF && exists(icon_library_name(count))) ++count;
    return count;
}

void icon_libraries::add_library(std::vector<uint8_t> bytes) {
    libraries_.push_back(std::move(bytes));
}

std::span<const uint8_t> icon_libraries::icon_picture(uint16_t icon) const {
    const size_t library = icon / ICONS_PER_LIBRARY;
    const size_t offset = static_cast<size_t>(icon % ICONS_PER_LIBRARY) * ICON_PICTURE_BYTES;
    if (library >= libraries_.size()) return {};
    const std::vector<uint8_t>& bytes = libraries_[library];
    if (bytes.size() < offset + ICON_PICTURE_BYTES) return {};
    return std::span<const uint8_t>(bytes.data() + offset, ICON_PICTURE_BYTES);
}
