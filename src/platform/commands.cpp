#include "platform/commands.h"

void command_writer::pixels(const uint16_t* src, int w, int h, int pitch) {
    const size_t row_bytes = static_cast<size_t>(w) * 2;
    const size_t bytes = row_bytes * h;
    const size_t padded = (bytes + 3) & ~size_t{3};
    const size_t at = buf_.size();
    buf_.resize(at + padded);
    uint8_t* out = buf_.data() + at;
    for (int row = 0; row < h; ++row)
        std::memcpy(out + row * row_bytes, src + static_cast<size_t>(row) * pitch, row_bytes);
    if (padded > bytes) std::memset(out + bytes, 0, padded - bytes);
}

bool command_reader::i32(int32_t& v) {
    if (end_ - p_ < 4) return false;
    std::memcpy(&v, p_, 4);
    p_ += 4;
    return true;
}

bool command_reader::rect(display_rect& r) {
    return i32(r.x) && i32(r.y) && i32(r.w) && i32(r.h);
}

bool command_reader::next(display_command& cmd) {
    int32_t op;
    if (!i32(op)) return false;
    cmd = display_command{};
    cmd.op = static_cast<display_opcode>(op);
    auto take_pixels = [&](const display_rect& r) {
        if (r.w < 0 || r.h < 0) return false;
        const size_t bytes = static_cast<size_t>(r.w) * r.h * 2;
        const size_t padded = (bytes + 3) & ~size_t{3};
        if (static_cast<size_t>(end_ - p_) < padded) return false;
        cmd.pixels = reinterpret_cast<const uint16_t*>(p_);
        p_ += padded;
        return true;
    };
    switch (cmd.op) {
        case OP_UPDATE:
        case OP_SET_CURSOR:
            return rect(cmd.rect[0]) && take_pixels(cmd.rect[0]);
        case OP_SWAP_SLOTS:
        case OP_END_TRANSITION:
        case OP_REMOVE_CURSOR:
            return true;
        case OP_ZOOM: {
            if (!rect(cmd.rect[0]) || !rect(cmd.rect[1]) || !rect(cmd.rect[2])) return false;
            int32_t bits;
            if (!i32(bits)) return false;
            std::memcpy(&cmd.t, &bits, 4);
            return true;
        }
        case OP_SLIDE:
            return rect(cmd.rect[0]) && rect(cmd.rect[1]) && rect(cmd.rect[2]) && rect(cmd.rect[3]);
        case OP_CREATE_SPRITE:
            return i32(cmd.id) && rect(cmd.rect[0]) && take_pixels(cmd.rect[0]);
        case OP_DELETE_SPRITE:
        case OP_HIDE_SPRITE:
            return i32(cmd.id);
        case OP_SHOW_SPRITE_AT:
            return i32(cmd.id) && i32(cmd.x) && i32(cmd.y);
        case OP_SHOW_SPRITE:
            return i32(cmd.id) && rect(cmd.rect[0]);
        case OP_SPRITE_Z:
            return i32(cmd.id) && i32(cmd.z);
    }
    return false;
}
