#include "forge/wav_writer.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "base/file_write.h"

namespace forge {

namespace {

void put_u16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

void put_tag(std::vector<uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

// Header and fmt chunk for `data_bytes` bytes of PCM; the data follows.
std::vector<uint8_t> header(uint32_t rate, uint16_t channels, uint16_t bits, size_t data_bytes) {
    if (rate == 0) throw std::invalid_argument("WAV rate of 0");
    // The RIFF length counts the data, its pad byte and 36 bytes of header.
    if (data_bytes > std::numeric_limits<uint32_t>::max() - 37)
        throw std::length_error("WAV data too long for a RIFF file");
    const uint32_t block_align = channels * (bits / 8u);
    const uint64_t byte_rate = uint64_t{rate} * block_align;
    if (byte_rate > std::numeric_limits<uint32_t>::max()) throw std::invalid_argument("WAV rate too high");
    const uint32_t pad = data_bytes & 1u;
    std::vector<uint8_t> out;
    out.reserve(44 + data_bytes + pad);
    put_tag(out, "RIFF");
    put_u32(out, static_cast<uint32_t>(36 + data_bytes + pad));
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put_u32(out, 16);
    put_u16(out, 1);  // PCM
    put_u16(out, channels);
    put_u32(out, rate);
    put_u32(out, static_cast<uint32_t>(byte_rate));
    put_u16(out, block_align);
    put_u16(out, bits);
    put_tag(out, "data");
    put_u32(out, static_cast<uint32_t>(data_bytes));
    return out;
}

}  // namespace

std::vector<uint8_t> wav_from_u8(const std::vector<uint8_t>& samples, uint32_t rate) {
    std::vector<uint8_t> out = header(rate, 1, 8, samples.size());
    out.insert(out.end(), samples.begin(), samples.end());
    // RIFF chunks are padded to an even length; the pad lies after the last chunk.
    if (samples.size() & 1u) out.push_back(0);
    return out;
}

std::vector<uint8_t> wav_from_s16(const std::vector<int16_t>& samples, uint32_t rate, uint16_t channels) {
    if (channels != 1 && channels != 2) throw std::invalid_argument("WAV of 1 or 2 channels only");
    if (samples.size() % channels) throw std::invalid_argument("WAV samples do not fill whole frames");
    if (samples.size() > std::numeric_limits<uint32_t>::max() / 2)
        throw std::length_error("WAV data too long for a RIFF file");
    std::vector<uint8_t> out = header(rate, channels, 16, samples.size() * 2);
    for (int16_t s : samples) put_u16(out, static_cast<uint16_t>(s));
    return out;
}

int16_t float_to_s16(float sample) {
    if (!(sample > -1.0f)) return -32767;  // NaN falls here too, never as noise
    if (sample >= 1.0f) return 32767;
    return static_cast<int16_t>(std::lround(sample * 32767.0f));
}

uint8_t float_to_u8(float sample) {
    if (!(sample > -1.0f)) return 1;
    if (sample >= 1.0f) return 255;
    return static_cast<uint8_t>(128 + std::lround(sample * 127.0f));
}

std::vector<uint8_t> wav_from_floats(const std::vector<float>& samples, uint32_t rate, int bits) {
    if (bits == 8) {
        std::vector<uint8_t> pcm(samples.size());
        for (size_t i = 0; i < samples.size(); ++i) pcm[i] = float_to_u8(samples[i]);
        return wav_from_u8(pcm, rate);
    }
    if (bits != 16) throw std::invalid_argument("WAV of 8 or 16 bits only");
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) pcm[i] = float_to_s16(samples[i]);
    return wav_from_s16(pcm, rate, 1);
}

void write_wav(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!write_file_atomic(path, view)) throw std::runtime_error("cannot write " + path);
}

}  // namespace forge
