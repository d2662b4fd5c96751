// The spells wired into the game: a potion drunk casts on the drinker, a
// monster's cast in a fight reaches the spells, and the game tick ends waits.
#include "rules/spells/spells_game.h"
#include "core/event_ids.h"
#include "core/events.h"
#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/monster_fight/monster_fight.h"
#include "spell_fixture.h"

using namespace spell_test;

namespace {

class SpellsInGame : public SpellTest {
  protected:
    void SetUp() override {
        SpellTest::SetUp();
        install_spells();
        set_spell_world(&spells_seen);
        spell_file file;
        spell_def& strength = file.add(
            0, code().op(OP_STAT_INDEX, STAT_STRENGTH).op(OP_STAT_ADD, 7).op(OP_WAIT_TICKS, 3).op(OP_END));
        strength.spell_flags = SPF_MONSTER_CAST;
        file.install();
    }
};

TEST_F(SpellsInGame, PotionCastsOnTheMemberWhoDrinksItUntilTheTicksPass) {
    item_table items;
    item_def potion;
    std::snprintf(potion.name, sizeof potion.name, "potion");
    potion.type = IT_POTION;
    potion.placement = PL_NONE;
    potion.spell = 0;
    items.set_definitions({potion});
    member(0, 2);
    party_member& drinker = member(1, 2);
    held_list held{1};
    ASSERT_TRUE(drop_on_body(items, drinker, held, 50, spells_inventory_world()));
    EXPECT_EQ(drinker.base_stats[STAT_STRENGTH], 27);
    EXPECT_EQ(party_members[0].base_stats[STAT_STRENGTH], 20);
    for (int tick = 0; tick < 3; ++tick) dispatch_event(EV_STATE_CHANGED);
    EXPECT_EQ(drinker.base_stats[STAT_STRENGTH], 20);
    EXPECT_EQ(active_effects(), 0);
}

TEST_F(SpellsInGame, MonsterCastInAFightReachesTheSpells) {
    install_monster_fight();
    monster& caster = foe(3, 5, 40);
    caster.spell = 0;
    ASSERT_TRUE(fight_world().can_cast(caster));
    fight_world().cast_spell(3, 0, 4);
    EXPECT_EQ(caster.stats[STAT_STRENGTH], 12);
    set_monster_fight_world(nullptr);
}

}  // namespace
