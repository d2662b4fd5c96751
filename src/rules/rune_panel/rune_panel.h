#pragma once
// The rune panel, where a member composes a spell: the five rune groups as
// tabs, the seven rune places of the chosen group (a known rune shows its
// glyph, an unknown one a hole, a known rune that the member can cast no
// variant of is darkened), and, once a rune is clicked, its three variants
// with their names, the power they need and their cost. A chosen variant with
// a member as its target waits for a click on that member's portrait.
//
// The panel is drawn over the view (or over the inventory's area) by the
// screen that opened it; that screen hands it its keys and clicks while it is
// open and draws itself again afterwards. The layout is written down in
// docs/formats.md, "Rune panel".
#include <functional>

#include "rules/spell_record.h"

// What the panel asks of the spells. The default knows no spell: every rune
// lists nothing castable and nothing is ever cast. The game installs the
// spells' own at start-up.
class rune_spells {
  public:
    virtual ~rune_spells() = default;
    // The definition of a spell, null when it is not defined.
    virtual const spell_def* spell(int /*number*/) { return nullptr; }
    // 1 = no, 0 = yes, 2 = risky (for the member in `slot`).
    virtual int can_cast(int /*slot*/, int /*spell*/) { return 1; }
    // The member casts at once (spell + 512 x (target member + 1) for a chosen target).
    virtual void cast(int /*spell_and_target*/, int /*caster_slot*/) {}
    // A spell that needs a place on the map: the player is asked for it; false
    // when the player gave it up. The place itself reaches the effect through
    // the spells' own world when the spell is cast.
    virtual bool ask_place(int /*caster_slot*/) { return true; }
};
void set_rune_spells(rune_spells* spells);  // null restores the default
rune_spells& spells_for_runes();

// What becomes of a composed spell: the battle plans it; without one the
// member casts it at once.
using rune_spell_chosen = std::function<void(int caster_slot, int spell_and_target)>;

struct rune_panel_state {
    bool open = false;
    int caster = -1;   // the member's party slot
    int group = 0;     // the tab shown
    int rune = -1;     // the rune whose variants are listed, -1 none
    int waiting = -1;  // the chosen spell waiting for a portrait click, -1 none
    rune_spell_chosen chosen;
};
const rune_panel_state& rune_panel();

void open_rune_panel(int caster_slot, rune_spell_chosen chosen = {});
void close_rune_panel();
// Keys (scan codes) and clicks while the panel is open: true when the panel
// took them (it takes every one while open); the caller then redraws.
bool rune_panel_key(int scan);
bool rune_panel_click(int x, int y, bool right_button = false);
// The pointer rests at (x, y): over a variant the bottom panel shows the
// rune information. True when it changed anything.
bool rune_panel_point(int x, int y);
// Draws the panel into the current target (frame_buffer).
void draw_rune_panel();

// The layout on the screen.
struct rune_rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};
constexpr int RUNE_GLYPH_SIZE = 40;  // each rune sheet: seven glyphs of 40 x 40 side by side
rune_rect rune_panel_rect();
rune_rect rune_tab_rect(int group);
rune_rect rune_place_rect(int rune);
rune_rect rune_variant_rect(int variant);
// The portrait of a used member on the party bar below (-1 none).
int rune_portrait_at(int x, int y);
