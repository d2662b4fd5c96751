// Side animations: one step per world tick for every side whose primary or
// secondary picture is animated. A one-shot animation copies the side's
// resting byte into its flags at the frame where a door is fully open, or
// has just begun to close, so passability follows the picture.
#include "world/map.h"
#include "world/map_actions.h"

namespace {

struct anim_bits {
    uint32_t anim, ping, forward;
};
constexpr anim_bits PRIMARY{SIDE_P_ANIM, SIDE_P_PING, SIDE_P_FORW};
constexpr anim_bits SECONDARY{SIDE_S_ANIM, SIDE_S_PING, SIDE_S_FORW};

// Steps one animation byte (high nibble frame, low nibble last frame).
// Returns the side events of the step (0 for none). copy_resting: this
// animation decides passability.
int step_animation(size_t index, uint8_t& anim, const anim_bits& bits, bool copy_resting) {
    map_side& side = current_map.sides[index];
    const int last = anim & 0x0F;
    int frame = anim >> 4;
    const bool forward = side.flags & bits.forward;
    if (side.flags & bits.anim) {
        // Continuous: wraps round, or turns at the ends with ping-pong.
        bool dir = forward;
        if ((side.flags & bits.ping) && (frame == 0 || frame == last)) {
            side.flags ^= bits.forward;
            dir = !dir;
        }
        frame += dir ? 1 : -1;
        if (frame > last) frame = 0;
        if (frame < 0) frame = last;
        anim = static_cast<uint8_t>(frame << 4 | last);
        return 0;
    }
    const int next = forward ? frame + 1 : frame - 1;
    if (copy_resting && ((forward && next == last) || (!forward && next == last - 1)))
        side.flags = (side.flags & ~0xFFu) | current_map.side_resting[index];
    if (next > last || next < 0) return 0;
    anim = static_cast<uint8_t>(next << 4 | last);
    int events = SIDE_EV_ANIM_STEP;
    if (next & 1) events |= SIDE_EV_ANIM_ODD;
    if (next == 0) events |= SIDE_EV_ANIM_START;
    if (next == last) {
        events |= SIDE_EV_ANIM_END;
        if (side.flags & bits.ping) side.flags &= ~bits.forward;  // turns back by itself
    }
    return events;
}

}  // namespace

void step_side_animations() {
    for (size_t k = 0; k < current_map.sides.size(); ++k) {
        map_side& side = current_map.sides[k];
        const bool primary = side.primary_anim & 0x0F;
        const bool secondary = side.secondary_anim & 0x0F;
        if (!primary && !secondary) continue;
        int events = 0;
        if (primary) events = step_animation(k, side.primary_anim, PRIMARY, true);
        if (secondary) {
            // The secondary speaks only for a side without a primary animation,
            // and never ends.
            int own = step_animation(k, side.secondary_anim, SECONDARY, !primary);
            if (!primary) events = own & ~SIDE_EV_ANIM_END;
        }
        if (events == 0) continue;
        map_actions.last_side = static_cast<int>(k);
        if (movement_rules.send_side_event) movement_rules.send_side_event(static_cast<int>(k), events);
    }
}

void map_world_tick() {
    step_side_animations();
    run_delayed_actions();
}
