#pragma once
// A scripted run of the whole program for end-to-end tests: the real start
// path (run_game) on the headless display, with the input of a script fed at
// virtual times and the screen captured at checkpoints. Everything runs on
// the calling thread with a virtual clock, so a run is deterministic.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless_display.h"

struct scripted_run_options {
    std::string adventure_folder;               // the run starts in this folder
    std::string config_file = "vorthan.ini";    // relative to adventure_folder
    std::optional<std::string> language;        // -l
    std::optional<std::string> adventure_file;  // -a
    // The intro is left out unless a run asks for it (unset: the program's
    // own rule, played when no game has been saved).
    std::optional<bool> intro = false;
    // Runs start in a new game unless they ask for the main menu.
    std::optional<bool> menu = false;
    std::vector<scripted_input> script;         // input, at virtual milliseconds
    // frame_buffer is copied at the first poll at or after each of these times.
    std::vector<uint64_t> checkpoints_ms;
    // Called at each checkpoint (on the game side) to capture more state.
    std::function<void(uint64_t at_ms)> on_checkpoint;
    // Sets stop_flag at this virtual time (a safety net: a run never hangs a test); 0 = never.
    uint64_t stop_at_ms = 120000;
    int ms_per_poll = 10;
    // false: every present is its own frame (the display wakes at once);
    // true: the presents of one poll cycle make one frame.
    bool coalesce_presents = false;
    size_t frame_limit = 200;  // frames kept (the first ones); later presents are only counted
    // The sound runs on a headless audio device pulled along the virtual
    // clock (44100 frames a second); with this set, what it played is kept.
    bool capture_audio = false;
    // The device refuses to open (the game goes on silently).
    bool audio_fails = false;
};

struct scripted_checkpoint {
    uint64_t requested_ms = 0, at_ms = 0;
    std::vector<uint16_t> frame_buffer;  // 640 x 480
};

struct scripted_run_result {
    int exit_code = -1;
    std::optional<std::string> fatal_message;  // the run ended through report_fatal
    std::vector<headless_frame> frames;        // the presents, in order (up to frame_limit)
    size_t present_count = 0;
    std::vector<scripted_checkpoint> checkpoints;
    std::string window_title;
    std::vector<uint8_t> window_icon;
    uint64_t end_ms = 0;
    // What the mixer played, left and right interleaved, from the audio
    // device's opening (capture_audio).
    std::vector<float> audio;
    uint64_t audio_start_ms = 0;  // the virtual time of the audio's first frame
};

scripted_run_result run_scripted(const scripted_run_options& options);

// Script helpers.
scripted_input script_key(uint64_t at_ms, uint16_t key_code);
scripted_input script_scancode(uint64_t at_ms, int sdl_scancode, bool shift = false, bool ctrl = false);
scripted_input script_mouse_move(uint64_t at_ms, int x, int y);
scripted_input script_click(uint64_t at_ms, int button, bool down);
scripted_input script_quit(uint64_t at_ms);
