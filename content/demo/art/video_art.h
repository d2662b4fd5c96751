#pragma once
// The demo's full-screen videos: pictures of 320 x 180 at 15 a second, written
// as numbered PNG files, and their sound as a stereo WAV file, for forge video.
#include <string>
#include <vector>

#include "forge/paint.h"

namespace video_art {

using forge::paint::rgb;

constexpr int W = 320, H = 180, FPS = 15;
constexpr int RATE = 22050;

struct frame {
    std::vector<rgb> px = std::vector<rgb>(size_t(W) * H);
    rgb& at(int x, int y) { return px[size_t(y) * W + x]; }
    // Lays c over the pixel with coverage t; outside the picture nothing.
    void blend(int x, int y, const rgb& c, float t);
    // Adds light (glows, flames).
    void add(int x, int y, const rgb& c);
};

float smooth(float e0, float e1, float x);
float clamp01(float x);

// Empties (or makes) the folder of a video's pictures, so that no picture of
// an earlier, longer run is taken for a frame.
void prepare_folder(const std::string& folder);
// <folder>/<nnn>.png, the colours clipped to 0..1 and scaled by brightness.
void write_frame(const std::string& folder, int number, const frame& f, float brightness = 1);
// Two channels of samples in -1..1 (clipped) as 16-bit stereo.
void write_stereo_wav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right);

// The intro: writes <out>/intro/*.png and <out>/intro.wav; the title is set in
// the TrueType font, the music rendered from the score.
void paint_intro(const std::string& out, const std::string& score_path, const std::string& font_path);
// The cellars' scene: <out>/sklepy/*.png and <out>/sklepy.wav.
void paint_cellars(const std::string& out);

}  // namespace video_art
