#pragma once
// The full-screen video player: an MGIF animation from the video folder,
// each 320 x 180 picture doubled to 640 x 360 with interpolation, its sound
// through the streaming ring, until the last frame, a key or a quit request.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/strings.h"

// Where the player's sound goes (the sound system fills it in; each piece
// does nothing while unset).
struct video_sound {
    // Called before anything else, even when the file is missing.
    void (*stop_music)() = nullptr;
    // Starts the streaming ring (samples a second, ring size in bytes).
    void (*start)(int rate, size_t ring_bytes) = nullptr;
    // Writes sound codes into the ring through the file's sound table and the
    // running samples of both channels, from the cursor on (both updated).
    // False while the ring lacks room for all of them: nothing is written.
    bool (*write_delta)(const uint8_t* codes, size_t count, const int16_t* table, int16_t* accumulators,
                        uint32_t* cursor) = nullptr;
    // The video ended early (a key, a quit or a corrupt frame): the ring
    // fades out. A video played to its end leaves the ring to the next music.
    void (*stop)() = nullptr;
};
void set_video_sound(const video_sound& sound);
const video_sound& current_video_sound();

// The player's view of the display (the platform fills it in).
struct video_display {
    // Polls the input once; true when a key waits, which is then taken.
    bool (*take_key)() = nullptr;
    bool (*quit_requested)() = nullptr;
    void (*set_crt_suppressed)(bool suppressed) = nullptr;
    // Waits a moment while the sound ring is full.
    void (*wait)(int milliseconds) = nullptr;
};
void set_video_display(const video_display& display);
const video_display& current_video_display();

// How a playback ended.
enum class video_end : uint8_t {
    missing,   // no such file, or not an MGIF animation
    finished,  // every frame was shown
    skipped,   // a key or a quit request
    corrupt,   // a frame could not be read
};

// Plays a file of the video folder with its pictures from this screen row on
// (60 for a video on a black screen, 17 over the map view).
video_end play_video(const std::string& file, int top_row);
// Plays an animation already in memory.
video_end play_video_data(const uint8_t* data, size_t size, int top_row);

// Doubles a 320 x 180 picture into a screen of the given pitch at target:
// source pixels on the even rows and columns, the rest blended from their
// neighbours, the odd rows at half brightness.
void upscale_video_frame(const uint16_t* picture, uint16_t* target, int pitch);

// Subtitles for the following playbacks: entry i shows from frame i on, a
// line feed splits it into two lines, an empty entry clears the subtitle and
// a null entry keeps the one shown. The caller sets the font first and
// removes the list afterwards (null); the list must live until then.
void set_video_subtitles(const string_list* subtitles);
// The subtitle after `frames` frames were read, below the pictures.
void draw_subtitle(uint32_t frames);

// Draws a 320 x 180 animation picture doubled over a 640-pixel-wide screen
// from target (the top row of the view): every pixel without bit 15 becomes
// a 2 x 2 block, pixels with bit 15 leave the screen as it is. Mirrored, the
// picture's columns run from the right edge.
void draw_overlay_doubled(uint16_t* target, const uint16_t* pixels, bool mirror);

// Frames shown by the last playback (tests, measurements).
uint32_t video_frames_shown();
