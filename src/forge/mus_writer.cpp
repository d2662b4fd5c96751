#include "forge/mus_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "base/file_write.h"
#include "core/record_bytes.h"
#include "sound/mus_format.h"

namespace forge {

namespace {

constexpr int NO_STEP_CODE = 128;
constexpr int STEP_LEVELS = 127;

// The table's steps sorted by value with their codes, for the nearest-step search.
struct step_index {
    std::array<int, 255> values;
    std::array<uint8_t, 255> codes;
};

step_index make_step_index(const std::array<int16_t, 256>& table) {
    std::array<std::pair<int, uint8_t>, 255> steps;
    for (int code = 1; code < 256; ++code) steps[code - 1] = {table[code], static_cast<uint8_t>(code)};
    std::sort(steps.begin(), steps.end());
    step_index index;
    for (size_t i = 0; i < steps.size(); ++i) {
        index.values[i] = steps[i].first;
        index.codes[i] = steps[i].second;
    }
    return index;
}

// The code whose step takes the decoder's running value closest to target,
// the 16-bit wrap included: for each way the sum may wrap, the steps next to
// the wanted one are the only candidates.
uint8_t nearest_code(const step_index& index, int16_t running, int16_t target) {
    int best_error = 1 << 30;
    uint8_t best_code = NO_STEP_CODE;
    for (int wrap = -1; wrap <= 1; ++wrap) {
        const int wanted = target - running - 65536 * wrap;
        const auto above = std::lower_bound(index.values.begin(), index.values.end(), wanted);
        const size_t at = static_cast<size_t>(above - index.values.begin());
        for (size_t i : {at - 1, at}) {
            if (i >= index.values.size()) continue;  // at - 1 wrapped below 0, or at past the end
            const int16_t decoded = static_cast<int16_t>(running + index.values[i]);
            const int error = std::abs(decoded - target);
            if (error < best_error) {
                best_error = error;
                best_code = index.codes[i];
            }
        }
    }
    return best_code;
}

}  // namespace

std::array<int16_t, 256> mus_delta_table() {
    std::array<int16_t, 256> table{};
    int previous = 0;
    for (int level = 1; level <= STEP_LEVELS; ++level) {
        const double curve = 32767.0 * std::pow(level / double(STEP_LEVELS), 3.0);
        const int step = std::max(previous + 1, static_cast<int>(std::lround(curve)));
        table[level] = static_cast<int16_t>(step);
        table[NO_STEP_CODE + level] = static_cast<int16_t>(-step);
        previous = step;
    }
    table[NO_STEP_CODE] = 0;
    return table;
}

std::vector<uint8_t> encode_mus(const std::vector<int16_t>& stereo_samples, uint32_t rate,
                                uint32_t block_frames) {
    if (stereo_samples.size() % 2 != 0) throw std::invalid_argument("MUS music needs whole stereo frames");
    if (rate == 0) throw std::invalid_argument("MUS music needs a sample rate");
    if (block_frames == 0) throw std::invalid_argument("MUS blocks need at least one frame");
    const size_t frames = stereo_samples.size() / 2;
    if (frames > UINT32_MAX) throw std::invalid_argument("MUS music too long");
    const size_t blocks = (frames + block_frames - 1) / block_frames;
    const std::array<int16_t, 256> table = mus_delta_table();
    const step_index index = make_step_index(table);

    std::vector<uint8_t> out(mus::HEADER_BYTES + blocks * mus::BLOCK_HEADER_BYTES + stereo_samples.size());
    record_writer header(out.data());
    header.u16(mus::MUSIC_CHANNELS);
    header.u32(rate);
    header.u32(static_cast<uint32_t>(frames));
    header.u32(static_cast<uint32_t>(blocks));
    header.zeros(mus::DELTA_TABLE_OFFSET - header.position());
    header.i16s(table.data(), table.size());

    size_t at = mus::HEADER_BYTES;
    for (size_t first = 0; first < frames; first += block_frames) {
        const size_t count = std::min<size_t>(block_frames, frames - first);
        record_writer block(out.data() + at);
        block.u32(static_cast<uint32_t>(count * 2));
        block.u32(0);
        at += mus::BLOCK_HEADER_BYTES;
        // The player starts both running values at 0 in every block.
        int16_t running[2] = {0, 0};
        for (size_t i = 0; i < count * 2; ++i) {
            const int channel = static_cast<int>(i % 2);
            const uint8_t code = nearest_code(index, running[channel], stereo_samples[first * 2 + i]);
            running[channel] = static_cast<int16_t>(running[channel] + table[code]);
            out[at++] = code;
        }
    }
    return out;
}

void write_mus(const std::string& path, const std::vector<int16_t>& stereo_samples, uint32_t rate) {
    const std::vector<uint8_t> bytes = encode_mus(stereo_samples, rate);
    if (!write_file_atomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        throw std::runtime_error(path + ": cannot write");
}

}  // namespace forge
