#pragma once
// Writing RIFF/WAVE PCM files: 8-bit unsigned mono, 16-bit signed mono or
// stereo. Only a 16-byte "fmt " chunk and a "data" chunk, in that order, so
// a reader that walks chunks without pad bytes finds both.
#include <cstdint>
#include <string>
#include <vector>

namespace forge {

// 8-bit unsigned mono samples (128 is silence).
std::vector<uint8_t> wav_from_u8(const std::vector<uint8_t>& samples, uint32_t rate);
// 16-bit signed samples, interleaved left, right when `channels` is 2.
// Raises std::invalid_argument for other channel counts, a sample count that
// does not fill whole frames or a zero rate.
std::vector<uint8_t> wav_from_s16(const std::vector<int16_t>& samples, uint32_t rate, uint16_t channels);

// Mono samples in -1..1 (clipped beyond) as 8-bit or 16-bit PCM.
std::vector<uint8_t> wav_from_floats(const std::vector<float>& samples, uint32_t rate, int bits);
int16_t float_to_s16(float sample);
uint8_t float_to_u8(float sample);

// Writes through a temporary file renamed into place; throws
// std::runtime_error naming the path when it fails.
void write_wav(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace forge
