#include "world/screen_resources.h"

#include <map>

#include "gfx/font.h"
#include "gfx/picture.h"

namespace {

// Whether each resource's file exists, asked once per handle and run.
std::map<handle_id, bool> availability;

}  // namespace

bool screen_resource_available(handle_id id) {
    auto known = availability.find(id);
    if (known == availability.end()) {
        const handle_record* record = handle_info(id);
        // A handle not defined yet is asked again later: only what the
        // files say is remembered.
        if (!record || record->state == HANDLE_UNDEFINED) return false;
        bool available = true;
        if (record->state == HANDLE_DEFINED && record->name[0])
            available = resource_available(record->folder, record->name);
        known = availability.emplace(id, available).first;
    }
    return known->second;
}

bool screen_font(handle_id font, int32_t colour_spec) {
    if (!screen_resource_available(font)) return false;
    set_font(font, colour_spec);
    return true;
}

const picture* screen_picture(handle_id id) {
    if (!screen_resource_available(id)) return nullptr;
    const auto* pic = static_cast<const picture*>(get_handle_data(id));
    if (!pic || handle_length(id) < static_cast<int32_t>(PICTURE_HEADER_BYTES) ||
        !picture_record_valid(pic, static_cast<size_t>(handle_length(id))))
        return nullptr;
    return pic;
}

void forget_screen_pictures() {
    availability.clear();
}
