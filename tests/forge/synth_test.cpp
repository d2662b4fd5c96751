#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "forge/sound_recipe_source.h"
#include "forge/synth.h"
#include "forge/wav_writer.h"

namespace {

double rms(const std::vector<float>& s, size_t from) {
    double sum = 0;
    for (size_t i = from; i < s.size(); ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(s.size() - from));
}

std::vector<float> tone(double hz, forge::filter_spec filter) {
    forge::layer l;
    l.frequency = l.end_frequency = hz;
    l.filter = filter;
    return forge::render_layer(l, 0.5, 22050);
}

TEST(Synth, SineOf441HzRepeatsEvery50SamplesAt22050) {
    forge::layer l;
    l.frequency = l.end_frequency = 441;
    const std::vector<float> s = forge::render_layer(l, 0.2, 22050);
    ASSERT_EQ(s.size(), 4410u);
    for (size_t i = 0; i + 50 < s.size(); ++i) ASSERT_NEAR(s[i], s[i + 50], 1e-4) << i;
    // One rising zero crossing per period, and the peaks at full scale.
    int rising = 0;
    for (size_t i = 1; i < 500; ++i) rising += s[i - 1] < 0 && s[i] >= 0;
    EXPECT_EQ(rising, 9);  // periods 2 to 10 start within the first 500 samples
    EXPECT_NEAR(s[12], std::sin(2 * 3.14159265358979 * 12 / 50), 1e-5);
}

TEST(Synth, EnvelopeReachesSustainAtTheEndOfAttackAndDecayAndEndsAtZero) {
    const forge::envelope env{0.1, 0.2, 0.4, 0.25};
    EXPECT_DOUBLE_EQ(forge::envelope_level(env, 0, 1.0), 0);
    EXPECT_DOUBLE_EQ(forge::envelope_level(env, 0.1, 1.0), 1.0);
    EXPECT_NEAR(forge::envelope_level(env, 0.3, 1.0), 0.4, 1e-12);
    EXPECT_NEAR(forge::envelope_level(env, 0.6, 1.0), 0.4, 1e-12);
    EXPECT_NEAR(forge::envelope_level(env, 0.875, 1.0), 0.2, 1e-12);
    EXPECT_DOUBLE_EQ(forge::envelope_level(env, 1.0, 1.0), 0);
    // A release that starts mid-decay falls from where the decay got to.
    EXPECT_NEAR(forge::envelope_level(env, 0.325, 0.45), 0.35, 1e-12);
    // One longer than the layer waits for the attack's peak instead of
    // silencing the layer.
    EXPECT_NEAR(forge::envelope_level(env, 0.15, 0.2), 0.5, 1e-12);
}

TEST(Synth, FiltersPassTheirBandAndAttenuateTheRest) {
    using forge::filter_kind;
    const double plain = rms(tone(5000, {}), 2000);
    EXPECT_LT(rms(tone(5000, {filter_kind::low_pass, 500}), 2000), plain * 0.02);
    EXPECT_GT(rms(tone(100, {filter_kind::low_pass, 500}), 2000), plain * 0.95);
    EXPECT_LT(rms(tone(100, {filter_kind::high_pass, 2000}), 2000), plain * 0.01);
    EXPECT_GT(rms(tone(5000, {filter_kind::high_pass, 500}), 2000), plain * 0.95);
    EXPECT_GT(rms(tone(1000, {filter_kind::band_pass, 1000, 2}), 2000), plain * 0.95);
    EXPECT_LT(rms(tone(8000, {filter_kind::band_pass, 1000, 2}), 2000), plain * 0.1);
}

TEST(Synth, ExponentialSweepHalvesItsPitchAtEachStep) {
    // 1600 -> 400 Hz over 2 s: 800 Hz one second in.
    forge::layer l;
    l.frequency = 1600;
    l.end_frequency = 400;
    l.curve = forge::sweep_curve::exponential;
    l.wave = forge::waveform::square;
    const std::vector<float> s = forge::render_layer(l, 2.0, 22050);
    int rising = 0;
    for (size_t i = 22050 - 1102; i < 22050 + 1102; ++i) rising += s[i - 1] < 0 && s[i] > 0;
    EXPECT_NEAR(rising, 80, 2);  // 0.1 s around the middle
}

const char* recipe_text = R"(# two sounds
sound thud
  length 0.3
  normalize 0.8
  layer noise
    seed 7
    envelope 0.002 0.05 0.3 0.1
    lowpass 400 q 0.9
  layer sine 120 to 40 exponential
    gain 0.6
sound click
  length 0.05
  bits 8
  layer square 2000
    duty 0.25
)";

TEST(SoundRecipes, ParseEveryFeatureAndRenderTheSameBytesForTheSameSeed) {
    const auto recipes = forge::parse_sound_recipes(recipe_text, "fx.snd");
    ASSERT_EQ(recipes.size(), 2u);
    const forge::sound_recipe& thud = recipes[0];
    EXPECT_EQ(thud.name, "thud");
    ASSERT_EQ(thud.layers.size(), 2u);
    EXPECT_EQ(thud.layers[0].seed, 7u);
    EXPECT_EQ(thud.layers[0].filter.kind, forge::filter_kind::low_pass);
    EXPECT_DOUBLE_EQ(thud.layers[0].filter.q, 0.9);
    EXPECT_EQ(thud.layers[1].curve, forge::sweep_curve::exponential);
    EXPECT_EQ(recipes[1].bits, 8);

    const auto thud_wav = forge::wav_from_floats(forge::render_sound(thud), thud.rate, thud.bits);
    EXPECT_EQ(thud_wav,
              forge::wav_from_floats(forge::render_sound(forge::parse_sound_recipes(recipe_text, "again")[0]),
                                     22050, 16));
    EXPECT_EQ(thud_wav.size(), 44u + 2 * 6615);
    // Normalised: the loudest sample sits at the asked peak.
    float peak = 0;
    for (float v : forge::render_sound(thud)) peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, 0.8f, 1e-6);

    forge::sound_recipe reseeded = thud;
    reseeded.layers[0].seed = 8;
    EXPECT_NE(forge::wav_from_floats(forge::render_sound(reseeded), 22050, 16), thud_wav);
}

// A sine whose period does not divide the loop: without blending the seam
// would jump.
forge::sound_recipe looping_sine(int64_t loop_start) {
    forge::sound_recipe r;
    r.name = "loop";
    r.rate = 16000;
    r.length = 3000.0 / 16000;
    r.loop_start = loop_start;
    forge::layer l;
    l.frequency = l.end_frequency = 523;
    r.layers.push_back(l);
    return r;
}

TEST(SoundRecipes, LoopSeamContinuesAtTheLoopStart) {
    // A later loop start: the tail turns into the samples before the loop
    // start, so the sample after the last is the natural successor.
    forge::sound_recipe plain = looping_sine(-1);
    const std::vector<float> straight = forge::render_sound(plain);
    const std::vector<float> looped = forge::render_sound(looping_sine(1000));
    ASSERT_EQ(looped.size(), 3000u);
    const size_t blend = forge::loop_blend_length(looping_sine(1000), 3000);
    EXPECT_EQ(blend, 800u);  // 50 ms at 16000 Hz
    EXPECT_FLOAT_EQ(looped[2999], straight[999]);
    for (size_t i = 0; i < 3000 - blend; ++i) ASSERT_EQ(looped[i], straight[i]) << i;
    // The blend never jumps: no step larger than the sine's own steepest.
    const float steepest = static_cast<float>(2 * 3.14159265 * 523 / 16000) * 1.01f;
    for (size_t i = 1; i < 3000; ++i) ASSERT_LE(std::fabs(looped[i] - looped[i - 1]), steepest) << i;
    EXPECT_LE(std::fabs(looped[1000] - looped[2999]), steepest);

    // A loop of the whole sound: its head is what would have followed its end.
    const std::vector<float> whole = forge::render_sound(looping_sine(0));
    plain.length = 3800.0 / 16000;
    const std::vector<float> longer = forge::render_sound(plain);
    EXPECT_FLOAT_EQ(whole[0], longer[3000]);
    EXPECT_EQ(whole[2999], longer[2999]);
    EXPECT_LE(std::fabs(whole[0] - whole[2999]), steepest);

    // Read from a recipe; a loop start past the end is refused.
    const auto parsed = forge::parse_sound_recipes("sound f\n rate 16000\n length 0.3583125\n loop 2782\n layer triangle 520\n", "f.snd");
    EXPECT_EQ(parsed[0].loop_start, 2782);
    EXPECT_EQ(forge::render_sound(parsed[0]).size(), 5733u);
}

std::string error_of(const std::string& text) {
    try {
        forge::parse_sound_recipes(text, "fx.snd");
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

TEST(SoundRecipes, ErrorsNameTheFileAndLine) {
    EXPECT_EQ(error_of("sound a\n  length 1\n  layer sine 440\n  gain loud\n"),
              "fx.snd:4: \"loud\" is not a number");
    EXPECT_EQ(error_of("sound a\n length 1\n layer sine 440\n\n sound a\n"), "fx.snd:5: sound a twice");
    EXPECT_EQ(error_of("sound a\n layer saw 100\nsound b\n length 1\n"), "fx.snd:1: sound a has no length");
    EXPECT_EQ(error_of("sound b\n length 1\n"), "fx.snd:1: sound b has no layer");
    EXPECT_EQ(error_of("  # lead\nlength 1\n"), "fx.snd:2: \"length\" before the first sound");
    EXPECT_EQ(error_of("sound a\n length 1\n gain 2\n"),
              "fx.snd:3: \"gain\" is not a sound line (layer lines go after a layer)");
    // Names become file names: nothing that leaves the output folder.
    EXPECT_EQ(error_of("sound ../x\n"),
              "fx.snd:1: \"../x\" is not a sound name (letters, digits, _ and -, at most 32)");
    // Numbers that would poison the render: not finite, above the Nyquist limit.
    EXPECT_EQ(error_of("sound a\n length nan\n"), "fx.snd:2: \"nan\" is not a number");
    EXPECT_EQ(error_of("sound a\n length 1\n layer sine 12000\n"),
              "fx.snd:3: 12000 is outside 0.01 to 11025");
    EXPECT_EQ(error_of("sound a\n length 1\n layer sine 100 to\n"),
              "fx.snd:3: expected: layer sine <hz> to <hz> [exponential]");
    EXPECT_EQ(error_of("sound a\n length 0.01\n loop 221\n layer sine 100\n"),
              "fx.snd:1: sound a loops from sample 221 of only 221");
    EXPECT_EQ(error_of("sound a\n length 1\n loop 2.5\n"), "fx.snd:3: the loop starts at a whole sample");
}

}  // namespace
