#pragma once
// Scores: music written as text (tempo, instruments made of synthesiser
// layers, voices of notes and rests with repeats, a pan per voice), rendered
// by the synthesiser to 16-bit stereo for the MUS encoder. See
// docs/score-source.md.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forge/synth.h"

namespace forge {

struct score_instrument {
    std::string name;
    int source_line = 0;
    // Each layer plays at the note's frequency times its ratio.
    std::vector<layer> layers;
    std::vector<double> ratios;
};

// A note or chord: when it starts and how long it is held, in seconds.
struct score_note {
    double start = 0;
    double length = 0;
    std::vector<double> frequencies;
};

struct score_voice {
    std::string name;
    int source_line = 0;
    size_t instrument = 0;  // into score::instruments
    double pan = 0;         // -1 left to 1 right
    double gain = 1;
    std::vector<score_note> notes;
    double end = 0;  // seconds: where the voice's last note or rest ends
};

struct score {
    uint32_t rate = 22050;
    double tempo = 120;      // quarter notes a minute
    double normalize = 0.7;  // the peak the mix is scaled to
    double echo_delay = 0;   // seconds; 0 for no echo
    double echo_feedback = 0;
    std::vector<score_instrument> instruments;
    std::vector<score_voice> voices;

    // Seconds: the longest voice.
    double length() const;
};

// Throws std::runtime_error "<source_name>:<line>: <what>" for the first fault.
score parse_score(std::string_view utf8_source, std::string_view source_name);

// The score as interleaved stereo samples (left, right, ...), length() long.
// The tails of notes and echoes that run past the end come round to the
// start, so the piece loops without a seam.
std::vector<int16_t> render_score(const score& s);

// The frequency of a note name with its octave ("c4", "f#3", "bb2"; a4 is
// 440 Hz), or 0 when it is not one.
double note_frequency(std::string_view name);

}  // namespace forge
