#pragma once
// The pictures the inventory screen draws: a character's full figure, the
// body pictures of worn items and the item icons. The game's source reads
// them from the adventure's files; tests give their own.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gfx/picture.h"

struct items_file;
class icon_libraries;

class inventory_pictures {
  public:
    virtual ~inventory_pictures() = default;
    // The full figure of portrait number `face` (CHAR%02x.PCX), type 8; null when missing.
    virtual const picture* figure(int face) = 0;
    // Picture `number` of the male (set 2) or female (set 3) body pictures.
    virtual const picture* worn(bool female, int number) = 0;
    // Icon `icon` of the icon libraries (45 x 55, type 8); null when missing.
    virtual const picture* icon(uint16_t icon) = 0;
    // The raw 2993-byte icon record for the mouse cursor; null when missing.
    virtual const void* icon_record(uint16_t icon, size_t& length) = 0;
};

// Reads the figures from the graphics, the body pictures named by ITEMS.DAT
// from the items folder, and the icons from the loaded icon libraries. Every
// picture is decoded once and kept; a missing or damaged file is a picture
// that is not drawn.
class file_inventory_pictures : public inventory_pictures {
  public:
    file_inventory_pictures(const items_file* names, const icon_libraries* icons)
        : names_(names), icons_(icons) {}
    const picture* figure(int face) override;
    const picture* worn(bool female, int number) override;
    const picture* icon(uint16_t icon) override;
    const void* icon_record(uint16_t icon, size_t& length) override;

  private:
    const picture* cached(const std::string& key, int group, const std::string& name);

    const items_file* names_;
    const icon_libraries* icons_;
    // Pictures as 16-bit words so their records stay aligned.
    std::map<std::string, std::vector<uint16_t>> pictures_;
};

// A picture record (header, palette, pixels) copied into aligned storage;
// an empty vector when the bytes are not a whole record of type 8.
std::vector<uint16_t> aligned_pal8_record(const void* bytes, size_t length);
