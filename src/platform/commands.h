#pragma once
// The display command buffer: records appended by the game side and executed
// by the display's own side (the SDL thread, or the headless compositor).
// Each record is a 32-bit opcode and its operands; pixel blocks are padded to
// four bytes so every record starts aligned.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/display.h"

enum display_opcode : uint32_t {
    OP_UPDATE = 0,          // rectangle, pixels: into the main render target
    OP_SWAP_SLOTS = 1,      // exchange the textures of the main and secondary slots
    OP_END_TRANSITION = 2,  // exchange front and back, drop both transitions
    OP_ZOOM = 3,            // three rectangles, float
    OP_SLIDE = 4,           // four rectangles
    OP_SET_CURSOR = 5,      // rectangle (0, 0, w, h), pixels
    OP_REMOVE_CURSOR = 6,
    OP_CREATE_SPRITE = 7,   // id, rectangle (0, 0, w, h), pixels
    OP_DELETE_SPRITE = 8,   // id
    OP_SHOW_SPRITE_AT = 9,  // id, x, y
    OP_SHOW_SPRITE = 10,    // id, rectangle
    OP_SPRITE_Z = 11,       // id, z
    OP_HIDE_SPRITE = 12,    // id
};

// A decoded record. `pixels` points into the buffer (rect.w x rect.h pixels).
struct display_command {
    display_opcode op = OP_UPDATE;
    int32_t id = 0;
    int32_t x = 0, y = 0, z = 0;
    display_rect rect[4]{};
    float t = 0;
    const uint16_t* pixels = nullptr;
};

class command_writer {
  public:
    explicit command_writer(std::vector<uint8_t>& buffer) : buf_(buffer) {}
    void opcode(display_opcode op) { u32(op); }
    void i32(int32_t v) { raw(&v, 4); }
    void u32(uint32_t v) { raw(&v, 4); }
    void f32(float v) { raw(&v, 4); }
    void rect(const display_rect& r) {
        i32(r.x);
        i32(r.y);
        i32(r.w);
        i32(r.h);
    }
    // w x h pixels from a source of the given pitch (in pixels).
    void pixels(const uint16_t* src, int w, int h, int pitch);

  private:
    void raw(const void* p, size_t n) {
        const size_t at = buf_.size();
        buf_.resize(at + n);
        std::memcpy(buf_.data() + at, p, n);
    }
    std::vector<uint8_t>& buf_;
};

class command_reader {
  public:
    command_reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    // The next record; false at the end (or on a record cut short).
    bool next(display_command& cmd);

  private:
    bool i32(int32_t& v);
    bool rect(display_rect& r);
    const uint8_t* p_;
    const uint8_t* end_;
};

// Sprites of every display have an id, a z order, a place and a visibility;
// only their pixel storage differs. These keep them in z order.
template <class Sprite>
typename std::vector<Sprite>::iterator find_sprite(std::vector<Sprite>& sprites, int id) {
    return std::find_if(sprites.begin(), sprites.end(), [id](const Sprite& s) { return s.id == id; });
}

template <class Sprite>
void sort_sprites(std::vector<Sprite>& sprites) {
    std::stable_sort(sprites.begin(), sprites.end(),
                     [](const Sprite& a, const Sprite& b) { return a.z < b.z; });
}

// Executes the commands that move, order, show or hide an existing sprite
// (an unknown id is ignored). False for every other command.
template <class Sprite>
bool apply_sprite_placement(std::vector<Sprite>& sprites, const display_command& cmd) {
    switch (cmd.op) {
        case OP_SHOW_SPRITE_AT:
        case OP_SHOW_SPRITE:
        case OP_SPRITE_Z:
        case OP_HIDE_SPRITE:
            break;
        default:
            return false;
    }
    auto it = find_sprite(sprites, cmd.id);
    if (it == sprites.end()) return true;
    switch (cmd.op) {
        case OP_SHOW_SPRITE_AT:
            it->rect.x = cmd.x;
            it->rect.y = cmd.y;
            it->visible = true;
            break;
        case OP_SHOW_SPRITE:
            it->rect = cmd.rect[0];
            it->visible = true;
            break;
        case OP_SPRITE_Z:
            it->z = cmd.z;
            sort_sprites(sprites);
            break;
        default:
            it->visible = false;
            break;
    }
    return true;
}
