// Objects: definition, properties and values.
#include <algorithm>
#include <cstring>

#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

void ui_default_init(ui_object*, event_msg&) {}
void ui_default_draw(int, int, int, int, ui_object*) {}
void ui_default_event(event_msg&, ui_object*) {}
void ui_default_destroy(ui_object*) {}
void ui_default_hook() {}

std::string ui_object::text() const {
    if (value.empty()) return {};
    const auto* bytes = reinterpret_cast<const char*>(value.data());
    return std::string(bytes, strnlen(bytes, value.size()));
}

namespace {
void insert_in_focus_order(ui_window* window, ui_object* object) {
    auto& order = window->focus_order;
    if (order.empty() || object->id < order.front()->id) {
        order.insert(order.begin(), object);
        return;
    }
    auto at = std::find_if(order.begin() + 1, order.end(), [&](ui_object* o) { return o->id >= object->id; });
    order.insert(at, object);
}

void allocate_value(ui_object* object) {
    if (object->value_length < 0) object->value_length = 0;
    object->value.assign(static_cast<size_t>(object->value_length), 0);
}

// The value bytes a text becomes: cut to leave room for the terminating NUL,
// then NUL-padded to the value's length.
std::vector<uint8_t> text_bytes(const ui_object* object, const char* text) {
    std::vector<uint8_t> bytes(object->value.size(), 0);
    if (!text || bytes.empty()) return bytes;
    const size_t n = std::min(strlen(text), bytes.size() - 1);
    std::memcpy(bytes.data(), text, n);
    return bytes;
}

int store_value(int64_t window_id, int object_id, const std::vector<uint8_t>& bytes) {
    ui_object* object = find_object(window_id, object_id);
    if (!object) return 0;
    if (object->value != bytes) {
        object->value = bytes;
        if (object_window(object) == top_window) redraw_object(object);
    }
    return 1;
}

std::vector<uint8_t> raw_bytes(const ui_object* object, const void* source, size_t length) {
    std::vector<uint8_t> bytes(object->value.size(), 0);
    if (source) std::memcpy(bytes.data(), source, std::min(length, bytes.size()));
    return bytes;
}

std::vector<uint8_t> int_bytes(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)};
}
}  // namespace

ui_object* define_object_with(uint16_t id, int x, int y, int w, int h, int alignment, object_class_fn cls,
                              event_msg& class_args) {
    ui_window* window = top_window;
    if (!window) return nullptr;
    auto* object = new ui_object;
    object->id = id;
    object->x = static_cast<int16_t>(x);
    object->y = static_cast<int16_t>(y);
    object->w = static_cast<int16_t>(w);
    object->h = static_cast<int16_t>(h);
    object->alignment = static_cast<uint8_t>(alignment & 3);
    object->colour = window->background;
    object->font = window_font_defaults;
    if (cls) cls(object);
    if (object->value_length != 0) allocate_value(object);
    class_args.rewind();
    object->init(object, class_args);
    if (object->value_length != 0 && static_cast<int32_t>(object->value.size()) != object->value_length)
        object->value.resize(static_cast<size_t>(std::max(object->value_length, 0)), 0);

    if (!window->objects) {
        window->objects = object;
        focused_object = nullptr;
    } else {
        ui_object* last = window->objects;
        while (last->next) last = last->next;
        last->next = object;
    }
    last_object = object;
    insert_in_focus_order(window, object);
    return object;
}

void set_object_props(const frame_style* frame, int font_handle, const uint16_t* colours, int32_t colour) {
    ui_object* object = last_object;
    if (!object) return;
    if (frame) object->frame = *frame;
    if (font_handle >= 0) object->font.handle = font_handle;
    if (colours) std::copy(colours, colours + FONT_COLOUR_SLOTS, object->font.colours.begin());
    if (colour != -1) object->colour = static_cast<uint16_t>(colour);
}

const uint16_t* uniform_colours(uint16_t c) {
    static uint16_t table[FONT_COLOUR_SLOTS];
    table[0] = 0xFFFF;
    for (int i = 1; i < FONT_COLOUR_SLOTS; ++i) table[i] = c;
    return table;
}

void set_action(ui_hook_fn fn) {
    if (last_object) last_object->action = fn ? fn : ui_default_hook;
}
void set_event_hook(object_event_fn fn) {
    if (last_object) last_object->event_hook = fn ? fn : ui_default_event;
}
void set_focus_gained_hook(ui_hook_fn fn) {
    if (last_object) last_object->focus_gained = fn ? fn : ui_default_hook;
}
void set_focus_lost_hook(ui_hook_fn fn) {
    if (last_object) last_object->focus_lost = fn ? fn : ui_default_hook;
}

ui_object* find_object(int64_t window_id, int object_id) {
    if (window_id < 0 || window_id > UINT32_MAX) return nullptr;
    ui_window* window = window_id == 0 ? top_window : find_window(static_cast<uint32_t>(window_id));
    if (!window) return nullptr;
    for (ui_object* o = window->objects; o; o = o->next)
        if (o->id == object_id) return o;
    return nullptr;
}

int set_object_text(int64_t window_id, int object_id, const char* text) {
    ui_object* object = find_object(window_id, object_id);
    return object ? store_value(window_id, object_id, text_bytes(object, text)) : 0;
}

int set_object_data(int64_t window_id, int object_id, const void* bytes, int length) {
    ui_object* object = find_object(window_id, object_id);
    if (!object) return 0;
    return store_value(window_id, object_id,
                       raw_bytes(object, bytes, static_cast<size_t>(std::max(length, 0))));
}

int set_object_value(int64_t window_id, int object_id, int32_t value) {
    const auto bytes = int_bytes(value);
    return set_object_data(window_id, object_id, bytes.data(), 4);
}

void set_last_text(const char* text) {
    if (last_object) last_object->value = text_bytes(last_object, text);
}

void set_last_value(int32_t value) {
    if (!last_object) return;
    const auto bytes = int_bytes(value);
    last_object->value = raw_bytes(last_object, bytes.data(), 4);
}

int32_t get_object_value(int64_t window_id, int object_id) {
    ui_object* object = find_object(window_id, object_id);
    return object ? value_int(object) : 0;
}

int get_object_data(int64_t window_id, int object_id, void* destination, size_t capacity) {
    ui_object* object = find_object(window_id, object_id);
    if (!object || !destination) return 0;
    const size_t n = std::min(capacity, object->value.size());
    if (n) std::memcpy(destination, object->value.data(), n);
    return static_cast<int>(n);
}

void keep_caption(ui_object* object, event_msg& args) {
    auto block = std::make_unique<caption_block>();
    if (const char* text = args.next_text()) block->caption = text;
    object->private_block = std::move(block);
}

const std::string& caption_of(ui_object* object) {
    static const std::string none;
    auto* block = dynamic_cast<caption_block*>(object->private_block.get());
    return block ? block->caption : none;
}

uint8_t value_byte(const ui_object* object) {
    return object->value.empty() ? 0 : object->value[0];
}
void set_value_byte(ui_object* object, uint8_t v) {
    if (!object->value.empty()) object->value[0] = v;
}
int32_t value_int(const ui_object* object) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4 && i < object->value.size(); ++i)
        v |= static_cast<uint32_t>(object->value[i]) << (8 * i);
    return static_cast<int32_t>(v);
}
void set_value_int(ui_object* object, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (size_t i = 0; i < 4 && i < object->value.size(); ++i)
        object->value[i] = static_cast<uint8_t>(u >> (8 * i));
}
