#include "gfx/video_player.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/paths.h"
#include "core/handles.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/mgif.h"
#include "gfx/screen.h"

namespace {

video_sound sound_seam;
video_display display_seam;
uint32_t frames_shown = 0;
const string_list* subtitles = nullptr;
constexpr int SUBTITLE_BOTTOM = SCREEN_HEIGHT - 2;  // the first top row: nothing drawn yet
int subtitle_top = SUBTITLE_BOTTOM;

// A ring that stays full this long (the sound output is gone) no longer
// holds the video back: the rest plays without its sound.
constexpr int RING_WAIT_MS = 5;
constexpr int RING_WAIT_LIMIT_MS = 5000;

struct player_state {
    std::vector<uint16_t> picture = std::vector<uint16_t>(MGIF_PICTURE_BYTES, 0);
    uint16_t palette[256] = {};
    bool sound_lost = false;
};

bool quit_requested() {
    return display_seam.quit_requested && display_seam.quit_requested();
}

void write_sound(mgif_reader* reader, player_state& state, const uint8_t* codes, size_t count) {
    if (!sound_seam.write_delta || state.sound_lost) return;
    int waited = 0;
    while (!sound_seam.write_delta(codes, count, reader->sound_table, reader->accumulator,
                                   &reader->sound_cursor)) {
        if (quit_requested() || waited >= RING_WAIT_LIMIT_MS) {
            state.sound_lost = true;
            return;
        }
        if (display_seam.wait) display_seam.wait(RING_WAIT_MS);
        waited += RING_WAIT_MS;
    }
}

void frame_handler(mgif_reader* reader, int type, const uint8_t* data, size_t length) {
    auto& state = *static_cast<player_state*>(reader->user);
    if (apply_picture_chunk(type, data, length, state.picture.data(), MGIF_WIDTH, state.palette)) return;
    if (type == MGIF_SOUND) write_sound(reader, state, data, length);
}

bool key_taken() {
    return display_seam.take_key && display_seam.take_key();
}

void suppress_crt(bool suppressed) {
    if (display_seam.set_crt_suppressed) display_seam.set_crt_suppressed(suppressed);
}

video_end play_opened(const uint8_t* data, size_t size, int top_row) {
    if (top_row < 0) top_row = 0;
    if (top_row > SCREEN_HEIGHT - 2 * MGIF_HEIGHT) top_row = SCREEN_HEIGHT - 2 * MGIF_HEIGHT;
    suppress_crt(true);
    if (sound_seam.start) sound_seam.start(MGIF_SOUND_RATE, MGIF_RING_BYTES);
    player_state state;
    mgif_reader_ptr reader(mgif_open(data, size));
    if (!reader) {
        suppress_crt(false);
        return video_end::missing;
    }
    reader->user = &state;
    reader->handler = frame_handler;
    reader->sound_cursor = MGIF_RING_START_CURSOR;
    reader->accumulator[0] = reader->accumulator[1] = 0;

    video_end end = video_end::finished;
    for (;;) {
        const bool more = mgif_next_frame(reader.get());
        if (reader->error != mgif_error::none) {
            end = video_end::corrupt;
            break;
        }
        if (reader->frames_read == 0) break;  // a file of no frames shows nothing
        upscale_video_frame(state.picture.data(), frame_buffer + static_cast<size_t>(top_row) * SCREEN_PITCH,
                            SCREEN_PITCH);
        present_rect(0, top_row, SCREEN_WIDTH, 2 * MGIF_HEIGHT);
        ++frames_shown;
        if (subtitles) draw_subtitle(reader->frames_read);
        if (quit_requested() || key_taken()) {
            end = video_end::skipped;
            break;
        }
        if (!more) break;
    }
    reader.reset();
    suppress_crt(false);
    if (end != video_end::finished && sound_seam.stop) sound_seam.stop();
    return end;
}

}  // namespace

void set_video_sound(const video_sound& sound) {
    sound_seam = sound;
}

const video_sound& current_video_sound() {
    return sound_seam;
}

void set_video_display(const video_display& display) {
    display_seam = display;
}

const video_display& current_video_display() {
    return display_seam;
}

void set_video_subtitles(const string_list* list) {
    subtitles = list;
}

void draw_subtitle(uint32_t frames) {
    if (frames < 2) subtitle_top = SUBTITLE_BOTTOM;
    if (!subtitles || frames >= static_cast<uint32_t>(string_list_count(*subtitles))) return;
    const char* entry = string_list_get(*subtitles, static_cast<int>(frames));
    if (!entry) return;
    const std::string_view text = entry;
    const int h = text_height(text);
    const uint16_t colour = draw_colour;
    draw_colour = 0;
    fill_rect(0, subtitle_top, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
    draw_colour = colour;
    const size_t split = text.find('\n');
    const std::string_view first = text.substr(0, split);
    set_aligned_position(SCREEN_WIDTH / 2, SCREEN_HEIGHT - 5 - 2 * h, ALIGN_CENTRE, ALIGN_START, first);
    draw_text(first);
    if (split != std::string_view::npos) {
        const std::string_view second = text.substr(split + 1);
        set_aligned_position(SCREEN_WIDTH / 2, SCREEN_HEIGHT - 3 - h, ALIGN_CENTRE, ALIGN_START, second);
        draw_text(second);
    }
    const int top = std::min(subtitle_top, SCREEN_HEIGHT - 5 - 2 * h);
    present_rect(0, top, SCREEN_WIDTH, SCREEN_HEIGHT - top);
    subtitle_top = SCREEN_HEIGHT - 5 - 2 * h;
}

void draw_overlay_doubled(uint16_t* target, const uint16_t* pixels, bool mirror) {
    for (int y = 0; y < MGIF_HEIGHT; ++y) {
        const uint16_t* s = pixels + static_cast<size_t>(y) * MGIF_WIDTH;
        uint16_t* top = target + static_cast<size_t>(2 * y) * SCREEN_PITCH;
        uint16_t* bottom = top + SCREEN_PITCH;
        for (int x = 0; x < MGIF_WIDTH; ++x) {
            const uint16_t p = s[x];
            if (p & 0x8000) continue;
            const int column = mirror ? 2 * (MGIF_WIDTH - 1 - x) : 2 * x;
            top[column] = top[column + 1] = bottom[column] = bottom[column + 1] = p;
        }
    }
}

uint32_t video_frames_shown() {
    return frames_shown;
}

video_end play_video_data(const uint8_t* data, size_t size, int top_row) {
    frames_shown = 0;
    if (sound_seam.stop_music) sound_seam.stop_music();
    if (!data) return video_end::missing;
    return play_opened(data, size, top_row);
}

video_end play_video(const std::string& file, int top_row) {
    frames_shown = 0;
    if (sound_seam.stop_music) sound_seam.stop_music();
    if (file.empty() || !resource_available(PATH_VIDEO, file.c_str())) return video_end::missing;
    int32_t length = 0;
    void* data = load_file(file.c_str(), PATH_VIDEO, &length);
    if (!data) return video_end::missing;
    const video_end end =
        play_opened(static_cast<const uint8_t*>(data), length > 0 ? static_cast<size_t>(length) : 0, top_row);
    free_file_data(data);
    return end;
}

void upscale_video_frame(const uint16_t* picture, uint16_t* target, int pitch) {
    constexpr int W = MGIF_WIDTH, H = MGIF_HEIGHT;
    // The even rows: copied pixels and the ones between them.
    for (int y = 0; y < H; ++y) {
        const uint16_t* s = picture + static_cast<size_t>(y) * W;
        uint16_t* row = target + static_cast<size_t>(2 * y) * pitch;
        for (int x = 0; x < W; ++x) row[2 * x] = s[x];
        for (int x = 0; x <= W - 2; ++x) {
            const uint16_t before = s[x == 0 ? 0 : x - 1];
            const uint16_t after = s[x >= W - 2 ? x + 1 : x + 2];
            row[2 * x + 1] = blend50(blend50(s[x], s[x + 1]), blend50(before, after));
        }
    }
    // The odd rows between them, at half brightness.
    auto R = [&](int n) { return target + static_cast<size_t>(2 * n) * pitch; };
    for (int y = 0; y <= H - 2; ++y) {
        const uint16_t* a = R(y);
        const uint16_t* b = R(y + 1);
        const uint16_t* above = R(y < 2 ? y : y - 1);
        const uint16_t* below = R(y >= H - 2 ? y + 1 : y + 2);
        uint16_t* row = target + static_cast<size_t>(2 * y + 1) * pitch;
        for (int k = 0; k < 2 * W; ++k)
            row[k] = blend50(blend50(blend50(a[k], b[k]), blend50(above[k], below[k])), 0);
    }
}
