#include "story/held_items.h"

#include "core/events_cursor.h"
#include "core/handles.h"
#include "story/inventory_pictures.h"

namespace {

// The icon is handed to the cursor straight from the loaded libraries, so
// the cursor's own choice stays the ordinary one and has to be shown again
// by hand when the icon goes.
bool icon_on_cursor = false;

void ordinary_cursor() {
    set_mouse_cursor(DEFAULT_CURSOR);
    if (!icon_on_cursor) return;
    icon_on_cursor = false;
    const void* data = get_handle_data(DEFAULT_CURSOR);
    const int32_t length = handle_length(DEFAULT_CURSOR);
    set_cursor_picture(data, data && length > 0 ? static_cast<size_t>(length) : 0, 0, 0);
}

}  // namespace

// The one hand of the game: the floor and the map's scripts fill the same list.
held_list& held_items() {
    return game_held();
}

void show_held_cursor(const held_list& held, const item_table& items, inventory_pictures* pictures) {
    const item_def* first = held.empty() ? nullptr : items.find(held.front());
    size_t length = 0;
    const void* record = first && pictures ? pictures->icon_record(first->icon, length) : nullptr;
    if (!record) {
        ordinary_cursor();
        return;
    }
    set_mouse_cursor(DEFAULT_CURSOR);
    set_cursor_picture(record, length, ICON_HOT_X, ICON_HOT_Y);
    icon_on_cursor = true;
}
