#pragma once
// Reading the PCM WAV files authors bring to the forge (music and a video's
// sound): 8-bit unsigned or 16-bit signed, mono or stereo, 4,000 to 96,000 Hz.
#include <cstdint>
#include <string>
#include <vector>

namespace forge {

struct pcm_sound {
    uint32_t rate = 0;
    std::vector<int16_t> stereo;  // left and right in turn; mono goes to both sides
};

// The sound of a WAV file's bytes; throws std::runtime_error saying what is
// wrong with it.
pcm_sound read_pcm_wav(const std::string& bytes);

}  // namespace forge
