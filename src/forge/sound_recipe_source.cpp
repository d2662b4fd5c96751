#include "forge/sound_recipe_source.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <set>
#include <string>

#include "forge/item_source_lines.h"
#include "forge/synth_lines.h"

namespace forge {

namespace {

constexpr double max_length_seconds = 60;

// layer <wave> [<hz> [to <hz> [exponential]]]
layer read_layer(const line_reader& r, size_t index, double nyquist) {
    const auto& words = r.line->words;
    layer l;
    l.seed = static_cast<uint32_t>(index + 1);
    if (words.size() < 2 || !waveform_named(words[1], l.wave))
        r.fail("expected: layer sine|square|saw|triangle|noise [<hz> [to <hz> [exponential]]]");
    if (l.wave == waveform::noise) {
        if (words.size() != 2) r.fail("noise takes no frequency (shape it with a filter)");
        return l;
    }
    if (words.size() < 3) r.fail("a " + words[1] + " layer needs a frequency");
    l.frequency = l.end_frequency = r.number(2, 0.01, nyquist);
    if (words.size() == 3) return l;
    if (words[3] != "to" || words.size() < 5 || words.size() > 6)
        r.fail("expected: layer " + words[1] + " <hz> to <hz> [exponential]");
    l.end_frequency = r.number(4, 0.01, nyquist);
    if (words.size() == 6) {
        if (words[5] != "exponential") r.fail("unknown sweep \"" + words[5] + "\"");
        l.curve = sweep_curve::exponential;
    }
    return l;
}

// A line inside a layer; false when the keyword belongs to no layer.
bool read_layer_line(const line_reader& r, layer& l, double nyquist) {
    if (read_layer_shape(r, l, nyquist, max_length_seconds)) return true;
    const std::string& key = r.line->words[0];
    if (key == "delay") {
        r.expect_words(2, "delay <seconds>");
        l.delay = r.number(1, 0, max_length_seconds);
    } else if (key == "duration") {
        r.expect_words(2, "duration <seconds>");
        l.duration = r.number(1, 0.001, max_length_seconds);
    } else {
        return false;
    }
    return true;
}

void finish(const sound_recipe& s, const line_reader& at_start) {
    if (s.length <= 0) at_start.fail("sound " + s.name + " has no length");
    if (s.layers.empty()) at_start.fail("sound " + s.name + " has no layer");
    const auto samples = std::llround(s.length * s.rate);
    if (s.loop_start >= samples)
        at_start.fail("sound " + s.name + " loops from sample " + std::to_string(s.loop_start) + " of only " +
                      std::to_string(samples));
}

}  // namespace

std::vector<sound_recipe> parse_sound_recipes(std::string_view utf8_source, std::string_view source_name) {
    std::vector<sound_recipe> sounds;
    std::set<std::string> names;
    const std::vector<source_line> lines = split_source_lines(utf8_source);
    line_reader r{source_name};
    line_reader sound_start{source_name};
    sound_recipe* sound = nullptr;
    layer* current = nullptr;
    for (const source_line& line : lines) {
        r.line = &line;
        const std::string& key = line.words[0];
        if (key == "sound") {
            if (sound) finish(*sound, sound_start);
            r.expect_words(2, "sound <name>");
            if (!plain_name(line.words[1]))
                r.fail("\"" + line.words[1] +
                       "\" is not a sound name (letters, digits, _ and -, at most 32)");
            if (!names.insert(line.words[1]).second) r.fail("sound " + line.words[1] + " twice");
            sounds.emplace_back();
            sound = &sounds.back();
            sound->name = line.words[1];
            sound->source_line = line.number;
            current = nullptr;
            sound_start.line = &line;
            continue;
        }
        if (!sound) r.fail("\"" + key + "\" before the first sound");
        const double nyquist = sound->rate / 2.0;
        if (key == "length") {
            r.expect_words(2, "length <seconds>");
            sound->length = r.number(1, 0.001, max_length_seconds);
        } else if (key == "rate") {
            r.expect_words(2, "rate <hz>");
            if (!sound->layers.empty()) r.fail("rate goes before the first layer");
            sound->rate = static_cast<uint32_t>(r.number(1, 4000, 48000));
            if (sound->rate != r.number(1, 4000, 48000)) r.fail("the rate is a whole number of Hz");
        } else if (key == "bits") {
            r.expect_words(2, "bits 8|16");
            if (line.words[1] != "8" && line.words[1] != "16") r.fail("bits are 8 or 16");
            sound->bits = line.words[1] == "8" ? 8 : 16;
        } else if (key == "loop") {
            r.expect_words(2, "loop <first sample>");
            const double first = r.number(1, 0, 48000.0 * max_length_seconds);
            if (first != std::floor(first)) r.fail("the loop starts at a whole sample");
            sound->loop_start = static_cast<int64_t>(first);
        } else if (key == "normalize") {
            r.expect_words(2, "normalize <peak>");
            sound->normalize = r.number(1, 0.01, 1);
        } else if (key == "layer") {
            sound->layers.push_back(read_layer(r, sound->layers.size(), nyquist));
            current = &sound->layers.back();
        } else if (!current) {
            r.fail("\"" + key + "\" is not a sound line (layer lines go after a layer)");
        } else if (!read_layer_line(r, *current, nyquist)) {
            r.fail("unknown keyword \"" + key + "\"");
        }
    }
    if (sound) finish(*sound, sound_start);
    return sounds;
}

}  // namespace forge
