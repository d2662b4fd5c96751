// The party members standing apart from the party, seen in the view: their
// figures built from the body and the worn items, rebuilt when the member
// changes, and a member two sectors ahead drawn in a corridor.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "core/handle_ids.h"
#include "core/handles.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "rules/items.h"
#include "rules/party.h"
#include "story/fade_figure.h"
#include "story/game_choices.h"
#include "story/inventory_pictures.h"
#include "story/inventory_screen.h"
#include "story/member_figures.h"
#include "support/golden.h"
#include "view_test_map.h"
#include "world/party_roster.h"
#include "world/render.h"
#include "world/view.h"

using namespace view_test;

namespace {

constexpr uint16_t FADE = 0x1D0B;
enum : int16_t { MAIL = 1, SWORD };
enum : uint16_t {
    SKIN = 0x5ED4,
    TUNIC = 0x2D0A,
    HAIR = 0x2484,
    BOOTS = 0x1442,
    STEEL = 0x5EF7,
    BLADE = 0x7BDE
};

// A type-8 record whose pixel (x, y) has palette index pick(x, y); the
// palette holds `colours` from index 1 on.
std::vector<uint16_t> pal8(int w, int h, const std::vector<uint16_t>& colours,
                           const std::function<uint8_t(int, int)>& pick) {
    std::vector<uint8_t> bytes(PICTURE_HEADER_BYTES + 512 + static_cast<size_t>(w) * h, 0);
    auto put16 = [&](size_t at, uint16_t v) {
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    put16(0, static_cast<uint16_t>(w));
    put16(2, static_cast<uint16_t>(h));
    put16(4, PIC_PAL8);
    for (size_t i = 0; i < colours.size(); ++i) put16(PICTURE_HEADER_BYTES + 2 * (i + 1), colours[i]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bytes[PICTURE_HEADER_BYTES + 512 + static_cast<size_t>(y) * w + x] = pick(x, y);
    return aligned_pal8_record(bytes.data(), bytes.size());
}

// A standing figure (hair, face, tunic, legs, boots), a mail shirt and a sword.
class figure_pictures : public inventory_pictures {
  public:
    figure_pictures() {
        figure_ = pal8(BODY_WIDTH, BODY_HEIGHT, {SKIN, TUNIC, HAIR, BOOTS}, [](int x, int y) -> uint8_t {
            const int dx = x - 97;
            if (dx * dx + (y - 45) * (y - 45) < 22 * 22) return y < 35 ? 3 : 1;
            if (y >= 68 && y < 190 && dx * dx < 40 * 40) return 2;
            if (y >= 68 && y < 170 && dx * dx < 52 * 52) return 1;  // arms
            if (y >= 190 && y < 300 && ((dx >= 6 && dx < 30) || (dx <= -6 && dx > -30))) return 1;
            if (y >= 300 && y < 320 && ((dx >= 6 && dx < 34) || (dx <= -6 && dx > -34))) return 4;
            return 0;
        });
        worn_[0] =
            pal8(84, 110, {STEEL, 0x4631}, [](int x, int y) -> uint8_t { return (x + y) % 8 < 2 ? 2 : 1; });
        worn_[1] = pal8(12, 120, {BLADE, 0x2908}, [](int, int y) -> uint8_t { return y > 95 ? 2 : 1; });
    }
    const picture* figure(int face) override { return face == 3 ? as_picture(figure_) : nullptr; }
    const picture* worn(bool, int number) override {
        auto found = worn_.find(number);
        return found == worn_.end() ? nullptr : as_picture(found->second);
    }
    const picture* icon(uint16_t) override { return nullptr; }
    const void* icon_record(uint16_t, size_t& length) override {
        length = 0;
        return nullptr;
    }

  private:
    static const picture* as_picture(const std::vector<uint16_t>& words) {
        return reinterpret_cast<const picture*>(words.data());
    }
    std::vector<uint16_t> figure_;
    std::map<int, std::vector<uint16_t>> worn_;
};

std::vector<item_def> figure_items() {
    item_def mail;
    std::snprintf(mail.name, sizeof mail.name, "Mail");
    mail.placement = PL_SLOT5;
    mail.picture = 0;
    mail.body_pos[1] = 130;
    item_def sword;
    std::snprintf(sword.name, sizeof sword.name, "Sword");
    sword.type = IT_MELEE;
    sword.placement = PL_ONE_HAND;
    sword.picture = 1;
    sword.body_pos_7[0] = -58;
    sword.body_pos_7[1] = 150;
    return {mail, sword};
}

// The party array seen as the world's roster: every member stands on the loaded map.
class array_roster : public party_roster {
  public:
    int slots() const override { return PARTY_SLOTS; }
    roster_member member(int slot) const override {
        roster_member r;
        if (slot < 0 || slot >= PARTY_SLOTS || !party_members[slot].used) return r;
        const party_member& m = party_members[slot];
        r.used = true;
        r.name = m.name;
        r.hp = m.hp;
        r.sector = m.sector;
        r.direction = m.direction;
        r.group = m.group;
        r.on_this_map = m.map_hash == 1;
        return r;
    }
    void place_member(int, int, int) override {}
    int active_group() const override { return 1; }
    void set_active_group(int) override {}
    int selected() const override { return -1; }
    void select(int) override {}
    int32_t money() const override { return 0; }
    void gather(int, int) override {}
};

picture* test_then_handles(handle_id id) {
    if (picture* pic = test_picture(id)) return pic;
    return static_cast<picture*>(get_handle_data(id));
}

class MemberFigures : public ::testing::Test {
  protected:
    void SetUp() override {
        init_view_tables();
        view = view_state{};
        reset_view_hooks();
        clear_special_textures();
        clear_pictures();
        set_view_picture_source(test_then_handles);
        items_.set_definitions(figure_items());
        inventory_setup.items = &items_;
        inventory_setup.pictures = &pictures_;
        set_party_roster(&roster_);
        for (party_member& m : party_members) m = party_member{};
        set_fade_colour(0x38, 0x40, 0x58);
        bind_member_figures();
        view_neighbours.members_in_sector = members_standing_in;
    }
    void TearDown() override {
        for (int slot = 0; slot < H_FIGURE_COUNT; ++slot)
            undefine_handle(static_cast<handle_id>(H_FIGURE_FIRST + slot));
        set_view_picture_source(nullptr);
        set_party_roster(nullptr);
        inventory_setup = inventory_setup_t{};
        for (party_member& m : party_members) m = party_member{};
        choices = game_choices{};
        current_map = loaded_map{};
        clear_view_grid();
    }
    party_member& stand(int slot, const char* name, int sector, int direction, int group, int hp = 30) {
        party_member& m = party_members[slot];
        m.used = true;
        std::snprintf(m.name, sizeof m.name, "%s", name);
        m.face = 3;
        m.hp = static_cast<int16_t>(hp);
        m.sector = static_cast<int16_t>(sector);
        m.direction = static_cast<uint8_t>(direction);
        m.group = static_cast<uint8_t>(group);
        m.map_hash = 1;
        if (sector > 0 && static_cast<size_t>(sector) < current_map.coords.size())
            current_map.coords[static_cast<size_t>(sector)].coord_flags |=
                hp > 0 ? MC_PLAYER : MC_DEAD_PLAYER;
        return m;
    }
    const picture* figure_of(int slot) {
        return static_cast<const picture*>(get_handle_data(member_figure(slot)));
    }

    item_table items_;
    figure_pictures pictures_;
    array_roster roster_;
};

// A straight corridor running north.
const std::vector<std::string> corridor = {"#.#", "#.#", "#.#", "#.#", "#.#", "#.#"};

}  // namespace

TEST_F(MemberFigures, MemberTwoSectorsAheadIsDrawnWithItsFigureTheDeadOneAheadWithBonesAndThePartysOwnNot) {
    const grid_map g = build_grid_map(corridor, FADE);
    install_standard_pictures();
    std::vector<uint8_t> rgb(768, 0);
    rgb[2 * 3 + 0] = 230, rgb[2 * 3 + 1] = 225, rgb[2 * 3 + 2] = 200;  // index 2: old bone
    std::vector<uint8_t> bones(120 * 40, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if ((y > 30 && (x / 12) % 2 == 0) || ((x - 60) * (x - 60) + (y - 24) * (y - 24) < 150))
                bones[y * 120 + x] = 2;
    put_picture(H_BONES, fade_picture(120, 40, bones, rgb, FADE));

    const int here = g.sector(1, 5);
    stand(0, "Vera", here, 0, 1);                           // with the party: not drawn
    stand(1, "Orin", g.sector(1, 3), 2, 2).worn[5] = MAIL;  // two ahead, facing the party
    party_members[1].worn[7] = SWORD;
    stand(2, "Tam", g.sector(1, 4), 0, 0, 0);            // dead one sector ahead: bones
    stand(3, "Ada", g.sector(1, 3), 0, 3).map_hash = 7;  // the same sector number on another map: not here
    draw_view(here, 0);
    EXPECT_TRUE(golden::matches(VORTHAN_SOURCE_DIR "/tests/story/golden/view_member_two_ahead.png",
                                back_buffer + VIEW_SCREEN_TOP * SCREEN_PITCH, VIEW_WIDTH, VIEW_HEIGHT,
                                SCREEN_PITCH));
    // Names are written only while the game's switch asks for them.
    EXPECT_FALSE(view.show_member_names);
    choices.member_names = true;
    view_member found[6];
    EXPECT_EQ(members_standing_in(g.sector(1, 3), found, 6), 1);
    EXPECT_TRUE(view.show_member_names);
    EXPECT_EQ(found[0].figure, H_FIGURE_FIRST + 1);
    EXPECT_EQ(found[0].name, "Orin");
    EXPECT_EQ(members_standing_in(g.sector(1, 4), found, 6), 1);
    EXPECT_TRUE(found[0].dead);
    EXPECT_FALSE(found[0].in_group);
}

TEST_F(MemberFigures, ChangeOfEquipmentOrLookRebuildsTheFigureAndNothingElseDoes) {
    build_grid_map(corridor, FADE);
    stand(1, "Orin", 2, 0, 2);
    const picture* bare = figure_of(1);
    ASSERT_NE(bare, nullptr);
    ASSERT_EQ(bare->type, PIC_FADE8);
    ASSERT_EQ(bare->width, BODY_WIDTH);
    // The chest of the body: the tunic at full brightness in palette 0.
    auto chest = [](const picture* pic) {
        const uint8_t index = picture_pixels8(pic)[120 * BODY_WIDTH + 97];
        return picture_palette(pic)[index];
    };
    EXPECT_EQ(chest(bare), TUNIC);
    const std::vector<uint8_t> bare_pixels(picture_pixels8(bare),
                                           picture_pixels8(bare) + BODY_WIDTH * BODY_HEIGHT);
    EXPECT_EQ(figure_of(1), bare);  // the same member: the built figure is kept

    party_members[1].worn[5] = MAIL;  // what the inventory screen does when mail is put on
    const picture* dressed = figure_of(1);
    ASSERT_NE(dressed, nullptr);
    EXPECT_NE(
        std::vector<uint8_t>(picture_pixels8(dressed), picture_pixels8(dressed) + BODY_WIDTH * BODY_HEIGHT),
        bare_pixels);
    EXPECT_TRUE(chest(dressed) == STEEL || chest(dressed) == 0x4631);

    // Invisible: every drawn pixel darkens what lies behind, nothing more.
    party_members[1].stats[STAT_FLAGS] = CF_INVISIBLE;
    const picture* shadow = figure_of(1);
    const uint8_t* px = picture_pixels8(shadow);
    EXPECT_EQ(px[120 * BODY_WIDTH + 97], 1);
    EXPECT_EQ(px[5 * BODY_WIDTH + 5], 0);

    // A member leaving the slot leaves no figure behind.
    party_members[1] = party_member{};
    EXPECT_EQ(figure_of(1), nullptr);
    EXPECT_EQ(member_figure(6), 0);
}

TEST(FadeFigure, MoreColoursThanThePaletteKeepTheFrequentOnesAndTheRestTakeTheNearest) {
    body_picture body;
    body.pixels.assign(static_cast<size_t>(BODY_WIDTH) * BODY_HEIGHT, BODY_TRANSPARENT);
    // 300 colours: colour k of red level k / 10, blue k % 10; colour 0 and 299 are the frequent ones.
    for (int k = 0; k < 300; ++k)
        body.pixels[static_cast<size_t>(k)] = static_cast<uint16_t>((k / 10) << 10 | (k % 10));
    for (size_t i = 300; i < 3000; ++i)
        body.pixels[i] = (i & 1) ? 0x0000 : static_cast<uint16_t>(29 << 10 | 9);
    const std::vector<uint16_t> record = fade_figure_record(body, false, 0, 0, 0);
    const auto* pic = reinterpret_cast<const picture*>(record.data());
    ASSERT_TRUE(picture_record_valid(pic, record.size() * 2));
    const uint8_t* px = picture_pixels8(pic);
    const uint16_t* palette = picture_palette(pic);
    for (size_t i = 0; i < 3000; ++i) ASSERT_GE(px[i], FIGURE_FIRST_COLOUR) << i;
    EXPECT_EQ(px[3000], 0);                     // transparent stays 0
    EXPECT_EQ(palette[px[300]], 29 << 10 | 9);  // frequent colours are exact
    EXPECT_EQ(palette[px[301]], 0);
    // A dropped colour takes the nearest colour the palette kept.
    auto distance = [](uint16_t a, uint16_t b) {
        int sum = 0;
        for (int shift : {10, 5, 0})
            sum += (((a >> shift) & 31) - ((b >> shift) & 31)) * (((a >> shift) & 31) - ((b >> shift) & 31));
        return sum;
    };
    int exact = 0;
    for (int k = 0; k < 300; ++k) {
        const uint16_t wanted = body.pixels[static_cast<size_t>(k)];
        int best = 1 << 20;
        for (int i = FIGURE_FIRST_COLOUR; i < PALETTE_ENTRIES; ++i)
            best = std::min(best, distance(palette[i], wanted));
        EXPECT_EQ(distance(palette[px[k]], wanted), best) << k;
        exact += palette[px[k]] == wanted;
    }
    EXPECT_EQ(exact, FIGURE_COLOURS);  // the palette is full, every kept colour exact
    // Darkness palettes fade to black: palette 9 is a fifth of palette 0.
    EXPECT_EQ(palette[9 * PALETTE_ENTRIES + px[300]], (29 / 5) << 10 | (9 / 5));
}
