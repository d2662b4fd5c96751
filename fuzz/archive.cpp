// Fuzz target: archive registration and search. The input is taken as a
// whole archive image; registration must either refuse it or accept a
// directory whose every entry can be found and read inside the image.
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/archive_format.h"
#include "core/handles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exactly sized copy, so the sanitizer sees any read past the end.
    std::vector<uint8_t> image(data, data + size);
    patch_mode = false;
    try {
        register_archive_image("fuzz.ddl", image.data(), image.size());
    } catch (const std::runtime_error&) {
        return 0;
    }
    archive_format::directory dir;
    archive_format::check_image(image.data(), image.size(), &dir);
    unsigned sum = 0;
    for (size_t i = 0; i < dir.count && i < 4096; ++i) {
        const uint8_t* entry = image.data() + dir.offset + i * archive_format::ENTRY_SIZE;
        std::string name(archive_format::entry_name(entry));
        for (const std::string& wanted : {name, name + "EXTRA"}) {
            int slot = -1;
            uint32_t offset = 0;
            if (!find_in_archives(PATH_DATA, wanted.c_str(), &slot, &offset)) continue;
            int32_t length = 0;
            const uint8_t* bytes = archive_data(slot, offset, &length);
            if (!bytes || length < 0) __builtin_trap();
            for (int32_t k = 0; k < length; ++k) sum += bytes[k];
        }
        // Through the handle table too, for names it would look up unchanged.
        const bool upper = name.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos;
        if (!name.empty() && upper && i < 256) {
            define_handle(static_cast<handle_id>(i), name.c_str(), nullptr, PATH_DATA);
            if (handle_info(static_cast<handle_id>(i))->location) {
                const auto* bytes = static_cast<const uint8_t*>(get_handle_data(static_cast<handle_id>(i)));
                const int32_t length = handle_length(static_cast<handle_id>(i));
                for (int32_t k = 0; k < length; ++k) sum += bytes[k];
            }
        }
    }
    free_all_handles();  // also unmaps the image
    return static_cast<int>(sum & 0);
}
