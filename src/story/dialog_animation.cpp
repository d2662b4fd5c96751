#include "story/dialog_animation.h"

#include <memory>

#include "base/paths.h"
#include "core/event_ids.h"
#include "core/events.h"
#include "core/events_cursor.h"
#include "core/handles.h"
#include "core/tasks.h"
#include "gfx/mgif.h"
#include "gfx/screen.h"
#include "story/dialog_screen.h"

namespace {

// One animation being played: its file, where its pictures go and the
// palette of its last palette chunk. Everything the task needs is here, so
// it shares nothing with the other animations of the game.
struct playing {
    void* file = nullptr;
    size_t size = 0;
    int ticks = 1;
    bool once = false;
    uint16_t palette[256] = {};

    playing() = default;
    playing(const playing&) = delete;
    playing& operator=(const playing&) = delete;
    ~playing() { free_file_data(file); }
};

int task_id = -1;
int holds = 0;
int frames_drawn = 0;

uint16_t* picture_area() {
    return frame_buffer + size_t(DIALOG_PICTURE_Y) * SCREEN_PITCH + DIALOG_PICTURE_X;
}

void frame_handler(mgif_reader* reader, int type, const uint8_t* data, size_t length) {
    auto& state = *static_cast<playing*>(reader->user);
    // The sound of a dialog animation is not played.
    apply_picture_chunk(type, data, length, picture_area(), SCREEN_PITCH, state.palette);
}

mgif_reader_ptr open_reader(playing& state) {
    mgif_reader_ptr reader(mgif_open(state.file, state.size));
    if (reader) {
        reader->user = &state;
        reader->handler = frame_handler;
    }
    return reader;
}

bool cursor_over_picture() {
    return mouse_state.x >= DIALOG_PICTURE_X && mouse_state.x < DIALOG_PICTURE_X + MGIF_WIDTH &&
           mouse_state.y >= DIALOG_PICTURE_Y && mouse_state.y < DIALOG_PICTURE_Y + MGIF_HEIGHT;
}

// Draws the reader's next frame. False when the animation has ended: after
// its last frame (played once), or at a corrupt frame or a file of no frames.
bool draw_next_frame(playing& state, mgif_reader_ptr& reader) {
    const bool hidden = cursor_over_picture();
    if (hidden) hide_cursor();
    const bool more = mgif_next_frame(reader.get());
    const bool shown = reader->error == mgif_error::none && reader->frames_read > 0;
    if (shown) {
        present_rect(DIALOG_PICTURE_X, DIALOG_PICTURE_Y, MGIF_WIDTH, MGIF_HEIGHT);
        ++frames_drawn;
    }
    if (hidden) show_cursor();
    if (!shown) return false;
    if (more) return true;
    if (state.once) return false;
    reader = open_reader(state);  // from the first frame again
    return reader != nullptr;
}

void play(playing& state) {
    mgif_reader_ptr reader = open_reader(state);
    if (!reader || !draw_next_frame(state, reader)) return;
    int counted = 0;
    // Null once the dialog asks the task to end.
    while (event_msg* tick = task_wait_event(EV_TICK)) {
        const int elapsed = tick->next_int();
        if (elapsed > 0) counted += elapsed;
        if (counted < state.ticks || holds > 0) continue;
        counted = 0;  // a stalled clock does not bring a burst of frames
        if (!draw_next_frame(state, reader)) return;
    }
}

}  // namespace

void start_dialog_animation(const std::string& file, int ticks, int once) {
    stop_dialog_animation();
    frames_drawn = 0;
    if (file.empty() || !resource_available(PATH_DIALOGS, file.c_str())) return;
    auto state = std::make_shared<playing>();
    int32_t length = 0;
    state->file = load_file(file.c_str(), PATH_DIALOGS, &length);
    if (!state->file || length <= 0) return;
    state->size = size_t(length);
    state->ticks = ticks < 1 ? 1 : ticks;
    state->once = once != 0;
    const int id = create_task([state] {
        play(*state);
        if (task_id == current_task_id()) task_id = -1;  // the id may go to another task later
    });
    // A short animation may have ended already.
    task_id = task_alive(id) ? id : -1;
}

void stop_dialog_animation() {
    const int id = task_id;
    task_id = -1;
    if (id >= 0) wait_task_end(id);
}

bool dialog_animation_running() {
    if (task_id >= 0 && !task_alive(task_id)) task_id = -1;
    return task_id >= 0;
}

void hold_dialog_animation() {
    ++holds;
}

void release_dialog_animation() {
    if (holds > 0) --holds;
}

int dialog_animation_frames() {
    return frames_drawn;
}
