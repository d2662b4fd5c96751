#pragma once
// A small synthesiser for sound effects: layers of an oscillator or noise,
// each with a pitch sweep, an ADSR envelope, a filter and a gain, mixed and
// optionally normalised. Rendering is deterministic: noise comes from our
// own seeded generator, so a recipe always gives the same samples.
#include <cstdint>
#include <string>
#include <vector>

namespace forge {

enum class waveform { sine, square, saw, triangle, noise };

// Times in seconds, sustain a level in 0..1. The level rises 0 -> 1 over
// `attack`, falls to `sustain` over `decay`, holds, and falls to 0 over the
// last `release` seconds of the layer.
struct envelope {
    double attack = 0;
    double decay = 0;
    double sustain = 1;
    double release = 0;
};

// The envelope's level `t` seconds into a layer of `duration` seconds. When
// the release begins before attack and decay end, it falls from the level
// reached at that moment; it never begins before the attack has ended.
double envelope_level(const envelope& env, double t, double duration);

enum class filter_kind { none, low_pass, high_pass, band_pass };

struct filter_spec {
    filter_kind kind = filter_kind::none;
    double cutoff = 0;  // Hz (the centre for a band-pass)
    double q = 0.70710678;
};

// A second-order (biquad) filter, direct form I.
class biquad {
  public:
    biquad(const filter_spec& spec, double rate);
    float process(float x);

  private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A 32-bit linear congruential generator: the same seed, the same noise.
class noise_source {
  public:
    explicit noise_source(uint32_t seed) : state_(seed) {}
    // White noise in -1..1.
    float next();

  private:
    uint32_t state_;
};

enum class sweep_curve { linear, exponential };

struct layer {
    waveform wave = waveform::sine;
    double frequency = 440;      // Hz at the layer's start
    double end_frequency = 440;  // Hz at its end (the same: no sweep)
    sweep_curve curve = sweep_curve::linear;
    double duty = 0.5;     // the share of each square period spent high
    double delay = 0;      // seconds from the sound's start
    double duration = -1;  // seconds; below 0: to the sound's end
    envelope env;
    filter_spec filter;
    double gain = 1;
    uint32_t seed = 1;
};

struct sound_recipe {
    std::string name;
    int source_line = 0;  // where its `sound` line stands, for messages
    double length = 0;    // seconds
    uint32_t rate = 22050;
    int bits = 16;
    double normalize = 0;  // peak level to scale to; 0 leaves the mix as it is
    // The first sample of the stretch the game loops (to the sound's end);
    // below 0 the sound does not loop.
    int64_t loop_start = -1;
    std::vector<layer> layers;
};

// How many samples the seam of a loop is blended over: 50 ms, at most half
// the loop, and at most the samples before a loop start above 0.
size_t loop_blend_length(const sound_recipe& recipe, size_t total);

// One oscillator's value at `phase` (cycles, the fraction used).
float oscillator_value(waveform wave, double phase, double duty);

// The mixed mono samples in -1..1 (clipping is left to the writer).
std::vector<float> render_layer(const layer& l, double sound_length, uint32_t rate);
// With a loop start, the seam is blended so that the sample after the last
// continues smoothly at the loop start: a loop from sample 0 blends the
// sound's continuation past its end into its head; a later loop start
// blends the samples just before the loop start into the tail.
std::vector<float> render_sound(const sound_recipe& recipe);

}  // namespace forge
