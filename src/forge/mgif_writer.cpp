#include "forge/mgif_writer.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/record_bytes.h"
#include "forge/mus_writer.h"
#include "forge/quantize.h"
#include "gfx/mgif.h"
#include "gfx/screen.h"

namespace forge {

namespace {

class bit_writer {
  public:
    void put(int code, int width) {
        pending_ |= uint64_t(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            out_.push_back(uint8_t(pending_));
            pending_ >>= 8;
            count_ -= 8;
        }
    }
    std::vector<uint8_t> finish() {
        if (count_ > 0) out_.push_back(uint8_t(pending_));
        count_ = 0;
        pending_ = 0;
        return std::move(out_);
    }

  private:
    std::vector<uint8_t> out_;
    uint64_t pending_ = 0;
    int count_ = 0;
};

// The encoder's dictionary: child[prefix * 256 + byte] is the code of the
// string prefix + byte, 0 when it is not defined yet (no code below 258 is a
// child, so 0 is free to mean none).
class lzw_dictionary {
  public:
    lzw_dictionary() : child_(size_t(LZW_TABLE_ENTRIES) * 256, 0) {}
    int find(int prefix, uint8_t byte) const { return child_[size_t(prefix) * 256 + byte]; }
    void add(int prefix, uint8_t byte, int code) {
        const size_t slot = size_t(prefix) * 256 + byte;
        child_[slot] = uint16_t(code);
        used_.push_back(slot);
    }
    void clear() {
        for (size_t slot : used_) child_[slot] = 0;
        used_.clear();
    }

  private:
    std::vector<uint16_t> child_;
    std::vector<size_t> used_;
};

// Sound codes chosen against the value the player will hold: the table's
// steps sorted by value, searched for the one nearest to the wanted step
// for each way the 16-bit sum may wrap.
class sound_coder {
  public:
    explicit sound_coder(const std::array<int16_t, 256>& table) : table_(table) {
        for (int code = 1; code < 256; ++code) steps_.push_back({table[size_t(code)], uint8_t(code)});
        std::sort(steps_.begin(), steps_.end());
    }
    uint8_t code(int channel, int16_t target) {
        int16_t& running = running_[channel];
        int best_error = 1 << 30;
        uint8_t best = 128;
        for (int wrap = -1; wrap <= 1; ++wrap) {
            const int wanted = target - running - 65536 * wrap;
            const auto above =
                std::lower_bound(steps_.begin(), steps_.end(), std::pair<int, uint8_t>{wanted, 0});
            const size_t at = size_t(above - steps_.begin());
            for (size_t i : {at - 1, at}) {
                if (i >= steps_.size()) continue;
                const int error = std::abs(int16_t(running + steps_[i].first) - target);
                if (error < best_error) best_error = error, best = steps_[i].second;
            }
        }
        running = int16_t(running + table_[best]);
        return best;
    }

  private:
    std::array<int16_t, 256> table_;
    std::vector<std::pair<int, uint8_t>> steps_;
    int16_t running_[2] = {0, 0};
};

void put24(std::vector<uint8_t>& out, uint8_t first, size_t value) {
    out.push_back(first);
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
    out.push_back(uint8_t(value >> 16));
}

void add_chunk(std::vector<uint8_t>& frame, int& chunks, int type, const std::vector<uint8_t>& data) {
    if (data.size() > MGIF_MAX_CHUNK_BYTES)
        throw std::invalid_argument("an MGIF chunk of " + std::to_string(data.size()) + " bytes is too long");
    put24(frame, uint8_t(type), data.size());
    frame.insert(frame.end(), data.begin(), data.end());
    ++chunks;
}

bool row_changed(const uint8_t* previous, const uint8_t* current, int y) {
    const size_t at = size_t(y) * MGIF_WIDTH;
    return !std::equal(previous + at, previous + at + MGIF_WIDTH, current + at);
}

}  // namespace

std::vector<uint8_t> lzw_encode(const uint8_t* data, size_t size) {
    bit_writer bits;
    thread_local lzw_dictionary dictionary;  // 8 MB, cleared slot by slot
    int width = LZW_FIRST_WIDTH;
    size_t i = 0;
    if (size == 0) {
        bits.put(LZW_END_CODE, width);
        return bits.finish();
    }
    for (;;) {
        // A block: the decoder's table and running byte start afresh.
        dictionary.clear();
        width = LZW_FIRST_WIDTH;
        int encoder_next = LZW_FIRST_FREE;  // the encoder defines a code one step before the decoder
        int decoder_next = LZW_FIRST_FREE;
        bool first_code = true;
        auto emit = [&](int code) {
            bits.put(code, width);
            if (!first_code && ++decoder_next == (1 << width) - 1) ++width;
            first_code = false;
        };
        uint8_t base = 0;
        int string = uint8_t(data[i] - base);
        base = data[i++];
        bool table_full = false;
        while (i < size) {
            const uint8_t byte = uint8_t(data[i] - base);
            if (const int known = dictionary.find(string, byte)) {
                string = known;
                base = data[i++];
                continue;
            }
            emit(string);
            if (encoder_next < LZW_TABLE_ENTRIES) dictionary.add(string, byte, encoder_next++);
            if (decoder_next == LZW_TABLE_ENTRIES) {
                table_full = true;  // byte i starts the next block, from a running byte of 0
                break;
            }
            string = byte;
            base = data[i++];
        }
        if (table_full) {
            bits.put(LZW_CLEAR_CODE, width);
            continue;
        }
        emit(string);
        bits.put(LZW_END_CODE, width);
        return bits.finish();
    }
}

std::vector<uint8_t> delta_picture(const uint8_t* previous, const uint8_t* current) {
    constexpr int PAIRS = MGIF_WIDTH / 2;
    std::vector<uint8_t> control, pixels;
    auto pair_changed = [&](int y, int pair) {
        const size_t at = size_t(y) * MGIF_WIDTH + size_t(pair) * 2;
        return previous[at] != current[at] || previous[at + 1] != current[at + 1];
    };
    for (int y = 0; y < MGIF_HEIGHT;) {
        if (row_changed(previous, current, y)) {
            int pair = 0;
            while (pair < PAIRS) {
                int start = pair;
                while (start < PAIRS && !pair_changed(y, start)) ++start;
                if (start == PAIRS) break;
                int end = start + 1;
                // A single unchanged pair inside a run costs what a new step does.
                while (end < PAIRS && (pair_changed(y, end) || (end + 1 < PAIRS && pair_changed(y, end + 1))))
                    ++end;
                control.push_back(uint8_t(start - pair));
                control.push_back(uint8_t(end - start));
                const size_t at = size_t(y) * MGIF_WIDTH + size_t(start) * 2;
                pixels.insert(pixels.end(), current + at, current + at + size_t(end - start) * 2);
                pair = end;
            }
        }
        int rows = 1;
        while (y + rows < MGIF_HEIGHT && rows < 64 && !row_changed(previous, current, y + rows)) ++rows;
        control.push_back(uint8_t(192 + rows - 1));
        y += rows;
    }
    std::vector<uint8_t> out(4);
    record_writer(out.data()).u32(uint32_t(control.size()));
    out.insert(out.end(), control.begin(), control.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::array<int16_t, 256> mgif_sound_table() {
    return mus_delta_table();
}

std::vector<uint8_t> encode_mgif(const std::vector<mgif_frame>& frames, const mgif_options& options) {
    const std::array<int16_t, 256> table = mgif_sound_table();
    std::vector<uint8_t> out(MGIF_HEADER_BYTES, 0);
    record_writer header(out.data());
    header.bytes("MGIF", 4);
    header.u16(options.fps);
    header.zeros(MGIF_FRAME_COUNT_OFFSET - header.position());
    header.u32(uint32_t(frames.size()));
    header.zeros(MGIF_SOUND_TABLE_OFFSET - header.position());
    header.i16s(table.data(), table.size());

    sound_coder coder(table);
    const std::vector<uint8_t>* shown = nullptr;  // the picture the player holds
    const std::array<uint16_t, 256>* palette = nullptr;
    for (size_t f = 0; f < frames.size(); ++f) {
        const mgif_frame& frame = frames[f];
        if (frame.pixels.size() != MGIF_PICTURE_BYTES)
            throw std::invalid_argument("frame " + std::to_string(f) + " is not 320 x 180 pixels");
        if (frame.sound.size() % 2 != 0)
            throw std::invalid_argument("frame " + std::to_string(f) + " has half a stereo sample");
        std::vector<uint8_t> chunks;
        int count = 0;
        const bool new_palette = palette == nullptr || *palette != frame.palette;
        if (new_palette) {
            std::vector<uint8_t> bytes(512);
            record_writer words(bytes.data());
            for (uint16_t colour : frame.palette) words.u16(colour);
            add_chunk(chunks, count, MGIF_PALETTE, bytes);
            palette = &frame.palette;
        }
        if (!frame.sound.empty()) {
            std::vector<uint8_t> codes(frame.sound.size());
            for (size_t i = 0; i < codes.size(); ++i) codes[i] = coder.code(int(i & 1), frame.sound[i]);
            add_chunk(chunks, count, MGIF_SOUND, codes);
        }
        if (new_palette || shown == nullptr || !options.deltas) {
            add_chunk(chunks, count, MGIF_FULL_PICTURE, lzw_encode(frame.pixels.data(), frame.pixels.size()));
        } else if (*shown != frame.pixels) {
            std::vector<uint8_t> full = lzw_encode(frame.pixels.data(), frame.pixels.size());
            const std::vector<uint8_t> delta = delta_picture(shown->data(), frame.pixels.data());
            std::vector<uint8_t> packed;
            if (delta.size() <= MGIF_BUFFER_BYTES) packed = lzw_encode(delta.data(), delta.size());
            if (!packed.empty() && packed.size() < full.size())
                add_chunk(chunks, count, MGIF_DELTA_PICTURE, packed);
            else
                add_chunk(chunks, count, MGIF_FULL_PICTURE, full);
        }
        shown = &frame.pixels;
        if (chunks.size() > MGIF_MAX_CHUNK_BYTES)
            throw std::invalid_argument("frame " + std::to_string(f) + " is too long for the format");
        put24(out, uint8_t(count), chunks.size());
        out.insert(out.end(), chunks.begin(), chunks.end());
    }
    return out;
}

void spread_sound(std::vector<mgif_frame>& frames, const std::vector<int16_t>& stereo, unsigned fps) {
    if (fps == 0) throw std::invalid_argument("a video needs a frame rate");
    if (stereo.size() % 2 != 0) throw std::invalid_argument("the video's sound has half a stereo sample");
    constexpr uint64_t RING_FRAMES = MGIF_RING_BYTES / 4, SILENT_FRAMES = MGIF_RING_START_CURSOR / 4;
    // A little less than the free ring for the first frame, so that it is
    // taken at once even when the player counts its room cautiously.
    constexpr uint64_t FIRST_FRAMES = RING_FRAMES - SILENT_FRAMES - 64;
    const uint64_t available = stereo.size() / 2;
    uint64_t from = 0;
    for (size_t k = 0; k < frames.size(); ++k) {
        const uint64_t to =
            k == 0 ? FIRST_FRAMES : RING_FRAMES + (uint64_t(k) * MGIF_SOUND_RATE + fps / 2) / fps;
        std::vector<int16_t>& sound = frames[k].sound;
        sound.assign(size_t(to - from) * 2, 0);
        if (from < available) {
            const uint64_t end = std::min(to, available);
            std::copy(stereo.begin() + ptrdiff_t(from * 2), stereo.begin() + ptrdiff_t(end * 2),
                      sound.begin());
        }
        from = to;
    }
}

std::vector<mgif_frame> frames_from_rgba(const std::vector<rgba_image>& pictures) {
    // One tall picture of every frame, so that the whole video shares one
    // palette and changes stay small.
    rgba_image all;
    all.width = MGIF_WIDTH;
    all.height = int(pictures.size()) * MGIF_HEIGHT;
    all.rgba.reserve(pictures.size() * MGIF_PICTURE_BYTES * 4);
    for (size_t f = 0; f < pictures.size(); ++f) {
        if (pictures[f].width != MGIF_WIDTH || pictures[f].height != MGIF_HEIGHT ||
            pictures[f].rgba.size() != MGIF_PICTURE_BYTES * 4)
            throw std::invalid_argument("frame " + std::to_string(f) + " is " +
                                        std::to_string(pictures[f].width) + " x " +
                                        std::to_string(pictures[f].height) + " pixels, not 320 x 180");
        all.rgba.insert(all.rgba.end(), pictures[f].rgba.begin(), pictures[f].rgba.end());
    }
    std::vector<mgif_frame> frames(pictures.size());
    if (pictures.empty()) return frames;
    const indexed_image reduced = quantize(all, true);
    std::array<uint16_t, 256> palette{};
    for (int i = 0; i < 256; ++i)
        palette[size_t(i)] = rgb555(reduced.palette[size_t(i) * 3], reduced.palette[size_t(i) * 3 + 1],
                                    reduced.palette[size_t(i) * 3 + 2]);
    for (size_t f = 0; f < frames.size(); ++f) {
        const auto first = reduced.pixels.begin() + ptrdiff_t(f * MGIF_PICTURE_BYTES);
        frames[f].pixels.assign(first, first + ptrdiff_t(MGIF_PICTURE_BYTES));
        frames[f].palette = palette;
    }
    return frames;
}

}  // namespace forge
