#include "story/story_pictures.h"

#include "base/strings.h"

const picture* window_picture(handle_id id) {
    const handle_record* record = handle_info(id);
    if (!record || record->state == HANDLE_UNDEFINED) return nullptr;
    if (record->state == HANDLE_DEFINED && record->name[0] &&
        !resource_available(record->folder, record->name))
        return nullptr;
    const auto* pic = static_cast<const picture*>(get_handle_data(id));
    const int32_t length = handle_length(id);
    if (!pic || length < PICTURE_HEADER_BYTES || !picture_record_valid(pic, static_cast<size_t>(length)))
        return nullptr;
    return pic;
}

const char* interface_text(int number) {
    const char* text = string_list_get(ui_strings, number);
    return text ? text : "";
}
