#include "support/scripted_run.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "core/events.h"
#include "gfx/screen.h"
#include "platform/audio_device.h"
#include "platform/display.h"
#include "platform/headless_audio.h"
#include "sound/sound_system.h"
#include "startup/run/game_main.h"

namespace {

// report_fatal must not return: in a scripted run it unwinds back to run_scripted.
struct fatal_stop {
    std::string text;
};
[[noreturn]] void throw_fatal(const char* text) {
    throw fatal_stop{text ? text : ""};
}

}  // namespace

scripted_run_result run_scripted(const scripted_run_options& options) {
    scripted_run_result result;
    stop_flag = 0;  // a run before may have ended by the safety net
    char previous_dir[PATH_MAX];
    if (!getcwd(previous_dir, sizeof previous_dir)) throw std::runtime_error("getcwd failed");
    if (chdir(options.adventure_folder.c_str()) != 0)
        throw std::runtime_error("no adventure folder: " + options.adventure_folder);

    size_t next_checkpoint = 0;
    std::vector<uint64_t> checkpoints = options.checkpoints_ms;
    std::sort(checkpoints.begin(), checkpoints.end());
    // The audio device is pulled along the virtual clock.
    HeadlessAudioDevice* audio = nullptr;
    uint64_t audio_start_ms = 0;
    size_t audio_frames = 0;
    set_audio_device_factory([&] {
        auto device = std::make_unique<HeadlessAudioDevice>(options.audio_fails);
        audio = device.get();
        audio_start_ms = display_exists() ? display().milliseconds() : 0;
        audio_frames = 0;
        return device;
    });
    auto pull_audio = [&](uint64_t now_ms) {
        if (!audio || now_ms < audio_start_ms) return;
        const size_t due = static_cast<size_t>((now_ms - audio_start_ms) * 44100 / 1000);
        if (due <= audio_frames) return;
        audio->render_frames(due - audio_frames, options.capture_audio ? &result.audio : nullptr);
        audio_frames = due;
    };
    auto observe = [&](HeadlessDisplay& d) {
        pull_audio(d.milliseconds());
        while (next_checkpoint < checkpoints.size() && d.milliseconds() >= checkpoints[next_checkpoint]) {
            scripted_checkpoint c;
            c.requested_ms = checkpoints[next_checkpoint++];
            c.at_ms = d.milliseconds();
            c.frame_buffer.assign(frame_buffer, frame_buffer + SCREEN_WIDTH * SCREEN_HEIGHT);
            result.checkpoints.push_back(std::move(c));
            if (options.on_checkpoint) options.on_checkpoint(d.milliseconds());
        }
        if (options.stop_at_ms && d.milliseconds() >= options.stop_at_ms) stop_flag = 1;
    };
    set_display_factory([&] {
        auto d = std::make_unique<HeadlessDisplay>(
            options.ms_per_poll, options.coalesce_presents ? HeadlessDisplay::wake_mode::at_poll
                                                           : HeadlessDisplay::wake_mode::at_once);
        d->set_frame_limit(options.frame_limit);
        for (const scripted_input& in : options.script) d->inject(in);
        d->set_poll_observer(observe);
        return d;
    });

    start_params params;
    params.report_fatal = throw_fatal;
    params.config_path = options.config_file;
    params.language = options.language;
    params.adventure_path = options.adventure_file;
    params.intro = options.intro;
    params.menu = options.menu;
    try {
        result.exit_code = run_game(params);
    } catch (const fatal_stop& f) {
        result.fatal_message = f.text;
        result.exit_code = 1;
    }

    if (display_exists()) {
        auto& d = static_cast<HeadlessDisplay&>(display());
        d.close();  // shows what was still queued
        result.frames = d.frames();
        result.present_count = d.present_count();
        result.window_title = d.title();
        result.window_icon = d.window_icon();
        result.end_ms = d.milliseconds();
    }
    result.audio_start_ms = audio_start_ms;
    close_audio_device();
    // The channels may hold samples of handles the caller frees next.
    sound_system().stop_everything();
    set_audio_device_factory(nullptr);
    destroy_display();
    remove_display_hooks();
    set_display_factory(nullptr);
    if (chdir(previous_dir) != 0) throw std::runtime_error("cannot return to the previous folder");
    return result;
}

scripted_input script_key(uint64_t at_ms, uint16_t key_code) {
    scripted_input in;
    in.kind = scripted_input::KEY;
    in.at_ms = at_ms;
    in.key = key_code;
    return in;
}

scripted_input script_scancode(uint64_t at_ms, int sdl_scancode, bool shift, bool ctrl) {
    scripted_input in;
    in.kind = scripted_input::SCANCODE;
    in.at_ms = at_ms;
    in.scancode = sdl_scancode;
    in.shift = shift;
    in.ctrl = ctrl;
    return in;
}

scripted_input script_mouse_move(uint64_t at_ms, int x, int y) {
    scripted_input in;
    in.kind = scripted_input::MOUSE_MOVE;
    in.at_ms = at_ms;
    in.x = x;
    in.y = y;
    return in;
}

scripted_input script_click(uint64_t at_ms, int button, bool down) {
    scripted_input in;
    in.kind = scripted_input::MOUSE_BUTTON;
    in.at_ms = at_ms;
    in.button = button;
    in.down = down;
    return in;
}

scripted_input script_quit(uint64_t at_ms) {
    scripted_input in;
    in.kind = scripted_input::QUIT;
    in.at_ms = at_ms;
    return in;
}
