#pragma once
// The display command buffer: records appended by the game side and executed
// by the display's own side (the SDL thread, or the headless compositor).
// Each record is a 32-bit opcode and its operands; pixel blocks are padded to
// four bytes so every record starts aligned.
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
