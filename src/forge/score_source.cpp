#include "forge/score_source.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <string>

#include "forge/item_source_lines.h"
#include "forge/synth_lines.h"
#include "forge/wav_writer.h"

namespace forge {

namespace {

constexpr double max_score_seconds = 600;
constexpr size_t max_notes = 100000;
constexpr int max_repeat = 64;

// A line that shapes an instrument's layer; false for another keyword.
bool read_layer_line(const line_reader& r, layer& l, double nyquist) {
    return read_layer_shape(r, l, nyquist, 10);
}

// A repeat being read: where its notes begin, in the voice and in beats.
struct open_repeat {
    const source_line* line;
    int count;
    size_t first_note;
    double start_beat;
};

struct voice_reader {
    score_voice* voice = nullptr;
    double beat = 0;        // where the next note starts
    double last_beats = 1;  // the length a note without one takes
    std::vector<open_repeat> repeats;
};

// A length after '/': 1 (a whole note) to 64, '.' adds half of it again.
double read_length(const line_reader& r, const std::string& token, std::string_view text) {
    const bool dotted = !text.empty() && text.back() == '.';
    if (dotted) text.remove_suffix(1);
    int divisor = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), divisor);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || divisor < 1 ||
        divisor > 64)
        r.fail("\"" + token + "\": a length is /1 to /64, with an optional dot");
    return 4.0 / divisor * (dotted ? 1.5 : 1.0);
}

// play <note>... : notes (c4, f#3, bb2), chords (c4+e4+g4) and rests (r),
// each with an optional /length; '|' marks bars for the reader.
void read_play(const line_reader& r, voice_reader& v, const score_instrument& instrument, double nyquist) {
    double highest_ratio = 0;
    for (size_t i = 0; i < instrument.layers.size(); ++i)
        if (instrument.layers[i].wave != waveform::noise)
            highest_ratio = std::max(highest_ratio, instrument.ratios[i]);
    if (r.line->words.size() < 2) r.fail("expected: play <note>[/<length>]...");
    for (size_t i = 1; i < r.line->words.size(); ++i) {
        const std::string& token = r.line->words[i];
        if (token == "|") continue;
        const size_t slash = token.find('/');
        const std::string_view pitch = std::string_view(token).substr(0, slash);
        if (slash != std::string::npos)
            v.last_beats = read_length(r, token, std::string_view(token).substr(slash + 1));
        score_note note;
        note.start = v.beat;
        note.length = v.last_beats;
        if (pitch != "r") {
            std::string_view rest = pitch;
            for (;;) {
                const size_t plus = rest.find('+');
                const std::string_view name = rest.substr(0, plus);
                const double f = note_frequency(name);
                if (f <= 0)
                    r.fail("\"" + std::string(name) + "\" is not a note (c4, f#3, bb2) or a rest (r)");
                if (f * highest_ratio >= nyquist)
                    r.fail(std::string(name) + " is too high for the rate of " +
                           line_reader::trimmed(nyquist * 2) + " Hz");
                note.frequencies.push_back(f);
                if (plus == std::string_view::npos) break;
                rest.remove_prefix(plus + 1);
            }
            v.voice->notes.push_back(std::move(note));
        }
        v.beat += v.last_beats;
    }
}

void close_repeat(const line_reader& r, voice_reader& v) {
    if (v.repeats.empty()) r.fail("end without a repeat");
    const open_repeat rep = v.repeats.back();
    v.repeats.pop_back();
    std::vector<score_note>& notes = v.voice->notes;
    const double span = v.beat - rep.start_beat;
    const size_t last = notes.size();
    if ((last - rep.first_note) * static_cast<size_t>(rep.count) > max_notes)
        r.fail("more than " + std::to_string(max_notes) + " notes in a voice");
    for (int time = 1; time < rep.count; ++time)
        for (size_t i = rep.first_note; i < last; ++i) {
            score_note copy = notes[i];
            copy.start += span * time;
            notes.push_back(std::move(copy));
        }
    v.beat = rep.start_beat + span * rep.count;
}

void finish_voice(const line_reader& r, voice_reader& v) {
    if (!v.voice) return;
    if (!v.repeats.empty())
        throw source_error(r.source_name, v.repeats.back().line->number, "repeat without an end");
    v.voice->end = v.beat;
    v = voice_reader{};
}

void finish_instrument(const line_reader& r, const score_instrument* instrument) {
    if (instrument && instrument->layers.empty())
        throw source_error(r.source_name, instrument->source_line,
                           "instrument " + instrument->name + " has no layer");
}

}  // namespace

double note_frequency(std::string_view name) {
    static const int semitones[] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    if (name.size() < 2 || name[0] < 'a' || name[0] > 'g') return 0;
    int semitone = semitones[name[0] - 'a'];
    size_t at = 1;
    if (name[at] == '#' || (name[at] == 'b' && name.size() > 2)) semitone += name[at++] == '#' ? 1 : -1;
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8') return 0;
    const int midi = 12 * (name[at] - '0' + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

double score::length() const {
    double beats = 0;
    for (const score_voice& v : voices) beats = std::max(beats, v.end);
    return beats * 60.0 / tempo;
}

score parse_score(std::string_view utf8_source, std::string_view source_name) {
    score s;
    // '#' starts a comment at the start of a line or after a blank; inside a
    // word it is a sharp (f#4), kept from the comment rule by a stand-in.
    constexpr char sharp_stand_in = '\x01';
    std::string text(utf8_source);
    for (size_t i = 1; i < text.size(); ++i)
        if (text[i] == '#' && text[i - 1] != ' ' && text[i - 1] != '\t' && text[i - 1] != '\n' &&
            text[i - 1] != '\r')
            text[i] = sharp_stand_in;
    std::vector<source_line> lines = split_source_lines(text);
    for (source_line& line : lines)
        for (std::string& word : line.words) std::replace(word.begin(), word.end(), sharp_stand_in, '#');
    line_reader r{source_name};
    score_instrument* instrument = nullptr;
    layer* current_layer = nullptr;
    voice_reader v;
    std::set<std::string> voice_names;
    for (const source_line& line : lines) {
        r.line = &line;
        const std::string& key = line.words[0];
        const double nyquist = s.rate / 2.0;
        if (key == "tempo") {
            r.expect_words(2, "tempo <quarter notes a minute>");
            s.tempo = r.number(1, 20, 400);
        } else if (key == "rate") {
            r.expect_words(2, "rate <hz>");
            if (!s.instruments.empty()) r.fail("rate goes before the first instrument");
            s.rate = static_cast<uint32_t>(r.number(1, 8000, 48000));
            if (s.rate != r.number(1, 8000, 48000)) r.fail("the rate is a whole number of Hz");
        } else if (key == "normalize") {
            r.expect_words(2, "normalize <peak>");
            s.normalize = r.number(1, 0.01, 1);
        } else if (key == "echo") {
            r.expect_words(3, "echo <seconds> <feedback>");
            s.echo_delay = r.number(1, 0.01, 2);
            s.echo_feedback = r.number(2, 0, 0.9);
        } else if (key == "instrument") {
            finish_voice(r, v);
            finish_instrument(r, instrument);
            r.expect_words(2, "instrument <name>");
            if (!plain_name(line.words[1]))
                r.fail("\"" + line.words[1] + "\" is not a name (letters, digits, _ and -, at most 32)");
            for (const score_instrument& other : s.instruments)
                if (other.name == line.words[1]) r.fail("instrument " + other.name + " twice");
            s.instruments.push_back({line.words[1], line.number, {}, {}});
            instrument = &s.instruments.back();
            current_layer = nullptr;
        } else if (key == "layer") {
            if (!instrument || v.voice) r.fail("a layer belongs to an instrument");
            layer l;
            if (line.words.size() < 2 || line.words.size() > 3 || !waveform_named(line.words[1], l.wave))
                r.fail("expected: layer sine|square|saw|triangle|noise [<ratio>]");
            const double ratio = line.words.size() == 3 ? r.number(2, 0.125, 16) : 1;
            l.seed = static_cast<uint32_t>(instrument->layers.size() + 1);
            instrument->layers.push_back(l);
            instrument->ratios.push_back(ratio);
            current_layer = &instrument->layers.back();
        } else if (key == "voice") {
            finish_voice(r, v);
            finish_instrument(r, instrument);
            instrument = nullptr;
            current_layer = nullptr;
            r.expect_words(3, "voice <name> <instrument>");
            if (!plain_name(line.words[1]))
                r.fail("\"" + line.words[1] + "\" is not a name (letters, digits, _ and -, at most 32)");
            if (!voice_names.insert(line.words[1]).second) r.fail("voice " + line.words[1] + " twice");
            const auto found =
                std::find_if(s.instruments.begin(), s.instruments.end(),
                             [&](const score_instrument& i) { return i.name == line.words[2]; });
            if (found == s.instruments.end()) r.fail("no instrument " + line.words[2] + " above this voice");
            s.voices.push_back({line.words[1],
                                line.number,
                                static_cast<size_t>(found - s.instruments.begin()),
                                0,
                                1,
                                {},
                                0});
            v.voice = &s.voices.back();
        } else if (v.voice) {
            if (key == "pan") {
                r.expect_words(2, "pan <-1 to 1>");
                v.voice->pan = r.number(1, -1, 1);
            } else if (key == "gain") {
                r.expect_words(2, "gain <factor>");
                v.voice->gain = r.number(1, 0, 16);
            } else if (key == "play") {
                read_play(r, v, s.instruments[v.voice->instrument], nyquist);
            } else if (key == "repeat") {
                r.expect_words(2, "repeat <times>");
                const int count = static_cast<int>(r.number(1, 1, max_repeat));
                if (count != r.number(1, 1, max_repeat)) r.fail("repeat a whole number of times");
                v.repeats.push_back({&line, count, v.voice->notes.size(), v.beat});
            } else if (key == "end") {
                r.expect_words(1, "end");
                close_repeat(r, v);
            } else {
                r.fail("unknown keyword \"" + key + "\" in a voice");
            }
        } else if (current_layer) {
            if (!read_layer_line(r, *current_layer, nyquist)) r.fail("unknown keyword \"" + key + "\"");
        } else if (instrument) {
            r.fail("\"" + key + "\" goes after a layer line");
        } else {
            r.fail("unknown keyword \"" + key + "\"");
        }
    }
    finish_voice(r, v);
    finish_instrument(r, instrument);

    const int last_line = lines.empty() ? 1 : lines.back().number;
    if (s.voices.empty()) throw source_error(source_name, last_line, "the score has no voice");
    // Beats become seconds once the tempo is known.
    const double seconds_per_beat = 60.0 / s.tempo;
    for (score_voice& voice : s.voices)
        for (score_note& note : voice.notes) {
            note.start *= seconds_per_beat;
            note.length *= seconds_per_beat;
        }
    if (s.length() <= 0) throw source_error(source_name, last_line, "the score plays nothing");
    if (s.length() > max_score_seconds)
        throw source_error(source_name, last_line,
                           "the score is " + line_reader::trimmed(s.length()) + " seconds long, more than " +
                               line_reader::trimmed(max_score_seconds));
    return s;
}

std::vector<int16_t> render_score(const score& s) {
    const auto frames = static_cast<size_t>(std::llround(s.length() * s.rate));
    std::vector<float> mix(frames * 2, 0.0f);
    if (frames == 0) return {};
    for (const score_voice& voice : s.voices) {
        const score_instrument& instrument = s.instruments[voice.instrument];
        // Equal power across the field: a centred voice gives 0.707 a side.
        const double angle = (voice.pan + 1) * M_PI / 4;
        const auto left = static_cast<float>(std::cos(angle) * voice.gain);
        const auto right = static_cast<float>(std::sin(angle) * voice.gain);
        for (const score_note& note : voice.notes) {
            const auto first = static_cast<size_t>(std::llround(note.start * s.rate));
            for (double frequency : note.frequencies) {
                for (size_t i = 0; i < instrument.layers.size(); ++i) {
                    layer l = instrument.layers[i];
                    l.frequency = l.end_frequency = frequency * instrument.ratios[i];
                    // The note is held for its length, then released.
                    const std::vector<float> sound = render_layer(l, note.length + l.env.release, s.rate);
                    for (size_t k = 0; k < sound.size(); ++k) {
                        const size_t at = (first + k) % frames;
                        mix[at * 2] += sound[k] * left;
                        mix[at * 2 + 1] += sound[k] * right;
                    }
                }
            }
        }
    }
    if (s.echo_delay > 0 && s.echo_feedback > 0) {
        // Echoes alternate sides and wrap round the piece like the tails.
        const std::vector<float> dry = mix;
        const auto delay = static_cast<size_t>(std::max<long long>(1, std::llround(s.echo_delay * s.rate)));
        double level = s.echo_feedback;
        for (size_t tap = 1; level >= 0.002 && tap <= 64; ++tap, level *= s.echo_feedback) {
            const size_t shift = tap * delay % frames;
            const size_t swap = tap % 2;
            for (size_t f = 0; f < frames; ++f) {
                const size_t from = (f + frames - shift) % frames;
                mix[f * 2] += static_cast<float>(dry[from * 2 + swap] * level);
                mix[f * 2 + 1] += static_cast<float>(dry[from * 2 + 1 - swap] * level);
            }
        }
    }
    float peak = 0;
    for (float x : mix) peak = std::max(peak, std::fabs(x));
    const float scale = peak > 0 ? static_cast<float>(s.normalize / peak) : 0.0f;
    std::vector<int16_t> out(mix.size());
    for (size_t i = 0; i < mix.size(); ++i) out[i] = float_to_s16(mix[i] * scale);
    return out;
}

}  // namespace forge
