#include "forge/synth_lines.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <utility>

namespace forge {

namespace {

constexpr size_t max_name_length = 32;

void read_filter(const line_reader& r, filter_kind kind, layer& l, double nyquist) {
    const size_t count = r.line->words.size();
    if (count != 2 && (count != 4 || r.line->words[2] != "q"))
        r.fail("expected: " + r.line->words[0] + " <hz> [q <value>]");
    l.filter.kind = kind;
    l.filter.cutoff = r.number(1, 1, nyquist - 1);
    if (count == 4) l.filter.q = r.number(3, 0.1, 50);
}

}  // namespace

void line_reader::fail(const std::string& what) const {
    throw source_error(source_name, line->number, what);
}

double line_reader::number(size_t index, double min, double max) const {
    if (index >= line->words.size()) fail("\"" + line->words[0] + "\" needs more numbers");
    const std::string& word = line->words[index];
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value))
        fail("\"" + word + "\" is not a number");
    if (value < min || value > max) fail(word + " is outside " + trimmed(min) + " to " + trimmed(max));
    return value;
}

void line_reader::expect_words(size_t count, const char* usage) const {
    if (line->words.size() != count) fail(std::string("expected: ") + usage);
}

std::string line_reader::trimmed(double v) {
    std::string s = std::to_string(v);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

bool plain_name(const std::string& name) {
    if (name.empty() || name.size() > max_name_length) return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-')) return false;
    return true;
}

bool waveform_named(const std::string& word, waveform& wave) {
    static const std::pair<const char*, waveform> names[] = {{"sine", waveform::sine},
                                                             {"square", waveform::square},
                                                             {"saw", waveform::saw},
                                                             {"triangle", waveform::triangle},
                                                             {"noise", waveform::noise}};
    for (const auto& [name, w] : names)
        if (word == name) return wave = w, true;
    return false;
}

bool read_layer_shape(const line_reader& r, layer& l, double nyquist, double max_seconds) {
    const std::string& key = r.line->words[0];
    if (key == "gain") {
        r.expect_words(2, "gain <factor>");
        l.gain = r.number(1, 0, 16);
    } else if (key == "envelope") {
        r.expect_words(5, "envelope <attack> <decay> <sustain> <release>");
        l.env.attack = r.number(1, 0, max_seconds);
        l.env.decay = r.number(2, 0, max_seconds);
        l.env.sustain = r.number(3, 0, 1);
        l.env.release = r.number(4, 0, max_seconds);
    } else if (key == "lowpass") {
        read_filter(r, filter_kind::low_pass, l, nyquist);
    } else if (key == "highpass") {
        read_filter(r, filter_kind::high_pass, l, nyquist);
    } else if (key == "bandpass") {
        read_filter(r, filter_kind::band_pass, l, nyquist);
    } else if (key == "seed") {
        r.expect_words(2, "seed <number>");
        if (l.wave != waveform::noise) r.fail("only a noise layer takes a seed");
        l.seed = static_cast<uint32_t>(r.number(1, 0, 4294967295.0));
    } else if (key == "duty") {
        r.expect_words(2, "duty <share>");
        if (l.wave != waveform::square) r.fail("only a square layer takes a duty");
        l.duty = r.number(1, 0.01, 0.99);
    } else {
        return false;
    }
    return true;
}

}  // namespace forge
