#include "world/party_portraits.h"

#include <strings.h>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "core/decoders.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "gfx/picture.h"
#include "world/party_roster.h"

namespace {

// The portrait number each slot's face handle is bound to (-1 none) and
// whether the adventure has that picture.
struct face_binding {
    int face = -1;
    bool available = false;
};
std::array<face_binding, PORTRAIT_SLOTS> bindings;

// Which state flags (of the effective statistics) show which icon. Levitation
// is not a flag of its own in the roster, so it is listed apart.
constexpr uint16_t FLAG_INVISIBLE = 0x0001;
constexpr uint16_t FLAGS_RETALIATION = 0x0002 | 0x0004 | 0x0008;  // eye for an eye, hurt heals, life drain
constexpr uint16_t FLAGS_PROTECTION = 0x0010 | 0x0020 | 0x0040;   // magic shield, halved hits
constexpr uint16_t FLAG_REGENERATION = 0x0100;
constexpr uint16_t FLAG_PANIC = 0x1000;    // flees instead of fighting
constexpr uint16_t FLAG_CHANGED = 0x2000;  // cannot handle items

constexpr int ICON_PANIC = 1, ICON_INVISIBLE = 2, ICON_LEVITATION = 3, ICON_CHANGED = 4,
              ICON_REGENERATION = 5, ICON_PROTECTION = 6, ICON_RETALIATION = 7;

}  // namespace

int face_state(int hp, int hp_max) {
    // A member without a maximum (or with hit points below 1) is near death;
    // hit points above the maximum (a spell's gift) show full health.
    if (hp_max <= 0) return FACE_STATES - 1;
    const long state = 3 - (4L * hp - 4) / hp_max;
    return static_cast<int>(std::clamp<long>(state, 0, FACE_STATES - 1));
}

const picture* member_face(int slot, int face) {
    if (slot < 0 || slot >= PORTRAIT_SLOTS || face < 0 || face > 0xFF) return nullptr;
    const handle_id id = static_cast<handle_id>(H_FACE_FIRST + slot);
    face_binding& bound = bindings[static_cast<size_t>(slot)];
    char name[16];
    std::snprintf(name, sizeof name, "XICHT%02x.PCX", face);
    // The handle may have been freed or taken since (all handles are freed
    // when a game ends): then it is bound again.
    const handle_record* record = handle_info(id);
    const bool still_bound =
        record && record->state != HANDLE_UNDEFINED && strcasecmp(record->name, name) == 0;
    if (bound.face != face || !still_bound) {
        undefine_handle(id);
        define_handle(id, name, decoder_for(decoder_id::pcx_to_pal8), PATH_GUI);
        bound.face = face;
        bound.available = resource_available(PATH_GUI, name);
    }
    if (!bound.available) return nullptr;
    const auto* pic = static_cast<const picture*>(get_handle_data(id));
    const int32_t length = handle_length(id);
    if (!pic || length < static_cast<int32_t>(PICTURE_HEADER_BYTES) ||
        !picture_record_valid(pic, static_cast<size_t>(length)) || pic->type != PIC_PAL8)
        return nullptr;
    return pic;
}

void unbind_member_faces() {
    for (int slot = 0; slot < PORTRAIT_SLOTS; ++slot) {
        if (bindings[static_cast<size_t>(slot)].face >= 0)
            undefine_handle(static_cast<handle_id>(H_FACE_FIRST + slot));
        bindings[static_cast<size_t>(slot)] = face_binding{};
    }
}

std::vector<int> status_icons(const roster_member& m) {
    std::vector<int> icons;
    auto show = [&](bool shown, int icon) {
        if (shown && icons.size() < STATUS_ICONS_SHOWN) icons.push_back(icon);
    };
    show(m.flags & FLAG_PANIC, ICON_PANIC);
    show(m.flags & FLAG_CHANGED, ICON_CHANGED);
    show(m.flags & FLAG_INVISIBLE, ICON_INVISIBLE);
    show(m.levitating, ICON_LEVITATION);
    show(m.flags & FLAGS_PROTECTION, ICON_PROTECTION);
    show(m.flags & FLAG_REGENERATION, ICON_REGENERATION);
    show(m.flags & FLAGS_RETALIATION, ICON_RETALIATION);
    return icons;
}
