// One mix pass of 1024 frames with 32 channels: 16-bit mono samples looping
// at rates other than the mixer's (so every frame interpolates), half of them
// ramping their volume, with the tone control on.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/sound_system.h"

namespace {

std::shared_ptr<const std::uint8_t> noise_sample(std::size_t frames, unsigned seed) {
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(frames * 2);
  for (std::size_t i = 0; i < frames; ++i) {
    seed = seed * 1103515245u + 12345u;
    const auto v = static_cast<std::uint16_t>((seed >> 16) & 0x3FFF);
    (*bytes)[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
    (*bytes)[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  return {bytes, bytes->data()};
}

void BM_MixPass32Channels(benchmark::State& state) {
  SoundSystem sound;
  sound.set_setting(2, 100);  // bass +4 dB
  sound.set_setting(3, 50);   // treble +2 dB
  std::vector<std::shared_ptr<const std::uint8_t>> samples;
  for (int c = 0; c < 32; ++c) {
    samples.push_back(noise_sample(22050, static_cast<unsigned>(c)));
    sound.set_volume(c, 8000 + c * 100, 12000 - c * 100);
    sound.play(c, samples.back(), 22050 * 2, 0, c % 2 ? 22050 : 11025, 2);
  }
  std::vector<float> out(2 * 1024);
  int pass = 0;
  for (auto _ : state) {
    if (pass++ % 8 == 0)
      for (int c = 0; c < 32; c += 2) sound.set_volume(c, (pass * 37 + c * 911) % 32768, (pass * 53) % 32768);
    sound.render(out.data(), 1024);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_MixPass32Channels)->Unit(benchmark::kMicrosecond);

}  // namespace
