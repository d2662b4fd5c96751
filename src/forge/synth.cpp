#include "forge/synth.h"

#include <algorithm>
#include <cmath>

namespace forge {

namespace {
constexpr double pi = 3.14159265358979323846;
}

double envelope_level(const envelope& env, double t, double duration) {
    auto held = [&](double at) {
        if (at < 0) return 0.0;
        if (at < env.attack) return at / env.attack;
        at -= env.attack;
        if (at < env.decay) return 1.0 + (env.sustain - 1.0) * (at / env.decay);
        return env.sustain;
    };
    // The release never begins before the attack has peaked, so a release
    // longer than the layer shortens rather than silencing it.
    const double release_start = std::max(duration - env.release, std::min(env.attack, duration));
    if (t < release_start) return held(t);
    if (t >= duration) return 0.0;
    const double from = held(release_start);
    return from * (duration - t) / (duration - release_start);
}

biquad::biquad(const filter_spec& spec, double rate) {
    if (spec.kind == filter_kind::none) return;
    // The usual audio-equaliser formulas, normalised by a0.
    const double w0 = 2 * pi * std::clamp(spec.cutoff, 1.0, rate * 0.49) / rate;
    const double cw = std::cos(w0), alpha = std::sin(w0) / (2 * std::max(spec.q, 0.01));
    double b0, b1, b2;
    switch (spec.kind) {
        case filter_kind::low_pass:
            b0 = (1 - cw) / 2, b1 = 1 - cw, b2 = (1 - cw) / 2;
            break;
        case filter_kind::high_pass:
            b0 = (1 + cw) / 2, b1 = -(1 + cw), b2 = (1 + cw) / 2;
            break;
        default:  // band-pass, 0 dB at the centre
            b0 = alpha, b1 = 0, b2 = -alpha;
            break;
    }
    const double a0 = 1 + alpha;
    b0_ = b0 / a0, b1_ = b1 / a0, b2_ = b2 / a0;
    a1_ = -2 * cw / a0, a2_ = (1 - alpha) / a0;
}

float biquad::process(float x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
    return static_cast<float>(y);
}

float noise_source::next() {
    state_ = state_ * 1664525u + 1013904223u;
    // The high bits of an LCG are the random ones.
    return static_cast<float>(static_cast<int32_t>(state_ & 0xFFFF0000u) / 2147483648.0);
}

float oscillator_value(waveform wave, double phase, double duty) {
    const double p = phase - std::floor(phase);
    switch (wave) {
        case waveform::sine:
            return static_cast<float>(std::sin(2 * pi * p));
        case waveform::square:
            return p < duty ? 1.0f : -1.0f;
        case waveform::saw:
            return static_cast<float>(2 * p - 1);
        case waveform::triangle:
            return static_cast<float>(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
        case waveform::noise:
            break;
    }
    return 0;
}

std::vector<float> render_layer(const layer& l, double sound_length, uint32_t rate) {
    const auto total = static_cast<size_t>(std::llround(sound_length * rate));
    std::vector<float> out(total, 0.0f);
    const auto first = static_cast<size_t>(std::llround(std::max(0.0, l.delay) * rate));
    if (first >= total) return out;
    double duration = l.duration < 0 ? sound_length - l.delay : l.duration;
    const size_t count = std::min(total - first, static_cast<size_t>(std::llround(duration * rate)));
    duration = static_cast<double>(count) / rate;

    biquad filter(l.filter, rate);
    noise_source noise(l.seed);
    const bool exponential = l.curve == sweep_curve::exponential && l.frequency > 0 && l.end_frequency > 0;
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double progress = duration > 0 ? t / duration : 0;
        float value;
        if (l.wave == waveform::noise) {
            value = noise.next();
        } else {
            value = oscillator_value(l.wave, phase, l.duty);
            // The phase advances by the current frequency, so a sweep glides
            // without jumps.
            const double f = exponential ? l.frequency * std::pow(l.end_frequency / l.frequency, progress)
                                         : l.frequency + (l.end_frequency - l.frequency) * progress;
            phase += f / rate;
            phase -= std::floor(phase);
        }
        value = filter.process(value);
        out[first + i] = static_cast<float>(value * envelope_level(l.env, t, duration) * l.gain);
    }
    return out;
}

size_t loop_blend_length(const sound_recipe& recipe, size_t total) {
    if (recipe.loop_start < 0 || static_cast<size_t>(recipe.loop_start) >= total) return 0;
    const auto start = static_cast<size_t>(recipe.loop_start);
    size_t blend = std::min<size_t>(recipe.rate / 20, (total - start) / 2);
    if (start > 0) blend = std::min(blend, start);
    return blend;
}

namespace {

std::vector<float> mix_layers(const sound_recipe& recipe, double length) {
    const auto total = static_cast<size_t>(std::llround(length * recipe.rate));
    std::vector<float> mix(total, 0.0f);
    for (const layer& l : recipe.layers) {
        const std::vector<float> part = render_layer(l, length, recipe.rate);
        for (size_t i = 0; i < total && i < part.size(); ++i) mix[i] += part[i];
    }
    return mix;
}

}  // namespace

std::vector<float> render_sound(const sound_recipe& recipe) {
    const auto total = static_cast<size_t>(std::llround(recipe.length * recipe.rate));
    const size_t blend = loop_blend_length(recipe, total);
    std::vector<float> mix;
    if (blend > 0 && recipe.loop_start == 0) {
        // Rendered on past the end; what follows the end fades into the head.
        std::vector<float> longer =
            mix_layers(recipe, recipe.length + static_cast<double>(blend) / recipe.rate);
        longer.resize(total + blend, 0.0f);
        for (size_t i = 0; i < blend; ++i) {
            const float t = static_cast<float>(i) / static_cast<float>(blend);
            longer[i] = longer[total + i] * (1 - t) + longer[i] * t;
        }
        longer.resize(total);
        mix = std::move(longer);
    } else {
        mix = mix_layers(recipe, recipe.length);
        mix.resize(total, 0.0f);
        if (blend > 0) {
            // The tail turns into what precedes the loop start, so its last
            // sample is the one before the loop start.
            const auto start = static_cast<size_t>(recipe.loop_start);
            for (size_t i = 0; i < blend; ++i) {
                const float t = static_cast<float>(i + 1) / static_cast<float>(blend);
                float& tail = mix[total - blend + i];
                tail = tail * (1 - t) + mix[start - blend + i] * t;
            }
        }
    }
    if (recipe.normalize > 0) {
        float peak = 0;
        for (float s : mix) peak = std::max(peak, std::fabs(s));
        if (peak > 0) {
            const auto scale = static_cast<float>(recipe.normalize / peak);
            for (float& s : mix) s *= scale;
        }
    }
    return mix;
}

}  // namespace forge
