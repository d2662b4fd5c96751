// The streaming ring: writing, play position, finishing, delta decoding, and
// the waits for a mixer pass that must neither deadlock nor hang.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <thread>
#include <vector>

#include "sound/sound_system.h"

namespace {

using namespace std::chrono_literals;

std::vector<float> render(SoundSystem& sound, std::size_t frames) {
  std::vector<float> out(frames * 2);
  sound.render(out.data(), frames);
  return out;
}

std::vector<std::uint8_t> stereo_frames(std::size_t count, int first) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < count; ++i) {
    for (int side = 0; side < 2; ++side) {
      const int v = (first + static_cast<int>(i)) * (side == 0 ? 1 : -1);
      bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
  }
  return bytes;
}

TEST(StreamRing, PlaysWhatWasWrittenAfterTheSilentHalfThenEnds) {
  SoundSystem sound;
  sound.set_setting(1, 512);
  sound.set_setting(9, 128);  // ring volume 1
  const std::size_t size = 64;  // 16 frames
  EXPECT_EQ(sound.stream_start(44100, size), size / 2);
  auto data = stereo_frames(4, 1000);
  EXPECT_EQ(sound.stream_write(data.data(), data.size()), data.size());
  sound.stream_finish();
  EXPECT_FALSE(sound.stream_active());
  auto out = render(sound, 32);
  for (std::size_t f = 0; f < 8; ++f) EXPECT_EQ(out[2 * f], 0.0f) << f;
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(out[2 * (8 + f)], (1000 + f) / 32768.0f) << f;
    EXPECT_EQ(out[2 * (8 + f) + 1], -(1000 + f) / 32768.0f) << f;
  }
  for (std::size_t s = 2 * 12; s < out.size(); ++s) EXPECT_EQ(out[s], 0.0f) << s;
  render(sound, 1);
  EXPECT_FALSE(sound.is_playing(STREAM_CHANNEL_FIRST));
}

TEST(StreamRing, AFinishedRingEndsAtItsCursorWithoutAStaleFrameAndVolumesStayInRange) {
  SoundSystem sound;
  const std::size_t size = 64;  // 16 frames, written from frame 8
  sound.stream_start(44100, size);
  auto data = stereo_frames(4, 4000);
  ASSERT_EQ(sound.stream_write(data.data(), data.size()), data.size());
  sound.stream_finish();
  // Frames 0-11 are heard (the silent half, then what was written); the
  // frame after the cursor is not.
  int frames_heard = 0;
  while (sound.is_playing(STREAM_CHANNEL_FIRST) && frames_heard < 32) {
    float out[2] = {};
    sound.render(out, 1);
    ++frames_heard;
  }
  EXPECT_EQ(frames_heard, 12 + 1);  // the pass after the last frame drops the channel

  // Settings from files: a negative volume is silence, a huge one unit gain.
  sound.set_setting(8, -40);
  EXPECT_EQ(sound.get_setting(8), 0);
  sound.set_setting(1, 100000);
  EXPECT_EQ(sound.get_setting(1), 512);
  sound.set_setting(9, 999);
  EXPECT_EQ(sound.get_setting(9), 128);
}

TEST(StreamRing, AFullRingTakesNothingAndConsecutiveRingsAlternateChannels) {
  SoundSystem sound;
  const std::size_t size = 64;
  sound.stream_start(44100, size);
  auto data = stereo_frames(32, 1);
  std::size_t written = 0;
  for (int i = 0; i < 4; ++i) written += sound.stream_write(data.data() + written, data.size() - written);
  EXPECT_LT(written, size);
  EXPECT_EQ(sound.stream_write(data.data(), 4), 0u);
  sound.stream_start(44100, size);
  EXPECT_TRUE(sound.is_playing(STREAM_CHANNEL_FIRST));
  EXPECT_TRUE(sound.is_playing(STREAM_CHANNEL_FIRST + 1));
  // Music volume reaches the playing rings at once, without a ramp.
  sound.set_setting(9, 128);
  EXPECT_EQ(sound.mixer().channel_volume(STREAM_CHANNEL_FIRST + 1).left, 0.5f);
  EXPECT_EQ(sound.mixer().channel_volume(STREAM_CHANNEL_FIRST).right, 0.5f);
}

TEST(StreamRing, PlayPositionJustShortOfTheEndWrapsToTheStart) {
  SoundSystem sound;
  sound.set_mix_rate(10000);
  const std::size_t size = 16;  // 4 frames
  sound.stream_start(6000, size);  // 0.6 ring frames per output frame
  render(sound, 8);                // position 4.8: frame 3.8 heard, which rounds to 4
  EXPECT_EQ(sound.stream_play_position(), 0u);
  const std::uint8_t bytes[4] = {1, 0, 1, 0};
  EXPECT_LE(sound.stream_write(bytes, 4), 4u);

  // Once round the ring: the frame heard is the one before the position.
  sound.stream_start(2000, size);  // 0.2 ring frames per output frame
  render(sound, 22);               // position 4.4: frame 3.4 heard
  EXPECT_EQ(sound.stream_play_position(), 12u);
}

TEST(StreamRing, DeltaCodesDecodeWithTheCallersAccumulators) {
  SoundSystem sound;
  sound.set_setting(1, 512);
  sound.set_setting(9, 128);
  const std::size_t size = 64;
  std::size_t cursor = sound.stream_start(44100, size);
  std::int16_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<std::int16_t>(i - 128);
  std::int16_t acc[2] = {100, -100};
  const std::uint8_t codes[] = {128 + 10, 128 - 10, 128 + 10, 128 - 10};  // +10, -10 per side
  ASSERT_TRUE(sound.stream_write_delta(codes, 4, table, acc, cursor));
  EXPECT_EQ(cursor, size / 2 + 8);
  EXPECT_EQ(acc[0], 120);
  EXPECT_EQ(acc[1], -120);
  auto out = render(sound, 10);
  EXPECT_EQ(out[2 * 8], 110 / 32768.0f);
  EXPECT_EQ(out[2 * 8 + 1], -110 / 32768.0f);
  EXPECT_EQ(out[2 * 9], 120 / 32768.0f);
  EXPECT_EQ(out[2 * 9 + 1], -120 / 32768.0f);
}

// The ring is full whenever the producer writes: the write must wait for a
// pass and report false.
bool write_into_full_ring(SoundSystem& sound, std::size_t& cursor) {
  std::int16_t table[256] = {};
  std::int16_t acc[2] = {0, 0};
  std::vector<std::uint8_t> codes(1024, 0);  // more than the ring holds
  return sound.stream_write_delta(codes.data(), codes.size(), table, acc, cursor);
}

TEST(StreamRing, AWriteIntoAFullRingWithNoPassComingGivesUpAfterATimeout) {
  SoundSystem sound;  // no device: no pass ever comes
  std::size_t cursor = sound.stream_start(44100, 256);
  auto result = std::async(std::launch::async, [&] { return write_into_full_ring(sound, cursor); });
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready) << "the wait for a mixer pass never ended";
  EXPECT_FALSE(result.get());
}

TEST(StreamRing, AWriteIntoAFullRingWaitsForAPassWhileTheMixerRuns) {
  SoundSystem sound;
  std::size_t cursor = sound.stream_start(44100, 256);
  std::atomic<bool> stop{false};
  std::atomic<int> passes{0};
  std::thread audio([&] {
    std::vector<float> out(2 * 64);
    while (!stop.load()) {
      sound.render(out.data(), 64);
      passes.fetch_add(1);
      std::this_thread::sleep_for(1ms);
    }
  });
  // Each write ends with the next pass, a millisecond or so away; one that
  // held the mixer's lock would stall the mixer and end only by its timeout.
  const auto start = std::chrono::steady_clock::now();
  auto result = std::async(std::launch::async, [&] {
    for (int i = 0; i < 20; ++i)
      if (write_into_full_ring(sound, cursor)) return true;
    return false;
  });
  const bool finished = result.wait_for(5s) == std::future_status::ready;
  const auto elapsed = std::chrono::steady_clock::now() - start;
  stop.store(true);
  audio.join();
  ASSERT_TRUE(finished) << "the producer and the mixer deadlocked";
  EXPECT_FALSE(result.get());
  EXPECT_GE(passes.load(), 20);
  EXPECT_LT(elapsed, 20 * 100ms);
}

TEST(StreamRing, FadeBringsTheUnheardPartDownToSilence) {
  SoundSystem sound;
  sound.set_setting(1, 512);
  sound.set_setting(9, 128);
  const std::size_t size = 64;
  sound.stream_start(44100, size);
  std::vector<std::uint8_t> loud;
  for (int i = 0; i < 7; ++i) {  // all the ring has room for
    for (int side = 0; side < 2; ++side) {
      loud.push_back(0x00);
      loud.push_back(0x40);  // 16384
    }
  }
  ASSERT_EQ(sound.stream_write(loud.data(), loud.size()), loud.size());
  render(sound, 10);  // two of the seven loud frames heard
  sound.stream_fade();
  auto out = render(sound, 6);
  for (int i = 1; i < 6; ++i) EXPECT_LT(out[2 * i], out[2 * (i - 1)]) << i;
  EXPECT_GT(out[0], 0.0f);
  EXPECT_EQ(out[2 * 5], 0.0f);
}

}  // namespace
