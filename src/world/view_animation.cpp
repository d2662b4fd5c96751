#include "world/view_animation.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/event_ids.h"
#include "core/tasks.h"
#include "gfx/mgif.h"
#include "gfx/video_player.h"

namespace {

constexpr uint16_t TRANSPARENT = 0x8000;

struct overlay_state {
    bool running = false;
    bool mirror = false;
    int task = -1;
    std::vector<uint16_t> pixels;
    uint16_t palette[256] = {};
};
overlay_state overlay;

void overlay_handler(mgif_reader*, int type, const uint8_t* data, size_t length) {
    apply_picture_chunk(type, data, length, overlay.pixels.data(), MGIF_WIDTH, overlay.palette);
    if (type == MGIF_PALETTE) overlay.palette[0] |= TRANSPARENT;  // index 0 shows the view through
}

// Reads the animation frame by frame, one frame after each scene redraw.
// False when the task was asked to end.
bool play_once(const uint8_t* data, size_t size) {
    mgif_reader_ptr reader(mgif_open(data, size));
    if (!reader) return true;
    reader->handler = overlay_handler;
    for (;;) {
        if (!task_wait_event(EV_SCENE_REDRAWN)) return false;
        const bool more = mgif_next_frame(reader.get());
        if (!more || reader->error != mgif_error::none) return true;
    }
}

void animation_task(handle_id animation, int times) {
    lock_handle(animation);
    const auto* data = static_cast<const uint8_t*>(get_handle_data(animation));
    const int32_t length = handle_length(animation);
    bool going_on = data && length > 0;
    for (int i = 0; going_on && i < times; ++i)
        going_on = play_once(data, static_cast<size_t>(length));
    if (going_on) task_wait_event(EV_SCENE_REDRAWN);  // the last frame is seen once
    unlock_handle(animation);
    overlay.running = false;
    overlay.pixels.clear();
    overlay.pixels.shrink_to_fit();
}

bool has_data(handle_id animation) {
    const handle_record* r = handle_info(animation);
    if (!r || r->state == HANDLE_UNDEFINED) return false;
    return r->data || resource_available(r->folder, r->name);
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The handle of a file of the items folder, defined the first time.
handle_id file_handle(const std::string& file) {
    if (file.empty() || file.size() > HANDLE_NAME_MAX) return 0;
    const std::string stored = upper(file);
    if (const int found = find_handle(stored.c_str(), nullptr); found >= 0) {
        const handle_record* r = handle_info(static_cast<handle_id>(found));
        if (r && r->folder == PATH_ITEMS) return static_cast<handle_id>(found);
    }
    for (int id = VIEW_ANIMATION_HANDLES; id < VIEW_ANIMATION_HANDLES + VIEW_ANIMATION_HANDLE_COUNT; ++id) {
        const handle_record* r = handle_info(static_cast<handle_id>(id));
        if (r && r->state != HANDLE_UNDEFINED) continue;
        return define_handle(static_cast<handle_id>(id), stored.c_str(), nullptr, PATH_ITEMS)
                   ? static_cast<handle_id>(id)
                   : 0;
    }
    return 0;
}

}  // namespace

void start_view_animation(handle_id animation, bool mirror, int times) {
    if (overlay.running || animation == 0 || !has_data(animation)) return;
    overlay.running = true;
    overlay.mirror = mirror;
    overlay.pixels.assign(MGIF_PICTURE_BYTES, TRANSPARENT);
    std::fill(std::begin(overlay.palette), std::end(overlay.palette), TRANSPARENT);
    times = std::max(times, 1);
    overlay.task = create_task([animation, times] { animation_task(animation, times); });
}

void start_view_animation_file(const std::string& file, bool mirror) {
    start_view_animation(file_handle(file), mirror);
}

bool view_animation_running() {
    return overlay.running;
}

void draw_view_animation(uint16_t* target) {
    if (!overlay.running || overlay.pixels.size() != MGIF_PICTURE_BYTES) return;
    draw_overlay_doubled(target, overlay.pixels.data(), overlay.mirror);
}

void stop_view_animation() {
    if (overlay.task >= 0 && task_alive(overlay.task)) wait_task_end(overlay.task);
    overlay.task = -1;
    overlay.running = false;
    overlay.pixels.clear();
}
