// The mixer rendered on demand: channels, ramps, the limiter, the tone
// control, sample formats and loops, and the game's sound interface.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "sound/sound_system.h"

namespace {

std::vector<std::uint8_t> s16(std::initializer_list<int> samples) {
  std::vector<std::uint8_t> bytes;
  for (int s : samples) {
    bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
  }
  return bytes;
}

std::shared_ptr<const std::uint8_t> shared_bytes(std::vector<std::uint8_t> bytes) {
  auto owner = std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
  return {owner, owner->data()};
}

std::vector<float> render(SoundSystem& sound, std::size_t frames) {
  std::vector<float> out(frames * 2);
  sound.render(out.data(), frames);
  return out;
}

// A source of constant frames played on a mixer channel at full volume.
std::shared_ptr<WaveSource> constant_source(int sample, std::size_t frames, double loop_start) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < frames; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(sample & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
  }
  const std::size_t size = bytes.size();
  return std::make_shared<WaveSource>(shared_bytes(std::move(bytes)), size, WAVE_S16_MONO, 1.0, loop_start);
}

TEST(SoundInterface, ThreeQuarterScaleFramesGiveTwoFramesThenTheChannelIsGone) {
  SoundSystem sound;
  auto data = s16({0x4000, 0x4000, 0x4000});
  sound.set_volume(5, 32768, 32768);  // times the master volume 0.5
  ASSERT_TRUE(sound.play(5, shared_bytes(data), data.size(), data.size(), 44100, 2));
  auto out = render(sound, 6);
  EXPECT_EQ(out[0], 0.25f);
  EXPECT_EQ(out[1], 0.25f);
  EXPECT_EQ(out[2], 0.25f);
  EXPECT_EQ(out[3], 0.25f);
  for (std::size_t i = 4; i < out.size(); ++i) EXPECT_EQ(out[i], 0.0f) << i;
  EXPECT_TRUE(sound.is_playing(5));
  render(sound, 6);
  EXPECT_FALSE(sound.is_playing(5));
  EXPECT_EQ(sound.mixer().channel_count(), 0u);
}

TEST(SoundInterface, RampFromSilenceToFullTakesFiveThousandFrames) {
  SoundSystem sound;
  sound.set_setting(1, 512);  // master volume 1
  auto data = s16({0x4000, 0x4000, 0x4000, 0x4000});
  sound.set_volume(1, 0, 0);
  sound.play(1, shared_bytes(data), data.size(), 0, 44100, 2);
  EXPECT_TRUE(sound.set_volume(1, 32768, 32768));
  auto out = render(sound, 6000);
  EXPECT_NEAR(out[2 * 0], 0.5f * 0.0002f, 1e-7);
  EXPECT_LT(out[2 * 4998], 0.5f);
  EXPECT_EQ(out[2 * 4999], 0.5f);
  EXPECT_EQ(out[2 * 4999 + 1], 0.5f);
  EXPECT_EQ(out[2 * 5999], 0.5f);
  EXPECT_FALSE(sound.mixer().channel_volume(1).left != 1.0f);
}

TEST(SoundInterface, VolumeOfASilentChannelIsStoredAndUsedWithoutARamp) {
  SoundSystem sound;
  sound.set_setting(1, 512);
  EXPECT_FALSE(sound.set_volume(3, 16384, 8192));
  int left = 0, right = 0;
  sound.get_volume(3, left, right);
  EXPECT_EQ(left, 16384);
  EXPECT_EQ(right, 8192);
  auto data = s16({0x4000, 0x4000, 0x4000});
  sound.play(3, shared_bytes(data), data.size(), 0, 44100, 2);
  auto out = render(sound, 2);
  EXPECT_EQ(out[0], 0.25f);
  EXPECT_EQ(out[1], 0.125f);
  // Swapped sides exchange the requested pair for effects.
  sound.set_setting(4, 1);
  sound.set_volume(3, 32768, 8192);
  out = render(sound, 6000);
  EXPECT_EQ(out[2 * 5999], 0.125f);
  EXPECT_EQ(out[2 * 5999 + 1], 0.5f);
}

TEST(SoundInterface, ASampleOnABusyChannelReplacesTheOldOneAtOnce) {
  SoundSystem sound;
  sound.set_setting(1, 512);
  sound.set_volume(2, 32768, 32768);
  auto low = s16({0x2000, 0x2000, 0x2000});
  auto high = s16({0x4000, 0x4000, 0x4000});
  sound.play(2, shared_bytes(low), low.size(), 0, 44100, 2);
  sound.play(2, shared_bytes(high), high.size(), 0, 44100, 2);
  EXPECT_EQ(sound.mixer().channel_count(), 1u);
  EXPECT_EQ(render(sound, 1)[0], 0.5f);
}

TEST(SoundInterface, ASourceFreedByItsOwnerPlaysOnUntilItEnds) {
  SoundSystem sound;
  sound.set_setting(1, 512);
  sound.set_volume(0, 32768, 32768);
  auto owner = std::make_shared<std::vector<std::uint8_t>>(s16({0x4000, 0x2000, 0x1000, 0x0800}));
  std::weak_ptr<std::vector<std::uint8_t>> watch = owner;
  const std::size_t size = owner->size();
  sound.play(0, std::shared_ptr<const std::uint8_t>(owner, owner->data()), size, size, 44100, 2);
  owner.reset();  // the game frees its sample
  EXPECT_FALSE(watch.expired());
  auto out = render(sound, 4);
  EXPECT_EQ(out[0], 0.5f);
  EXPECT_EQ(out[2], 0.25f);
  EXPECT_EQ(out[4], 0.125f);
  EXPECT_EQ(out[6], 0.0f);
  render(sound, 4);
  EXPECT_FALSE(sound.is_playing(0));
  EXPECT_TRUE(watch.expired());  // freed with the channel
}

TEST(SoundInterface, ReleaseEndsTheLoopWithoutAJumpAndCutEndsAtOnce) {
  SoundSystem sound;
  sound.set_setting(1, 512);
  sound.set_volume(0, 32768, 32768);
  auto ramp = s16({0, 0x1000, 0x2000, 0x3000});
  sound.play(0, shared_bytes(ramp), ramp.size(), 0, 44100, 2);  // loops the whole sample
  auto out = render(sound, 6);
  const float step = 0x1000 / 32768.0f;
  const float looped[] = {0, step, 2 * step, 3 * step, 0, step};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(out[2 * i], looped[i]) << i;
  EXPECT_TRUE(sound.release(0));
  out = render(sound, 4);
  EXPECT_EQ(out[0], 2 * step);  // goes on from where it was
  EXPECT_EQ(out[2], 0.0f);      // and ends with the data
  render(sound, 1);
  EXPECT_FALSE(sound.is_playing(0));

  sound.play(0, shared_bytes(ramp), ramp.size(), 0, 44100, 2);
  render(sound, 2);
  sound.cut(0);
  out = render(sound, 2);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_FALSE(sound.is_playing(0));
}

TEST(SoundInterface, EmptySamplesAndEndsPastTheDataAreHarmless) {
  SoundSystem sound;
  sound.set_volume(0, 32768, 32768);
  auto none = std::make_shared<std::vector<std::uint8_t>>();
  auto one_byte = std::make_shared<std::vector<std::uint8_t>>(1, 0x40);
  sound.play(0, std::shared_ptr<const std::uint8_t>(none, none->data()), 0, 0, 44100, 2);
  sound.play(1, std::shared_ptr<const std::uint8_t>(one_byte, one_byte->data()), 1, 0, 44100, 2);
  auto out = render(sound, 4);
  for (float s : out) EXPECT_EQ(s, 0.0f);
  render(sound, 1);
  EXPECT_FALSE(sound.is_playing(0));
  EXPECT_FALSE(sound.is_playing(1));

  // An end beyond the sample stops at the sample's own end (the data is
  // exactly four frames long, so a read past it would be caught).
  auto four = s16({0x1000, 0x1000, 0x1000, 0x1000});
  sound.play(2, shared_bytes(four), four.size(), 0, 44100, 2);
  render(sound, 3);
  EXPECT_TRUE(sound.set_end(2, 1 << 20));
  render(sound, 100);
  render(sound, 1);
  EXPECT_FALSE(sound.is_playing(2));
  sound.play(2, shared_bytes(four), four.size(), 0, 44100, 2);
  EXPECT_TRUE(sound.set_end(2, 0));
  EXPECT_EQ(render(sound, 1)[0], 0.0f);
}

TEST(SoundSettings, StartValuesAndConversions) {
  SoundSystem sound;
  EXPECT_EQ(sound.get_setting(1), 256);
  EXPECT_EQ(sound.get_setting(8), 256);
  EXPECT_EQ(sound.get_setting(9), 64);
  EXPECT_EQ(sound.get_setting(0), 1);
  EXPECT_TRUE(sound.set_setting(2, 150));
  EXPECT_EQ(sound.settings().bass_db, 6.0f);
  EXPECT_EQ(sound.get_setting(2), 150);
  EXPECT_FALSE(sound.set_setting(5, 1));
  EXPECT_EQ(sound.get_setting(5), 0);
  for (int code : {0, 1, 2, 3, 7, 8, 9}) EXPECT_TRUE(SoundSystem::has_setting(code)) << code;
  for (int code : {4, 5, 6, 10, -1}) EXPECT_FALSE(SoundSystem::has_setting(code)) << code;

  static bool crt = false;
  set_sound_display_seam({[](bool on) { crt = on; }, [] { return crt; }});
  EXPECT_TRUE(sound.set_setting(7, 1));
  EXPECT_EQ(sound.get_setting(7), 1);
  set_sound_display_seam({});
  EXPECT_EQ(sound.get_setting(7), 0);
}

TEST(Limiter, TwoFullScaleChannelsComeOutAtFullScaleWithHalfGain) {
  SoundMixer mixer;
  mixer.set_channel(0, std::make_unique<ChannelPlayer>(constant_source(-32768, 8, 0), stereo_volume{1, 1}));
  mixer.set_channel(1, std::make_unique<ChannelPlayer>(constant_source(-32768, 8, 0), stereo_volume{1, 1}));
  std::vector<float> out(2 * 16, 0.0f);
  mixer.mix(out.data(), 16);
  for (float s : out) EXPECT_EQ(s, -1.0f);
  EXPECT_FLOAT_EQ(mixer.limiter_gain(), 0.5f * 1.001f);  // creeping back, once per pass
  std::fill(out.begin(), out.end(), 0.0f);
  mixer.mix(out.data(), 16);
  for (float s : out) EXPECT_FLOAT_EQ(s, -1.0f);
  EXPECT_FLOAT_EQ(mixer.limiter_gain(), 0.5f * 1.001f);  // held down while the sum stays at 2

  // Louder again, at a gain below 1: the gain falls to the one at which the
  // peak is full scale (1/4), and what follows at that level stays at full
  // scale instead of dropping to half of it.
  mixer.set_channel(2, std::make_unique<ChannelPlayer>(constant_source(-32768, 8, 0), stereo_volume{2, 2}));
  std::fill(out.begin(), out.end(), 0.0f);
  mixer.mix(out.data(), 16);
  for (float s : out) EXPECT_FLOAT_EQ(s, -1.0f);
  EXPECT_FLOAT_EQ(mixer.limiter_gain(), 0.25f * 1.001f);

  // Quiet sound: the gain climbs back to 1 and never beyond.
  mixer.cut(0);
  mixer.cut(1);
  mixer.cut(2);
  for (int pass = 0; pass < 2000; ++pass) {
    std::fill(out.begin(), out.end(), 0.0f);
    mixer.mix(out.data(), 16);
  }
  EXPECT_EQ(mixer.limiter_gain(), 1.0f);
}

TEST(ToneControl, ZeroDecibelsPassesTheSignalUnchanged) {
  tone_control tone;
  tone.set_rate(48000);
  tone.set_bass(6);
  tone.set_bass(0);
  tone.set_treble(0);
  for (int i = 0; i < 1000; ++i) {
    const float x = std::sin(static_cast<float>(i) * 0.37f) * 0.8f;
    EXPECT_EQ(tone.process(x), x);
  }
}

// Peak amplitude of a sine of `hz` through the tone control, after it settles.
float sine_gain(tone_control& tone, float hz) {
  float peak = 0;
  for (int i = 0; i < 44100; ++i) {
    const float x = std::sin(2.0f * std::numbers::pi_v<float> * hz * static_cast<float>(i) / 44100.0f);
    const float y = tone.process(x);
    if (i > 22050) peak = std::max(peak, std::fabs(y));
  }
  return peak;
}

TEST(ToneControl, ShelvesLiftTheirOwnBandOnly) {
  tone_control bass;
  bass.set_bass(6.0206f);  // twice the amplitude
  EXPECT_NEAR(sine_gain(bass, 20), 2.0f, 0.05f);
  EXPECT_NEAR(sine_gain(bass, 10000), 1.0f, 0.05f);
  tone_control treble;
  treble.set_treble(-6.0206f);
  EXPECT_NEAR(sine_gain(treble, 20), 1.0f, 0.05f);
  EXPECT_NEAR(sine_gain(treble, 15000), 0.5f, 0.05f);
}

TEST(WaveSource, FiveFormatsConvertAndInterpolate) {
  struct one_case {
    wave_format format;
    std::vector<std::uint8_t> bytes;  // two frames
    float left0, right0, left1, right1;
  };
  const one_case cases[] = {
      {WAVE_U8_MONO, {0x00, 0xC0}, -1.0f, -1.0f, 0.5f, 0.5f},
      {WAVE_S8_MONO, {0x80, 0x40}, -1.0f, -1.0f, 0.5f, 0.5f},
      {WAVE_U16_MONO, {0x00, 0x00, 0x00, 0xC0}, -1.0f, -1.0f, 0.5f, 0.5f},
      {WAVE_S16_MONO, {0x00, 0x80, 0x00, 0x40}, -1.0f, -1.0f, 0.5f, 0.5f},
      {WAVE_S16_STEREO, {0x00, 0x80, 0x00, 0x40, 0x00, 0x40, 0x00, 0xC0}, -1.0f, 0.5f, 0.5f, -0.5f},
  };
  for (const auto& c : cases) {
    const std::size_t size = c.bytes.size();
    // Two frames at half speed: the first, halfway between them, then the end.
    WaveSource source(shared_bytes(c.bytes), size, c.format, 0.5, 1e9);
    wave_frame out[4];
    ASSERT_EQ(source.render(source.rate_ratio(), out, 4), 2u) << c.format;
    EXPECT_EQ(out[0].left, c.left0) << c.format;
    EXPECT_EQ(out[0].right, c.right0) << c.format;
    EXPECT_EQ(out[1].left, (c.left0 + c.left1) / 2) << c.format;
    EXPECT_EQ(out[1].right, (c.right0 + c.right1) / 2) << c.format;
  }
}

TEST(WaveSource, LoopRepeatsFromItsStart) {
  auto bytes = std::vector<std::uint8_t>{0x80, 0x90, 0xA0, 0xB0};  // unsigned 8-bit
  WaveSource source(shared_bytes(bytes), 4, WAVE_U8_MONO, 1.0, 2);
  wave_frame out[9];
  ASSERT_EQ(source.render(1.0, out, 9), 9u);
  const int expected[] = {0x80, 0x90, 0xA0, 0xB0, 0xA0, 0xB0, 0xA0, 0xB0, 0xA0};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i].left, expected[i] / 128.0f - 1.0f) << i;
}

}  // namespace
