// Any bytes as a WAV file: nothing reads past them, an accepted file gives a
// head whose fields are the first 12 bytes of a "fmt " chunk and samples
// that are a run of the file's own bytes, and the loader's decoder gives the
// same bytes (or the silent sound when the file is refused).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/handles.h"
#include "sound/wave_data.h"

namespace {

// Whether `part` appears in the file right after a chunk head of `id`.
bool follows_chunk(const uint8_t* part, std::size_t n, const std::vector<uint8_t>& file, const char* id) {
    for (std::size_t at = 12; at + 8 + n <= file.size(); ++at)
        if (std::memcmp(file.data() + at, id, 4) == 0 && std::memcmp(file.data() + at + 8, part, n) == 0)
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    // A copy of exactly the bytes given, so a read past them is caught.
    const std::vector<uint8_t> file(data, data + size);
    const auto decoded = decode_wav(file.data(), file.size());

    std::vector<uint8_t> input(file);
    int32_t length = static_cast<int32_t>(input.size());
    void* loaded = wav_decoder(input.empty() ? nullptr : input.data(), &length, 0);
    if (!loaded || length < static_cast<int32_t>(WAVE_DATA_HEAD)) std::abort();
    const std::vector<uint8_t> from_loader(static_cast<uint8_t*>(loaded), static_cast<uint8_t*>(loaded) + length);
    game_free(loaded);

    if (!decoded) {
        if (from_loader != std::vector<uint8_t>(WAVE_DATA_HEAD, 0)) std::abort();
        return 0;
    }
    if (*decoded != from_loader) std::abort();
    const auto view = read_wave_data(decoded->data(), decoded->size());
    if (!view || WAVE_DATA_HEAD + view->length != decoded->size()) std::abort();
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0)
        std::abort();
    // The head and the samples come from the file as they stand.
    if (!follows_chunk(decoded->data(), 12, file, "fmt ")) std::abort();
    if (view->length > 0 && !follows_chunk(view->data, view->length, file, "data")) std::abort();
    return 0;
}
