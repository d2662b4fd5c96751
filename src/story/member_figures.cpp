#include "story/member_figures.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/handles.h"
#include "gfx/picture.h"
#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/party.h"
#include "story/fade_figure.h"
#include "story/game_choices.h"
#include "story/inventory_pictures.h"
#include "story/inventory_screen.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/view.h"

namespace {

// What a figure was built from; when the member no longer matches it, the
// figure is stale.
struct figure_source {
    bool used = false;
    uint8_t face = 0;
    uint8_t female = 0;
    uint16_t looks = 0;  // the state flags that change the body's look
    std::array<int16_t, WORN_SLOTS> worn{};
    std::array<uint16_t, WORN_SLOTS> worn_picture{};
    std::array<uint8_t, 3> fade{};
    bool operator==(const figure_source&) const = default;
};

// The source of each slot's built figure; nothing for a slot not built.
std::array<figure_source, H_FIGURE_COUNT> built;
std::array<bool, H_FIGURE_COUNT> is_built{};

figure_source source_of(const party_member& m, const item_table& items) {
    figure_source s;
    s.used = m.used;
    s.face = m.face;
    s.female = m.female;
    s.looks = static_cast<uint16_t>(m.stats[STAT_FLAGS]) & (CF_INVISIBLE | CF_SUMMONED);
    for (int slot = 1; slot <= SLOT_LEFT_HAND; ++slot) {
        s.worn[static_cast<size_t>(slot)] = m.worn[slot];
        if (const item_def* item = items.find(m.worn[slot]))
            s.worn_picture[static_cast<size_t>(slot)] = item->picture;
    }
    get_fade_colour(&s.fade[0], &s.fade[1], &s.fade[2]);
    return s;
}

int slot_of(handle_id id) {
    const int slot = static_cast<int>(id) - H_FIGURE_FIRST;
    return slot >= 0 && slot < H_FIGURE_COUNT ? slot : -1;
}

// The decoder of the figure handles: the data is always empty, the picture
// comes from the member in the handle's slot. An empty slot has no figure.
void* decode_member_figure(void*, int32_t* length, handle_id id) {
    *length = 0;
    const int slot = slot_of(id);
    if (slot < 0 || slot >= PARTY_SLOTS) return nullptr;
    const party_member& m = party_members[slot];
    is_built[static_cast<size_t>(slot)] = false;
    if (!m.used) return nullptr;
    item_table& items = inventory_item_table();
    const figure_source source = source_of(m, items);
    const body_picture body = build_member_body(m, items, inventory_picture_source());
    const std::vector<uint16_t> record =
        fade_figure_record(body, source.looks & CF_INVISIBLE, source.fade[0], source.fade[1], source.fade[2]);
    const size_t bytes = static_cast<size_t>(picture_record_bytes(BODY_WIDTH, BODY_HEIGHT, PIC_FADE8));
    void* data = game_alloc(bytes);
    std::memcpy(data, record.data(), bytes);
    *length = static_cast<int32_t>(bytes);
    built[static_cast<size_t>(slot)] = source;
    is_built[static_cast<size_t>(slot)] = true;
    return data;
}

}  // namespace

body_picture build_member_body(const party_member& m, item_table& items, inventory_pictures& source) {
    std::vector<body_piece> pieces;
    for (int slot = 1; slot <= SLOT_LEFT_HAND; ++slot) {
        const item_def* item = items.find(m.worn[slot]);
        if (!item) continue;
        if (const picture* pic = source.worn(m.female != 0, item->picture))
            pieces.push_back(place_worn_picture(*item, slot, pic));
    }
    return build_body_picture(source.figure(m.face), std::move(pieces),
                              static_cast<uint16_t>(m.stats[STAT_FLAGS]));
}

void bind_member_figures() {
    for (int slot = 0; slot < H_FIGURE_COUNT; ++slot) {
        const auto id = static_cast<handle_id>(H_FIGURE_FIRST + slot);
        undefine_handle(id);
        define_handle(id, "", decode_member_figure, PATH_DATA);
        is_built[static_cast<size_t>(slot)] = false;
    }
}

void forget_member_figure(int slot) {
    if (slot < 0 || slot >= H_FIGURE_COUNT) return;
    release_handle(static_cast<handle_id>(H_FIGURE_FIRST + slot));
    is_built[static_cast<size_t>(slot)] = false;
}

handle_id member_figure(int slot) {
    if (slot < 0 || slot >= H_FIGURE_COUNT || slot >= PARTY_SLOTS) return 0;
    const size_t s = static_cast<size_t>(slot);
    if (is_built[s] && !(built[s] == source_of(party_members[slot], inventory_item_table())))
        forget_member_figure(slot);
    return static_cast<handle_id>(H_FIGURE_FIRST + slot);
}

int members_standing_in(int sector, view_member* out, int max) {
    // The switch may have changed in the options window since the last view.
    view.show_member_names = choices.member_names;
    party_roster& party = roster();
    int count = 0;
    for (int slot = 0; slot < party.slots() && count < max; ++slot) {
        const roster_member m = party.member(slot);
        if (!m.used || !m.on_this_map || m.sector != sector) continue;
        view_member& shown = out[count++];
        shown = view_member{};
        shown.figure = member_figure(slot);
        shown.direction = m.direction;
        shown.dead = !m.alive();
        shown.in_group = m.group != 0;
        shown.name = m.name;
        shown.name_colour = group_colour(m.group);
    }
    return count;
}

void install_member_figures() {
    bind_member_figures();
    view_neighbours.members_in_sector = members_standing_in;
}
