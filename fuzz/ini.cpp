// The INI reader and the adventure merge on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/config.h"
#include "base/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto doc = ini_parse(text);
    for (const auto& [name, section] : doc->sections) {
        for (const auto& [key, value] : section.values) {
            ini_get_int(&section, key, 1);
            ini_get_bool(&section, key, false);
            // The first value of a key is the one kept.
            if (ini_get(&section, key) != value.c_str()) __builtin_trap();
        }
    }
    // The same text read as an adventure file, merged into the document.
    string_list lines;
    size_t pos = 0;
    while (pos < text.size() && lines.entries.size() < 64) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        lines.entries.emplace_back(std::string(text.substr(pos, std::min<size_t>(end - pos, 255))));
        pos = end + 1;
    }
    merge_adventure_lines(*doc, lines);
    return 0;
}
