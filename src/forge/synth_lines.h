#pragma once
// What the sound recipes and the music scores share: reading a source line's
// numbers with errors at their line, names fit for files and instruments,
// waveform names, and the lines that shape a synthesiser layer.
#include <cstddef>
#include <string>
#include <string_view>

#include "forge/item_source_lines.h"
#include "forge/synth.h"

namespace forge {

struct line_reader {
    std::string_view source_name;
    const source_line* line = nullptr;

    [[noreturn]] void fail(const std::string& what) const;
    // words[index] as a finite number within [min, max].
    double number(size_t index, double min, double max) const;
    void expect_words(size_t count, const char* usage) const;
    // A number without trailing zeros, for messages.
    static std::string trimmed(double v);
};

// Letters, digits, '_' and '-', at most 32 of them.
bool plain_name(const std::string& name);
bool waveform_named(const std::string& word, waveform& wave);

// gain, envelope (times up to max_seconds), lowpass, highpass, bandpass,
// seed (noise) and duty (square); false for another keyword.
bool read_layer_shape(const line_reader& r, layer& l, double nyquist, double max_seconds);

}  // namespace forge
