#include "sound/mus_parser.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "base/paths.h"
#include "sound/mus_format.h"

MUSStreamParser::MUSStreamParser(const std::string& path) {
    const std::string resolved = resolve_path(path);
    const int fd = open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<size_t>(info.st_size) < mus::HEADER_BYTES) {
        close(fd);
        return;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);  // the view outlives the descriptor
    if (view == MAP_FAILED) return;
    mapped_ = view;
    mapped_size_ = size;
    decoder_.emplace(static_cast<const uint8_t*>(view), size);
    opened_ = decoder_->valid();
}

MUSStreamParser::MUSStreamParser(const uint8_t* data, size_t size) {
    decoder_.emplace(data, size);
    opened_ = decoder_->valid();
}

MUSStreamParser::~MUSStreamParser() {
    if (mapped_) munmap(mapped_, mapped_size_);
}

music_format MUSStreamParser::get_format() const {
    if (!opened_) return {};
    return {decoder_->rate(), decoder_->channels(), mus::BYTES_PER_SAMPLE};
}

std::span<const uint8_t> MUSStreamParser::read() {
    if (pending_.empty() && opened_) {
        const std::span<const int16_t> block = decoder_->next_block();
        // The samples in the machine's own order, as the mixer reads them.
        pending_ =
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(block.data()), block.size_bytes());
    }
    return std::exchange(pending_, {});
}

void MUSStreamParser::put_back(std::span<const uint8_t> rest) {
    pending_ = rest;
}

std::unique_ptr<IMusicStream> music_open(const std::string& path) {
    auto parser = std::make_unique<MUSStreamParser>(path);
    if (!parser->opened()) return nullptr;
    return parser;
}
