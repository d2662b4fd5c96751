#include "world/screenshot.h"

#include <cstdio>
#include <filesystem>
#include <regex>

#include "base/file_write.h"
#include "core/events.h"
#include "gfx/screen.h"

namespace {

int last_number = -2;  // -2: the folder has not been looked at yet

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> screenshot_bmp(const uint16_t* pixels) {
    constexpr uint32_t width = SCREEN_WIDTH, height = SCREEN_HEIGHT, image = 3 * width * height;
    std::vector<uint8_t> out;
    out.reserve(54 + image);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + image);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, width);
    put32(out, height);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, image);
    for (int i = 0; i < 4; ++i) put32(out, 0);
    for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
        const uint16_t* row = pixels + static_cast<ptrdiff_t>(y) * SCREEN_PITCH;
        for (uint32_t x = 0; x < width; ++x) {
            const uint16_t p = row[x];
            out.push_back(static_cast<uint8_t>((p & 0x1F) << 3));
            out.push_back(static_cast<uint8_t>(((p >> 5) & 0x1F) << 3));
            out.push_back(static_cast<uint8_t>(((p >> 10) & 0x1F) << 3));
        }
    }
    return out;
}

int largest_screenshot_number(std::string_view folder) {
    static const std::regex pattern("dump(\\d{4})\\.bmp");
    int largest = -1;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder), error)) {
        const std::string name = entry.path().filename().string();
        std::smatch match;
        if (std::regex_match(name, match, pattern)) largest = std::max(largest, std::stoi(match[1].str()));
    }
    return largest;
}

std::string take_screenshot() {
    if (last_number == -2) last_number = largest_screenshot_number(".");
    char name[32];
    std::snprintf(name, sizeof name, "dump%04d.bmp", last_number + 1);
    const std::vector<uint8_t> bytes = screenshot_bmp(screen_address());
    if (!write_file_atomic(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return "";
    ++last_number;
    return name;
}

void reset_screenshot_numbering() {
    last_number = -2;
}

void screenshot_key_handler(event_msg& msg, void**) {
    if (msg.number != EV_KEY) return;
    if (((msg.next_int() >> 8) & 0xFF) == SCREENSHOT_SCAN_CODE) take_screenshot();
}
