#pragma once
// MUS files as music streams: the file mapped read-only for the stream's
// lifetime and decoded a block at a time.
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "sound/mus_decoder.h"
#include "sound/mus_stream.h"

class MUSStreamParser : public IMusicStream {
  public:
    // Maps the file; opened() is false when it cannot be mapped or is
    // shorter than the MUS header.
    explicit MUSStreamParser(const std::string& path);
    // A stream over bytes the caller keeps alive for the stream's lifetime.
    MUSStreamParser(const uint8_t* data, size_t size);
    ~MUSStreamParser() override;
    MUSStreamParser(const MUSStreamParser&) = delete;
    MUSStreamParser& operator=(const MUSStreamParser&) = delete;

    bool opened() const { return opened_; }
    music_format get_format() const override;
    std::span<const uint8_t> read() override;
    void put_back(std::span<const uint8_t> rest) override;

  private:
    bool opened_ = false;
    void* mapped_ = nullptr;
    size_t mapped_size_ = 0;
    std::optional<mus_decoder> decoder_;
    std::span<const uint8_t> pending_;
};

// The MUS file at path as a stream, or none when it cannot be opened.
std::unique_ptr<IMusicStream> music_open(const std::string& path);
