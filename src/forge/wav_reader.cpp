#include "forge/wav_reader.h"

#include <stdexcept>
#include <string_view>

namespace forge {

namespace {

uint32_t le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t le16(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

}  // namespace

pcm_sound read_pcm_wav(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        fail("not a RIFF WAVE file");
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    bool have_format = false;
    std::string_view data;
    size_t at = 12;
    while (bytes.size() - at >= 8) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = le32(bytes, at + 4);
        at += 8;
        if (size > bytes.size() - at) fail("chunk \"" + id + "\" runs past the end of the file");
        if (id == "fmt ") {
            if (size < 16) fail("the \"fmt \" chunk is too short");
            format = le16(bytes, at);
            channels = le16(bytes, at + 2);
            rate = le32(bytes, at + 4);
            bits = le16(bytes, at + 14);
            have_format = true;
        } else if (id == "data") {
            data = std::string_view(bytes).substr(at, size);
        }
        at += size + (size & 1);
        if (at > bytes.size()) break;
    }
    if (!have_format || data.data() == nullptr) fail("no \"fmt \" or no \"data\" chunk");
    if (format != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16))
        fail("only 8-bit or 16-bit PCM, mono or stereo, is read");
    if (rate < 4000 || rate > 96000) fail("a sample rate of " + std::to_string(rate) + " Hz");
    const size_t sample_bytes = bits / 8;
    const size_t frames = data.size() / (sample_bytes * channels);
    pcm_sound out;
    out.rate = rate;
    out.stereo.reserve(frames * 2);
    for (size_t f = 0; f < frames; ++f) {
        int16_t sides[2] = {};
        for (size_t c = 0; c < channels; ++c) {
            const size_t i = (f * channels + c) * sample_bytes;
            sides[c] = bits == 8 ? int16_t((int(uint8_t(data[i])) - 128) * 256)
                                 : int16_t(uint8_t(data[i]) | uint8_t(data[i + 1]) << 8);
        }
        out.stereo.push_back(sides[0]);
        out.stereo.push_back(channels == 2 ? sides[1] : sides[0]);
    }
    return out;
}

}  // namespace forge
