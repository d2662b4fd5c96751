// Texts: labels, centred labels, close labels and the title bar that moves
// its window.
#include "gfx/draw.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

namespace {
void label_draw(int, int, int, int, ui_object* object) {
    // At the text cursor, the object's corner, over whatever lies there.
    draw_text(caption_of(object));
}

void centred_draw(int x1, int y1, int x2, int, ui_object* object) {
    const std::string& caption = caption_of(object);
    set_aligned_position((x1 + x2) / 2, y1, ALIGN_CENTRE, ALIGN_START, caption);
    draw_text(caption);
}

void close_label_event(event_msg& msg, ui_object*) {
    const mouse_record* mouse = mouse_of(msg);
    if (mouse && mouse->left) stop_flag = 1;
}

struct title_block : caption_block {
    bool dragging = false;
    int grab_x = 0, grab_y = 0;  // mouse position relative to the window corner
};

void title_init(ui_object* object, event_msg& args) {
    auto block = std::make_unique<title_block>();
    if (const char* text = args.next_text()) block->caption = text;
    object->private_block = std::move(block);
}

void title_draw(int x1, int y1, int x2, int y2, ui_object* object) {
    fill_rect(x1, y1, x2, y2);
    const std::string& caption = caption_of(object);
    set_aligned_position(x1 + 5, (y1 + y2) / 2, ALIGN_START, ALIGN_CENTRE, caption);
    draw_text(caption);
}

void title_event(event_msg& msg, ui_object* object) {
    auto* block = object->private_as<title_block>();
    ui_window* window = object_window(object);
    if (msg.number == UI_EV_FOCUS_OUT) block->dragging = false;
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !window) return;
    if (!mouse->left) {
        block->dragging = false;
        return;
    }
    if (mouse->events & MOUSE_EV_LEFT_DOWN) {
        mouse_capture = object;
        block->dragging = true;
        block->grab_x = mouse->x - window->x;
        block->grab_y = mouse->y - window->y;
        return;
    }
    if (!block->dragging) return;
    const int16_t old_x = window->x, old_y = window->y;
    window->x = static_cast<int16_t>(mouse->x - block->grab_x);
    window->y = static_cast<int16_t>(mouse->y - block->grab_y);
    clamp_window(window);
    if ((window->x != old_x || window->y != old_y) && window == top_window) redraw_window();
}
}  // namespace

void ui_label(ui_object* object) {
    object->init = keep_caption;
    object->draw = label_draw;
}

void ui_centred_label(ui_object* object) {
    object->init = keep_caption;
    object->draw = centred_draw;
}

void ui_close_label(ui_object* object) {
    object->init = keep_caption;
    object->draw = label_draw;
    object->event = close_label_event;
}

void ui_title_bar(ui_object* object) {
    object->init = title_init;
    object->draw = title_draw;
    object->event = title_event;
}
