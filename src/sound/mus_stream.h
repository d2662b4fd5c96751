#pragma once
// The music stream interface: how the game side reads decoded music of any
// format, piece by piece.
#include <cstddef>
#include <cstdint>
#include <span>

// The game side's handle of a stream; an IMusicStream behind it.
struct music_stream_t {};

struct music_format {
    uint32_t rate = 0;
    int channels = 0;
    int bytes_per_sample = 0;
};

class IMusicStream : public music_stream_t {
  public:
    virtual ~IMusicStream() = default;
    virtual music_format get_format() const = 0;
    // The next piece of decoded sound; empty when the stream has ended. The
    // bytes stay valid until the next read.
    virtual std::span<const uint8_t> read() = 0;
    // The unused tail of what read gave; the next read gives it again.
    virtual void put_back(std::span<const uint8_t> rest) = 0;
};

inline music_stream_t* to_handle(IMusicStream* stream) {
    return stream;
}
inline IMusicStream* from_handle(music_stream_t* handle) {
    return static_cast<IMusicStream*>(handle);
}
