#include "sound/wave_data.h"

#include <cstring>

#include "core/decoders.h"
#include "core/record_bytes.h"

namespace {

constexpr std::size_t RIFF_HEAD = 12;  // "RIFF", u32 length, "WAVE"
constexpr std::size_t CHUNK_HEAD = 8;  // id, u32 length
constexpr std::size_t FMT_KEPT = 12;   // format tag, channels, rate, bytes per second
constexpr std::size_t FMT_MAX = 40;

struct wav_chunks {
    const uint8_t* fmt = nullptr;
    const uint8_t* data = nullptr;
    std::size_t data_length = 0;
    std::size_t decoded_size() const { return WAVE_DATA_HEAD + data_length; }
};

bool is_id(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Walks the chunks from the end of the RIFF head until both "fmt " and
// "data" are found; the first of each counts and whatever follows them is
// never looked at. Other chunks are skipped by their length (no pad byte).
std::optional<wav_chunks> find_chunks(const uint8_t* file, std::size_t size) {
    if (!file || size < RIFF_HEAD || !is_id(file, "RIFF") || !is_id(file + 8, "WAVE")) return std::nullopt;
    // The RIFF length is not trusted: the chunks are measured against the
    // bytes actually present.
    wav_chunks found;
    std::size_t at = RIFF_HEAD;
    while ((!found.fmt || !found.data) && size - at >= CHUNK_HEAD) {
        const uint8_t* chunk = file + at;
        const std::size_t length = le32(chunk + 4);
        const std::size_t room = size - at - CHUNK_HEAD;
        if (!found.fmt && is_id(chunk, "fmt ")) {
            if (length < FMT_KEPT || length > FMT_MAX || length > room) return std::nullopt;
            found.fmt = chunk + CHUNK_HEAD;
        } else if (!found.data && is_id(chunk, "data")) {
            // A data chunk cut short by the file's end keeps the samples
            // that are there: a truncated sound still plays its beginning.
            found.data = chunk + CHUNK_HEAD;
            found.data_length = length < room ? length : room;
            if (length > room) break;
        } else if (length > room) {
            return std::nullopt;
        }
        at += CHUNK_HEAD + length;
    }
    if (!found.fmt || !found.data) return std::nullopt;
    return found;
}

void write_decoded(const wav_chunks& chunks, uint8_t* out) {
    record_writer head(out);
    head.bytes(chunks.fmt, FMT_KEPT);
    head.u32(static_cast<uint32_t>(chunks.data_length));
    if (chunks.data_length) std::memcpy(out + WAVE_DATA_HEAD, chunks.data, chunks.data_length);
}

}  // namespace

std::optional<std::vector<uint8_t>> decode_wav(const uint8_t* file, std::size_t size) {
    const auto chunks = find_chunks(file, size);
    if (!chunks) return std::nullopt;
    std::vector<uint8_t> out(chunks->decoded_size());
    write_decoded(*chunks, out.data());
    return out;
}

std::optional<wave_view> read_wave_data(const void* decoded, std::size_t size) {
    if (!decoded || size < WAVE_DATA_HEAD) return std::nullopt;
    const auto* bytes = static_cast<const uint8_t*>(decoded);
    record_reader head(bytes, WAVE_DATA_HEAD);
    wave_view view;
    view.format_tag = head.u16();
    view.channels = head.u16();
    view.rate = head.u32();
    view.bytes_per_second = head.u32();
    view.length = head.u32();
    if (view.length > size - WAVE_DATA_HEAD) return std::nullopt;
    view.data = bytes + WAVE_DATA_HEAD;
    return view;
}

void* wav_decoder(void* data, int32_t* length, handle_id) {
    const std::size_t size = data && *length > 0 ? static_cast<std::size_t>(*length) : 0;
    const auto chunks = find_chunks(static_cast<const uint8_t*>(data), size);
    if (!chunks) {
        // Nothing playable: a head of zeros, a sound of no data.
        void* silent = game_alloc(WAVE_DATA_HEAD);
        std::memset(silent, 0, WAVE_DATA_HEAD);
        *length = static_cast<int32_t>(WAVE_DATA_HEAD);
        return silent;
    }
    // The decoded form is never longer than the file (the head of 16 bytes
    // replaces at least 20), so its length fits.
    auto* out = static_cast<uint8_t*>(game_alloc(chunks->decoded_size()));
    write_decoded(*chunks, out);
    *length = static_cast<int32_t>(chunks->decoded_size());
    return out;
}

void register_wav_decoder() { register_decoder(decoder_id::sample_converter, wav_decoder); }

bool handle_resource_present(handle_id id) {
    const handle_record* record = handle_info(id);
    // An alias loads through the handle it names.
    for (int hops = 0; record && record->state == HANDLE_ALIAS && hops < 8; ++hops)
        record = handle_info(static_cast<handle_id>(record->location));
    if (!record || record->state == HANDLE_UNDEFINED || record->state == HANDLE_ALIAS) return false;
    // Only a defined handle not loaded yet reads its file; one without a
    // name is built by its decoder.
    if (record->state != HANDLE_DEFINED || record->location || !record->name[0]) return true;
    return resource_available(record->folder, record->name);
}

std::optional<wave_view> wave_of_handle(handle_id id) {
    if (!handle_resource_present(id)) return std::nullopt;
    const void* data = get_handle_data(id);
    const int32_t length = handle_length(id);
    if (!data || length < 0) return std::nullopt;
    return read_wave_data(data, static_cast<std::size_t>(length));
}
