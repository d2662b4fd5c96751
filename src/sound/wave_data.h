#pragma once
// WAV files as the resource loader keeps them: the RIFF chunks are walked
// once and the sound is stored as a 16-byte head (format tag, channels,
// samples per second, average bytes per second, data length) followed by the
// sample data. A sound whose average bytes per second equal its samples per
// second is 8-bit unsigned (sample type 1), any other is 16-bit signed (2).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/handles.h"

constexpr std::size_t WAVE_DATA_HEAD = 16;

struct wave_view {
    uint16_t format_tag = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;           // samples per second
    uint32_t bytes_per_second = 0;
    uint32_t length = 0;         // bytes of sample data
    const uint8_t* data = nullptr;
    int sample_type() const { return bytes_per_second == rate ? 1 : 2; }
};

// The decoded form of a WAV file (head + data), or none when the file is not
// a RIFF WAV this game can play: no RIFF/WAVE head, no "fmt " or "data"
// chunk, an "fmt " chunk shorter than 12 or longer than 40 bytes, or an
// "fmt " or skipped chunk reaching past the end. A "data" chunk reaching past
// the end keeps the samples present. The chunk walk stops once both chunks
// are found; the first of each counts.
std::optional<std::vector<uint8_t>> decode_wav(const uint8_t* file, std::size_t size);

// Reads the head of decoded wave data; none when the bytes are too short for
// the length they claim.
std::optional<wave_view> read_wave_data(const void* decoded, std::size_t size);

// The loader's decoder of sound handles (the sample converter): a file that
// cannot be decoded becomes a silent sound of no data.
void* wav_decoder(void* data, int32_t* length, handle_id id);
// Plugs wav_decoder in as the sample converter of the fixed handles.
void register_wav_decoder();

// Whether the handle's data can be had without a fatal load error: it is
// defined and, when its file is still to be read, the file is there.
bool handle_resource_present(handle_id id);
// The wave data of a handle (loading it), or none when the handle is
// undefined, its file is missing or its data is not wave data.
std::optional<wave_view> wave_of_handle(handle_id id);
