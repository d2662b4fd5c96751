// The body of the inventory screen and the character sheet's fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "rules/party.h"
#include "story/body_picture.h"
#include "story/character_sheet.h"
#include "story/inventory_pictures.h"

namespace {

// A type-8 picture of w x h filled with one palette index; index i is colour
// 0x0421 * i (a grey of level i).
std::vector<uint16_t> block(int w, int h, uint8_t index) {
    std::vector<uint8_t> bytes(PICTURE_HEADER_BYTES + 512 + static_cast<size_t>(w) * h, index);
    const uint16_t header[3] = {static_cast<uint16_t>(w), static_cast<uint16_t>(h), PIC_PAL8};
    std::memcpy(bytes.data(), header, sizeof header);
    for (int i = 0; i < 256; ++i) {
        const uint16_t colour = static_cast<uint16_t>(i == 7 ? 0x7C00 : 0x0421 * (i & 31));
        std::memcpy(bytes.data() + PICTURE_HEADER_BYTES + 2 * i, &colour, 2);
    }
    return aligned_pal8_record(bytes.data(), bytes.size());
}
const picture* pic(const std::vector<uint16_t>& words) {
    return reinterpret_cast<const picture*>(words.data());
}

TEST(BodyPicture, WornPictureIsCentredOnItsPositionWithItsBottomAboveTheBaselineAndSlotSevenHasItsOwn) {
    const auto armour = block(40, 60, 3);
    item_def item;
    item.body_pos[0] = -10;
    item.body_pos[1] = 100;
    item.body_pos_7[0] = 30;
    item.body_pos_7[1] = 20;
    const body_piece worn = place_worn_picture(item, 5, pic(armour));
    EXPECT_EQ(worn.x, 97 - 10 - 20);
    EXPECT_EQ(worn.y, 320 - 100 - 60);
    const body_piece hand = place_worn_picture(item, 7, pic(armour));
    EXPECT_EQ(hand.x, 97 + 30 - 20);
    EXPECT_EQ(hand.y, 320 - 20 - 60);
}

TEST(BodyPicture, TheLastDrawnPieceTakesTheClickAndBareFigureIsNoSlot) {
    const auto figure = block(BODY_WIDTH, BODY_HEIGHT, 2);
    const auto cloak = block(50, 50, 3), sword = block(10, 80, 4);
    const body_picture body = build_body_picture(
        pic(figure), {{5, pic(cloak), 60, 100}, {7, pic(sword), 100, 90}, {8, nullptr, 0, 0}}, 0);
    EXPECT_EQ(body.pieces.size(), 2u);  // a missing picture is left out
    EXPECT_EQ(worn_slot_at(body, 105, 120), 7);
    EXPECT_EQ(worn_slot_at(body, 70, 120), 5);
    EXPECT_EQ(worn_slot_at(body, 20, 20), -1);
    EXPECT_EQ(body.pixel(105, 120), 0x0421 * 4);
    EXPECT_EQ(body.pixel(-1, 0), BODY_TRANSPARENT);
}

TEST(BodyPicture, InvisibleIsAFlatSilhouetteOfColourOneAndSummonedIsGrey) {
    auto figure = block(BODY_WIDTH, BODY_HEIGHT, 0);
    reinterpret_cast<uint8_t*>(figure.data())[PICTURE_HEADER_BYTES + 512 + 10 * BODY_WIDTH + 10] = 5;
    const auto red = block(4, 4, 7);
    const body_picture invisible = build_body_picture(pic(figure), {{1, pic(red), 50, 50}}, CF_INVISIBLE);
    EXPECT_EQ(invisible.pixel(10, 10), 0x0421);
    EXPECT_EQ(invisible.pixel(51, 51), 0x0421);
    EXPECT_EQ(invisible.pixel(0, 0), BODY_TRANSPARENT);
    const body_picture grey = build_body_picture(pic(figure), {{1, pic(red), 50, 50}}, CF_SUMMONED);
    EXPECT_EQ(grey.pixel(51, 51), 0x0421 * 10);  // (31 + 0 + 0) / 3
    EXPECT_EQ(grey.pixel(10, 10), 0x0421 * 5);
}

TEST(CharacterSheet, FiftyTwoFieldsTheExperienceLineCountsToTheNextLevelAndPlusSignsNeedFreePoints) {
    party_member m;
    m.level = 1;
    m.experience = 150;
    m.stats[STAT_SPEED] = 47;
    const auto fields = sheet_fields(m, [](int n) { return "t" + std::to_string(n); });
    const auto bars = std::count_if(fields.begin(), fields.end(),
                                    [](const sheet_field& f) { return f.kind == sheet_field_kind::bar; });
    EXPECT_EQ(bars, 2);
    EXPECT_EQ(fields.size(), static_cast<size_t>(SHEET_FIELD_COUNT + 2 * bars));  // each bar has its label
    auto value_after = [&](const std::string& label) {
        auto it =
            std::find_if(fields.begin(), fields.end(), [&](const sheet_field& f) { return f.text == label; });
        return it != fields.end() && it + 1 != fields.end() ? (it + 1)->text : std::string("?");
    };
    EXPECT_EQ(value_after("t19"), "150 [250]");
    EXPECT_EQ(value_after("t30"), "3");
    for (const sheet_field& f : fields) {
        EXPECT_EQ((f.x - SHEET_X) % SHEET_COLUMN, 0) << f.text;
        EXPECT_EQ((f.y - SHEET_Y) % SHEET_ROW, 0) << f.text;
    }
    m.level = MAX_LEVEL;
    EXPECT_EQ(experience_to_next_level(m), 0);
    m.level = 0;  // out of the table's range: counted as level 1
    EXPECT_EQ(experience_to_next_level(m), 250);

    EXPECT_EQ(sheet_plus_at(m, SHEET_X + 18 * SHEET_COLUMN + 2, SHEET_Y + 2), -1);
    m.free_points = 1;
    EXPECT_EQ(sheet_plus_at(m, SHEET_X + 18 * SHEET_COLUMN + 2, SHEET_Y + 2), 0);
    EXPECT_EQ(sheet_plus_at(m, SHEET_X + 18 * SHEET_COLUMN + 2, SHEET_Y + 9 * SHEET_ROW + 2), 3);
}

}  // namespace
