// Any bytes as sound.dat: nothing reads past them, an accepted file holds
// exactly the count of names its head gives, and writing those names back
// (a NUL after each) gives the file's bytes up to where the reading stopped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sound/sound_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    // A copy of exactly the bytes given, so a read past them is caught.
    const std::vector<uint8_t> file(data, data + size);
    const auto names = parse_sound_dat(file.data(), file.size());
    if (!names) return 0;
    if (size < 4) std::abort();
    const uint32_t count = uint32_t(file[0]) | uint32_t(file[1]) << 8 | uint32_t(file[2]) << 16 |
                           uint32_t(file[3]) << 24;
    if (names->size() != count) std::abort();
    std::string written(file.begin(), file.begin() + 4);
    for (const auto& name : *names) {
        if (name && (name->empty() || name->find('\0') != std::string::npos)) std::abort();
        if (name) written += *name;
        written.push_back('\0');
    }
    // The last name may have ended with the file rather than with a NUL.
    const std::string read(file.begin(), file.end());
    if (written.size() > size + 1) std::abort();
    if (read.compare(0, written.size() - (written.size() > size ? 1 : 0), written, 0,
                     written.size() - (written.size() > size ? 1 : 0)) != 0)
        std::abort();
    return 0;
}
