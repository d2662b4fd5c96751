#include "core/events_cursor.h"

#include <cstring>
#include <memory>

#include "base/fatal.h"

namespace {

void no_display(const void*, size_t, int, int) {}

cursor_display_fn display_cursor = no_display;
int hide_count = 1;  // hidden until start-up shows it
const void* current_picture = nullptr;
size_t current_length = 0;
int hot_x = 0, hot_y = 0;
const void* shown_picture = nullptr;  // last picture handed to the display
int choice = 1 << 30;                 // matches no real choice
handle_id icon_base = 0;
std::unique_ptr<uint8_t[]> icon_buffer;

void hand_over() {
    shown_picture = current_picture;
    display_cursor(current_picture, current_length, hot_x, hot_y);
}

}  // namespace

void set_cursor_display(cursor_display_fn fn) {
    display_cursor = fn ? fn : no_display;
}

void hide_cursor() {
    if (hide_count < 255) ++hide_count;
    if (hide_count == 1 && shown_picture) {
        shown_picture = nullptr;
        display_cursor(nullptr, 0, 0, 0);
    }
}

void show_cursor() {
    if (hide_count == 0) return;
    if (--hide_count == 0 && current_picture != shown_picture) hand_over();
}

void force_show_cursor() {
    hide_count = 1;
    show_cursor();
}

bool cursor_visible() {
    return hide_count == 0;
}

int cursor_hide_count() {
    return hide_count;
}

void set_cursor_picture(const void* picture, size_t length, int x, int y) {
    current_picture = picture;
    current_length = picture ? length : 0;
    hot_x = x;
    hot_y = y;
    if (hide_count == 0) hand_over();
}

void set_cursor_hotspot(int x, int y) {
    hot_x = x;
    hot_y = y;
    if (hide_count == 0 && current_picture) hand_over();
}

void set_mouse_cursor(int new_choice) {
    if (new_choice == choice) return;
    hide_cursor();
    if (choice > 0 && choice < 0x10000) unlock_handle(static_cast<handle_id>(choice));
    choice = new_choice;
    if (new_choice > 0) {
        auto id = static_cast<handle_id>(new_choice);
        lock_handle(id);
        const void* data = get_handle_data(id);  // loads it: the length is then the decoded one
        const int32_t length = handle_length(id);
        set_cursor_picture(data, length > 0 ? static_cast<size_t>(length) : 0, 0, 0);
    } else {
        int icon = -new_choice;
        auto library = static_cast<handle_id>(icon_base + icon / ICONS_PER_LIBRARY);
        const auto* data = static_cast<const uint8_t*>(get_handle_data(library));
        int32_t offset = icon % ICONS_PER_LIBRARY * ICON_SIZE;
        if (!data || handle_length(library) < offset + ICON_SIZE) {
            display_error("Item icon %d is missing from its icon library", icon);
        } else {
            if (!icon_buffer) icon_buffer = std::make_unique<uint8_t[]>(ICON_SIZE);
            std::memcpy(icon_buffer.get(), data + offset, ICON_SIZE);
            // A new pointer value is not needed: the display gets the copy again.
            shown_picture = nullptr;
            set_cursor_picture(icon_buffer.get(), ICON_SIZE, ICON_HOT_X, ICON_HOT_Y);
        }
    }
    show_cursor();
}

int mouse_cursor_choice() {
    return choice;
}

void set_icon_library_base(handle_id base) {
    icon_base = base;
}

void reset_cursor() {
    hide_count = 1;
    current_picture = shown_picture = nullptr;
    current_length = 0;
    hot_x = hot_y = 0;
    choice = 1 << 30;
}
